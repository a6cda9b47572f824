#include "FileLogger.h"
#include "TestFiles.h"

#include "utils/CSettings.h"
#include "utils/Logger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace NAVIK_tarl1;

namespace {

const char kScenarioVariable[] = "QUILLET_LOGGER_SCENARIO";

// The text after "<date> <time> <level> [<thread>] ".
QString messageOf(const QString& line)
{
    static const QRegularExpression prefix(
        R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} . \[\d+\] )");
    const auto match = prefix.match(line);
    return match.hasMatch() ? line.mid(match.capturedLength()) : QString();
}

QChar levelOf(const QString& line)
{
    return line.size() > 24 ? line.at(24) : QChar();
}

QString startupLogPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
        + "/Navik Quillet/log/NavikLogger.log";
}

// Runs in a child process: the program's start-up sequence, then some logging.
int runScenario()
{
    // As the crash watcher does before the logger exists.
    logStartupMessage('I', "kept until the logger exists");
    ILoggerInterface* logger =
        initLoggerForUtilsDll(initLogger(nullptr, "NavikLogger"), "NavikLogger");
    if (logger != g_logger)
        return 10;
    // A second call changes nothing and writes no second banner.
    if (initLogger(nullptr, "Other") != logger)
        return 11;
    {
        LOG_TRACE();
        LOG_MESSAGE('D', "debug line " << 1);
        LOG_MESSAGE('I', "info line " << QString::fromUtf8("caf\u00e9"));
        ASSERT(1 + 1 == 3);
        ASSERT_X(false, "where", "what");
        ASSERT(true);
    }
    const LogTraceHandle handle = logTrace("f", "file", 1);
    if (!logger && handle)
        return 12;
    return logger ? 0 : 1;
}

} // namespace

class TestLogger : public QObject
{
    Q_OBJECT

private:
    // Runs the start-up scenario in a child process with the given settings.
    int runChild(const QMap<QString, QString>& settings)
    {
        QFile::remove(CSettings::filePath());
        QDir(QFileInfo(startupLogPath()).absolutePath()).removeRecursively();
        {
            CSettings store;
            store.clear();
            for (auto it = settings.begin(); it != settings.end(); ++it)
                store.setValue(it.key(), it.value());
        }
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kScenarioVariable, "1");
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {});
        if (!child.waitForFinished(60000))
            return -100;
        return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -200;
    }

private Q_SLOTS:
    void startupWritesBannerTraceAndAssertions()
    {
        QCOMPARE(runChild({}), 0);
        const QStringList lines = readLines(startupLogPath());
        QVERIFY2(lines.size() >= 6, qPrintable(lines.join('\n')));

        QVERIFY(messageOf(lines[0]).startsWith("Current time (UTC): "));
        const QString stamp = messageOf(lines[0]).mid(20);
        QVERIFY2(QDateTime::fromString(stamp, Qt::ISODate).isValid(), qPrintable(stamp));
        QCOMPARE(messageOf(lines[1]), QString("Navik Quillet Version: 1.0.6.9434"));
        QCOMPARE(lines.filter("Navik Quillet Version").size(), 1);
        // A line from before the logger, right after the banner, once.
        QCOMPARE(messageOf(lines[2]), QString("kept until the logger exists"));
        QCOMPARE(levelOf(lines[2]), QChar('I'));
        QCOMPARE(lines.filter("kept until the logger exists").size(), 1);

        const QString all = lines.join('\n');
        QVERIFY(all.contains("> int {anonymous}::runScenario()"));
        QVERIFY(all.contains("< int {anonymous}::runScenario()"));
        QVERIFY(all.contains(QString::fromUtf8("info line caf\u00e9")));

        // Assertions: file path and line only, at level E; a passing one writes nothing.
        const QStringList asserts = lines.filter(QRegularExpression(" (ASSERT|ASSERT_X) in "));
        QCOMPARE(asserts.size(), 2);
        QVERIFY(QRegularExpression(R"(^ASSERT in \S*tst_logger\.cpp \d+$)").match(messageOf(asserts[0])).hasMatch());
        QVERIFY(QRegularExpression(R"(^ASSERT_X in \S*tst_logger\.cpp \d+$)").match(messageOf(asserts[1])).hasMatch());
        QCOMPARE(levelOf(asserts[0]), QChar('E'));
    }

    void settingsSteerTheStartup_data()
    {
        QTest::addColumn<QString>("enabled");
        QTest::addColumn<QString>("level");
        QTest::addColumn<bool>("expectLog");
        QTest::addColumn<QString>("lowestLevelSeen");

        QTest::newRow("defaults") << QString() << QString() << true << "D";
        QTest::newRow("disabled") << "0" << QString() << false << "";
        QTest::newRow("'false' is on") << "false" << QString() << true << "D";
        QTest::newRow("empty is on") << "" << QString() << true << "D";
        QTest::newRow("empty level logs all") << "1" << "" << true << "D";
        QTest::newRow("Info") << "1" << "Info" << true << "I";
        QTest::newRow("Error") << "1" << "E" << true << "E";
    }

    void settingsSteerTheStartup()
    {
        QFETCH(QString, enabled);
        QFETCH(QString, level);
        QFETCH(bool, expectLog);
        QFETCH(QString, lowestLevelSeen);

        QMap<QString, QString> settings;
        if (!enabled.isNull())
            settings["loggerEnabled"] = enabled;
        if (!level.isNull())
            settings["loggerLevel"] = level;
        QCOMPARE(runChild(settings), expectLog ? 0 : 1);
        const QStringList lines = readLines(startupLogPath());
        QCOMPARE(!lines.isEmpty(), expectLog);
        if (!expectLog) {
            QVERIFY(!QFileInfo::exists(QFileInfo(startupLogPath()).absolutePath()));
            return;
        }
        int lowest = 99;
        for (const QString& line : lines)
            lowest = std::min(lowest, NavikLogger::FileLogger::levelRank(levelOf(line).toLatin1()));
        QCOMPARE(lowest, NavikLogger::FileLogger::levelRank(lowestLevelSeen.at(0).toLatin1()));
    }

    void missingLibraryOrFactoryGivesNoLogger()
    {
        QVERIFY(loadLoggerLibrary(QDir::tempPath() + "/no/such/LoggerDlltarl1") == nullptr);
        QVERIFY(loadLoggerLibrary(FAKE_LOGGER_PATH) == nullptr);
        QVERIFY(loadLoggerLibrary(loggerLibraryPath()) != nullptr);
        QVERIFY(loggerLibraryPath().endsWith("/Frameworks/LoggerDlltarl1"));
    }

    void logFolderIsUnderDocuments()
    {
        QCOMPARE(logFolderPath(),
                 QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                     + "/Navik Quillet/log");
    }

    void levelFilter_data()
    {
        QTest::addColumn<char>("minimum");
        QTest::addColumn<QString>("expected");
        QTest::newRow("D") << 'D' << "DIWE";
        QTest::newRow("I") << 'I' << "IWE";
        QTest::newRow("W") << 'W' << "WE";
        QTest::newRow("E") << 'E' << "E";
        QTest::newRow("none given") << '\0' << "DIWE";
    }

    void levelFilter()
    {
        QFETCH(char, minimum);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        {
            NavikLogger::FileLogger logger;
            QVERIFY(logger.init(dir.path().toStdString(), "levels", minimum));
            for (char level : {'D', 'I', 'W', 'E'})
                logger.log(level, "x");
            const auto trace = logger.trace("fn", "file.cpp", 3);
            QCOMPARE(bool(trace), expected.contains('D'));
        }
        QString seen;
        for (const QString& line : readLines(dir.filePath("levels.log")))
            if (messageOf(line) == "x")
                seen += levelOf(line);
        QCOMPARE(seen, expected);
    }

    void concurrentLinesStayWholeAndNoneIsLost()
    {
        QTemporaryDir dir;
        constexpr int kThreads = 8;
        constexpr int kLines = 3000;
        NavikLogger::FileLogger logger;
        QVERIFY(logger.init(dir.path().toStdString(), "threads", 'D'));
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&logger, t] {
                const std::string padding(t * 13 % 97, 'x');
                for (int i = 0; i < kLines; ++i) {
                    const std::string text = "thread " + std::to_string(t) + " line "
                        + std::to_string(i) + " " + padding + " end";
                    logger.log('I', text.c_str());
                }
            });
        }
        for (auto& thread : threads)
            thread.join();
        logger.flush();

        const QStringList lines = readLines(dir.filePath("threads.log"));
        QCOMPARE(lines.size(), kThreads * kLines);
        static const QRegularExpression shape(R"(^thread (\d+) line (\d+) x* end$)");
        QSet<QString> seen;
        QVector<int> next(kThreads, 0);
        for (const QString& line : lines) {
            const auto match = shape.match(messageOf(line));
            QVERIFY2(match.hasMatch(), qPrintable(line));
            const int t = match.captured(1).toInt();
            // Lines of one thread keep their order.
            QCOMPARE(match.captured(2).toInt(), next[t]++);
            seen.insert(match.captured(0));
        }
        QCOMPARE(seen.size(), kThreads * kLines);
    }

    void multiLineTextStaysOneEntry()
    {
        QTemporaryDir dir;
        {
            NavikLogger::FileLogger logger;
            QVERIFY(logger.init(dir.path().toStdString(), "multi", 'D'));
            logger.log('E', "first\nsecond\r\n");
            logger.log('I', nullptr);
        }
        const QStringList lines = readLines(dir.filePath("multi.log"));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(messageOf(lines[0]), QString("first"));
        QCOMPARE(lines[1], QString("    second"));
        QCOMPARE(messageOf(lines[2]), QString(""));
    }

    void earlierRunsAreKept()
    {
        QTemporaryDir dir;
        for (int run = 0; run < 8; ++run) {
            NavikLogger::FileLogger logger;
            QVERIFY(logger.init(dir.path().toStdString(), "runs", 'D'));
            logger.log('I', ("run " + std::to_string(run)).c_str());
        }
        QCOMPARE(messageOf(readLines(dir.filePath("runs.log")).value(0)), QString("run 7"));
        QCOMPARE(messageOf(readLines(dir.filePath("runs.1.log")).value(0)), QString("run 6"));
        QCOMPARE(messageOf(readLines(dir.filePath("runs.5.log")).value(0)), QString("run 2"));
        QVERIFY(!QFile::exists(dir.filePath("runs.6.log")));
    }

    void childProcessesDoNotInheritTheLog()
    {
        QTemporaryDir dir;
        NavikLogger::FileLogger logger;
        QVERIFY(logger.init(dir.path().toStdString(), "inherited", 'D'));
        QProcess child;
        child.start("/bin/sh", {"-c", "for fd in /proc/self/fd/*; do readlink \"$fd\"; done"});
        QVERIFY(child.waitForFinished());
        const QString openFiles = QString::fromLocal8Bit(child.readAllStandardOutput());
        QVERIFY(openFiles.contains("pipe:")); // the listing worked: its output is a pipe
        const QString log = QFileInfo(QString::fromStdString(logger.filePath())).canonicalFilePath();
        QVERIFY(!log.isEmpty());
        QVERIFY2(!openFiles.contains(log), qPrintable(openFiles));
    }

    // A process that may start no more threads (ulimit -u) logs all the
    // same, each line written as it comes.
    void refusedWriterThreadWritesInPlace()
    {
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFileDevice::Permissions(0x7777)));
        const std::string folder = dir.path().toStdString();
        const pid_t child = fork();
        if (child == 0) {
            // The superuser is not held to the limit: the child gives up its rights first.
            if (geteuid() == 0 && setuid(65534) != 0)
                _exit(20);
            const rlimit none{0, 0};
            if (setrlimit(RLIMIT_NPROC, &none) != 0)
                _exit(21);
            try {
                std::thread([] {}).join();
                _exit(22); // threads still start: nothing to see here
            } catch (const std::system_error&) {
            }
            try {
                NavikLogger::FileLogger logger;
                if (!logger.init(folder, "refused", 'D'))
                    _exit(23);
                logger.log('I', "first line");
                logger.log('E', "second line");
            } catch (...) {
                _exit(24);
            }
            _exit(0);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY2(WIFEXITED(status), "the child did not end normally");
        if (WEXITSTATUS(status) == 22)
            QSKIP("this system starts threads beyond the process limit");
        QCOMPARE(WEXITSTATUS(status), 0);
        const QStringList lines = readLines(dir.filePath("refused.log"));
        QCOMPARE(lines.size(), 2);
        QCOMPARE(messageOf(lines[0]), QString("first line"));
        QCOMPARE(messageOf(lines[1]), QString("second line"));
    }

    void unwritableFolderFailsQuietly()
    {
        NavikLogger::FileLogger logger;
        QVERIFY(!logger.init("/proc/no-such-folder", "x", 'D'));
        logger.log('E', "dropped"); // must not crash
        // With nowhere to write, nothing is kept: not even a trace scope opens.
        QVERIFY(!logger.trace("fn", "file.cpp", 1));
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet(kScenarioVariable))
        return runScenario();
    QCoreApplication app(argc, argv);
    TestLogger test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_logger.moc"
