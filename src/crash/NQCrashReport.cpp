#include "crash/NQCrashReport.h"

#include "crash_report.pb-c.h"

#include <QFile>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kMagic[] = "nqcrash";
const size_t kMagicLength = 7;
const int kFormatVersion = 1;

using Report = Nqcrash__CrashReport;

QString text(const char* value)
{
    return value ? QString::fromUtf8(value) : QString();
}

bool fail(NQCrashReporterError* error, const QString& description)
{
    nqPopulateError(error, NQCrashReporterErrorInvalidReport, description);
    return false;
}

bool extractProcessorInfo(const Nqcrash__CrashReport__Processor* processor, NQCrashReportProcessorInfo* out,
                          NQCrashReporterError* error)
{
    if (!processor)
        return fail(error, QStringLiteral("Crash report is missing processor info section"));
    *out = NQCrashReportProcessorInfo(processor->encoding, processor->type, processor->subtype);
    return true;
}

bool extractStackFrameInfo(const Nqcrash__CrashReport__Thread__StackFrame* frame,
                           QList<NQCrashReportStackFrameInfo>* frames, NQCrashReporterError* error)
{
    if (!frame)
        return fail(error, QStringLiteral("Crash report is missing stack frame information"));
    frames->append(NQCrashReportStackFrameInfo(frame->pc));
    return true;
}

} // namespace

struct NQCrashReport::Decoder
{
    ~Decoder()
    {
        if (message)
            nqcrash__crash_report__free_unpacked(message, nullptr);
    }
    Report* message = nullptr;
};

NQCrashReportBinaryImageInfo::NQCrashReportBinaryImageInfo(const NQCrashReportProcessorInfo& codeType,
                                                           uint64_t baseAddress, uint64_t size, const QString& name,
                                                           const QByteArray& uuid)
    : m_codeType(codeType)
    , m_imageBaseAddress(baseAddress)
    , m_imageSize(size)
    , m_imageName(name)
    , m_hasImageUUID(!uuid.isEmpty())
{
    if (m_hasImageUUID)
        m_imageUUID = QString::fromLatin1(uuid.toHex());
}

NQCrashReport::NQCrashReport()
    : m_decoder(std::make_unique<Decoder>())
{
}

NQCrashReport::~NQCrashReport() = default;

std::unique_ptr<NQCrashReport> NQCrashReport::initWithData(const QByteArray& data, NQCrashReporterError* error)
{
    std::unique_ptr<NQCrashReport> report(new NQCrashReport);
    if (!report->decodeCrashData(data, error) || !report->extract(error))
        return nullptr;
    return report;
}

QByteArray NQCrashReport::readReportFile(const QString& path, NQCrashReporterError* error)
{
    const auto systemError = [&](const char* what) {
        const int code = errno;
        nqPopulateError(error, NQCrashReporterErrorSystemCall,
                        QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(code))),
                        code);
        return QByteArray();
    };
    // Opening a pipe without O_NONBLOCK waits for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return systemError("Could not open crash report");
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat status = {};
    if (::fstat(fd, &status) != 0)
        return systemError("Could not read crash report");
    if (!S_ISREG(status.st_mode)) {
        fail(error, QStringLiteral("Crash report is not a regular file"));
        return {};
    }
    // The header first, then the rest up to one byte more than the writer can
    // write, which tells a report at the limit from a larger file.
    QByteArray data;
    const auto readUpTo = [&](qsizetype size) {
        while (data.size() < size) {
            char buffer[8192];
            const ssize_t got = ::read(fd, buffer, size_t(std::min<qsizetype>(sizeof buffer, size - data.size())));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return got == 0;
            data.append(buffer, qsizetype(got));
        }
        return true;
    };
    if (!readUpTo(qsizetype(kMagicLength + 1)))
        return systemError("Could not read crash report");
    if (!checkHeader(data, error))
        return {};
    if (!readUpTo(qsizetype(NQCRASH_REPORT_LIMIT) + 1))
        return systemError("Could not read crash report");
    if (data.size() > NQCRASH_REPORT_LIMIT) {
        fail(error,
             QStringLiteral("Crash report is larger than a crash report can be (%1 bytes)").arg(NQCRASH_REPORT_LIMIT));
        return {};
    }
    return data;
}

bool NQCrashReport::checkHeader(const QByteArray& data, NQCrashReporterError* error)
{
    if (data.size() < qsizetype(kMagicLength + 1))
        return fail(error, QStringLiteral("Could not decode truncated crash log"));
    if (std::memcmp(data.constData(), kMagic, kMagicLength) != 0)
        return fail(error, QStringLiteral("Could not decode invalid crash log header"));
    const int version = static_cast<unsigned char>(data.at(kMagicLength));
    if (version != kFormatVersion)
        return fail(error, QStringLiteral("Could not decode unsupported crash report version: %1").arg(version));
    return true;
}

bool NQCrashReport::decodeCrashData(const QByteArray& data, NQCrashReporterError* error)
{
    // The header alone is a truncated report as well.
    if (data.size() <= qsizetype(kMagicLength + 1))
        return fail(error, QStringLiteral("Could not decode truncated crash log"));
    if (!checkHeader(data, error))
        return false;

    const auto* body = reinterpret_cast<const uint8_t*>(data.constData()) + kMagicLength + 1;
    m_decoder->message = nqcrash__crash_report__unpack(nullptr, size_t(data.size()) - kMagicLength - 1, body);
    if (!m_decoder->message)
        return fail(error, QStringLiteral("An unknown error occured decoding the crash report"));
    return true;
}

bool NQCrashReport::extract(NQCrashReporterError* error)
{
    const Report* message = m_decoder->message;

    // System.
    const Nqcrash__CrashReport__SystemInfo* system = message->system_info;
    if (!system)
        return fail(error, QStringLiteral("Crash report is missing System Information section"));
    if (!system->os_version)
        return fail(error, QStringLiteral("Crash report is missing System Information OS version field"));
    QDateTime timestamp;
    if (system->timestamp != 0)
        timestamp = QDateTime::fromSecsSinceEpoch(system->timestamp, Qt::UTC);
    m_systemInfo = std::make_unique<NQCrashReportSystemInfo>(
        system->operating_system, text(system->os_version), text(system->os_build), system->architecture, timestamp);

    // Machine, when present.
    if (const Nqcrash__CrashReport__MachineInfo* machine = message->machine_info) {
        NQCrashReportProcessorInfo processor;
        if (!extractProcessorInfo(machine->processor, &processor, error))
            return false;
        m_machineInfo = std::make_unique<NQCrashReportMachineInfo>(text(machine->model), processor,
                                                                   machine->processor_count,
                                                                   machine->logical_processor_count);
    }

    // Application.
    const Nqcrash__CrashReport__ApplicationInfo* application = message->application_info;
    if (!application)
        return fail(error, QStringLiteral("Crash report is missing Application Information section"));
    if (!application->identifier)
        return fail(error, QStringLiteral("Crash report is missing Application Information app identifier field"));
    if (!application->version)
        return fail(error, QStringLiteral("Crash report is missing Application Information app version field"));
    m_applicationInfo = std::make_unique<NQCrashReportApplicationInfo>(text(application->identifier),
                                                                       text(application->version));

    // Process, when present.
    if (const Nqcrash__CrashReport__ProcessInfo* process = message->process_info) {
        m_processInfo = std::make_unique<NQCrashReportProcessInfo>(
            text(process->process_name), process->process_id, text(process->process_path),
            text(process->parent_process_name), process->parent_process_id, process->native);
    }

    // Signal.
    const Nqcrash__CrashReport__Signal* signal = message->signal;
    if (!signal)
        return fail(error, QStringLiteral("Crash report is missing Signal Information section"));
    if (!signal->name)
        return fail(error, QStringLiteral("Crash report is missing signal name field"));
    if (!signal->code)
        return fail(error, QStringLiteral("Crash report is missing signal code field"));
    m_signalInfo = std::make_unique<NQCrashReportSignalInfo>(text(signal->name), text(signal->code), signal->address);

    // Threads.
    if (message->n_threads == 0)
        return fail(error, QStringLiteral("Crash report is missing thread state information"));
    for (size_t t = 0; t < message->n_threads; ++t) {
        const Nqcrash__CrashReport__Thread* thread = message->threads[t];
        QList<NQCrashReportStackFrameInfo> frames;
        for (size_t f = 0; f < thread->n_frames; ++f) {
            if (!extractStackFrameInfo(thread->frames[f], &frames, error))
                return false;
        }
        QList<NQCrashReportRegisterInfo> registers;
        for (size_t r = 0; r < thread->n_registers; ++r) {
            const Nqcrash__CrashReport__Thread__RegisterValue* value = thread->registers[r];
            if (!value->name) {
                nqPopulateError(error, NQCrashReporterErrorInvalidReport,
                                QStringLiteral("Missing register name in register value"));
                return false;
            }
            registers.append(NQCrashReportRegisterInfo(text(value->name), value->value));
        }
        m_threads.append(NQCrashReportThreadInfo(thread->thread_number, frames, thread->crashed, registers));
    }

    // Images.
    if (message->n_binary_images == 0)
        return fail(error, QStringLiteral("Crash report is missing binary image information"));
    for (size_t i = 0; i < message->n_binary_images; ++i) {
        const Nqcrash__CrashReport__BinaryImage* image = message->binary_images[i];
        if (!image->name) {
            nqPopulateError(error, NQCrashReporterErrorInvalidReport, QStringLiteral("Missing image name in image record"));
            return false;
        }
        NQCrashReportProcessorInfo codeType;
        if (!extractProcessorInfo(image->code_type, &codeType, error))
            return false;
        QByteArray uuid;
        if (image->has_uuid && image->uuid.len != 0)
            uuid = QByteArray(reinterpret_cast<const char*>(image->uuid.data), qsizetype(image->uuid.len));
        m_images.append(NQCrashReportBinaryImageInfo(codeType, image->base_address, image->size, text(image->name), uuid));
    }

    // Exception, when present.
    if (const Nqcrash__CrashReport__Exception* exception = message->exception) {
        if (!exception->name)
            return fail(error, QStringLiteral("Crash report is missing exception name field"));
        if (!exception->reason)
            return fail(error, QStringLiteral("Crash report is missing exception reason field"));
        std::optional<QList<NQCrashReportStackFrameInfo>> frames;
        if (exception->n_frames > 0) {
            frames.emplace();
            for (size_t f = 0; f < exception->n_frames; ++f) {
                if (!extractStackFrameInfo(exception->frames[f], &*frames, error))
                    return false;
            }
        }
        m_exceptionInfo = std::make_unique<NQCrashReportExceptionInfo>(text(exception->name),
                                                                       text(exception->reason), frames);
    }
    return true;
}

const NQCrashReportBinaryImageInfo* NQCrashReport::imageForAddress(uint64_t address) const
{
    for (const NQCrashReportBinaryImageInfo& image : m_images) {
        // Compared as an offset so that an image at the top of the address
        // space does not wrap around.
        if (image.imageBaseAddress() <= address && address - image.imageBaseAddress() < image.imageSize())
            return &image;
    }
    return nullptr;
}
