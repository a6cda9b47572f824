// quillet-crash-report <report.nqcrash>
//
// Prints a crash report file as the text crash log. Exit status 0: printed;
// 1: the file could not be read; 2: it is not a readable crash report.

#include "crash/NQCrashReport.h"
#include "crash/NQCrashReportTextFormatter.h"

#include <QCoreApplication>
#include <QFile>

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
    QFile file(arguments.at(1));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "Could not read %s: %s\n", qPrintable(arguments.at(1)), qPrintable(file.errorString()));
        return 1;
    }
    NQCrashReporterError error;
    const std::unique_ptr<NQCrashReport> report = NQCrashReport::initWithData(file.readAll(), &error);
    if (!report) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(arguments.at(1)), qPrintable(error.description));
        return 2;
    }
    const NQCrashReportTextFormatter formatter(NQCrashReportTextFormatDefault, QStringConverter::Utf8);
    const QByteArray text = formatter.formatReport(*report, nullptr);
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    return 0;
}
