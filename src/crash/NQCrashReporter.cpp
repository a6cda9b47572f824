#include "crash/NQCrashReporter.h"

#include "crash/NQCrashLogWriter.h"
#include "crash/NQCrashReport.h"

#include "utils/Logger.h"

#include "Navik/SignalStack.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <exception>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unwind.h>
#include <unistd.h>

namespace {

const char kReporterFolder[] = "com.naviklabs.nqcrashreporter";

const int kFatalSignals[] = {SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGSEGV, SIGTRAP};
const int kFatalSignalCount = int(sizeof kFatalSignals / sizeof kFatalSignals[0]);

// What the handler needs, filled at enabling so that nothing is allocated at
// crash time: the writer record and the live report's path.
struct SignalTimeContext
{
    nqcrash_log_writer_t writer;
    char* path;
};
SignalTimeContext g_signalContext{};

// The caller's callback, copied at setCrashCallbacks.
void* volatile g_callbackContext = nullptr;
NQCrashReporterPostCrashSignalCallback volatile g_postCrashCallback = nullptr;

// The signal handler's own state.
bool g_handlerRegistered = false;
NQCrashSignalCallback volatile g_signalCallback = nullptr;
void* volatile g_signalCallbackContext = nullptr;

// The thread that writes the report: 0 until a thread takes a fatal signal.
std::atomic<pid_t> g_crashingThread{0};

void resetFatalSignals()
{
    for (int fatal : kFatalSignals) {
        struct sigaction defaults{};
        defaults.sa_handler = SIG_DFL;
        sigemptyset(&defaults.sa_mask);
        sigaction(fatal, &defaults, nullptr);
    }
}

void nqcrash_signal_handler(int signo, siginfo_t* info, void* uapVoid)
{
    auto* uap = static_cast<ucontext_t*>(uapVoid);
    // The first thread to get here writes the report; the handler stays
    // installed meanwhile, so that a fault of another thread does not end
    // the process in the middle of the report.
    const pid_t self = pid_t(syscall(SYS_gettid));
    pid_t first = 0;
    if (!g_crashingThread.compare_exchange_strong(first, self, std::memory_order_acq_rel)) {
        // A fault inside this thread's own handler (the same signal is
        // blocked there, and the kernel ends the process on it by itself),
        // or in a child the handler forked, where the writing thread does
        // not exist: the default action ends the process at once.
        if (first == self || syscall(SYS_tgkill, getpid(), first, 0) != 0) {
            resetFatalSignals();
            raise(signo);
            _exit(128 + signo);
        }
        // Another thread writes the report. Ending the process here would
        // cut its report short and skip the hand-over to the sender, so
        // this thread waits: the writing thread always ends the process
        // (by the signal again, or the sender's hand-over), and with it
        // this wait. The writer shows this thread at its fault.
        nqcrash_log_writer_wait_for_end(uap);
    }
    if (NQCrashSignalCallback callback = g_signalCallback)
        callback(signo, info, uap, g_signalCallbackContext);
    // The default action, also for a fault of any thread from here on.
    resetFatalSignals();
    raise(signo);
}

void nqcrash_signal_callback(int, siginfo_t* info, ucontext_t* uap, void* contextVoid)
{
    auto* context = static_cast<SignalTimeContext*>(contextVoid);
    const int fd = ::open(context->path, O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    nqcrash_async_file_t file;
    nqcrash_async_file_init(&file, fd, off_t(NQCRASH_REPORT_LIMIT));
    nqcrash_log_writer_write(&context->writer, &file, info, uap);
    nqcrash_log_writer_close(&context->writer);
    nqcrash_async_file_close(&file);
    if (NQCrashReporterPostCrashSignalCallback callback = g_postCrashCallback)
        callback(info, uap, g_callbackContext);
}

struct Backtrace
{
    uint64_t frames[NQCRASH_MAX_FRAMES];
    size_t count = 0;
};

_Unwind_Reason_Code collectFrame(struct _Unwind_Context* context, void* data)
{
    auto* backtrace = static_cast<Backtrace*>(data);
    if (backtrace->count >= NQCRASH_MAX_FRAMES)
        return _URC_END_OF_STACK;
    const uint64_t pc = _Unwind_GetIP(context);
    if (pc == 0)
        return _URC_END_OF_STACK;
    backtrace->frames[backtrace->count++] = pc;
    return _URC_NO_REASON;
}

// Uncaught C++ exceptions: the type, what() and the frames of the throw,
// which are still on the stack when no handler was found.
void nqcrash_uncaught_exception_handler()
{
    QByteArray name = "unknown exception";
    QByteArray reason;
    if (const std::type_info* type = abi::__cxa_current_exception_type()) {
        int status = -1;
        char* demangled = abi::__cxa_demangle(type->name(), nullptr, nullptr, &status);
        name = status == 0 && demangled ? QByteArray(demangled) : QByteArray(type->name());
        free(demangled);
        try {
            throw;
        } catch (const std::exception& exception) {
            reason = exception.what();
        } catch (...) {
        }
    }
    // Not in a signal handler yet: the unwinder's tables reach through the
    // C++ runtime, which keeps no frame pointers.
    Backtrace backtrace;
    _Unwind_Backtrace(collectFrame, &backtrace);
    nqcrash_log_writer_set_exception(&g_signalContext.writer, name.constData(), reason.constData(), backtrace.frames,
                                     backtrace.count);
    abort();
}

QString identifierFromApplication()
{
    QString identifier = QCoreApplication::instance() ? QCoreApplication::applicationName() : QString();
    if (identifier.isEmpty()) {
        identifier = QString::fromLocal8Bit(program_invocation_short_name);
        nqSystemLog(QStringLiteral("[NQCrashReporter] Warning -- bundle identifier, using process name %1").arg(identifier));
    }
    if (identifier.isEmpty())
        throw NQCrashReporterException("Can not determine process identifier or process name");
    return identifier;
}

QString versionFromApplication()
{
    QString version = QCoreApplication::instance() ? QCoreApplication::applicationVersion() : QString();
#ifdef QUILLET_VERSION_STRING
    // The product's version, as built in, when no application says otherwise.
    if (version.isEmpty())
        version = QStringLiteral(QUILLET_VERSION_STRING);
#endif
    if (version.isEmpty()) {
        nqSystemLog(QStringLiteral("[NQCrashReporter] Warning -- bundle version unavailable"));
        return QStringLiteral("");
    }
    return version;
}

} // namespace

void nqSystemLog(const QString& message)
{
    // The reporter is enabled at the start of main, before the logger exists.
    NAVIK_tarl1::logStartupMessage('D', message);
}

NQCrashReporter::NQCrashReporter(const QString& applicationIdentifier, const QString& applicationVersion)
    : m_applicationIdentifier(applicationIdentifier)
    , m_applicationVersion(applicationVersion)
    , m_crashReportDirectory(crashReportDirectoryFor(applicationIdentifier))
{
}

NQCrashReporter& NQCrashReporter::sharedReporter()
{
    static NQCrashReporter reporter(identifierFromApplication(), versionFromApplication());
    return reporter;
}

QString NQCrashReporter::crashReportDirectoryFor(const QString& applicationIdentifier)
{
    QString identifier = applicationIdentifier;
    identifier.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QLatin1Char('/')
        + QLatin1String(kReporterFolder) + QLatin1Char('/') + identifier;
}

QString NQCrashReporter::queuedCrashReportDirectory() const
{
    return m_crashReportDirectory + QStringLiteral("/queued_reports");
}

QString NQCrashReporter::crashReportPath() const
{
    return m_crashReportDirectory + QStringLiteral("/live_report.nqcrash");
}

bool NQCrashReporter::setCrashCallbacks(const NQCrashReporterCallbacks& callbacks)
{
    if (m_enabled)
        throw NQCrashReporterException("The crash reporter has alread been enabled");
    if (callbacks.version != 0)
        return false;
    g_callbackContext = callbacks.context;
    g_postCrashCallback = callbacks.handleSignal;
    return true;
}

bool NQCrashReporter::populateCrashReportDirectoryAndReturnError(NQCrashReporterError* error) const
{
    for (const QString& folder : {m_crashReportDirectory, queuedCrashReportDirectory()}) {
        const QByteArray path = QFile::encodeName(folder);
        // Each missing level with permissions 0755.
        for (qsizetype at = 1; at <= path.size(); ++at) {
            if (at != path.size() && path.at(at) != '/')
                continue;
            const QByteArray level = path.left(at);
            if (::mkdir(level.constData(), 0755) != 0 && errno != EEXIST) {
                const int code = errno;
                nqPopulateError(error, NQCrashReporterErrorSystemCall,
                                QStringLiteral("Could not create %1: %2").arg(folder, QString::fromLocal8Bit(strerror(code))),
                                code);
                return false;
            }
        }
    }
    return true;
}

bool NQCrashReporter::enableCrashReporterAndReturnError(NQCrashReporterError* error)
{
    if (m_enabled)
        throw NQCrashReporterException("The crash reporter has alread been enabled");
    if (!populateCrashReportDirectoryAndReturnError(error))
        return false;

    free(g_signalContext.path);
    g_signalContext.path = strdup(QFile::encodeName(crashReportPath()).constData());
    nqcrash_log_writer_init(&g_signalContext.writer, m_applicationIdentifier.toUtf8().constData(),
                            m_applicationVersion.toUtf8().constData());
    if (!NQCrashSignalHandler::sharedHandler().registerHandlerWithCallback(nqcrash_signal_callback, &g_signalContext,
                                                                           error))
        return false;
    std::set_terminate(nqcrash_uncaught_exception_handler);
    m_enabled = true;
    return true;
}

bool NQCrashReporter::hasPendingCrashReport() const
{
    return QFile::exists(crashReportPath());
}

QByteArray NQCrashReporter::loadPendingCrashReportDataAndReturnError(NQCrashReporterError* error) const
{
    return NQCrashReport::readReportFile(crashReportPath(), error);
}

bool NQCrashReporter::purgePendingCrashReportAndReturnError(NQCrashReporterError* error) const
{
    QFile file(crashReportPath());
    if (!file.remove()) {
        nqPopulateError(error, NQCrashReporterErrorSystemCall, file.errorString());
        return false;
    }
    return true;
}

NQCrashSignalHandler::NQCrashSignalHandler()
{
    void* memory = mmap(nullptr, Navik::SignalStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory != MAP_FAILED) {
        m_sigstk.ss_sp = memory;
        m_sigstk.ss_size = Navik::SignalStackSize;
        m_sigstk.ss_flags = 0;
    }
}

NQCrashSignalHandler& NQCrashSignalHandler::sharedHandler()
{
    static NQCrashSignalHandler* handler = [] {
        g_handlerRegistered = false;
        g_signalCallback = nullptr;
        g_signalCallbackContext = nullptr;
        return new NQCrashSignalHandler;
    }();
    return *handler;
}

const int* NQCrashSignalHandler::fatalSignals(int* count)
{
    *count = kFatalSignalCount;
    return kFatalSignals;
}

bool NQCrashSignalHandler::registerHandlerWithCallback(NQCrashSignalCallback callback, void* context,
                                                       NQCrashReporterError* error)
{
    if (g_handlerRegistered)
        throw NQCrashReporterException("Signal handler has already been registered");
    g_handlerRegistered = true;
    g_signalCallback = callback;
    g_signalCallbackContext = context;

    if (!m_sigstk.ss_sp || sigaltstack(&m_sigstk, nullptr) != 0) {
        const int code = m_sigstk.ss_sp ? errno : ENOMEM;
        nqPopulateError(error, NQCrashReporterErrorSystemCall,
                        QStringLiteral("Could not initialize alternative signal stack"), code);
        return false;
    }
    for (int signo : kFatalSignals) {
        if (!registerHandlerForSignal(signo, error))
            return false;
    }
    return true;
}

bool NQCrashSignalHandler::registerHandlerForSignal(int signo, NQCrashReporterError* error)
{
    struct sigaction action{};
    action.sa_sigaction = nqcrash_signal_handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    if (sigaction(signo, &action, nullptr) != 0) {
        const int code = errno;
        if (error)
            *error = NQCrashReporterError{QStringLiteral("NSPOSIXErrorDomain"), code,
                                          QString::fromLocal8Bit(strerror(code)), code};
        nqSystemLog(QStringLiteral("Signal registration for %1 failed: %2")
                        .arg(QString::fromLocal8Bit(strsignal(signo)), QString::fromLocal8Bit(strerror(code))));
        return false;
    }
    return true;
}
