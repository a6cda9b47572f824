// The main window's Preferences command: the dialog, then what depends on the
// settings it may have changed.

#include "mainwindow/CMainWindow.h"

#include "mainwindow/CPreferencesDlg.h"
#include "ui_MainWindow.h"
#include "utils/Logger.h"
#include "view/CBaseGraphicsView.h"

void CMainWindow::onPreferences()
{
    // A second trigger from the same action or button waits until the
    // dialog is gone.
    QObject* trigger = sender();
    if (trigger)
        trigger->blockSignals(true);

    bool accepted = false;
    {
        CPreferencesDlg dialog(this);
        dialog.setWindowModality(Qt::WindowModal);
        accepted = dialog.exec() == QDialog::Accepted;
    }
    if (accepted) {
        if (QWidget* anamorphosis = findChild<QWidget*>(QStringLiteral("AnamorphosisSettings"))) {
            const bool invoked =
                QMetaObject::invokeMethod(anamorphosis, "testFildOfViewNotValid", Qt::DirectConnection);
            ASSERT(invoked);
        }
    }

    if (trigger)
        trigger->blockSignals(false);
    ui->graphicsViewDAfter->reloadGridOverlayParams();
    ui->graphicsViewDBefore->reloadGridOverlayParams();
    ui->graphicsViewSingle->reloadGridOverlayParams();
    onShowImageSizePropertyIsChanged();
}
