#include "shell/CBaseMainWindow.h"

#include "shell/CBaseApplication.h"
#include "shell/CFilteredURLs.h"
#include "shell/CGlobalStrings.h"
#include "shell/IProcessEngine.h"
#include "shell/ProgressIndicatorFlag.h"
#include "utils/CMessageBox.h"
#include "utils/CNativeDialogs.h"
#include "utils/CSettings.h"
#include "utils/Logger.h"
#include "utils/MacOSNativeGlue.h"
#include "utils/PhotoshopDataStructure.h"
#include "utils/SharedConstants.h"
#include "utils/StyleSheets.h"
#include "utils/Utilities.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QLocalSocket>
#include <QMimeData>

using namespace NAVIK_tarl1;

namespace {

const QString kRecentFolderKey = QStringLiteral("mw.recentFolder");
const QString kLastSaveExtensionKey = QStringLiteral("NavikLastUsedExtensionForSave");
const QString kLastSaveDirKey = QStringLiteral("NavikLastSaveDir");

const QString kUntitled = QStringLiteral("Untitled");
const QString kTiffExtension = QStringLiteral(".tif");
const QString kJpegExtension = QStringLiteral(".jpg");

// An enable request shows only after this long without another request.
constexpr int kControlsEnabledDelayMs = 500;
// Longest waits for the Photoshop host to take and to end the probe connection.
constexpr int kHostWaitMs = 30000;

IProcessEngine* engine()
{
    return CBaseApplication::processEngine();
}

// A name whose suffix is not one of the formats we save gets the suffix of
// the chosen format (JPEG when none was chosen), as file dialogs give one to
// a name typed without a suffix.
QString withSaveSuffix(QString fileName, const QString& extension)
{
    static const QStringList savedSuffixes = {QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("tif"),
                                              QStringLiteral("tiff")};
    if (savedSuffixes.contains(QFileInfo(fileName).suffix(), Qt::CaseInsensitive))
        return fileName;
    if (fileName.endsWith(QLatin1Char('.')))
        fileName.chop(1);
    return fileName + (extension.isEmpty() ? kJpegExtension : extension);
}

} // namespace

CBaseMainWindow::CBaseMainWindow(CBaseApplication* application, QWidget* parent)
    : IMainWindowInterface(parent)
    , m_application(application)
{
    m_controlsEnabledTimer.setSingleShot(true);
    m_controlsEnabledTimer.setInterval(kControlsEnabledDelayMs);
    connect(&m_controlsEnabledTimer, &QTimer::timeout, this, &CBaseMainWindow::onControlsEnabledTimer);
    m_lastUsedPictureDir = getSettingsValue(kRecentFolderKey, getSamplePicturesLocation()).toString();
    setCustomStyleSheet(this, false, QString());
    // Pictures dropped anywhere on the window reach dropEvent.
    setAcceptDrops(true);
}

CBaseMainWindow::~CBaseMainWindow()
{
    setSettingsValue(kRecentFolderKey, m_lastUsedPictureDir);
}

bool CBaseMainWindow::openFile(const QString& path, const QString& savePath)
{
    LOG_TRACE();
    MacOSAddDocument(path);
    doResetBeforeOpen();
    if (!doOpenFile(path)) {
        // The reset let go of the picture shown before: the window shows
        // the start page, as after Close.
        showRecentFilesPage();
        return false;
    }
    m_openedFilePath = path;
    m_saveFilePath = savePath;
    const QFileInfo file(path);
    LOG_MESSAGE('D', "Opened image file size: " << file.size());
    changeCaption(g_appTitle + QStringLiteral(" - ") + file.fileName());
    setupControlsState(true);
    return true;
}

bool CBaseMainWindow::openImage(NavikImagePtr image, const CWindowState& state)
{
    LOG_TRACE();
    doResetBeforeOpen();
    if (!doOpenImage(std::move(image), state))
        return false;
    changeCaption(g_appTitle);
    setupControlsState(true);
    return true;
}

bool CBaseMainWindow::openFilesInBatchMode(const QStringList& paths)
{
    LOG_TRACE();
    return doOpenFilesInBatchMode(paths);
}

CWindowState CBaseMainWindow::getWindowState() const
{
    return doGetWindowState();
}

void CBaseMainWindow::setControlsEnabled(bool allControls, bool enabled)
{
    m_pendingAllControls = m_pendingAllControls || allControls;
    m_controlsEnabledCounter += enabled ? 1 : -1;
    if (m_controlsEnabledCounter < 0) {
        doSetControlsEnabled(m_pendingAllControls, false);
        return;
    }
    m_controlsEnabledTimer.start();
}

void CBaseMainWindow::onControlsEnabledTimer()
{
    const bool allControls = m_pendingAllControls;
    m_pendingAllControls = false;
    doSetControlsEnabled(allControls, m_controlsEnabledCounter >= 0);
}

void CBaseMainWindow::enableWindowCloseButton(bool enabled)
{
    NAVIK_tarl1::enableWindowCloseButton(long(winId()), enabled);
}

bool CBaseMainWindow::saveOldAndOpenNewFile(const QString& path)
{
    LOG_TRACE();
    if (m_application->isPluginMode())
        return false;
    if (isPictureChanged() && !settleChangesBeforeLeaving())
        return false;
    LOG_MESSAGE('D', "m_lastUsedPictureDir == " << m_lastUsedPictureDir);

    QString filePath = path;
    if (filePath.isEmpty())
        filePath = QDir::toNativeSeparators(CNativeDialogs::getInstance()->getOpenFileName(
            this, tr("Open Image"), m_lastUsedPictureDir, g_globalStrings->imageFilesFilter()));
    LOG_MESSAGE('D', "filePath == " << filePath);
    if (filePath.isEmpty()) {
        activateWindow();
        return false;
    }

    // The message names the cause (missing, a folder, unreadable, empty,
    // damaged, of another type).
    QString reason;
    FileFailure failure = FileFailure::UnknownFormat;
    if (!m_application->isSupportedImageFileType(filePath)
        || !IProcessEngine::isFileSupported(filePath, &failure, &reason)) {
        LOG_MESSAGE('D', "CMessageBox::warning(this, g_appTitle, g_globalStrings->notSupportString()); " << reason);
        warnOpenFailed(failure);
        return false;
    }
    // Remembered before the open: a picture that then fails to open still
    // names the folder the user was looking in.
    m_lastUsedPictureDir = QFileInfo(filePath).dir().path();
    LOG_MESSAGE('D', "m_lastUsedPictureDir == " << m_lastUsedPictureDir);
    const bool opened = openFile(filePath, QString());
    activateWindow();
    return opened;
}

void CBaseMainWindow::warnOpenFailed(FileFailure failure)
{
    const QString text =
        isUnsupportedTypeFailure(failure) ? g_globalStrings->notSupportString() : tr("Sorry, file could not be opened");
    CMessageBox::warningWithReason(this, g_appTitle, text, CFileFailureTexts::whyNotOpened(failure), QString());
}

bool CBaseMainWindow::saveOldAndOpenNewFile()
{
    return saveOldAndOpenNewFile(QString());
}

bool CBaseMainWindow::saveOpenedFile()
{
    LOG_TRACE();
    if (mode() == CBaseApplication::PhotoshopMode) {
        const PhotoshopSaveResult result = doSaveImageToPS();
        // The edits stay for another try, or to be closed without saving.
        if (result == PhotoshopSaveResult::Cancelled)
            return false;
        const bool handedBack = result == PhotoshopSaveResult::HandedBack;
        setPictureChanged(false);
        CBaseApplication::setImageSaved(handedBack);
        close();
        return handedBack;
    }
    const QString target = saveTarget();
    ASSERT_X(!target.isEmpty(), "CBaseMainWindow::saveOpenedFile", "no file to save to");
    if (!doSaveFile(target, QString()))
        return false;
    CBaseApplication::setImageSaved(true);
    setPictureChanged(false);
    if (isHostEditorMode())
        close();
    return true;
}

bool CBaseMainWindow::saveOpenedFileAs()
{
    // Save As from the menu or its keys waits for no render: it is off while one runs.
    if (engine()->isProcessingActive() || isProgressIndicatorVisible())
        return false;
    return chooseNameAndSave();
}

bool CBaseMainWindow::chooseNameAndSave()
{
    LOG_TRACE();
    if (isHostEditorMode())
        return false;

    const QString extension = getSettingsValue(kLastSaveExtensionKey, QString()).toString();
    QString folder = getSettingsValue(kLastSaveDirKey, QString()).toString();
    if (folder.isEmpty())
        folder = m_lastUsedPictureDir;

    QString selectedFilter;
    if (extension == kTiffExtension || extension == QLatin1String(".tiff"))
        selectedFilter = g_globalStrings->tiffFilesFilter();
    else if (extension == kJpegExtension || extension == QLatin1String(".jpeg"))
        selectedFilter = g_globalStrings->jpegFilesFilter();

    const QString chosenName = CNativeDialogs::getInstance()->getSaveFileName(
        this, tr("Save File As"), proposedSaveName(folder, extension), g_globalStrings->jpegTiffFilter(),
        &selectedFilter);
    if (chosenName.isEmpty())
        return false;

    QString newExtension;
    if (selectedFilter == g_globalStrings->tiffFilesFilter())
        newExtension = kTiffExtension;
    else if (selectedFilter == g_globalStrings->jpegFilesFilter())
        newExtension = kJpegExtension;
    const QString fileName = withSaveSuffix(chosenName, newExtension);
    setSettingsValue(kLastSaveExtensionKey, newExtension);
    setSettingsValue(kLastSaveDirKey, QFileInfo(fileName).absolutePath());

    if (!doSaveFile(fileName, newExtension))
        return false;
    setPictureChanged(false);
    return true;
}

void CBaseMainWindow::closeApp()
{
    close();
}

QMessageBox::StandardButton CBaseMainWindow::saveImageBeforeClosing()
{
    LOG_TRACE();
    // Also asked when the application quits; without an engine there is no picture.
    const IProcessEngine* processEngine = engine();
    if (!processEngine || !processEngine->isPictureLoaded() || !processEngine->isPictureChanged()
        || !isPictureChanged())
        return QMessageBox::Discard;

    const bool userAsked = m_application->isSaveDialogEnabled();
    if (userAsked) {
        const QMessageBox::StandardButton answer = askToSaveChanges();
        if (answer == QMessageBox::Discard) {
            CBaseApplication::setImageSaved(false);
            return QMessageBox::Discard;
        }
        if (answer == QMessageBox::Cancel)
            return QMessageBox::Cancel;
        if (answer != QMessageBox::Save) {
            ASSERT(false);
            return QMessageBox::Discard;
        }
    }

    applyCurrentTool();
    switch (mode()) {
    case CBaseApplication::PhotoshopMode: {
        const QMessageBox::StandardButton handedBack = handBackToPhotoshop();
        // A hand-back that could not be made keeps the window; a host that
        // asked for no question still lets the user leave without saving.
        if (handedBack == QMessageBox::Cancel && !userAsked && askToSaveChanges() == QMessageBox::Discard) {
            CBaseApplication::setImageSaved(false);
            return QMessageBox::Discard;
        }
        return handedBack;
    }
    case CBaseApplication::StandaloneMode:
        return chooseNameAndSave() ? QMessageBox::Save : QMessageBox::Cancel;
    default:
        return saveForHostEditor(userAsked);
    }
}

void CBaseMainWindow::closeOpenedFile()
{
    LOG_TRACE();
    if (m_application->isPluginMode())
        return;
    if (isPictureChanged() && !settleChangesBeforeLeaving())
        return;
    doResetBeforeOpen();
    showRecentFilesPage();
}

void CBaseMainWindow::closeEvent(QCloseEvent* event)
{
    if (saveImageBeforeClosing() == QMessageBox::Cancel) {
        event->ignore();
        return;
    }
    saveSettings();
    event->accept();
}

void CBaseMainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    acceptDraggedPicture(event);
}

void CBaseMainWindow::dragMoveEvent(QDragMoveEvent* event)
{
    acceptDraggedPicture(event);
}

void CBaseMainWindow::dragLeaveEvent(QDragLeaveEvent* event)
{
    event->accept();
}

void CBaseMainWindow::dropEvent(QDropEvent* event)
{
    LOG_TRACE();
    if (mode() != CBaseApplication::StandaloneMode || !event->mimeData()->hasUrls())
        return;
    const QString path = droppedPicture(*event);
    if (path.isEmpty()) {
        CMessageBox::warning(this, g_appTitle, g_globalStrings->notSupportString(), QMessageBox::Ok,
                             QMessageBox::NoButton);
        return;
    }
    if (engine()->isPictureChanged()) {
        switch (askToSaveChanges()) {
        case QMessageBox::Cancel:
            return;
        case QMessageBox::Save:
            applyCurrentTool();
            // A save that failed or was cancelled keeps the edited picture:
            // opening the dropped one would lose the edits.
            if (!saveOpenedFile())
                return;
            break;
        default:
            break;
        }
    }
    if (openFile(path, QString()))
        event->acceptProposedAction();
}

std::unique_ptr<QLocalSocket> CBaseMainWindow::connectToPhotoshopHost()
{
    auto socket = std::make_unique<QLocalSocket>();
    socket->connectToServer(QString::fromLatin1(g_photoshopServerName), QIODevice::ReadWrite);
    if (!socket->waitForConnected(kHostWaitMs))
        return nullptr;
    return socket;
}

void CBaseMainWindow::disconnectFromPhotoshopHost(QLocalSocket& socket)
{
    socket.disconnectFromServer();
    // Already disconnected when the host closed the connection first.
    if (socket.state() != QLocalSocket::UnconnectedState)
        socket.waitForDisconnected(kHostWaitMs);
}

int CBaseMainWindow::mode() const
{
    return m_application->getMode();
}

bool CBaseMainWindow::isHostEditorMode() const
{
    return mode() == CBaseApplication::LightroomMode || mode() == CBaseApplication::ApertureMode;
}

QMessageBox::StandardButton CBaseMainWindow::askToSaveChanges()
{
    return CMessageBox::saveDiscardCancelMessage(this, g_appTitle,
                                                 tr("The picture has been modified. Do you want to save changes?"),
                                                 QMessageBox::Save, CMessageBox::ButtonsSaveLast);
}

bool CBaseMainWindow::settleChangesBeforeLeaving()
{
    switch (askToSaveChanges()) {
    case QMessageBox::Cancel:
        return false;
    case QMessageBox::Save:
        LOG_MESSAGE('D', "msgBox.clickedButton() == saveButton");
        applyCurrentTool();
        return chooseNameAndSave();
    default:
        return true;
    }
}

QMessageBox::StandardButton CBaseMainWindow::handBackToPhotoshop()
{
    const std::unique_ptr<QLocalSocket> host = connectToPhotoshopHost();
    if (!host) {
        const QMessageBox::StandardButton saveToFile = CMessageBox::yesNoMessage(
            this, g_appTitle, tr("Photoshop has been crashed. Would you like to save image to the file?"),
            QMessageBox::No);
        if (saveToFile == QMessageBox::Yes && !chooseNameAndSave())
            return QMessageBox::Cancel;
        CBaseApplication::setImageSaved(false);
        return QMessageBox::Save;
    }
    const PhotoshopSaveResult result = doSaveImageToPS();
    disconnectFromPhotoshopHost(*host);
    if (result == PhotoshopSaveResult::Cancelled)
        return QMessageBox::Cancel;
    CBaseApplication::setImageSaved(result == PhotoshopSaveResult::HandedBack);
    return QMessageBox::Save;
}

QMessageBox::StandardButton CBaseMainWindow::saveForHostEditor(bool userWasAsked)
{
    const QString target = saveTarget();
    if (target.isEmpty()) {
        ASSERT(false);
        return QMessageBox::Save;
    }
    const bool saved = doSaveFile(target, QString());
    CBaseApplication::setImageSaved(saved);
    // The user who chose to save keeps the window after a failed save, to
    // try again or to close without saving; a host that asked for no
    // question gets the window closed either way.
    return saved || !userWasAsked ? QMessageBox::Save : QMessageBox::Cancel;
}

QString CBaseMainWindow::saveTarget() const
{
    return m_saveFilePath.isEmpty() ? m_openedFilePath : m_saveFilePath;
}

QString CBaseMainWindow::proposedSaveName(const QString& folder, const QString& extension) const
{
    const QString name = m_openedFilePath.isEmpty()
        ? kUntitled
        : QFileInfo(m_openedFilePath).baseName() + g_globalStrings->saveNameSuffix() + extension;
    return QDir::toNativeSeparators(QDir::cleanPath(folder + QDir::separator() + name));
}

QString CBaseMainWindow::droppedPicture(const QDropEvent& event) const
{
    const QList<QUrl> urls = event.mimeData()->urls();
    const CFilteredURLs pictures(urls);
    if (urls.size() != 1 || pictures.acceptedFiles().isEmpty() || !pictures.isImage())
        return QString();
    return pictures.acceptedFiles().first();
}

void CBaseMainWindow::acceptDraggedPicture(QDragMoveEvent* event)
{
    if (mode() != CBaseApplication::StandaloneMode || !event->mimeData()->hasUrls())
        return;
    if (!droppedPicture(*event).isEmpty())
        event->acceptProposedAction();
}
