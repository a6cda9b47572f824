// The engine's render requests beyond the previews: rotation, sizes,
// hi-res, loupe, snapshot and print pictures, and the histogram.

#include "EngineTestSupport.h"
#include "RecordingLogger.h"

#include "engine/CProcessEngine.h"
#include "engine/EngineParameterKeys.h"
#include "engine/ImageConversion.h"
#include "engine/PictureProcessEngineTasks.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace Keys = EngineParameterKeys;

namespace {

// The values of a signal spy's first argument, in order.
template <typename T>
QList<T> firstArguments(const QSignalSpy& spy)
{
    QList<T> values;
    for (const QList<QVariant>& call : spy)
        values << call.at(0).value<T>();
    return values;
}

QVariant outputRotation(const Navik::Dictionary& parameters)
{
    const Navik::Value rotation = parameters.GetValueForKey(Keys::OutputRotation);
    return rotation.IsValid() ? QVariant(rotation.AsInt()) : QVariant();
}

// The sum of one channel of a histogram: the pixels it counted.
unsigned int histogramCount(const Navik::Dictionary& output, const char* channel)
{
    const Navik::ValueArray counts =
        output.GetValueForKey("HistogramData").AsDictionary().GetValueForKey(channel).AsValueArray();
    unsigned int sum = 0;
    for (unsigned int i = 0; i < counts.Count(); ++i)
        sum += counts.GetValueAtIndex(i).AsUnsignedInt();
    return counts.Count() == 256 ? sum : 0;
}

} // namespace

class TestProcessEngineRequests : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void rotation_data();
    void rotation();
    void turnsKeepNoOldTargets();
    void sizes();
    void sizesFollowTheKeystoningPoints();
    void requestsNeedAPicture();
    void hiResRequestsPerViewAndSide();
    void loupeRectangles_data();
    void loupeRectangles();
    void snapshotScaleLevels_data();
    void snapshotScaleLevels();
    void snapshotPicture_data();
    void snapshotPicture();
    void printPicture_data();
    void printPicture();
    void histogram_data();
    void histogram();

private:
    RecordingLogger* m_logger = nullptr;
};

void TestProcessEngineRequests::initTestCase()
{
    m_logger = &RecordingLogger::install();
}

void TestProcessEngineRequests::init()
{
    m_logger->clear();
}

// ---------------------------------------------------------------- rotation

void TestProcessEngineRequests::rotation_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("relative");
    QTest::addColumn<int>("argument");
    QTest::addColumn<int>("rotation");
    QTest::addColumn<QList<int>>("steps");

    QTest::newRow("right from upright") << 0 << true << 1 << 1 << QList<int>({1});
    QTest::newRow("left from upright") << 0 << true << 3 << 3 << QList<int>({3});
    QTest::newRow("right from 3 wraps to 0") << 3 << true << 1 << 0 << QList<int>({1});
    QTest::newRow("back to upright from 1") << 1 << false << 0 << 0 << QList<int>({3});
    QTest::newRow("half turn") << 1 << false << 3 << 3 << QList<int>({2});
    QTest::newRow("to the current direction") << 2 << false << 2 << 2 << QList<int>();
}

void TestProcessEngineRequests::rotation()
{
    QFETCH(int, start);
    QFETCH(bool, relative);
    QFETCH(int, argument);
    QFETCH(int, rotation);
    QFETCH(QList<int>, steps);

    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(160, 120)));
    engine.rotateImageFromInitialState(RotationDirections::RotationDirectionsEnum(start));
    const QVector<QPointF> points = {{0.1, 0.1}, {0.1, 0.9}, {0.9, 0.9}, {0.9, 0.1}};
    engine.setNormolizedKeystoningPointsOnOriginalImage(points);
    QVERIFY(waitUntilEngineIdle(engine));

    QStringList signalOrder;
    QSignalSpy rotated(&engine, &CProcessEngine::rotationProcessed);
    QSignalSpy completed(&engine, &CProcessEngine::rotationCompleated);
    QSignalSpy started(&engine, &CProcessEngine::processingStarted);
    QSignalSpy afterSizes(&engine, &CProcessEngine::resultImageSizeChanged);
    QImage lastAfter;
    connect(&engine, &CProcessEngine::rotationProcessed, this, [&] { signalOrder << "rotationProcessed"; });
    connect(&engine, &CProcessEngine::initialImageSizeChanged, this, [&] { signalOrder << "initialImageSizeChanged"; });
    connect(&engine, &CProcessEngine::resultImageSizeChanged, this, [&] { signalOrder << "resultImageSizeChanged"; });
    connect(&engine, &CProcessEngine::loResResultImageProcessed, this,
            [&](PixelDataPtr pixels) { lastAfter = pixelDataToQImage(pixels).copy(); });

    const auto direction = RotationDirections::RotationDirectionsEnum(argument);
    if (relative)
        engine.rotateImageFromCurrentState(direction);
    else
        engine.rotateImageFromInitialState(direction);
    QVERIFY(waitUntilEngineIdle(engine));

    QCOMPARE(firstArguments<RotationDirections::RotationDirectionsEnum>(rotated).size(), steps.size());
    for (qsizetype i = 0; i < steps.size(); ++i)
        QCOMPARE(int(rotated.at(i).at(0).value<RotationDirections::RotationDirectionsEnum>()), steps.at(i));
    QCOMPARE(int(engine.getCurrentRotation()), rotation);
    const QVariant expectedKey = rotation == 0 ? QVariant() : QVariant(rotation);
    QCOMPARE(outputRotation(engine.parameters(true)), expectedKey);
    QCOMPARE(outputRotation(engine.parameters(false)), expectedKey);

    if (steps.isEmpty()) {
        // Nothing happened: the points stay and nothing rendered.
        QCOMPARE(engine.getNormolizedKeystoningPointsOnOriginalImage(), points);
        QVERIFY(started.isEmpty() && completed.isEmpty() && signalOrder.isEmpty());
        return;
    }

    // The points belonged to the old geometry.
    QVERIFY(engine.getNormolizedKeystoningPointsOnOriginalImage().isEmpty());
    // New sizes first, then the turn; the rotation task renders both sides and
    // completes, and the two previews queued with it do not render again.
    const QSize turned = rotation % 2 ? QSize(120, 160) : QSize(160, 120);
    QCOMPARE(signalOrder.mid(0, 3),
             QStringList({"initialImageSizeChanged", "resultImageSizeChanged", "rotationProcessed"}));
    QCOMPARE(afterSizes.at(0).at(0).toSize(), turned);
    QCOMPARE(engine.getCashedSizeOfProcessedResultImage(), turned);
    QCOMPARE(engine.getCashedSizeOfProcessedInitialImage(), turned);
    QCOMPARE(started.size(), 2);
    QCOMPARE(firstArguments<bool>(completed), QList<bool>({true}));

    // The after picture is the photograph turned clockwise `rotation` times.
    QCOMPARE(lastAfter.size(), turned);
    const QPoint at(20, 30);
    QPoint source = at;
    // Undo the turns, the last first: each maps (x, y) of a picture h high to (h - 1 - y, x).
    for (int turn = rotation - 1; turn >= 0; --turn)
        source = QPoint(source.y(), (turn % 2 ? 160 : 120) - 1 - source.x());
    QVERIFY2(colorsClose(lastAfter.pixelColor(at), patternColor(source.x(), source.y(), 160, 120)),
             qPrintable(QString("source %1,%2").arg(source.x()).arg(source.y())));
}

// ---------------------------------------------------------------- sizes

void TestProcessEngineRequests::turnsKeepNoOldTargets()
{
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(160, 120)));
    const auto turnMany = [this, &engine] {
        for (int i = 0; i < 400; ++i)
            engine.rotateImageFromCurrentState(RotationDirections::Rotation90);
        const bool idle = waitUntilEngineIdle(engine);
        // What the turns logged is not measured; the log keeps the room it
        // took, the same for each round.
        m_logger->clear();
        return idle;
    };
    QVERIFY(turnMany());

    // Each turn makes a size target and, when its previews ran, two preview
    // targets; the ones it replaces must go with it, not with the picture.
    const qint64 before = heapBytes();
    QVERIFY(turnMany());
    const qint64 grown = heapBytes() - before;
    QVERIFY2(grown < 16 * 1024, qPrintable(QString("%1 bytes kept by 400 turns").arg(grown)));
}

void TestProcessEngineRequests::sizes()
{
    CProcessEngine engine;
    QSignalSpy beforeSizes(&engine, &CProcessEngine::initialImageSizeChanged);
    QSignalSpy afterSizes(&engine, &CProcessEngine::resultImageSizeChanged);

    // No picture, no size.
    QCOMPARE(engine.getSizeOfProcessedInitialImage(), QSize(-1, -1));
    QCOMPARE(engine.getSizeOfProcessedResultImage(), QSize(-1, -1));
    QCOMPARE(engine.getCashedSizeOfProcessedResultImage(), QSize(-1, -1));
    engine.calculateImageSize();
    QCOMPARE(firstArguments<QSize>(beforeSizes), QList<QSize>({QSize(-1, -1)}));

    // The crop shrinks the after picture only; the cache follows calculateImageSize.
    QVERIFY(engine.openImage(imageInMemory(200, 100)));
    engine.onCEPropertyBoolChanged(Keys::CropActive, true);
    engine.onCEPropertyBoolChanged(Keys::CropAuto, false);
    engine.onCEPropertyValueArrayChanged(Keys::CropRect, Navik::ValueArray{0.0, 0.0, 0.5, 0.5});
    QCOMPARE(engine.getSizeOfProcessedInitialImage(), QSize(200, 100));
    QCOMPARE(engine.getSizeOfProcessedResultImage(), QSize(100, 50));
    QCOMPARE(engine.getCashedSizeOfProcessedResultImage(), QSize(-1, -1));
    beforeSizes.clear();
    afterSizes.clear();
    engine.calculateImageSize();
    QCOMPARE(firstArguments<QSize>(beforeSizes), QList<QSize>({QSize(200, 100)}));
    QCOMPARE(firstArguments<QSize>(afterSizes), QList<QSize>({QSize(100, 50)}));
    QCOMPARE(engine.getCashedSizeOfProcessedInitialImage(), QSize(200, 100));
    QCOMPARE(engine.getCashedSizeOfProcessedResultImage(), QSize(100, 50));
    QVERIFY(waitUntilEngineIdle(engine));
}

void TestProcessEngineRequests::sizesFollowTheKeystoningPoints()
{
    // Points that pull the top corners together: the corrected picture
    // grows well beyond the original.
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(200, 100)));
    engine.calculateImageSize();
    engine.onCEPropertyStringChanged(Keys::KeystoningMode, "Rectangle");
    engine.onCEPropertyBoolChanged(Keys::KeystoningActive, true);
    engine.setNormolizedKeystoningPointsOnOriginalImage({{0.3, 0.1}, {0.1, 0.9}, {0.9, 0.9}, {0.7, 0.1}});
    QVERIFY(waitUntilEngineIdle(engine));

    QSignalSpy previews(&engine, &CProcessEngine::loResResultImageProcessed);
    engine.forceProcessImage();
    QVERIFY(waitUntilEngineIdle(engine));
    QVERIFY(!previews.isEmpty());
    const QSize rendered = previews.last().at(1).toSize();
    QVERIFY2(rendered.width() > 200 || rendered.height() > 100, "the points should enlarge the picture");

    // The size asked of the engine is the size the render has.
    QCOMPARE(engine.getSizeOfProcessedResultImage(), rendered);
    engine.calculateImageSize();
    QCOMPARE(engine.getCashedSizeOfProcessedResultImage(), rendered);

    // A high-resolution request made now is of the current picture, not
    // dropped as outdated.
    QSignalSpy hiRes(&engine, &CProcessEngine::hiResResultImageProcessed);
    const QRect region(QPoint(0, 0), rendered / 2);
    engine.processHiResImage(false, "left", region);
    QVERIFY(waitUntilEngineIdle(engine));
    QCOMPARE(hiRes.size(), 1);
    QCOMPARE(hiRes.at(0).at(1).toRect(), region);
}

// ---------------------------------------------------------------- render requests

void TestProcessEngineRequests::requestsNeedAPicture()
{
    CProcessEngine engine;
    engine.processHiResImage(false, "view", QRect(0, 0, 10, 10));
    engine.processLoupeRect(false, QRect(0, 0, 10, 10));
    engine.processResultImageForPrinting(2.0, 1.0, "in", 100);
    engine.createImageForSnapshot(QString());
    engine.rotateImageFromCurrentState(RotationDirections::Rotation90);
    QVERIFY(!engine.hasTasksForProcessing());
    QCOMPARE(engine.getCurrentRotation(), RotationDirections::Rotation0);
    QVERIFY(engine.getOpenedFilePath().isEmpty());

    // An empty rectangle is reported, and still rendered for an open picture.
    QVERIFY(engine.openImage(imageInMemory(64, 48)));
    m_logger->clear();
    engine.processHiResImage(false, "view", QRect());
    QVERIFY(engine.hasTasksForProcessing());
    QVERIFY(m_logger->linesAt('E').value(0).startsWith("ASSERT in "));
    // Only named snapshots have pictures.
    QVERIFY(waitUntilEngineIdle(engine));
    engine.createImageForSnapshot("no such snapshot");
    QVERIFY(!engine.hasTasksForProcessing());
}

void TestProcessEngineRequests::hiResRequestsPerViewAndSide()
{
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(320, 240)));
    engine.forceProcessImage();
    QVERIFY(waitUntilEngineIdle(engine));

    QSignalSpy after(&engine, &CProcessEngine::hiResResultImageProcessed);
    QSignalSpy before(&engine, &CProcessEngine::hiResInitialImageProcessed);
    // A newer request of one view and side replaces the one waiting.
    engine.processHiResImage(false, "left", QRect(0, 0, 50, 50));
    engine.processHiResImage(false, "left", QRect(10, 10, 60, 40));
    engine.processHiResImage(false, "right", QRect(20, 20, 30, 30));
    engine.processHiResImage(true, "left", QRect(5, 5, 40, 40));
    QVERIFY(waitUntilEngineIdle(engine));

    QList<QRect> afterRects;
    for (const QList<QVariant>& call : after)
        afterRects << call.at(1).toRect();
    std::sort(afterRects.begin(), afterRects.end(), [](const QRect& a, const QRect& b) { return a.x() < b.x(); });
    QCOMPARE(afterRects, QList<QRect>({QRect(10, 10, 60, 40), QRect(20, 20, 30, 30)}));
    QCOMPARE(before.size(), 1);
    QCOMPARE(before.at(0).at(1).toRect(), QRect(5, 5, 40, 40));
}

void TestProcessEngineRequests::loupeRectangles_data()
{
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<bool>("rendered");

    // The picture is 320 x 240: a loupe shows less than all of it.
    QTest::newRow("small") << QRect(10, 10, 100, 100) << true;
    QTest::newRow("wider than high, within the picture") << QRect(0, 0, 300, 200) << true;
    QTest::newRow("as wide as the picture") << QRect(0, 0, 320, 100) << false;
    QTest::newRow("as high as the picture") << QRect(0, 0, 100, 240) << false;
}

void TestProcessEngineRequests::loupeRectangles()
{
    QFETCH(QRect, rect);
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(320, 240)));
    QSignalSpy loupe(&engine, &CProcessEngine::loupeResultImageProcessed);
    engine.processLoupeRect(false, rect);
    QVERIFY(waitUntilEngineIdle(engine));
    QTEST(loupe.size() == 1, "rendered");
}

// ---------------------------------------------------------------- snapshot and print pictures

void TestProcessEngineRequests::snapshotScaleLevels_data()
{
    QTest::addColumn<unsigned int>("longSide");
    QTest::addColumn<unsigned int>("level");

    QTest::newRow("6000: 750") << 6000u << 3u;
    QTest::newRow("4000: 500") << 4000u << 3u;
    QTest::newRow("3000: 750") << 3000u << 2u;
    QTest::newRow("1000: 500") << 1000u << 1u;
    QTest::newRow("996: a half would be 498") << 996u << 0u;
    QTest::newRow("600") << 600u << 0u;
    QTest::newRow("400") << 400u << 0u;
}

void TestProcessEngineRequests::snapshotScaleLevels()
{
    QFETCH(unsigned int, longSide);
    QTEST(CSnapshotProcessEngineTask::scaleLevelForLongSide(longSide), "level");
}

void TestProcessEngineRequests::snapshotPicture_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QSize>("picture");

    QTest::newRow("small pictures are scaled up") << QSize(400, 300) << QSize(500, 375);
    QTest::newRow("rendered at half size") << QSize(1000, 750) << QSize(500, 375);
    QTest::newRow("the scaled side is truncated") << QSize(750, 500) << QSize(500, 333);
}

void TestProcessEngineRequests::snapshotPicture()
{
    QFETCH(QSize, size);
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(size.width(), size.height())));
    // The picture of the uncorrected photograph, whatever the after image does.
    engine.onCEPropertyIntChanged(Keys::OutputRotation, 1);
    QVERIFY(waitUntilEngineIdle(engine));

    QSignalSpy created(&engine, &CProcessEngine::imageForSnapshotCreated);
    QSignalSpy started(&engine, &CProcessEngine::processingStarted);
    engine.createImageForSnapshot(QString());
    QVERIFY(waitUntilEngineIdle(engine));
    QCOMPARE(created.size(), 1);
    QVERIFY(started.isEmpty());
    QCOMPARE(created.at(0).at(0).toString(), QString());
    const QImage picture = created.at(0).at(1).value<QImage>();
    QTEST(picture.size(), "picture");
    const QPoint at(picture.width() / 4, picture.height() / 3);
    QVERIFY(colorsClose(picture.pixelColor(at),
                        patternColor(at.x() * size.width() / picture.width(), at.y() * size.height() / picture.height(),
                                     size.width(), size.height()),
                        16));

    // A name that is not a snapshot renders with no parameters, after a report.
    m_logger->clear();
    engine.queueTask(new CSnapshotProcessEngineTask(engine, "gone"));
    QVERIFY(waitUntilEngineIdle(engine));
    QCOMPARE(created.size(), 2);
    QCOMPARE(created.at(1).at(0).toString(), QString("gone"));
    QVERIFY(m_logger->linesAt('E').value(0).startsWith("ASSERT in "));
}

void TestProcessEngineRequests::printPicture_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<bool>("cropped");
    QTest::addColumn<QSizeF>("expected");

    // The 320 x 240 picture fitted into 200 x 100 pixels.
    QTest::newRow("inches") << "in" << 2.0 << 1.0 << false << QSizeF(320.0 * 100 / 240, 100);
    QTest::newRow("centimetres") << "cm" << 5.08 << 2.54 << false << QSizeF(320.0 * 100 / 240, 100);
    // The crop is printed even when it is switched off on screen.
    QTest::newRow("left half") << "in" << 2.0 << 1.0 << true << QSizeF(160.0 * 100 / 240, 100);
}

void TestProcessEngineRequests::printPicture()
{
    QFETCH(QString, unit);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(bool, cropped);
    QFETCH(QSizeF, expected);

    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(320, 240)));
    if (cropped) {
        engine.onCEPropertyBoolChanged(Keys::CropActive, false);
        engine.onCEPropertyBoolChanged(Keys::CropAuto, false);
        engine.onCEPropertyValueArrayChanged(Keys::CropRect, Navik::ValueArray{0.0, 0.0, 0.5, 1.0});
    }
    QSignalSpy printed(&engine, &CProcessEngine::printImageCreated);
    // Only the newer of two waiting requests is rendered.
    engine.processResultImageForPrinting(10.0, 10.0, "in", 300);
    engine.processResultImageForPrinting(width, height, unit, 100);
    QVERIFY(waitUntilEngineIdle(engine));
    QCOMPARE(printed.size(), 1);
    const QImage picture = printed.at(0).at(0).value<QImage>();
    QVERIFY2(std::abs(picture.width() - expected.width()) <= 1 && std::abs(picture.height() - expected.height()) <= 1,
             qPrintable(QString("%1 x %2").arg(picture.width()).arg(picture.height())));
    // Bicubic on a smooth pattern: the colours of the photograph.
    QVERIFY(colorsClose(picture.pixelColor(10, 50), patternColor(10 * 240 / 100, 50 * 240 / 100, 320, 240), 16));
}

// ---------------------------------------------------------------- histogram

void TestProcessEngineRequests::histogram_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<unsigned int>("counted");

    QTest::newRow("shorter side within 900: full size") << QSize(200, 100) << 200u * 100u;
    QTest::newRow("shorter side 1000: half size") << QSize(1000, 1802) << 500u * 901u;
}

void TestProcessEngineRequests::histogram()
{
    QFETCH(QSize, size);
    CProcessEngine engine;
    QVERIFY(engine.getHistogramData(false).Count() == 0);

    QImage uniform(size, QImage::Format_RGB888);
    uniform.fill(QColor(200, 100, 50));
    QVERIFY(engine.openImage(std::make_shared<CNavikImageProxy>(uniform, true, false)));
    for (const bool initial : {false, true}) {
        const Navik::Dictionary output = engine.getHistogramData(initial);
        QTEST(histogramCount(output, "Red"), "counted");
        QTEST(histogramCount(output, "Luminance"), "counted");
        const Navik::ValueArray red = output.GetValueForKey("HistogramData").AsDictionary().GetValueForKey("Red").AsValueArray();
        QTEST(red.GetValueAtIndex(200).AsUnsignedInt(), "counted");
    }
    // A turn drops the histogram target; the next question builds it again.
    engine.rotateImageFromCurrentState(RotationDirections::Rotation90);
    QVERIFY(waitUntilEngineIdle(engine));
    QVERIFY(histogramCount(engine.getHistogramData(false), "Green") > 0);
}

QTEST_MAIN(TestProcessEngineRequests)
#include "tst_processenginerequests.moc"
