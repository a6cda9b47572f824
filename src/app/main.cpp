// The program: one run in the mode the command line chooses, ending with the
// exit code that a host reads (also written to the exit-code file a
// Lightroom or Aperture host asked for).

#include "app/CApplication.h"
#include "app/StartupTiming.h"
#include "crash/CCrashWatcher.h"
#include "engine/CAFModulesManager.h"
#include "shell/CELogger.h"
#include "utils/AtomicFileWrite.h"
#include "utils/CErrStrings.h"
#include "utils/Logger.h"
#include "utils/SharedConstants.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <malloc.h>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

using namespace NAVIK_tarl1;

namespace {

const QString kLoggerName = QStringLiteral("NavikLogger");

// The fatal-error texts, built before the failure they report.
CErrStrings s_errStrings;

// Runs the event loop unless the start already decided the outcome.
int exitCodeFor(CApplication& application, IApplicationInterface::AppInitCode code)
{
    switch (code) {
    case IApplicationInterface::AppInitDoneSuccess:
        return 0;
    case IApplicationInterface::AppInitDoneNoPreset:
        return 1;
    case IApplicationInterface::AppInitDoneFailure:
        return 2;
    case IApplicationInterface::AppInitFailed:
        return -1;
    default:
        return application.run();
    }
}

// Replaces the file with the one-line document the host reads, atomically:
// the host finds the old file or the whole new one, never a part. A file
// that cannot be written is left as it was, and the log says why.
void writeExitCodeFile(const QString& path, int exitCode)
{
    const QByteArray document = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>"
        + QStringLiteral("<root><exitCode>%1</exitCode></root>").arg(exitCode).toUtf8();
    QString error;
    if (!writeFileAtomically(path, document, &error))
        LOG_MESSAGE('E', "The exit-code file \"" << path << "\" could not be written: " << error);
}

// The write end of the pipe through which the signal handler wakes the event loop.
int s_terminationPipe = -1;
// A termination signal arrived: every event loop ends, also one that starts later.
bool s_terminating = false;

void onTerminationSignal(int)
{
    const char signalled = 1;
    [[maybe_unused]] const ssize_t written = ::write(s_terminationPipe, &signalled, 1);
}

// SIGTERM (a logout, a kill) and SIGINT (Ctrl+C) end the event loop, so the
// program ends as after Exit: the host's exchange record and exit-code file
// are written and the run is marked finished. A signal during the start-up
// ends its waits, and the main event loop as soon as it runs. A second
// signal while the program ends kills it as usual.
void quitOnTerminationSignals(QCoreApplication& application)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        LOG_MESSAGE('W', "Termination signals end the program at once: no pipe for them");
        return;
    }
    s_terminationPipe = ends[1];
    auto* notifier = new QSocketNotifier(ends[0], QSocketNotifier::Read, &application);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [reader = ends[0]] {
        char signalled[16];
        while (::read(reader, signalled, sizeof signalled) > 0) {
        }
        LOG_MESSAGE('I', "A termination signal ends the program");
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGINT, SIG_DFL);
        s_terminating = true;
        QCoreApplication::exit(0);
    });
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &application,
                     [] {
                         if (s_terminating)
                             QCoreApplication::exit(0);
                     });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

// glibc gives each thread that allocates a malloc arena of its own, up to
// eight for each processor, and reserves 64 MB of address space for each.
// Under a limit of the address space (ulimit -v) those reservations alone
// use up much of it, and threads and pictures then find none: the threads
// share two arenas instead.
void shareMallocArenasUnderAddressSpaceLimit()
{
    rlimit limit;
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY)
        mallopt(M_ARENA_MAX, 2);
}

} // namespace

int main(int argc, char* argv[])
{
    shareMallocArenasUnderAddressSpaceLimit();
    // Marks the run started (counting an unfinished previous one) and, on
    // every way out of main, finished.
    const CCrashWatcher crashWatcher(g_appFlag, g_appStarted, g_appFinished);
    // Qt 6 takes the locale's text as UTF-8 already; there is no codec to set.
    initLoggerForUtilsDll(initLogger(nullptr, kLoggerName), kLoggerName);
    LOG_TRACE();
    installEngineLogger();

    int exitCode = -1;
    QString resultXmlFilePath;
    // The alerts of a fatal error are message boxes: they are shown while
    // the application object still exists.
    const FatalError fatal = runReportingFatalErrors(
        s_errStrings,
        // The window is brought to the front when it is shown.
        [&argc, argv] {
            StartupTiming::markApplicationConstruction();
            return std::make_unique<CApplication>(argc, argv);
        },
        [&exitCode, &resultXmlFilePath](QApplication& started) {
            auto& application = static_cast<CApplication&>(started);
            quitOnTerminationSignals(application);
            StartupTiming::watch(application);
            application.createStatisticSender();
            s_errStrings.Retranslate();
            CBaseApplication::initializeEngine();
            CAFModulesManager::instance()->setProcessEngine(application.getProcessEngine());

            const IApplicationInterface::AppInitCode code =
                static_cast<IApplicationInterface&>(application).initialize();
            LOG_MESSAGE('I', "CApplication::AppInitCode=" << int(code));
            exitCode = exitCodeFor(application, code);
            resultXmlFilePath = application.resultXmlFilePath();
        });
    if (fatal == FatalError::OutOfMemory)
        return -1;
    if (fatal == FatalError::UnhandledException)
        exitCode = -1;

    CBaseApplication::releaseEngine();
    if (!resultXmlFilePath.isEmpty())
        writeExitCodeFile(resultXmlFilePath, exitCode);
    LOG_MESSAGE('D', "Exit with result code: " << exitCode);
    return exitCode;
}
