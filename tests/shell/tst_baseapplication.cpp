// The application object's start-up in each run mode, with a main window that
// only records what it is asked to open. Notices are recorded by the script
// harness instead of being shown.

#include "shell/CGlobalStrings.h"
#include "utils/CScripting.h"

#include "TestApplication.h"

#include <QFileOpenEvent>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace NAVIK_tarl1;

class TestBaseApplication : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void modeIsUndefinedBeforeTheStart();
    void supportedFileTypes_data();
    void supportedFileTypes();
    void starts_data();
    void starts();
    void runEndsWithThreeUnlessSaved();
    void fileOpenEvents();

private:
    QTemporaryDir m_folder;
    // Notices recorded so far; each expected one must come next.
    int m_notices = 0;
};

void TestBaseApplication::initTestCase()
{
    QFile script(m_folder.filePath(QStringLiteral("test.js")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("scripting.startTest.connect(function () {});\n");
    script.close();
    CScripting::getInstance()->setPathToScript(script.fileName());
    QVERIFY(CScripting::getInstance()->isScriptingMode());
}

void TestBaseApplication::init()
{
    if (RecordingMainWindow* window = application()->window())
        window->opened.clear();
}

void TestBaseApplication::modeIsUndefinedBeforeTheStart()
{
    try {
        application()->getMode();
        QFAIL("no exception");
    } catch (const char* text) {
        QCOMPARE(QString::fromLatin1(text), QStringLiteral("application mode must be defined at that point"));
    }
}

void TestBaseApplication::supportedFileTypes_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("supported");
    QTest::newRow("jpg") << "/a/b.jpg" << true;
    QTest::newRow("JPEG in capitals") << "/a/B.JPEG" << true;
    QTest::newRow("tif") << "b.tif" << true;
    QTest::newRow("tiff") << "b.Tiff" << true;
    QTest::newRow("jpe") << "b.jpe" << false;
    QTest::newRow("png") << "b.png" << false;
    QTest::newRow("suffix only in the folder") << "/a.jpg/b" << false;
}

void TestBaseApplication::supportedFileTypes()
{
    QFETCH(QString, path);
    QFETCH(bool, supported);
    QCOMPARE(application()->isSupportedImageFileType(path), supported);
}

void TestBaseApplication::starts_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<QString>("notice");
    QTest::addColumn<bool>("saveDialog");

    const QString lightroom = QStringLiteral("--plugin-name=lightroom");
    QTest::newRow("standalone, one unsupported file")
        << QStringList{"a.png"} << 1 << 7 << QStringList{} << g_globalStrings->notSupportString() << true;
    QTest::newRow("standalone, two unsupported files")
        << QStringList{"a.png", "b.raw"} << 1 << 7 << QStringList{} << g_globalStrings->notSupportManyString() << true;
    QTest::newRow("standalone, several files")
        << QStringList{"a.jpg", "b.png", "c.tif"} << 1 << 1 << QStringList{"a.jpg", "c.tif"} << "" << true;
    QTest::newRow("plugin name in other letter case") << QStringList{"--plugin-name=Lightroom", "a.jpg"} << 1 << 1
                                                      << QStringList{"a.jpg"} << "" << true;
    QTest::newRow("Lightroom, two files") << QStringList{lightroom, "a.jpg", "b.jpg"} << 3 << 2 << QStringList{}
                                          << "Lightroom Batch processing." << true;
    QTest::newRow("Lightroom, batch switch not true")
        << QStringList{lightroom, "--batch-mode=yes", "a.jpg"} << 3 << 5 << QStringList{"a.jpg"} << "" << true;
    QTest::newRow("Lightroom, batch with an empty preset")
        << QStringList{lightroom, "--batch-mode=True", "--select-preset=", "a.jpg"} << 3 << 2 << QStringList{} << ""
        << true;
    QTest::newRow("Lightroom, no save dialog") << QStringList{lightroom, "--no-save-dialog=TRUE", "a.jpg"} << 3 << 5
                                               << QStringList{"a.jpg"} << "" << false;
    QTest::newRow("Aperture, save dialog switch not true")
        << QStringList{"--plugin-name=aperture", "--no-save-dialog=yes", "--process-image=a.tif"} << 4 << 5
        << QStringList{"a.tif"} << "" << true;
}

void TestBaseApplication::starts()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, mode);
    QFETCH(int, code);
    QFETCH(QStringList, opened);
    QFETCH(QString, notice);
    QFETCH(bool, saveDialog);

    application()->commandLine = QStringList{"Quillet"} + arguments;
    QCOMPARE(int(application()->initialize()), code);
    QCOMPARE(application()->getMode(), mode);
    if (!notice.isEmpty())
        QVERIFY(CScripting::getInstance()->isMessageBoxShown(notice, m_notices++));
    QCOMPARE(application()->window() ? application()->window()->opened : QStringList(), opened);
    QCOMPARE(application()->isSaveDialogEnabled(), saveDialog);
}

void TestBaseApplication::runEndsWithThreeUnlessSaved()
{
    application()->commandLine = QStringList{"Quillet"};
    QCOMPARE(int(application()->initialize()), 5);
    for (const bool saved : {false, true}) {
        CBaseApplication::setImageSaved(saved);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCOMPARE(application()->run(), saved ? 0 : 3);
    }
}

void TestBaseApplication::fileOpenEvents()
{
    // Files the desktop hands over at launch take the place of the arguments.
    QCoreApplication::postEvent(qApp, new QFileOpenEvent(QStringLiteral("first.jpg")));
    QCoreApplication::postEvent(qApp, new QFileOpenEvent(QStringLiteral("second.tif")));
    application()->commandLine = QStringList{"Quillet", "ignored.jpg"};
    QCOMPARE(int(application()->initialize()), 1);
    QCOMPARE(application()->window()->opened, (QStringList{"first.jpg", "second.tif"}));

    // Once the engine runs, a file-open event opens the file in the window,
    // after the checks a file chosen in the Open dialog passes.
    application()->window()->opened.clear();
    const QString third = m_folder.filePath(QStringLiteral("third.jpg"));
    QImage picture(40, 40, QImage::Format_RGB888);
    picture.fill(Qt::darkCyan);
    QVERIFY(picture.save(third));
    CBaseApplication::initializeEngine();
    QFileOpenEvent later(third);
    QCoreApplication::sendEvent(qApp, &later);
    CBaseApplication::releaseEngine();
    QCOMPARE(application()->window()->opened, QStringList{third});
}

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestBaseApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_baseapplication.moc"
