#include "utils/CScripting.h"

#include "ForkedRun.h"
#include "TestFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

using namespace NAVIK_tarl1;

namespace {

const QStringList kHeader = {"Build number: 1.0.6.9434", "Product name: Navik Quillet"};

QStringList reportLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestScripting : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::shared_ptr<CScripting> m_scripting = CScripting::getInstance();

    QString scriptPath(const QString& name) const { return m_dir.filePath(name + ".js"); }
    QString reportPath(const QString& name) const { return m_dir.filePath(name + "Report.txt"); }

    void loadScript(const QString& name)
    {
        m_scripting->setPathToScript(writeFile(scriptPath(name), "var x = 1;\n"));
    }

private Q_SLOTS:
    void init()
    {
        // An empty script switches script mode off.
        m_scripting->setPathToScript(writeFile(scriptPath("empty"), QByteArray()));
        QVERIFY(!m_scripting->isScriptingMode());
    }

    void loadingOpensAReportWithTheHeader()
    {
        loadScript("openFile");
        QVERIFY(m_scripting->isScriptingMode());
        QCOMPARE(m_scripting->testName(), QStringLiteral("openFile"));
        QCOMPARE(reportLines(reportPath("openFile")), kHeader);
    }

    void scriptsThatLeaveTheModeAsItWas_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<bool>("scriptModeAfter");
        // An unreadable script changes nothing; an empty one (nothing before
        // the first NUL) switches script mode off.
        QTest::newRow("missing file") << QByteArray() << false << true;
        QTest::newRow("empty file") << QByteArray() << true << false;
        QTest::newRow("NUL first") << QByteArray("\0var x;", 7) << true << false;
        QTest::newRow("text before NUL") << QByteArray("var x;\0junk", 11) << true << true;
    }

    void scriptsThatLeaveTheModeAsItWas()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        QFETCH(bool, scriptModeAfter);
        loadScript("first");
        const QString path = scriptPath("second");
        QFile::remove(path);
        if (exists)
            writeFile(path, content);
        m_scripting->setPathToScript(path);
        QCOMPARE(m_scripting->isScriptingMode(), scriptModeAfter);
    }

    void reloadingRewritesTheReport()
    {
        loadScript("again");
        m_scripting->log("line of the first run");
        loadScript("again");
        QCOMPARE(reportLines(reportPath("again")), kHeader);
    }

    void hooksAreFramedInTheReport()
    {
        loadScript("hooks");
        connect(m_scripting.get(), &CScripting::startTest, this, [this] { m_scripting->log("inside"); });
        m_scripting->invokeSignalForScript(CScripting::jsSignal::startTest);
        // Nothing listens to this one: no lines.
        m_scripting->invokeSignalForScript(CScripting::jsSignal::initializeTest);
        disconnect(m_scripting.get(), &CScripting::startTest, this, nullptr);
        const QStringList expected =
            kHeader + QStringList{"[startTest] start of execute", "inside", "[startTest] finish of execute"};
        QCOMPARE(reportLines(reportPath("hooks")), expected);
    }

    void failKillsTheProcess_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QStringList>("ending");
        QTest::newRow("with reason") << "fail reason: compare actual (1) != expected (2)"
                                     << QStringList{"fail reason: compare actual (1) != expected (2)", "FAIL"};
        QTest::newRow("without reason") << QString() << QStringList{"FAIL"};
    }

    void failKillsTheProcess()
    {
        QFETCH(QString, reason);
        QFETCH(QStringList, ending);
        loadScript("failing");
        connect(m_scripting.get(), &CScripting::cleanupTest, this, [this] { m_scripting->log("cleaning"); });
        const int signal = signalEndingChildRunning([&] { m_scripting->fail(reason); });
        disconnect(m_scripting.get(), &CScripting::cleanupTest, this, nullptr);
        QCOMPARE(signal, SIGKILL);
        const QStringList expected = kHeader + QStringList{"[cleanupTest] start of execute", "cleaning",
                                                         "[cleanupTest] finish of execute"} + ending;
        QCOMPARE(reportLines(reportPath("failing")), expected);
    }

    void failureInsideCleanupStillEnds()
    {
        // A check failing inside the cleanup hook must not start the hook again.
        loadScript("cleanupFails");
        connect(m_scripting.get(), &CScripting::cleanupTest, this, [this] { m_scripting->fail("inner"); });
        const int signal = signalEndingChildRunning([&] { m_scripting->fail("outer"); });
        disconnect(m_scripting.get(), &CScripting::cleanupTest, this, nullptr);
        QCOMPARE(signal, SIGKILL);
        const QStringList expected = kHeader + QStringList{"[cleanupTest] start of execute", "inner", "FAIL"};
        QCOMPARE(reportLines(reportPath("cleanupFails")), expected);
    }
};

QTEST_GUILESS_MAIN(TestScripting)
#include "tst_scripting.moc"
