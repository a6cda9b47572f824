// quillet-crash-report <report.nqcrash>
//
// Prints a crash report file as the text crash log. Exit status 0: printed;
// 1: the file could not be opened or read; 2: it is not a readable crash
// report (not a regular file, a wrong header, larger than a report can be,
// or a damaged body).

#include "crash/NQCrashReport.h"
#include "crash/NQCrashReportTextFormatter.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2 || arguments.at(1).startsWith(QLatin1Char('-'))) {
        std::fprintf(stderr, "Usage: quillet-crash-report <report.nqcrash>\n"
                             "Prints a crash report file as text.\n");
        return arguments.contains(QStringLiteral("--help")) ? 0 : 1;
    }
    NQCrashReporterError error;
    const QByteArray data = NQCrashReport::readReportFile(arguments.at(1), &error);
    if (data.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(arguments.at(1)), qPrintable(error.description));
        return error.code == NQCrashReporterErrorSystemCall ? 1 : 2;
    }
    const std::unique_ptr<NQCrashReport> report = NQCrashReport::initWithData(data, &error);
    if (!report) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(arguments.at(1)), qPrintable(error.description));
        return 2;
    }
    const NQCrashReportTextFormatter formatter(NQCrashReportTextFormatDefault, QStringConverter::Utf8);
    const QByteArray text = formatter.formatReport(*report, nullptr);
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    return 0;
}
