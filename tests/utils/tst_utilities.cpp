#include "RecordingLogger.h"
#include "TestFiles.h"

#include "utils/CSettings.h"
#include "utils/Utilities.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTest>

using namespace NAVIK_tarl1;

namespace {

const char kValidId[] = "0f8fad5b-d9cb-469f-a165-70867728950e";

QString documents()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString userIdPath()
{
    return documents() + "/Navik Quillet/Navik Labs/NavikUserID";
}

bool isFreshId(const QString& id)
{
    static const QRegularExpression shape("^[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}$");
    return shape.match(id).hasMatch() && id != "00000000-0000-0000-0000-000000000000";
}

} // namespace

class TestUtilities : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        CSettings().clear();
        QDir(documents() + "/Navik Quillet").removeRecursively();
    }

    void newUserIdIsWrittenAndKept()
    {
        const QString id = getUserID();
        QVERIFY2(isFreshId(id), qPrintable(id));
        QCOMPARE(readFile(userIdPath()), id.toLatin1()); // no braces, no line end
        QCOMPARE(getUserID(), id);
    }

    void storedUserId_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("expected"); // empty: a new identifier replaces it

        const QByteArray valid(kValidId);
        QTest::newRow("plain") << valid << kValidId;
        QTest::newRow("braced") << "{" + valid + "}" << kValidId;
        QTest::newRow("upper case") << valid.toUpper() << kValidId;
        QTest::newRow("line end") << valid + "\n" << kValidId;
        QTest::newRow("zero byte, then anything") << valid + QByteArray("\0junk", 5) << kValidId;
        QTest::newRow("opening brace only") << "{" + valid << kValidId;
        QTest::newRow("all zeros") << QByteArray("00000000-0000-0000-0000-000000000000") << QString();
        QTest::newRow("35 characters") << valid.left(35) << QString();
        QTest::newRow("braced, 35 characters") << "{" + valid.left(35) << QString();
        QTest::newRow("not hexadecimal") << QByteArray("0f8fad5b-d9cb-469f-a165-70867728950g") << QString();
        QTest::newRow("dashes misplaced") << QByteArray("0f8fad5bd-9cb-469f-a165-70867728950e") << QString();
        QTest::newRow("leading blank") << " " + valid << QString();
        QTest::newRow("zero byte inside") << valid.left(10) + QByteArray(1, '\0') + valid.mid(11) << QString();
        QTest::newRow("empty") << QByteArray() << QString();
    }

    void storedUserId()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, expected);
        QVERIFY(QDir().mkpath(QFileInfo(userIdPath()).path()));
        QVERIFY(writeFile(userIdPath(), stored));

        const QString id = getUserID();
        if (!expected.isEmpty()) {
            QCOMPARE(id, expected);
            QCOMPARE(readFile(userIdPath()), stored); // accepted files are not rewritten
        } else {
            QVERIFY2(isFreshId(id), qPrintable(id));
            QCOMPARE(readFile(userIdPath()), id.toLatin1());
        }
    }

    void unwritableUserIdIsLoggedAndStillReturned()
    {
        RecordingLogger& logger = RecordingLogger::install();
        logger.lines.clear();
        // A file where the folder should be: the identifier file cannot be made.
        QVERIFY(QDir().mkpath(documents() + "/Navik Quillet"));
        QVERIFY(writeFile(documents() + "/Navik Quillet/Navik Labs", "in the way"));

        const QString first = getUserID();
        const QString second = getUserID();
        QVERIFY(isFreshId(first));
        QVERIFY(isFreshId(second));
        QVERIFY(first != second);
        const QStringList errors = logger.lines.filter("Error during writing user ID to file ");
        QCOMPARE(errors.size(), 2);
        QVERIFY2(errors[0].startsWith("D Error during writing user ID to file " + userIdPath() + " : "),
                 qPrintable(errors[0]));
    }

    void recallFolderIsMadeWithoutAShell()
    {
        // Quotes, a dollar sign and a command substitution: a shell would run it.
        const QString home = QDir::homePath() + "/it's \"$(touch INJECTED)\" `touch INJECTED` $HOME";
        QDir().mkpath(home);
        const QByteArray realHome = qgetenv("HOME");
        qputenv("HOME", home.toUtf8());
        const QString path = recallFilePath();
        qputenv("HOME", realHome);

        const QString folder = home + "/Documents/Navik Quillet/recall";
        QCOMPARE(path, folder + "/recall.bin");
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(!QFile::exists(path));
        QVERIFY(!QFile::exists(QDir::current().filePath("INJECTED")));
        QVERIFY(!QFile::exists(QDir(home).filePath("INJECTED")));
    }

    void samplePicturesLocation()
    {
        const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        QVERIFY(!pictures.isEmpty());
        QVERIFY(!pictures.endsWith('/'));
        QCOMPARE(getSamplePicturesLocation(), pictures + "/Navik Quillet Samples/");
        QVERIFY(!QFile::exists(getSamplePicturesLocation()));
    }

    void launchBookkeeping()
    {
        QVERIFY(isFirstLaunch());
        setNotFirstLaunch();
        QVERIFY(!isFirstLaunch());
        QCOMPARE(getSettingsValue("app_launched", QVariant()), QVariant(1));

        QCOMPARE(getLastLaunchMode(), QString());
        setLastLaunchMode("LR");
        QCOMPARE(getLastLaunchMode(), QString("LR"));
    }

    void crashCountersFollowTheLastLaunchMode()
    {
        incrementCrashCounter(); // no mode stored yet: the bare prefix
        QCOMPARE(getSettingsValue("crashCounter_", 0).toInt(), 1);

        setLastLaunchMode("PS");
        incrementCrashCounter();
        incrementCrashCounter();
        setLastLaunchMode("AP");
        incrementCrashCounter();
        QCOMPARE(crashCounterForPlugin("PS"), 2);
        QCOMPARE(crashCounterForPlugin("AP"), 1);
        QCOMPARE(crashCounterForPlugin("LR"), 0);
        QCOMPARE(crashCounterForPlugin("Standalone"), 0);

        crashCounterReset("PS");
        QVERIFY(!CSettings().contains("crashCounter_PS"));
        QCOMPARE(crashCounterForPlugin("PS"), 0);
        QCOMPARE(crashCounterForPlugin("AP"), 1);

        setSettingsValue("crashCounter_LR", "many");
        QCOMPARE(crashCounterForPlugin("LR"), 0);
        setLastLaunchMode("LR");
        incrementCrashCounter();
        QCOMPARE(crashCounterForPlugin("LR"), 1);
    }

    void centerDialogOnDesktop_data()
    {
        QTest::addColumn<bool>("withParent");
        QTest::newRow("no parent") << false;
        QTest::newRow("parent") << true;
    }

    void centerDialogOnDesktop()
    {
        QFETCH(bool, withParent);
        QWidget parent;
        parent.setGeometry(10, 20, 100, 80);
        QDialog dialog(withParent ? &parent : nullptr);
        dialog.resize(201, 101);
        dialog.move(0, 0);
        NAVIK_tarl1::centerDialogOnDesktop(&dialog);

        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QRect expected(QPoint(0, 0), QSize(201, 101));
        expected.moveCenter(screen.center());
        QCOMPARE(dialog.frameGeometry().topLeft(), expected.topLeft());
    }

    void shortcutIsAppendedToToolTip_data()
    {
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::addColumn<int>("times");
        QTest::addColumn<QString>("expected");
        QTest::newRow("shortcut") << "Open" << QKeySequence("Ctrl+O") << 1 << "Open (Ctrl+O)";
        QTest::newRow("none") << "Open" << QKeySequence() << 1 << "Open ()";
        QTest::newRow("twice") << "Open" << QKeySequence("Ctrl+O") << 2 << "Open (Ctrl+O) (Ctrl+O)";
    }

    void shortcutIsAppendedToToolTip()
    {
        QFETCH(QString, toolTip);
        QFETCH(QKeySequence, shortcut);
        QFETCH(int, times);
        QFETCH(QString, expected);
        QAction action;
        action.setToolTip(toolTip);
        action.setShortcut(shortcut);
        for (int i = 0; i < times; ++i)
            appendShortcutToActionToolTip(action);
        QCOMPARE(action.toolTip(), expected);
    }

    void systemVersionNamesTheDistribution()
    {
        QFile osRelease("/etc/os-release");
        if (!osRelease.open(QIODevice::ReadOnly))
            QSKIP("no /etc/os-release");
        const auto match = QRegularExpression("^PRETTY_NAME=\"?([^\"\n]*)\"?$", QRegularExpression::MultilineOption)
                               .match(QString::fromUtf8(osRelease.readAll()));
        QVERIFY(match.hasMatch());
        QCOMPARE(systemVersion(), match.captured(1));
    }

    void dataFolderHelpers()
    {
        QCOMPARE(getNavikDataDir(), QString("Navik Labs/tarl1/"));
        QVERIFY(CSettings::filePath().endsWith("/" + getNavikDataDir() + "Data.plist"));
        QVERIFY(getQtPluginsDir(true).isEmpty());
        QVERIFY(getQtPluginsDir(false).isEmpty());
    }
};

QTEST_MAIN(TestUtilities)
#include "tst_utilities.moc"
