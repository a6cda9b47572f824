#include "shell/CBaseApplication.h"

#include "shell/CBaseMainWindow.h"
#include "shell/CGlobalStrings.h"
#include "shell/CustomWindowsStyle.h"
#include "shell/PictureFileTypes.h"
#include "utils/CLanguageManager.h"
#include "utils/CMessageBox.h"
#include "utils/Logger.h"
#include "utils/MacOSNativeGlue.h"
#include "utils/SharedConstants.h"
#include "utils/Utilities.h"

#include <QBuffer>
#include <QDebug>
#include <QDir>
#include <QFileOpenEvent>
#include <QIcon>
#include <QPersistentModelIndex>
#include <QTimer>

using namespace NAVIK_tarl1;
namespace Options = CommandLineOptions;

namespace {

bool s_imageSaved = false;

// Until initialize() has chosen a mode, asking for it is a programming error
// that main reports as an unhandled exception.
const char kModeUndefined[] = "application mode must be defined at that point";

// The statistics are sent this long after the start, off the start's own path.
constexpr int kStatisticDelayMs = 2000;

QString modeName(int mode)
{
    switch (mode) {
    case CBaseApplication::StandaloneMode:
        return g_standaloneMode;
    case CBaseApplication::PhotoshopMode:
        return g_photoshopMode;
    case CBaseApplication::LightroomMode:
        return g_lrMode;
    case CBaseApplication::ApertureMode:
        return g_apertureMode;
    default:
        return QStringLiteral("Unknown");
    }
}

// Only a "~" that makes up the first path element names the home folder: a
// "~" inside a name ("/tmp/run~1/r.xml") is an ordinary character.
QString expandLeadingTilde(const QString& path)
{
    if (path == QLatin1String("~"))
        return QDir::homePath();
    if (path.startsWith(QLatin1String("~/")))
        return QDir::homePath() + path.mid(1);
    return path;
}

} // namespace

CBaseApplication::CBaseApplication(int& argc, char** argv)
    : IApplicationInterface(argc, argv)
    , m_startupTime(QTime::currentTime())
{
    qRegisterMetaType<NavikImagePtr>("NavikImagePtr");
    qRegisterMetaType<QPersistentModelIndex>("QPersistentModelIndex");
    setStyle(new CustomWindowsStyle);
    setOrganizationName(QStringLiteral("Navik Labs"));
    setOrganizationDomain(QStringLiteral("naviklabs.com"));
    setApplicationName(g_appTitle);
    setWindowIcon(QIcon(QStringLiteral(":/icons/application_icon.png")));
    CLanguageManager::instance()->loadLanguageForApp();
    // After the language: the shared texts are translated once, here.
    g_globalStrings = new CGlobalStrings;
    // Qt 6 has no integer-metrics font strategy, so the default font stays as
    // it is; a minimised window comes back through the window manager.
}

CBaseApplication::~CBaseApplication()
{
    delete m_mainWindow;
    m_mainWindow = nullptr;
    delete g_globalStrings;
    g_globalStrings = nullptr;
    QCoreApplication::processEvents();
    // The members go now; the exchange record's end tells a waiting
    // Photoshop host that the answer is there.
}

int CBaseApplication::getMode() const
{
    if (m_mode == UndefinedMode)
        throw kModeUndefined;
    return m_mode;
}

CBaseMainWindow* CBaseApplication::getMainWindow()
{
    return m_mainWindow;
}

void CBaseApplication::bringMainWindowToFront()
{
    if (CBaseMainWindow* window = getMainWindow())
        MacOSDeminituarize(long(window->winId()));
}

IApplicationInterface::AppInitCode CBaseApplication::initialize()
{
    LOG_MESSAGE('D', "CApplication::initialize started");
    ASSERT(QCoreApplication::instance());
    // Files the desktop asks us to open at launch arrive as file-open events now.
    QCoreApplication::processEvents();

    QStringList allArguments = arguments();
    if (!m_pendingOpenFiles.isEmpty())
        allArguments = QStringList{allArguments.value(0)} + m_pendingOpenFiles;
    for (int i = 0; i < allArguments.size(); ++i)
        LOG_MESSAGE('D', "arg " << i + 1 << ": " << allArguments.at(i));
    if (!allArguments.isEmpty())
        allArguments.removeFirst();

    StringsMap params;
    QStringList files;
    Options::parseCmdParams(params, allArguments, files);
    processCmdParams(params);

    AppInitCode code = AppInitFailed;
    const QString plugin = params.value(Options::pluginName);
    if (plugin == Options::lightroomPlugin || plugin == Options::aperturePlugin) {
        setMode(plugin == Options::lightroomPlugin ? LightroomMode : ApertureMode);
        setResultXmlFilePath(params.value(Options::appResultXmlFilePath));
        if (files.isEmpty())
            files.append(QDir::toNativeSeparators(params.value(Options::processImage)));
        code = initializeLR(params, files);
    } else if (plugin == Options::photoshopPlugin) {
        setMode(PhotoshopMode);
        code = initializePS(params);
    } else {
        setMode(StandaloneMode);
        code = initializeStandalone(files);
    }

    if (m_statisticSender) {
        m_statisticSender->countLaunch(m_mode);
        QTimer::singleShot(kStatisticDelayMs, this, [sender = m_statisticSender] { sender->sendStatistic(); });
    }
    return code;
}

bool CBaseApplication::isSupportedImageFileType(const QString& path)
{
    LOG_MESSAGE('D', "By default application supports only tiff and jpg files. You can change this in "
                     "CBaseApplication::isSupportedImageFileType");
    return hasPictureFileSuffix(path);
}

IApplicationInterface::AppInitCode CBaseApplication::initLRwithMultipleSelection(const QStringList&)
{
    LOG_TRACE();
    LOG_MESSAGE('D', "Lightroom edit in... for multiple files");
    CMessageBox::information(nullptr, tr("Lightroom Batch processing."), tr("Lightroom Batch processing."),
                             QMessageBox::Ok, QMessageBox::NoButton);
    return AppInitDoneSuccess;
}

void CBaseApplication::processCmdParams(const StringsMap&)
{
}

QStringList CBaseApplication::arguments()
{
    return QCoreApplication::arguments();
}

IProcessEngine* CBaseApplication::processEngine()
{
    auto* application = dynamic_cast<CBaseApplication*>(QCoreApplication::instance());
    return application ? application->getProcessEngine() : nullptr;
}

bool CBaseApplication::isPluginMode() const
{
    return getMode() != StandaloneMode;
}

void CBaseApplication::setMode(int mode)
{
    m_mode = mode;
    setLastLaunchMode(modeName(mode));
}

void CBaseApplication::setResultXmlFilePath(const QString& path)
{
    m_resultXmlFilePath = expandLeadingTilde(path);
}

QString CBaseApplication::resultXmlFilePath() const
{
    return m_resultXmlFilePath;
}

CWindowState* CBaseApplication::restoredWindowState()
{
    return &m_windowState;
}

bool CBaseApplication::isSaveDialogEnabled() const
{
    return !m_noSaveDialog;
}

QTime CBaseApplication::startupTime() const
{
    return m_startupTime;
}

void CBaseApplication::setImageSaved(bool saved)
{
    s_imageSaved = saved;
}

bool CBaseApplication::isImageSaved()
{
    return s_imageSaved;
}

int CBaseApplication::run()
{
    if (m_mode == PhotoshopMode) {
        if (!m_psImage)
            return -1;
        if (!m_pluginData.pluginData().isEmpty() && getProcessEngine() && !m_mainWindow) {
            ASSERT(!m_pluginData.showUI());
            setImageSaved(false);
        }
    }
    if (m_mode != PhotoshopMode || m_pluginData.showUI()) {
        exec();
        m_pluginData.setExitCode(NAVIK_QTAPP_EXIT_CODE_SUCCESS);
    }
    if (!isImageSaved())
        m_pluginData.setExitCode(3);
    if (m_mode == PhotoshopMode)
        handBackToPhotoshop();
    return m_pluginData.exitCode();
}

void CBaseApplication::handBackToPhotoshop()
{
    if (m_pluginData.exitCode() == NAVIK_QTAPP_EXIT_CODE_SUCCESS
        && (!m_psResult || !copyToOutputBuffer(m_psResult, m_pluginData)))
        m_pluginData.setExitCode(-1);
    // A run that returns nothing (3) is written back as well: the host reads
    // the outcome from the record, and the record it wrote itself does not
    // say that nothing came back.
    if (m_pluginData.exitCode() != -1 && !m_pluginData.serializeMap())
        m_pluginData.setExitCode(-1);
}

IApplicationInterface::AppInitCode CBaseApplication::initializePS(const StringsMap& params)
{
    LOG_TRACE();
    m_pluginData.setFilePath(QDir::toNativeSeparators(params.value(Options::processImage)));
    m_psImage = loadPSImage();
    if (!m_psImage)
        return AppInitFailed;
    // Every state read is valid (unreadable bytes give the empty state), so
    // the window always opens, with the default view when nothing was kept.
    QByteArray state = pluginWindowState();
    if (!state.isEmpty()) {
        QBuffer buffer(&state);
        buffer.open(QIODevice::ReadWrite);
        m_windowState.deserialize(&buffer);
    }
    getProcessEngine();
    if (!m_pluginData.showUI())
        return AppInitRunInterface;

    CBaseMainWindow* window = ensureMainWindow();
    if (!window->openImage(m_psImage, m_windowState))
        return AppInitFailed;
    LOG_MESSAGE('D', "Opened image array size: " << m_pluginData.pictureSize());
    window->showMaximized();
    MacOSBringToTop(long(window->winId()), false);
    return AppInitRunInterface;
}

IApplicationInterface::AppInitCode CBaseApplication::initializeLR(const StringsMap& params, const QStringList& files)
{
    LOG_TRACE();
    if (Options::isSwitchOn(params, Options::batchMode)) {
        LOG_MESSAGE('D', "Batch mode is on");
        const QString session = params.value(Options::session);
        if (params.value(Options::selectPreset).isEmpty())
            return processFileWithPreset(files, session);
        return showSelectPresetDialog(session);
    }
    if (files.size() > 1)
        return initLRwithMultipleSelection(files);
    if (files.isEmpty())
        return AppInitFailed;

    m_noSaveDialog = Options::isSwitchOn(params, Options::noSaveDialog);
    getProcessEngine();
    CBaseMainWindow* window = ensureMainWindow();
    if (!window->openFile(files.first(), QString()))
        return AppInitFailed;
    window->showMaximized();
    return AppInitRunInterface;
}

IApplicationInterface::AppInitCode CBaseApplication::initializeStandalone(const QStringList& files)
{
    LOG_TRACE();
    QStringList supported;
    for (const QString& file : files)
        if (isSupportedImageFileType(file))
            supported.append(file);

    if (supported.isEmpty() && !files.isEmpty()) {
        CMessageBox::warning(nullptr, g_appTitle,
                             files.size() == 1 ? g_globalStrings->notSupportString()
                                               : g_globalStrings->notSupportManyString(),
                             QMessageBox::Ok, QMessageBox::NoButton);
        return AppInitFailed;
    }

    getProcessEngine();
    CBaseMainWindow* window = ensureMainWindow();
    if (supported.isEmpty()) {
        window->showMaximized();
        return AppInitRunInterface;
    }
    if (supported.size() == 1) {
        if (!window->openFile(supported.first(), QString()))
            return AppInitFailed;
        window->showMaximized();
        return AppInitImagesOpened;
    }
    window->showMaximized();
    return window->openFilesInBatchMode(supported) ? AppInitImagesOpened : AppInitFailed;
}

NavikImagePtr CBaseApplication::loadPSImage()
{
    if (!m_pluginData.deserializeMap())
        return {};
    // Until the run's end says otherwise, the host reads that nothing came back.
    m_pluginData.setExitCode(3);
    NavikImagePtr image = createInputImage(m_pluginData);
    if (image)
        onPluginImageLoaded(image);
    return image;
}

QByteArray CBaseApplication::pluginWindowState()
{
    if (getMode() != PhotoshopMode)
        return {};
    return QByteArray::fromBase64(m_pluginData.pluginData());
}

void CBaseApplication::setPluginWindowState(const QByteArray& state)
{
    if (getMode() == PhotoshopMode)
        m_pluginData.setPluginData(state.toBase64());
}

void CBaseApplication::setResultPixelDataForPS(PixelDataPtr pixels)
{
    m_psResult = std::move(pixels);
}

PixelDataPtr CBaseApplication::resultPixelDataForPS() const
{
    return m_psResult;
}

bool CBaseApplication::event(QEvent* event)
{
    if (event->type() != QEvent::FileOpen)
        return IApplicationInterface::event(event);
    const QString file = static_cast<QFileOpenEvent*>(event)->file();
    LOG_MESSAGE('D', "CApplication::event FileOpen event: " << file);
    if (isEngineStarted() && m_mainWindow)
        m_mainWindow->saveOldAndOpenNewFile(file);
    else
        m_pendingOpenFiles.append(file);
    event->accept();
    return true;
}

void CBaseApplication::setStatisticSender(std::shared_ptr<IStatisticSender> sender)
{
    m_statisticSender = std::move(sender);
}

CBaseMainWindow* CBaseApplication::ensureMainWindow()
{
    if (!m_mainWindow)
        m_mainWindow = createMainWindow();
    return m_mainWindow;
}
