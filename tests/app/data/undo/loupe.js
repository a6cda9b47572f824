// The loupe where the pointer rests after a crop drag, through undo and
// redo. The crop tool's bottom-right handle is dragged inward and let go
// over the picture, where the pointer then rests; the loupe is saved in
// ARGS.folder as drawn after the release ("released"), after Ctrl+Z
// ("undone"), after the pointer went away and came back to the same place
// ("moved") and after Ctrl+Shift+Y ("redone"). (common.js comes before this
// file.)
function keep(name) {
    check("loupe saved as " + name,
          scripting.grabWidget(mainWindow, "graphicsViewLoupe", ARGS.folder + "/" + name + ".png"), true);
}
scripting.startTest.connect(function () {
    waitForPicture();
    mainWindow.onCropTool();
    idle();
    var at = mainWindow.itemInView("CropRightBottom");
    check("CropRightBottom shown", at !== undefined, true);
    var x = at.x - 120, y = at.y - 80;
    viewTakesInput(at.view);
    scripting.pressMouse(mainWindow, at.view, at.x, at.y);
    scripting.moveMouse(mainWindow, at.view, x, y);
    scripting.releaseMouse(mainWindow, at.view, x, y);
    idle();
    keep("released");

    scripting.shortcut(mainWindow, "z", ctrl);
    idle();
    keep("undone");

    // The loupe follows a pointer moved with the button down (the crop tool
    // is open), and renders again where it is let go.
    viewTakesInput(at.view);
    scripting.moveMouse(mainWindow, at.view, x + 30, y);
    scripting.moveMouse(mainWindow, at.view, x, y);
    scripting.releaseMouse(mainWindow, at.view, x, y);
    idle();
    keep("moved");

    scripting.shortcut(mainWindow, "y", ctrl | shift);
    idle();
    keep("redone");
    messageBoxes.setSaveDiscardCancelMessage(1);
});
