// The helpers of the screenshot scripts, put before each of them by
// screenshots.sh: at each step a script calls shot(name), which waits for the
// renders to settle, prints "SHOT <name>" and waits until the shell has
// photographed the screen and created "<name>.done" in SHOT_DIR.
function waitFor(condition, what) {
    for (var i = 0; i < 1200 && !condition(); ++i)
        scripting.wait(50);
    if (!condition())
        scripting.fail("no " + what);
}

// Renders run while the engine is busy, and the views' "Processing" badge
// stays a moment after the last one: a few idle polls in a row (no render
// waiting or running, no badge shown) mean done.
function settle() {
    scripting.wait(400);
    var quiet = 0;
    waitFor(function () {
        quiet = mainWindow.isIdle() ? quiet + 1 : 0;
        return quiet >= 6;
    }, "idle window");
    scripting.wait(300);
}

function shot(name) {
    settle();
    print("SHOT " + name);
    waitFor(function () { return scripting.isFileExist(SHOT_DIR + "/" + name + ".done"); }, "screenshot " + name);
}
