#include "utils/Logger.h"

#include "utils/CSettings.h"
#include "utils/SharedConstants.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QStandardPaths>

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
        return g_logger;
    }
    if (!isLoggerEnabled())
        return nullptr;

    ILoggerInterface* loaded = loadLoggerLibrary(loggerLibraryPath());
    if (!loaded)
        return nullptr;
    g_logger = loaded;

    const QString level = getLogLevel();
    const char levelChar = level.isEmpty() ? '\0' : level.at(0).toLatin1();
    // Paths go to the library in the file-system encoding, so a documents
    // folder with non-ASCII characters still works.
    g_logger->init(QFile::encodeName(logFolderPath()).toStdString(), name.toLatin1().toStdString(), levelChar);
    writeBanner(g_logger);
    return g_logger;
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
