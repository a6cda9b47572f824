// A 24 MP photograph compared before and after a correction: the pair at fit
// and at 100 %, zoomed in with the hand tool chosen, the loupe beside it.
scripting.startTest.connect(function () {
    waitForPicture();
    check("labelSingleSize.text", part("labelSingleSize").text, ARGS.size);
    keystone("rectTool", [["LeftTop", 0.1, 0.05], ["RightTop", 0.9, 0.05]]);
    check("viewMode()", mainWindow.viewMode(), "beforeAfter");
    mainWindow.fitViews();
    var fit = mainWindow.viewZoom();
    check("fit > 0 && fit < 100", fit > 0 && fit < 100, true);
    check("labelDBeforeSize.text", part("labelDBeforeSize").text, ARGS.size);
    check("labelDAfterSize.text != ARGS.size", part("labelDAfterSize").text != ARGS.size, true);
    scripting.triggerAction(mainWindow, "actionZoom_Default");
    check("viewZoom()", mainWindow.viewZoom(), 100);
    idle();
    scripting.triggerAction(mainWindow, "actionHandTool");
    check("actionHandTool checked", scripting.isItemChecked(mainWindow, "actionHandTool"), true);
    mainWindow.setViewZoom(200);
    check("viewZoom()", mainWindow.viewZoom(), 200);
    idle();
    check("dockWidgetLoupe.visible", part("dockWidgetLoupe").visible, true);
    check("loupeWidget.visible", part("loupeWidget").visible, true);
    mainWindow.setBeforeAfterMode(false);
    check("viewMode()", mainWindow.viewMode(), "single");
    check("labelSingleSize.text", part("labelSingleSize").text, part("labelDAfterSize").text);
    messageBoxes.setSaveDiscardCancelMessage(1);
});
