#pragma once

// A crash report file read back into immutable model objects: the system,
// machine, application and process, the signal, the threads with their frames
// and registers, the binary images and the uncaught exception. A report that
// lacks a section or field the text needs is refused with an error.

#include "crash/NQCrashReporterError.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

// Values of the format's enumerations.
enum class NQCrashReportOperatingSystem { MacOSX = 0, iPhoneOS = 1, iPhoneSimulator = 2, Unknown = 3 };
enum class NQCrashReportArchitecture { X86_32 = 0, X86_64 = 1, ARMv6 = 2, PPC = 3, PPC64 = 4, ARMv7 = 5, Unknown = 6 };
enum class NQCrashReportProcessorTypeEncoding { Unknown = 0, Mach = 1 };

class NQCrashReportSystemInfo
{
public:
    NQCrashReportSystemInfo(int operatingSystem, const QString& operatingSystemVersion,
                            const QString& operatingSystemBuild, int architecture, const QDateTime& timestamp)
        : m_operatingSystem(operatingSystem), m_operatingSystemVersion(operatingSystemVersion),
          m_operatingSystemBuild(operatingSystemBuild), m_architecture(architecture), m_timestamp(timestamp)
    {}
    // The enumeration's number as stored (a reader of a newer file may see others).
    int operatingSystem() const { return m_operatingSystem; }
    QString operatingSystemVersion() const { return m_operatingSystemVersion; }
    // Null when the report has none.
    QString operatingSystemBuild() const { return m_operatingSystemBuild; }
    int architecture() const { return m_architecture; }
    // Invalid when the report's timestamp is 0.
    QDateTime timestamp() const { return m_timestamp; }

private:
    int m_operatingSystem;
    QString m_operatingSystemVersion;
    QString m_operatingSystemBuild;
    int m_architecture;
    QDateTime m_timestamp;
};

class NQCrashReportProcessorInfo
{
public:
    NQCrashReportProcessorInfo(int typeEncoding = 0, uint64_t type = 0, uint64_t subtype = 0)
        : m_typeEncoding(typeEncoding), m_type(type), m_subtype(subtype)
    {}
    int typeEncoding() const { return m_typeEncoding; }
    uint64_t type() const { return m_type; }
    uint64_t subtype() const { return m_subtype; }

private:
    int m_typeEncoding;
    uint64_t m_type;
    uint64_t m_subtype;
};

class NQCrashReportMachineInfo
{
public:
    NQCrashReportMachineInfo(const QString& modelName, const NQCrashReportProcessorInfo& processorInfo,
                             unsigned processorCount, unsigned logicalProcessorCount)
        : m_modelName(modelName), m_processorInfo(processorInfo), m_processorCount(processorCount),
          m_logicalProcessorCount(logicalProcessorCount)
    {}
    QString modelName() const { return m_modelName; }
    NQCrashReportProcessorInfo processorInfo() const { return m_processorInfo; }
    unsigned processorCount() const { return m_processorCount; }
    unsigned logicalProcessorCount() const { return m_logicalProcessorCount; }

private:
    QString m_modelName;
    NQCrashReportProcessorInfo m_processorInfo;
    unsigned m_processorCount;
    unsigned m_logicalProcessorCount;
};

class NQCrashReportApplicationInfo
{
public:
    NQCrashReportApplicationInfo(const QString& applicationIdentifier, const QString& applicationVersion)
        : m_applicationIdentifier(applicationIdentifier), m_applicationVersion(applicationVersion)
    {}
    QString applicationIdentifier() const { return m_applicationIdentifier; }
    QString applicationVersion() const { return m_applicationVersion; }

private:
    QString m_applicationIdentifier;
    QString m_applicationVersion;
};

class NQCrashReportProcessInfo
{
public:
    NQCrashReportProcessInfo(const QString& processName, unsigned processID, const QString& processPath,
                             const QString& parentProcessName, unsigned parentProcessID, bool native)
        : m_processName(processName), m_processID(processID), m_processPath(processPath),
          m_parentProcessName(parentProcessName), m_parentProcessID(parentProcessID), m_native(native)
    {}
    QString processName() const { return m_processName; }
    unsigned processID() const { return m_processID; }
    QString processPath() const { return m_processPath; }
    QString parentProcessName() const { return m_parentProcessName; }
    unsigned parentProcessID() const { return m_parentProcessID; }
    bool native() const { return m_native; }

private:
    QString m_processName;
    unsigned m_processID;
    QString m_processPath;
    QString m_parentProcessName;
    unsigned m_parentProcessID;
    bool m_native;
};

class NQCrashReportStackFrameInfo
{
public:
    explicit NQCrashReportStackFrameInfo(uint64_t instructionPointer) : m_instructionPointer(instructionPointer) {}
    uint64_t instructionPointer() const { return m_instructionPointer; }

private:
    uint64_t m_instructionPointer;
};

class NQCrashReportRegisterInfo
{
public:
    NQCrashReportRegisterInfo(const QString& registerName, uint64_t registerValue)
        : m_registerName(registerName), m_registerValue(registerValue)
    {}
    QString registerName() const { return m_registerName; }
    uint64_t registerValue() const { return m_registerValue; }

private:
    QString m_registerName;
    uint64_t m_registerValue;
};

class NQCrashReportThreadInfo
{
public:
    NQCrashReportThreadInfo(long threadNumber, const QList<NQCrashReportStackFrameInfo>& stackFrames, bool crashed,
                            const QList<NQCrashReportRegisterInfo>& registers)
        : m_threadNumber(threadNumber), m_stackFrames(stackFrames), m_crashed(crashed), m_registers(registers)
    {}
    long threadNumber() const { return m_threadNumber; }
    QList<NQCrashReportStackFrameInfo> stackFrames() const { return m_stackFrames; }
    bool crashed() const { return m_crashed; }
    QList<NQCrashReportRegisterInfo> registers() const { return m_registers; }

private:
    long m_threadNumber;
    QList<NQCrashReportStackFrameInfo> m_stackFrames;
    bool m_crashed;
    QList<NQCrashReportRegisterInfo> m_registers;
};

class NQCrashReportBinaryImageInfo
{
public:
    // uuid: the raw bytes; empty when the image has none.
    NQCrashReportBinaryImageInfo(const NQCrashReportProcessorInfo& codeType, uint64_t baseAddress, uint64_t size,
                                 const QString& name, const QByteArray& uuid);
    NQCrashReportProcessorInfo codeType() const { return m_codeType; }
    uint64_t imageBaseAddress() const { return m_imageBaseAddress; }
    uint64_t imageSize() const { return m_imageSize; }
    QString imageName() const { return m_imageName; }
    bool hasImageUUID() const { return m_hasImageUUID; }
    // Lower-case hexadecimal, two digits a byte; null without a UUID.
    QString imageUUID() const { return m_imageUUID; }

private:
    NQCrashReportProcessorInfo m_codeType;
    uint64_t m_imageBaseAddress;
    uint64_t m_imageSize;
    QString m_imageName;
    bool m_hasImageUUID;
    QString m_imageUUID;
};

class NQCrashReportExceptionInfo
{
public:
    NQCrashReportExceptionInfo(const QString& exceptionName, const QString& exceptionReason,
                               const std::optional<QList<NQCrashReportStackFrameInfo>>& stackFrames = std::nullopt)
        : m_exceptionName(exceptionName), m_exceptionReason(exceptionReason), m_stackFrames(stackFrames)
    {}
    QString exceptionName() const { return m_exceptionName; }
    QString exceptionReason() const { return m_exceptionReason; }
    // Empty when the exception carried no frames.
    std::optional<QList<NQCrashReportStackFrameInfo>> stackFrames() const { return m_stackFrames; }

private:
    QString m_exceptionName;
    QString m_exceptionReason;
    std::optional<QList<NQCrashReportStackFrameInfo>> m_stackFrames;
};

class NQCrashReportSignalInfo
{
public:
    NQCrashReportSignalInfo(const QString& name, const QString& code, uint64_t address)
        : m_name(name), m_code(code), m_address(address)
    {}
    QString name() const { return m_name; }
    QString code() const { return m_code; }
    uint64_t address() const { return m_address; }

private:
    QString m_name;
    QString m_code;
    uint64_t m_address;
};

// The largest report file the crash writer writes: it refuses every byte
// beyond it. A reader needs no more.
inline constexpr qint64 NQCRASH_REPORT_LIMIT = 65536;

class NQCrashReport
{
public:
    // The report in data, or null with *error set.
    static std::unique_ptr<NQCrashReport> initWithData(const QByteArray& data, NQCrashReporterError* error);
    // The bytes of the report file at path, or empty with *error set: only a
    // regular file is read (a pipe or a device could block or never end), its
    // header is checked before the rest is read, and a file larger than the
    // writer writes is refused. A file that cannot be opened or read gives a
    // system-call error, anything else an invalid report.
    static QByteArray readReportFile(const QString& path, NQCrashReporterError* error);
    ~NQCrashReport();

    NQCrashReport(const NQCrashReport&) = delete;
    NQCrashReport& operator=(const NQCrashReport&) = delete;

    const NQCrashReportSystemInfo& systemInfo() const { return *m_systemInfo; }
    const NQCrashReportMachineInfo* machineInfo() const { return m_machineInfo.get(); }
    const NQCrashReportApplicationInfo& applicationInfo() const { return *m_applicationInfo; }
    const NQCrashReportProcessInfo* processInfo() const { return m_processInfo.get(); }
    const NQCrashReportSignalInfo& signalInfo() const { return *m_signalInfo; }
    const QList<NQCrashReportThreadInfo>& threads() const { return m_threads; }
    const QList<NQCrashReportBinaryImageInfo>& images() const { return m_images; }
    const NQCrashReportExceptionInfo* exceptionInfo() const { return m_exceptionInfo.get(); }

    bool hasMachineInfo() const { return m_machineInfo != nullptr; }
    bool hasProcessInfo() const { return m_processInfo != nullptr; }
    bool hasExceptionInfo() const { return m_exceptionInfo != nullptr; }

    // The first image, in report order, whose range [base, base + size) holds
    // the address; null when none does.
    const NQCrashReportBinaryImageInfo* imageForAddress(uint64_t address) const;

private:
    NQCrashReport();
    struct Decoder;
    bool decodeCrashData(const QByteArray& data, NQCrashReporterError* error);
    static bool checkHeader(const QByteArray& data, NQCrashReporterError* error);
    bool extract(NQCrashReporterError* error);

    std::unique_ptr<Decoder> m_decoder;
    std::unique_ptr<NQCrashReportSystemInfo> m_systemInfo;
    std::unique_ptr<NQCrashReportMachineInfo> m_machineInfo;
    std::unique_ptr<NQCrashReportApplicationInfo> m_applicationInfo;
    std::unique_ptr<NQCrashReportProcessInfo> m_processInfo;
    std::unique_ptr<NQCrashReportSignalInfo> m_signalInfo;
    QList<NQCrashReportThreadInfo> m_threads;
    QList<NQCrashReportBinaryImageInfo> m_images;
    std::unique_ptr<NQCrashReportExceptionInfo> m_exceptionInfo;
};
