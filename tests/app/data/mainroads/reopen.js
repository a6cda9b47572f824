// The saved pictures opened again: what the window shows of each.
scripting.startTest.connect(function () {
    ARGS.files.forEach(function (path) {
        open(path);
        scripting.log("OPENED " + part("labelSingleSize").text + " save " + enabled("action_Save") + " undo "
                      + enabled("actionUndo"));
    });
});
