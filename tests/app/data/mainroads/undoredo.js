// A whole edit (keystoning, levelling, a crop by hand) undone step by step
// with Ctrl+Z down to the opened picture, then redone with Ctrl+Shift+Y; a
// copy is saved at each end.
var ctrl = 0x04000000, shift = 0x02000000;
scripting.startTest.connect(function () {
    waitForPicture();
    keystone("rectTool", ARGS.handles);
    level(-25);
    cropByHand(0.2, 0.1, 0.8, 0.9);
    saveAs(ARGS.edited);
    logUndo();
    var steps = undoController.doneSteps();
    for (var i = steps; i > 0; --i) {
        check("actionUndo enabled", enabled("actionUndo"), true);
        scripting.shortcut(mainWindow, "z", ctrl);
        waitFor(function () { return undoController.doneSteps() == i - 1; }, "undo of step " + i);
        idle();
    }
    check("actionUndo enabled", enabled("actionUndo"), false);
    saveAs(ARGS.undone);
    for (var j = 0; j < steps; ++j) {
        check("actionRedo enabled", enabled("actionRedo"), true);
        scripting.shortcut(mainWindow, "y", ctrl | shift);
        waitFor(function () { return undoController.doneSteps() == j + 1; }, "redo of step " + (j + 1));
        idle();
    }
    check("actionRedo enabled", enabled("actionRedo"), false);
    saveAs(ARGS.redone);
    logUndo();
});
