#include "crash/CrashReporterSetup.h"

#include "crash/NQCrashReport.h"
#include "crash/NQCrashReportTextFormatter.h"
#include "crash/NQCrashReporter.h"
#include "utils/AtomicFileWrite.h"
#include "utils/FaultCourierStart.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace NAVIK_tarl1;

namespace {

bool g_crashReporterEnabled = false;
// Read at crash time; written on the main thread.
std::atomic<bool> g_sendCrashReport{false};

// Everything the crash-time copy needs, prepared at enabling.
struct CopyPaths
{
    char live[PATH_MAX];
    char folder[PATH_MAX];
    char target[PATH_MAX];
    char temporary[PATH_MAX];
};
CopyPaths g_paths{};

bool copyPath(char* destination, const QString& path)
{
    const QByteArray bytes = QFile::encodeName(path);
    if (bytes.size() >= PATH_MAX)
        return false;
    std::memcpy(destination, bytes.constData(), size_t(bytes.size()) + 1);
    return true;
}

// --- Crash-time output: write(2) only -----------------------------------------

struct Line
{
    char text[PATH_MAX + 128];
    size_t length = 0;

    Line& operator<<(const char* part)
    {
        while (*part && length + 1 < sizeof text)
            text[length++] = *part++;
        return *this;
    }
    Line& number(unsigned long long value, unsigned base)
    {
        char digits[24];
        size_t count = 0;
        do {
            digits[count++] = "0123456789abcdef"[value % base];
            value /= base;
        } while (value);
        while (count && length + 1 < sizeof text)
            text[length++] = digits[--count];
        return *this;
    }
    Line& pointer(const void* value)
    {
        *this << "0x";
        return number(reinterpret_cast<uintptr_t>(value), 16);
    }
    void send()
    {
        text[length++] = '\n';
        const char* p = text;
        size_t left = length;
        while (left > 0) {
            const ssize_t n = ::write(STDERR_FILENO, p, left);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return;
            p += n;
            left -= size_t(n);
        }
    }
};

// Creates the folder and its missing parents.
bool makeFolders(const char* path)
{
    char level[PATH_MAX];
    const size_t length = std::strlen(path);
    for (size_t at = 1; at <= length; ++at) {
        if (at != length && path[at] != '/')
            continue;
        std::memcpy(level, path, at);
        level[at] = '\0';
        if (::mkdir(level, 0755) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

// Copies the live report to a temporary file beside the target, then
// renames it over the target: an earlier copy is replaced whole or not at all.
int copyReport(bool* readFailed)
{
    *readFailed = false;
    const int in = ::open(g_paths.live, O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        *readFailed = true;
        return errno;
    }
    const int out = ::open(g_paths.temporary, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) {
        const int code = errno;
        ::close(in);
        return code;
    }
    int result = 0;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            result = errno;
            *readFailed = true;
            break;
        }
        if (got == 0)
            break;
        for (ssize_t done = 0; done < got;) {
            const ssize_t n = ::write(out, buffer + done, size_t(got - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                result = n < 0 ? errno : EIO;
                break;
            }
            done += n;
        }
        if (result)
            break;
    }
    ::close(in);
    if (::fsync(out) != 0 && !result)
        result = errno;
    if (::close(out) != 0 && !result)
        result = errno;
    if (!result && ::rename(g_paths.temporary, g_paths.target) != 0)
        result = errno;
    if (result)
        ::unlink(g_paths.temporary);
    return result;
}

} // namespace

void enableCrashReporter()
{
    if (g_crashReporterEnabled) {
        // Sending follows the choice, also after a disable in this run.
        g_sendCrashReport = true;
        nqSystemLog(QStringLiteral("Crash reporter is already enabled"));
        return;
    }
    NQCrashReporter& reporter = NQCrashReporter::sharedReporter();
    const NQCrashReporterCallbacks callbacks{0, reinterpret_cast<void*>(uintptr_t(0xabababab)), postCrashCallback};

    // The crash-time copy's paths, ready before a crash can happen.
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
        + QStringLiteral("/%1/%2/temp").arg(QStringLiteral("Navik Quillet"), QStringLiteral("CrashReports"));
    const QString target = folder + QStringLiteral("/Navik Quillet.nqcrash");
    if (!copyPath(g_paths.live, reporter.crashReportPath()) || !copyPath(g_paths.folder, folder)
        || !copyPath(g_paths.target, target) || !copyPath(g_paths.temporary, target + QStringLiteral(".part"))) {
        nqSystemLog(QStringLiteral("Could not enable crash reporter: %1").arg(QStringLiteral("path too long")));
        return;
    }
    // The sender's start is prepared when the utility library loads; only
    // prepare it here when that failed.
    if (faultCourierPath().isEmpty())
        prepareFaultCourierStart(QFile::decodeName(QFile::symLinkTarget(QStringLiteral("/proc/self/exe")).toLocal8Bit()));

    NQCrashReporterError error;
    try {
        reporter.setCrashCallbacks(callbacks);
        if (!reporter.enableCrashReporterAndReturnError(&error)) {
            nqSystemLog(QStringLiteral("Could not enable crash reporter: %1").arg(error.description));
            return;
        }
    } catch (const NQCrashReporterException& exception) {
        nqSystemLog(QStringLiteral("Could not enable crash reporter: %1").arg(QString::fromUtf8(exception.what())));
        return;
    }
    g_crashReporterEnabled = true;
    g_sendCrashReport = true;
    nqSystemLog(QStringLiteral("nqCrashReporter initialized successfully"));
}

void disableCrashReporter()
{
    g_sendCrashReport = false;
    nqSystemLog(QStringLiteral("NqCrashreporter could not be uninstalled on Mac"));
}

bool isCrashReportSendingOn()
{
    return g_sendCrashReport.load();
}

void CCrashReporterSwitch::enableCrashReporter()
{
    ::enableCrashReporter();
}

void CCrashReporterSwitch::disableCrashReporter()
{
    ::disableCrashReporter();
}

void postCrashCallback(siginfo_t* info, ucontext_t* uap, void* context)
{
    {
        Line line;
        line << "post crash callback: signo=";
        line.number(unsigned(info ? info->si_signo : 0), 10) << ", uap=";
        line.pointer(uap) << ", context=";
        line.pointer(context).send();
    }
    if (::access(g_paths.live, F_OK) != 0)
        return;
    if (!makeFolders(g_paths.folder)) {
        Line line;
        (line << "Could not create documents directory: errno ").number(unsigned(errno), 10).send();
        return;
    }
    bool readFailed = false;
    const int result = copyReport(&readFailed);
    if (result != 0) {
        Line line;
        if (readFailed)
            (line << "Failed to load crash report data: errno ").number(unsigned(result), 10).send();
        else
            (line << "Failed to write crash report").send();
        return;
    }
    (Line() << "Saved crash report to: " << g_paths.target).send();
    if (::unlink(g_paths.live) != 0)
        (Line() << "Could not delete pending crash file").send();
    if (g_sendCrashReport.load())
        startFaultCourierAndTerminate();
}

void convertCrashReportToText(const char* inputPath, const char* outputPath)
{
    const QString input = QFile::decodeName(inputPath);
    const QString output = QFile::decodeName(outputPath);
    nqSystemLog(QStringLiteral("Reading crash report from file: %1").arg(input));
    NQCrashReporterError error;
    const QByteArray data = NQCrashReport::readReportFile(input, &error);
    if (data.isEmpty()) {
        nqSystemLog(QStringLiteral("Could not read crash data from file: %1").arg(input));
        return;
    }
    const std::unique_ptr<NQCrashReport> report = NQCrashReport::initWithData(data, &error);
    if (!report) {
        nqSystemLog(QStringLiteral("Could not convert readed data to crash reports"));
        return;
    }
    const QString text = NQCrashReportTextFormatter::stringValueForCrashReport(*report, NQCrashReportTextFormatDefault);
    if (text.isEmpty()) {
        nqSystemLog(QStringLiteral("Could not get formatted data from report"));
        return;
    }
    nqSystemLog(QStringLiteral("Report: %1").arg(text));
    if (writeFileAtomically(output, text.toUtf8()))
        nqSystemLog(QStringLiteral("Crash report saved to: %1").arg(output));
    else
        nqSystemLog(QStringLiteral("Failed to write crash report to file: %1").arg(output));
}
