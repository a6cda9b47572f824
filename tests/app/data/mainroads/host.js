// A host's picture keystoned and cropped by hand, then handed back: Save
// where the window has it (Lightroom, Aperture), else closing the window and
// answering Save.
scripting.startTest.connect(function () {
    waitForPicture();
    keystone("rectTool", ARGS.handles);
    cropByHand(0.25, 0.25, 0.75, 0.75);
    logUndo();
    if (ARGS.saveCommand)
        scripting.compare(mainWindow.saveOpenedFile(), true);
    else
        messageBoxes.setSaveDiscardCancelMessage(0);
});
