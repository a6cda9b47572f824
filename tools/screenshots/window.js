// The helpers waitFor, settle and shot come from shots.js (screenshots.sh).
// Drives the main window for take-window-screenshots.sh: the empty window,
// then PHOTO opened in the single view, the before/after pair and full
// screen. At each step it prints "SHOT <name>" and waits until the shell has
// photographed the screen and created "<name>.done" in SHOT_DIR.
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
