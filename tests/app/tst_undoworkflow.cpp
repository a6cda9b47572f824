// Undo and redo in the running program: a quarter turn taken back with
// Ctrl+Z and done again with Ctrl+Shift+Y, each state saved to a copy; a
// keystoning handle dragged to where no correction can be made; every kind
// of step undone to the opened picture and redone, each state passed on the
// way the one its step left; the loupe after undo and redo.

#include "ProgramSandbox.h"

#include <QJsonArray>
#include <QTest>

namespace {

const QByteArray kScript = R"(
function waitFor(condition, what) {
    for (var i = 0; i < 1200 && !condition(); ++i)
        scripting.wait(50);
    if (!condition())
        scripting.fail("no " + what);
}
function enabled(name) { return scripting.isItemEnabled(mainWindow, name); }
var ctrl = 0x04000000, shift = 0x02000000;
// The save options: the offered ones.
scripting.resendSignal.connect(function (dialog) {
    if (dialog.getObjectName() === "FileSaveDialog")
        dialog.accept();
});
function saveCopy(path) {
    waitFor(function () { return mainWindow.isIdle(); }, "idle window");
    nativeDialogs.setSaveFileName(path);
    scripting.compare(mainWindow.saveOpenedFileAs(), true);
}
scripting.startTest.connect(function () {
    waitFor(function () { return mainWindow.isUndoBaselineSet(); }, "first render");
    // The opened picture is where undo stops.
    scripting.compare(enabled("actionUndo"), false);
    scripting.compare(enabled("actionRedo"), false);

    // A rotation waits for the renders of the opened picture.
    waitFor(function () { return mainWindow.isIdle(); }, "idle window");
    mainWindow.onRotateRight();
    waitFor(function () { return enabled("action_Save"); }, "change");
    scripting.compare(enabled("actionUndo"), true);

    scripting.shortcut(mainWindow, "z", ctrl);
    waitFor(function () { return !enabled("action_Save"); }, "undo");
    scripting.compare(enabled("actionUndo"), false);
    scripting.compare(enabled("actionRedo"), true);
    saveCopy("{undone}");

    scripting.shortcut(mainWindow, "y", ctrl | shift);
    waitFor(function () { return enabled("action_Save"); }, "redo");
    scripting.compare(enabled("actionRedo"), false);
    saveCopy("{redone}");
});
)";

// The rectangle tool, its left-top handle dragged to a good place, then again
// to where the quadrilateral folds over. The user is told, and only that
// drag is taken back: the handles, undo and redo stay with the good drag.
const QByteArray kFailedRenderScript = R"(
function waitFor(condition, what) {
    for (var i = 0; i < 1200 && !condition(); ++i)
        scripting.wait(50);
    if (!condition())
        scripting.fail("no " + what);
}
function enabled(name) { return scripting.isItemEnabled(mainWindow, name); }
function at(x, y) {
    var point = mainWindow.getPointPosition("BeforeKeystoningLeftTop");
    return point !== undefined && Math.abs(point.x - x) < 0.5 && Math.abs(point.y - y) < 0.5;
}
function waitForHandle(x, y, what) {
    waitFor(function () { return at(x, y) && !processEngine.isProcessingActive(); }, what);
    // The handle stays there once the renders asked for meanwhile are in.
    for (var i = 0; i < 20; ++i) {
        scripting.wait(50);
        waitFor(function () { return !processEngine.isProcessingActive(); }, "quiet engine");
    }
    if (!at(x, y)) {
        var point = mainWindow.getPointPosition("BeforeKeystoningLeftTop");
        scripting.fail(what + ": left-top handle at " + point.x + ", " + point.y);
    }
}
var ctrl = 0x04000000, shift = 0x02000000;
var message = "Perspective correction cannot be applied from current anchor points location";
scripting.startTest.connect(function () {
    waitFor(function () { return mainWindow.isUndoBaselineSet(); }, "first render");
    mainWindow.setBeforeAfterMode(true);
    waitFor(function () { return mainWindow.isIdle(); }, "idle window");
    scripting.clickButton(mainWindow, "rectTool");
    // The tool puts the handle at a quarter of the scene's width and height.
    var start = mainWindow.getPointPosition("BeforeKeystoningLeftTop");
    var size = { w: start.x * 4, h: start.y * 4 };

    scripting.compare(mainWindow.moveCorrectionHandle("BeforeKeystoningLeftTop", 0.1, 0.1), true);
    waitForHandle(0.1 * size.w, 0.1 * size.h, "good drag");
    scripting.compare(mainWindow.moveCorrectionHandle("BeforeKeystoningLeftTop", 0.95, 0.95), true);
    waitFor(function () { return scripting.isMessageBoxShown(message); }, "message");
    waitForHandle(0.1 * size.w, 0.1 * size.h, "failed drag taken back");
    scripting.compare(enabled("actionRedo"), false);

    // Undo: the tool as chosen; redo: the good drag.
    scripting.shortcut(mainWindow, "z", ctrl);
    waitForHandle(start.x, start.y, "undo");
    scripting.compare(enabled("actionUndo"), true);
    scripting.shortcut(mainWindow, "y", ctrl | shift);
    waitForHandle(0.1 * size.w, 0.1 * size.h, "redo");
    scripting.compare(enabled("actionRedo"), false);

    // Another handle moves; the left-top one keeps its place.
    scripting.compare(mainWindow.moveCorrectionHandle("BeforeKeystoningRightTop", 0.8, 0.2), true);
    waitForHandle(0.1 * size.w, 0.1 * size.h, "later drag");
    scripting.compare(scripting.isMessageBoxShown(message, 1), false);
    // Closing: the changes are not kept.
    messageBoxes.setSaveDiscardCancelMessage(1);
});
)";

} // namespace

class TestUndoWorkflow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void undoAndRedoARotation();
    void failedRenderTakesBackOnlyItsChange();
    void everyKindOfStep_data();
    void everyKindOfStep();
    void loupeShowsTheStateUndoneTo();
};

void TestUndoWorkflow::undoAndRedoARotation()
{
    Sandbox sandbox;
    const QString undone = sandbox.path(QStringLiteral("undone.jpg"));
    const QString redone = sandbox.path(QStringLiteral("redone.jpg"));
    QImage picture(96, 64, QImage::Format_RGB888);
    picture.fill(QColor(200, 40, 40));
    QVERIFY(picture.save(sandbox.path(QStringLiteral("photo.jpg"))));

    const QByteArray script = QString::fromUtf8(kScript)
                                  .replace(QLatin1String("{undone}"), undone)
                                  .replace(QLatin1String("{redone}"), redone)
                                  .toUtf8();
    sandbox.runProgram(
        {sandbox.path(QStringLiteral("photo.jpg")), sandbox.script(QStringLiteral("undo"), script)});
    const QString report = sandbox.reportOf(QStringLiteral("undo"));
    QVERIFY2(report.endsWith(QLatin1String("PASS\n")), qPrintable(report + sandbox.output()));
    // Undone: the picture as it was; redone: turned.
    QCOMPARE(QImage(undone).size(), QSize(96, 64));
    QCOMPARE(QImage(redone).size(), QSize(64, 96));
}

void TestUndoWorkflow::failedRenderTakesBackOnlyItsChange()
{
    Sandbox sandbox;
    sandbox.runProgram({QStringLiteral(QUILLET_FIXTURES_DIR "/photo12-orient6.jpg"),
                        sandbox.script(QStringLiteral("failed"), kFailedRenderScript)});
    const QString report = sandbox.reportOf(QStringLiteral("failed"));
    QVERIFY2(report.contains(QLatin1String("PASS\n")), qPrintable(report + sandbox.output()));
}

void TestUndoWorkflow::everyKindOfStep_data()
{
    QTest::addColumn<QStringList>("steps");

    // Natural sets 75 and opens the crop tool; Full follows a typed value.
    QTest::newRow("keystoning and its presets") << QStringList{"rectangle tool",
                                                               "keystoning handle",
                                                               "keystoning applied",
                                                               "Natural",
                                                               "crop applied",
                                                               "intensity typed",
                                                               "Full"};
    // The intensity slider also held by the mouse until a render came.
    QTest::newRow("keystoning sliders") << QStringList{
        "rectangle tool", "keystoning handle", "keystoning applied", "intensity slider", "intensity held by the mouse",
        "up/down slider", "ratio slider"};
    QTest::newRow("horizon") << QStringList{"horizon tool", "horizon handle", "horizon angle", "horizon applied"};
    // Each drag holds still until a render it caused arrived.
    QTest::newRow("crop") << QStringList{"crop tool",          "crop ratio 3/2",      "constrain to image",
                                         "paused corner drag", "crop type automatic", "paused frame drag",
                                         "crop tool applied"};
    QTest::newRow("window commands") << QStringList{"rectangle tool",   "keystoning handle", "keystoning applied",
                                                    "keystoning reset", "crop off",          "crop on",
                                                    "Reset All",        "snapshot recalled", "rotation"};
}

void TestUndoWorkflow::everyKindOfStep()
{
    QFETCH(QStringList, steps);

    Sandbox sandbox;
    const QString photo = sandbox.path(QStringLiteral("photo.jpg"));
    QVERIFY(writeFile(photo, photograph(QSize(900, 600))));
    sandbox.runProgram({photo,
                        scriptWithHelpers(sandbox, QStringLiteral("steps"), QStringLiteral("undo/steps.js"),
                                          {{QStringLiteral("steps"), QJsonArray::fromStringList(steps)}})});
    const QString report = sandbox.reportOf(QStringLiteral("steps"));
    QVERIFY2(report.endsWith(QLatin1String("PASS\n")), qPrintable(report + sandbox.output()));
    const auto lines = [&sandbox](const char* word) {
        return reportLines(sandbox, QStringLiteral("steps"), QLatin1String(word));
    };

    // Each is one step of its own.
    const QStringList made = lines("STEP");
    QCOMPARE(made.size(), steps.size());
    for (int i = 0; i < steps.size(); ++i)
        QVERIFY2(made.at(i).startsWith(steps.at(i) + QStringLiteral(" 1 ")), qPrintable(made.at(i)));
    // Each drag that pauses held still over a render.
    const QStringList pauses = lines("PAUSE");
    QCOMPARE(pauses.size(), int(steps.filter(QRegularExpression(QStringLiteral("paused|held"))).size()));
    for (const QString& pause : pauses)
        QVERIFY2(!pause.endsWith(QLatin1String(" 0")), qPrintable(pause));
    // Every undo and every redo comes back to the state recorded there.
    const QStringList states = lines("STATE");
    QCOMPARE(states.size(), 2 * steps.size());
    QStringList wrong;
    for (const QString& state : states)
        if (!state.endsWith(QLatin1String(" same")))
            wrong.append(state);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
}

void TestUndoWorkflow::loupeShowsTheStateUndoneTo()
{
    Sandbox sandbox;
    // The crop's size label goes two seconds after the frame last changed:
    // without it, what the loupe shows does not depend on how long a render
    // takes.
    sandbox.setSetting(QStringLiteral("showImageSize"), false);
    const QString photo = sandbox.path(QStringLiteral("photo.jpg"));
    QVERIFY(writeFile(photo, photograph(QSize(900, 600))));
    sandbox.runProgram({photo,
                        scriptWithHelpers(sandbox, QStringLiteral("loupe"), QStringLiteral("undo/loupe.js"),
                                          {{QStringLiteral("folder"), sandbox.root()}})});
    const QString report = sandbox.reportOf(QStringLiteral("loupe"));
    QVERIFY2(report.endsWith(QLatin1String("PASS\n")), qPrintable(report + sandbox.output()));

    const auto loupe = [&sandbox](const char* name) {
        return QImage(sandbox.path(QLatin1String(name) + QStringLiteral(".png"))).convertToFormat(QImage::Format_RGB32);
    };
    const QImage released = loupe("released");
    QVERIFY(!released.isNull());
    // Undone, the loupe shows the whole frame at once, as a move of the
    // pointer to the same place shows it, and no longer the handle.
    QCOMPARE(loupe("undone"), loupe("moved"));
    QVERIFY(loupe("undone") != released);
    // Redone, the handle where it was let go.
    QCOMPARE(loupe("redone"), released);
}

QTEST_GUILESS_MAIN(TestUndoWorkflow)
#include "tst_undoworkflow.moc"
