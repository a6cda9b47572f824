#include "crash/NQCrashReportTextFormatter.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace {

const QString kUnknown = QStringLiteral("???");
const uint64_t kProcessorX86_64 = 0x1000007;

// printf into a QString, for the numeric parts of a line.
QString format(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
QString format(const char* pattern, ...)
{
    char buffer[512];
    va_list arguments;
    va_start(arguments, pattern);
    std::vsnprintf(buffer, sizeof buffer, pattern, arguments);
    va_end(arguments);
    return QString::fromUtf8(buffer);
}

QString orUnknown(const QString& value)
{
    return value.isNull() ? kUnknown : value;
}

QString lastPathComponent(const QString& path)
{
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    const qsizetype cut = trimmed.lastIndexOf(QLatin1Char('/'));
    if (cut < 0 || trimmed.size() == 1)
        return trimmed;
    return trimmed.mid(cut + 1);
}

QString operatingSystemName(int system)
{
    switch (system) {
    case 0: return QStringLiteral("Mac OS X");
    case 1: return QStringLiteral("iPhone OS");
    case 2: return QStringLiteral("Mac OS X");
    default: return format("Unknown (%d)", system);
    }
}

struct CodeType
{
    QString name;
    bool lp64;
};

CodeType codeTypeOf(const NQCrashReport& report)
{
    for (const NQCrashReportBinaryImageInfo& image : report.images()) {
        const NQCrashReportProcessorInfo processor = image.codeType();
        if (processor.typeEncoding() != int(NQCrashReportProcessorTypeEncoding::Mach))
            continue;
        switch (processor.type()) {
        case kProcessorX86_64: return {QStringLiteral("X86-64"), true};
        case 7: return {QStringLiteral("X86"), false};
        case 12: return {QStringLiteral("ARM"), false};
        case 18: return {QStringLiteral("PPC"), false};
        default: break;
        }
    }
    const int architecture = report.systemInfo().architecture();
    switch (architecture) {
    case 0: return {QStringLiteral("X86"), false};
    case 1: return {QStringLiteral("X86-64"), true};
    case 2: case 5: return {QStringLiteral("ARM"), false};
    case 3: return {QStringLiteral("PPC"), false};
    default: return {format("Unknown (%d)", architecture), true};
    }
}

QString architectureName(const NQCrashReportProcessorInfo& processor)
{
    if (processor.typeEncoding() != int(NQCrashReportProcessorTypeEncoding::Mach))
        return kUnknown;
    switch (processor.type()) {
    case 7: return QStringLiteral("i386");
    case 12:
        if (processor.subtype() == 9)
            return QStringLiteral("armv7");
        if (processor.subtype() == 6)
            return QStringLiteral("armv6");
        return QStringLiteral("arm-unknown");
    case 18: return QStringLiteral("powerpc");
    case kProcessorX86_64: return QStringLiteral("x86_64");
    default: return kUnknown;
    }
}

int imageSortCompare(const NQCrashReportBinaryImageInfo& a, const NQCrashReportBinaryImageInfo& b)
{
    if (a.imageBaseAddress() < b.imageBaseAddress())
        return -1;
    if (a.imageBaseAddress() > b.imageBaseAddress())
        return 1;
    return 0;
}

QString dateText(const QDateTime& timestamp)
{
    if (!timestamp.isValid())
        return kUnknown;
    return timestamp.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss +0000"));
}

} // namespace

NQCrashReportTextFormatter::NQCrashReportTextFormatter(NQCrashReportTextFormat textFormat,
                                                       QStringConverter::Encoding stringEncoding)
    : m_textFormat(textFormat)
    , m_stringEncoding(stringEncoding)
{
}

QByteArray NQCrashReportTextFormatter::formatReport(const NQCrashReport& report, NQCrashReporterError*) const
{
    QStringEncoder encoder(m_stringEncoding);
    return encoder.encode(stringValueForCrashReport(report, m_textFormat));
}

QString NQCrashReportTextFormatter::formatStackFrame(const NQCrashReportStackFrameInfo& frame, long frameIndex,
                                                     const NQCrashReport& report)
{
    const uint64_t pc = frame.instructionPointer();
    const NQCrashReportBinaryImageInfo* image = report.imageForAddress(pc);
    const QByteArray imageName = image ? lastPathComponent(image->imageName()).toUtf8() : QByteArrayLiteral("???");
    const uint64_t base = image ? image->imageBaseAddress() : 0;
    const long long offset = image ? static_cast<long long>(pc - base) : 0;
    return format("%-4ld%-36s0x%08llx 0x%llx + %lld\n", frameIndex, imageName.constData(),
                  static_cast<unsigned long long>(pc), static_cast<unsigned long long>(base), offset);
}

QString NQCrashReportTextFormatter::stringValueForCrashReport(const NQCrashReport& report, NQCrashReportTextFormat)
{
    const CodeType codeType = codeTypeOf(report);
    const NQCrashReportProcessInfo* process = report.processInfo();
    QString text;

    text += QStringLiteral("Incident Identifier: [TODO]\n");
    text += QStringLiteral("CrashReporter Key:   [TODO]\n");
    text += QStringLiteral("Hardware Model:      %1\n")
                .arg(report.machineInfo() ? orUnknown(report.machineInfo()->modelName()) : kUnknown);
    text += QStringLiteral("Process:         %1 [%2]\n")
                .arg(process ? orUnknown(process->processName()) : kUnknown,
                     process ? QString::number(process->processID()) : kUnknown);
    text += QStringLiteral("Path:            %1\n").arg(process ? orUnknown(process->processPath()) : kUnknown);
    text += QStringLiteral("Identifier:      %1\n").arg(report.applicationInfo().applicationIdentifier());
    text += QStringLiteral("Version:         %1\n").arg(report.applicationInfo().applicationVersion());
    text += QStringLiteral("Code Type:       %1\n").arg(codeType.name);
    text += QStringLiteral("Parent Process:  %1 [%2]\n")
                .arg(process ? orUnknown(process->parentProcessName()) : kUnknown,
                     process ? QString::number(process->parentProcessID()) : kUnknown);
    text += QLatin1Char('\n');

    const NQCrashReportSystemInfo& system = report.systemInfo();
    text += QStringLiteral("Date/Time:       %1\n").arg(dateText(system.timestamp()));
    text += QStringLiteral("OS Version:      %1 %2 (%3)\n")
                .arg(operatingSystemName(system.operatingSystem()), system.operatingSystemVersion(),
                     orUnknown(system.operatingSystemBuild()));
    text += QStringLiteral("Report Version:  104\n");
    text += QLatin1Char('\n');

    const NQCrashReportSignalInfo& signal = report.signalInfo();
    text += QStringLiteral("Exception Type:  %1\n").arg(signal.name());
    text += QStringLiteral("Exception Codes: %1 at 0x%2\n").arg(signal.code(), QString::number(signal.address(), 16));
    for (const NQCrashReportThreadInfo& thread : report.threads()) {
        if (thread.crashed()) {
            text += format("Crashed Thread:  %ld\n", thread.threadNumber());
            break;
        }
    }
    text += QLatin1Char('\n');

    if (const NQCrashReportExceptionInfo* exception = report.exceptionInfo()) {
        text += QStringLiteral("Application Specific Information:\n");
        text += QStringLiteral("*** Terminating app due to uncaught exception '%1', reason: '%2'\n")
                    .arg(exception->exceptionName(), exception->exceptionReason());
        text += QLatin1Char('\n');
    }

    long highestThread = 0;
    const NQCrashReportThreadInfo* crashedThread = nullptr;
    for (const NQCrashReportThreadInfo& thread : report.threads()) {
        if (thread.crashed()) {
            text += format("Thread %ld Crashed:\n", thread.threadNumber());
            crashedThread = &thread;
        } else {
            text += format("Thread %ld:\n", thread.threadNumber());
        }
        const QList<NQCrashReportStackFrameInfo> frames = thread.stackFrames();
        for (qsizetype i = 0; i < frames.size(); ++i)
            text += formatStackFrame(frames.at(i), long(i), report);
        text += QLatin1Char('\n');
        highestThread = std::max(highestThread, thread.threadNumber());
    }

    if (const NQCrashReportExceptionInfo* exception = report.exceptionInfo()) {
        const auto frames = exception->stackFrames();
        if (frames && !frames->isEmpty()) {
            const long number = highestThread + 1;
            text += format("Thread %ld name:  Exception Backtrace\n", number);
            text += format("Thread %ld:\n", number);
            for (qsizetype i = 0; i < frames->size(); ++i)
                text += formatStackFrame(frames->at(i), long(i), report);
            text += QLatin1Char('\n');
        }
    }

    if (crashedThread) {
        text += QStringLiteral("Thread %1 crashed with %2 Thread State:\n")
                    .arg(QString::number(crashedThread->threadNumber()), codeType.name);
        const NQCrashReportMachineInfo* machine = report.machineInfo();
        const bool arm = machine && machine->processorInfo().typeEncoding() == int(NQCrashReportProcessorTypeEncoding::Mach)
            && (machine->processorInfo().type() & 0xffffff) == 12;
        const QList<NQCrashReportRegisterInfo> registers = crashedThread->registers();
        int column = 0;
        for (const NQCrashReportRegisterInfo& value : registers) {
            QString name = value.registerName();
            if (arm && name == QLatin1String("r12"))
                name = QStringLiteral("ip");
            const QByteArray nameBytes = name.toUtf8();
            const auto number = static_cast<unsigned long long>(value.registerValue());
            text += codeType.lp64 ? format("%6s: 0x%016llx ", nameBytes.constData(), number)
                                  : format("%6s: 0x%08llx ", nameBytes.constData(), number);
            if (++column == 4) {
                text += QLatin1Char('\n');
                column = 0;
            }
        }
        if (column != 0)
            text += QLatin1Char('\n');
        text += QLatin1Char('\n');
    }

    text += QStringLiteral("Binary Images:\n");
    QList<NQCrashReportBinaryImageInfo> images = report.images();
    std::stable_sort(images.begin(), images.end(), [](const auto& a, const auto& b) { return imageSortCompare(a, b) < 0; });
    const QString processPath = process ? process->processPath() : QString();
    for (const NQCrashReportBinaryImageInfo& image : images) {
        const uint64_t base = image.imageBaseAddress();
        const uint64_t end = image.imageSize() == 0 ? base : base + image.imageSize() - 1;
        text += codeType.lp64 ? format("%#18llx - %#18llx ", static_cast<unsigned long long>(base),
                                       static_cast<unsigned long long>(end))
                              : format("%#10llx - %#10llx ", static_cast<unsigned long long>(base),
                                       static_cast<unsigned long long>(end));
        const bool mainImage = !processPath.isNull() && image.imageName() == processPath;
        text += QStringLiteral("%1%2 %3  <%4> %5\n")
                    .arg(mainImage ? QStringLiteral("+") : QStringLiteral(" "), lastPathComponent(image.imageName()),
                         architectureName(image.codeType()), orUnknown(image.imageUUID()), image.imageName());
    }
    return text;
}
