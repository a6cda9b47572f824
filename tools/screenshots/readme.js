// Drives the program for take-readme-screenshots.sh: PHOTO being corrected
// with the Rectangle keystoning type (handles on the original, the result
// beside it), the corrected picture beside the original, then the crop tool
// with its frame pulled in. HANDLES holds [name, x, y] of the handles to move
// (fractions of the picture).
scripting.startTest.connect(function () {
    waitFor(function () { return mainWindow.hasViewImage() && mainWindow.isIdle(); }, "picture in the views");
    mainWindow.setBeforeAfterMode(true);
    mainWindow.fitViews();
    scripting.clickButton(mainWindow, "rectTool");
    HANDLES.forEach(function (handle) {
        scripting.compare(mainWindow.moveCorrectionHandle("BeforeKeystoning" + handle[0], handle[1], handle[2]), true);
    });
    shot("correcting");
    scripting.clickButton(mainWindow, "rectTool");
    mainWindow.fitViews();
    shot("before-after");
    mainWindow.setBeforeAfterMode(false);
    mainWindow.fitViews();
    mainWindow.onCropTool();
    scripting.compare(mainWindow.moveCorrectionHandle("CropLeftTop", 0.12, 0.1), true);
    scripting.compare(mainWindow.moveCorrectionHandle("CropRightBottom", 0.9, 0.92), true);
    shot("crop");
    mainWindow.onCropTool();
    settle();
    // The window closes on the corrected picture without saving it.
    messageBoxes.setSaveDiscardCancelMessage(1);
});
