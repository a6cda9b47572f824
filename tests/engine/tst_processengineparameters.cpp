// The engine's parameters: what the change handlers count as a change, the
// dependent keys, clearing, the questions about changes and corrections, and
// the keystoning points as the correction engine reads them.

#include "RecordingLogger.h"

#include "engine/CProcessEngine.h"
#include "engine/ExifRotation.h"
#include "engine/EngineParameterKeys.h"

#include <Navik/LuaSerializer.h>

#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>

namespace Keys = EngineParameterKeys;

namespace {

// A dictionary written as a Lua table, "{ Key = value, ... }".
Navik::Dictionary dictionaryFrom(const QString& table)
{
    Navik::LuaSerializer serializer;
    const Navik::Value* value = serializer.Read("d", "d = " + table.toStdString());
    return value ? value->AsDictionary() : Navik::Dictionary();
}

// Calls the change handler of one kind; arrays are given as Lua lists.
void change(CProcessEngine& engine, const QString& kind, const QString& key, const QVariant& value)
{
    if (kind == "int")
        engine.onCEPropertyIntChanged(key, value.toInt());
    else if (kind == "float")
        engine.onCEPropertyFloatChanged(key, value.toFloat());
    else if (kind == "string")
        engine.onCEPropertyStringChanged(key, value.toString());
    else if (kind == "bool")
        engine.onCEPropertyBoolChanged(key, value.toBool());
    else
        engine.onCEPropertyValueArrayChanged(
            key, dictionaryFrom("{ a = " + value.toString() + " }").GetValueForKey("a").AsValueArray());
}

NavikImagePtr imageInMemory(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(Qt::darkCyan);
    return std::make_shared<CNavikImageProxy>(image, true, false);
}

QVector<QPointF> keystoningPointsOf(const Navik::Dictionary& dictionary)
{
    const Navik::ValueArray values = dictionary.GetValueForKey(Keys::KeystoningPoints).AsValueArray();
    QVector<QPointF> points;
    for (unsigned int i = 0; i + 1 < values.Count(); i += 2)
        points << QPointF(values.GetValueAtIndex(i).AsDouble(), values.GetValueAtIndex(i + 1).AsDouble());
    return points;
}

const QVector<QPointF> somePoints = {{0.1, 0.2}, {0.9, 0.15}, {0.85, 0.8}, {0.2, 0.9}};

} // namespace

class TestProcessEngineParameters : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void handlersRenderOnlyOnChange_data();
    void handlersRenderOnlyOnChange();
    void floatIsStoredWidened();
    void dictionaryMerge();
    void keystoningPoints();
    void dependentKeys_data();
    void dependentKeys();
    void clearResultParamsKeepsACompleteCrop_data();
    void clearResultParamsKeepsACompleteCrop();
    void clearAllParams();
    void pictureChangedAndCorrectionsApplied();
    void keystoningDictionary();
    void orientationBeyondTheTable();

private:
    RecordingLogger* m_logger = nullptr;
};

void TestProcessEngineParameters::initTestCase()
{
    m_logger = &RecordingLogger::install();
}

void TestProcessEngineParameters::init()
{
    m_logger->clear();
}

void TestProcessEngineParameters::handlersRenderOnlyOnChange_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QVariant>("first");
    QTest::addColumn<QVariant>("second");
    QTest::addColumn<int>("changes");

    QTest::newRow("int same") << "int" << QVariant(3) << QVariant(3) << 1;
    QTest::newRow("int other") << "int" << QVariant(3) << QVariant(4) << 2;
    QTest::newRow("float same") << "float" << QVariant(0.5f) << QVariant(0.5f) << 1;
    QTest::newRow("float other") << "float" << QVariant(0.5f) << QVariant(0.25f) << 2;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("float NaN always changes") << "float" << QVariant(nan) << QVariant(nan) << 2;
    QTest::newRow("string same") << "string" << QVariant("Parallel") << QVariant("Parallel") << 1;
    QTest::newRow("string other") << "string" << QVariant("Parallel") << QVariant("FourLines") << 2;
    QTest::newRow("bool same") << "bool" << QVariant(false) << QVariant(false) << 1;
    QTest::newRow("bool other") << "bool" << QVariant(false) << QVariant(true) << 2;
    QTest::newRow("array same") << "array" << QVariant("{ 0.0, 0.5, 1.0 }") << QVariant("{ 0.0, 0.5, 1.0 }") << 1;
    QTest::newRow("array other") << "array" << QVariant("{ 0.0, 0.5, 1.0 }") << QVariant("{ 0.0, 0.5 }") << 2;
}

void TestProcessEngineParameters::handlersRenderOnlyOnChange()
{
    QFETCH(QString, kind);
    QFETCH(QVariant, first);
    QFETCH(QVariant, second);
    CProcessEngine engine;
    QSignalSpy changed(&engine, &CProcessEngine::ceParamsChanged);

    // An absent key counts as changed, even when set to a neutral value; the
    // render waits in the queue for an image.
    change(engine, kind, "SomeKey", first);
    QCOMPARE(changed.size(), 1);
    QVERIFY(engine.hasTasksForProcessing());
    change(engine, kind, "SomeKey", second);
    QTEST(int(changed.size()), "changes");
    engine.resetBeforeOpen();
}

void TestProcessEngineParameters::floatIsStoredWidened()
{
    CProcessEngine engine;
    QSignalSpy changed(&engine, &CProcessEngine::ceParamsChanged);
    engine.onCEPropertyFloatChanged(Keys::KeystoningScale, 0.1f);
    QCOMPARE(engine.parameters(false).GetValueForKey(Keys::KeystoningScale).AsDouble(), double(0.1f));
    engine.onCEPropertyFloatChanged(Keys::KeystoningScale, 0.1f);
    QCOMPARE(changed.size(), 1);
    // Each handler compares in its own type: 0.1 read as an int is 0.
    engine.onCEPropertyIntChanged(Keys::KeystoningScale, 0);
    QCOMPARE(changed.size(), 1);
    engine.onCEPropertyIntChanged(Keys::KeystoningScale, 1);
    QCOMPARE(changed.size(), 2);
    engine.resetBeforeOpen();
}

void TestProcessEngineParameters::dictionaryMerge()
{
    CProcessEngine engine;
    QSignalSpy changed(&engine, &CProcessEngine::ceParamsChanged);
    QVERIFY(!engine.addCEDictionaryParameters({}));
    QCOMPARE(changed.size(), 0);

    // Without an image: merged, rendered later, signalled, but false.
    const Navik::Dictionary crop = dictionaryFrom("{ CropActive = true, CropRatio = 2 }");
    QVERIFY(!engine.addCEDictionaryParameters(crop));
    QCOMPARE(changed.size(), 1);
    QCOMPARE(engine.parameters(false).GetValueForKey(Keys::CropRatio).AsInt(), 2);
    QVERIFY(!engine.addCEDictionaryParameters(crop));
    QCOMPARE(changed.size(), 1);

    QVERIFY(engine.openImage(imageInMemory(64, 48)));
    QVERIFY(engine.addCEDictionaryParameters(dictionaryFrom("{ CropActive = true, CropRatio = 3 }")));
    QCOMPARE(changed.size(), 2);
    QCOMPARE(engine.parameters(false).GetValueForKey(Keys::CropActive).AsBool(), true);
    engine.resetBeforeOpen();
}

void TestProcessEngineParameters::keystoningPoints()
{
    CProcessEngine engine;
    QSignalSpy changed(&engine, &CProcessEngine::ceParamsChanged);
    engine.setNormolizedKeystoningPointsOnOriginalImage(somePoints);
    QCOMPARE(changed.size(), 1);

    QVector<QPointF> nearlySame = somePoints;
    nearlySame[2] += QPointF(1e-13, -1e-13);
    engine.setNormolizedKeystoningPointsOnOriginalImage(nearlySame);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(engine.getNormolizedKeystoningPointsOnOriginalImage(), somePoints);

    // A point off the image is reported and kept.
    const QVector<QPointF> outside = {{1.2, 0.5}, {0.5, 0.5}};
    engine.setNormolizedKeystoningPointsOnOriginalImage(outside);
    QCOMPARE(changed.size(), 2);
    QCOMPARE(m_logger->linesAt('E').filter("ASSERT in ").size(), 1);
    QCOMPARE(engine.getNormolizedKeystoningPointsOnOriginalImage(), outside);
    engine.resetBeforeOpen();
}

void TestProcessEngineParameters::dependentKeys_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("absent");

    QTest::newRow("keystoning on gets its defaults")
        << "{ KeystoningActive = true, KeystoningMode = \"Parallel\", CropAuto = false }"
        << "{ KeystoningMode = \"Parallel\", CropAuto = false, KeystoningBlendingIntensity = 100.0,"
           " OutputImageMaxSize = 300.0, KeystoningKeepCenter = true, CropActive = false, CropRatio = -1,"
           " KeystoningPreviousHomographyBackward = { 1, 0, 0, 0, 1, 0, 0, 0, 1 } }"
        << QStringList();
    QTest::newRow("keystoning off gets nothing")
        << "{ KeystoningActive = false }" << "{}"
        << QStringList({"KeystoningBlendingIntensity", "KeystoningMode", "CropRatio"});
    QTest::newRow("cylindrical anamorphosis")
        << "{ AnamorphosisActive = true, AnamorphosisType = \"Cylindrical\" }"
        << "{ AnamorphosisType = \"Cylindrical\", DistortionKeepRatio = false }"
        << QStringList({"DistortionAnamorphosisKeepEntireImage"});
    QTest::newRow("spherical anamorphosis")
        << "{ AnamorphosisActive = true, AnamorphosisType = \"Spherical\" }"
        << "{ DistortionKeepRatio = false, DistortionAnamorphosisKeepEntireImage = true }" << QStringList();
    QTest::newRow("anamorphosis off")
        << "{ AnamorphosisActive = false, AnamorphosisType = \"Spherical\","
           " DistortionAnamorphosisKeepEntireImage = true }"
        << "{}" << QStringList({"AnamorphosisType", "DistortionAnamorphosisKeepEntireImage"});
    QTest::newRow("distortion of a type")
        << "{ DistortionActive = true, DistortionType = \"Auto\", DistortionKeepRatio = true }"
        << "{ DistortionKeepRatio = false, DistortionAnamorphosisKeepEntireImage = true }" << QStringList();
    QTest::newRow("distortion without a type")
        << "{ DistortionActive = true, DistortionType = \"\" }" << "{ DistortionKeepRatio = false }"
        << QStringList({"DistortionAnamorphosisKeepEntireImage"});
}

void TestProcessEngineParameters::dependentKeys()
{
    QFETCH(QString, given);
    QFETCH(QString, expected);
    QFETCH(QStringList, absent);
    CProcessEngine engine;
    QVERIFY(!engine.addCEDictionaryParameters(dictionaryFrom(given)));
    const Navik::Dictionary result = engine.parameters(false);
    const Navik::Dictionary expectedEntries = dictionaryFrom(expected);
    for (const auto& [key, value] : expectedEntries.Entries())
        QVERIFY2(result.GetValueForKey(key) == value, qPrintable(QString::fromStdString(key + " in " + result.StringRepr())));
    for (const QString& key : absent)
        QVERIFY2(!result.GetValueForKey(key.toStdString()).IsValid(), qPrintable(key));
    engine.resetBeforeOpen();
}

void TestProcessEngineParameters::clearResultParamsKeepsACompleteCrop_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<bool>("dropCrop");
    QTest::addColumn<int>("kept");
    QTest::newRow("both kept") << "{ CropRect = { 0.1, 0.1, 0.5, 0.5 }, CropAuto = false, CropRatio = 2 }" << false << 2;
    QTest::newRow("dropped") << "{ CropRect = { 0.1, 0.1, 0.5, 0.5 }, CropAuto = false }" << true << 0;
    QTest::newRow("rect alone is not kept") << "{ CropRect = { 0.1, 0.1, 0.5, 0.5 }, CropRatio = 2 }" << false << 0;
}

void TestProcessEngineParameters::clearResultParamsKeepsACompleteCrop()
{
    QFETCH(QString, given);
    QFETCH(bool, dropCrop);
    CProcessEngine engine;
    engine.addCEDictionaryParameters(dictionaryFrom(given));
    QSignalSpy changed(&engine, &CProcessEngine::ceParamsChanged);
    engine.clearResultParams(dropCrop);
    const Navik::Dictionary result = engine.parameters(false);
    QTEST(int(result.Count()), "kept");
    if (result.Count() > 0)
        QCOMPARE(result.GetValueForKey(Keys::CropAuto), Navik::Value(false));
    QCOMPARE(changed.size(), 0);
    engine.resetBeforeOpen();
}

void TestProcessEngineParameters::clearAllParams()
{
    CProcessEngine engine;
    engine.addCEDictionaryParameters(dictionaryFrom("{ CropActive = true }"));
    engine.setNormolizedKeystoningPointsOnOriginalImage(somePoints);
    engine.clearAllParams();
    QCOMPARE(engine.parameters(false).Count(), 0u);
    QCOMPARE(engine.parameters(true).Count(), 0u);
    QCOMPARE(engine.getNormolizedKeystoningPointsOnOriginalImage(), somePoints);
    engine.resetBeforeOpen();
}

void TestProcessEngineParameters::pictureChangedAndCorrectionsApplied()
{
    const Navik::Dictionary tilted = dictionaryFrom("{ KeystoningActive = true, KeystoningUpDown = 10.0 }");
    CProcessEngine engine;
    engine.addCEDictionaryParameters(tilted);
    QVERIFY(!engine.isPictureChanged()); // no image
    QVERIFY(engine.isAnyCorrectionApplyed(false));
    engine.resetBeforeOpen();

    QVERIFY(engine.openImage(imageInMemory(64, 48)));
    QVERIFY(!engine.isPictureChanged());
    QVERIFY(!engine.isAnyCorrectionApplyed(false));

    // Points back at a default set are no change, though they count as a correction.
    engine.setNormolizedKeystoningPointsOnOriginalImage(CProcessEngine::defaultKeystoningPointSets().at(5));
    QVERIFY(!engine.isPictureChanged());
    QVERIFY(!engine.isKeystoningPointsChanged());
    QVERIFY(engine.isAnyCorrectionApplyed(true));
    engine.setNormolizedKeystoningPointsOnOriginalImage(somePoints);
    QVERIFY(engine.isPictureChanged());
    QVERIFY(engine.isKeystoningPointsChanged());

    engine.setNormolizedKeystoningPointsOnOriginalImage({});
    QVERIFY(!engine.isPictureChanged());
    engine.addCEDictionaryParameters(tilted);
    QVERIFY(engine.isPictureChanged());
    engine.resetBeforeOpen();
}

void TestProcessEngineParameters::keystoningDictionary()
{
    CProcessEngine engine;
    const Navik::Dictionary given = dictionaryFrom(
        "{ KeystoningActive = true, KeystoningMode = \"Rectangle\", KeystoningPoints = { 0.5, 0.5 } }");

    // No points, or a default set: no keystoning points and no mode.
    QSize size(7, 7);
    for (const QVector<QPointF>& points : {QVector<QPointF>(), CProcessEngine::defaultKeystoningPointSets().at(0)}) {
        engine.setNormolizedKeystoningPointsOnOriginalImage(points);
        const Navik::Dictionary result = engine.getKeystoningDictionary(given, &size);
        QVERIFY(!result.GetValueForKey(Keys::KeystoningPoints).IsValid());
        QVERIFY(!result.GetValueForKey(Keys::KeystoningMode).IsValid());
        QCOMPARE(result.GetValueForKey(Keys::KeystoningActive), Navik::Value(true));
        QCOMPARE(size, QSize(7, 7));
    }

    // Without a lens stage the points go as stored and refer to the before image.
    engine.setNormolizedKeystoningPointsOnOriginalImage(somePoints);
    Navik::Dictionary result = engine.getKeystoningDictionary(given, &size);
    QCOMPARE(keystoningPointsOf(result), somePoints);
    QCOMPARE(result.GetValueForKey(Keys::KeystoningPoints).AsValueArray().Count(), 8u);
    QCOMPARE(result.GetValueForKey(Keys::KeystoningMode).AsString(), std::string("Rectangle"));
    QCOMPARE(size, QSize(-1, -1));
    QVERIFY(engine.updateCachedSize(true, QSize(640, 480)));
    engine.getKeystoningDictionary(given, &size);
    QCOMPARE(size, QSize(640, 480));
    result = engine.getKeystoningDictionary(given);
    QCOMPARE(keystoningPointsOf(result), somePoints);
    engine.resetBeforeOpen();
}

void TestProcessEngineParameters::orientationBeyondTheTable()
{
    QCOMPARE(rotationFromExifOrientation(9), RotationDirections::Rotation0);
    QCOMPARE(rotationFromExifOrientation(1000), RotationDirections::Rotation0);
    QCOMPARE(m_logger->linesAt('E').size(), 2);
    QCOMPARE(RotationDirections::normalized(-1), RotationDirections::Rotation270);
    QCOMPARE(RotationDirections::normalized(6), RotationDirections::Rotation180);
}

QTEST_MAIN(TestProcessEngineParameters)
#include "tst_processengineparameters.moc"
