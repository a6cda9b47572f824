// The program: one run in the mode the command line chooses, ending with the
// exit code that a host reads (also written to the exit-code file a
// Lightroom or Aperture host asked for).

#include "app/CApplication.h"
#include "crash/CCrashWatcher.h"
#include "engine/CAFModulesManager.h"
#include "shell/CELogger.h"
#include "utils/CErrStrings.h"
#include "utils/Logger.h"
#include "utils/SharedConstants.h"

#include <QFile>
#include <QTextStream>

#include <memory>

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

// Replaces the file with the one-line document the host reads; a file that
// cannot be written is left alone without a word.
void writeExitCodeFile(const QString& path, int exitCode)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return;
    QTextStream stream(&file);
    stream.setEncoding(QStringConverter::Utf8);
    stream << "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>"
           << QStringLiteral("<root><exitCode>%1</exitCode></root>").arg(exitCode);
}

} // namespace

int main(int argc, char* argv[])
{
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
        [&argc, argv] { return std::make_unique<CApplication>(argc, argv); },
        [&exitCode, &resultXmlFilePath](QApplication& started) {
            auto& application = static_cast<CApplication&>(started);
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
