// Filtering a parameter dictionary by correction groups: which keys removal
// drops and extraction keeps, for each combination of groups.

#include "RecordingLogger.h"

#include "engine/CProcessEngine.h"
#include "engine/CorrectionParameterTable.h"

#include <QTest>

using namespace CorrectionTypes;

namespace {

// Every key of the table plus three that belong to no group.
Navik::Dictionary allKeys()
{
    Navik::Dictionary dictionary;
    for (const auto& row : correctionParameterTable)
        dictionary.SetValueForKey(row.first.toStdString(), Navik::Value(1));
    for (const char* key : {"DistortionFocus", "DistortionFocal", "KeystoningActive"})
        dictionary.SetValueForKey(key, Navik::Value(true));
    return dictionary;
}

QStringList keysOf(const Navik::Dictionary& dictionary)
{
    QStringList keys;
    for (const auto& [key, value] : dictionary.Entries())
        keys << QString::fromStdString(key);
    keys.sort();
    return keys;
}

QStringList sorted(QStringList keys)
{
    keys.sort();
    return keys;
}

const QStringList kAnamorphosisOnly = {"AnamorphosisActive", "AnamorphosisType", "AnamorphosisHorizontal",
                                       "AnamorphosisVertical", "AnamorphosisRadial"};
const QStringList kShared = {"DistortionKeepRatio", "DistortionAnamorphosisKeepEntireImage"};
const QStringList kDistortionOnly = {"DistortionActive", "DistortionType", "DistortionIntensity"};
const QStringList kOutside = {"DistortionFocus", "DistortionFocal", "KeystoningActive"};

} // namespace

class TestCorrectionTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void filtering_data()
    {
        QTest::addColumn<int>("types");
        QTest::addColumn<QStringList>("keptByRemoval");
        QTest::addColumn<QStringList>("extracted");

        QTest::newRow("none") << int(None) << kAnamorphosisOnly + kShared + kDistortionOnly + kOutside
                              << QStringList();
        QTest::newRow("anamorphosis") << int(Anamorphosis) << kShared + kDistortionOnly + kOutside
                                      << kAnamorphosisOnly + kShared;
        QTest::newRow("distortion") << int(Distortion) << kAnamorphosisOnly + kShared + kOutside
                                    << kShared + kDistortionOnly;
        QTest::newRow("both") << int(Anamorphosis | Distortion) << kOutside
                              << kAnamorphosisOnly + kShared + kDistortionOnly;
    }

    void filtering()
    {
        QFETCH(int, types);
        QFETCH(QStringList, keptByRemoval);
        QFETCH(QStringList, extracted);

        CProcessEngine engine;
        const Navik::Dictionary input = allKeys();
        const CorrectionTypesFlags flags = CorrectionTypesFlags::fromInt(types);
        QCOMPARE(keysOf(engine.removeCorrectionParams(input, flags)), sorted(keptByRemoval));
        QCOMPARE(keysOf(engine.extractCorrectionParams(input, flags)), sorted(extracted));
        QCOMPARE(input, allKeys());
    }

    void missingKeysAreNotCreated()
    {
        CProcessEngine engine;
        Navik::Dictionary input;
        input.SetValueForKey("DistortionType", Navik::Value("Barrel"));
        const Navik::Dictionary extracted = engine.extractCorrectionParams(input, Anamorphosis | Distortion);
        QCOMPARE(keysOf(extracted), QStringList{"DistortionType"});
        QCOMPARE(QString(extracted.GetValueForKey("DistortionType").AsCStr()), QString("Barrel"));
        QCOMPARE(engine.removeCorrectionParams(input, Anamorphosis).Count(), 1u);
    }

    void unassignedGroupsAreReportedInOrder()
    {
        RecordingLogger& logger = RecordingLogger::install();
        logger.clear();
        CProcessEngine engine;
        const CorrectionTypesFlags withUnassigned = Distortion | Unassigned4 | Unassigned8 | Unassigned16;
        const Navik::Dictionary removed = engine.removeCorrectionParams(allKeys(), withUnassigned);
        QCOMPARE(removed, engine.removeCorrectionParams(allKeys(), Distortion));
        // One report for each of 8, 4 and 16, in that order (they stand in that order in the code).
        const QStringList reports = logger.linesAt('E').filter("ASSERT_X in");
        QCOMPARE(reports.size(), 3);
        const auto lineOf = [](const QString& report) { return report.section(' ', -1).toInt(); };
        QVERIFY(lineOf(reports[0]) < lineOf(reports[1]) && lineOf(reports[1]) < lineOf(reports[2]));
    }
};

QTEST_MAIN(TestCorrectionTable)
#include "tst_correctiontable.moc"
