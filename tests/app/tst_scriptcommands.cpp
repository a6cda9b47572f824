// The window's commands in the running program, driven by test scripts: a
// rotation of a corrected picture asks first, a snapshot brings the crop
// back within the run and in the next one, and the crop handle that a
// script moves and reads.

#include "ProgramSandbox.h"

#include <QTest>

namespace {

// The crop tool chosen, its left-top handle moved by half the picture, the
// crop applied: the left half of the picture is cut.
const QByteArray kScriptHelpers = R"(
function waitFor(condition, what) {
    for (var i = 0; i < 1200 && !condition(); ++i)
        scripting.wait(50);
    if (!condition())
        scripting.fail("no " + what);
}
function waitIdle() {
    waitFor(function () { return mainWindow.hasViewImage() && mainWindow.isUndoBaselineSet() && mainWindow.isIdle(); }, "idle window");
}
function cropLeft() {
    return Math.round(processEngine.getCropLeft() * 100);
}
function crop() {
    waitIdle();
    mainWindow.onCropTool();
    var start = mainWindow.getPointPosition("CropLeftTop");
    scripting.compare(mainWindow.movePoint("CropLeftTop", 48, 32), true);
    var moved = mainWindow.getPointPosition("CropLeftTop");
    scripting.compare(Math.round(moved.x - start.x), 48);
    scripting.compare(Math.round(moved.y - start.y), 32);
    scripting.compare(mainWindow.getPointPosition("NoSuchHandle"), undefined);
    mainWindow.onCropTool();
    waitIdle();
    scripting.compare(cropLeft(), 50);
}
// A standalone save asks its options: the offered ones are taken.
scripting.resendSignal.connect(function (dialog) {
    if (dialog.getObjectName() === "FileSaveDialog")
        dialog.accept();
});
function saveCopy(path) {
    waitIdle();
    nativeDialogs.setSaveFileName(path);
    scripting.compare(mainWindow.saveOpenedFileAs(), true);
    waitIdle();
}
)";

QImage picture()
{
    QImage image(96, 64, QImage::Format_RGB888);
    image.fill(QColor(40, 120, 200));
    return image;
}

} // namespace

class TestScriptCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rotationAsksAboutCorrections_data();
    void rotationAsksAboutCorrections();
    void snapshotBringsTheCropBack();

private:
    // Runs the script's body as the test's start hook with the picture open.
    QString run(Sandbox& sandbox, const QString& photo, const QByteArray& body);
};

QString TestScriptCommands::run(Sandbox& sandbox, const QString& photo, const QByteArray& body)
{
    static int runs = 0;
    const QString name = QStringLiteral("commands%1").arg(++runs);
    const QByteArray test = kScriptHelpers + "scripting.startTest.connect(function () {\n" + body + "});\n";
    sandbox.runProgram({photo, sandbox.script(name, test)});
    const QString report = sandbox.reportOf(name);
    return report.endsWith(QLatin1String("PASS\n")) ? QString() : report + sandbox.output();
}

void TestScriptCommands::rotationAsksAboutCorrections_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QSize>("saved");

    // No answer is given: a question would fail the test.
    QTest::newRow("uncorrected, not asked") << QByteArray("waitIdle();\n"
                                                          "mainWindow.onRotateRight();\n")
                                            << QSize(64, 96);
    QTest::newRow("corrected, cancelled") << QByteArray("crop();\n"
                                                        "messageBoxes.setRotateQuestion(false);\n"
                                                        "mainWindow.onRotateRight();\n"
                                                        "waitIdle();\n"
                                                        "scripting.compare(cropLeft(), 50);\n")
                                          << QSize(48, 32);
    QTest::newRow("corrected, rotated") << QByteArray("crop();\n"
                                                      "messageBoxes.setRotateQuestion(true);\n"
                                                      "mainWindow.onRotateLeft();\n"
                                                      "waitIdle();\n"
                                                      "scripting.compare(cropLeft(), 0);\n")
                                        << QSize(64, 96);
}

// A rotation resets every correction, so it asks first when there is one;
// Cancel keeps the picture as it was.
void TestScriptCommands::rotationAsksAboutCorrections()
{
    QFETCH(QByteArray, script);
    QFETCH(QSize, saved);

    Sandbox sandbox;
    const QString photo = sandbox.path(QStringLiteral("photo.jpg"));
    QVERIFY(picture().save(photo));
    const QString copy = sandbox.path(QStringLiteral("copy.jpg"));
    const QString failure = run(sandbox, photo, script + "saveCopy('" + copy.toUtf8() + "');\n");
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(QImage(copy).size(), saved);
}

// A snapshot taken of a cropped picture brings the crop back after Reset
// All, and in the next run of the program over the same picture.
void TestScriptCommands::snapshotBringsTheCropBack()
{
    Sandbox sandbox;
    const QString photo = sandbox.path(QStringLiteral("photo.jpg"));
    QVERIFY(picture().save(photo));

    QString failure = run(sandbox, photo,
                          "crop();\n"
                          "mainWindow.onTakeSnapshot();\n"
                          "mainWindow.onResetAll();\n"
                          "waitIdle();\n"
                          "scripting.compare(cropLeft(), 0);\n"
                          "mainWindow.onRestoreSnapshot();\n"
                          "waitIdle();\n"
                          "scripting.compare(cropLeft(), 50);\n"
                          "messageBoxes.setSaveDiscardCancelMessage(1);\n");
    QVERIFY2(failure.isEmpty(), qPrintable(failure));

    failure = run(sandbox, photo,
                  "waitIdle();\n"
                  "scripting.compare(cropLeft(), 0);\n"
                  "mainWindow.onRestoreSnapshot();\n"
                  "waitIdle();\n"
                  "scripting.compare(cropLeft(), 50);\n"
                  "messageBoxes.setSaveDiscardCancelMessage(1);\n");
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
}

QTEST_GUILESS_MAIN(TestScriptCommands)
#include "tst_scriptcommands.moc"
