// The helpers waitFor, settle and shot come from shots.js (screenshots.sh).
// Drives the program through levelling for take-horizon-screenshots.sh: the
// horizontal level tool on a tilted picture, then the angle typed into the
// panel; at each step it prints "SHOT <name>" and waits for "<name>.done" in
// SHOT_DIR.
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
