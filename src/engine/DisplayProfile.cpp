#include "engine/DisplayProfile.h"

#include "utils/Logger.h"
#include "utils/MacOSNativeGlue.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>

#include <mutex>

namespace {

const QString sRGB = QStringLiteral("sRGB");

// The correction engine reads profiles from files: keep the display's in one,
// rewritten only when the desktop publishes another.
QString writeProfileFile(long displayId, const QByteArray& profile)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    const QString path = QDir(folder).filePath(QStringLiteral("display-%1.icc").arg(displayId));
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == profile)
        return path;

    QSaveFile file(path);
    if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly) || file.write(profile) != profile.size() ||
        !file.commit()) {
        qDebug() << "Cannot store the display profile in" << path;
        return sRGB;
    }
    return path;
}

// Every render request asks, many times a second while the user drags: the
// file is read and written only when the display or its profile changed.
QString storeProfile(long displayId, const QByteArray& profile)
{
    struct SStoredProfile
    {
        long displayId = -1;
        QByteArray profile;
        QString path;
    };
    static std::mutex lock;
    static SStoredProfile stored;

    std::lock_guard guard(lock);
    // A profile that could not be stored, or whose file went, is written again.
    const bool current = stored.displayId == displayId && stored.profile == profile && stored.path != sRGB &&
                         QFile::exists(stored.path);
    if (!current)
        stored = {displayId, profile, writeProfileFile(displayId, profile)};
    return stored.path;
}

} // namespace

QString displayProfileForOutput()
{
    QString profilePath = sRGB;
    // Without a GUI application (a console tool) there is no screen to ask.
    const bool hasScreens = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    const QScreen* screen = hasScreens ? QGuiApplication::primaryScreen() : nullptr;
    const long displayId = screen ? static_cast<long>(QGuiApplication::screens().indexOf(screen)) : -1;
    QByteArray profile;
    if (displayId >= 0 && NAVIK_tarl1::getDisplayColorProfile(displayId, profile) && !profile.isEmpty()) {
        profilePath = storeProfile(displayId, profile);
        qDebug() << "ICCProfile: " << profilePath;
    }
    LOG_MESSAGE('D', profilePath);
    return profilePath;
}
