// The correction engine's start and stop and the adapter that hands the
// engine's messages to the program's log.

#include "RecordingLogger.h"
#include "shell/CBaseApplication.h"
#include "shell/CELogger.h"
#include "utils/CSettings.h"

#include <QTest>

using namespace NAVIK_tarl1;

namespace {

const QString kTilePoolKey = QStringLiteral("NavikTitlePoolMaxRAM64");
const QString kAlgorithmPoolKey = QStringLiteral("NavikAlgoPoolMaxRAM64");

QString startLine(const QString& tile, const QString& algorithm)
{
    return QStringLiteral("Enter LibCorrectionClientInitialize(2U, %1 << 20, %2 << 20, stdGrainDataPath, false);")
        .arg(tile, algorithm);
}

// An absent setting is given as a null variant.
void storePoolSetting(const QString& key, const QVariant& value)
{
    CSettings settings;
    if (value.isNull())
        settings.remove(key);
    else
        settings.setValue(key, value);
}

} // namespace

class TestEngineStart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { m_logger = &RecordingLogger::install(); }
    void init() { m_logger->clear(); }

    void poolLimits_data();
    void poolLimits();
    void startsAndStopsOncePerProcess();
    void engineLevelFromSetting_data();
    void engineLevelFromSetting();
    void engineMessagesReachTheLog();

private:
    RecordingLogger* m_logger = nullptr;
};

void TestEngineStart::poolLimits_data()
{
    QTest::addColumn<QVariant>("tileSetting");
    QTest::addColumn<QVariant>("algorithmSetting");
    QTest::addColumn<QString>("expectedLine");

    QTest::newRow("absent") << QVariant() << QVariant() << startLine("2048", "2048");
    QTest::newRow("512 megabytes of tiles") << QVariant("512") << QVariant() << startLine("512", "2048");
    QTest::newRow("not a number") << QVariant("lots") << QVariant("1.5") << startLine("2048", "2048");
    QTest::newRow("zero and negative") << QVariant("0") << QVariant("-5") << startLine("2048", "2048");
    // 2^44 megabytes would wrap to 0 bytes.
    QTest::newRow("too large to count in bytes")
        << QVariant("17592186044416") << QVariant("4096") << startLine("17592186044415", "4096");
}

void TestEngineStart::poolLimits()
{
    QFETCH(QVariant, tileSetting);
    QFETCH(QVariant, algorithmSetting);
    QFETCH(QString, expectedLine);

    storePoolSetting(kTilePoolKey, tileSetting);
    storePoolSetting(kAlgorithmPoolKey, algorithmSetting);
    CBaseApplication::initializeEngine();
    CBaseApplication::releaseEngine();
    QVERIFY2(m_logger->linesAt('D').contains(expectedLine), qPrintable(m_logger->allLines().join('\n')));
}

void TestEngineStart::startsAndStopsOncePerProcess()
{
    CBaseApplication::releaseEngine(); // without a start: nothing to do
    QVERIFY(!CBaseApplication::isEngineStarted());

    CBaseApplication::initializeEngine();
    CBaseApplication::initializeEngine();
    QVERIFY(CBaseApplication::isEngineStarted());
    const QStringList lines = m_logger->linesAt('D');
    QCOMPARE(lines.filter(QStringLiteral("Enter LibCorrectionClientInitialize")).size(), 1);
    QCOMPARE(lines.filter(QStringLiteral("Exit LibCorrectionClientInitialize")).size(), 1);

    CBaseApplication::releaseEngine();
    QVERIFY(!CBaseApplication::isEngineStarted());
    CBaseApplication::releaseEngine();
    QVERIFY(!CBaseApplication::isEngineStarted());
}

void TestEngineStart::engineLevelFromSetting_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<int>("level");

    QTest::newRow("all") << "A" << 0;
    QTest::newRow("debug") << "D" << 1;
    QTest::newRow("info, lower case") << "info" << 2;
    QTest::newRow("warning, lower case") << "warning" << 3;
    QTest::newRow("error") << "E" << 4;
    QTest::newRow("fatal") << "F" << 4;
    QTest::newRow("unknown letter") << "X" << 0;
    QTest::newRow("empty") << "" << 0;
}

void TestEngineStart::engineLevelFromSetting()
{
    QFETCH(QString, setting);
    QFETCH(int, level);

    setLogLevel(setting);
    CELogger adapter;
    QCOMPARE(int(adapter.getMinimumLevel()), level);
}

void TestEngineStart::engineMessagesReachTheLog()
{
    // Every engine message is written at the configured level, whatever its own.
    setLogLevel(QStringLiteral("I"));
    installEngineLogger();
    Navik::Log("Render", Navik::kLogLevelError, "tile %d of %s", 3, "12");
    Navik::Log(nullptr, Navik::kLogLevelWarning, "no category");
    QCOMPARE(m_logger->linesAt('I'), (QStringList{"\n\tCELog Render tile 3 of 12", "\n\tCELog "}));
}

QTEST_GUILESS_MAIN(TestEngineStart)
#include "tst_enginestart.moc"
