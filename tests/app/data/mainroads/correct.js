// A photograph keystoned (the result cut automatically to the corrected
// picture), levelled, cropped by hand, then saved as JPEG and as TIFF.
scripting.startTest.connect(function () {
    waitForPicture();
    keystone(ARGS.tool, ARGS.handles);
    level(30);
    saveAs(ARGS.keystoned);
    cropByHand(0.25, 0.25, 0.75, 0.75);
    saveAs(ARGS.jpeg);
    saveAs(ARGS.tiff);
    logUndo();
});
