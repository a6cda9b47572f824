// The engine's state for undo: its bytes, what a restore brings back, how it
// reads damaged bytes, and the two comparisons of states.

#include "EngineStates.h"
#include "EngineTestImages.h"
#include "RecordingLogger.h"

#include "engine/CProcessEngine.h"
#include "engine/EngineParameterKeys.h"
#include "engine/EngineStateFormat.h"
#include "engine/ExifRotation.h"

#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <limits>

namespace Keys = EngineParameterKeys;
using namespace EngineStateFormat;

namespace {

// Records what a restore asks of the engine instead of doing it.
class RecordingEngine : public CProcessEngine
{
public:
    void rotateImageFromInitialState(RotationDirections::RotationDirectionsEnum direction) override
    {
        calls << QString("rotate %1").arg(int(direction));
    }
    void forceProcessImage() override { calls << "force"; }
    QStringList calls;
};

// Pieces of a Qt 4.8 data stream, to spell out expected bytes.
QByteArray be32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray be64(double value)
{
    QByteArray bytes(8, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray utf16(const QString& text)
{
    QByteArray bytes = be32(quint32(text.size() * 2));
    for (const QChar c : text) {
        bytes.append(char(c.unicode() >> 8));
        bytes.append(char(c.unicode() & 0xFF));
    }
    return bytes;
}

const QByteArray notNull(1, '\0');

QByteArray intVariant(int value)
{
    return be32(2) + notNull + be32(quint32(value));
}

QByteArray stringVariant(const QString& text)
{
    return be32(10) + notNull + utf16(text);
}

// The entries in the order they stand in the stream.
QByteArray mapVariant(const QList<QPair<QString, QByteArray>>& entries)
{
    QByteArray bytes = be32(8) + notNull + be32(quint32(entries.size()));
    for (const auto& [key, value] : entries)
        bytes += utf16(key) + value;
    return bytes;
}

QVariant entry(const QByteArray& state, const QString& key)
{
    return readEngineState(state).entries.value(key);
}

Navik::Dictionary dictionaryFrom(const QString& table)
{
    Navik::LuaSerializer serializer;
    return readDictionary(serializer, "d = " + table, "d").value_or(Navik::Dictionary());
}

int assertionsLogged(RecordingLogger& logger)
{
    return int(logger.linesAt('E').filter("ASSERT").size());
}

const QVector<QPointF> twoPoints = {{0.25, 0.5}, {0.75, 0.125}};

// A state with every part set, for the comparisons to vary one part of.
QMap<QString, QVariant> fullEntries()
{
    return stateEntries("{ CropActive = true, CropRect = { 0.1, 0.2, 0.5, 0.4 } }", 1, 6,
                        "{ KeystoningActive = true }", {{"A", "{ CropActive = false }"}});
}

QMap<QString, QVariant> with(QMap<QString, QVariant> entries, const QString& key, const QVariant& value)
{
    if (value.isValid())
        entries.insert(key, value);
    else
        entries.remove(key);
    return entries;
}

} // namespace

class TestProcessEngineState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void bytes_data();
    void bytes();
    void restoreReplacesTheState();
    void restoreOfAnEmptyState();
    void damagedStates_data();
    void damagedStates();
    void everyCutOfAState();
    void rotationUnderAnotherOrientation_data();
    void rotationUnderAnotherOrientation();
    void restoredRotation_data();
    void restoredRotation();
    void comparisons_data();
    void comparisons();
    void unreadableDictionaryCountsAsEmpty();
    void pictureChangedSinceTheSave_data();
    void pictureChangedSinceTheSave();
    void dumpsAndTransformParameters();

private:
    // Opens a small photograph with the orientation tag `orientation`.
    bool openTagged(CProcessEngine& engine, unsigned int orientation);

    RecordingLogger* m_logger = nullptr;
    QTemporaryDir m_dir;
};

bool TestProcessEngineState::openTagged(CProcessEngine& engine, unsigned int orientation)
{
    const QString path = m_dir.filePath(QString("tag%1.jpg").arg(orientation));
    return (QFile::exists(path) || writePatternJpeg(path, 48, 40, orientation)) && engine.openFile(path);
}

void TestProcessEngineState::initTestCase()
{
    m_logger = &RecordingLogger::install();
    QVERIFY(m_dir.isValid());
}

void TestProcessEngineState::init()
{
    m_logger->clear();
}

void TestProcessEngineState::bytes_data()
{
    QTest::addColumn<QByteArray>("restored");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("fresh engine")
        << QByteArray()
        << be32(5) + utf16("snapshot") + mapVariant({}) + utf16("result") + stringVariant("result = {}\n") +
               utf16("initial") + stringVariant("initial = {}\n") + utf16("currentImageRotation") + intVariant(0) +
               utf16("CProcessEngineInitialImageCameraOrientation") + intVariant(0) + be32(0);

    // Keys and snapshot names from the greatest down; the points in order.
    QTest::newRow("every part set")
        << stateBytes(stateEntries("{ CropActive = true }", 2, 0, "{ OutputRotation = 2 }",
                                   {{"A", "{}"}, {"B", "{ CropRatio = 2 }"}}),
                      twoPoints)
        << be32(5) + utf16("snapshot") +
               mapVariant({{"B", stringVariant("name = {\n    CropRatio = 2,\n}\n")},
                           {"A", stringVariant("name = {}\n")}}) +
               utf16("result") + stringVariant("result = {\n    CropActive = true,\n}\n") + utf16("initial") +
               stringVariant("initial = {\n    OutputRotation = 2,\n}\n") + utf16("currentImageRotation") +
               intVariant(2) + utf16("CProcessEngineInitialImageCameraOrientation") + intVariant(0) + be32(2) +
               be64(0.25) + be64(0.5) + be64(0.75) + be64(0.125);
}

void TestProcessEngineState::bytes()
{
    QFETCH(QByteArray, restored);
    CProcessEngine engine;
    if (!restored.isEmpty())
        engine.deserialize(restored, false);
    const QByteArray state = engine.serialize();
    QTEST(state, "expected");
    // Undo compares stored states byte for byte.
    QCOMPARE(engine.serialize(), state);
    QCOMPARE(assertionsLogged(*m_logger), 0);
}

void TestProcessEngineState::restoreReplacesTheState()
{
    RecordingEngine engine;
    engine.onCEPropertyIntChanged(Keys::CropRatio, 3);
    engine.calls.clear();

    // The automatic lens correction is found again, in the after image only;
    // an unreadable snapshot is dropped.
    const QString automatic = "{ DistortionActive = true, DistortionType = \"Auto\", DistortionIntensity = 50.0 }";
    const QMap<QString, QString> snapshots = {{"good", "{ CropRatio = 1 }"}, {"broken", "{ CropRatio = "}};
    engine.deserialize(stateBytes(stateEntries(automatic, 0, 0, automatic, snapshots), twoPoints), false);
    QCOMPARE(engine.parameters(false), dictionaryFrom("{ DistortionActive = true }"));
    QCOMPARE(engine.parameters(true), dictionaryFrom(automatic));
    QCOMPARE(engine.getNormolizedKeystoningPointsOnOriginalImage(), twoPoints);
    QCOMPARE(entry(engine.serialize(), snapshotsKey).toMap().keys(), QStringList({"good"}));
    QVERIFY(engine.calls.isEmpty());

    // A type chosen by hand stays; an unreadable dictionary empties its side.
    const QString manual = "{ DistortionActive = true, DistortionType = \"Manual\", DistortionIntensity = 50.0 }";
    engine.deserialize(stateBytes(with(stateEntries(manual), initialKey, "initial = { broken"), {}), true);
    QCOMPARE(engine.parameters(false), dictionaryFrom(manual));
    QCOMPARE(engine.parameters(true).Count(), 0u);
    QVERIFY(engine.getNormolizedKeystoningPointsOnOriginalImage().isEmpty());
    QCOMPARE(entry(engine.serialize(), snapshotsKey).toMap().size(), 0);
    QCOMPARE(engine.calls, QStringList({"force"}));
    QCOMPARE(assertionsLogged(*m_logger), 1);

    // Without the dictionaries' keys, the dictionaries stay as they are.
    engine.deserialize(stateBytes(with(with(stateEntries(), initialKey, {}), resultKey, {})), false);
    QCOMPARE(engine.parameters(false), dictionaryFrom(manual));
}

void TestProcessEngineState::restoreOfAnEmptyState()
{
    RecordingEngine engine;
    engine.deserialize(stateBytes(stateEntries("{ CropRatio = 2 }", 3, 0, "{ CropRatio = 1 }", {{"A", "{}"}}),
                                  twoPoints),
                       false);
    m_logger->clear();

    // Dictionaries and rotation stay; snapshots and points go; the missing
    // snapshots and orientation are reported.
    for (const bool render : {false, true}) {
        engine.calls.clear();
        engine.deserialize(QByteArray(), render);
        QCOMPARE(engine.parameters(false), dictionaryFrom("{ CropRatio = 2 }"));
        QCOMPARE(engine.parameters(true), dictionaryFrom("{ CropRatio = 1 }"));
        QVERIFY(engine.getNormolizedKeystoningPointsOnOriginalImage().isEmpty());
        const QByteArray state = engine.serialize();
        QCOMPARE(entry(state, rotationKey).toInt(), 3);
        QCOMPARE(entry(state, snapshotsKey).toMap().size(), 0);
        QCOMPARE(engine.calls, render ? QStringList({"force"}) : QStringList());
    }
    QCOMPARE(m_logger->linesAt('E').filter("ASSERT_X in ").size(), 4);
}

void TestProcessEngineState::damagedStates_data()
{
    QTest::addColumn<QByteArray>("state");

    const QByteArray rotation = utf16("currentImageRotation") + intVariant(1);
    const QByteArray good = stateBytes(fullEntries(), twoPoints);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("cut inside the map") << good.left(good.size() / 2);
    QTest::newRow("more entries than bytes") << be32(0xFFFFFFFF) + rotation + be32(0);
    QTest::newRow("one entry too many") << be32(2) + rotation + be32(0);
    QTest::newRow("key longer than the bytes") << be32(1) + be32(0x7FFFFFFE) + rotation;
    QTest::newRow("key of an odd length") << be32(1) + be32(3) + QByteArray("abc") + intVariant(1);
    QTest::newRow("text longer than the bytes")
        << be32(1) + utf16("result") + be32(10) + notNull + be32(0xFFFFFFF0) + QByteArray(64, 'x');
    QTest::newRow("a list") << be32(1) + utf16("result") + be32(9) + notNull + be32(0x40000000) + be32(0);
    QTest::newRow("a type of its own") << be32(1) + utf16("result") + be32(127) + notNull + utf16("QImage");
    const QByteArray mapOfOneMap = be32(8) + notNull + be32(1) + utf16("n");
    QTest::newRow("maps nested beyond reason") << be32(1) + utf16("snapshot") + mapOfOneMap.repeated(50) + intVariant(1);
}

void TestProcessEngineState::damagedStates()
{
    QFETCH(QByteArray, state);
    // Read as a stream cut short inside the map: nothing at all.
    const EngineState read = readEngineState(state);
    QVERIFY(read.entries.isEmpty());
    QVERIFY(read.points.isEmpty());

    RecordingEngine engine;
    const QByteArray good = stateBytes(fullEntries(), twoPoints);
    engine.deserialize(good, false);
    engine.calls.clear();
    engine.deserialize(state, true);
    QCOMPARE(engine.parameters(false), dictionaryFrom("{ CropActive = true, CropRect = { 0.1, 0.2, 0.5, 0.4 } }"));
    QVERIFY(engine.getNormolizedKeystoningPointsOnOriginalImage().isEmpty());
    QCOMPARE(engine.calls, QStringList({"force"}));

    QVERIFY(engine.isImageProcessingNeeded(state, good));
    QVERIFY(engine.isImageProcessingNeeded(good, state));
    QVERIFY(engine.isImageProcessingNeeded(state, state));
    QVERIFY(!engine.isEqual(state, good));
    QVERIFY(engine.isEqual(state, state));
}

void TestProcessEngineState::everyCutOfAState()
{
    const QByteArray map = stateBytes(fullEntries()).chopped(4); // without its point count
    const QByteArray whole = stateBytes(fullEntries(), twoPoints);
    const QMap<QString, QVariant> entries = readEngineState(whole).entries;
    QCOMPARE(entries.size(), 5);
    QCOMPARE(readEngineState(whole).points, twoPoints);
    for (qsizetype size = 0; size < whole.size(); ++size) {
        const EngineState read = readEngineState(whole.left(size));
        // Points cut short are dropped; the map before them stays.
        const QMap<QString, QVariant> expected = size < map.size() ? QMap<QString, QVariant>() : entries;
        QCOMPARE(read.entries, expected);
        QVERIFY(read.points.isEmpty());
    }
    // Points that promise more than remains are dropped, without reserving them.
    const EngineState read = readEngineState(map + be32(0x7FFFFFFF) + be64(0.5) + be64(0.5));
    QCOMPARE(read.entries, entries);
    QVERIFY(read.points.isEmpty());
}

void TestProcessEngineState::rotationUnderAnotherOrientation_data()
{
    QTest::addColumn<int>("rotation");
    QTest::addColumn<int>("savedOrientation");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("expected"); // -1: none

    // A turn that only followed the saved photograph's tag follows the new one.
    QTest::newRow("no turn, untagged to 6") << 0 << 0 << 6 << 1;
    QTest::newRow("no turn, 1 to 3") << 0 << 1 << 3 << 2;
    QTest::newRow("turn of tag 6, to 8") << 1 << 6 << 8 << 3;
    QTest::newRow("turn of tag 3, to untagged") << 2 << 3 << 0 << 0;
    // Any other turn counts on top of the new tag's.
    QTest::newRow("turn 1 of untagged, to 6") << 1 << 0 << 6 << 2;
    QTest::newRow("turn 3 of tag 1, to 3") << 3 << 1 << 3 << 1;
    QTest::newRow("turn 2 of tag 6, to untagged") << 2 << 6 << 0 << 2;
    QTest::newRow("turn 4") << 4 << 0 << 6 << -1;
    QTest::newRow("turn -1") << -1 << 0 << 6 << -1;
}

void TestProcessEngineState::rotationUnderAnotherOrientation()
{
    QFETCH(int, rotation);
    QFETCH(int, savedOrientation);
    QFETCH(int, orientation);
    const auto turned = rotationUnderOtherOrientation(rotation, savedOrientation, orientation);
    QTEST(turned ? int(*turned) : -1, "expected");
}

void TestProcessEngineState::restoredRotation_data()
{
    QTest::addColumn<QVariantMap>("entries");
    QTest::addColumn<bool>("render");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<int>("rotation"); // of the engine afterwards
    QTest::addColumn<int>("assertions");

    // The engine's photograph carries tag 6, which turned it once when it opened.
    QTest::newRow("same photograph") << stateEntries("{}", 3, 6) << false << QStringList() << 3 << 0;
    QTest::newRow("same photograph, rendered") << stateEntries("{}", 3, 6) << true << QStringList({"force"}) << 3 << 0;
    QTest::newRow("untagged, no turn")
        << stateEntries("{}", 0, 0) << true << QStringList({"rotate 1", "force"}) << 0 << 0;
    QTest::newRow("untagged, turned twice") << stateEntries("{}", 2, 0) << false << QStringList({"rotate 3"}) << 0 << 0;
    QTest::newRow("no orientation") << with(stateEntries("{}", 2), orientationKey, {}) << false
                                    << QStringList({"rotate 3"}) << 0 << 1;
    QTest::newRow("no rotation") << with(stateEntries("{}", 2, 0), rotationKey, {}) << false << QStringList() << 0
                                 << 0;
    QTest::newRow("turn out of range, same photograph") << stateEntries("{}", 5, 6) << false << QStringList() << 0 << 1;
    QTest::newRow("turn out of range, another photograph")
        << stateEntries("{}", -7, 0) << false << QStringList({"rotate 0"}) << 0 << 1;
}

void TestProcessEngineState::restoredRotation()
{
    QFETCH(QVariantMap, entries);
    QFETCH(bool, render);
    RecordingEngine engine;
    QVERIFY(openTagged(engine, 6));
    QCOMPARE(engine.calls, QStringList({"rotate 1"}));
    engine.calls.clear();
    m_logger->clear();

    engine.deserialize(stateBytes(entries), render);
    QTEST(engine.calls, "calls");
    QTEST(entry(engine.serialize(), rotationKey).toInt(), "rotation");
    QTEST(assertionsLogged(*m_logger), "assertions");
    QCOMPARE(entry(engine.serialize(), orientationKey).toInt(), 6);
}

void TestProcessEngineState::comparisons_data()
{
    QTest::addColumn<QByteArray>("other");
    QTest::addColumn<bool>("equal");  // same before and after parameters
    QTest::addColumn<bool>("needed"); // the after image renders differently

    const QMap<QString, QVariant> full = fullEntries();
    const auto movedBy = [](double distance) {
        QVector<QPointF> points = twoPoints;
        points.first() += QPointF(0.0, distance);
        return points;
    };
    QTest::newRow("same") << stateBytes(full, twoPoints) << true << false;
    QTest::newRow("point moved by 1e-13") << stateBytes(full, movedBy(1e-13)) << true << false;
    QTest::newRow("point moved by 1e-11") << stateBytes(full, movedBy(1e-11)) << true << true;
    QTest::newRow("point at NaN") << stateBytes(full, movedBy(std::numeric_limits<double>::quiet_NaN())) << true
                                  << true;
    QTest::newRow("one point fewer") << stateBytes(full, twoPoints.first(1)) << true << true;
    QTest::newRow("other rotation") << stateBytes(with(full, rotationKey, 0), twoPoints) << true << true;
    QTest::newRow("other orientation") << stateBytes(with(full, orientationKey, 3), twoPoints) << true << false;
    QTest::newRow("other snapshots") << stateBytes(with(full, snapshotsKey, QVariantMap()), twoPoints) << true
                                     << false;
    QTest::newRow("the same dictionary written otherwise")
        << stateBytes(with(full, initialKey, "initial = { KeystoningActive = true }"), twoPoints) << true << false;
    QTest::newRow("other initial") << stateBytes(with(full, initialKey, "initial = {}"), twoPoints) << false << false;
    QTest::newRow("other result") << stateBytes(with(full, resultKey, "result = {}"), twoPoints) << false << true;
    QTest::newRow("no initial") << stateBytes(with(full, initialKey, {}), twoPoints) << false << true;
    QTest::newRow("no result") << stateBytes(with(full, resultKey, {}), twoPoints) << false << true;
    QTest::newRow("no rotation") << stateBytes(with(full, rotationKey, {}), twoPoints) << true << true;
    QTest::newRow("empty") << QByteArray() << false << true;
}

void TestProcessEngineState::comparisons()
{
    QFETCH(QByteArray, other);
    CProcessEngine engine;
    const QByteArray state = stateBytes(fullEntries(), twoPoints);
    // The order of the two states never matters.
    QTEST(engine.isEqual(state, other), "equal");
    QTEST(engine.isEqual(other, state), "equal");
    QTEST(engine.isImageProcessingNeeded(state, other), "needed");
    QTEST(engine.isImageProcessingNeeded(other, state), "needed");
    QCOMPARE(assertionsLogged(*m_logger), 0);
}

void TestProcessEngineState::unreadableDictionaryCountsAsEmpty()
{
    CProcessEngine engine;
    const QByteArray unreadable =
        stateBytes(with(with(fullEntries(), resultKey, "result = {"), initialKey, "initial = ]"), twoPoints);
    const QByteArray empty =
        stateBytes(with(with(fullEntries(), resultKey, "result = {}"), initialKey, "initial = {}"), twoPoints);
    QVERIFY(!engine.isImageProcessingNeeded(unreadable, empty));
    QCOMPARE(assertionsLogged(*m_logger), 1);
    QVERIFY(engine.isEqual(unreadable, empty));
    QCOMPARE(assertionsLogged(*m_logger), 3);
}

void TestProcessEngineState::pictureChangedSinceTheSave_data()
{
    QTest::addColumn<unsigned int>("orientation");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<bool>("changed");

    // A turn that only follows the photograph's own tag is no change.
    QTest::newRow("tag 6, turned once") << 6u << 1 << false;
    QTest::newRow("tag 8, turned three times") << 8u << 3 << false;
    QTest::newRow("tag 3, turned once") << 3u << 1 << true;
    QTest::newRow("untagged, turned once") << 0u << 1 << true;
}

void TestProcessEngineState::pictureChangedSinceTheSave()
{
    QFETCH(unsigned int, orientation);
    QFETCH(int, rotation);
    RecordingEngine engine;
    QVERIFY(openTagged(engine, orientation));
    QVERIFY(!engine.isPictureChanged());

    engine.deserialize(stateBytes(stateEntries("{}", rotation, int(orientation))), false);
    engine.processImage(); // brings "OutputRotation" in line
    QCOMPARE(engine.parameters(false).GetValueForKey(Keys::OutputRotation).AsInt(), rotation);
    QTEST(engine.isPictureChanged(), "changed");

    engine.onCEPropertyFloatChanged(Keys::KeystoningUpDown, 10.0f);
    engine.setNormolizedKeystoningPointsOnOriginalImage(twoPoints);
    QVERIFY(engine.isPictureChanged());
    engine.setCurrentDictionaryAsSaveDictionary();
    QVERIFY(!engine.isPictureChanged());
    QVERIFY(!engine.isKeystoningPointsChanged());
    engine.resetBeforeOpen();
}

void TestProcessEngineState::dumpsAndTransformParameters()
{
    CProcessEngine engine;
    engine.deserialize(stateBytes(stateEntries("{ OutputICCProfile = \"sRGB\", OutputRotation = 1 }", 0, 0,
                                               "{ OutputICCProfile = \"sRGB\" }")),
                       false);
    // Without what is at its default.
    QCOMPARE(engine.getAfterDictionary(), QString("dictionary = {\n    OutputRotation = 1,\n}\n"));
    QCOMPARE(engine.getBeforeDictionary(), QString("dictionary = {}\n"));

    // The parameters as they stand, not as the last render took them.
    QCOMPARE(engine.getLastTransformInParams(), engine.parameters(false));
    engine.onCEPropertyIntChanged(Keys::CropRatio, 2);
    QCOMPARE(engine.getLastTransformInParams().GetValueForKey(Keys::CropRatio).AsInt(), 2);
    QCOMPARE(engine.getLastTransformOutParams().Count(), 0u);
    engine.setLastTransformOutParams(dictionaryFrom("{ CropRectAuto = { 0, 0, 1, 1 } }"));
    QCOMPARE(engine.getLastTransformOutParams(), dictionaryFrom("{ CropRectAuto = { 0, 0, 1, 1 } }"));
    engine.resetBeforeOpen();
}

QTEST_MAIN(TestProcessEngineState)
#include "tst_processenginestate.moc"
