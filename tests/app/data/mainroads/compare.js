// A 24 MP photograph compared before and after a correction: the pair at fit
// and at 100 %, zoomed in with the hand tool chosen, the loupe beside it. At
// 200 % the original is dragged up and to the left with the hand tool, and
// the mouse is then held still on a spot for the loupe at 200 %.
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
    check("actionHandTool still checked", scripting.isItemChecked(mainWindow, "actionHandTool"), true);
    // "DRAG <scroll values of the original and the corrected view, before
    // and after the drag, as JSON> <the drag's points as JSON>".
    var view = part("graphicsViewDBefore");
    // The window takes input again half a second after a render: a drag sent
    // before that goes to a disabled view.
    var takesInput = function () { return view.enabled; };
    waitFor(takesInput, "views taking input");
    var x = Math.floor(view.width / 2), y = Math.floor(view.height / 2);
    var dx = Math.min(60, Math.floor(view.width / 4)), dy = Math.min(40, Math.floor(view.height / 4));
    var scrolled = [scripting.getScrollValues(mainWindow, "graphicsViewDBefore"),
                    scripting.getScrollValues(mainWindow, "graphicsViewDAfter")];
    check("drag", scripting.drag(mainWindow, "graphicsViewDBefore", x + dx, y + dy, x - dx, y - dy), true);
    scrolled.push(scripting.getScrollValues(mainWindow, "graphicsViewDBefore"),
                  scripting.getScrollValues(mainWindow, "graphicsViewDAfter"));
    scripting.log("DRAG " + JSON.stringify(scrolled) + " " + JSON.stringify([x + dx, y + dy, x - dx, y - dy]));
    idle();
    // "LOUPE <the spot in the original's view> <its scroll values>": the
    // loupe's picture is saved as ARGS.loupe once its render is in.
    scripting.getSubObject(part("loupeWidget"), "comboBox").currentIndex = 1;
    waitFor(takesInput, "views taking input");
    check("hold", scripting.drag(mainWindow, "graphicsViewDBefore", x, y, x, y), true);
    scripting.log("LOUPE " + JSON.stringify([x, y]) + " "
                  + JSON.stringify(scripting.getScrollValues(mainWindow, "graphicsViewDBefore")));
    idle();
    check("loupe saved", scripting.grabWidget(part("loupeWidget"), "graphicsViewLoupe", ARGS.loupe), true);
    mainWindow.setBeforeAfterMode(false);
    check("viewMode()", mainWindow.viewMode(), "single");
    check("labelSingleSize.text", part("labelSingleSize").text, part("labelDAfterSize").text);
    messageBoxes.setSaveDiscardCancelMessage(1);
});
