// A host's picture keystoned and cropped by hand, then handed back: Save
// where the window has it (Aperture), else closing the window and answering
// Save. Without a host, saved as ARGS.reference.
scripting.startTest.connect(function () {
    waitForPicture();
    keystone("rectTool", ARGS.handles);
    cropByHand(0.25, 0.25, 0.75, 0.75);
    logUndo();
    if (ARGS.reference)
        saveAs(ARGS.reference);
    else if (ARGS.saveCommand)
        check("Save", mainWindow.saveOpenedFile(), true);
    else
        messageBoxes.setSaveDiscardCancelMessage(0);
});
