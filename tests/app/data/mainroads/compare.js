// A 24 MP photograph compared before and after a correction: the pair at fit
// and at 100 %, zoomed in with the hand tool chosen, the loupe beside it.
scripting.startTest.connect(function () {
    waitForPicture();
    scripting.compare(part("labelSingleSize").text, ARGS.size);
    keystone("rectTool", [["LeftTop", 0.1, 0.05], ["RightTop", 0.9, 0.05]]);
    scripting.compare(mainWindow.viewMode(), "beforeAfter");
    mainWindow.fitViews();
    var fit = mainWindow.viewZoom();
    scripting.compare(fit > 0 && fit < 100, true);
    scripting.compare(part("labelDBeforeSize").text, ARGS.size);
    scripting.compare(part("labelDAfterSize").text != ARGS.size, true);
    scripting.triggerAction(mainWindow, "actionZoom_Default");
    scripting.compare(mainWindow.viewZoom(), 100);
    idle();
    scripting.triggerAction(mainWindow, "actionHandTool");
    scripting.compare(scripting.isItemChecked(mainWindow, "actionHandTool"), true);
    mainWindow.setViewZoom(200);
    scripting.compare(mainWindow.viewZoom(), 200);
    idle();
    scripting.compare(part("dockWidgetLoupe").visible, true);
    scripting.compare(part("loupeWidget").visible, true);
    scripting.triggerAction(mainWindow, "actionHandTool");
    scripting.compare(scripting.isItemChecked(mainWindow, "actionHandTool"), false);
    mainWindow.setBeforeAfterMode(false);
    scripting.compare(mainWindow.viewMode(), "single");
    scripting.compare(part("labelSingleSize").text, part("labelDAfterSize").text);
    messageBoxes.setSaveDiscardCancelMessage(1);
});
