#pragma once

// Renders a crash report as a plain-text crash log (report version 104): the
// process and system header, the signal, the uncaught exception, every
// thread's backtrace, the crashed thread's registers and the binary images.

#include "crash/NQCrashReport.h"

#include <QStringConverter>

enum NQCrashReportTextFormat {
    NQCrashReportTextFormatDefault = 0,
};

class NQCrashReportTextFormatter
{
public:
    NQCrashReportTextFormatter(NQCrashReportTextFormat textFormat, QStringConverter::Encoding stringEncoding);

    // The text in the stored encoding.
    QByteArray formatReport(const NQCrashReport& report, NQCrashReporterError* error) const;

    // The whole text; there is one layout, whatever the format.
    static QString stringValueForCrashReport(const NQCrashReport& report, NQCrashReportTextFormat textFormat);
    // One line of a backtrace.
    static QString formatStackFrame(const NQCrashReportStackFrameInfo& frame, long frameIndex, const NQCrashReport& report);

private:
    NQCrashReportTextFormat m_textFormat;
    QStringConverter::Encoding m_stringEncoding;
};
