// The main window as each run of the program meets it: the page, menu bar and
// bottom bar of each run mode, and the palettes' layout kept from one run to
// the next (visibility, floating, a collapsed panel), as test scripts see the
// running window.

#include "ProgramSandbox.h"

#include <QTest>

namespace {

// `observe()` gives what a run sees of the window as one line of words.
const QByteArray kScriptHelpers = R"(
function waitFor(condition, what) {
    for (var i = 0; i < 1200 && !condition(); ++i)
        scripting.wait(50);
    if (!condition())
        scripting.fail("no " + what);
}
function part(name) { return scripting.getSubObject(mainWindow, name); }
)";

QByteArray startTest(const QByteArray& body)
{
    return kScriptHelpers + "scripting.startTest.connect(function () {\n" + body + "});\n";
}

} // namespace

class TestWindowRuns : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pagePerRunMode_data();
    void pagePerRunMode();
    void layoutAcrossTwoRuns_data();
    void layoutAcrossTwoRuns();
};

void TestWindowRuns::pagePerRunMode_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("picture");
    QTest::addColumn<QString>("expected");

    // The page (0 single view, 2 start page), then whether the menu bar,
    // the bottom bar and the Open command are visible.
    QTest::newRow("standalone, nothing opened") << QStringList() << false << "2 true false true";
    QTest::newRow("standalone, a photo") << QStringList{"{photo}"} << true << "0 true false true";
    QTest::newRow("Lightroom") << QStringList{"--plugin-name=lightroom", "{photo}",
                                              "--app-result-xml-file-path={result}"}
                               << true << "0 false true false";
    QTest::newRow("Aperture") << QStringList{"--plugin-name=aperture", "{photo}", "--app-result-xml-file-path={result}"}
                              << true << "0 false true false";
    // Photoshop starts the program through the host.
    QTest::newRow("Photoshop") << QStringList{"{host}"} << true << "0 false true false";
}

void TestWindowRuns::pagePerRunMode()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, picture);
    QFETCH(QString, expected);

    Sandbox sandbox;
    const QString photo = sandbox.path(QStringLiteral("photo.jpg"));
    QImage image(96, 64, QImage::Format_RGB888);
    image.fill(QColor(90, 140, 60));
    QVERIFY(image.save(photo));
    QByteArray body;
    if (picture)
        body += "waitFor(function () { return mainWindow.hasViewImage(); }, 'picture in the views');\n";
    body += "scripting.compare([part('stackedWidget').currentIndex, part('menuBar').visible,\n"
            "                   part('bottomToolBar').visible, part('action_Open').visible].join(' '), '"
        + expected.toUtf8() + "');\n";
    const QString script = sandbox.script(QStringLiteral("page"), startTest(body));

    if (arguments == QStringList{"{host}"}) {
        sandbox.run(kHostSimulator,
                    {"--image", photo, "--depth", "8", "--plugin-data", sandbox.path(QStringLiteral("plugin-data")),
                     "--result", sandbox.path(QStringLiteral("back.png")), "--program", kProgram, "--timeout", "100",
                     "--", script});
    } else {
        QStringList commandLine;
        for (QString argument : arguments)
            commandLine.append(argument.replace(QLatin1String("{photo}"), photo)
                                   .replace(QLatin1String("{result}"), sandbox.path(QStringLiteral("result.xml"))));
        sandbox.runProgram(commandLine << script);
    }
    QVERIFY2(sandbox.reportOf(QStringLiteral("page")).endsWith(QLatin1String("PASS\n")),
             qPrintable(sandbox.reportOf(QStringLiteral("page")) + sandbox.output()));
}

void TestWindowRuns::layoutAcrossTwoRuns_data()
{
    QTest::addColumn<QByteArray>("firstRun");
    QTest::addColumn<QString>("secondRun");

    // What the second run sees: the Correction palette's visibility, the
    // Visualization palette's visibility and floating, the horizon panel
    // expanded, the Show/Hide Controls text.
    QTest::newRow("controls hidden, horizon panel collapsed")
        << QByteArray("scripting.setItemChecked(part('HorizonPane'), 'checkBoxExpanded', false);\n"
                      "scripting.triggerAction(mainWindow, 'actionHide_Controls');\n")
        << "false false false false &Show Controls";
    QTest::newRow("Visualization floating")
        << QByteArray("part('dockWidgetLoupe').floating = true;\n") << "true true true true &Hide Controls";
    QTest::newRow("Correction hidden, Visualization floating")
        << QByteArray("part('dockWidgetLoupe').floating = true;\n"
                      "part('dockWidgetSettings').visible = false;\n")
        << "false true true true &Show Controls";
    // One docked palette still shown: both come back.
    QTest::newRow("Correction hidden, Visualization docked")
        << QByteArray("part('dockWidgetSettings').visible = false;\n") << "true true false true &Hide Controls";
}

void TestWindowRuns::layoutAcrossTwoRuns()
{
    QFETCH(QByteArray, firstRun);
    QFETCH(QString, secondRun);

    Sandbox sandbox;
    sandbox.runProgram({sandbox.script(QStringLiteral("first"), startTest(firstRun))});
    QVERIFY2(sandbox.reportOf(QStringLiteral("first")).endsWith(QLatin1String("PASS\n")),
             qPrintable(sandbox.reportOf(QStringLiteral("first")) + sandbox.output()));

    const QByteArray observe = "var loupe = part('dockWidgetLoupe');\n"
                               "scripting.compare([part('dockWidgetSettings').visible, loupe.visible, loupe.floating,\n"
                               "                   scripting.isItemChecked(part('HorizonPane'), 'checkBoxExpanded'),\n"
                               "                   part('actionHide_Controls').text].join(' '), '"
        + secondRun.toUtf8() + "');\n";
    sandbox.runProgram({sandbox.script(QStringLiteral("second"), startTest(observe))});
    QVERIFY2(sandbox.reportOf(QStringLiteral("second")).endsWith(QLatin1String("PASS\n")),
             qPrintable(sandbox.reportOf(QStringLiteral("second")) + sandbox.output()));
}

QTEST_MAIN(TestWindowRuns)
#include "tst_windowruns.moc"
