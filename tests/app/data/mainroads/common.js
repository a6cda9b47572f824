// What every main road's script uses. ARGS (set before this file) holds the
// paths and choices of the run.
function waitFor(condition, what) {
    for (var i = 0; i < 2400 && !condition(); ++i)
        scripting.wait(50);
    if (!condition())
        scripting.fail("no " + what);
}
// No render runs or waits to start and no processing notice shows, at two
// looks in a row (a render's results reach the views through the event loop
// after its thread is done).
function idle() {
    var looks = 0;
    waitFor(function () {
        looks = mainWindow.isIdle() ? looks + 1 : 0;
        return looks >= 2;
    }, "idle window");
}
function waitForPicture() {
    waitFor(function () { return mainWindow.isUndoBaselineSet() && mainWindow.hasViewImage(); }, "picture");
    idle();
}
// scripting.compare, naming what was checked when it fails.
function check(what, actual, expected) {
    if (actual !== expected)
        scripting.log("failed check: " + what);
    scripting.compare(actual, expected);
}
function enabled(name) { return scripting.isItemEnabled(mainWindow, name); }
// The modifiers of scripting.shortcut.
var ctrl = 0x04000000, shift = 0x02000000;
// The window takes input again half a second after a render: a view that a
// script drags in waits for it.
function viewTakesInput(name) {
    var view = part(name);
    waitFor(function () { return view.enabled; }, name + " taking input");
}
function part(name) { return scripting.getSubObject(mainWindow, name); }
// A standalone save asks its options: a JPEG at the best quality, a TIFF in
// 16 bits (unless a script answers them itself).
var answerSaveOptions = true;
scripting.resendSignal.connect(function (dialog) {
    if (!answerSaveOptions || dialog.getObjectName() !== "FileSaveDialog")
        return;
    if (dialog.windowTitle === "TIFF Options")
        scripting.getSubObject(dialog, "tiffComboBox").currentIndex = 2;
    else
        scripting.getSubObject(dialog, "jpegSlider").value = 100;
    dialog.accept();
});
function saveAs(path) {
    idle();
    nativeDialogs.setSaveFileName(path);
    check("Save As " + path, mainWindow.saveOpenedFileAs(), true);
    idle();
}
function open(path) {
    nativeDialogs.setOpenFileName(path);
    check("Open " + path, mainWindow.saveOldAndOpenNewFile(), true);
    waitForPicture();
}
// A keystoning type chosen with its button, its handles dragged on the
// original (the left view of the pair) and the type clicked again, which
// applies the correction.
function keystone(tool, handles) {
    mainWindow.setBeforeAfterMode(true);
    scripting.clickButton(mainWindow, tool);
    check(tool + " checked", scripting.isItemChecked(mainWindow, tool), true);
    handles.forEach(function (handle) {
        var name = "BeforeKeystoning" + handle[0];
        check(name + " moved", mainWindow.moveCorrectionHandle(name, handle[1], handle[2]), true);
    });
    idle();
    scripting.clickButton(mainWindow, tool);
    idle();
}
// The horizon turned with the angle slider (tenths of a degree) and applied.
function level(tenths) {
    scripting.clickButton(mainWindow, "horizonHTool");
    scripting.setSlider(mainWindow, "angleSlider_Slider", tenths);
    idle();
    scripting.clickButton(mainWindow, "horizonHTool");
    idle();
}
// The crop tool chosen, its top left and bottom right corners dragged to
// (left, top) and (right, bottom) of the picture it frames, the crop applied.
function cropByHand(left, top, right, bottom) {
    mainWindow.onCropTool();
    // The tool shows the whole corrected picture once rendered: the handle
    // goes to a place of that.
    idle();
    check("CropLeftTop moved", mainWindow.moveCorrectionHandle("CropLeftTop", left, top), true);
    check("CropRightBottom moved", mainWindow.moveCorrectionHandle("CropRightBottom", right, bottom), true);
    mainWindow.onCropTool();
    idle();
}
// "UNDO <done steps> <texts as JSON>" for the test to read in the report,
// under another first word when given.
function logUndo(word) {
    scripting.log((word || "UNDO") + " " + undoController.doneSteps() + " "
                  + JSON.stringify(undoController.stepTexts()));
}
