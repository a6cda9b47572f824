#include "utils/Utilities.h"

#include "utils/CSettings.h"
#include "utils/Logger.h"
#include "utils/MacOSNativeGlue.h"
#include "utils/SharedConstants.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QSysInfo>
#include <QUuid>

namespace NAVIK_tarl1 {

namespace {

const char kUserIdFile[] = "Navik Labs/NavikUserID";
const char kLaunchedKey[] = "app_launched";
const char kLaunchModeKey[] = "app_launchMode";
const char kCrashCounterPrefix[] = "crashCounter_";

// Length of a UUID in its 8-4-4-4-12 text form.
constexpr int kUuidTextLength = 36;
// A stored identifier is read no further than this: a braced UUID and a line end fit.
constexpr int kUserIdReadLimit = 42;

QString userStorageFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
        + QDir::separator() + g_appStorageDir;
}

QString crashCounterKey(const QString& mode)
{
    return QLatin1String(kCrashCounterPrefix) + mode;
}

// The identifier stored in the file, or a null QUuid when the text is not one:
// an optional opening brace, then 36 characters of 8-4-4-4-12 hexadecimal in
// either case; whatever follows is ignored.
QUuid parseStoredUserId(const QByteArray& bytes)
{
    const qsizetype end = bytes.indexOf('\0');
    QString text = QString::fromLatin1(end < 0 ? bytes : bytes.left(end));
    if (text.startsWith(QLatin1Char('{')))
        text.remove(0, 1);
    if (text.size() < kUuidTextLength)
        return {};
    return QUuid::fromString(QStringView(text).left(kUuidTextLength));
}

QString userIdText(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces);
}

void logUserIdWriteError(const QFile& file)
{
    LOG_MESSAGE('D', "Error during writing user ID to file " << file.fileName() << " : "
                                                             << file.errorString());
}

QString createUserId(const QString& path)
{
    const QString id = userIdText(QUuid::createUuid());
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        logUserIdWriteError(file);
        return id;
    }
    if (file.write(id.toLatin1()) != kUuidTextLength || !file.flush())
        logUserIdWriteError(file);
    return id;
}

} // namespace

QString getUserID()
{
    LOG_TRACE();
    const QString path = userStorageFolder() + QDir::separator() + QLatin1String(kUserIdFile);
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QUuid stored = parseStoredUserId(file.read(kUserIdReadLimit));
        if (!stored.isNull())
            return userIdText(stored);
        file.close();
    }
    return createUserId(path);
}

QString recallFilePath()
{
    LOG_TRACE();
    const QString folder = userStorageFolder() + QDir::separator() + QStringLiteral("recall");
    // Made directly, never through a shell: the path comes from the user's
    // environment and may hold any character.
    QDir().mkpath(folder);
    return folder + QDir::separator() + QStringLiteral("recall.bin");
}

QString getSamplePicturesLocation()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty())
        return {};
    if (!folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return folder + QStringLiteral("Navik Quillet Samples") + QDir::separator();
}

bool isFirstLaunch()
{
    return !getSettingsValue(QLatin1String(kLaunchedKey), QVariant()).isValid();
}

void setNotFirstLaunch()
{
    setSettingsValue(QLatin1String(kLaunchedKey), 1);
}

QString getLastLaunchMode()
{
    return getSettingsValue(QLatin1String(kLaunchModeKey), QString()).toString();
}

void setLastLaunchMode(const QString& mode)
{
    setSettingsValue(QLatin1String(kLaunchModeKey), mode);
}

void incrementCrashCounter()
{
    const QString key = crashCounterKey(getLastLaunchMode());
    CSettings settings;
    settings.setValue(key, settings.value(key, 0).toInt() + 1);
}

int crashCounterForPlugin(const QString& mode)
{
    return getSettingsValue(crashCounterKey(mode), 0).toInt();
}

void crashCounterReset(const QString& mode)
{
    const QString key = crashCounterKey(mode);
    CSettings settings;
    settings.setValue(key, 0);
    settings.remove(key);
}

void startFaultCourier()
{
    QProcess::execute(QStringLiteral("FaultCourier"), {});
}

void enableWindowCloseButton(long windowId, bool enabled)
{
    MacOSSetClosingWindowEnabled(windowId, enabled);
}

void centerDialogOnDesktop(QDialog* dialog)
{
    const QWidget* shown = dialog->parentWidget() ? dialog->parentWidget() : dialog;
    const QScreen* screen = shown->screen();
    if (!screen)
        return;
    QRect frame = dialog->frameGeometry();
    frame.moveCenter(screen->geometry().center());
    dialog->move(frame.topLeft());
}

void appendShortcutToActionToolTip(QAction& action)
{
    action.setToolTip(action.toolTip() + QStringLiteral(" (")
                      + action.shortcut().toString(QKeySequence::NativeText) + QLatin1Char(')'));
}

QString systemVersion()
{
    return QSysInfo::prettyProductName();
}

QString getNavikDataDir()
{
    return QStringLiteral("Navik Labs/tarl1/");
}

QString getQtPluginsDir(bool)
{
    LOG_TRACE();
    return {};
}

} // namespace NAVIK_tarl1
