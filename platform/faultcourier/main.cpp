// FaultCourier takes over the crash report that a crashed Quillet saved as
// "<documents>/Navik Quillet/CrashReports/temp/Navik Quillet.nqcrash" and files
// it in "<documents>/Navik Quillet/CrashReports/outbox", where it is kept.
// Nothing is sent anywhere. It is started with no arguments, after the crashed
// process is gone, and logs what it did to "<documents>/Navik Quillet/log".
//
// Exit codes: 0 report filed, 1 no report waiting, 2 the report could not be filed.

#include "FileLogger.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

enum ExitCode { ReportFiled = 0, NoReport = 1, FilingFailed = 2 };

QString productFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
        + QStringLiteral("/Navik Quillet");
}

QString pendingReportPath()
{
    return productFolder() + QStringLiteral("/CrashReports/temp/Navik Quillet.nqcrash");
}

QString outboxFolder()
{
    return productFolder() + QStringLiteral("/CrashReports/outbox");
}

// "Navik Quillet <UTC time of the crash>.nqcrash" in the outbox, numbered when
// an earlier report already has that name: filing never replaces a report.
QString freeOutboxPath(const QString& report)
{
    const QString stamp =
        QFileInfo(report).lastModified().toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString stem = outboxFolder() + QStringLiteral("/Navik Quillet ") + stamp;
    QString path = stem + QStringLiteral(".nqcrash");
    for (int number = 2; QFileInfo::exists(path); ++number)
        path = stem + QStringLiteral("-%1.nqcrash").arg(number);
    return path;
}

class CourierLog
{
public:
    CourierLog()
    {
        m_logger.init(QFile::encodeName(productFolder() + QStringLiteral("/log")).toStdString(),
                      "FaultCourier", 'D');
    }

    void write(char level, const QString& text) { m_logger.log(level, text.toUtf8().constData()); }

private:
    NavikLogger::FileLogger m_logger;
};

} // namespace

int main()
{
    CourierLog log;
    const QString report = pendingReportPath();
    if (!QFileInfo::exists(report)) {
        log.write('I', QStringLiteral("No crash report waiting at ") + report);
        return NoReport;
    }
    if (!QDir().mkpath(outboxFolder())) {
        log.write('E', QStringLiteral("Could not create the outbox folder ") + outboxFolder());
        return FilingFailed;
    }
    const QString filed = freeOutboxPath(report);
    QFile file(report);
    if (!file.rename(filed)) {
        log.write('E', QStringLiteral("Could not move crash report %1 to %2: %3")
                           .arg(report, filed, file.errorString()));
        return FilingFailed;
    }
    log.write('I', QStringLiteral("Crash report moved to the outbox: %1 (not sent)").arg(filed));
    return ReportFiled;
}
