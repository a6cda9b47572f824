// The correction state machine: the table built into the program, row by
// row, and the loader's rules on small tables of its own.

#include "correction/CCorrectionStateMachine.h"

#include "RecordingLogger.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString None = QStringLiteral("Empty_Correction_ID");

// "C1H0K1" -> Crop on, Horizon off, Keystoning on; "-" -> no entries.
QMap<QString, bool> flags(const QString& text)
{
    static const QMap<QChar, QString> names{{QLatin1Char('C'), QStringLiteral("Crop")},
                                            {QLatin1Char('H'), QStringLiteral("Horizon")},
                                            {QLatin1Char('K'), QStringLiteral("Keystoning")},
                                            {QLatin1Char('A'), QStringLiteral("Anamorphosis")},
                                            {QLatin1Char('D'), QStringLiteral("Distortion")}};
    QMap<QString, bool> result;
    for (int i = 0; i + 1 < text.size(); i += 2)
        result.insert(names.value(text.at(i)), text.at(i + 1) == QLatin1Char('1'));
    return result;
}

CCorrectionsState state(const QString& flagText, const QString& current)
{
    CCorrectionsState result;
    const QMap<QString, bool> map = flags(flagText);
    for (auto entry = map.constBegin(); entry != map.constEnd(); ++entry)
        result.setModuleActivity(entry.key(), entry.value());
    result.setCurrentCorrection(current);
    return result;
}

int assertionCount(const RecordingLogger& logger)
{
    return logger.linesAt('E').filter(QStringLiteral("ASSERT in ")).size();
}

} // namespace

class TestCorrectionStateMachine : public QObject
{
    Q_OBJECT
private:
    RecordingLogger& m_logger = RecordingLogger::install();
    QTemporaryDir m_folder;

    QString writeTable(const QByteArray& xml)
    {
        static int count = 0;
        const QString path = m_folder.filePath(QStringLiteral("table%1.xml").arg(++count));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private Q_SLOTS:
    void table_data();
    void table();
    void tableLoadsWithoutAssertions();
    void loaderRules_data();
    void loaderRules();
    void brokenTables_data();
    void brokenTables();
};

void TestCorrectionStateMachine::table_data()
{
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("activity");
    QTest::addColumn<QString>("inFlags");
    QTest::addColumn<QString>("inCurrent");
    // "-" and None everywhere with `fails` set: the default state.
    QTest::addColumn<QString>("outFlags");
    QTest::addColumn<QString>("outCurrent");
    QTest::addColumn<QString>("outApply");
    QTest::addColumn<bool>("fails");

    const QString K = QStringLiteral("Keystoning"), H = QStringLiteral("Horizon"), C = QStringLiteral("Crop");
    auto row = [](const char* name) -> QTestData& { return QTest::newRow(name); };
    auto dflt = [&](const char* name, const QString& module, const QString& activity, const QString& in,
                    const QString& current) {
        row(name) << module << activity << in << current << QStringLiteral("-") << None << None << true;
    };

    // Empty_Correction_ID
    row("none resetAndCloseAllTools") << None << "resetAndCloseAllTools" << "C1H0K1" << K << "C1H0K1" << None << None << false;
    row("none resetAll") << None << "resetAll" << "C0H1K1" << H << "C0H1K1" << H << None << false;
    dflt("none ModuleActivate", None, "ModuleActivate", "C0H0K0", None);

    // Anamorphosis and Distortion
    for (const char* id : {"Anamorphosis", "Distortion"}) {
        const QString m = QLatin1String(id);
        const QString own = m.left(1);
        QTest::addRow("%s ModuleActivate", id) << m << "ModuleActivate" << "C0H0K0" << None << ("C0H0K0" + own + "1") << None << None << false;
        QTest::addRow("%s SpecificCorrectionActivated", id) << m << "SpecificCorrectionActivated" << "C0H0K0" << K << ("C0H0K0" + own + "1") << K << None << false;
        QTest::addRow("%s ModuleDeactivate", id) << m << "ModuleDeactivate" << "C0H0K0" << None << ("C0H0K0" + own + "0") << None << None << false;
        QTest::addRow("%s CorrectionApplyed", id) << m << "CorrectionApplyed" << "C0H0K1" << K << "C0H0K1" << K << None << false;
        QTest::addRow("%s ModuleReset", id) << m << "ModuleReset" << "C0H0K1" << K << "C0H0K1" << K << None << false;
        QTest::addRow("%s touched, crop on, none current", id) << m << "AdditionalControlTouched" << "C1H0K0" << None << "C1H0K0" << C << None << false;
        QTest::addRow("%s touched, crop off", id) << m << "AdditionalControlTouched" << "C0H0K0" << None << "C0H0K0" << None << None << false;
        QTest::addRow("%s touched, tool current", id) << m << "AdditionalControlTouched" << "C1H1K0" << H << "C1H1K0" << H << None << false;
        QTest::addRow("%s CorrectionReset", id) << m << "CorrectionReset" << "C0H0K0" << None << "-" << None << None << true;
        QTest::addRow("%s resetAll", id) << m << "resetAll" << "C0H0K0" << None << "-" << None << None << true;
    }

    // Crop
    row("crop ModuleActivate") << C << "ModuleActivate" << "C0H1K0" << H << "C1H1K0" << H << None << false;
    row("crop tool while horizon current") << C << "SpecificCorrectionActivated" << "C0H1K0" << H << "C1H1K0" << C << H << false;
    row("crop tool while crop current") << C << "SpecificCorrectionActivated" << "C1H0K0" << C << "C1H0K0" << C << C << false;
    row("crop tool, none current") << C << "SpecificCorrectionActivated" << "C0H0K0" << None << "C1H0K0" << C << None << false;
    row("crop off while current") << C << "ModuleDeactivate" << "C1H0K0" << C << "C0H0K0" << None << C << false;
    row("crop off otherwise") << C << "ModuleDeactivate" << "C1H1K0" << H << "C0H1K0" << H << None << false;
    row("crop ModuleReset") << C << "ModuleReset" << "C1H0K0" << C << "C1H0K0" << C << None << false;
    row("crop CorrectionReset") << C << "CorrectionReset" << "C1H0K0" << C << "C1H0K0" << C << None << false;
    row("crop released while current") << C << "CorrectionApplyed" << "C1H0K0" << C << "C1H0K0" << None << None << false;
    dflt("crop released otherwise", C, "CorrectionApplyed", "C1H1K0", H);
    row("crop touched, none current") << C << "AdditionalControlTouched" << "C0H0K0" << None << "C1H0K0" << C << None << false;
    row("crop touched while horizon current") << C << "AdditionalControlTouched" << "C0H1K0" << H << "C1H1K0" << H << None << false;
    dflt("crop resetAll", C, "resetAll", "C1H0K0", None);
    dflt("crop resetAndCloseAllTools", C, "resetAndCloseAllTools", "C1H0K0", None);

    // Horizon and Keystoning mirror each other.
    for (const auto& [self, other] : {std::pair{H, K}, std::pair{K, H}}) {
        const QByteArray n = self.toLatin1();
        const QString s = self.left(1);
        // Flags as crop, this module, the other module.
        auto f = [&](const char* crop, bool selfOn, bool otherOn) {
            const int h = s == QLatin1String("H") ? selfOn : otherOn;
            const int k = s == QLatin1String("H") ? otherOn : selfOn;
            return QStringLiteral("C%1H%2K%3").arg(QLatin1String(crop)).arg(h).arg(k);
        };
        QTest::addRow("%s ModuleActivate", n.data()) << self << "ModuleActivate" << f("0", false, false) << None << f("0", true, false) << None << None << false;
        QTest::addRow("%s off while current", n.data()) << self << "ModuleDeactivate" << f("0", true, false) << self << f("0", false, false) << None << self << false;
        QTest::addRow("%s off otherwise", n.data()) << self << "ModuleDeactivate" << f("1", true, false) << C << f("1", false, false) << C << None << false;
        QTest::addRow("%s ModuleReset", n.data()) << self << "ModuleReset" << f("0", true, false) << self << f("0", true, false) << self << None << false;
        QTest::addRow("%s tool while other current", n.data()) << self << "SpecificCorrectionActivated" << f("0", false, true) << other << f("0", true, true) << self << other << false;
        QTest::addRow("%s tool while crop current", n.data()) << self << "SpecificCorrectionActivated" << f("1", false, false) << C << f("1", true, false) << self << None << false;
        QTest::addRow("%s tool, none current", n.data()) << self << "SpecificCorrectionActivated" << f("0", false, false) << None << f("0", true, false) << self << None << false;
        QTest::addRow("%s released while current", n.data()) << self << "CorrectionApplyed" << f("0", true, false) << self << f("0", true, false) << None << self << false;
        QTest::addRow("%s released while crop current", n.data()) << self << "CorrectionApplyed" << f("1", true, false) << C << "-" << None << None << true;
        QTest::addRow("%s CorrectionReset", n.data()) << self << "CorrectionReset" << f("0", true, false) << self << f("0", true, false) << self << None << false;
        QTest::addRow("%s slider, none current, crop off", n.data()) << self << "AdditionalControlTouched" << f("0", false, false) << None << f("0", true, false) << None << None << false;
        QTest::addRow("%s slider, none current, crop on", n.data()) << self << "AdditionalControlTouched" << f("1", false, false) << None << f("1", true, false) << C << None << false;
        QTest::addRow("%s slider, tool current", n.data()) << self << "AdditionalControlTouched" << f("1", false, true) << other << f("1", true, true) << other << None << false;
        QTest::addRow("%s resetAll", n.data()) << self << "resetAll" << f("0", true, false) << None << "-" << None << None << true;
        QTest::addRow("%s resetAndCloseAllTools", n.data()) << self << "resetAndCloseAllTools" << f("0", true, false) << None << "-" << None << None << true;
    }
    dflt("unknown module", QStringLiteral("Lens"), "ModuleActivate", "C0H0K0", None);
}

void TestCorrectionStateMachine::table()
{
    QFETCH(QString, module);
    QFETCH(QString, activity);
    QFETCH(QString, inFlags);
    QFETCH(QString, inCurrent);
    QFETCH(QString, outFlags);
    QFETCH(QString, outCurrent);
    QFETCH(QString, outApply);
    QFETCH(bool, fails);

    const CCorrectionStateMachine machine;
    const CCorrectionsState input = state(inFlags, inCurrent);
    m_logger.clear();
    const CCorrectionsState answer = machine.processUserActivity(input, module, activity);

    QCOMPARE(answer.moduleActivities(), flags(outFlags));
    QCOMPARE(answer.currentCorrection(), outCurrent);
    QCOMPARE(answer.moduleToApply(), outApply);
    QCOMPARE(assertionCount(m_logger), fails ? 1 : 0);
    // The machine answers; the state it was given stays as it was.
    QCOMPARE(input.moduleActivities(), flags(inFlags));
}

void TestCorrectionStateMachine::tableLoadsWithoutAssertions()
{
    m_logger.clear();
    const CCorrectionStateMachine machine;
    QCOMPARE(assertionCount(m_logger), 0);

    // Without Crop in the state, a Horizon slider with no current tool finds
    // rows 9 and 10 failing (one assertion each) and applies row 11.
    const CCorrectionsState answer =
        machine.processUserActivity(state(QStringLiteral("H0K0"), None), QStringLiteral("Horizon"),
                                    QStringLiteral("AdditionalControlTouched"));
    QCOMPARE(answer.moduleActivities(), flags(QStringLiteral("H1K0")));
    QCOMPARE(answer.currentCorrection(), None);
    QCOMPARE(assertionCount(m_logger), 2);
}

void TestCorrectionStateMachine::loaderRules_data()
{
    QTest::addColumn<QByteArray>("actions");
    QTest::addColumn<QString>("inFlags");
    QTest::addColumn<QString>("inCurrent");
    QTest::addColumn<QString>("outFlags");
    QTest::addColumn<QString>("outCurrent");
    QTest::addColumn<QString>("outApply");
    QTest::addColumn<int>("assertions");

    // Every action of module "M" answers activity "go".
    QTest::newRow("tags in any letter case; True with blanks is true")
        << QByteArray("<ACTION><UserActivities><USERACTIVITY>\n  go\n</USERACTIVITY></UserActivities>"
                      "<Changes><ModuleActivity name=\"Crop\">\n   TRUE \n</ModuleActivity></Changes></ACTION>")
        << "C0" << None << "C1" << None << None << 0;
    QTest::newRow("1 is false")
        << QByteArray("<action><userActivities><userActivity>go</userActivity></userActivities>"
                      "<changes><moduleActivity name=\"Crop\">1</moduleActivity></changes></action>")
        << "C1" << None << "C0" << None << None << 0;
    QTest::newRow("two matching actions give the default state, one assertion")
        << QByteArray("<action><userActivities><userActivity>go</userActivity></userActivities>"
                      "<conditions><moduleActivity name=\"Crop\">true</moduleActivity></conditions>"
                      "<changes><currentCorrection>Crop</currentCorrection></changes></action>"
                      "<action><userActivities><userActivity>go</userActivity></userActivities>"
                      "<conditions><currentCorrection>NONE</currentCorrection></conditions>"
                      "<changes><currentCorrection>Horizon</currentCorrection></changes></action>")
        << "C1" << None << "-" << None << None << 1;
    QTest::newRow("a holding condition wins over none; none applies when it fails")
        << QByteArray("<action><userActivities><userActivity>go</userActivity></userActivities>"
                      "<changes><currentCorrection>Horizon</currentCorrection></changes></action>"
                      "<action><userActivities><userActivity>go</userActivity></userActivities>"
                      "<conditions><moduleActivity name=\"Crop\">true</moduleActivity></conditions>"
                      "<changes><currentCorrection>Crop</currentCorrection></changes></action>")
        << "C0" << None << "C0" << "Horizon" << None << 0;
    QTest::newRow("empty moduleApply applies the current correction")
        << QByteArray("<action><userActivities><userActivity>go</userActivity></userActivities>"
                      "<changes><moduleApply/><currentCorrection>none</currentCorrection></changes></action>")
        << "C1" << "Keystoning" << "C1" << None << "Keystoning" << 0;
    QTest::newRow("moduleApply in another letter case is a module id")
        << QByteArray("<action><userActivities><userActivity>go</userActivity></userActivities>"
                      "<changes><moduleApply>currentcorrection</moduleApply></changes></action>")
        << "C1" << "Keystoning" << "C1" << "Keystoning" << "currentcorrection" << 0;
    QTest::newRow("a condition on a module the state lacks fails with an assertion")
        << QByteArray("<action><userActivities><userActivity>go</userActivity></userActivities>"
                      "<conditions><moduleActivity name=\"Lens\">false</moduleActivity></conditions>"
                      "<changes><currentCorrection>Crop</currentCorrection></changes></action>"
                      "<action><userActivities><userActivity>go</userActivity></userActivities>"
                      "<conditions/></action>")
        << "C1" << "Horizon" << "C1" << "Horizon" << None << 1;
    QTest::newRow("comments and unknown elements are skipped, the latter with an assertion")
        << QByteArray("<!-- first --><action><!-- a note --><userActivities><!-- x --><userActivity>go</userActivity>"
                      "</userActivities><extra/><changes><moduleActivity name=\"Crop\">true</moduleActivity>"
                      "</changes></action>")
        << "C0" << None << "C1" << None << None << 1;
    QTest::newRow("an action without activities is never chosen")
        << QByteArray("<action><userActivities/><changes><moduleActivity name=\"Crop\">true</moduleActivity>"
                      "</changes></action>")
        << "C0" << None << "-" << None << None << 2;
}

void TestCorrectionStateMachine::loaderRules()
{
    QFETCH(QByteArray, actions);
    QFETCH(QString, inFlags);
    QFETCH(QString, inCurrent);
    QFETCH(QString, outFlags);
    QFETCH(QString, outCurrent);
    QFETCH(QString, outApply);
    QFETCH(int, assertions);

    const QString path = writeTable("<modules><Module name=\"M\"><Actions>" + actions + "</Actions></Module></modules>");
    m_logger.clear();
    const CCorrectionStateMachine machine(path);
    const CCorrectionsState answer =
        machine.processUserActivity(state(inFlags, inCurrent), QStringLiteral("M"), QStringLiteral("go"));
    QCOMPARE(answer.moduleActivities(), flags(outFlags));
    QCOMPARE(answer.currentCorrection(), outCurrent);
    QCOMPARE(answer.moduleToApply(), outApply);
    QCOMPARE(assertionCount(m_logger), assertions);
}

void TestCorrectionStateMachine::brokenTables_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("loadAssertions");

    const QByteArray action("<action><userActivities><userActivity>go</userActivity></userActivities>"
                            "<changes><moduleActivity name=\"Crop\">true</moduleActivity></changes></action>");
    QTest::newRow("missing file") << QByteArray() << 1;
    QTest::newRow("not XML") << QByteArray("<modules><module") << 1;
    QTest::newRow("root in capitals") << QByteArray("<MODULES><module name=\"M\"><actions>" + action + "</actions></module></MODULES>") << 1;
    QTest::newRow("comment before actions loses the module")
        << QByteArray("<modules><module name=\"M\"><!-- c --><actions>" + action + "</actions></module></modules>") << 1;
}

void TestCorrectionStateMachine::brokenTables()
{
    QFETCH(QByteArray, xml);
    QFETCH(int, loadAssertions);

    const QString path = xml.isEmpty() ? m_folder.filePath(QStringLiteral("missing.xml")) : writeTable(xml);
    m_logger.clear();
    const CCorrectionStateMachine machine(path);
    QCOMPARE(assertionCount(m_logger), loadAssertions);
    // An empty table answers the default state to everything.
    const CCorrectionsState answer =
        machine.processUserActivity(state(QStringLiteral("C0"), None), QStringLiteral("M"), QStringLiteral("go"));
    QVERIFY(answer.moduleActivities().isEmpty());
    QCOMPARE(assertionCount(m_logger), loadAssertions + 1);
}

QTEST_GUILESS_MAIN(TestCorrectionStateMachine)
#include "tst_correctionstatemachine.moc"
