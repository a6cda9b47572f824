// Drives the main window for take-window-screenshots.sh: the empty window,
// then PHOTO opened in the single view, the before/after pair and full
// screen. At each step it prints "SHOT <name>" and waits until the shell has
// photographed the screen and created "<name>.done" in SHOT_DIR.
function waitFor(condition, what) {
    for (var i = 0; i < 1200 && !condition(); ++i)
        scripting.wait(50);
    if (!condition())
        scripting.fail("no " + what);
}

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
    shot("empty");
    nativeDialogs.setOpenFileName(PHOTO);
    scripting.compare(mainWindow.saveOldAndOpenNewFile(), true);
    waitFor(function () { return mainWindow.hasViewImage() && mainWindow.isIdle(); }, "picture in the views");
    shot("single");
    mainWindow.setBeforeAfterMode(true);
    mainWindow.fitViews();
    shot("beforeafter");
    mainWindow.setBeforeAfterMode(false);
    scripting.triggerAction(mainWindow, "actionFull_Screen");
    shot("fullscreen");
    scripting.triggerAction(mainWindow, "actionFull_Screen");
    settle();
});
