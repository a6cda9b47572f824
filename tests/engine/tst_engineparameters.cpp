// The engine utilities on parameter dictionaries: the reduction to what
// changes the picture, the key groups and queries, and transform values.

#include "engine/DefaultParameters.h"
#include "engine/ParameterGroups.h"
#include "engine/TransformValues.h"

#include <QTest>

#include <initializer_list>
#include <utility>

using Pruner = Navik::Dictionary (*)(const Navik::Dictionary&);
using Query = bool (*)(const Navik::Dictionary&);

Q_DECLARE_METATYPE(Navik::Dictionary)
Q_DECLARE_METATYPE(Navik::ValueArray)
Q_DECLARE_METATYPE(Pruner)
Q_DECLARE_METATYPE(Query)

namespace {

using Entries = std::initializer_list<std::pair<const char*, Navik::Value>>;

Navik::Dictionary dictionary(Entries entries)
{
    Navik::Dictionary result;
    for (const auto& [key, value] : entries)
        result.SetValueForKey(key, value);
    return result;
}

Navik::Dictionary with(Navik::Dictionary dict, Entries entries)
{
    dict.AddEntriesFromDictionary(dictionary(entries));
    return dict;
}

QStringList keysOf(const Navik::Dictionary& dict)
{
    QStringList keys;
    for (const auto& entry : dict.Entries())
        keys.append(QString::fromStdString(entry.first));
    return keys;
}

// Written out here rather than taken from the code under test.
const Navik::ValueArray kVerticalPoints{0.25, 0.25, 0.25, 0.75, 0.75, 0.75, 0.75, 0.25};
const Navik::ValueArray kHorizontalPoints{0.25, 0.25, 0.75, 0.25, 0.75, 0.75, 0.25, 0.75};
const Navik::ValueArray kEightPoints{0.25, 0.375, 0.25, 0.625, 0.75, 0.625, 0.75, 0.375,
                                     0.625, 0.75, 0.375, 0.75, 0.625, 0.25, 0.375, 0.25};
const Navik::ValueArray kMovedPoints{0.26, 0.25, 0.25, 0.75, 0.75, 0.75, 0.75, 0.25};

// An active keystoning whose every setting is at its neutral value.
Navik::Dictionary neutralKeystoning()
{
    return dictionary({{"KeystoningActive", true},
                       {"KeystoningMode", "Parallel"},
                       {"KeystoningBlendingIntensity", 100.0},
                       {"KeystoningKeepCenter", true},
                       {"KeystoningUpDown", 0.0},
                       {"KeystoningLeftRight", 0.0},
                       {"KeystoningHorizon", 0.0},
                       {"KeystoningScale", 100.0},
                       {"KeystoningHVRatio", 0.0},
                       {"KeystoningPoints", kVerticalPoints},
                       {"OutputImageMaxSize", 300}});
}

Navik::Dictionary manualCrop(const Navik::ValueArray& rect, double ratio)
{
    return dictionary({{"CropActive", true}, {"CropAuto", false}, {"CropRect", rect}, {"CropRatio", ratio}});
}

// One entry under every key of every group, and two keys of none.
Navik::Dictionary everyKey()
{
    Navik::Dictionary dict;
    for (const char* key :
         {"DistortionActive", "DistortionType", "DistortionIntensity", "DistortionKeepRatio", "DistortionFocus",
          "DistortionFocal", "DistortionAnamorphosisKeepEntireImage", "AnamorphosisActive", "AnamorphosisType",
          "AnamorphosisRadial", "AnamorphosisHorizontal", "AnamorphosisVertical", "KeystoningActive",
          "KeystoningBlendingIntensity", "KeystoningMode", "KeystoningUpDown", "KeystoningLeftRight",
          "KeystoningHorizon", "KeystoningScale", "KeystoningHVRatio", "KeystoningKeepCenter", "KeystoningPoints",
          "OutputImageMaxSize", "KeystoningPreviousHomographyBackward", "KeystoningKeepOriginalSize", "Intensity",
          "CropActive", "CropAuto", "CropRatio", "CropRect", "CropRectAuto", "OutputSize", "OutputWidth",
          "OutputHeight", "OutputSizeUnit", "OutputResolution", "OutputResolutionUnit", "OutputInterpolation",
          "OutputRotation", "OutputRotationAuto", "OutputICCProfile"})
        dict.SetValueForKey(key, Navik::Value(1));
    return dict;
}

const QStringList kKeystoningKeys{"KeystoningActive", "KeystoningBlendingIntensity", "KeystoningMode",
                                  "KeystoningUpDown", "KeystoningLeftRight", "KeystoningScale", "KeystoningHVRatio",
                                  "KeystoningKeepCenter", "KeystoningPoints", "OutputImageMaxSize",
                                  "KeystoningPreviousHomographyBackward", "KeystoningKeepOriginalSize", "Intensity"};
const QStringList kCropAndOutputKeys{"CropActive", "CropAuto", "CropRatio", "CropRect", "CropRectAuto",
                                     "OutputSize", "OutputWidth", "OutputHeight", "OutputSizeUnit",
                                     "OutputResolution", "OutputResolutionUnit", "OutputInterpolation",
                                     "OutputRotation", "OutputRotationAuto"};
const QStringList kAnamorphosisKeys{"AnamorphosisActive", "AnamorphosisType", "AnamorphosisRadial",
                                    "AnamorphosisHorizontal", "AnamorphosisVertical"};
const QStringList kDistortionKeys{"DistortionActive", "DistortionType", "DistortionIntensity",
                                  "DistortionKeepRatio", "DistortionFocus", "DistortionFocal"};

Navik::Dictionary activeKeystoning(const char* mode, const Navik::ValueArray& points)
{
    return dictionary({{"KeystoningActive", true}, {"KeystoningMode", mode}, {"KeystoningPoints", points}});
}

} // namespace

class TestEngineParameters : public QObject
{
    Q_OBJECT

private slots:
    void reductionKeepsWhatChangesThePicture_data()
    {
        QTest::addColumn<Navik::Dictionary>("parameters");
        QTest::addColumn<QStringList>("remaining");

        const Navik::Dictionary keystoning = neutralKeystoning();
        QTest::newRow("keystoning at its defaults") << keystoning << QStringList();
        QTest::newRow("horizontal default points")
            << with(keystoning, {{"KeystoningPoints", kHorizontalPoints}}) << QStringList();
        QTest::newRow("eight default points") << with(keystoning, {{"KeystoningMode", "FourLines"},
                                                                   {"KeystoningPoints", kEightPoints}})
                                              << QStringList();
        QTest::newRow("one setting moved") << with(keystoning, {{"KeystoningUpDown", 12.0}})
                                           << QStringList{"KeystoningUpDown"};
        QTest::newRow("one point moved") << with(keystoning, {{"KeystoningPoints", kMovedPoints}})
                                         << QStringList{"KeystoningPoints"};
        QTest::newRow("points without a mode") << with(keystoning, {{"KeystoningMode", ""},
                                                                    {"KeystoningPoints", kMovedPoints}})
                                               << QStringList();
        QTest::newRow("blending intensity has no tolerance")
            << with(keystoning, {{"KeystoningBlendingIntensity", 100.0001}})
            << QStringList{"KeystoningBlendingIntensity"};
        QTest::newRow("keystoning off, intensity set")
            << with(keystoning, {{"KeystoningActive", false},
                                 {"KeystoningPoints", kMovedPoints},
                                 {"KeystoningUpDown", 40.0},
                                 {"KeystoningPreviousHomographyBackward", kVerticalPoints},
                                 {"KeystoningKeepOriginalSize", true},
                                 {"Intensity", 75}})
            << QStringList{"Intensity"};
        QTest::newRow("neutral intensity") << with(keystoning, {{"Intensity", 100}}) << QStringList();

        QTest::newRow("manual full-frame crop") << manualCrop({0.0, 0.0, 1.0, 1.0}, 1.5) << QStringList();
        QTest::newRow("manual crop") << manualCrop({0.1, 0.0, 1.0, 1.0}, -1.0) << QStringList{"CropAuto", "CropRect"};
        QTest::newRow("ratio within 1e-12 of -1")
            << manualCrop({0.1, 0.0, 1.0, 1.0}, -1.0 + 5e-13) << QStringList{"CropAuto", "CropRect"};
        QTest::newRow("ratio 1e-6 from -1") << manualCrop({0.1, 0.0, 1.0, 1.0}, -1.0 + 1e-6)
                                            << QStringList{"CropAuto", "CropRatio", "CropRect"};
        QTest::newRow("short crop rectangle") << manualCrop({0.0, 0.0, 1.0}, -1.0)
                                              << QStringList{"CropAuto", "CropRect"};
        QTest::newRow("automatic crop") << with(manualCrop({0.2, 0.2, 0.5, 0.5}, 0.0), {{"CropAuto", true}})
                                        << QStringList{"CropRatio"};
        QTest::newRow("crop off") << with(manualCrop({0.2, 0.2, 0.5, 0.5}, 1.5),
                                          {{"CropActive", false}, {"CropRectAuto", kVerticalPoints}})
                                  << QStringList{"CropRectAuto"};

        QTest::newRow("anamorphosis at its defaults")
            << dictionary({{"AnamorphosisActive", true},
                           {"AnamorphosisType", "Cylindrical"},
                           {"AnamorphosisRadial", 150.0},
                           {"AnamorphosisHorizontal", 100.0},
                           {"AnamorphosisVertical", 0.0},
                           {"DistortionKeepRatio", true},
                           {"DistortionAnamorphosisKeepEntireImage", true}})
            << QStringList{"AnamorphosisType"};
        QTest::newRow("anamorphosis off")
            << dictionary({{"AnamorphosisActive", false}, {"AnamorphosisType", "Cylindrical"}, {"AnamorphosisRadial", 120.0}})
            << QStringList();
        QTest::newRow("distortion off")
            << dictionary({{"DistortionActive", false},
                           {"DistortionType", "Auto"},
                           {"DistortionIntensity", 50.0},
                           {"DistortionFocus", 2.0},
                           {"DistortionFocal", 35.0}})
            << QStringList{"DistortionFocal", "DistortionFocus"};
        QTest::newRow("distortion on")
            << dictionary({{"DistortionActive", true}, {"DistortionType", "Auto"}, {"DistortionIntensity", 100.0}})
            << QStringList{"DistortionIntensity", "DistortionType"};
        QTest::newRow("output keys") << dictionary({{"OutputICCProfile", "sRGB"}, {"OutputRotation", 1}})
                                     << QStringList{"OutputRotation"};
    }

    void reductionKeepsWhatChangesThePicture()
    {
        QFETCH(Navik::Dictionary, parameters);
        QFETCH(QStringList, remaining);
        QCOMPARE(keysOf(removeDefaultPropertiesFromDictionary(parameters)), remaining);
    }

    void removeKeyIfDefaultComparesByType()
    {
        Navik::Dictionary dict = dictionary({{"text", "Parallel"},
                                             {"points", kVerticalPoints},
                                             {"exact", 100.0},
                                             {"near", 100.0000001},
                                             {"flag", false}});
        removeKeyIfDefault(dict, "text", QStringLiteral("Parallel"));
        removeKeyIfDefault(dict, "points", kHorizontalPoints);
        removeKeyIfDefault(dict, "exact", 100.0f);
        removeKeyIfDefault(dict, "near", 100.0f);
        removeKeyIfDefault(dict, "flag", true);
        removeKeyIfDefault(dict, "absent", false);
        QCOMPARE(keysOf(dict), (QStringList{"flag", "near", "points"}));
    }

    void groupRemovals_data()
    {
        QTest::addColumn<Pruner>("prune");
        QTest::addColumn<QStringList>("removed");

        QTest::newRow("distortion") << Pruner(&removeDistortionPropertiesFromDictionary) << kDistortionKeys;
        QTest::newRow("anamorphosis") << Pruner(&removeAnamorphosisPropertiesFromDictionary) << kAnamorphosisKeys;
        QTest::newRow("keystoning keeps the horizon")
            << Pruner(&removeKeystoningPropertiesFromDictionary) << kKeystoningKeys;
        QTest::newRow("keystoning and horizon") << Pruner(&removeKeystoningAndHorizonPropertiesFromDictionary)
                                                << kKeystoningKeys + QStringList{"KeystoningHorizon"};
        QTest::newRow("crop and output") << Pruner(&removeCropAndOutputPropertiesFromDictionary)
                                         << kCropAndOutputKeys;
        QTest::newRow("every correction")
            << Pruner(&removeAllCorrectionPropertiesFromDictionary)
            << kDistortionKeys + kAnamorphosisKeys + kKeystoningKeys + kCropAndOutputKeys +
                   QStringList{"KeystoningHorizon"};
    }

    void groupRemovals()
    {
        QFETCH(Pruner, prune);
        QFETCH(QStringList, removed);
        const Navik::Dictionary all = everyKey();
        QStringList expected = keysOf(all);
        for (const QString& key : removed)
            expected.removeOne(key);
        QCOMPARE(keysOf(prune(all)), expected);
    }

    void copyKeyIfPresent_data()
    {
        QTest::addColumn<Navik::Dictionary>("source");
        QTest::addColumn<int>("expected");

        QTest::newRow("present replaces") << dictionary({{"CropAuto", 2}}) << 2;
        QTest::newRow("absent keeps the target's") << dictionary({{"CropRect", 2}}) << 1;
    }

    void copyKeyIfPresent()
    {
        QFETCH(Navik::Dictionary, source);
        QFETCH(int, expected);
        Navik::Dictionary target = dictionary({{"CropAuto", 1}});
        ::copyKeyIfPresent(target, source, QStringLiteral("CropAuto"));
        QCOMPARE(keysOf(target), QStringList{"CropAuto"});
        QCOMPARE(target.GetValueForKey("CropAuto").AsInt(), expected);
    }

    void queries_data()
    {
        QTest::addColumn<Query>("query");
        QTest::addColumn<Navik::Dictionary>("parameters");
        QTest::addColumn<bool>("expected");

        // Every adjustment at zero, the scale included.
        const Navik::Dictionary keystoning = with(neutralKeystoning(), {{"KeystoningScale", 0.0}});
        QTest::newRow("keystoning unadjusted") << Query(&isKeystoningSet) << keystoning << false;
        QTest::newRow("keystoning without a mode")
            << Query(&isKeystoningSet) << with(keystoning, {{"KeystoningMode", ""}}) << true;
        QTest::newRow("keystoning scaled")
            << Query(&isKeystoningSet) << with(keystoning, {{"KeystoningScale", 100.0}}) << true;
        QTest::newRow("keystoning tilted")
            << Query(&isKeystoningSet) << with(keystoning, {{"KeystoningHVRatio", -3.0}}) << true;
        QTest::newRow("keystoning at zero intensity")
            << Query(&isKeystoningSet)
            << with(keystoning, {{"KeystoningBlendingIntensity", 0.0}, {"KeystoningMode", ""}}) << false;
        QTest::newRow("keystoning off")
            << Query(&isKeystoningSet) << with(keystoning, {{"KeystoningActive", false}, {"KeystoningMode", ""}})
            << false;

        const Navik::Dictionary fisheye = dictionary({{"DistortionActive", true}, {"DistortionType", "Fisheye"}});
        QTest::newRow("fisheye") << Query(&isFisheyeDistortionActive) << fisheye << true;
        QTest::newRow("fisheye is not barrel") << Query(&isBarrelDistortionActive) << fisheye << false;
        QTest::newRow("fisheye in lower case")
            << Query(&isFisheyeDistortionActive) << with(fisheye, {{"DistortionType", "fisheye"}}) << false;
        QTest::newRow("fisheye switched off")
            << Query(&isFisheyeDistortionActive) << with(fisheye, {{"DistortionActive", false}}) << false;
        QTest::newRow("barrel") << Query(&isBarrelDistortionActive) << with(fisheye, {{"DistortionType", "Barrel"}})
                                << true;
        QTest::newRow("auto") << Query(&isAutoDistortionActive) << with(fisheye, {{"DistortionType", "Auto"}})
                              << true;
    }

    void queries()
    {
        QFETCH(Query, query);
        QFETCH(Navik::Dictionary, parameters);
        QFETCH(bool, expected);
        QCOMPARE(query(parameters), expected);
    }

    // Answered by the engine's own check, so these cases are built to be
    // valid under one tool and invalid under another.
    void keystoningPointsValidity_data()
    {
        QTest::addColumn<Navik::Dictionary>("parameters");
        QTest::addColumn<QSize>("imageSize");
        QTest::addColumn<bool>("valid");

        // Two vertical lines, listed as a quadrilateral that crosses itself.
        const Navik::ValueArray lines{0.25, 0.25, 0.25, 0.75, 0.75, 0.25, 0.75, 0.75};
        const QSize size(4000, 3000);
        QTest::newRow("parallel lines") << activeKeystoning("Parallel", lines) << size << true;
        QTest::newRow("the same points as a rectangle") << activeKeystoning("Rectangle", lines) << size << false;
        QTest::newRow("mode names are case-sensitive") << activeKeystoning("parallel", lines) << size << false;
        QTest::newRow("four lines") << activeKeystoning("FourLines", kEightPoints) << size << true;
        QTest::newRow("four lines need eight points") << activeKeystoning("FourLines", lines) << size << false;
        // Lines are half the image high: the height scales the odd coordinates.
        QTest::newRow("lines 1.5 pixels long") << activeKeystoning("Parallel", lines) << QSize(1000, 3) << false;
        QTest::newRow("lines 500 pixels long") << activeKeystoning("Parallel", lines) << QSize(3, 1000) << true;

        // Nothing to ask the engine: whatever the points, the answer is yes.
        const Navik::Dictionary invalid = activeKeystoning("Rectangle", lines);
        QTest::newRow("keystoning off") << with(invalid, {{"KeystoningActive", false}}) << size << true;
        QTest::newRow("no switch") << dictionary({{"KeystoningMode", "Rectangle"}, {"KeystoningPoints", lines}})
                                   << size << true;
        QTest::newRow("empty mode") << with(invalid, {{"KeystoningMode", ""}}) << size << true;
        QTest::newRow("no mode") << dictionary({{"KeystoningActive", true}, {"KeystoningPoints", lines}}) << size
                                 << true;
        QTest::newRow("no points") << dictionary({{"KeystoningActive", true}, {"KeystoningMode", "Rectangle"}})
                                   << size << true;
    }

    void keystoningPointsValidity()
    {
        QFETCH(Navik::Dictionary, parameters);
        QFETCH(QSize, imageSize);
        QFETCH(bool, valid);
        QCOMPARE(isKeystoningPointsConfigurationValid(parameters, imageSize), valid);
    }

    void transformsAreStoredRowByRow_data()
    {
        QTest::addColumn<QTransform>("transform");
        QTest::addColumn<Navik::ValueArray>("stored");

        QTest::newRow("identity") << QTransform() << Navik::ValueArray{1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0};
        QTest::newRow("translation") << QTransform::fromTranslate(10, 20)
                                     << Navik::ValueArray{1.0, 0.0, 10.0, 0.0, 1.0, 20.0, 0.0, 0.0, 1.0};
        QTest::newRow("projective") << QTransform(1.5, 0.25, 0.001, -0.5, 2.0, 0.002, 30.0, 40.0, 1.25)
                                    << Navik::ValueArray{1.5, -0.5, 30.0, 0.25, 2.0, 40.0, 0.001, 0.002, 1.25};
    }

    void transformsAreStoredRowByRow()
    {
        QFETCH(QTransform, transform);
        QFETCH(Navik::ValueArray, stored);
        Navik::Dictionary dict = dictionary({{"KeystoningPreviousHomographyBackward", 1}});
        setTransformToDictionary(dict, "KeystoningPreviousHomographyBackward", transform);
        QVERIFY(dict.GetValueForKey("KeystoningPreviousHomographyBackward").AsValueArray() == stored);
        QCOMPARE(getTransformFromDictionary(dict, "KeystoningPreviousHomographyBackward"), transform);
    }

    void malformedTransformsReadAsIdentity_data()
    {
        QTest::addColumn<Navik::Dictionary>("parameters");

        QTest::newRow("absent") << Navik::Dictionary();
        QTest::newRow("not an array") << dictionary({{"H", 2.0}});
        QTest::newRow("empty") << dictionary({{"H", Navik::ValueArray()}});
        QTest::newRow("one element") << dictionary({{"H", Navik::ValueArray{2.0}}});
        QTest::newRow("eight elements") << dictionary({{"H", Navik::ValueArray{2.0, 0.0, 0.0, 0.0, 2.0, 0.0, 0.0, 0.0}}});
        QTest::newRow("ten elements")
            << dictionary({{"H", Navik::ValueArray{2.0, 0.0, 0.0, 0.0, 2.0, 0.0, 0.0, 0.0, 1.0, 5.0}}});
    }

    void malformedTransformsReadAsIdentity()
    {
        QFETCH(Navik::Dictionary, parameters);
        QCOMPARE(getTransformFromDictionary(parameters, "H"), QTransform());
    }
};

QTEST_APPLESS_MAIN(TestEngineParameters)
#include "tst_engineparameters.moc"
