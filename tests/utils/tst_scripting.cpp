#include "utils/CScripting.h"

#include "ForkedRun.h"
#include "TestFiles.h"

#include <QAction>
#include <QCheckBox>
#include <QColor>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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

// A small picture with a different colour in every pixel; red stays below
// 250 so that it can be raised.
QImage testImage()
{
    QImage image(4, 3, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgba(40 * x + 20 * y, 200 - 30 * y, 60 + 10 * x, 255));
    return image;
}

QImage changed(QImage image, int red, int green, int alpha)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            image.setPixel(x, y, qRgba(qRed(pixel) + red, qGreen(pixel) + green, qBlue(pixel), alpha));
        }
    }
    return image;
}

QString savedImage(const QString& path, const QImage& image)
{
    image.save(path, "PNG");
    return path;
}

// How a child process that ran a script ended, and the report it left.
struct ScriptRun
{
    bool killed = false; // by SIGKILL, as a failed test ends
    int exitCode = -1;
    QStringList report;
};

ScriptRun runScript(const QString& folder, const QString& name, const QString& script)
{
    const QString path = folder + QLatin1Char('/') + name + ".js";
    ScriptRun run;
    if (!writeFile(path, script.toUtf8()))
        return run;
    QProcess host;
    host.start(QStringLiteral(SCRIPT_HOST), {path});
    if (!host.waitForFinished(60000))
        return run;
    // A child ended by a signal reports the signal as its exit code.
    run.killed = host.exitStatus() == QProcess::CrashExit && host.exitCode() == SIGKILL;
    run.exitCode = host.exitStatus() == QProcess::NormalExit ? host.exitCode() : -1;
    run.report = reportLines(folder + QLatin1Char('/') + name + "Report.txt");
    return run;
}

// A named object that exists only to be found or published.
QObject* namedObject(const QString& name, QObject* parent = nullptr)
{
    auto* object = new QObject(parent);
    object->setObjectName(name);
    return object;
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
        QVERIFY(writeFile(scriptPath(name), "var x = 1;\n"));
        m_scripting->setPathToScript(scriptPath(name));
    }

private Q_SLOTS:
    void init()
    {
        // An empty script switches script mode off.
        QVERIFY(writeFile(scriptPath("empty"), QByteArray()));
        m_scripting->setPathToScript(scriptPath("empty"));
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
            QVERIFY(writeFile(path, content));
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

    void publishedObjectsOutliveTheCollector()
    {
        // An object without a parent, as the program's singletons are: the
        // engine must not take it for its own once the script lets go of it.
        QPointer<QObject> published = namedObject("published");
        m_scripting->engine(); // made now, so that the object reaches it at once
        m_scripting->makeObjectScriptable("published", published);
        m_scripting->makeObjectScriptable("published", nullptr);
        m_scripting->engine()->collectGarbage();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(published);
        delete published;
    }

    void publishingReplacesTheName()
    {
        QObject first;
        first.setObjectName("first");
        QObject second;
        second.setObjectName("second");
        m_scripting->makeObjectScriptable("thing", &first);
        m_scripting->makeObjectScriptable("thing", &second);
        QCOMPARE(m_scripting->engine()->evaluate("thing.objectName").toString(), QStringLiteral("second"));
    }

    void lookupsNeedAParentAndAName()
    {
        QWidget window;
        auto* unnamed = new QCheckBox(&window);
        unnamed->setChecked(true);
        QCOMPARE(m_scripting->getSubObject(&window, QString()), nullptr);
        QCOMPARE(m_scripting->getSubObject(nullptr, "window"), nullptr);
        QVERIFY(!m_scripting->isItemChecked(&window, QString()));
        QVERIFY(!m_scripting->isItemEnabled(nullptr, "window"));
        QCOMPARE(m_scripting->getSliderValue(nullptr, "slider"), 0);
        QCOMPARE(m_scripting->getLineEditText(nullptr, "edit"), QString());
        m_scripting->setItemChecked(&window, QString(), false);
        QVERIFY(unnamed->isChecked());
    }

    void buttonsAndWidgetsComeBeforeActions()
    {
        QWidget window;
        auto* button = new QPushButton(&window);
        button->setObjectName("item");
        button->setCheckable(true);
        button->setEnabled(false);
        auto* action = new QAction(&window);
        action->setObjectName("item");
        action->setCheckable(true);
        auto* onlyAction = new QAction(&window);
        onlyAction->setObjectName("onlyAction");
        onlyAction->setCheckable(true);

        m_scripting->setItemChecked(&window, "item", true);
        QVERIFY(button->isChecked());
        QVERIFY(!action->isChecked());
        QVERIFY(!m_scripting->isItemEnabled(&window, "item"));
        m_scripting->setItemChecked(&window, "onlyAction", true);
        QVERIFY(m_scripting->isItemChecked(&window, "onlyAction"));
        QVERIFY(m_scripting->isItemEnabled(&window, "onlyAction"));
    }

    void isEqualImages_data()
    {
        QTest::addColumn<QImage>("first");
        QTest::addColumn<QImage>("second"); // null: a missing file
        QTest::addColumn<bool>("equal");
        QTest::addColumn<QStringList>("lines");
        const QImage image = testImage();
        const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
        QTest::newRow("red higher by 3") << image << changed(image, 3, 0, 255) << true
                                         << QStringList{"The difference of the two pictures is 0.392157 !"};
        QTest::newRow("red and green higher by 3") << image << changed(image, 3, 3, 255) << false
                                                   << QStringList{"The difference of the two pictures is 0.784314 !"};
        QTest::newRow("alpha does not count") << image << changed(image, 0, 0, 128) << true
                                              << QStringList{"The difference of the two pictures is 0 !"};
        QTest::newRow("8-bit grey against 32-bit") << grey << grey.convertToFormat(QImage::Format_RGB32) << true
                                                   << QStringList{"The difference of the two pictures is 0 !"};
        QTest::newRow("other size") << image << image.copy(0, 0, 4, 2) << false
                                    << QStringList{"Error, pictures must have identical dimensions!", ""};
        QTest::newRow("missing file") << image << QImage() << false << QStringList{"Image doesn't exist!", ""};
    }

    void isEqualImages()
    {
        QFETCH(QImage, first);
        QFETCH(QImage, second);
        QFETCH(bool, equal);
        QFETCH(QStringList, lines);
        loadScript("images");
        const QString firstPath = savedImage(m_dir.filePath("first.png"), first);
        const QString secondPath = m_dir.filePath("second.png");
        QFile::remove(secondPath);
        if (!second.isNull())
            savedImage(secondPath, second);
        QCOMPARE(m_scripting->isEqualImages(firstPath, secondPath), equal);
        QCOMPARE(reportLines(reportPath("images")), kHeader + lines);
    }

    void isEqualFiles_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::addColumn<bool>("secondExists");
        QTest::addColumn<bool>("equal");
        const QByteArray blocks(1300, 'a'); // two whole 512-byte blocks and a part
        QByteArray lastByteDiffers = blocks;
        lastByteDiffers[1299] = 'b';
        QByteArray secondBlockDiffers = blocks;
        secondBlockDiffers[700] = 'b';
        QTest::newRow("both empty") << QByteArray() << QByteArray() << true << true;
        QTest::newRow("same blocks") << blocks << blocks << true << true;
        QTest::newRow("second block differs") << blocks << secondBlockDiffers << true << false;
        QTest::newRow("last byte differs") << blocks << lastByteDiffers << true << false;
        QTest::newRow("other size") << blocks << blocks.left(1299) << true << false;
        QTest::newRow("second missing") << QByteArray() << QByteArray() << false << false;
    }

    void isEqualFiles()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QFETCH(bool, secondExists);
        QFETCH(bool, equal);
        const QString firstPath = m_dir.filePath("first.bin");
        QVERIFY(writeFile(firstPath, first));
        const QString secondPath = m_dir.filePath("second.bin");
        QFile::remove(secondPath);
        if (secondExists)
            QVERIFY(writeFile(secondPath, second));
        QCOMPARE(m_scripting->isEqualFiles(firstPath, secondPath), equal);
        QVERIFY(!m_scripting->isEqualFiles(firstPath, QString()));
    }

    void shownMessageBoxes()
    {
        // The notices of one run only accumulate, so the cases follow one another.
        QVERIFY(!m_scripting->isMessageBoxShown("first"));
        m_scripting->addShownMessageBox("first");
        QVERIFY(m_scripting->isMessageBoxShown("first"));
        QVERIFY(m_scripting->isMessageBoxShown("first", 0));
        QVERIFY(!m_scripting->isMessageBoxShown("first", 1));
        m_scripting->addShownMessageBox("second");
        QVERIFY(m_scripting->isMessageBoxShown("second", 1));
        QVERIFY(!m_scripting->isMessageBoxShown("second", 0));
        QVERIFY(!m_scripting->isMessageBoxShown("second", 2));
        QVERIFY(!m_scripting->isMessageBoxShown("second", -2));
        QVERIFY(!m_scripting->isMessageBoxShown("third"));
    }

    void settingsCommands()
    {
        const QString key = "scriptKey";
        QVERIFY(!m_scripting->hasSettingKey(key));
        QVERIFY(!m_scripting->getSettingValue(key).isValid());
        m_scripting->setSettingValue(key, 42);
        QVERIFY(m_scripting->hasSettingKey(key));
        QCOMPARE(m_scripting->getSettingValue(key).toInt(), 42);
        m_scripting->removeSettingKey(key);
        QVERIFY(!m_scripting->hasSettingKey(key));
    }

    void waitProcessesPendingEvents_data()
    {
        QTest::addColumn<int>("milliseconds");
        QTest::newRow("no time") << 0;
        QTest::newRow("negative time") << -5;
        QTest::newRow("some time") << 30;
    }

    void waitProcessesPendingEvents()
    {
        QFETCH(int, milliseconds);
        bool delivered = false;
        QTimer::singleShot(0, this, [&delivered] { delivered = true; });
        QElapsedTimer timer;
        timer.start();
        m_scripting->wait(milliseconds);
        QVERIFY(delivered);
        QVERIFY(timer.elapsed() >= qMax(milliseconds, 10));
    }

    void scriptRunsToItsEnd_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QStringList>("lines"); // after the header
        QTest::addColumn<bool>("killed");

        QTest::newRow("no hooks") << "var x = 1;\n" << QStringList{"PASS"} << false;
        QTest::newRow("failing compare")
            << "scripting.startTest.connect(function () {\n"
               "    scripting.compare(1, 2);\n"
               "});\n"
               "scripting.cleanupTest.connect(function () {\n"
               "    scripting.log(\"cleaning up\");\n"
               "});\n"
            << QStringList{"[startTest] start of execute", "[cleanupTest] start of execute", "cleaning up",
                           "[cleanupTest] finish of execute", "fail reason: compare actual (1) != expected (2)",
                           "FAIL"}
            << true;
        QTest::newRow("exception in a hook")
            << "scripting.cleanupTest.connect(function () {\n"
               "    scripting.log(\"cleaning up\");\n"
               "});\n"
               "scripting.startTest.connect(function () {\n"
               "    scripting.log(\"starting\");\n"
               "    undefinedFunction();\n"
               "});\n"
            << QStringList{"[startTest] start of execute", "starting", "[cleanupTest] start of execute",
                           "cleaning up", "[cleanupTest] finish of execute",
                           "uncaught exception at line 6 ( ReferenceError: undefinedFunction is not defined )",
                           "FAIL"}
            << true;
        // The script stops where it broke: its test never starts.
        QTest::newRow("exception at the top level")
            << "scripting.cleanupTest.connect(function () { scripting.log(\"cleaning up\"); });\n"
               "scripting.startTest.connect(function () { scripting.log(\"started\"); });\n"
               "throw new Error(\"broken\");\n"
            << QStringList{"[cleanupTest] start of execute", "cleaning up", "[cleanupTest] finish of execute",
                           "uncaught exception at line 3 ( Error: broken )", "FAIL"}
            << true;
        QTest::newRow("value thrown at the top level")
            << "var x = 1;\n"
               "throw \"plain text\";\n"
            << QStringList{"uncaught exception at line 2 ( plain text )", "FAIL"} << true;
        // Neither may start the cleanup hook a second time.
        QTest::newRow("failing compare in the cleanup hook")
            << "scripting.cleanupTest.connect(function () {\n"
               "    scripting.log(\"cleaning up\");\n"
               "    scripting.compare(\"a\", \"b\");\n"
               "});\n"
            << QStringList{"[cleanupTest] start of execute", "cleaning up",
                           "fail reason: compare actual (a) != expected (b)", "FAIL"}
            << true;
        QTest::newRow("exception in the cleanup hook")
            << "scripting.cleanupTest.connect(function () {\n"
               "    null.property = 1;\n"
               "});\n"
            << QStringList{"[cleanupTest] start of execute",
                           "uncaught exception at line 2 ( TypeError: Value is null and could not be "
                           "converted to an object )",
                           "FAIL"}
            << true;
    }

    void scriptRunsToItsEnd()
    {
        QFETCH(QString, script);
        QFETCH(QStringList, lines);
        QFETCH(bool, killed);
        const ScriptRun run = runScript(m_dir.path(), "run", script);
        QCOMPARE(run.report, kHeader + lines);
        QCOMPARE(run.killed, killed);
        if (!killed)
            QCOMPARE(run.exitCode, 0);
    }

    void scriptDrivesTheProgram()
    {
        const QString imageA = savedImage(m_dir.filePath("a.png"), testImage());
        const QString imageB = savedImage(m_dir.filePath("b.png"), changed(testImage(), 3, 0, 255));
        const QString script =
            "scripting.initializeTest.connect(window, function () {\n"
            "    scripting.log(\"initialising \" + this.objectName + \" for \" + scripting.testName());\n"
            "});\n"
            "function neverCalled() { scripting.fail(\"a disconnected function ran\"); }\n"
            "scripting.startTest.connect(neverCalled);\n"
            "scripting.startTest.disconnect(neverCalled);\n"
            "scripting.startTest.connect(function () {\n"
            "    scripting.setLineEditText(window, \"input\", \"abc\");\n"
            "    scripting.clickButton(window, \"copy\");\n"
            "    scripting.compare(scripting.getLineEditText(window, \"output\"), \"abc\");\n"
            "    scripting.setItemChecked(window, \"option\", true);\n"
            "    scripting.compare(scripting.isItemChecked(window, \"option\"), true);\n"
            "    scripting.setItemChecked(window, \"toggle\", true);\n"
            "    scripting.triggerAction(window, \"toggle\");\n"
            "    scripting.compare(scripting.isItemChecked(window, \"toggle\"), false);\n"
            "    scripting.compare(scripting.isItemEnabled(window, \"disabledAction\"), false);\n"
            "    scripting.compare(scripting.isItemEnabled(window, \"input\"), true);\n"
            "    scripting.setSlider(window, \"slider\", 42);\n"
            "    scripting.compare(scripting.getSliderValue(window, \"slider\"), 42);\n"
            "    scripting.compare(scripting.getSubObject(window, \"copy\").text, \"Copy\");\n"
            "    scripting.shortcut(scripting.getSubObject(window, \"typed\"), \"x\", 0);\n"
            "    scripting.compare(scripting.getLineEditText(window, \"typed\"), \"x\");\n"
            "    scripting.compare(scripting.isEqualImages(\"" + imageA + "\", \"" + imageB + "\"), true);\n"
            "    scripting.compare(scripting.platformName(), \"mac_os_x\");\n"
            "    gc();\n"
            "    scripting.wait(20);\n"
            "    scripting.compare(service.objectName, \"service\");\n"
            "});\n"
            "scripting.cleanupTest.connect(function () { scripting.log(\"cleaning up\"); });\n";

        const ScriptRun run = runScript(m_dir.path(), "drive", script);
        const QStringList expected =
            kHeader
            + QStringList{"[initializeTest] start of execute", "initialising window for drive",
                          "[initializeTest] finish of execute", "[startTest] start of execute",
                          "undo step for slider", "The difference of the two pictures is 0.392157 !",
                          "[startTest] finish of execute", "[cleanupTest] start of execute", "cleaning up",
                          "[cleanupTest] finish of execute", "PASS"};
        QCOMPARE(run.report, expected);
        QVERIFY(!run.killed);
        // 3: the engine deleted the published object.
        QCOMPARE(run.exitCode, 0);
    }

    // A drag over a view that the left button scrolls: the view moves by the
    // dragged amount, its scroll values say so, and its picture then shows
    // the scene from there. Names that find nothing give false or undefined.
    void dragMovesAViewUnderTheMouse()
    {
        const QString grabbed = m_dir.filePath("canvas.png");
        const QString script =
            "scripting.startTest.connect(function () {\n"
            "    var start = scripting.getScrollValues(window, \"canvas\");\n"
            "    scripting.compare(scripting.drag(window, \"canvas\", 150, 100, 60, 40), true);\n"
            "    var end = scripting.getScrollValues(window, \"canvas\");\n"
            "    scripting.log(\"moved by \" + (end.x - start.x) + \" \" + (end.y - start.y));\n"
            "    scripting.log(\"at \" + end.x + \" \" + end.y);\n"
            "    scripting.compare(scripting.grabWidget(window, \"canvas\", \"" + grabbed + "\"), true);\n"
            "    scripting.compare(scripting.drag(window, \"missing\", 0, 0, 1, 1), false);\n"
            "    scripting.compare(scripting.getScrollValues(window, \"input\") === undefined, true);\n"
            "    scripting.compare(scripting.grabWidget(window, \"missing\", \"" + grabbed + ".2.png\"), false);\n"
            "});\n";

        const ScriptRun run = runScript(m_dir.path(), "drag", script);
        const QStringList start = kHeader + QStringList{"[startTest] start of execute", "moved by 90 60"};
        QCOMPARE(run.report.mid(0, 4), start);
        QCOMPARE(run.report.value(run.report.size() - 1), QStringLiteral("PASS"));
        const QStringList at = run.report.value(4).split(QLatin1Char(' '));
        QCOMPARE(at.size(), 3);
        const int x = at.at(1).toInt();
        const int y = at.at(2).toInt();
        const QImage picture(grabbed);
        QCOMPARE(picture.size(), QSize(200, 150));
        for (const QPoint point : {QPoint(0, 0), QPoint(120, 70)})
            QCOMPARE(QColor(picture.pixel(point)), QColor(qRgb((x + point.x()) % 256, (y + point.y()) % 256, 0)));
        QVERIFY(!QFile::exists(grabbed + ".2.png"));
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

QTEST_MAIN(TestScripting)
#include "tst_scripting.moc"
