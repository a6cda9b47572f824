#include "utils/FaultCourierStart.h"
#include "utils/Logger.h"
#include "utils/Utilities.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <climits>
#include <cstdio>
#include <csignal>
#include <mutex>
#include <thread>

using namespace NAVIK_tarl1;

namespace {

const char kScenarioVariable[] = "QUILLET_COURIER_SCENARIO";
const char kMarkerVariable[] = "QUILLET_COURIER_MARKER";
const char kReturnedText[] = "start returned to its caller";

QString standInFolder()
{
    return QStringLiteral(STANDIN_DIR);
}

QString markerPath()
{
    return QDir::temp().filePath("courier-marker");
}

// A logger whose every call blocks while a crashed process's other thread
// holds its lock: the hand-over must not log.
class LockedLogger final : public ILoggerInterface
{
public:
    bool init(const std::string&, const std::string&, char) override { return true; }
    void log(char, const char*) override { std::lock_guard hold(lock); }
    LogTraceHandle trace(const char*, const char*, int) override
    {
        std::lock_guard hold(lock);
        return {};
    }
    std::mutex lock;
};

void handOverOnCrash(int)
{
    startFaultCourierAndTerminate();
}

// A worker thread faults while the main thread holds the logger's lock; the
// fault handler, on the worker's alternate stack, hands over to the sender.
void crashOnWorkerWhileLoggerIsLocked()
{
    static LockedLogger logger;
    initLogger(&logger, QStringLiteral("test"));
    struct sigaction action{};
    action.sa_handler = handOverOnCrash;
    action.sa_flags = SA_ONSTACK;
    sigaction(SIGSEGV, &action, nullptr);

    std::lock_guard held(logger.lock);
    std::thread([] {
        static char alternateStack[1 << 16];
        stack_t stack{};
        stack.ss_sp = alternateStack;
        stack.ss_size = sizeof alternateStack;
        sigaltstack(&stack, nullptr);
        raise(SIGSEGV);
    }).join();
}

// Runs in a child process; a correct hand-over never lets it return.
int runScenario(const QByteArray& scenario)
{
    if (scenario == "missing sender")
        prepareFaultCourierStart(QDir::tempPath() + "/no-sender-here/Quillet");
    else if (scenario == "nothing prepared")
        prepareFaultCourierStart(QString());
    else
        prepareFaultCourierStart(standInFolder() + "/Quillet");

    if (scenario == "crash on a worker")
        crashOnWorkerWhileLoggerIsLocked();
    else
        startFaultCourierAndTerminate();
    std::fprintf(stderr, "%s\n", kReturnedText);
    return 0;
}

} // namespace

class TestFaultCourierStart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void preparedFromTheRunningExecutableAtLoad()
    {
        QCOMPARE(faultCourierPath(), QCoreApplication::applicationDirPath() + "/FaultCourier");
    }

    void senderPathFromExecutablePath_data()
    {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("expected");
        QTest::newRow("absolute") << "/opt/navik/bin/Quillet" << "/opt/navik/bin/FaultCourier";
        QTest::newRow("relative") << "bin/Quillet" << "bin/FaultCourier";
        QTest::newRow("no separator: the whole is the folder") << "Quillet" << "Quillet/FaultCourier";
        QTest::newRow("root") << "/Quillet" << "/FaultCourier";
        QTest::newRow("non-ASCII") << QString::fromUtf8("/home/zo\u00eb/Quillet") << QString::fromUtf8("/home/zo\u00eb/FaultCourier");
        QTest::newRow("empty") << "" << "";
        QTest::newRow("too long") << "/" + QString(PATH_MAX, 'x') + "/Quillet" << "";
    }

    void senderPathFromExecutablePath()
    {
        QFETCH(QString, executable);
        QFETCH(QString, expected);
        QCOMPARE(prepareFaultCourierStart(executable), !expected.isEmpty());
        QCOMPARE(faultCourierPath(), expected);
    }

    void handOverKillsTheCallerAndStartsTheSender_data()
    {
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QString>("sender"); // empty: nothing announced
        QTest::addColumn<bool>("senderRuns");

        const QString standIn = standInFolder() + "/FaultCourier";
        QTest::newRow("sender") << "sender" << standIn << true;
        QTest::newRow("crash on a worker") << "crash on a worker" << standIn << true;
        QTest::newRow("missing sender") << "missing sender" << QDir::tempPath() + "/no-sender-here/FaultCourier" << false;
        QTest::newRow("nothing prepared") << "nothing prepared" << QString() << false;
    }

    void handOverKillsTheCallerAndStartsTheSender()
    {
        QFETCH(QString, scenario);
        QFETCH(QString, sender);
        QFETCH(bool, senderRuns);
        QFile::remove(markerPath());

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(kScenarioVariable, scenario);
        env.insert(kMarkerVariable, markerPath());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForFinished(30000));
        const QString errors = QString::fromLocal8Bit(child.readAllStandardError());

        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(child.exitCode(), SIGKILL);
        QVERIFY2(!errors.contains(kReturnedText), qPrintable(errors));
        if (sender.isEmpty())
            QVERIFY2(!errors.contains("FaultCourierPath"), qPrintable(errors));
        else
            QVERIFY2(errors.contains("FaultCourierPath " + sender + "\n"), qPrintable(errors));

        if (senderRuns) {
            // The sender outlives its caller: it has no arguments of its own.
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(markerPath()), 10000);
            QFile marker(markerPath());
            QVERIFY(marker.open(QIODevice::ReadOnly));
            QCOMPARE(QString::fromLocal8Bit(marker.readAll()), "1\n" + sender + "\n");
        } else {
            QTest::qWait(300);
            QVERIFY(!QFile::exists(markerPath()));
        }
    }

    void plainStartFindsTheSenderOnThePath()
    {
        QFile::remove(markerPath());
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", standInFolder().toLocal8Bit() + ":" + path);
        qputenv(kMarkerVariable, markerPath().toLocal8Bit());
        startFaultCourier();
        qputenv("PATH", path);
        QVERIFY(QFile::exists(markerPath())); // it waited for the sender to end
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet(kScenarioVariable))
        return runScenario(qgetenv(kScenarioVariable));
    QCoreApplication app(argc, argv);
    TestFaultCourierStart test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_faultcourierstart.moc"
