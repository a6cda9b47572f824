#include "engine/DisplayProfile.h"

#include "utils/AtomicFileWrite.h"
#include "utils/Logger.h"
#include "utils/MacOSNativeGlue.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QStandardPaths>

#include <utility>

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

    if (!QDir().mkpath(folder) || !NAVIK_tarl1::writeFileAtomically(path, profile)) {
        LOG_MESSAGE('W', "Cannot store the display profile in " << path);
        return sRGB;
    }
    return path;
}

// Every render request asks, many times a second while the user drags; asking
// the desktop costs round trips to the display server. The answer is kept
// until the screens or the published profiles change.
struct SDisplayProfileCache
{
    bool valid = false;
    QString path;
    DisplayProfileLookup lookup;
    // Tells the cache of changes; made with the first lookup, gone with the
    // application.
    QPointer<QObject> watcher;
};

SDisplayProfileCache& cache()
{
    static SDisplayProfileCache instance;
    return instance;
}

void watchScreens(QGuiApplication* application)
{
    SDisplayProfileCache& stored = cache();
    if (stored.watcher)
        return;
    auto* watcher = new QObject(application);
    QObject::connect(application, &QGuiApplication::primaryScreenChanged, watcher, &forgetDisplayProfile);
    QObject::connect(application, &QGuiApplication::screenAdded, watcher, &forgetDisplayProfile);
    QObject::connect(application, &QGuiApplication::screenRemoved, watcher, &forgetDisplayProfile);
    NAVIK_tarl1::watchDisplayColorProfiles(watcher, &forgetDisplayProfile);
    stored.watcher = watcher;
}

// The profile's path; `settled` is false when the desktop published a
// profile that could not be stored, which is then asked for again.
QString lookUpDisplayProfile(QGuiApplication* application, bool* settled)
{
    *settled = true;
    const QScreen* screen = application ? QGuiApplication::primaryScreen() : nullptr;
    const long displayId = screen ? static_cast<long>(QGuiApplication::screens().indexOf(screen)) : -1;
    if (displayId < 0)
        return sRGB;
    QByteArray profile;
    const DisplayProfileLookup& lookup = cache().lookup;
    const bool published =
        lookup ? lookup(displayId, profile) : NAVIK_tarl1::getDisplayColorProfile(displayId, profile);
    if (!published || profile.isEmpty())
        return sRGB;
    const QString path = writeProfileFile(displayId, profile);
    *settled = path != sRGB;
    LOG_MESSAGE('D', "ICCProfile: " << path);
    return path;
}

} // namespace

QString displayProfileForOutput()
{
    // Without a GUI application (a console tool) there is no screen to ask.
    auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    SDisplayProfileCache& stored = cache();
    // A profile whose file went is written again.
    const bool current = stored.valid && (stored.path == sRGB || QFile::exists(stored.path));
    if (!current) {
        if (application)
            watchScreens(application);
        bool settled = false;
        stored.path = lookUpDisplayProfile(application, &settled);
        // Without an application the screens may come later: ask again.
        stored.valid = settled && application != nullptr;
        LOG_MESSAGE('D', stored.path);
    }
    return stored.path;
}

void forgetDisplayProfile()
{
    cache().valid = false;
}

void setDisplayProfileLookup(DisplayProfileLookup lookup)
{
    cache().lookup = std::move(lookup);
    forgetDisplayProfile();
}
