// The crop in the program's window, driven by test scripts: a ratio takes its
// orientation from the picture as the user sees it (turned by its EXIF
// orientation or by the user), and undo after a drag that paused long enough
// for a render goes back to where the drag began.

#include "ProgramSandbox.h"

#include <QRegularExpression>
#include <QTest>

namespace {

// What the main roads' scripts use (waitFor, idle, waitForPicture, ...),
// and the crop's own helpers.
QByteArray scriptHelpers()
{
    return readFile(QStringLiteral(QUILLET_TEST_DATA_DIR "/mainroads/common.js")) + R"(
// The crop frame as "left top right bottom" in the picture's pixels.
function frame() {
    var a = mainWindow.getPointPosition("CropLeftTop"), b = mainWindow.getPointPosition("CropRightBottom");
    return [a.x, a.y, b.x, b.y].map(function (v) { return v.toFixed(1); }).join(" ");
}
function chooseRatio(row) {
    var ratios = part("aspectRatioList");
    ratios.currentIndex = row;
    ratios.activated(row);
    idle();
}
)";
}

// The rows of the ratio list used here.
const QByteArray kRatioRows = "var FREE = 0, PRESERVE = 1, THREE_TWO = 6, SQUARE = 8;\n";

// "FRAME <ratio> left top right bottom" for the kept ratio and for 3/2 chosen
// on a free crop.
const QByteArray kRatioScript = R"(
scripting.startTest.connect(function () {
    waitForPicture();
    if (ARGS.turn) {
        mainWindow.onRotateRight();
        idle();
    }
    mainWindow.onCropTool();
    idle();
    chooseRatio(PRESERVE);
    scripting.log("FRAME preserve " + frame());
    chooseRatio(FREE);
    chooseRatio(THREE_TWO);
    scripting.log("FRAME threeTwo " + frame());
    messageBoxes.setSaveDiscardCancelMessage(1);
});
)";

// A drag of ARGS.item by ARGS.dx, ARGS.dy: half of it, a pause until the
// window is idle again (a render the drag caused has arrived), the other
// half, the release; then Ctrl+Z and Ctrl+Shift+Y. Logs "AT <when> <place>"
// with ARGS.where's place of the tool, "PAUSE <renders during the pause>"
// and "STEPS <done> <count>" after each.
const QByteArray kDragScript = R"(
var renders = 0;
processEngine.trasformOutParamsSignalWasSent.connect(function () { ++renders; });
function handle() {
    var point = mainWindow.getPointPosition(ARGS.where);
    return point.x.toFixed(1) + " " + point.y.toFixed(1);
}
function log(when) {
    scripting.log("AT " + when + " " + (ARGS.where === "frame" ? frame() : handle()));
    scripting.log("STEPS " + when + " " + undoController.doneSteps() + " " + undoController.stepTexts().length);
}
scripting.startTest.connect(function () {
    waitForPicture();
    eval(ARGS.setUp);
    idle();
    log("before");
    var at = mainWindow.itemInView(ARGS.item);
    scripting.compare(at !== undefined, true);
    viewTakesInput(at.view);
    scripting.compare(scripting.pressMouse(mainWindow, at.view, at.x, at.y), true);
    scripting.compare(scripting.moveMouse(mainWindow, at.view, at.x + ARGS.dx / 2, at.y + ARGS.dy / 2), true);
    var rendersBefore = renders;
    idle();
    scripting.log("PAUSE " + (renders - rendersBefore));
    viewTakesInput(at.view);
    scripting.compare(scripting.moveMouse(mainWindow, at.view, at.x + ARGS.dx, at.y + ARGS.dy), true);
    scripting.compare(scripting.releaseMouse(mainWindow, at.view, at.x + ARGS.dx, at.y + ARGS.dy), true);
    idle();
    log("released");
    scripting.shortcut(mainWindow, "z", ctrl);
    idle();
    log("undone");
    scripting.shortcut(mainWindow, "y", ctrl | shift);
    idle();
    log("redone");
    messageBoxes.setSaveDiscardCancelMessage(1);
});
)";

// "left top right bottom" as a size, rounded to whole pixels.
QSize frameSize(const QString& text)
{
    const QStringList values = text.split(QLatin1Char(' '));
    if (values.size() != 4)
        return {};
    return QSize(qRound(values.at(2).toDouble() - values.at(0).toDouble()),
                 qRound(values.at(3).toDouble() - values.at(1).toDouble()));
}

} // namespace

class TestCropWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ratioFollowsThePictureAsShown_data();
    void ratioFollowsThePictureAsShown();
    void undoAfterAPausedDrag_data();
    void undoAfterAPausedDrag();
};

void TestCropWindow::ratioFollowsThePictureAsShown_data()
{
    QTest::addColumn<QSize>("stored");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<bool>("turn");
    QTest::addColumn<QSize>("shown");

    QTest::newRow("stored landscape") << QSize(400, 300) << 0 << false << QSize(400, 300);
    QTest::newRow("stored portrait") << QSize(300, 400) << 0 << false << QSize(300, 400);
    QTest::newRow("orientation 6") << QSize(400, 300) << 6 << false << QSize(300, 400);
    QTest::newRow("orientation 8") << QSize(400, 300) << 8 << false << QSize(300, 400);
    QTest::newRow("landscape turned a quarter") << QSize(400, 300) << 0 << true << QSize(300, 400);
}

void TestCropWindow::ratioFollowsThePictureAsShown()
{
    QFETCH(QSize, stored);
    QFETCH(int, orientation);
    QFETCH(bool, turn);
    QFETCH(QSize, shown);

    Sandbox sandbox;
    const QString photo = sandbox.path(QStringLiteral("photo.jpg"));
    QVERIFY(writeFile(photo, photograph(stored, orientation)));
    const QByteArray script =
        scriptArguments({{QStringLiteral("turn"), turn}}).toUtf8() + scriptHelpers() + kRatioRows + kRatioScript;
    sandbox.runProgram({photo, sandbox.script(QStringLiteral("ratio"), script)});
    const QString report = sandbox.reportOf(QStringLiteral("ratio"));
    QVERIFY2(report.endsWith(QLatin1String("PASS\n")), qPrintable(report + sandbox.output()));

    const QMap<QString, QString> frames = keyedReportLines(report, QStringLiteral("FRAME"));
    // The kept ratio is the whole picture as shown.
    QCOMPARE(frameSize(frames.value(QStringLiteral("preserve"))), shown);
    // 3/2 on a free crop: the picture's orientation, its long side whole.
    const bool portrait = shown.height() > shown.width();
    const QSize threeTwo = portrait ? QSize(qRound(shown.height() * 2 / 3.0), shown.height())
                                    : QSize(shown.width(), qRound(shown.width() * 2 / 3.0));
    QCOMPARE(frameSize(frames.value(QStringLiteral("threeTwo"))), threeTwo);
}

void TestCropWindow::undoAfterAPausedDrag_data()
{
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QPoint>("drag");
    QTest::addColumn<bool>("renders");

    // The automatic crop turns manual at the first move: the engine renders
    // while the button is still held.
    QTest::newRow("crop corner") << "mainWindow.onCropTool();"
                                 << "CropRightBottom"
                                 << "frame" << QPoint(-80, -60) << true;
    QTest::newRow("whole crop frame") << "mainWindow.onCropTool(); idle(); chooseRatio(SQUARE);"
                                      << "CropMainRect"
                                      << "frame" << QPoint(-50, 0) << true;
    QTest::newRow("horizon line handle") << "scripting.clickButton(mainWindow, 'horizonHTool');"
                                         << "AfterHorizonLeftTop"
                                         << "AfterHorizonLeftTop" << QPoint(30, -40) << false;
}

void TestCropWindow::undoAfterAPausedDrag()
{
    QFETCH(QString, setUp);
    QFETCH(QString, item);
    QFETCH(QString, where);
    QFETCH(QPoint, drag);
    QFETCH(bool, renders);

    Sandbox sandbox;
    const QString photo = sandbox.path(QStringLiteral("photo.jpg"));
    QVERIFY(writeFile(photo, photograph(QSize(600, 400), 0)));
    const QString args = scriptArguments({{QStringLiteral("setUp"), setUp},
                                          {QStringLiteral("item"), item},
                                          {QStringLiteral("where"), where},
                                          {QStringLiteral("dx"), drag.x()},
                                          {QStringLiteral("dy"), drag.y()}});
    const QByteArray script = args.toUtf8() + scriptHelpers() + kRatioRows + kDragScript;
    sandbox.runProgram({photo, sandbox.script(QStringLiteral("drag"), script)});
    const QString report = sandbox.reportOf(QStringLiteral("drag"));
    QVERIFY2(report.endsWith(QLatin1String("PASS\n")), qPrintable(report + sandbox.output()));

    const QMap<QString, QString> at = keyedReportLines(report, QStringLiteral("AT"));
    const QMap<QString, QString> steps = keyedReportLines(report, QStringLiteral("STEPS"));
    // The pause lasted until the render the drag caused had arrived.
    if (renders)
        QVERIFY2(
            report.contains(QRegularExpression(QStringLiteral("^PAUSE [1-9]"), QRegularExpression::MultilineOption)),
            qPrintable(report));
    // The drag moved the tool and is one step of its own.
    QVERIFY2(at.value(QStringLiteral("released")) != at.value(QStringLiteral("before")), qPrintable(report));
    const int stepsBefore = steps.value(QStringLiteral("before")).section(QLatin1Char(' '), 0, 0).toInt();
    QCOMPARE(steps.value(QStringLiteral("released")), QStringLiteral("%1 %1").arg(stepsBefore + 1));
    // One Ctrl+Z: exactly where the drag began; Redo: where it was let go.
    QCOMPARE(at.value(QStringLiteral("undone")), at.value(QStringLiteral("before")));
    QCOMPARE(steps.value(QStringLiteral("undone")), QStringLiteral("%1 %2").arg(stepsBefore).arg(stepsBefore + 1));
    QCOMPARE(at.value(QStringLiteral("redone")), at.value(QStringLiteral("released")));
}

QTEST_GUILESS_MAIN(TestCropWindow)
#include "tst_cropwindow.moc"
