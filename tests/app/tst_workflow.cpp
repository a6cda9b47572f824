// A picture's way through the program in each run mode: opened, edited (a
// quarter turn), saved or handed back, and the window closed, as a test script
// drives the running program. The script predefines the answers of the
// questions and file dialogs; the test then looks at the files, the exit code
// and, for Photoshop, at what the host simulator received.

#include "ProgramSandbox.h"

#include <QBuffer>
#include <QDataStream>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

namespace {

// The script functions every workflow uses.
const QByteArray kScriptHelpers = R"(
function waitFor(condition, what) {
    for (var i = 0; i < 1200 && !condition(); ++i)
        scripting.wait(50);
    if (!condition())
        scripting.fail("no " + what);
}
// Save As refuses while the engine renders or a view's processing indicator is
// on screen (it comes up 300 ms into a render and leaves some 700 ms after it):
// a script that gets there late after a render (a busy machine) waits for both.
function waitForSaveAs() {
    waitFor(function () { return mainWindow.isIdle(); }, "idle window");
}
// A quarter turn clockwise; the window counts it as a change once rendered.
function edit() {
    waitFor(function () { return mainWindow.hasViewImage() && mainWindow.isUndoBaselineSet() && mainWindow.isIdle(); }, "idle window");
    mainWindow.onRotateRight();
    waitFor(function () { return scripting.isItemEnabled(mainWindow, "action_Save"); }, "change");
}
// A standalone save asks its options: the offered ones are taken.
scripting.resendSignal.connect(function (dialog) {
    if (dialog.getObjectName() === "FileSaveDialog")
        dialog.accept();
});
)";

// Left half red, right half blue: a quarter turn clockwise puts red on top.
QImage twoColourPicture(QImage::Format format)
{
    QImage picture(96, 64, format);
    picture.fill(QColor(200, 40, 40));
    for (int y = 0; y < picture.height(); ++y)
        for (int x = picture.width() / 2; x < picture.width(); ++x)
            picture.setPixelColor(x, y, QColor(40, 40, 200));
    return picture;
}

bool isClose(const QColor& actual, const QColor& expected)
{
    constexpr int tolerance = 24; // JPEG
    return qAbs(actual.red() - expected.red()) <= tolerance && qAbs(actual.green() - expected.green()) <= tolerance
        && qAbs(actual.blue() - expected.blue()) <= tolerance;
}

// Whether the picture is the two-colour picture turned a quarter clockwise:
// 64 wide, 96 high, red on top and blue below (away from the edge between them).
bool isTurnedPicture(const QImage& picture)
{
    return picture.size() == QSize(64, 96) && isClose(picture.pixelColor(32, 20), QColor(200, 40, 40))
        && isClose(picture.pixelColor(32, 76), QColor(40, 40, 200));
}

// What the window keeps for the host between two uses: one entry, as Base64.
QByteArray storedWindowState()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QDataStream stream(&buffer);
    stream.setVersion(QDataStream::Qt_4_8);
    stream << QVariantMap{{QStringLiteral("zoom"), 2}};
    return buffer.data().toBase64();
}

} // namespace

class TestWorkflow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void editSaveAndClose_data();
    void editSaveAndClose();
    void photoshopRoundTrip();
    void photoshopHostGone();
    void photoshopDamagedRecord_data();
    void photoshopDamagedRecord();
    void failuresSayWhy();
    void cropByHandAndSave();
};

void TestWorkflow::editSaveAndClose_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<bool>("photoTurned");
    QTest::addColumn<bool>("copyTurned");

    // {photo} is the photograph, {copy} a Save As target beside it.
    const QStringList lightroom{"--plugin-name=lightroom", "{photo}", "--app-result-xml-file-path={result}"};
    const QStringList aperture{"--plugin-name=aperture", "{photo}", "--app-result-xml-file-path={result}"};
    QTest::newRow("standalone: opened by the dialog, saved")
        << QStringList() << QByteArray("nativeDialogs.setOpenFileName('{photo}');\n"
                                       "scripting.compare(mainWindow.saveOldAndOpenNewFile(), true);\n"
                                       "edit();\n"
                                       "scripting.compare(mainWindow.saveOpenedFile(), true);\n")
        << 0 << true << false;
    QTest::newRow("standalone: closed, Save writes another file")
        << QStringList{"{photo}"} << QByteArray("edit();\n"
                                                "messageBoxes.setSaveDiscardCancelMessage(0);\n"
                                                "nativeDialogs.setSaveFileName('{copy}');\n")
        << 3 << false << true;
    QTest::newRow("standalone: closed, Don't save") << QStringList{"{photo}"}
                                                    << QByteArray("edit();\n"
                                                                  "messageBoxes.setSaveDiscardCancelMessage(1);\n")
                                                    << 3 << false << false;
    QTest::newRow("Lightroom: closed, Save") << lightroom
                                             << QByteArray("edit();\n"
                                                           "messageBoxes.setSaveDiscardCancelMessage(0);\n")
                                             << 0 << true << false;
    QTest::newRow("Lightroom: closed, Don't save") << lightroom
                                                   << QByteArray("edit();\n"
                                                                 "messageBoxes.setSaveDiscardCancelMessage(1);\n")
                                                   << 3 << false << false;
    // The save closes the window with nothing left to ask: a Don't save at
    // hand stays unused.
    QTest::newRow("Lightroom: saved, which closes the window")
        << lightroom
        << QByteArray("edit();\n"
                      "messageBoxes.setSaveDiscardCancelMessage(1);\n"
                      "scripting.compare(mainWindow.saveOpenedFile(), true);\n")
        << 0 << true << false;
    QTest::newRow("Lightroom without the question: closed")
        << lightroom + QStringList{"--no-save-dialog=true"} << QByteArray("edit();\n") << 0 << true << false;
    QTest::newRow("Aperture: saved, which closes the window")
        << aperture
        << QByteArray("edit();\n"
                      "messageBoxes.setSaveDiscardCancelMessage(1);\n"
                      "scripting.compare(mainWindow.saveOpenedFile(), true);\n")
        << 0 << true << false;
    QTest::newRow("Aperture: closed, Don't save") << aperture
                                                  << QByteArray("edit();\n"
                                                                "messageBoxes.setSaveDiscardCancelMessage(1);\n")
                                                  << 3 << false << false;
}

void TestWorkflow::editSaveAndClose()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, script);
    QFETCH(int, exitCode);
    QFETCH(bool, photoTurned);
    QFETCH(bool, copyTurned);

    Sandbox sandbox;
    const QString photo = sandbox.path(QStringLiteral("photo.jpg"));
    const QString copy = sandbox.path(QStringLiteral("copy.jpg"));
    const QString result = sandbox.path(QStringLiteral("result.xml"));
    QVERIFY(twoColourPicture(QImage::Format_RGB888).save(photo));
    const QByteArray original = readFile(photo);
    const auto resolve = [&](QString text) {
        return text.replace(QLatin1String("{photo}"), photo)
            .replace(QLatin1String("{copy}"), copy)
            .replace(QLatin1String("{result}"), result);
    };
    QStringList commandLine;
    for (const QString& argument : arguments)
        commandLine.append(resolve(argument));
    const QByteArray test = kScriptHelpers + "scripting.startTest.connect(function () {\n"
        + resolve(QString::fromUtf8(script)).toUtf8() + "});\n";
    commandLine.append(sandbox.script(QStringLiteral("workflow"), test));

    QCOMPARE(sandbox.runProgram(commandLine), exitCode);
    QVERIFY2(sandbox.reportOf(QStringLiteral("workflow")).endsWith(QLatin1String("PASS\n")),
             qPrintable(sandbox.reportOf(QStringLiteral("workflow")) + sandbox.output()));
    if (photoTurned)
        QVERIFY(isTurnedPicture(QImage(photo)));
    else
        QCOMPARE(readFile(photo), original);
    QCOMPARE(QFile::exists(copy), copyTurned);
    if (copyTurned)
        QVERIFY(isTurnedPicture(QImage(copy)));
    if (!arguments.isEmpty() && arguments.first().startsWith(QLatin1String("--plugin-name")))
        QVERIFY(readFile(result).contains("<exitCode>" + QByteArray::number(exitCode) + "</exitCode>"));
}

void TestWorkflow::photoshopRoundTrip()
{
    Sandbox sandbox;
    const QString document = sandbox.path(QStringLiteral("document.png"));
    const QString pluginData = sandbox.path(QStringLiteral("plugin-data"));
    const QString back = sandbox.path(QStringLiteral("back.png"));
    const auto roundTrip = [&](int depth, const QByteArray& script) {
        QFile::remove(back);
        return sandbox.run(kHostSimulator,
                           {"--image", document, "--depth", QString::number(depth), "--plugin-data", pluginData,
                            "--result", back, "--program", kProgram, "--timeout", "100", "--",
                            sandbox.script(QStringLiteral("photoshop"), kScriptHelpers + script)});
    };
    QVERIFY(twoColourPicture(QImage::Format_RGB888).save(document));

    // The first use of the filter: no window state kept. Save hands the
    // turned picture back and closes the window.
    int status = roundTrip(8, "scripting.startTest.connect(function () {\n"
                              "    scripting.compare(JSON.stringify(mainWindow.windowState()), '{}');\n"
                              "    edit();\n"
                              "    scripting.compare(mainWindow.saveOpenedFile(), true);\n"
                              "});\n");
    QVERIFY2(status == 0, qPrintable(sandbox.output()));
    QVERIFY(isTurnedPicture(QImage(back)));
    // The window's state came back for the next use: the empty state.
    QCOMPARE(readFile(pluginData), QByteArray("AAAAAA=="));
    QVERIFY(sandbox.reportOf(QStringLiteral("photoshop")).endsWith(QLatin1String("PASS\n")));

    // A later use with a state kept: the window keeps no state of its own, so
    // it ignores that one; closing the edited picture with Save hands the
    // picture and the empty state back.
    QVERIFY(writeFile(pluginData, storedWindowState()));
    status = roundTrip(16,
                       "scripting.startTest.connect(function () {\n"
                       "    scripting.compare(JSON.stringify(mainWindow.windowState()), '{}');\n"
                       "    edit();\n"
                       "    messageBoxes.setSaveDiscardCancelMessage(0);\n"
                       "});\n");
    QVERIFY2(status == 0, qPrintable(sandbox.output()));
    const QImage turned(back);
    QCOMPARE(turned.depth(), 64);
    QVERIFY(isTurnedPicture(turned));
    QCOMPARE(readFile(pluginData), QByteArray("AAAAAA=="));
    QVERIFY(sandbox.reportOf(QStringLiteral("photoshop")).endsWith(QLatin1String("PASS\n")));
    // Both pictures handed back count as processed in Photoshop mode.
    QCOMPARE(sandbox.setting("UsageStatistic/statistic.ps_image_count").toInt(), 2);
}

// The host died while the picture was edited: Save offers to save to a file.
// A Save As that does not save keeps the window and its edits; one that
// saves closes it, and the host's record says that nothing came back.
void TestWorkflow::photoshopHostGone()
{
    Sandbox sandbox;
    const QString document = sandbox.path(QStringLiteral("document.png"));
    const QString copy = sandbox.path(QStringLiteral("copy.jpg"));
    QVERIFY(twoColourPicture(QImage::Format_RGB888).save(document));
    const QString script =
        QStringLiteral("edit();\n"
                       "waitForSaveAs();\n"
                       "messageBoxes.setYesNoMessage(true);\n"
                       "nativeDialogs.setSaveFileName('%1');\n"
                       "scripting.compare(mainWindow.saveOpenedFile(), false);\n"
                       "scripting.compare(mainWindow.visible, true);\n"
                       "scripting.compare(scripting.isItemEnabled(mainWindow, 'action_Save'), true);\n"
                       "waitForSaveAs();\n"
                       "messageBoxes.setYesNoMessage(true);\n"
                       "nativeDialogs.setSaveFileName('%2');\n"
                       "scripting.compare(mainWindow.saveOpenedFile(), false);\n")
            .arg(sandbox.path(QStringLiteral("missing/copy.jpg")), copy);
    const QByteArray test = kScriptHelpers + "scripting.startTest.connect(function () {\n" + script.toUtf8() + "});\n";
    const int status = sandbox.run(kHostSimulator,
                                   {"--image", document, "--host-gone", "--program", kProgram, "--timeout", "100", "--",
                                    sandbox.script(QStringLiteral("gone"), test)});
    QVERIFY2(sandbox.reportOf(QStringLiteral("gone")).endsWith(QLatin1String("PASS\n")),
             qPrintable(sandbox.reportOf(QStringLiteral("gone")) + sandbox.output()));
    QVERIFY2(status == 3, qPrintable(sandbox.output()));
    QVERIFY(sandbox.output().contains(QLatin1String("editor ended with 3")));
    QVERIFY(isTurnedPicture(QImage(copy)));
    // The picture saved to a file is counted once; nothing was handed back.
    QCOMPARE(sandbox.setting("UsageStatistic/statistic.ps_image_count").toInt(), 1);
}

void TestWorkflow::photoshopDamagedRecord_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("one row more than its pixels") << QStringLiteral("height");
    QTest::newRow("12-bit samples") << QStringLiteral("depth");
}

// A request whose numbers lie about its pixels fails the start: no window,
// exit code -1, nothing back.
void TestWorkflow::photoshopDamagedRecord()
{
    QFETCH(QString, damage);
    Sandbox sandbox;
    const QString document = sandbox.path(QStringLiteral("document.png"));
    const QString back = sandbox.path(QStringLiteral("back.png"));
    QVERIFY(twoColourPicture(QImage::Format_RGB888).save(document));
    const int status = sandbox.run(kHostSimulator,
                                   {"--image", document, "--depth", "16", "--damage", damage, "--result", back,
                                    "--program", kProgram, "--timeout", "100", "--", sandbox.script()});
    QVERIFY2(status == 1, qPrintable(sandbox.output()));
    QVERIFY2(sandbox.output().contains(QLatin1String("editor ended with 255")), qPrintable(sandbox.output()));
    QVERIFY(!QFile::exists(back));
    // The test script starts when the window first shows.
    QVERIFY(!sandbox.reportOf(QStringLiteral("empty")).contains(QLatin1String("startTest")));
}

// A save that fails, a Save As name with a suffix of no format we save, and
// opens that are refused: each message names the cause under its text.
void TestWorkflow::failuresSayWhy()
{
    Sandbox sandbox;
    const QString photo = sandbox.path(QStringLiteral("photo.jpg"));
    QVERIFY(twoColourPicture(QImage::Format_RGB888).save(photo));
    QVERIFY(QDir().mkpath(sandbox.path(QStringLiteral("album.jpg"))));
    const QString truncated = sandbox.path(QStringLiteral("truncated.jpg"));
    QVERIFY(writeFile(truncated, readFile(photo).left(700)));
    QVERIFY(writeFile(sandbox.path(QStringLiteral("notes.jpg")), "not a picture"));

    const QString root = sandbox.root();
    const QString notSaved = QStringLiteral("The file could not be saved.");
    const QString notSupported = QStringLiteral("Sorry, but this file type is not supported. Please, try again.");
    // A check that the notice (or the reason it gave) was shown.
    const auto shown = [](const QString& text, bool reason = false) {
        const QString quoted =
            QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
        return QStringLiteral("scripting.log(%1);\nscripting.compare(scripting.%2(%1), true);\n")
            .arg(quoted, reason ? QStringLiteral("isMessageReasonShown") : QStringLiteral("isMessageBoxShown"));
    };
    // Save As does nothing while a render runs or its indicator shows.
    QString script = QStringLiteral("edit();\n"
                                    "waitFor(function () { return mainWindow.isIdle(); }, 'idle window');\n"
                                    "scripting.log('Save As typed.png');\n"
                                    "nativeDialogs.setSaveFileName('{root}/typed.png');\n"
                                    "scripting.compare(mainWindow.saveOpenedFileAs(), true);\n"
                                    "waitFor(function () { return mainWindow.isIdle(); }, 'idle window');\n"
                                    "scripting.log('Save As into a missing folder');\n"
                                    "nativeDialogs.setSaveFileName('{root}/missing/copy.jpg');\n"
                                    "scripting.compare(mainWindow.saveOpenedFileAs(), false);\n");
    script += shown(notSaved);
    script += shown(QStringLiteral("The folder does not exist."), true);
    for (const QString& name : {QStringLiteral("absent.jpg"), QStringLiteral("album.jpg"),
                                QStringLiteral("truncated.jpg"), QStringLiteral("notes.jpg")})
        script += QStringLiteral("nativeDialogs.setOpenFileName('{root}/%1');\n"
                                 "scripting.compare(mainWindow.saveOldAndOpenNewFile(), false);\n")
                      .arg(name);
    script += shown(QStringLiteral("Sorry, file could not be opened"));
    script += shown(QStringLiteral("The file does not exist."), true);
    script += shown(QStringLiteral("This is a folder, a pipe or a device, not a picture file."), true);
    script += shown(QStringLiteral("The picture in the file is damaged or incomplete."), true);
    script += shown(notSupported);
    script += shown(QStringLiteral("The file is neither a JPEG nor a TIFF picture."), true);
    script.replace(QLatin1String("{root}"), root);
    const QByteArray test = kScriptHelpers + "scripting.startTest.connect(function () {\n" + script.toUtf8() + "});\n";

    const int exitCode = sandbox.runProgram({photo, sandbox.script(QStringLiteral("failures"), test)});
    QVERIFY2(sandbox.reportOf(QStringLiteral("failures")).endsWith(QLatin1String("PASS\n")),
             qPrintable(sandbox.reportOf(QStringLiteral("failures")) + sandbox.output()));
    QCOMPARE(exitCode, 3);
    // The typed name got the JPEG filter's suffix.
    QVERIFY(isTurnedPicture(QImage(sandbox.path(QStringLiteral("typed.png.jpg")))));
    QVERIFY(!QFile::exists(sandbox.path(QStringLiteral("typed.png"))));
    // The log has the reasons too; standard error has none of the glue's lines.
    QVERIFY(sandbox.logLines().filter(QStringLiteral("No such file or directory")).size() >= 2);
    QVERIFY2(!sandbox.output().contains(QLatin1String("macos add document path")), qPrintable(sandbox.output()));
    QVERIFY(!sandbox.logLines().filter(QStringLiteral("macos add document path")).isEmpty());
}

// The crop tool chosen with the window's action, a corner handle moved by a
// script, the crop applied: the saved picture is the cropped part.
void TestWorkflow::cropByHandAndSave()
{
    Sandbox sandbox;
    const QString photo = sandbox.path(QStringLiteral("photo.jpg"));
    QVERIFY(twoColourPicture(QImage::Format_RGB888).save(photo));
    const QSize size = QImage(photo).size();
    const QString copy = sandbox.path(QStringLiteral("cropped.jpg"));
    const QString script =
        QStringLiteral("waitFor(function () { return mainWindow.hasViewImage(); }, 'image');\n"
                       "mainWindow.onCropTool();\n"
                       "scripting.compare(mainWindow.movePoint('CropLeftTop', %1, %2), true);\n"
                       "mainWindow.onCropTool();\n"
                       "waitFor(function () { return mainWindow.isIdle(); }, 'idle window');\n"
                       "scripting.compare(Math.round(processEngine.getCropLeft() * 100), 50);\n"
                       "waitForSaveAs();\n"
                       "nativeDialogs.setSaveFileName('%3');\n"
                       "scripting.compare(mainWindow.saveOpenedFileAs(), true);\n"
                       "waitFor(function () { return mainWindow.isIdle(); }, 'idle window');\n")
            .arg(size.width() / 2)
            .arg(size.height() / 2)
            .arg(copy);
    const QByteArray test = kScriptHelpers + "scripting.startTest.connect(function () {\n" + script.toUtf8() + "});\n";
    sandbox.runProgram({photo, sandbox.script(QStringLiteral("crop"), test)});
    QVERIFY2(sandbox.reportOf(QStringLiteral("crop")).endsWith(QLatin1String("PASS\n")),
             qPrintable(sandbox.reportOf(QStringLiteral("crop")) + sandbox.output()));
    QCOMPARE(QImage(copy).size(), size / 2);
}

QTEST_GUILESS_MAIN(TestWorkflow)
#include "tst_workflow.moc"
