// Drives the program through the views for take-view-screenshots.sh: at each
// step it prints "SHOT <name>" and waits until the shell has photographed the
// screen and created "<name>.done" in the folder given as SHOT_DIR.
function waitFor(condition, what) {
    for (var i = 0; i < 1200 && !condition(); ++i)
        scripting.wait(50);
    if (!condition())
        scripting.fail("no " + what);
}

// Renders run while the engine is busy; a few quiet polls in a row mean done.
function settle() {
    scripting.wait(400);
    var quiet = 0;
    waitFor(function () {
        quiet = processEngine.isProcessingActive() ? 0 : quiet + 1;
        return quiet >= 6;
    }, "quiet engine");
    scripting.wait(700);
}

function shot(name) {
    settle();
    print("SHOT " + name);
    waitFor(function () { return scripting.isFileExist(SHOT_DIR + "/" + name + ".done"); }, "screenshot " + name);
}

scripting.startTest.connect(function () {
    waitFor(function () { return mainWindow.hasViewImage(); }, "image in the views");
    shot("single-fit");
    mainWindow.setGridOverlayShown(true);
    shot("single-fit-grid");
    mainWindow.setGridOverlayShown(false);
    mainWindow.setViewZoom(100);
    shot("single-100");
    mainWindow.setBeforeAfterMode(true);
    mainWindow.fitViews();
    shot("beforeafter-fit");
    mainWindow.setGridOverlayShown(true);
    shot("beforeafter-fit-grid");
    mainWindow.setViewZoom(100);
    shot("beforeafter-100-grid");
    mainWindow.setGridOverlayShown(false);
    shot("beforeafter-100");
    mainWindow.setBeforeAfterMode(false);
    scripting.triggerAction(mainWindow, "actionHandTool");
    mainWindow.setViewZoom(200);
    shot("single-200-handtool");
});
