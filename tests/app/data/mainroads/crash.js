// A picture opened and edited, then "Make Crash" chosen with its shortcut.
scripting.startTest.connect(function () {
    waitForPicture();
    keystone("verticalTool", [["LeftTop", 0.2, 0.1], ["RightTop", 0.8, 0.1]]);
    scripting.shortcut(mainWindow, "c", ctrl | shift);
    scripting.log("no crash");
    messageBoxes.setSaveDiscardCancelMessage(1);
});
