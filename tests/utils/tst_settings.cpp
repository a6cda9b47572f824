#include "utils/CSettings.h"
#include "utils/SharedConstants.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTest>

using namespace NAVIK_tarl1;

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QFile::remove(CSettings::filePath());
        CSettings settings;
        settings.clear();
    }

    void fileLivesInTheUserConfigurationFolder()
    {
        const QString path = CSettings::filePath();
        QVERIFY(QDir::isAbsolutePath(path));
        QCOMPARE(path, QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                           + "/Navik Labs/tarl1/Data.plist");

        // The current folder plays no part: write from elsewhere, read back.
        const QString before = QDir::currentPath();
        QDir::setCurrent(QDir::tempPath());
        setSettingsValue("someKey", 7);
        QDir::setCurrent(before);
        QCOMPARE(getSettingsValue("someKey", 0).toInt(), 7);
        QVERIFY(QFile::exists(path));
    }

    void defaultsWithoutFile()
    {
        QVERIFY(!QFile::exists(CSettings::filePath()));
        QCOMPARE(getLogLevel(), QString("D"));
        QVERIFY(isLoggerEnabled());
        QVERIFY(!isStatisticSent());
        QVERIFY(!isCrashReportSent());
    }

    void flagReading_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("expected");

        // Only the exact text "0" switches a flag off; only absence gives the default.
        const QStringList keys = {"loggerEnabled", "NavikSendStat", "NavikSentCrashReport"};
        for (const QString& key : keys) {
            QTest::newRow(qPrintable(key + " 0")) << key << QVariant("0") << false;
            QTest::newRow(qPrintable(key + " 1")) << key << QVariant("1") << true;
            QTest::newRow(qPrintable(key + " false")) << key << QVariant("false") << true;
            QTest::newRow(qPrintable(key + " no")) << key << QVariant("no") << true;
            QTest::newRow(qPrintable(key + " yes")) << key << QVariant("yes") << true;
            QTest::newRow(qPrintable(key + " empty")) << key << QVariant(QString("")) << true;
            QTest::newRow(qPrintable(key + " bool false")) << key << QVariant(false) << true;
            QTest::newRow(qPrintable(key + " int 0")) << key << QVariant(0) << false;
        }
    }

    void flagReading()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, stored);
        QFETCH(bool, expected);
        setSettingsValue(key, stored);
        bool actual = false;
        if (key == "loggerEnabled")
            actual = isLoggerEnabled();
        else if (key == "NavikSendStat")
            actual = isStatisticSent();
        else
            actual = isCrashReportSent();
        QCOMPARE(actual, expected);
    }

    void flagWritingStoresOneAndZero()
    {
        setLoggerEnabled(false);
        setStatisticSent(true);
        setCrashReportSent(false);
        QVERIFY(!isLoggerEnabled());
        QVERIFY(isStatisticSent());
        QVERIFY(!isCrashReportSent());

        CSettings settings;
        settings.sync();
        QCOMPARE(settings.value("loggerEnabled").toString(), QString("0"));
        QCOMPARE(settings.value("NavikSendStat").toString(), QString("1"));

        QFile file(CSettings::filePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY2(text.contains("loggerEnabled=0"), text.constData());
        QVERIFY2(text.contains("NavikSendStat=1"), text.constData());
    }

    void logLevelKeepsWholeText()
    {
        setLogLevel("Info");
        QCOMPARE(getLogLevel(), QString("Info"));
        setLogLevel("");
        QCOMPARE(getLogLevel(), QString(""));
    }

    void absentKeyGivesTheDefaultOfItsType()
    {
        const QVariant asInt = getSettingsValue("absent", 1033);
        QCOMPARE(asInt.typeId(), QMetaType::Int);
        QCOMPARE(asInt.toInt(), 1033);
        const QVariant asText = getSettingsValue("absent", QString("x"));
        QCOMPARE(asText.typeId(), QMetaType::QString);
        QVERIFY(!getSettingsValue("absent", QVariant()).isValid());
    }

    void instancesShareStateAndPersist()
    {
        {
            CSettings writer;
            writer.setValue("shared", "one");
            CSettings reader; // constructed while the writer is alive
            QCOMPARE(reader.value("shared").toString(), QString("one"));
        }
        {
            CSettings system(QSettings::SystemScope);
            QCOMPARE(system.fileName(), CSettings().fileName());
            QCOMPARE(system.value("shared").toString(), QString("one"));
            system.setValue("fromSystemScope", 5);
        }
        QCOMPARE(CSettings().value("fromSystemScope").toInt(), 5);

        // Values reach the file: a plain QSettings on it sees them.
        QSettings raw(CSettings::filePath(), QSettings::IniFormat);
        QCOMPARE(raw.value("shared").toString(), QString("one"));
    }

    void sharedConstants()
    {
        QCOMPARE(g_appTitle, QString("Navik Quillet"));
        QCOMPARE(g_appStorageDir, QString("Navik Quillet"));
        QVERIFY(&g_appTitle != &g_appStorageDir);
        QCOMPARE(g_ImageSizeUnits, QString("imageSizeUnits"));
        QCOMPARE(QStringList({g_standaloneMode, g_photoshopMode, g_lrMode, g_apertureMode}),
                 QStringList({"Standalone", "PS", "LR", "AP"}));
        QCOMPARE(QString::fromStdString(g_presetNilValue), QString("navik.preset.v6.value.nil"));
        QVERIFY(g_emptyString.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
