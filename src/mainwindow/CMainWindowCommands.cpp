// The main window's tool state, which follows the correction modules, and its
// commands: rotation, crop tool, undo and redo, reset all, snapshots, grid
// overlay, the about box and the web links.

#include "mainwindow/CMainWindow.h"

#include "correction/CCorrectionModuleHost.h"
#include "correction/CUndoController.h"
#include "correction/CorrectionIds.h"
#include "shell/CBaseApplication.h"
#include "shell/CGlobalStrings.h"
#include "shell/IProcessEngine.h"
#include "shell/RotationDirections.h"
#include "ui_MainWindow.h"
#include "utils/CAboutDlg.h"
#include "utils/CMessageBox.h"
#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"
#include "utils/SharedConstants.h"
#include "utils/Utilities.h"
#include "view/CBaseGraphicsScene.h"
#include "view/CHandTool.h"
#include "view/CLoupeWidget.h"
#include "view/CZoomController.h"

#include <QDataStream>
#include <QDesktopServices>
#include <QFile>
#include <QLayout>
#include <QPushButton>
#include <QSaveFile>
#include <QUndoStack>
#include <QUrl>

using namespace NAVIK_tarl1;
void auxDeleteAllNestedWidgets(QWidget* widget);

namespace {

bool isDrawingTool(const QString& name)
{
    return name == g_keystoningCorrectionId || name == g_horizonCorrectionId || name == g_cropCorrectionId;
}

// Each catalog gives the whole address for its language; without one the
// international pages are taken.
QUrl localisedAddress(QString address)
{
    return QUrl(address.replace(QLatin1String("<locale>"), QLatin1String("intl")));
}

} // namespace

// ---------------------------------------------------------------- tool state

void CMainWindow::onCorrectionOrModuleStateIsChanged()
{
    CCorrectionModuleHost* host = CCorrectionModuleHost::instance();
    const QString name = host->currentCorrectionName();
    CHandTool* hand = CHandTool::instance();
    const auto restorePointerMode = [this, hand] {
        if (m_handToolState == 1)
            hand->onFastPreview();
        else if (m_handToolState == 0)
            hand->onHandTool();
        m_handToolState = 2;
    };
    if (name == g_emptyCorrectionId) {
        m_currentCorrectionName = name;
        auxDeleteAllNestedWidgets(ui->correctionToolPane);
        ui->correctionToolPane->hide();
        m_toolActive = false;
        ui->action_Save->setEnabled(m_pictureChanged);
        ui->saveButton->setEnabled(m_pictureChanged);
        // Without a picture there is nothing to save or turn.
        const bool open = engine()->isPictureLoaded();
        ui->actionSave_As->setEnabled(open);
        ui->actionToolBarSaveAs->setEnabled(open);
        ui->actionTake_Snapshot->setEnabled(isPictureChanged());
        ui->actionRotate_Left->setEnabled(open);
        ui->actionRotate_Right->setEnabled(open);
        restorePointerMode();
    } else {
        m_toolActive = true;
        ui->actionTake_Snapshot->setEnabled(true);
        const ICorrectionModuleInterfacePtr module = host->module(name);
        if (name == m_currentCorrectionName) {
            if (module)
                module->attachToLayout(ui->correctionToolPane->layout());
        } else {
            auxDeleteAllNestedWidgets(ui->correctionToolPane);
            m_currentCorrectionName = name;
            if (module)
                if (QWidget* pane = module->createToolPaneWidget(this))
                    ui->correctionToolPane->layout()->addWidget(pane);
            ui->correctionToolPane->show();
            for (QAction* action : {ui->action_Save, ui->actionSave_As, ui->actionToolBarSaveAs,
                                    ui->actionRotate_Left, ui->actionRotate_Right})
                action->setEnabled(false);
            ui->saveButton->setEnabled(false);
            if (isDrawingTool(name)) {
                if (hand->isHandToolActive()) {
                    m_handToolState = 0;
                    hand->onFastPreview();
                } else {
                    m_handToolState = 1;
                }
            } else {
                restorePointerMode();
            }
        }
    }
    ui->actionCrop->setChecked(name == g_cropCorrectionId);
    emit toolStateIsChanged(name != g_emptyCorrectionId);
}

void CMainWindow::applyCurrentTool()
{
    if (!CCorrectionModuleHost::exists())
        return;
    CCorrectionModuleHost* host = CCorrectionModuleHost::instance();
    const QString name = host->currentCorrectionName();
    if (name == g_emptyCorrectionId)
        return;
    LOG_MESSAGE('D', "The tool " << name << " is applied before the picture is saved");
    // Its pane's Apply button, so the module and its panel follow as they do on a click.
    // A pane disabled while a render runs gets the same step from the host.
    auto* apply = ui->correctionToolPane->findChild<QPushButton*>(QStringLiteral("applyButton"));
    if (apply && apply->isEnabled()) {
        apply->click();
        return;
    }
    host->processModuleAction(name, QStringLiteral("CorrectionApplyed"), QString());
    CUndoController::instance()->createUndoCommand(
        QCoreApplication::translate("CBaseCorrectionToolPane", "Apply and close tool"));
}

// ---------------------------------------------------------------- commands

bool CMainWindow::doImageRotation(bool clockwise)
{
    IProcessEngine* processEngine = engine();
    if (!processEngine->isPictureLoaded() || processEngine->isProcessingActive())
        return false;
    if (processEngine->isAnyCorrectionApplyed(true)
        && !CMessageBox::rotateQuestion(this, g_appTitle,
                                        tr("All your corrections will be reset. Do you want to rotate image?")))
        return false;
    CCorrectionModuleHost::instance()->processModuleAction(g_emptyCorrectionId, QStringLiteral("resetAndCloseAllTools"),
                                                           QString());
    processEngine->rotateImageFromCurrentState(clockwise ? RotationDirections::Rotation90 : RotationDirections::Rotation270);
    return true;
}

void CMainWindow::onRotateLeft()
{
    if (doImageRotation(false))
        CUndoController::instance()->createUndoCommand(tr("Image is rotated to Left"));
}

void CMainWindow::onRotateRight()
{
    if (doImageRotation(true))
        CUndoController::instance()->createUndoCommand(tr("Image is rotated to Right"));
}

void CMainWindow::onUndo()
{
    CUndoController::instance()->undo();
    // The pointer may rest where it was: the loupe shows the state undone to.
    ui->loupeWidget->refreshShownPicture();
}

void CMainWindow::onRedo()
{
    CUndoController::instance()->redo();
    ui->loupeWidget->refreshShownPicture();
}

void CMainWindow::onCropTool()
{
    IProcessEngine* processEngine = engine();
    if (!processEngine || !processEngine->isPictureLoaded()) {
        ui->actionCrop->setChecked(false);
        return;
    }
    CCorrectionModuleHost* host = CCorrectionModuleHost::instance();
    const bool cropCurrent = host->currentCorrectionName() == g_cropCorrectionId;
    host->processModuleAction(g_cropCorrectionId,
                              cropCurrent ? QStringLiteral("CorrectionApplyed")
                                          : QStringLiteral("SpecificCorrectionActivated"),
                              QString());
    CUndoController::instance()->createUndoCommand(QStringLiteral("Activate crop tool"));
}

void CMainWindow::onResetAll()
{
    if (!CCorrectionModuleHost::exists())
        return;
    CCorrectionModuleHost::instance()->processModuleAction(g_emptyCorrectionId, QStringLiteral("resetAll"), QString());
    CUndoController::instance()->createUndoCommand(tr("Reset All"));
}

void CMainWindow::onToggleGridOverlay()
{
    ui->actionGridOverlay->setText(ui->actionToggleGridOverlay->isChecked() ? tr("Hide Grid overlay")
                                                                            : tr("Show Grid overlay"));
}

void CMainWindow::onRecentFileClick(QString path)
{
    saveOldAndOpenNewFile(path);
}

void CMainWindow::onTakeSnapshot()
{
    if (!engine()->isPictureLoaded())
        return;
    const QByteArray state = m_application->saveApplicationState();
    // The new snapshot replaces the old one only once it is written whole: a
    // full disk or a failed write keeps the previous snapshot and the
    // Restore command as they were.
    QSaveFile file(recallFilePath());
    if (!file.open(QIODevice::WriteOnly)) {
        LOG_MESSAGE('E', "Snapshot not taken: " << file.errorString());
        return;
    }
    QDataStream stream(&file);
    stream.setVersion(g_dataStreamVersion);
    stream << state;
    if (stream.status() != QDataStream::Ok || !file.commit()) {
        LOG_MESSAGE('E', "Snapshot not taken: " << file.errorString());
        return;
    }
    ui->actionRestore_Snapshot->setEnabled(true);
}

void CMainWindow::onRestoreSnapshot()
{
    if (!engine()->isPictureLoaded())
        return;
    QFile file(recallFilePath());
    if (!file.open(QIODevice::ReadOnly)) {
        ui->actionRestore_Snapshot->setEnabled(false);
        return;
    }
    QDataStream stream(&file);
    stream.setVersion(g_dataStreamVersion);
    QByteArray state;
    stream >> state;
    file.close();
    // A file cut short holds no state to recall.
    if (stream.status() != QDataStream::Ok) {
        LOG_MESSAGE('E', "Snapshot file cannot be read: " << file.fileName());
        ui->actionRestore_Snapshot->setEnabled(false);
        return;
    }
    m_application->restoreApplicationState(state);
    CUndoController::instance()->createUndoCommand(tr("Recall snapshot"));
    update();
}

void CMainWindow::on_actionAbout_triggered()
{
    static bool aboutShown = false;
    if (aboutShown)
        return;
    CAboutDlg dialog(this);
    aboutShown = true;
    dialog.myExec();
    aboutShown = false;
}

void CMainWindow::onOnlineUserGuide()
{
    QDesktopServices::openUrl(localisedAddress(tr("https://www.example.com/<locale>/redirect/quillet/support")));
}

void CMainWindow::onGettingStarted()
{
    QDesktopServices::openUrl(localisedAddress(tr("https://www.example.com/<locale>/Navik_Orvane/getting_started/")));
}

void CMainWindow::onVisitWebSite()
{
    QDesktopServices::openUrl(QUrl(QStringLiteral("https://www.example.com/intl/redirect/quillet/navik_home")));
}
