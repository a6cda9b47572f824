// A whole edit (keystoning, levelling, a crop by hand) undone step by step
// with Ctrl+Z down to the opened picture, then redone with Ctrl+Shift+Y; a
// copy is saved at each end. Then the edit is kept as the snapshot, all is
// reset and the snapshot recalled, a step that is undone and redone in turn;
// a copy is saved after the recall and after its undo.
// The size of the corrected picture as the window shows it.
function afterSize() {
    return part(mainWindow.viewMode() === "single" ? "labelSingleSize" : "labelDAfterSize").text;
}
function undoOnce(done) {
    check("actionUndo enabled", enabled("actionUndo"), true);
    scripting.shortcut(mainWindow, "z", ctrl);
    waitFor(function () { return undoController.doneSteps() == done; }, "undo down to " + done + " steps");
    idle();
}
function redoOnce(done) {
    check("actionRedo enabled", enabled("actionRedo"), true);
    scripting.shortcut(mainWindow, "y", ctrl | shift);
    waitFor(function () { return undoController.doneSteps() == done; }, "redo up to " + done + " steps");
    idle();
}
scripting.startTest.connect(function () {
    waitForPicture();
    keystone("rectTool", ARGS.handles);
    level(-25);
    cropByHand(0.2, 0.1, 0.8, 0.9);
    saveAs(ARGS.edited);
    logUndo();
    var steps = undoController.doneSteps();
    for (var i = steps; i > 0; --i)
        undoOnce(i - 1);
    check("actionUndo enabled", enabled("actionUndo"), false);
    saveAs(ARGS.undone);
    for (var j = 0; j < steps; ++j)
        redoOnce(j + 1);
    check("actionRedo enabled", enabled("actionRedo"), false);
    saveAs(ARGS.redone);
    logUndo();

    var edited = afterSize();
    // The snapshot's menu commands are hidden (and so never enabled): the
    // window's slots stand for them.
    mainWindow.onTakeSnapshot();
    mainWindow.onResetAll();
    idle();
    var reset = afterSize();
    check("size after Reset All differs from " + edited, reset !== edited, true);
    mainWindow.onRestoreSnapshot();
    idle();
    check("size after the recall", afterSize(), edited);
    saveAs(ARGS.recalled);
    logUndo("RECALL");
    var recalled = undoController.doneSteps();
    undoOnce(recalled - 1);
    check("size after the recall is undone", afterSize(), reset);
    saveAs(ARGS.unrecalled);
    redoOnce(recalled);
    check("size after the recall is redone", afterSize(), edited);
    logUndo("RECALL");
    // Changed since the last save: closing asks, and the change is dropped.
    messageBoxes.setSaveDiscardCancelMessage(1);
});
