#include "app/stand-ins/CMainWindow.h"

#include "app/stand-ins/CCorrectionPanelPreview.h"
#include "correction/CCorrectionModuleHost.h"
#include "correction/CUndoController.h"
#include "view/CBaseGraphicsScene.h"
#include "view/ICorrectionPanelModule.h"
#include "shell/CBaseApplication.h"
#include "shell/CGlobalStrings.h"
#include "shell/IProcessEngine.h"
#include "utils/CMessageBox.h"
#include "utils/CNativeDialogs.h"
#include "utils/COperationCompletionWaiter.h"
#include "utils/CScripting.h"
#include "utils/Logger.h"
#include "utils/SharedConstants.h"
#include "view/CBeforeAfterView.h"
#include "view/CDockWidget.h"

#include <QAction>
#include <QBuffer>
#include <QGuiApplication>
#include <QLocalSocket>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStackedWidget>
#include <QUndoStack>

#include <cstdlib>

using namespace NAVIK_tarl1;

namespace {

// Without an options dialog the picture is saved at the best quality.
constexpr int kSaveQuality = 100;

IProcessEngine* engine()
{
    return CBaseApplication::processEngine();
}

void warn(QWidget* parent, const QString& text)
{
    CMessageBox::warning(parent, g_appTitle, text, QMessageBox::Ok, QMessageBox::NoButton);
}

} // namespace

CMainWindow::CMainWindow(CBaseApplication* application, QWidget* parent)
    : CBaseMainWindow(application, parent)
{
    setWindowTitle(g_appTitle);
    registerUndoForPanels();
    createViews();
    createCorrectionPalette();

    QMenu* file = menuBar()->addMenu(QStringLiteral("F&ile"));
    addFileAction(file, QStringLiteral("action_Open"), QStringLiteral("&Open..."), QKeySequence(Qt::CTRL | Qt::Key_O),
                  SLOT(saveOldAndOpenNewFile()));
    file->addSeparator();
    m_saveAction = addFileAction(file, QStringLiteral("action_Save"), QStringLiteral("&Save"), QKeySequence(),
                                 SLOT(saveOpenedFile()));
    m_saveAsAction = addFileAction(file, QStringLiteral("actionSave_As"), QStringLiteral("Save &As..."),
                                   QKeySequence(Qt::CTRL | Qt::Key_S), SLOT(saveOpenedFileAs()));
    file->addSeparator();
    m_closeAction = addFileAction(file, QStringLiteral("action_Close"), QStringLiteral("&Close"),
                                  QKeySequence(Qt::CTRL | Qt::Key_W), SLOT(closeOpenedFile()));
    file->addSeparator();
    m_exitAction = addFileAction(file, QStringLiteral("action_Exit"), QStringLiteral("&Exit"),
                                 QKeySequence(Qt::CTRL | Qt::Key_Q), SLOT(closeApp()));
    m_saveAction->setEnabled(false);
    createViewMenu();

    // Where no window manager maximises the window, it still gets room.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        resize(screen->availableSize() * 2 / 3);

    QObject* processEngine = engine()->getQObject();
    connect(processEngine, SIGNAL(processingStarted()), this, SLOT(onStartImageProcessing()));
    connect(processEngine, SIGNAL(processingFinished()), this, SLOT(onFinishImageProcessing()));
    setupUndo();
    registerHorizonModule();
    registerKeystoningModule();
    registerCropModule();
    // Test scripts give the answers of message boxes through this object.
    CMessageBox::initializeScripting();
}

CMainWindow::~CMainWindow() = default;

void CMainWindow::addMakeCrashAction()
{
    auto* action = new QAction(QStringLiteral("Make Crash"), this);
    action->setObjectName(QStringLiteral("actionMake_Crash"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    connect(action, SIGNAL(triggered()), this, SLOT(onMakeCrash()));
    addAction(action);
    // The real window puts it into its Help menu, above a separator and
    // About; this one has no Help menu of its own until it gets this action.
    QMenu* help = menuBar()->findChild<QMenu*>(QStringLiteral("menu_Help"));
    if (!help) {
        help = menuBar()->addMenu(QStringLiteral("&Help"));
        help->setObjectName(QStringLiteral("menu_Help"));
    }
    help->addAction(action);
}

// A real memory-access fault, for the crash capture to catch; the sanitizers'
// own check of the null write is left out so the signal is the real one.
__attribute__((no_sanitize("undefined"))) void CMainWindow::onMakeCrash()
{
    // A volatile pointer: the compiler cannot see the null and drop the write.
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}

int CMainWindow::getDockAvailableHeight()
{
    return centralWidget()->height();
}

void CMainWindow::setExitEnabled(bool enabled)
{
    m_exitAction->setEnabled(enabled);
    enableWindowCloseButton(enabled);
}

bool CMainWindow::isCropToolInactive()
{
    return true;
}

QList<IViewInterface*> CMainWindow::getViews()
{
    return {m_singleView, m_afterView, m_beforeView};
}

bool CMainWindow::isHandToolActive()
{
    return false;
}

QByteArray CMainWindow::serializeWidgetState()
{
    return {};
}

void CMainWindow::deserializeWidgetState(const QByteArray&)
{
}

QWidget* CMainWindow::asWidget()
{
    return this;
}

void CMainWindow::setupControlsState(bool pictureOpen)
{
    m_saveAsAction->setEnabled(pictureOpen);
    m_closeAction->setEnabled(pictureOpen);
}

void CMainWindow::doSetControlsEnabled(bool allControls, bool enabled)
{
    if (allControls || enabled)
        m_viewPages->setEnabled(enabled);
    menuBar()->setEnabled(enabled);
}

void CMainWindow::doResetBeforeOpen()
{
    setPictureChanged(false);
    engine()->resetBeforeOpen();
    resetViewsBeforeOpen();
    setWindowTitle(g_appTitle);
    setupControlsState(false);
    resetUndoBeforeOpen();
}

bool CMainWindow::doOpenFilesInBatchMode(const QStringList&)
{
    warn(this, QStringLiteral("Sorry but this application doesn't support opening multiply images"));
    return true;
}

bool CMainWindow::doOpenFile(const QString& path)
{
    LOG_TRACE();
    if (path.isEmpty()) {
        LOG_MESSAGE('D', "Error opening file: File path is empty");
        warn(this, QStringLiteral("File path is empty"));
        return false;
    }
    setControlsEnabled(true, false);
    bool opened = false;
    QString reason;
    if (!IProcessEngine::isFileSupported(path, &reason)) {
        LOG_MESSAGE('D', "Error opening file: file type is not supported. " << reason);
        CMessageBox::warningWithReason(this, g_appTitle, g_globalStrings->notSupportString(), reason, QString());
    } else {
        opened = openAndWait([&path] { engine()->openFile(path); });
        if (opened) {
            recordOpenedImage();
            engine()->forceProcessImage();
        }
        else
            CMessageBox::warningWithReason(this, g_appTitle, QStringLiteral("Sorry, file could not be opened"),
                                           engine()->getLastOpenError(), QString());
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
        opened = openAndWait([&image] { engine()->openImage(image); });
        if (opened) {
            recordOpenedImage();
            engine()->forceProcessImage();
        }
        setControlsEnabled(true, true);
        activateWindow();
    }
    if (!opened)
        warn(this, QStringLiteral("Sorry, file could not be opened"));
    return opened;
}

void CMainWindow::showRecentFilesPage()
{
    // There is no start page yet: the window stays empty.
    resetViewsBeforeOpen();
}

bool CMainWindow::doSaveImageToPS()
{
    LOG_TRACE();
    const std::unique_ptr<QLocalSocket> host = connectToPhotoshopHost();
    if (!host) {
        const QMessageBox::StandardButton saveToFile = CMessageBox::yesNoMessage(
            this, g_appTitle, QStringLiteral("Photoshop has been crashed. Would you like to save image to the file?"),
            QMessageBox::No);
        if (saveToFile == QMessageBox::Yes)
            saveOpenedFileAs();
        return false;
    }
    disconnectFromPhotoshopHost(*host);

    QBuffer state;
    state.open(QIODevice::ReadWrite);
    getWindowState().serialize(&state);
    m_application->setPluginWindowState(state.data());
    m_application->setResultPixelDataForPS(engine()->processOpenedImageForPS());
    engine()->setCurrentDictionaryAsSaveDictionary();
    return true;
}

bool CMainWindow::doSaveFile(const QString& path, const QString&)
{
    LOG_TRACE();
    const bool saved = !path.isEmpty()
        && engine()->saveOpenedFileSync(path, kSaveQuality, false, false, Navik::kFileFormatUnknown);
    if (!saved) {
        const QString reason = path.isEmpty() ? QStringLiteral("No file name was given.") : engine()->getLastSaveError();
        LOG_MESSAGE('W', "The file \"" << path << "\" could not be saved: " << reason);
        CMessageBox::warningWithReason(
            this, g_appTitle,
            QStringLiteral("The file could not be saved. Please check that you have the required permissions."),
            QString(), reason);
    }
    return saved;
}

void CMainWindow::setPictureChanged(bool changed)
{
    m_pictureChanged = changed;
    m_saveAction->setEnabled(changed);
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

CWindowState CMainWindow::doGetWindowState() const
{
    return m_windowState;
}

void CMainWindow::doSetWindowState(const CWindowState& state)
{
    m_windowState = state;
}

void CMainWindow::saveSettings()
{
    if (m_correctionPalette)
        m_correctionPalette->saveState();
}

QVariantMap CMainWindow::windowState() const
{
    return m_windowState.values();
}

void CMainWindow::onRotateRight()
{
    if (!engine()->isPictureLoaded())
        return;
    engine()->rotateImageFromCurrentState(RotationDirections::Rotation90);
    CUndoController::instance()->createUndoCommand(tr("Image is rotated to Right"));
}

void CMainWindow::onUndo()
{
    CUndoController::instance()->undo();
}

void CMainWindow::onRedo()
{
    CUndoController::instance()->redo();
}

void CMainWindow::showEvent(QShowEvent* event)
{
    CBaseMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    startTestScript();
}

void CMainWindow::onStartImageProcessing()
{
    setControlsEnabled(false, false);
}

void CMainWindow::onFinishImageProcessing()
{
    setControlsEnabled(false, true);
    setPictureChanged(engine()->isPictureChanged());
    recordFirstRender();
}

QAction* CMainWindow::addFileAction(QMenu* menu, const QString& name, const QString& text,
                                    const QKeySequence& shortcut, const char* slot)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    connect(action, SIGNAL(triggered()), this, slot);
    return action;
}

template<typename Open>
bool CMainWindow::openAndWait(Open open)
{
    COperationCompletionWaiterWithResult waiter(engine()->getQObject(), SIGNAL(fileOpenCompleated(bool)), nullptr);
    open();
    waiter.startWaiting();
    return waiter.isOperationSuccess();
}

void CMainWindow::startTestScript()
{
    const std::shared_ptr<CScripting> scripting = CScripting::getInstance();
    if (!scripting->isScriptingMode())
        return;
    scripting->makeObjectScriptable(QStringLiteral("mainWindow"), this);
    scripting->makeObjectScriptable(QStringLiteral("processEngine"), engine()->getQObject());
    scripting->makeObjectScriptable(QStringLiteral("nativeDialogs"), CNativeDialogs::getInstance().get());
    connect(scripting.get(), &CScripting::testFinished, this, &QWidget::close);
    scripting->startScript();
}
void CMainWindow::registerUndoForPanels()
{
    // Every panel frame made from now on sends its undo requests to the controller.
    setUndoControllerProvider([] { return static_cast<QObject*>(CUndoController::instance().get()); });
}

void CMainWindow::setupUndo()
{
    const std::shared_ptr<CUndoController> controller = CUndoController::instance();
    CCorrectionModuleHost* host = CCorrectionModuleHost::instance();
    IProcessEngine* processEngine = engine();
    host->initialize(m_initialScene, m_resultScene);
    // Every step records, in this order, the window, the engine and the modules.
    controller->setProcessEngine(processEngine);
    controller->addSerializableObject(this);
    controller->addSerializableObject(processEngine);
    controller->addSerializableObject(host);
    connect(processEngine->getQObject(), SIGNAL(trasformOutParamsSignalWasSent()), controller.get(),
            SLOT(onUpdateLastCommand()));

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    m_undoAction = edit->addAction(tr("Undo"));
    m_undoAction->setObjectName(QStringLiteral("actionUndo"));
    m_undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redoAction = edit->addAction(tr("Redo"));
    m_redoAction->setObjectName(QStringLiteral("actionRedo"));
    m_redoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Y));
    // On the window too, so that the shortcuts work without the menu bar.
    addAction(m_undoAction);
    addAction(m_redoAction);
    QUndoStack* stack = controller->undoStack();
    m_undoAction->setEnabled(stack->canUndo());
    m_redoAction->setEnabled(stack->canRedo());
    connect(stack, &QUndoStack::canUndoChanged, m_undoAction, &QAction::setEnabled);
    connect(stack, &QUndoStack::canRedoChanged, m_redoAction, &QAction::setEnabled);
    connect(m_undoAction, &QAction::triggered, this, &CMainWindow::onUndo);
    connect(m_redoAction, &QAction::triggered, this, &CMainWindow::onRedo);

    const std::shared_ptr<CScripting> scripting = CScripting::getInstance();
    if (scripting->isScriptingMode())
        scripting->makeObjectScriptable(QStringLiteral("undoController"), controller.get());
}

bool CMainWindow::isUndoBaselineSet() const
{
    return engine()->isPictureLoaded() && !m_firstRenderPending;
}

void CMainWindow::resetUndoBeforeOpen()
{
    m_firstRenderPending = false;
    CCorrectionModuleHost::instance()->resetBeforeImageOpen();
    CUndoController::instance()->resetUndoStack();
}

void CMainWindow::recordOpenedImage()
{
    m_firstRenderPending = true;
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
