// The correction palette of the running program, as a test script drives it:
// the horizon panel's rotation row moved on an opened picture and reset
// through its panel's reset button, the panel collapsed and the palette
// unpinned; the next start finds both again.

#include "ProgramSandbox.h"

#include <QImage>
#include <QTest>

namespace {

const QByteArray kScript = R"(
scripting.startTest.connect(function () {
    // The palette takes input once the first render is on screen, which
    // is also where undo starts.
    function ready() {
        return mainWindow.hasViewImage() && mainWindow.isUndoBaselineSet() && mainWindow.isIdle();
    }
    for (var i = 0; i < 1200 && !ready(); ++i)
        scripting.wait(50);
    scripting.compare(ready(), true);
    scripting.compare(scripting.isItemEnabled(mainWindow, "HorizonPane"), true);
    // The palette holds a panel per module: the horizon's.
    var horizon = scripting.getSubObject(mainWindow, "HorizonPane");
    scripting.setSlider(horizon, "angleSlider_Slider", 125);
    scripting.compare(scripting.getSliderValue(horizon, "angleSlider_Slider"), 125);
    scripting.clickButton(horizon, "pushButtonReset");
    scripting.compare(scripting.getSliderValue(horizon, "angleSlider_Slider"), 0);
    // Collapse it.
    scripting.setItemChecked(horizon, "checkBoxExpanded", false);
    scripting.compare(scripting.isItemChecked(horizon, "checkBoxExpanded"), false);
    scripting.clickButton(mainWindow, "float_button");
});
)";

const QByteArray kSecondRun = R"(
scripting.startTest.connect(function () {
    var horizon = scripting.getSubObject(mainWindow, "HorizonPane");
    scripting.compare(scripting.isItemChecked(horizon, "checkBoxExpanded"), false);
});
)";

} // namespace

class TestCorrectionPalette : public QObject
{
    Q_OBJECT
private slots:
    void rowResetCollapseAndUnpin()
    {
        Sandbox sandbox;
        QImage picture(96, 64, QImage::Format_RGB888);
        picture.fill(QColor(40, 120, 200));
        QVERIFY(picture.save(sandbox.path(QStringLiteral("photo.jpg"))));
        sandbox.runProgram(
            {sandbox.path(QStringLiteral("photo.jpg")), sandbox.script(QStringLiteral("palette"), kScript)});
        QVERIFY2(sandbox.reportOf(QStringLiteral("palette")).endsWith(QLatin1String("PASS\n")),
                 qPrintable(sandbox.reportOf(QStringLiteral("palette")) + sandbox.output()));
        QCOMPARE(sandbox.setting(QStringLiteral("app_correctionExpandedHorizon")).toBool(), false);
        QCOMPARE(sandbox.setting(QStringLiteral("app_floatingdockWidgetSettings")).toBool(), true);
        QVERIFY(sandbox.setting(QStringLiteral("app_posdockWidgetSettings")).isValid());

        sandbox.runProgram({sandbox.script(QStringLiteral("again"), kSecondRun)});
        QVERIFY2(sandbox.reportOf(QStringLiteral("again")).endsWith(QLatin1String("PASS\n")),
                 qPrintable(sandbox.reportOf(QStringLiteral("again")) + sandbox.output()));
    }
};

QTEST_GUILESS_MAIN(TestCorrectionPalette)
#include "tst_correctionpalette.moc"
