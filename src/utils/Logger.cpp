#include "utils/Logger.h"

#include "utils/CSettings.h"
#include "utils/SharedConstants.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QStandardPaths>

#include <mutex>
#include <vector>

namespace NAVIK_tarl1 {

ILoggerInterface* g_logger = nullptr;

namespace {

const char kProductVersionBanner[] = "Navik Quillet Version: " QUILLET_VERSION_STRING;

void writeBanner(ILoggerInterface* logger)
{
    const std::string now = "Current time (UTC): "
        + QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString();
    logger->log('D', now.c_str());
    logger->log('D', kProductVersionBanner);
}

// Lines logged before the logger was set up, kept for it.
struct KeptLine
{
    char level;
    std::string text;
};
constexpr size_t kMaxKeptLines = 64;
std::mutex s_keptLinesMutex;
std::vector<KeptLine> s_keptLines;
// initLogger has run: lines are no longer kept.
bool s_loggerSetUp = false;

// Ends the keeping: the kept lines go to the logger, or nowhere without one.
void settleKeptLines(ILoggerInterface* logger)
{
    std::vector<KeptLine> lines;
    {
        const std::lock_guard<std::mutex> lock(s_keptLinesMutex);
        s_loggerSetUp = true;
        lines.swap(s_keptLines);
    }
    if (!logger)
        return;
    for (const KeptLine& line : lines)
        logger->log(line.level, line.text.c_str());
}

QString executableFolder()
{
    // Works before any QCoreApplication exists, unlike applicationDirPath().
    const QFileInfo self(QStringLiteral("/proc/self/exe"));
    return QFileInfo(self.canonicalFilePath()).absolutePath();
}

} // namespace

QString loggerLibraryPath()
{
    return QDir::cleanPath(executableFolder() + QStringLiteral("/../Frameworks/LoggerDlltarl1"));
}

ILoggerInterface* loadLoggerLibrary(const QString& libraryPath)
{
    // The library stays loaded for the life of the process: QLibrary does not
    // unload when it goes out of scope.
    QLibrary library(libraryPath);
    if (!library.load())
        return nullptr;
    auto factory = reinterpret_cast<LoggerInstanceFunction>(library.resolve("loggerInstance"));
    if (!factory)
        return nullptr;
    return factory();
}

ILoggerInterface* initLogger(ILoggerInterface* logger, const QString& name)
{
    if (g_logger)
        return g_logger;
    if (logger) {
        g_logger = logger;
        settleKeptLines(g_logger);
        return g_logger;
    }
    ILoggerInterface* loaded = isLoggerEnabled() ? loadLoggerLibrary(loggerLibraryPath()) : nullptr;
    if (!loaded) {
        settleKeptLines(nullptr);
        return nullptr;
    }
    g_logger = loaded;

    const QString level = getLogLevel();
    const char levelChar = level.isEmpty() ? '\0' : level.at(0).toLatin1();
    // Paths go to the library in the file-system encoding, so a documents
    // folder with non-ASCII characters still works.
    g_logger->init(QFile::encodeName(logFolderPath()).toStdString(), name.toLatin1().toStdString(), levelChar);
    writeBanner(g_logger);
    settleKeptLines(g_logger);
    return g_logger;
}

void logStartupMessage(char level, const QString& text)
{
    std::string line = text.toUtf8().toStdString();
    ILoggerInterface* logger = g_logger;
    if (!logger) {
        const std::lock_guard<std::mutex> lock(s_keptLinesMutex);
        // Set up in the meantime: initLogger sets g_logger before it settles.
        logger = g_logger;
        if (!logger) {
            if (!s_loggerSetUp && s_keptLines.size() < kMaxKeptLines)
                s_keptLines.push_back({level, std::move(line)});
            return;
        }
    }
    logger->log(level, line.c_str());
}

QString logFolderPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
        + QDir::separator() + g_appStorageDir + QDir::separator() + QStringLiteral("log");
}

LogTraceHandle logTrace(const char* function, const char* file, int line)
{
    if (!g_logger)
        return {};
    return g_logger->trace(function, file, line);
}

void reportAssertion(const char* kind, const char* file, int line)
{
    if (!g_logger)
        return;
    const QString text = QStringLiteral("%1 in %2 %3")
                             .arg(QLatin1String(kind))
                             .arg(QString::fromLocal8Bit(file))
                             .arg(line);
    g_logger->log('E', text.toLocal8Bit().constData());
}

} // namespace NAVIK_tarl1

std::ostream& operator<<(std::ostream& stream, const QString& text)
{
    return stream << text.toUtf8().constData();
}
