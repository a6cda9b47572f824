// The user's way through the image views of the running program: a picture
// opened shows in the single view at fit zoom; 100 %, the before/after pair
// and fit again, as a test script drives the window.

#include "ProgramSandbox.h"

#include <QTest>

class TestViews : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void singleAndBeforeAfterAtFitAnd100();
};

void TestViews::singleAndBeforeAfterAtFitAnd100()
{
    Sandbox sandbox;
    const QString photo = sandbox.path(QStringLiteral("large.jpg"));
    QImage picture(3000, 2000, QImage::Format_RGB888);
    picture.fill(QColor(90, 140, 60));
    QVERIFY(picture.save(photo));

    const QByteArray script = R"(
function waitFor(condition, what) {
    for (var i = 0; i < 1200 && !condition(); ++i)
        scripting.wait(50);
    if (!condition())
        scripting.fail("no " + what);
}
scripting.startTest.connect(function () {
    waitFor(function () { return mainWindow.hasViewImage(); }, "picture in the views");
    scripting.compare(mainWindow.viewMode(), "single");
    var fit = mainWindow.viewZoom();
    scripting.compare(fit >= 1 && fit < 100, true);
    scripting.triggerAction(mainWindow, "actionZoom_Default");
    scripting.compare(mainWindow.viewZoom(), 100);
    mainWindow.setBeforeAfterMode(true);
    scripting.compare(mainWindow.viewMode(), "beforeAfter");
    scripting.compare(mainWindow.viewZoom(), 100);
    scripting.triggerAction(mainWindow, "actionFit");
    waitFor(function () { return mainWindow.viewZoom() < fit; }, "smaller fit for the pair");
    mainWindow.setBeforeAfterMode(false);
    scripting.compare(mainWindow.viewMode(), "single");
    waitFor(function () { return mainWindow.viewZoom() == fit; }, "fit of the single view");
});
)";
    const QStringList arguments{photo, sandbox.script(QStringLiteral("views"), script)};
    sandbox.runProgram(arguments);
    QVERIFY2(sandbox.reportOf(QStringLiteral("views")).endsWith(QLatin1String("PASS\n")),
             qPrintable(sandbox.reportOf(QStringLiteral("views")) + sandbox.output()));
}

QTEST_MAIN(TestViews)
#include "tst_views.moc"
