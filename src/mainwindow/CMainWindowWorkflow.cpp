// The main window's document work: open, save, the first render of an opened
// picture as the undo baseline. The Photoshop hand-back is in
// CMainWindowPhotoshop.cpp.

#include "mainwindow/CMainWindow.h"

#include "correction/CCorrectionModuleHost.h"
#include "correction/CUndoController.h"
#include "correction/CorrectionIds.h"
#include "mainwindow/CRecentFiles.h"
#include "shell/CBaseApplication.h"
#include "shell/CGlobalStrings.h"
#include "shell/IProcessEngine.h"
#include "shell/RotationDirections.h"
#include "ui_MainWindow.h"
#include "utils/CMessageBox.h"
#include "utils/COperationCompletionWaiter.h"
#include "utils/Logger.h"
#include "utils/SharedConstants.h"
#include "view/CBaseGraphicsScene.h"
#include "view/CHandTool.h"
#include "view/CLoupeWidget.h"
#include "view/CZoomController.h"

#include <QLayout>
#include <QUndoStack>

using namespace NAVIK_tarl1;

void auxDeleteAllNestedWidgets(QWidget* widget);

namespace {

// Without an options dialog the picture is saved at the best quality.
constexpr int kSaveQuality = 100;

void warn(QWidget* parent, const QString& text)
{
    CMessageBox::warning(parent, g_appTitle, text, QMessageBox::Ok, QMessageBox::NoButton);
}

} // namespace

// ---------------------------------------------------------------- open

template<typename Open>
bool CMainWindow::openAndWait(Open open)
{
    COperationCompletionWaiterWithResult waiter(engine()->getQObject(), SIGNAL(fileOpenCompleated(bool)), nullptr);
    open();
    waiter.startWaiting();
    return waiter.isOperationSuccess();
}

void CMainWindow::resetViewsBeforeOpen()
{
    m_beforeScene->doResetBeforeOpen();
    m_afterScene->doResetBeforeOpen();
    for (IViewInterface* view : m_views)
        static_cast<CBaseGraphicsView*>(view)->doResetBeforeOpen();
    CZoomController::instance()->onFit();
    CZoomController::instance()->resetDoubleClickZoom();
    CHandTool::instance()->setDisabled(true);
    ui->loupeWidget->resetBeforeOpen();
    m_loupeCentred = false;
    m_initialImageSize = QSize(-1, -1);
    m_resultImageSize = QSize(-1, -1);
    updateImageSizeLabels();
}

void CMainWindow::setupControlsState(bool pictureOpen)
{
    ui->actionSave_As->setEnabled(pictureOpen);
    ui->actionToolBarSaveAs->setEnabled(pictureOpen);
    ui->action_Close->setEnabled(pictureOpen);
    ui->actionCrop->setEnabled(pictureOpen);
    ui->actionRotate_Left->setEnabled(pictureOpen);
    ui->actionRotate_Right->setEnabled(pictureOpen);
    ui->settingsWidget->setEnabled(pictureOpen);
}

void CMainWindow::doSetControlsEnabled(bool allControls, bool enabled)
{
    if (allControls || enabled)
        ui->stackedWidget->setEnabled(enabled);
    ui->menuBar->setEnabled(enabled);
}

void CMainWindow::doResetBeforeOpen()
{
    setPictureChanged(false);
    engine()->resetBeforeOpen();
    resetViewsBeforeOpen();
    setWindowTitle(g_appTitle);
    setupControlsState(false);
    m_firstRenderPending = false;
    m_processedOnce = false;
    m_openErrorShown = false;
    CCorrectionModuleHost::instance()->resetBeforeImageOpen();
    CUndoController::instance()->resetUndoStack();
    onCorrectionOrModuleStateIsChanged();
}

bool CMainWindow::doOpenFilesInBatchMode(const QStringList&)
{
    warn(this, tr("Sorry but this application doesn't support opening multiply images"));
    return true;
}

bool CMainWindow::doOpenFile(const QString& path)
{
    LOG_TRACE();
    if (path.isEmpty()) {
        LOG_MESSAGE('D', "Error opening file: File path is empty");
        warn(this, tr("File path is empty"));
        return false;
    }
    setControlsEnabled(true, false);
    bool opened = false;
    QString reason;
    if (!IProcessEngine::isFileSupported(path, &reason)) {
        LOG_MESSAGE('D', "Error opening file: file type is not supported. " << reason);
        CMessageBox::warningWithReason(this, g_appTitle, g_globalStrings->notSupportString(), reason, QString());
    } else {
        opened = openAndWait([this, &path] { engine()->openFile(path); });
        if (opened) {
            recordOpenedImage();
            engine()->forceProcessImage();
            if (!m_application->isPluginMode())
                m_recentFiles->addFile(path);
        } else {
            CMessageBox::warningWithReason(this, g_appTitle, tr("Sorry, file could not be opened"),
                                           engine()->getLastOpenError(), QString());
        }
    }
    setControlsEnabled(true, true);
    return opened;
}

bool CMainWindow::doOpenImage(NavikImagePtr image, const CWindowState& state)
{
    LOG_TRACE();
    bool opened = false;
    if (image) {
        setControlsEnabled(true, false);
        doSetWindowState(state);
        opened = openAndWait([this, &image] { engine()->openImage(image); });
        if (opened) {
            recordOpenedImage();
            engine()->forceProcessImage();
        }
        setControlsEnabled(true, true);
        activateWindow();
    }
    if (!opened)
        warn(this, tr("Sorry, file could not be opened"));
    return opened;
}

void CMainWindow::recordOpenedImage()
{
    m_firstRenderPending = true;
    if (ui->actionViewDouble->isChecked())
        onViewDouble();
    else
        onViewSingle();
    CUndoController::instance()->createUndoCommand(tr("Image is opened"));
}

void CMainWindow::recordFirstRender()
{
    if (!m_firstRenderPending || !engine()->isPictureLoaded())
        return;
    // The state of the opened, rendered picture is where undo stops.
    m_firstRenderPending = false;
    const std::shared_ptr<CUndoController> controller = CUndoController::instance();
    controller->resetUndoStack();
    controller->createUndoCommand();
}

void CMainWindow::showRecentFilesPage()
{
    resetViewsBeforeOpen();
    showRecentFilesPageInternal();
}

void CMainWindow::onStartImageProcessing()
{
    setControlsEnabled(false, false);
}

void CMainWindow::onFinishImageProcessing()
{
    setControlsEnabled(false, true);
    setPictureChanged(engine()->isPictureChanged());
    if (m_beforeScene->hasLoResImage()) {
        m_processedOnce = true;
        CHandTool::instance()->setDisabled(false);
        if (!m_loupeCentred) {
            m_loupeCentred = true;
            ui->loupeWidget->showImageCenter();
        }
    }
    recordFirstRender();
}

void CMainWindow::onImageProcessingError(int)
{
    if (!m_processedOnce || m_openErrorShown)
        return;
    const std::shared_ptr<CUndoController> controller = CUndoController::instance();
    const QString text = controller->undoStack()->undoText() == QLatin1String("Activate auto distortion correction")
        ? tr("The picture has no EXIF data to correct the distortion automatically.")
        : tr("Perspective correction cannot be applied from current anchor points location");
    m_openErrorShown = true;
    CMessageBox::critical(this, g_appTitle, text, QMessageBox::Ok, QMessageBox::NoButton);
    m_openErrorShown = false;
    controller->removeLastStep();
}

void CMainWindow::onInitialImageSizeChanged(const QSize& size)
{
    m_initialImageSize = size;
    updateImageSizeLabels();
}

// ---------------------------------------------------------------- save

bool CMainWindow::doSaveFile(const QString& path, const QString&)
{
    LOG_TRACE();
    const bool saved = !path.isEmpty()
        && engine()->saveOpenedFileSync(path, kSaveQuality, false, false, Navik::kFileFormatUnknown);
    if (!saved) {
        const QString reason = path.isEmpty() ? tr("No file name was given.") : engine()->getLastSaveError();
        LOG_MESSAGE('W', "The file \"" << path << "\" could not be saved: " << reason);
        CMessageBox::warningWithReason(
            this, g_appTitle, tr("The file could not be saved. Please check that you have the required permissions."),
            QString(), reason);
    }
    return saved;
}

void CMainWindow::setPictureChanged(bool changed)
{
    m_pictureChanged = changed;
    const bool saveAllowed = changed && !m_toolActive;
    ui->action_Save->setEnabled(saveAllowed);
    ui->saveButton->setEnabled(saveAllowed);
}

bool CMainWindow::isPictureChanged() const
{
    return m_pictureChanged;
}

void CMainWindow::changeCaption(const QString& caption)
{
    const int mode = m_application->getMode();
    const bool titleOnly = mode == CBaseApplication::PhotoshopMode || mode == CBaseApplication::ApertureMode;
    setWindowTitle(titleOnly ? g_appTitle : caption);
}
