// The main window's document work: open, save, the first render of an opened
// picture as the undo baseline. The Photoshop hand-back is in
// CMainWindowPhotoshop.cpp.

#include "mainwindow/CMainWindow.h"

#include "correction/CCorrectionModuleHost.h"
#include "correction/CUndoController.h"
#include "correction/CorrectionIds.h"
#include "mainwindow/CRecentFiles.h"
#include "mainwindow/CFileSaveDialog.h"
#include "shell/CBaseApplication.h"
#include "shell/CGlobalStrings.h"
#include "shell/CPerformanceLogger.h"
#include "shell/IProcessEngine.h"
#include "shell/IStatisticSender.h"
#include "shell/RotationDirections.h"
#include "ui_MainWindow.h"
#include "utils/CMessageBox.h"
#include "utils/COperationCompletionWaiter.h"
#include "utils/Logger.h"
#include "utils/SharedConstants.h"
#include "utils/Utilities.h"
#include "view/CBaseGraphicsScene.h"
#include "view/CHandTool.h"
#include "view/CLoupeWidget.h"
#include "view/CZoomController.h"

#include <QApplication>
#include <QBuffer>
#include <QDockWidget>
#include <QFileInfo>
#include <QLayout>
#include <QUndoStack>

using namespace NAVIK_tarl1;

void auxDeleteAllNestedWidgets(QWidget* widget);

namespace {

// The host modes ask no options: the best quality, the picture's own depth.
constexpr int kHostSaveQuality = 100;

bool isJpegPath(const QString& path)
{
    return path.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive)
        || path.endsWith(QLatin1String(".jpeg"), Qt::CaseInsensitive);
}

// A size with a side not above 0 is not known yet.
bool isKnownSize(const QSize& size)
{
    return size.width() > 0 && size.height() > 0;
}

// While a save waits for the engine, the window's own event loop keeps
// running: this keeps the user's input away from the window, its palettes and
// its shortcuts, so that nothing opens, closes, turns, undoes or saves again
// in the middle of it. Message boxes and dialogs over the window still work.
class SaveInputBlocker : public QObject
{
public:
    explicit SaveInputBlocker(QWidget* window) : m_window(window) { qApp->installEventFilter(this); }
    ~SaveInputBlocker() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Close:
            if (watched != m_window)
                return false;
            event->ignore();
            return true;
        case QEvent::Shortcut:
            return belongsToWindow(watched);
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return watched->isWidgetType() && isInWindow(static_cast<QWidget*>(watched));
        default:
            return false;
        }
    }

private:
    // An action or shortcut of the window or of one of its widgets.
    bool belongsToWindow(QObject* object) const
    {
        for (QObject* owner = object; owner; owner = owner->parent())
            if (owner == m_window)
                return true;
        return false;
    }
    // A widget of the window itself or of one of its floating palettes.
    bool isInWindow(QWidget* widget) const
    {
        QWidget* top = widget->window();
        return top == m_window || (qobject_cast<QDockWidget*>(top) && belongsToWindow(top));
    }

    QWidget* m_window;
};

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

void CMainWindow::setupControlsState(bool pictureOpen)
{
    for (QAction* action : {ui->actionSave_As, ui->action_Close, ui->actionToolBarSaveAs, ui->actionRotate_Left,
                            ui->actionRotate_Right, ui->actionTake_Snapshot, ui->actionRestore_Snapshot})
        action->setEnabled(pictureOpen);
    // Without a picture the crop command and the panels have nothing to work on.
    ui->actionCrop->setEnabled(pictureOpen);
    ui->settingsWidget->setEnabled(pictureOpen);
}

void CMainWindow::doSetControlsEnabled(bool allControls, bool enabled)
{
    // A disable for a render alone greys only the menu bar: the picture
    // stays interactive while it renders.
    if (allControls || enabled) {
        CHandTool::instance()->setDisabled(!enabled);
        const bool pictureOpen = engine()->isPictureLoaded();
        ui->settingsWidget->setEnabled(enabled && pictureOpen);
        ui->stackedWidget->setEnabled(enabled);
        ui->menuBar->setEnabled(enabled);
        ui->toolBar->setEnabled(enabled);
        for (QAction* action : actions()) {
            // Undo and redo follow the undo stack.
            if (action == ui->actionUndo || action == ui->actionRedo)
                continue;
            action->setEnabled(enabled && (action != ui->actionCrop || pictureOpen));
        }
    }
    menuBar()->setEnabled(enabled);
    m_controlsEnabled = enabled;
    // The keyboard comes back to the window after the whole of it was
    // disabled; the end of a render leaves it where the user put it (a
    // floating palette's field, another program).
    if (enabled && allControls) {
        activateWindow();
        QWidget* focus = QApplication::focusWidget();
        (focus ? focus : this)->setFocus(Qt::OtherFocusReason);
    }
}

void CMainWindow::doResetBeforeOpen()
{
    m_imageProcessedOnce = false;
    m_openErrorShown = false;
    setPictureChanged(false);
    ui->action_Close->setEnabled(false);

    for (IViewInterface* view : m_views)
        static_cast<CBaseGraphicsView*>(view)->doResetBeforeOpen();
    ui->loupeWidget->resetBeforeOpen();
    m_beforeScene->doResetBeforeOpen();
    m_afterScene->doResetBeforeOpen();
    CZoomController::instance()->onFit();
    CZoomController::instance()->resetDoubleClickZoom();

    engine()->resetBeforeOpen();
    CCorrectionModuleHost::instance()->resetBeforeImageOpen();
    // Not before: an emptied after scene reports the rectangle of the tool
    // items left in it as its new size.
    m_initialImageSize = QSize(-1, -1);
    m_resultImageSize = QSize(-1, -1);
    m_afterViewShowsOtherScene = false;
    updateImageSizeLabels();
    m_currentCorrectionName.clear();
    CUndoController::instance()->resetUndoStack();
    onCorrectionOrModuleStateIsChanged();
    CHandTool::instance()->setDisabled(true);
    setWindowTitle(g_appTitle);
    setupControlsState(false);
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
    FileFailure failure = FileFailure::None;
    if (!engine() || !IProcessEngine::isFileSupported(path, &failure, &reason)) {
        LOG_MESSAGE('D', "Error opening file: file type is not supported. " << reason);
        warnOpenFailed(failure);
    } else {
        opened = openAndWait([this, &path] { engine()->openFile(path); });
        if (opened) {
            if (ui->actionViewDouble->isChecked())
                onViewDouble();
            else
                onViewSingle();
            takeOpenedImageSize();
            const std::shared_ptr<CPerformanceLogger> performance = CPerformanceLogger::instance();
            performance->setPictureName(path);
            performance->setPictureSize(m_initialImageSize);
            requestFirstRenders();
            if (m_application->getMode() == CBaseApplication::StandaloneMode)
                m_recentFiles->addFile(path);
        } else {
            warnOpenFailed(engine()->getLastOpenFailure());
        }
    }
    setControlsEnabled(true, true);
    return opened;
}

bool CMainWindow::doOpenImage(NavikImagePtr image, const CWindowState& state)
{
    LOG_TRACE();
    if (!image) {
        warn(this, tr("Sorry, file could not be opened"));
        return false;
    }
    setControlsEnabled(true, false);
    doSetWindowState(state);
    const bool opened = openAndWait([this, &image] { engine()->openImage(image); });
    if (opened) {
        CUndoController::instance()->createUndoCommand(tr("Image is opened"));
        takeOpenedImageSize();
        requestFirstRenders();
    }
    setControlsEnabled(true, true);
    activateWindow();
    if (!opened)
        warn(this, tr("Sorry, file could not be opened"));
    return opened;
}

void CMainWindow::takeOpenedImageSize()
{
    if (!isKnownSize(m_initialImageSize))
        m_initialImageSize = engine()->getOriginalImageSize();
}

void CMainWindow::requestFirstRenders()
{
    engine()->processLoResInitialImage();
    engine()->processLoResResultImage();
}

void CMainWindow::showRecentFilesPage()
{
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
    if (m_imageProcessedOnce)
        return;
    ui->actionRestore_Snapshot->setEnabled(QFileInfo::exists(recallFilePath()));
    if (m_beforeScene->hasLoResImage())
        onFirstImageProcessed();
}

void CMainWindow::onFirstImageProcessed()
{
    ui->settingsWidget->setEnabled(true);
    CHandTool::instance()->setDisabled(false);
    m_imageProcessedOnce = true;
    // The state of the opened, rendered picture is where undo stops.
    const std::shared_ptr<CUndoController> controller = CUndoController::instance();
    controller->resetUndoStack();
    controller->createUndoCommand();
    setFocus(Qt::OtherFocusReason);
    ui->loupeWidget->showImageCenter();
}

void CMainWindow::onImageProcessingError(int)
{
    if (!m_imageProcessedOnce) {
        // Nothing of the picture was ever shown: it did not open. Once per picture.
        if (m_openErrorShown)
            return;
        m_openErrorShown = true;
        CMessageBox::critical(this, g_appTitle, tr("Sorry, file could not be opened"), QMessageBox::Ok,
                              QMessageBox::NoButton);
        closeOpenedFile();
        // The close's reset forgot the notice; the closed picture's renders
        // still under way stay silent until another picture opens.
        m_openErrorShown = true;
        return;
    }
    // The change that failed to render is taken back. One message at a time:
    // the box waits in an event loop where further errors arrive.
    if (m_processingErrorShown)
        return;
    const std::shared_ptr<CUndoController> controller = CUndoController::instance();
    const QString text = controller->undoStack()->undoText() == QLatin1String("Activate auto distortion correction")
        ? tr("Navik Quillet cannot find the EXIF data it needs in this file. It is probably not the original image "
             "file.")
        : tr("Perspective correction cannot be applied from current anchor points location");
    m_processingErrorShown = true;
    CMessageBox::critical(this, g_appTitle, text, QMessageBox::Ok, QMessageBox::NoButton);
    m_processingErrorShown = false;
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
    if (m_saveRunning) {
        LOG_MESSAGE('W', "A save to \"" << path << "\" was asked for while another save runs: refused");
        return false;
    }
    if (path.isEmpty()) {
        warnNotSaved(path, FileFailure::Unknown, QStringLiteral("No file name was given."));
        return false;
    }
    // What refuses the file refuses it before its options are asked.
    FileFailure refusal = FileFailure::None;
    QString refusalReason;
    if (!IProcessEngine::canSaveTo(path, &refusal, &refusalReason)) {
        warnNotSaved(path, refusal, refusalReason);
        return false;
    }
    int quality = kHostSaveQuality;
    bool compressed = false;
    bool converted = false;
    Navik::FileFormat format = Navik::kFileFormatUnknown;
    if (m_application->getMode() == CBaseApplication::StandaloneMode) {
        if (isJpegPath(path)) {
            if (!CFileSaveDialog::execJpegOptions(this, quality))
                return false;
            format = Navik::kFileFormatJPEG;
        } else {
            if (!CFileSaveDialog::execTiffOptions(this, compressed, converted))
                return false;
            format = Navik::kFileFormatTIFF;
        }
        // The window takes the keyboard back from the closed dialog.
        activateWindow();
    }

    // Not through setControlsEnabled: its delayed enabling would keep the
    // shortcuts off for a while after the save.
    m_saveRunning = true;
    bool saved = false;
    {
        const SaveInputBlocker blocker(this);
        saved = engine()->saveOpenedFileSync(path, quality, compressed, converted, format);
    }
    m_saveRunning = false;
    if (!saved) {
        warnNotSaved(path, engine()->getLastSaveFailure(), engine()->getLastSaveError());
        return false;
    }
    if (IStatisticSender* statistics = m_application->statisticSender())
        statistics->countSavedImage(m_application->getMode(), engine());
    return true;
}

void CMainWindow::warnNotSaved(const QString& path, FileFailure failure, const QString& reason)
{
    LOG_MESSAGE('W', "The file \"" << path << "\" could not be saved: " << reason);
    const QString text = isPermissionFailure(failure)
        ? tr("The file could not be saved. Please check that you have the required permissions.")
        : tr("The file could not be saved.");
    const QString cause = path.isEmpty() ? tr("No file name was given.") : CFileFailureTexts::whyNotSaved(failure);
    CMessageBox::warningWithReason(this, g_appTitle, text, cause, QString());
}

bool CMainWindow::isSaveRunning() const
{
    return m_saveRunning;
}

void CMainWindow::setPictureChanged(bool changed)
{
    m_pictureChanged = changed;
    const bool noTool = !CCorrectionModuleHost::exists()
        || CCorrectionModuleHost::instance()->currentCorrectionName() == g_emptyCorrectionId;
    const bool saveAllowed = changed && noTool;
    ui->action_Save->setEnabled(saveAllowed);
    ui->saveButton->setEnabled(saveAllowed);
    ui->actionTake_Snapshot->setEnabled(saveAllowed || m_toolActive);
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
