// Drives the keystoning tool for check.sh: each correction type is chosen
// with its panel button, its handles are moved onto the facade's corners (or
// its edges) as a user would, and the screen is photographed before and
// after; the Rectangle result is saved for measuring. POINTS (the facade's
// corners LeftTop, LeftBottom, RightBottom, RightTop as fractions of the
// picture), SHOT_DIR and SAVE_PATH are set by check.sh.
function waitFor(condition, what) {
    for (var i = 0; i < 1200 && !condition(); ++i)
        scripting.wait(50);
    if (!condition())
        scripting.fail("no " + what);
}

// The save options: the offered ones.
scripting.resendSignal.connect(function (dialog) {
    if (dialog.getObjectName() === "FileSaveDialog")
        dialog.accept();
});

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

function move(name, point) {
    scripting.compare(mainWindow.moveCorrectionHandle("BeforeKeystoning" + name, point[0], point[1]), true);
}

function along(a, b, t) {
    return [a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t];
}

function corners() {
    move("LeftTop", POINTS[0]);
    move("LeftBottom", POINTS[1]);
    move("RightBottom", POINTS[2]);
    move("RightTop", POINTS[3]);
}

function eightPoints() {
    var lt = POINTS[0], lb = POINTS[1], rb = POINTS[2], rt = POINTS[3];
    move("8PointsLeftTop", along(lt, lb, 0.2));
    move("8PointsLeftBottom", along(lt, lb, 0.8));
    move("8PointsRightTop", along(rt, rb, 0.2));
    move("8PointsRightBottom", along(rt, rb, 0.8));
    move("8PointsTopLeft", along(lt, rt, 0.2));
    move("8PointsTopRight", along(lt, rt, 0.8));
    move("8PointsBottomLeft", along(lb, rb, 0.2));
    move("8PointsBottomRight", along(lb, rb, 0.8));
}

function mode(button, name, place) {
    scripting.clickButton(mainWindow, button);
    scripting.compare(scripting.isItemChecked(mainWindow, button), true);
    shot(name + "-1-before");
    place();
    shot(name + "-2-after");
}

scripting.startTest.connect(function () {
    waitFor(function () { return mainWindow.hasViewImage(); }, "image in the views");
    mainWindow.setBeforeAfterMode(true);
    mainWindow.fitViews();
    shot("0-opened");
    mode("verticalTool", "vertical", corners);
    mode("horizontalTool", "horizontal", corners);
    mode("pointTool", "eightpoints", eightPoints);
    mode("rectTool", "rectangle", corners);
    nativeDialogs.setSaveFileName(SAVE_PATH);
    scripting.compare(mainWindow.saveOpenedFileAs(), true);
    mainWindow.setBeforeAfterMode(false);
    mainWindow.fitViews();
    shot("rectangle-3-single");
    // Unchecking the type applies the correction and closes the tool.
    scripting.clickButton(mainWindow, "rectTool");
    shot("rectangle-4-applied");
});
