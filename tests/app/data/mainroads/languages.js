// The window with a picture, then with the keystoning and the crop tools
// chosen: every text it shows, as "TEXT <state> <path> <text> <width>
// <needed> <wrap>" lines (tab-separated) for the test to judge.
function logTexts(state) {
    idle();
    scripting.getShownTexts(mainWindow).forEach(function (entry) {
        scripting.log("TEXT " + [state, entry.path, entry.text.replace(/[\t\n]/g, " "), entry.width, entry.needed,
                       entry.wrap].join("\t"));
    });
}
scripting.startTest.connect(function () {
    waitForPicture();
    logTexts("opened");
    scripting.clickButton(mainWindow, "rectTool");
    logTexts("keystoning");
    scripting.clickButton(mainWindow, "rectTool");
    idle();
    mainWindow.onCropTool();
    logTexts("crop");
    mainWindow.onCropTool();
    idle();
    mainWindow.setBeforeAfterMode(true);
    logTexts("beforeAfter");
});
