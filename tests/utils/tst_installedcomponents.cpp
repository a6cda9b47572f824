#include "utils/CSettings.h"
#include "utils/InstalledComponents.h"

#include <QTest>

using namespace NAVIK_tarl1;

namespace {

using StoredKeys = QList<QPair<QString, QVariant>>;

// The structure as one comparable text: "lr=<text> ap=<text> <set flags>".
QString describe(const SInstalledComponents& c)
{
    QStringList flags;
    const QList<QPair<const char*, bool>> all = {
        {"cs3_32", c.cs3_32}, {"cs4_32", c.cs4_32}, {"cs4_64", c.cs4_64},
        {"cs5_32", c.cs5_32}, {"cs5_64", c.cs5_64}, {"cs6_32", c.cs6_32},
        {"cs6_64", c.cs6_64}, {"cc_32", c.cc_32},   {"cc_64", c.cc_64},
        {"el9_32", c.el9_32}, {"el10_32", c.el10_32}, {"el11_32", c.el11_32}};
    for (const auto& [name, set] : all)
        if (set)
            flags << name;
    return QStringList({"lr=" + c.lrVersionList, "ap=" + c.apertureVersion, flags.join(',')}).join(' ');
}

} // namespace

class TestInstalledComponents : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { CSettings().clear(); }

    void readsTheInstallerKeys_data()
    {
        QTest::addColumn<StoredKeys>("stored");
        QTest::addColumn<QString>("expected");

        QTest::newRow("nothing stored") << StoredKeys{} << "lr= ap= ";
        QTest::newRow("versions as stored")
            << StoredKeys{{"NAVIKLRINSTALLEDVERLIST", "4.0;5.0"}, {"NAVIKAPERTUREINSTALLEDVERSION", "3.4"}}
            << "lr=4.0;5.0 ap=3.4 ";
        QTest::newRow("every 32- and 64-bit key")
            << StoredKeys{{"NAVIKCS332INSTALLED", "1"}, {"NAVIKCS432INSTALLED", "1"},
                          {"NAVIKCS464INSTALLED", "1"}, {"NAVIKCS532INSTALLED", "1"},
                          {"NAVIKCS564INSTALLED", "1"}, {"NAVIKCS632INSTALLED", "1"},
                          {"NAVIKCS664INSTALLED", "1"}, {"NAVIKCC32INSTALLED", "1"},
                          {"NAVIKCC64INSTALLED", "1"}, {"NAVIKEL932INSTALLED", "1"},
                          {"NAVIKEL1032INSTALLED", "1"}, {"NAVIKEL1132INSTALLED", "1"}}
            << "lr= ap= cs3_32,cs4_32,cs4_64,cs5_32,cs5_64,cs6_32,cs6_64,cc_32,cc_64,el9_32,el10_32,el11_32";
        QTest::newRow("every key from the 64-bit installer counts as 32-bit")
            << StoredKeys{{"NAVIKCS332FOR64INSTALLED", "1"}, {"NAVIKCS432FOR64INSTALLED", "1"},
                          {"NAVIKCS532FOR64INSTALLED", "1"}, {"NAVIKCS632FOR64INSTALLED", "1"},
                          {"NAVIKCC32FOR64INSTALLED", "1"}, {"NAVIKEL932FOR64INSTALLED", "1"},
                          {"NAVIKEL1032FOR64INSTALLED", "1"}, {"NAVIKEL1132FOR64INSTALLED", "1"}}
            << "lr= ap= cs3_32,cs4_32,cs5_32,cs6_32,cc_32,el9_32,el10_32,el11_32";
        QTest::newRow("CS5 32-bit off, from the 64-bit installer on")
            << StoredKeys{{"NAVIKCS532INSTALLED", "0"}, {"NAVIKCS532FOR64INSTALLED", "1"}}
            << "lr= ap= cs5_32";
        QTest::newRow("CS5 64-bit alone") << StoredKeys{{"NAVIKCS564INSTALLED", "1"}} << "lr= ap= cs5_64";
        QTest::newRow("CS3 on whatever the 64-bit installer says")
            << StoredKeys{{"NAVIKCS332INSTALLED", "1"}, {"NAVIKCS332FOR64INSTALLED", "0"}}
            << "lr= ap= cs3_32";
        QTest::newRow("only the exact text 1")
            << StoredKeys{{"NAVIKCS332INSTALLED", "true"}, {"NAVIKCS432INSTALLED", "yes"},
                          {"NAVIKCS532INSTALLED", " 1"}, {"NAVIKCS632INSTALLED", 2},
                          {"NAVIKCC32INSTALLED", true}, {"NAVIKCC64INSTALLED", "01"}}
            << "lr= ap= ";
        QTest::newRow("an integer 1 counts") << StoredKeys{{"NAVIKEL932INSTALLED", 1}} << "lr= ap= el9_32";
    }

    void readsTheInstallerKeys()
    {
        QFETCH(StoredKeys, stored);
        QFETCH(QString, expected);
        {
            CSettings settings;
            for (const auto& [key, value] : stored)
                settings.setValue(key, value);
        }
        SInstalledComponents components;
        GetInstalledComponents(components);
        QCOMPARE(describe(components), expected);
    }

    void everyFieldIsAssignedOnEveryCall()
    {
        SInstalledComponents components;
        components.lrVersionList = "old";
        components.apertureVersion = "old";
        for (bool* flag : {&components.cs3_32, &components.cs4_32, &components.cs4_64, &components.cs5_32,
                           &components.cs5_64, &components.cs6_32, &components.cs6_64, &components.cc_32,
                           &components.cc_64, &components.el9_32, &components.el10_32, &components.el11_32})
            *flag = true;
        GetInstalledComponents(components);
        QCOMPARE(describe(components), QString("lr= ap= "));
        QCOMPARE(describe(SInstalledComponents()), QString("lr= ap= "));
    }
};

QTEST_GUILESS_MAIN(TestInstalledComponents)
#include "tst_installedcomponents.moc"
