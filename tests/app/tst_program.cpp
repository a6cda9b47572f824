// Runs the program the way the desktop and the host applications do and looks
// at what a run leaves: its exit code, the exit-code file, the settings and
// the log. Every run gets a home, configuration and temporary folder of its
// own. Message boxes do not block: every run that may show one is given a
// test script, in whose mode notices are recorded instead of shown, and a
// script run closes the window once the (empty) test has passed.

#include "ProgramSandbox.h"

#include <QFileInfo>
#include <QTest>

#include <csignal>
#include <sys/stat.h>

namespace {

QByteArray exitCodeDocument(int exitCode)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" ?><root><exitCode>" + QByteArray::number(exitCode)
        + "</exitCode></root>";
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initCodes_data();
    void initCodes();
    void exitCodeFile_data();
    void exitCodeFile();
    void cleanRunMarksItselfFinished();
    void unfinishedRunCountsOneCrash();
    void makeCrashLeavesAReportAndCountsAtTheNextStart();
    void launchesAreCountedPerVersion();
    void logLinesAtStartAndExit();
    void nothingIsLoggedWhenLoggingIsOff();
    void developerNotesGoToTheLogOnly();
    void crashReporterNotesOfTheStartReachTheLog_data();
    void crashReporterNotesOfTheStartReachTheLog();
    void photoshopWithoutInterfaceReportsNothingReturned();
    void engineDriverWithoutDisplayAndOnAFifo();
    void secondInstanceAndTerminationSignal_data();
    void secondInstanceAndTerminationSignal();
};

void TestProgram::initCodes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("initCode");
    QTest::addColumn<int>("exitCode");

    const QString lightroom = QStringLiteral("--plugin-name=lightroom");
    // A window is shown and closed without a save: 3.
    QTest::newRow("standalone, no file") << QStringList{} << 5 << 3;
    QTest::newRow("standalone, one photograph") << QStringList{"{jpeg}"} << 1 << 3;
    QTest::newRow("standalone, unsupported file dropped") << QStringList{"{png}", "{jpeg}"} << 1 << 3;
    QTest::newRow("Lightroom, one photograph") << QStringList{lightroom, "{jpeg}"} << 5 << 3;
    QTest::newRow("Lightroom, photograph as process-image")
        << QStringList{lightroom, "--process-image={jpeg}"} << 5 << 3;
    // The start decides alone.
    QTest::newRow("standalone, unsupported file") << QStringList{"{png}"} << 7 << -1;
    QTest::newRow("Lightroom, no file") << QStringList{lightroom} << 7 << -1;
    QTest::newRow("Lightroom, damaged photograph") << QStringList{lightroom, "{broken}"} << 7 << -1;
    QTest::newRow("Lightroom, two photographs") << QStringList{lightroom, "{jpeg}", "{png}"} << 2 << 0;
    QTest::newRow("Lightroom, batch") << QStringList{lightroom, "--batch-mode=TRUE", "{jpeg}"} << 2 << 0;
    QTest::newRow("Aperture, batch asking for a preset")
        << QStringList{"--plugin-name=aperture", "--batch-mode=true", "--select-preset=p", "--session=s", "{jpeg}"}
        << 3 << 1;
    QTest::newRow("Photoshop, no exchange record") << QStringList{"--plugin-name=photoshop"} << 7 << -1;
}

void TestProgram::initCodes()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, initCode);
    QFETCH(int, exitCode);

    Sandbox sandbox;
    const int result = sandbox.runProgram(sandbox.withFiles(arguments) << sandbox.script());
    QVERIFY2(result == exitCode, qPrintable(sandbox.output()));
    const int initLine = sandbox.logLine(QStringLiteral("CApplication::AppInitCode=%1").arg(initCode));
    QVERIFY(initLine >= 0);
    QVERIFY(sandbox.logLine(QStringLiteral("Exit with result code: %1").arg(exitCode), initLine) > initLine);
}

void TestProgram::exitCodeFile_data()
{
    QTest::addColumn<QString>("givenPath");
    QTest::addColumn<QString>("writtenPath");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");

    // {root} is the sandbox folder, {home} the home folder.
    const QStringList failedStart{"--plugin-name=lightroom"};
    const QStringList presetAsked{"--plugin-name=lightroom", "--batch-mode=true", "--select-preset=p", "{jpeg}"};
    QTest::newRow("absolute path") << "{root}/result.xml" << "{root}/result.xml" << presetAsked << 1;
    QTest::newRow("home folder") << "~/result.xml" << "{home}/result.xml" << failedStart << -1;
    QTest::newRow("~ inside a folder name") << "{root}/run~1/result.xml" << "{root}/run~1/result.xml"
                                            << failedStart << -1;
    QTest::newRow("longer file replaced") << "{root}/old.xml" << "{root}/old.xml" << presetAsked << 1;
    QTest::newRow("folder missing") << "{root}/missing/result.xml" << "" << failedStart << -1;
}

void TestProgram::exitCodeFile()
{
    QFETCH(QString, givenPath);
    QFETCH(QString, writtenPath);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);

    Sandbox sandbox;
    const auto resolve = [&sandbox](QString path) {
        return path.replace(QLatin1String("{root}"), sandbox.root())
            .replace(QLatin1String("{home}"), sandbox.home());
    };
    QDir().mkpath(sandbox.path(QStringLiteral("run~1")));
    QVERIFY(writeFile(sandbox.path(QStringLiteral("old.xml")), QByteArray(300, 'x')));

    const int result = sandbox.runProgram(sandbox.withFiles(arguments)
                                          << "--app-result-xml-file-path=" + resolve(givenPath) << sandbox.script());
    QCOMPARE(result, exitCode);
    QVERIFY(sandbox.logLine(QStringLiteral("Exit with result code: %1").arg(exitCode)) >= 0);
    if (writtenPath.isEmpty()) {
        QVERIFY(!QFile::exists(resolve(givenPath)));
        QVERIFY(!sandbox.logLines().filter(QStringLiteral("The exit-code file \"%1\" could not be written")
                                               .arg(resolve(givenPath))).isEmpty());
        QVERIFY(!QDir(sandbox.path(QStringLiteral("missing"))).exists());
        return;
    }
    QCOMPARE(readFile(resolve(writtenPath)), exitCodeDocument(exitCode));
    // Written under another name and renamed: nothing else is left beside it.
    QCOMPARE(QDir(QFileInfo(resolve(writtenPath)).path()).entryList({QFileInfo(resolve(writtenPath)).fileName() + "*"},
                                                                    QDir::Files | QDir::Hidden),
             QStringList(QFileInfo(resolve(writtenPath)).fileName()));
}

void TestProgram::cleanRunMarksItselfFinished()
{
    Sandbox sandbox;
    QCOMPARE(sandbox.runProgram({QStringLiteral("--plugin-name=photoshop")}), -1);
    QCOMPARE(sandbox.setting("appCrashFlag").toString(), QStringLiteral("appFinished"));
    QCOMPARE(sandbox.setting("app_launchMode").toString(), QStringLiteral("PS"));
    QVERIFY(!sandbox.setting("crashCounter_PS").isValid());
}

void TestProgram::unfinishedRunCountsOneCrash()
{
    Sandbox sandbox;
    // A Lightroom run that never reached its end, with two crashes counted before.
    sandbox.setSetting("appCrashFlag", "appStarted");
    sandbox.setSetting("app_launchMode", "LR");
    sandbox.setSetting("crashCounter_LR", 2);
    sandbox.setSetting("UsageStatistic/version_of_product", "1.0.6.9434");

    for (int run = 0; run < 2; ++run) {
        QCOMPARE(sandbox.runProgram(sandbox.withFiles({"{png}", sandbox.script()})), -1);
        QCOMPARE(sandbox.setting("crashCounter_LR").toInt(), 3);
        QCOMPARE(sandbox.setting("crashCounter_Standalone").toInt(), 0);
        QCOMPARE(sandbox.setting("appCrashFlag").toString(), QStringLiteral("appFinished"));
        QCOMPARE(sandbox.setting("app_launchMode").toString(), QStringLiteral("Standalone"));
    }
}

void TestProgram::makeCrashLeavesAReportAndCountsAtTheNextStart()
{
    Sandbox sandbox;
    sandbox.setSetting("NavikSentCrashReport", "1");
    sandbox.setSetting("crashForceRegisterKey", "true");

    // A test script switches sending off: the report is written and copied
    // to the documents folder, and the fault itself ends the program.
    const QString crash = sandbox.script(QStringLiteral("makeCrash"),
        "scripting.startTest.connect(function () { scripting.triggerAction(mainWindow, 'actionMake_Crash'); });\n");
    QCOMPARE(sandbox.runProgram({crash}), -1000);
    QVERIFY2(sandbox.output().contains(QLatin1String("Saved crash report to: ")), qPrintable(sandbox.output()));
    QCOMPARE(sandbox.setting("appCrashFlag").toString(), QStringLiteral("appStarted"));

    const QString report = sandbox.path(QStringLiteral("home/Documents/Navik Quillet/CrashReports/temp/Navik Quillet.nqcrash"));
    QVERIFY(QFile::exists(report));
    QCOMPARE(sandbox.run(QStringLiteral(QUILLET_BUILD_DIR "/tools/bin/quillet-crash-report"), {report}), 0);
    QVERIFY2(sandbox.output().contains(QLatin1String("Exception Type:  SIGSEGV\nException Codes: SEGV_MAPERR at 0x0\n")),
             qPrintable(sandbox.output()));
    QVERIFY(sandbox.output().contains(QLatin1String("Identifier:      Quillet\nVersion:         1.0.6.9434\n")));
    QVERIFY(sandbox.output().contains(QLatin1String("Crashed Thread:  0\n")));

    // The next start counts it.
    QCOMPARE(sandbox.runProgram(sandbox.withFiles({"{png}", sandbox.script()})), -1);
    QCOMPARE(sandbox.setting("crashCounter_Standalone").toInt(), 1);
}

void TestProgram::launchesAreCountedPerVersion()
{
    Sandbox sandbox;
    // Counters of an older version go before this launch is counted.
    sandbox.setSetting("UsageStatistic/version_of_product", "1.0.5.9000");
    sandbox.setSetting("UsageStatistic/statistic.lr_launch_count", 7);
    sandbox.setSetting("UsageStatistic/statistic.horizon_processed", 4);
    sandbox.setSetting("crashCounter_AP", 2);

    QCOMPARE(sandbox.runProgram({QStringLiteral("--plugin-name=photoshop")}), -1);
    QCOMPARE(sandbox.runProgram({QStringLiteral("--plugin-name=photoshop")}), -1);
    QCOMPARE(sandbox.setting("UsageStatistic/version_of_product").toString(), QStringLiteral("1.0.6.9434"));
    QCOMPARE(sandbox.setting("UsageStatistic/statistic.ps_launch_count").toInt(), 2);
    QCOMPARE(sandbox.setting("UsageStatistic/statistic.64_launch_count").toInt(), 2);
    QVERIFY(!sandbox.setting("UsageStatistic/statistic.lr_launch_count").isValid());
    QCOMPARE(sandbox.setting("UsageStatistic/statistic.horizon_processed").toInt(), 0);
    QVERIFY(!sandbox.setting("crashCounter_AP").isValid());
}

void TestProgram::logLinesAtStartAndExit()
{
    Sandbox sandbox;
    QCOMPARE(sandbox.runProgram({QStringLiteral("--plugin-name=photoshop")}), -1);
    int line = -1;
    for (const QString& text : {QStringLiteral("Enter LibCorrectionClientInitialize(2U, 2048 << 20, 2048 << 20, "
                                               "stdGrainDataPath, false);"),
                                QStringLiteral("CApplication::initialize started"),
                                QStringLiteral("arg 1: ") + kProgram,
                                QStringLiteral("arg 2: --plugin-name=photoshop"),
                                QStringLiteral("CApplication::AppInitCode=7"),
                                QStringLiteral("Exit with result code: -1")}) {
        const int next = sandbox.logLine(text, line + 1);
        QVERIFY2(next > line, qPrintable(text));
        line = next;
    }
}

// The notes of the Linux glue, the crash reporter set-up, the keystoning and
// horizon modules, the hardware report and the statistics sender are for
// developers: the log has them. A run in which nothing goes wrong prints
// nothing: it opens a picture, drags a keystoning handle, turns the horizon
// and waits for the statistics send, which finds no service.
void TestProgram::developerNotesGoToTheLogOnly()
{
    Sandbox sandbox;
    // A test script stops the crash reporter that the user agreed to.
    sandbox.setSetting("NavikSentCrashReport", "1");
    const QString script = sandbox.script(
        QStringLiteral("edit"),
        "function waitFor(condition, what) {\n"
        "    for (var i = 0; i < 2400 && !condition(); ++i)\n"
        "        scripting.wait(50);\n"
        "    if (!condition())\n"
        "        scripting.fail('no ' + what);\n"
        "}\n"
        "function settle() {\n"
        "    waitFor(function () { return !processEngine.isProcessingActive(); }, 'quiet engine');\n"
        "}\n"
        "scripting.startTest.connect(function () {\n"
        "    waitFor(function () { return mainWindow.hasViewImage() && mainWindow.isUndoBaselineSet(); }, 'picture');\n"
        "    scripting.clickButton(mainWindow, 'verticalTool');\n"
        "    scripting.compare(mainWindow.moveCorrectionHandle('BeforeKeystoningLeftTop', 0.2, 0.1), true);\n"
        "    settle();\n"
        "    scripting.clickButton(mainWindow, 'verticalTool');\n"
        "    settle();\n"
        "    scripting.clickButton(mainWindow, 'horizonHTool');\n"
        "    scripting.setSlider(mainWindow, 'angleSlider_Slider', 30);\n"
        "    settle();\n"
        "    waitFor(function () { return scripting.hasSettingKey('UsageStatistic/lastSendDate'); }, 'statistics');\n"
        "    messageBoxes.setSaveDiscardCancelMessage(1);\n"
        "});\n");
    QCOMPARE(sandbox.runProgram(sandbox.withFiles({"{jpeg}", script})), 3);
    const QString report = sandbox.reportOf(QStringLiteral("edit"));
    QVERIFY2(report.trimmed().endsWith(QLatin1String("PASS")), qPrintable(report));
    // The offscreen platform of the tests has its own say about window sizes.
    QStringList printed = sandbox.output().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    printed.removeAll(QStringLiteral("This plugin does not support propagateSizeHints()"));
    QVERIFY2(printed.isEmpty(), qPrintable(printed.join(QLatin1Char('\n'))));
    for (const QString& note : {QStringLiteral("NqCrashreporter could not be uninstalled on Mac"),
                                QStringLiteral("macos add document path: "), QStringLiteral("input Point = "),
                                QStringLiteral("SYS_Version: "), QStringLiteral("Error: Connection refused")})
        QVERIFY2(!sandbox.logLines().filter(note).isEmpty(), qPrintable(note));
}

void TestProgram::crashReporterNotesOfTheStartReachTheLog_data()
{
    QTest::addColumn<bool>("reportFolderBlocked");
    QTest::addColumn<QString>("note");

    QTest::newRow("enabled") << false << "nqCrashReporter initialized successfully";
    QTest::newRow("report folder cannot be made") << true << "Could not enable crash reporter: Could not create ";
}

// The crash reporter is enabled before the logger exists; its notes reach
// the log all the same, after the banner and before the rest of the start.
void TestProgram::crashReporterNotesOfTheStartReachTheLog()
{
    QFETCH(bool, reportFolderBlocked);
    QFETCH(QString, note);

    Sandbox sandbox;
    sandbox.setSetting("NavikSentCrashReport", "1");
    // Its own cache folder, or a file where the report folder's parent should be.
    const QString cache = sandbox.path(QStringLiteral("cache"));
    if (reportFolderBlocked)
        QVERIFY(writeFile(cache, "not a folder"));
    sandbox.setEnvironment(QStringLiteral("XDG_CACHE_HOME"), cache);
    QCOMPARE(sandbox.runProgram({QStringLiteral("--plugin-name=photoshop")}), -1);

    const QStringList lines = sandbox.logLines();
    int noteLine = -1;
    for (int i = 0; i < lines.size() && noteLine < 0; ++i) {
        if (lines.at(i).contains(note))
            noteLine = i;
    }
    QVERIFY2(noteLine >= 0, qPrintable(lines.join(QLatin1Char('\n'))));
    QCOMPARE(lines.filter(note).size(), 1);
    QVERIFY(sandbox.logLine(QStringLiteral("Navik Quillet Version: 1.0.6.9434")) < noteLine);
    QVERIFY(sandbox.logLine(QStringLiteral("CApplication::AppInitCode=7")) > noteLine);
    QVERIFY(!sandbox.output().contains(note));
}

void TestProgram::nothingIsLoggedWhenLoggingIsOff()
{
    Sandbox sandbox;
    sandbox.setSetting("loggerEnabled", "0");
    QCOMPARE(sandbox.runProgram({QStringLiteral("--plugin-name=photoshop")}), -1);
    QVERIFY(!QFile::exists(sandbox.logPath()));
    QCOMPARE(sandbox.setting("appCrashFlag").toString(), QStringLiteral("appFinished"));
}

void TestProgram::photoshopWithoutInterfaceReportsNothingReturned()
{
    Sandbox sandbox;
    QDir().mkpath(sandbox.path(QStringLiteral("exchange")));
    // The window state an earlier run kept: the empty state, as Base64.
    QVERIFY(writeFile(sandbox.path(QStringLiteral("plugin-data")), "AAAAAA=="));

    const int status = sandbox.run(kHostSimulator,
                                   {"--image", sandbox.picture(QStringLiteral("document.png")), "--show-ui", "false",
                                    "--exchange", sandbox.path(QStringLiteral("exchange/request")), "--plugin-data",
                                    sandbox.path(QStringLiteral("plugin-data")), "--program", kProgram, "--timeout",
                                    "100"});
    // The editor ends with 3 and says so in the record it writes back.
    QVERIFY2(status == 3, qPrintable(sandbox.output()));
    QVERIFY2(sandbox.output().contains(QLatin1String("editor ended with 3")), qPrintable(sandbox.output()));
    QVERIFY(sandbox.output().contains(QLatin1String("editor disconnected: answer written")));
    QVERIFY(sandbox.output().contains(QLatin1String("exit code: 3")));
    // Neither side leaves a file behind.
    QCOMPARE(QDir(sandbox.path(QStringLiteral("exchange"))).entryList(QDir::Files | QDir::Hidden), QStringList());
    // A Photoshop run without a window counts its launch once.
    QCOMPARE(sandbox.setting("UsageStatistic/statistic.ps_launch_count").toInt(), 1);
    QVERIFY(sandbox.logLine(QStringLiteral("CApplication::AppInitCode=5")) >= 0);
    QVERIFY(sandbox.logLine(QStringLiteral("Exit with result code: 3")) >= 0);
}

void TestProgram::secondInstanceAndTerminationSignal_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
}

// A second instance started while the first runs counts no crash of it, and
// a termination signal ends the first as Exit does: its exit-code file is
// written and the runs are marked finished.
void TestProgram::secondInstanceAndTerminationSignal()
{
    QFETCH(int, signal);
    Sandbox sandbox;
    const QString result = sandbox.path(QStringLiteral("result.xml"));
    QProcess first;
    first.setProcessEnvironment(sandbox.environment());
    first.setWorkingDirectory(sandbox.root());
    first.setProcessChannelMode(QProcess::MergedChannels);
    first.start(kProgram, sandbox.withFiles({"--plugin-name=lightroom", "{jpeg}", "--app-result-xml-file-path=" + result}));
    QVERIFY(first.waitForStarted());
    // Once the start is logged, the first instance waits in its event loop.
    QTRY_VERIFY_WITH_TIMEOUT(!sandbox.logLines().filter(QStringLiteral("CApplication::AppInitCode=")).isEmpty()
                                 || first.state() == QProcess::NotRunning,
                             kRunTimeoutMs);
    QCOMPARE(first.state(), QProcess::Running);
    QCOMPARE(sandbox.setting("appCrashFlag").toString(), QStringLiteral("appStarted"));

    QCOMPARE(sandbox.runProgram({QStringLiteral("--plugin-name=photoshop")}), -1);
    QVERIFY(!sandbox.setting("crashCounter_LR").isValid());
    QVERIFY(!sandbox.setting("crashCounter_PS").isValid());
    // The first still runs: its run is not marked finished by the second.
    QCOMPARE(sandbox.setting("appCrashFlag").toString(), QStringLiteral("appStarted"));

    QCOMPARE(::kill(pid_t(first.processId()), signal), 0);
    QVERIFY(first.waitForFinished(kRunTimeoutMs));
    QCOMPARE(first.exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.exitCode(), 3);
    QCOMPARE(readFile(result), exitCodeDocument(3));
    QCOMPARE(sandbox.setting("appCrashFlag").toString(), QStringLiteral("appFinished"));

    // Nothing counts a crash afterwards either.
    QCOMPARE(sandbox.runProgram({QStringLiteral("--plugin-name=photoshop")}), -1);
    QVERIFY(!sandbox.setting("crashCounter_LR").isValid());
    QVERIFY(!sandbox.setting("crashCounter_PS").isValid());
    QVERIFY(!first.readAll().contains("could not be uninstalled on Mac"));
}

// The engine driver runs on a console without a display, and a FIFO named
// like a photograph is refused instead of read forever.
void TestProgram::engineDriverWithoutDisplayAndOnAFifo()
{
    const QString driver = QStringLiteral(QUILLET_BUILD_DIR "/tools/bin/quillet-engine-driver");
    Sandbox sandbox;
    QProcessEnvironment environment = sandbox.environment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QLatin1String(name));
    const auto runDriver = [&](const QStringList& arguments, QByteArray* output) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(driver, arguments);
        if (!process.waitForFinished(kRunTimeoutMs)) {
            process.kill();
            process.waitForFinished();
            return -1000;
        }
        *output = process.readAll();
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1000;
    };

    QByteArray output;
    QCOMPARE(runDriver({QStringLiteral("--help")}, &output), 0);
    QVERIFY2(output.contains("--image"), output.constData());

    const QString fifo = sandbox.path(QStringLiteral("waiting.jpg"));
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QCOMPARE(runDriver({"--image", fifo, "--out", sandbox.path(QStringLiteral("out"))}, &output), 1);
    QVERIFY2(output.contains("not a file"), output.constData());
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
