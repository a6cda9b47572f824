// Feeds arbitrary bytes to the crash report reader and renders what it
// accepts as text, as a damaged or hostile report file would be: reading may
// refuse, but must never crash, hang or read outside the bytes.

#include "crash/NQCrashReport.h"
#include "crash/NQCrashReportTextFormatter.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    NQCrashReporterError error;
    const std::unique_ptr<NQCrashReport> report = NQCrashReport::initWithData(bytes, &error);
    if (!report) {
        if (error.description.isEmpty())
            __builtin_trap();
        return 0;
    }
    // An accepted report has what the text needs.
    if (report->threads().isEmpty() || report->images().isEmpty())
        __builtin_trap();
    const QString text = NQCrashReportTextFormatter::stringValueForCrashReport(*report, NQCrashReportTextFormatDefault);
    if (!text.contains(QLatin1String("Binary Images:\n")))
        __builtin_trap();
    for (const NQCrashReportThreadInfo& thread : report->threads()) {
        for (const NQCrashReportStackFrameInfo& frame : thread.stackFrames())
            report->imageForAddress(frame.instructionPointer());
    }
    return 0;
}
