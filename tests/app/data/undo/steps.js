// Steps of every kind the window makes, taken in the order ARGS.steps names
// them, then undone one by one to the opened picture and redone to the end.
// After each step the state the user sees is recorded; each undo and redo
// must come back to exactly the state recorded at its place. Logs
// "STEP <name> <steps added> <texts>", "PAUSE <name> <renders>" for a drag
// that held still until its render arrived, and "STATE <undo|redo> <name>
// same" or "... <name> <what differs>". (common.js comes before this file.)
var renders = 0;
processEngine.trasformOutParamsSignalWasSent.connect(function () { ++renders; });

// ---- the state the user sees

function afterSize() {
    return part(mainWindow.viewMode() === "single" ? "labelSingleSize" : "labelDAfterSize").text;
}
// A handle's place where it shows; hidden handles keep none the user sees.
function place(name) {
    if (mainWindow.itemInView(name) === undefined)
        return "hidden";
    var point = mainWindow.getPointPosition(name);
    return point.x.toFixed(2) + " " + point.y.toFixed(2);
}
function state() {
    var s = {
        engine: processEngine.getAfterDictionary(),
        tool: mainWindow.shownToolPane(),
        view: mainWindow.viewMode(),
        size: afterSize(),
        presets: part("keystoningShortcuts").visible,
        ratio: part("aspectRatioList").currentIndex,
        cropType: part("comboBoxCorrectionType").currentIndex
    };
    ["verticalTool", "horizontalTool", "rectTool", "pointTool", "toolButtonFull", "toolButtonNatural",
     "horizonHTool", "horizonVTool", "cbConstrainToImage", "actionCrop"].forEach(function (name) {
        s[name] = scripting.isItemChecked(mainWindow, name);
    });
    ["keystoningSliderIntensity_Slider", "sliderUpDown_Slider", "sliderHorizontalVerticalRatio_Slider",
     "angleSlider_Slider"].forEach(function (name) { s[name] = scripting.getSliderValue(mainWindow, name); });
    ["CropLeftTop", "CropRightBottom", "AfterKeystoningLeftTop", "AfterKeystoningRightBottom",
     "AfterHorizonLeftTop"].forEach(function (name) { s[name] = place(name); });
    return s;
}
function differences(expected, actual) {
    var found = [];
    for (var key in expected)
        if (JSON.stringify(expected[key]) !== JSON.stringify(actual[key]))
            found.push(key + " " + JSON.stringify(actual[key]) + " instead of " + JSON.stringify(expected[key]));
    return found;
}

// ---- what the user does

// A drag through the view that shows the item; with `pause`, the button
// stays down until the render of the first half has arrived (logged).
function dragItem(step, name, dx, dy, pause) {
    var at = mainWindow.itemInView(name);
    check(name + " shown", at !== undefined, true);
    viewTakesInput(at.view);
    scripting.pressMouse(mainWindow, at.view, at.x, at.y);
    scripting.moveMouse(mainWindow, at.view, at.x + dx / 2, at.y + dy / 2);
    if (pause)
        pauseForRender(step, at.view);
    scripting.moveMouse(mainWindow, at.view, at.x + dx, at.y + dy);
    scripting.releaseMouse(mainWindow, at.view, at.x + dx, at.y + dy);
}
function pauseForRender(step, view) {
    var before = renders;
    idle();
    scripting.log("PAUSE " + step + " " + (renders - before));
    viewTakesInput(view);
}
// The intensity slider's handle taken with the mouse (its centre, where the
// style sheet draws it: 13 pixels wide, 3 beyond each end of the groove),
// moved by dx in two halves with a pause between them, let go.
function dragSlider(step, name, dx) {
    var slider = part(name);
    var x = Math.round(-3 + 6.5 + (slider.width + 6 - 13) * (slider.value - slider.minimum)
                       / (slider.maximum - slider.minimum));
    var y = Math.round(slider.height / 2);
    scripting.pressMouse(mainWindow, name, x, y);
    check(name + " held", slider.sliderDown, true);
    scripting.moveMouse(mainWindow, name, x + dx / 2, y);
    pauseForRender(step, name);
    scripting.moveMouse(mainWindow, name, x + dx, y);
    scripting.releaseMouse(mainWindow, name, x + dx, y);
}
// A value typed into a slider's field and given with Return.
function typeInto(slider, text) {
    var field = scripting.getSubObject(part(slider), "sliderLineEdit");
    field.text = text;
    scripting.shortcut(field, "\r", 0);
}
function chooseRow(name, row) {
    var list = part(name);
    list.currentIndex = row;
    list.activated(row);
}
function clickIn(parent, name) { scripting.clickButton(part(parent), name); }
// A step that would merge with the one before it if it came sooner.
function apart(step) {
    step.apart = true;
    return step;
}

var steps = {
    "rectangle tool": function () { scripting.clickButton(mainWindow, "rectTool"); },
    "keystoning handle": function (step) { dragItem(step, "AfterKeystoningLeftTop", 40, 30, false); },
    "keystoning applied": function () { clickIn("CKeystoningToolPane", "applyButton"); },
    // Sets 75 and opens the crop tool.
    "Natural": function () { scripting.clickButton(mainWindow, "toolButtonNatural"); },
    "crop applied": function () { clickIn("CCropToolPane", "applyButton"); },
    "intensity typed": function () { typeInto("keystoningSliderIntensity", "50"); },
    // The typed value's step and the preset's share their key: half a second
    // apart, they stay two steps.
    "Full": apart(function () { scripting.clickButton(mainWindow, "toolButtonFull"); }),
    "intensity slider": function () { scripting.setSlider(mainWindow, "keystoningSliderIntensity_Slider", 60); },
    "intensity held by the mouse": function (step) { dragSlider(step, "keystoningSliderIntensity_Slider", 30); },
    "up/down slider": function () { scripting.setSlider(mainWindow, "sliderUpDown_Slider", 20); },
    "ratio slider": function () { scripting.setSlider(mainWindow, "sliderHorizontalVerticalRatio_Slider", 30); },
    "horizon tool": function () { scripting.clickButton(mainWindow, "horizonHTool"); },
    "horizon handle": function (step) { dragItem(step, "AfterHorizonLeftTop", 0, 25, false); },
    "horizon angle": function () { scripting.setSlider(mainWindow, "angleSlider_Slider", -25); },
    "horizon applied": function () { clickIn("CHorizonToolPane", "applyButton"); },
    "crop tool": function () { scripting.triggerAction(mainWindow, "actionCrop"); },
    "crop ratio 3/2": function () { chooseRow("aspectRatioList", 6); },
    "constrain to image": function () { scripting.clickButton(mainWindow, "cbConstrainToImage"); },
    // In the automatic crop: it turns manual at the first move, and the
    // engine renders while the button is still down.
    "paused corner drag": function (step) { dragItem(step, "CropRightBottom", -60, -40, true); },
    "paused frame drag": function (step) { dragItem(step, "CropMainRect", -40, 0, true); },
    "crop type automatic": function () { chooseRow("comboBoxCorrectionType", 0); },
    "crop tool applied": function () { scripting.triggerAction(mainWindow, "actionCrop"); },
    "rotation": function () {
        messageBoxes.setRotateQuestion(true);
        mainWindow.onRotateRight();
    },
    "keystoning reset": function () { clickIn("KeystoningPane", "pushButtonReset"); },
    "crop off": function () { clickIn("CropPane", "checkBoxEnabled"); },
    "crop on": function () { clickIn("CropPane", "checkBoxEnabled"); },
    // The snapshot kept first (no step of its own), then everything reset.
    "Reset All": function () {
        mainWindow.onTakeSnapshot();
        mainWindow.onResetAll();
    },
    "snapshot recalled": function () { mainWindow.onRestoreSnapshot(); }
};

function compareWith(direction, name, expected) {
    var found = differences(expected, state());
    scripting.log("STATE " + direction + " " + name + " " + (found.length ? found.join("; ") : "same"));
}
scripting.startTest.connect(function () {
    waitForPicture();
    var states = [state()];
    var names = ["opened"];
    ARGS.steps.forEach(function (name) {
        var before = undoController.doneSteps();
        if (steps[name].apart)
            scripting.wait(600);
        steps[name](name);
        idle();
        scripting.log("STEP " + name + " " + (undoController.doneSteps() - before) + " "
                      + JSON.stringify(undoController.stepTexts().slice(before)));
        states[undoController.doneSteps()] = state();
        names[undoController.doneSteps()] = name;
    });
    var done = undoController.doneSteps();
    for (var i = done; i > 0; --i) {
        scripting.shortcut(mainWindow, "z", ctrl);
        idle();
        compareWith("undo", names[i - 1], states[i - 1]);
    }
    for (var j = 1; j <= done; ++j) {
        scripting.shortcut(mainWindow, "y", ctrl | shift);
        idle();
        compareWith("redo", names[j], states[j]);
    }
    messageBoxes.setSaveDiscardCancelMessage(1);
});
