// The crop rectangle through the engine: stored normalised to the unrotated
// image, read and written in the displayed frame.

#include "EngineStates.h"
#include "RecordingLogger.h"

#include "engine/CProcessEngine.h"
#include "engine/EngineParameterKeys.h"

#include <Navik/LuaSerializer.h>

#include <QSignalSpy>
#include <QTest>

namespace Keys = EngineParameterKeys;

namespace {

Navik::ValueArray arrayFrom(const QString& list)
{
    Navik::LuaSerializer serializer;
    const Navik::Value* value = serializer.Read("a", "a = " + list.toStdString());
    return value ? value->AsValueArray() : Navik::ValueArray();
}

QRectF rectFrom(const Navik::Value& value)
{
    const Navik::ValueArray& array = value.AsValueArray();
    return QRectF(array.GetValueAtIndex(0).AsDouble(), array.GetValueAtIndex(1).AsDouble(),
                  array.GetValueAtIndex(2).AsDouble(), array.GetValueAtIndex(3).AsDouble());
}

// An engine at `rotation` whose after parameters are `result`.
void restore(CProcessEngine& engine, const QString& result, int rotation)
{
    engine.deserialize(stateBytes(stateEntries(result, rotation)), false);
}

const QString storedCrop = "{ CropActive = true, CropRect = { 0.1, 0.2, 0.5, 0.4 } }";

} // namespace

class TestProcessEngineCrop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void turnedByTheRotation_data();
    void turnedByTheRotation();
    void malformedCropReadsAsTheWholeImage();
    void setCropParameters_data();
    void setCropParameters();
    void cropInEffect();

private:
    RecordingLogger* m_logger = nullptr;
};

void TestProcessEngineCrop::initTestCase()
{
    m_logger = &RecordingLogger::install();
}

void TestProcessEngineCrop::init()
{
    m_logger->clear();
}

void TestProcessEngineCrop::turnedByTheRotation_data()
{
    QTest::addColumn<int>("rotation");
    QTest::addColumn<QRectF>("displayed");

    // The stored crop (0.1, 0.2, 0.5, 0.4) seen at each rotation.
    QTest::newRow("0") << 0 << QRectF(0.1, 0.2, 0.5, 0.4);
    QTest::newRow("1") << 1 << QRectF(0.4, 0.1, 0.4, 0.5);
    QTest::newRow("2") << 2 << QRectF(0.4, 0.4, 0.5, 0.4);
    QTest::newRow("3") << 3 << QRectF(0.2, 0.4, 0.4, 0.5);
}

void TestProcessEngineCrop::turnedByTheRotation()
{
    QFETCH(int, rotation);
    QFETCH(QRectF, displayed);
    const QRectF stored(0.1, 0.2, 0.5, 0.4);
    QCOMPARE(CProcessEngine::rotateNormalizedRect(stored, rotation), displayed);
    QCOMPARE(CProcessEngine::rotateNormalizedRect(stored, rotation + 4), displayed);
    QCOMPARE(CProcessEngine::rotateNormalizedRect(stored, rotation - 4), displayed);
    QCOMPARE(CProcessEngine::rotateNormalizedRect(displayed, 4 - rotation), stored);

    CProcessEngine engine;
    restore(engine, storedCrop, rotation);
    QCOMPARE(engine.getCropRect(), displayed);
    QCOMPARE(engine.getCropParameters(), displayed);
    QCOMPARE(QRectF(engine.getCropLeft(), engine.getCropTop(), engine.getCropWidth(), engine.getCropHeight()),
             displayed);

    // Written back in the displayed frame: stored unturned, and nothing else happens.
    QSignalSpy changed(&engine, &CProcessEngine::ceParamsChanged);
    engine.setCropRect(QRectF(0.0, 0.0, 0.5, 0.25));
    QCOMPARE(rectFrom(engine.parameters(false).GetValueForKey(Keys::CropRect)),
             CProcessEngine::rotateNormalizedRect(QRectF(0.0, 0.0, 0.5, 0.25), 4 - rotation));
    engine.setCropRect(displayed);
    QCOMPARE(rectFrom(engine.parameters(false).GetValueForKey(Keys::CropRect)), stored);
    QCOMPARE(engine.getCropRect(), displayed);
    QVERIFY(!engine.hasTasksForProcessing());
    QCOMPARE(changed.size(), 0);
    QVERIFY(!engine.parameters(false).GetValueForKey(Keys::CropAuto).IsValid());
}

void TestProcessEngineCrop::malformedCropReadsAsTheWholeImage()
{
    for (const QString& result : {QString("{}"), QString("{ CropRect = { 0.1, 0.2, 0.5 } }"),
                                  QString("{ CropRect = { 0.1, 0.2, 0.5, 0.4, 0.0 } }")}) {
        CProcessEngine engine;
        restore(engine, result, 1);
        QCOMPARE(engine.getCropRect(), QRectF(0.0, 0.0, 1.0, 1.0));
        QCOMPARE(engine.getCropWidth(), 1.0);
    }
}

void TestProcessEngineCrop::setCropParameters_data()
{
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("rect");
    QTest::addColumn<bool>("renders");
    QTest::addColumn<QString>("expected"); // the crop keys afterwards
    QTest::addColumn<int>("assertions");

    const QString crop = "{ CropAuto = true, CropRect = { 0.1, 0.2, 0.5, 0.4 } }";
    QTest::newRow("whole image, none stored") << "{}" << "{ 0, 0, 1, 1 }" << false << "{}" << 0;
    QTest::newRow("whole image removes the crop") << crop << "{ 0.0, 0.0, 1.0, 1.0 }" << true << "{}" << 0;
    QTest::newRow("whole image, rect without auto")
        << "{ CropRect = { 0.1, 0.2, 0.5, 0.4 } }" << "{ 0, 0, 1, 1 }" << true << "{}" << 1;
    QTest::newRow("the stored rect") << crop << "{ 0.1, 0.2, 0.5, 0.4 }" << false << crop << 0;
    QTest::newRow("another rect") << crop << "{ 0.0, 0.0, 1.0, 0.5 }" << true
                                  << "{ CropAuto = false, CropRect = { 0.0, 0.0, 1.0, 0.5 } }" << 0;
    QTest::newRow("a first rect") << "{}" << "{ 0.25, 0.0, 0.5, 1.0 }" << true
                                  << "{ CropAuto = false, CropRect = { 0.25, 0.0, 0.5, 1.0 } }" << 0;
    QTest::newRow("NaN is not the whole image") << "{}" << "{ 0, 0, (0/0), 1 }" << true
                                                << "{ CropAuto = false, CropRect = { 0, 0, (0/0), 1 } }" << 0;
    QTest::newRow("three values are refused") << crop << "{ 0.1, 0.2, 0.5 }" << false << crop << 1;
    QTest::newRow("five values are refused") << "{}" << "{ 0, 0, 1, 1, 0 }" << false << "{}" << 1;
}

void TestProcessEngineCrop::setCropParameters()
{
    QFETCH(QString, result);
    QFETCH(QString, rect);
    CProcessEngine engine;
    restore(engine, result, 1); // the array is stored as given, unturned
    QSignalSpy changed(&engine, &CProcessEngine::ceParamsChanged);
    m_logger->clear();

    engine.setCropParameters(arrayFrom(rect));
    QTEST(engine.hasTasksForProcessing(), "renders");
    QCOMPARE(changed.size(), 0);
    QTEST(int(m_logger->linesAt('E').filter("ASSERT").size()), "assertions");
    // Compared as text, where NaN equals itself.
    Navik::Dictionary cropKeys;
    for (const char* key : {Keys::CropAuto, Keys::CropRect, Keys::CropActive})
        cropKeys.SetValueForKey(key, engine.parameters(false).GetValueForKey(key));
    QTEST(QString::fromStdString(cropKeys.StringRepr()), "expected");
    engine.resetBeforeOpen();
}

void TestProcessEngineCrop::cropInEffect()
{
    CProcessEngine engine;
    // Switched off: nothing, whatever is stored.
    restore(engine, "{ CropActive = false, CropRect = { 0.1, 0.2, 0.5, 0.4 } }", 1);
    QCOMPARE(engine.getCropParameters(), QRectF(0.0, 0.0, 0.0, 0.0));
    QCOMPARE(engine.getCropRect(), QRectF(0.4, 0.1, 0.4, 0.5));

    // Automatic: the rectangle the last render reported, turned; none before.
    restore(engine, "{ CropActive = true, CropAuto = true, CropRect = { 0.1, 0.2, 0.5, 0.4 } }", 1);
    QCOMPARE(engine.getCropParameters(), QRectF(0.0, 0.0, 0.0, 0.0));
    QCOMPARE(engine.getCropRectAuto(), QRectF(0.0, 0.0, 0.0, 0.0));
    Navik::Dictionary transformOut;
    transformOut.SetValueForKey(Keys::CropRectAuto, arrayFrom("{ 0.0, 0.25, 1.0, 0.5 }"));
    engine.setLastTransformOutParams(transformOut);
    QCOMPARE(engine.getCropParameters(), QRectF(0.25, 0.0, 0.5, 1.0));
    QCOMPARE(engine.getCropRectAuto(), QRectF(0.25, 0.0, 0.5, 1.0));
    QCOMPARE(engine.getCropRect(), QRectF(0.4, 0.1, 0.4, 0.5));
}

QTEST_MAIN(TestProcessEngineCrop)
#include "tst_processenginecrop.moc"
