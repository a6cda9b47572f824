// Drives the program through levelling for take-horizon-screenshots.sh: the
// horizontal level tool on a tilted picture, then the angle typed into the
// panel; at each step it prints "SHOT <name>" and waits for "<name>.done" in
// SHOT_DIR.
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
    waitFor(function () { return mainWindow.hasViewImage(); }, "image in the views");
    settle();
    scripting.setItemChecked(mainWindow, "horizonHTool", true);
    scripting.compare(scripting.isItemChecked(mainWindow, "horizonHTool"), true);
    shot("1-tilted-with-line");
    scripting.setSlider(mainWindow, "angleSlider_Slider", ANGLE);
    shot("2-levelled");
    mainWindow.setBeforeAfterMode(true);
    mainWindow.fitViews();
    shot("3-levelled-before-after");
    // The window closes on the levelled picture without saving it.
    messageBoxes.setSaveDiscardCancelMessage(1);
});
