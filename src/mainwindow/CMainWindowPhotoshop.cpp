// The main window's half of the Photoshop hand-back: the corrected picture
// rendered for the waiting host, the window state the host keeps for the next
// use, and the statistics of a picture handed back.

#include "mainwindow/CMainWindow.h"

#include "shell/CBaseApplication.h"
#include "shell/IProcessEngine.h"
#include "shell/IStatisticSender.h"
#include "utils/CMessageBox.h"
#include "utils/Logger.h"
#include "utils/SharedConstants.h"

#include <QBuffer>
#include <QLocalSocket>

using namespace NAVIK_tarl1;

PhotoshopSaveResult CMainWindow::doSaveImageToPS()
{
    LOG_TRACE();
    const std::unique_ptr<QLocalSocket> host = connectToPhotoshopHost();
    if (!host) {
        const QMessageBox::StandardButton saveToFile = CMessageBox::yesNoMessage(
            this, g_appTitle, tr("Photoshop has been crashed. Would you like to save image to the file?"),
            QMessageBox::No);
        // A Save As the user cancelled (or that failed) leaves the edits in the window.
        if (saveToFile == QMessageBox::Yes && !chooseNameAndSave())
            return PhotoshopSaveResult::Cancelled;
        return PhotoshopSaveResult::NotHandedBack;
    }
    disconnectFromPhotoshopHost(*host);

    // An empty result would reach the host only as a failed round trip at
    // exit, with the edits gone: the user hears of it now and keeps the window.
    PixelDataPtr result = engine()->processOpenedImageForPS();
    if (!result) {
        LOG_MESSAGE('W', "The picture for the host could not be rendered");
        CMessageBox::warning(this, g_appTitle,
                             tr("The corrected picture could not be prepared for Photoshop. Nothing was handed "
                                "back; your changes are kept."),
                             QMessageBox::Ok, QMessageBox::NoButton);
        return PhotoshopSaveResult::Cancelled;
    }
    QBuffer state;
    state.open(QIODevice::ReadWrite);
    getWindowState().serialize(&state);
    m_application->setPluginWindowState(state.data());
    m_application->setResultPixelDataForPS(std::move(result));
    engine()->setCurrentDictionaryAsSaveDictionary();
    if (IStatisticSender* statistics = m_application->statisticSender())
        statistics->countSavedImage(m_application->getMode(), engine());
    return PhotoshopSaveResult::HandedBack;
}

CWindowState CMainWindow::doGetWindowState() const
{
    return CWindowState();
}

void CMainWindow::doSetWindowState(const CWindowState&)
{
}
