#include "shell/CommandLineOptions.h"
#include "utils/Logger.h"

#include "RecordingLogger.h"

#include <QTest>

using namespace CommandLineOptions;

class TestCommandLine : public QObject
{
    Q_OBJECT

private:
    RecordingLogger m_logger;

private Q_SLOTS:
    void initTestCase() { NAVIK_tarl1::initLogger(&m_logger, "test"); }

    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<StringsMap>("params");
        QTest::addColumn<QStringList>("files");

        const StringsMap photoshop{{"plugin-name", "photoshop"}, {"process-image", "/tmp/r"}};
        QTest::newRow("name=value") << QStringList{"--plugin-name=photoshop", "--process-image=/tmp/r"}
                                    << photoshop << QStringList();
        QTest::newRow("name then value") << QStringList{"--plugin-name", "photoshop", "--process-image", "/tmp/r"}
                                         << photoshop << QStringList();
        QTest::newRow("second = drops the rest")
            << QStringList{"--plugin-name=a=b"} << StringsMap{{"plugin-name", "a"}} << QStringList();
        QTest::newRow("empty value") << QStringList{"--session="} << StringsMap{{"session", ""}} << QStringList();
        QTest::newRow("name without value at the end") << QStringList{"--session"} << StringsMap() << QStringList();
        QTest::newRow("name followed by an option")
            << QStringList{"--session", "--script=x.js"} << StringsMap{{"script", "x.js"}} << QStringList();
        QTest::newRow("names are case-sensitive")
            << QStringList{"--Plugin-Name=photoshop"} << StringsMap() << QStringList{"--Plugin-Name=photoshop"};
        QTest::newRow("unknown option") << QStringList{"--colour=red"} << StringsMap()
                                        << QStringList{"--colour=red"};
        QTest::newRow("plain path") << QStringList{"/tmp/a.jpg"} << StringsMap() << QStringList{"/tmp/a.jpg"};
        QTest::newRow("plain argument read as a name")
            << QStringList{"xxsession", "s1"} << StringsMap{{"session", "s1"}} << QStringList();
        QTest::newRow("last occurrence wins")
            << QStringList{"--session=a", "--session", "b"} << StringsMap{{"session", "b"}} << QStringList();
        QTest::newRow("Lightroom: files and an unknown option")
            << QStringList{"--plugin-name=lightroom", "/p/a.jpg", "--unknown=1", "--no-save-dialog=true"}
            << StringsMap{{"plugin-name", "lightroom"}, {"no-save-dialog", "true"}}
            << QStringList{"/p/a.jpg", "--unknown=1"};
        QTest::newRow("value between files")
            << QStringList{"/a.jpg", "--session", "x", "/b.jpg"} << StringsMap{{"session", "x"}}
            << QStringList{"/a.jpg", "/b.jpg"};
        QTest::newRow("short arguments") << QStringList{"a", "--", ""} << StringsMap()
                                         << QStringList{"a", "--", ""};
    }

    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(StringsMap, params);
        QFETCH(QStringList, files);

        m_logger.lines.clear();
        StringsMap parsedParams;
        QStringList parsedFiles;
        QVERIFY(parseCmdParams(parsedParams, arguments, parsedFiles));
        QCOMPARE(parsedParams, params);
        QCOMPARE(parsedFiles, files);

        // Every argument that became a file was logged as an unknown name.
        QStringList expectedLog;
        for (const QString& file : files)
            expectedLog << "Unknown argument name: " + file;
        QCOMPARE(m_logger.linesAt('D'), expectedLog);
    }

    void switches_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("on");
        QTest::newRow("true") << "true" << true;
        QTest::newRow("TRUE") << "TRUE" << true;
        QTest::newRow("True") << "True" << true;
        QTest::newRow("1") << "1" << false;
        QTest::newRow("yes") << "yes" << false;
        QTest::newRow("with a blank") << "true " << false;
        QTest::newRow("absent") << QString() << false;
    }

    void switches()
    {
        QFETCH(QString, value);
        QFETCH(bool, on);
        StringsMap params;
        if (!value.isNull())
            params[noSaveDialog] = value;
        QCOMPARE(isSwitchOn(params, noSaveDialog), on);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
