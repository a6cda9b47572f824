// The helpers waitFor, settle and shot come from shots.js (screenshots.sh).
// Drives the program through the views for take-view-screenshots.sh: at each
// step it prints "SHOT <name>" and waits until the shell has photographed the
// screen and created "<name>.done" in the folder given as SHOT_DIR.
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
