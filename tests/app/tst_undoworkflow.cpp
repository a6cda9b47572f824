// Undo and redo in the running program: a quarter turn taken back with
// Ctrl+Z and done again with Ctrl+Shift+Y, each state saved to a copy.

#include "ProgramSandbox.h"

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

} // namespace

class TestUndoWorkflow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void undoAndRedoARotation();
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

QTEST_GUILESS_MAIN(TestUndoWorkflow)
#include "tst_undoworkflow.moc"
