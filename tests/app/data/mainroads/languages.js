// The window with a picture, then with each tool chosen (keystoning, horizon,
// crop, the crop's ratio kept, its custom ratio being typed), the before/after pair, and the
// dialogs it opens (JPEG and TIFF options, preferences): every text they
// show, as "TEXT <state> <path> <text> <width> <needed> <wrap>" lines
// (tab-separated) for the test to judge; and the entries of the window's
// menus.
function logTexts(state, parent) {
    scripting.getShownTexts(parent || mainWindow).forEach(function (entry) {
        scripting.log("TEXT " + [state, entry.path, entry.text.replace(/[\t\n]/g, " "), entry.width, entry.needed,
                       entry.wrap].join("\t"));
    });
}
// Each dialog is measured once it shows and then cancelled: nothing is saved.
answerSaveOptions = false;
scripting.resendSignal.connect(function (dialog) {
    var name = dialog.getObjectName();
    if (name === "FileSaveDialog")
        logTexts(scripting.getSubObject(dialog, "stackedWidget").currentIndex === 1 ? "tiffOptions" : "jpegOptions",
                 dialog);
    else if (name === "preferencesDlg")
        logTexts("preferences", dialog);
    else
        return;
    dialog.reject();
});
function tool(name, state) {
    scripting.clickButton(mainWindow, name);
    idle();
    logTexts(state);
    scripting.clickButton(mainWindow, name);
    idle();
}
scripting.startTest.connect(function () {
    waitForPicture();
    logTexts("opened");
    // "MENU <menu> <entry>" (tab-separated): the menus' entries, whose access
    // keys the test compares.
    scripting.getMenuEntries(mainWindow).forEach(function (entry) {
        scripting.log("MENU " + [entry.menu, entry.text].join("\t"));
    });
    // A rectangle forced, one corner moved: the intensity presets show.
    mainWindow.setBeforeAfterMode(true);
    scripting.clickButton(mainWindow, "rectTool");
    check("corner moved", mainWindow.moveCorrectionHandle("BeforeKeystoningLeftTop", 0.2, 0.1), true);
    idle();
    logTexts("keystoning");
    scripting.clickButton(mainWindow, "rectTool");
    idle();
    mainWindow.setBeforeAfterMode(false);
    idle();
    tool("horizonHTool", "horizon");
    mainWindow.onCropTool();
    idle();
    logTexts("crop");
    // The longest entry chosen: the closed list shows it whole.
    var ratios = part("aspectRatioList");
    ratios.currentIndex = 1;
    ratios.activated(1);
    idle();
    logTexts("preservedRatio");
    // "Add Custom..." chosen: the field shows its hint.
    ratios.currentIndex = ARGS.addCustomRow;
    ratios.activated(ARGS.addCustomRow);
    logTexts("customRatio");
    ratios.activated(0);
    mainWindow.onCropTool();
    idle();
    mainWindow.setBeforeAfterMode(true);
    idle();
    logTexts("beforeAfter");
    idle();
    nativeDialogs.setSaveFileName(ARGS.jpeg);
    check("JPEG save cancelled", mainWindow.saveOpenedFileAs(), false);
    idle();
    nativeDialogs.setSaveFileName(ARGS.tiff);
    check("TIFF save cancelled", mainWindow.saveOpenedFileAs(), false);
    scripting.triggerAction(mainWindow, "action_Preferences");
    // The corrected picture is dropped at the end.
    messageBoxes.setSaveDiscardCancelMessage(1);
});
