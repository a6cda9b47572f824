// The engine object, render scheduling, the preview tasks and opening images,
// through the real thread pool, timer and correction engine.

#include "EngineStates.h"
#include "EngineTestSupport.h"
#include "RecordingLogger.h"
#include "TestFiles.h"
#include "UnprivilegedScope.h"

#include "engine/CProcessEngine.h"
#include "engine/ExifRotation.h"
#include "engine/EngineParameterKeys.h"
#include "engine/ImageConversion.h"
#include "engine/PreviewProcessEngineTasks.h"

#include <QRegularExpression>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>

namespace Keys = EngineParameterKeys;

namespace {

// What the engine emitted, in order, one line per signal with its sizes.
class SignalRecorder : public QObject
{
public:
    explicit SignalRecorder(CProcessEngine& engine) : m_engine(engine)
    {
        record(&CProcessEngine::processingStarted, "processingStarted");
        record(&CProcessEngine::processingFinished, "processingFinished");
        record(&CProcessEngine::transformOutParamsChanged, "transformOutParamsChanged");
        record(&CProcessEngine::trasformOutParamsSignalWasSent, "trasformOutParamsSignalWasSent");
        connect(&engine, &CProcessEngine::processingError, this,
                [this](int code) { lines << QString("processingError %1").arg(code); });
        connect(&engine, &CProcessEngine::rotationCompleated, this,
                [this](bool success) { lines << QString("rotationCompleated %1").arg(success); });
        connect(&engine, &CProcessEngine::initialImageSizeChanged, this,
                [this](QSize size) { lines << "initialImageSizeChanged " + text(size); });
        connect(&engine, &CProcessEngine::resultImageSizeChanged, this,
                [this](QSize size) { lines << "resultImageSizeChanged " + text(size); });
        connect(&engine, &CProcessEngine::loResInitialImageProcessed, this, [this](PixelDataPtr pixels, QSize size) {
            lines << "loResInitialImageProcessed " + text(pixels) + " " + text(size);
        });
        connect(&engine, &CProcessEngine::loResResultImageProcessed, this, [this](PixelDataPtr pixels, QSize size) {
            lastResult = pixelDataToQImage(pixels).copy();
            lines << "loResResultImageProcessed " + text(pixels) + " " + text(size);
        });
        connect(&engine, &CProcessEngine::hiResResultImageProcessed, this,
                [this](PixelDataPtr pixels, QRect rect, QSize size) {
                    lastResult = pixelDataToQImage(pixels).copy();
                    lines << "hiResResultImageProcessed " + text(pixels) + " " + text(rect) + " " + text(size);
                });
        connect(&engine, &CProcessEngine::loupeResultImageProcessed, this, [this](PixelDataPtr pixels, QRect rect) {
            lines << "loupeResultImageProcessed " + text(pixels) + " " + text(rect);
        });
    }

    bool waitUntilIdle() { return waitUntilEngineIdle(m_engine); }

    // At most one render at a time: no start before the previous finish.
    bool rendersNeverOverlap() const
    {
        int running = 0;
        for (const QString& line : lines) {
            running += line == "processingStarted" ? 1 : line == "processingFinished" ? -1 : 0;
            if (running > 1 || running < 0)
                return false;
        }
        return running == 0;
    }

    QStringList lines;
    QImage lastResult;

private:
    template <typename Signal>
    void record(Signal signal, const QString& name)
    {
        connect(&m_engine, signal, this, [this, name] { lines << name; });
    }

    static QString text(QSize size) { return QString("%1x%2").arg(size.width()).arg(size.height()); }
    static QString text(QRect rect) { return QString("(%1,%2 %3)").arg(rect.x()).arg(rect.y()).arg(text(rect.size())); }
    static QString text(const PixelDataPtr& pixels)
    {
        return pixels ? QString("[%1x%2]").arg(pixels->GetWidth()).arg(pixels->GetHeight()) : "[null]";
    }

    CProcessEngine& m_engine;
};

// Records the turns that opening asks for instead of turning.
class RotationRecordingEngine : public CProcessEngine
{
public:
    void rotateImageFromInitialState(RotationDirections::RotationDirectionsEnum direction) override
    {
        rotations << int(direction);
    }
    QList<int> rotations;
};

// An after preview whose points the user moves onto one line right after the
// render took them. It notes the points it checked and those it rendered
// with; the engine's signals at the end of the run hand them to the main
// thread.
class PointsMovedDuringRenderTask : public CLoResProcessEngineTask
{
public:
    PointsMovedDuringRenderTask(CProcessEngine& engine, QVector<QPointF> movedPoints, Navik::Value* checkedPoints,
                                Navik::Value* renderedPoints)
        : CLoResProcessEngineTask(engine, false, false),
          m_movedPoints(std::move(movedPoints)),
          m_checkedPoints(checkedPoints),
          m_renderedPoints(renderedPoints)
    {
    }

protected:
    Navik::Dictionary keystoningDictionary(const Navik::Dictionary& dictionary, QSize* outputSize) override
    {
        const Navik::Dictionary keystoning = CLoResProcessEngineTask::keystoningDictionary(dictionary, outputSize);
        if (!m_checkedPoints->IsValid()) {
            *m_checkedPoints = keystoning.GetValueForKey(Keys::KeystoningPoints);
            runOnEngineThread([this] { m_engine.setNormolizedKeystoningPointsOnOriginalImage(m_movedPoints); });
        }
        return keystoning;
    }
    Navik::Target* createOrUpdateTarget(const Navik::Dictionary& dictionary) override
    {
        // The first target is the render's; the transform-out values after it
        // follow the points as they are by then.
        if (!m_renderedPoints->IsValid())
            *m_renderedPoints = dictionary.GetValueForKey(Keys::KeystoningPoints);
        return CLoResProcessEngineTask::createOrUpdateTarget(dictionary);
    }

private:
    QVector<QPointF> m_movedPoints;
    Navik::Value* m_checkedPoints;
    Navik::Value* m_renderedPoints;
};

} // namespace

class TestProcessEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void freshEngine();
    void taskIdsAndPriorities_data();
    void taskIdsAndPriorities();
    void previewsOfBothSidesInOrder();
    void burstOfChangesRendersOnce();
    void tasksWaitForAnImage();
    void lowestPriorityRunsFirst();
    void changesWhileRendering();
    void hiResRegion_data();
    void hiResRegion();
    void hiResRegionOutsideOrOutdatedDeliversNothing();
    void loupeIsSilent();
    void rotationRendersBothSidesAndCompletes();
    void failedPreviewReportsError();
    void renderUsesThePointsItChecked();
    void destroyingTheEngineWhileARenderRuns();
    void renderWithoutAnImageFails();

    void openRefusesSmallImages_data();
    void openRefusesSmallImages();
    void openReportsUnreadableFiles_data();
    void openReportsUnreadableFiles();
    void openTurnsByTheOrientationTag_data();
    void openTurnsByTheOrientationTag();
    void turnedPictureRendersEachSideOnce();
    void fixtureRendersAtThePreviewScale();
    void failedOpenKeepsThePreviousPicture();
    void resetForgetsThePicture();
    void resetWhileARenderDelivers();
    void synchronousWaitsWhileARenderDelivers_data();
    void synchronousWaitsWhileARenderDelivers();
    void synchronousWaitsInAResultSlotAreRefused();
    void clearingTheQueueFromAResultSlot_data();
    void clearingTheQueueFromAResultSlot();
    void openWithoutResetRendersTheNewImage();
    void poolWorkOnTheMainThreadWhileARenderDelivers();

private:
    QTemporaryDir m_dir;
    RecordingLogger* m_logger = nullptr;
    TestZoom m_zoom;
};

void TestProcessEngine::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_logger = &RecordingLogger::install();
}

void TestProcessEngine::init()
{
    m_logger->clear();
    m_zoom.set(100);
}

void TestProcessEngine::freshEngine()
{
    CProcessEngine engine;
    QVERIFY(!engine.isPictureLoaded());
    QCOMPARE(engine.cachedSize(true), QSize(-1, -1));
    QCOMPARE(engine.cachedSize(false), QSize(-1, -1));
    IProcessEngine* interface = &engine;
    QCOMPARE(interface->getQObject(), static_cast<QObject*>(&engine));
    QCOMPARE(interface->id(), QString("ProcessEngine"));

    QList<qsizetype> sizes;
    for (const QVector<QPointF>& set : CProcessEngine::defaultKeystoningPointSets())
        sizes << set.size();
    QCOMPARE(sizes, QList<qsizetype>({4, 4, 4, 4, 4, 8, 8}));

    // Declared for the scene to connect to, never emitted.
    QSignalSpy result(&engine, SIGNAL(removeResultHiResRect()));
    QSignalSpy initial(&engine, SIGNAL(removeInitialHiResRect()));
    QVERIFY(result.isValid() && initial.isValid());
    QVERIFY(!engine.processImage());
}

void TestProcessEngine::taskIdsAndPriorities_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("initial");
    QTest::addColumn<bool>("flag");
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("priority");

    QTest::newRow("lo-res after") << 0 << false << false << "LoResTaskId0" << 600;
    QTest::newRow("lo-res before") << 0 << true << false << "LoResTaskId1" << 601;
    QTest::newRow("urgent lo-res after") << 0 << false << true << "LoResTaskId0" << 400;
    QTest::newRow("urgent lo-res before") << 0 << true << true << "LoResTaskId1" << 401;
    QTest::newRow("hi-res after") << 1 << false << false << "HiResTaskIdleft0" << 500;
    QTest::newRow("hi-res before") << 1 << true << false << "HiResTaskIdleft1" << 500;
    QTest::newRow("loupe after") << 2 << false << false << "LoupeTaskId" << 600;
    QTest::newRow("loupe before") << 2 << true << false << "LoupeTaskId" << 600;
    QTest::newRow("rotation") << 3 << false << false << "RotationTaskId" << 200;
}

void TestProcessEngine::taskIdsAndPriorities()
{
    QFETCH(int, kind);
    QFETCH(bool, initial);
    QFETCH(bool, flag);
    CProcessEngine engine;
    std::unique_ptr<CBaseProcessEngineTask> task;
    switch (kind) {
    case 0: task = std::make_unique<CLoResProcessEngineTask>(engine, initial, flag); break;
    case 1: task = std::make_unique<CHiResProcessEngineTask>(engine, initial, QRect(0, 0, 8, 8), "left", true); break;
    case 2: task = std::make_unique<CLoupeProcessEngineTask>(engine, initial, QRect(0, 0, 8, 8)); break;
    default:
        task = std::make_unique<CRotationProcessEngineTask>(engine, RotationDirections::Rotation90,
                                                            RotationDirections::Rotation90);
    }
    QTEST(task->taskId(), "id");
    QTEST(task->priority(), "priority");
    // Every request carries the display's profile; offscreen there is none.
    QCOMPARE(engine.parameters(true).GetValueForKey(Keys::OutputICCProfile).AsString(), std::string("sRGB"));
    QCOMPARE(engine.parameters(false).GetValueForKey(Keys::OutputICCProfile).AsString(), std::string("sRGB"));
}

void TestProcessEngine::previewsOfBothSidesInOrder()
{
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(320, 240)));
    SignalRecorder recorder(engine);
    engine.forceProcessImage();
    QVERIFY(recorder.waitUntilIdle());

    QCOMPARE(recorder.lines, QStringList({
                                 "processingStarted",
                                 "resultImageSizeChanged 320x240",
                                 "loResResultImageProcessed [320x240] 320x240",
                                 "transformOutParamsChanged",
                                 "trasformOutParamsSignalWasSent",
                                 "processingFinished",
                                 "processingStarted",
                                 "initialImageSizeChanged 320x240",
                                 "loResInitialImageProcessed [320x240] 320x240",
                                 "processingFinished",
                             }));
    // Without corrections the after image is the photograph.
    for (const QPoint& at : {QPoint(10, 10), QPoint(300, 200), QPoint(160, 120)})
        QVERIFY2(colorsClose(recorder.lastResult.pixelColor(at), patternColor(at.x(), at.y(), 320, 240)),
                 qPrintable(QString("at %1,%2").arg(at.x()).arg(at.y())));
    // The shot that found the queue empty.
    QCOMPARE(engine.parameters(false).GetValueForKey(Keys::KeystoningKeepOriginalSize), Navik::Value(false));

    // Sizes are announced only when they change.
    recorder.lines.clear();
    engine.processLoResResultImage();
    QVERIFY(recorder.waitUntilIdle());
    QCOMPARE(recorder.lines.filter("SizeChanged"), QStringList());
    QCOMPARE(recorder.lines.filter("loResResultImageProcessed").size(), 1);
}

void TestProcessEngine::burstOfChangesRendersOnce()
{
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(200, 150)));
    SignalRecorder recorder(engine);
    QSignalSpy changes(&engine, &CProcessEngine::ceParamsChanged);
    for (int i = 0; i < 10; ++i) {
        engine.onCEPropertyFloatChanged("KeystoningUpDown", float(i));
        QTest::qWait(50);
    }
    QCOMPARE(changes.size(), 10);
    QVERIFY(recorder.waitUntilIdle());
    QCOMPARE(recorder.lines.filter("processingStarted").size(), 1);
    QCOMPARE(recorder.lines.filter("loResResultImageProcessed").size(), 1);
}

void TestProcessEngine::tasksWaitForAnImage()
{
    CProcessEngine engine;
    SignalRecorder recorder(engine);
    engine.processLoResInitialImage();
    QVERIFY(!engine.hasTasksForProcessing());

    // Queued without an image, they run once one is open and the timer restarts.
    engine.forceProcessImage();
    QVERIFY(engine.hasTasksForProcessing());
    QTest::qWait(300);
    QVERIFY(recorder.lines.isEmpty());
    QVERIFY(engine.openImage(imageInMemory(64, 48)));
    QVERIFY(engine.processImage());
    QVERIFY(recorder.waitUntilIdle());
    QCOMPARE(recorder.lines.filter("loRes").size(), 2);
}

void TestProcessEngine::lowestPriorityRunsFirst()
{
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(200, 150)));
    SignalRecorder recorder(engine);
    bool activeDuringRender = false;
    connect(&engine, &CProcessEngine::processingStarted, this,
            [&] { activeDuringRender = engine.isProcessingActive() && engine.hasTasksForProcessing(); });

    engine.queueTask(new CLoResProcessEngineTask(engine, true, false));  // 601
    engine.queueTask(new CLoResProcessEngineTask(engine, false, false)); // 600
    engine.queueTask(new CLoupeProcessEngineTask(engine, false, QRect(0, 0, 20, 10)));
    engine.queueTask(new CLoResProcessEngineTask(engine, false, true)); // 400, replaces the 600
    QVERIFY(recorder.waitUntilIdle());

    QStringList results;
    for (const QString& line : recorder.lines)
        if (line.contains("Processed"))
            results << line.section(' ', 0, 0);
    QCOMPARE(results, QStringList({"loResResultImageProcessed", "loupeResultImageProcessed", "loResInitialImageProcessed"}));
    QVERIFY(recorder.rendersNeverOverlap());
    QVERIFY(activeDuringRender);
}

void TestProcessEngine::changesWhileRendering()
{
    // A user dragging a handle: parameters and points change on the main
    // thread while renders read them on the pool.
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(1200, 900)));
    SignalRecorder recorder(engine);
    // The points are checked against the size of the before image.
    engine.processLoResInitialImage();
    QVERIFY(recorder.waitUntilIdle());
    engine.onCEPropertyBoolChanged(Keys::KeystoningActive, true);
    engine.onCEPropertyStringChanged(Keys::KeystoningMode, "Rectangle");
    int step = 0;
    connect(&engine, &CProcessEngine::processingStarted, this, [&] {
        // Each render start brings the next change, in the middle of the render.
        QTimer::singleShot(1, this, [&engine, &step] {
            ++step;
            const double shift = 0.01 * step;
            engine.onCEPropertyFloatChanged(Keys::KeystoningBlendingIntensity, float(50 + step));
            engine.setNormolizedKeystoningPointsOnOriginalImage(
                {{0.1 + shift, 0.1}, {0.9, 0.1 + shift}, {0.9 - shift, 0.9}, {0.1, 0.9 - shift}});
        });
    });
    QVERIFY(QTest::qWaitFor([&] { return step >= 6; }, renderTimeout * 2));
    disconnect(&engine, &CProcessEngine::processingStarted, this, nullptr);
    QVERIFY(recorder.waitUntilIdle());
    QVERIFY(recorder.rendersNeverOverlap());
    QVERIFY(recorder.lines.filter("processingError").isEmpty());
    // The last render saw the last change.
    QCOMPARE(recorder.lines.last(), QString("processingFinished"));
    QVERIFY(recorder.lines.filter("loResResultImageProcessed").size() >= 6);
}

void TestProcessEngine::hiResRegion_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QString>("expected");

    QTest::newRow("full resolution") << 100 << QRect(10, 20, 100, 50)
                                     << "hiResResultImageProcessed [100x50] (10,20 100x50) 100x50";
    QTest::newRow("74 % is level 1") << 74 << QRect(10, 20, 100, 50)
                                     << "hiResResultImageProcessed [50x25] (10,20 100x50) 100x50";
    QTest::newRow("20 % is level 2, truncated") << 20 << QRect(10, 20, 100, 50)
                                                << "hiResResultImageProcessed [25x12] (10,20 100x50) 100x50";
    QTest::newRow("clipped to the output") << 100 << QRect(300, 200, 100, 100)
                                           << "hiResResultImageProcessed [20x40] (300,200 100x100) 20x40";
    QTest::newRow("odd region at level 1") << 50 << QRect(101, 51, 201, 101)
                                           << "hiResResultImageProcessed [100x50] (101,51 201x101) 201x101";
}

void TestProcessEngine::hiResRegion()
{
    QFETCH(int, zoom);
    QFETCH(QRect, rect);
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(320, 240)));
    SignalRecorder recorder(engine);
    engine.processLoResResultImage();
    QVERIFY(recorder.waitUntilIdle());

    // The level is the zoom's when the request is made, not when it runs.
    m_zoom.set(zoom);
    engine.queueTask(new CHiResProcessEngineTask(engine, false, rect, "view", true));
    m_zoom.set(100);
    recorder.lines.clear();
    QVERIFY(recorder.waitUntilIdle());
    QTEST(recorder.lines.filter("hiRes").value(0), "expected");
    if (zoom == 100) {
        const QPoint inRegion(5, 5);
        QVERIFY(colorsClose(recorder.lastResult.pixelColor(inRegion),
                            patternColor(rect.x() + 5, rect.y() + 5, 320, 240)));
    }
}

void TestProcessEngine::hiResRegionOutsideOrOutdatedDeliversNothing()
{
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(320, 240)));
    SignalRecorder recorder(engine);
    // Before any lo-res delivery the size the views know is not the output's.
    engine.queueTask(new CHiResProcessEngineTask(engine, false, QRect(0, 0, 50, 50), "view", true));
    QVERIFY(recorder.waitUntilIdle());
    QCOMPARE(recorder.lines, QStringList({"processingStarted", "processingFinished"}));

    engine.processLoResResultImage();
    QVERIFY(recorder.waitUntilIdle());
    recorder.lines.clear();
    engine.queueTask(new CHiResProcessEngineTask(engine, false, QRect(400, 300, 50, 50), "view", true));
    QVERIFY(recorder.waitUntilIdle());
    QCOMPARE(recorder.lines, QStringList({"processingStarted", "processingFinished"}));
}

void TestProcessEngine::loupeIsSilent()
{
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(320, 240)));
    SignalRecorder recorder(engine);
    // Each loupe render makes a target of its own and removes it again.
    for (int i = 0; i < 3; ++i) {
        engine.queueTask(new CLoupeProcessEngineTask(engine, false, QRect(10 * i, 10, 40, 30)));
        QVERIFY(recorder.waitUntilIdle());
    }
    QCOMPARE(recorder.lines, QStringList({"loupeResultImageProcessed [40x30] (0,10 40x30)",
                                          "loupeResultImageProcessed [40x30] (10,10 40x30)",
                                          "loupeResultImageProcessed [40x30] (20,10 40x30)"}));
}

void TestProcessEngine::rotationRendersBothSidesAndCompletes()
{
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(160, 120)));
    SignalRecorder recorder(engine);
    engine.queueTask(new CRotationProcessEngineTask(engine, RotationDirections::Rotation90,
                                                    RotationDirections::Rotation90));
    QVERIFY(QTest::qWaitFor([&] { return !recorder.lines.filter("rotationCompleated").isEmpty(); }, renderTimeout));
    QVERIFY(recorder.waitUntilIdle());
    QCOMPARE(recorder.lines.filter("processingStarted").size(), 2);
    QCOMPARE(recorder.lines.filter("rotationCompleated"), QStringList({"rotationCompleated 1"}));
    QVERIFY(recorder.lines.indexOf("rotationCompleated 1") >
            recorder.lines.indexOf(QRegularExpression("^loResResultImageProcessed")));
    QVERIFY(recorder.rendersNeverOverlap());
}

void TestProcessEngine::failedPreviewReportsError()
{
    // Four points on one line: the keystoning cannot be computed.
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(160, 120)));
    engine.onCEPropertyStringChanged(Keys::KeystoningMode, "Rectangle");
    engine.onCEPropertyBoolChanged(Keys::KeystoningActive, true);
    engine.setNormolizedKeystoningPointsOnOriginalImage({{0.1, 0.1}, {0.2, 0.2}, {0.3, 0.3}, {0.4, 0.4}});
    SignalRecorder recorder(engine);
    QVERIFY(recorder.waitUntilIdle());
    QCOMPARE(recorder.lines, QStringList({"processingStarted", "processingError 0", "processingFinished"}));

    // A rotation completes whatever its previews did.
    recorder.lines.clear();
    engine.queueTask(new CRotationProcessEngineTask(engine, RotationDirections::Rotation180,
                                                    RotationDirections::Rotation180));
    QVERIFY(QTest::qWaitFor([&] { return !recorder.lines.filter("rotationCompleated").isEmpty(); }, renderTimeout));
    QVERIFY(recorder.waitUntilIdle());
    QCOMPARE(recorder.lines.filter("rotationCompleated"), QStringList({"rotationCompleated 1"}));
    QCOMPARE(recorder.lines.filter("processingError").size(), 1);
}

void TestProcessEngine::renderUsesThePointsItChecked()
{
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(160, 120)));
    // The points are checked against the size of the before image.
    engine.calculateImageSize();
    engine.onCEPropertyStringChanged(Keys::KeystoningMode, "Rectangle");
    engine.onCEPropertyBoolChanged(Keys::KeystoningActive, true);
    engine.setNormolizedKeystoningPointsOnOriginalImage({{0.1, 0.1}, {0.15, 0.85}, {0.85, 0.9}, {0.9, 0.15}});
    QVERIFY(waitUntilEngineIdle(engine));

    SignalRecorder recorder(engine);
    Navik::Value checked;
    Navik::Value rendered;
    engine.queueTask(new PointsMovedDuringRenderTask(engine, {{0.1, 0.1}, {0.2, 0.2}, {0.3, 0.3}, {0.4, 0.4}},
                                                     &checked, &rendered));
    QVERIFY(recorder.waitUntilIdle());

    // The move queued a render of its own, which fails on the points in line.
    QVERIFY(checked.IsValid());
    QCOMPARE(rendered, checked);
    const QStringList firstRun = recorder.lines.mid(0, recorder.lines.indexOf("processingFinished"));
    QCOMPARE(firstRun.filter("loResResultImageProcessed").size(), 1);
    QVERIFY(firstRun.filter("processingError").isEmpty());
}

void TestProcessEngine::destroyingTheEngineWhileARenderRuns()
{
    auto* engine = new CProcessEngine;
    QVERIFY(engine->openImage(imageInMemory(640, 480)));
    int started = 0;
    connect(engine, &CProcessEngine::processingStarted, this, [&] { ++started; });
    engine->forceProcessImage();
    QVERIFY(QTest::qWaitFor([&] { return started == 1; }, renderTimeout));
    // The after preview is running; the before preview waits in the queue.
    delete engine;
    QCOMPARE(QThreadPool::globalInstance()->activeThreadCount(), 0);
    QTest::qWait(300);
    QCOMPARE(started, 1);
}

void TestProcessEngine::renderWithoutAnImageFails()
{
    // The scheduler starts nothing without an image; a task started anyway
    // reports the failure instead of rendering.
    CProcessEngine engine;
    SignalRecorder recorder(engine);
    QThreadPool::globalInstance()->start(new CLoResProcessEngineTask(engine, false, false));
    QVERIFY(recorder.waitUntilIdle());
    QCOMPARE(recorder.lines, QStringList({"processingStarted", "processingError 0", "processingFinished"}));
    QVERIFY(m_logger->linesAt('E').value(0).startsWith("ASSERT in "));
}

// ---------------------------------------------------------------- opening

void TestProcessEngine::openRefusesSmallImages_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("32 x 32") << QSize(32, 32) << true;
    QTest::newRow("31 x 4000") << QSize(31, 4000) << false;
    QTest::newRow("4000 x 31") << QSize(4000, 31) << false;
}

void TestProcessEngine::openRefusesSmallImages()
{
    QFETCH(QSize, size);
    QFETCH(bool, accepted);
    const QString path = m_dir.filePath(QString("small-%1x%2.jpg").arg(size.width()).arg(size.height()));
    QVERIFY(writePatternJpeg(path, size.width(), size.height()));

    CProcessEngine engine;
    QSignalSpy completed(&engine, &CProcessEngine::fileOpenCompleated);
    QCOMPARE(engine.openFile(path), accepted);
    QCOMPARE(engine.isPictureLoaded(), accepted);
    QCOMPARE(completed.size(), 1);
    QCOMPARE(completed.at(0).at(0).toBool(), accepted);
    const QString refusal = "Trying to open a file with the size less than 32 pixels";
    QCOMPARE(m_logger->linesAt('D').contains(refusal), !accepted);

    // An image in memory is refused silently.
    m_logger->clear();
    CProcessEngine other;
    QSignalSpy otherCompleted(&other, &CProcessEngine::fileOpenCompleated);
    QCOMPARE(other.openImage(imageInMemory(size.width(), size.height())), accepted);
    QCOMPARE(otherCompleted.size(), 1);
    if (!accepted)
        QVERIFY(m_logger->allLines().isEmpty());
    QVERIFY(!other.openImage(nullptr));
}

void TestProcessEngine::openReportsUnreadableFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<FileFailure>("failure");

    QTest::newRow("not really a JPEG") << "garbage.jpg" << FileFailure::Damaged;
    QTest::newRow("missing") << "missing.jpg" << FileFailure::NotFound;
    QTest::newRow("empty") << "empty.jpg" << FileFailure::EmptyFile;
    QTest::newRow("a folder") << "folder.jpg" << FileFailure::NotAFile;
    QTest::newRow("a JPEG without read permission") << "unreadable.jpg" << FileFailure::NoPermission;
}

void TestProcessEngine::openReportsUnreadableFiles()
{
    QFETCH(QString, name);
    QFETCH(FileFailure, failure);

    // A folder that anyone may enter, so that only the file's own mode counts.
    QTemporaryDir folder;
    QVERIFY(QFile::setPermissions(
        folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
    const QString path = folder.filePath(name);
    if (name == "garbage.jpg")
        QVERIFY(writeFile(path, QByteArrayLiteral("\xff\xd8\xff\xe0 not really a JPEG")));
    else if (name == "empty.jpg")
        QVERIFY(writeFile(path, QByteArray()));
    else if (name == "folder.jpg")
        QVERIFY(QDir().mkpath(path));
    else if (name == "unreadable.jpg")
        QVERIFY(QImage(64, 48, QImage::Format_RGB888).save(path) && QFile::setPermissions(path, {}));

    m_logger->clear();
    CProcessEngine engine;
    QSignalSpy completed(&engine, &CProcessEngine::fileOpenCompleated);
    {
        UnprivilegedScope unprivileged;
        if (!unprivileged.isUnprivileged())
            QSKIP("the superuser could not act as an ordinary user");
        QVERIFY(!engine.openFile(path));
    }
    QCOMPARE(completed.size(), 1);
    QVERIFY(!completed.at(0).at(0).toBool());
    QVERIFY(m_logger->linesAt('E').value(0).startsWith("ASSERT in "));
    QVERIFY2(m_logger->linesAt('D').filter("Error: processing failed: ").size() == 1,
             qPrintable(m_logger->allLines().join('\n')));
    // The reason for the log, and its cause for the message that the open failed.
    QVERIFY(!engine.getLastOpenError().isEmpty());
    QVERIFY(m_logger->linesAt('D').filter("Error: processing failed: ").first().endsWith(engine.getLastOpenError()));
    if (name == "missing.jpg")
        QVERIFY2(engine.getLastOpenError().contains(std::strerror(ENOENT)), qPrintable(engine.getLastOpenError()));
    QCOMPARE(engine.getLastOpenFailure(), failure);
}

void TestProcessEngine::openTurnsByTheOrientationTag_data()
{
    QTest::addColumn<unsigned int>("orientation");
    QTest::addColumn<QList<int>>("rotations");
    QTest::newRow("no tag") << 0u << QList<int>();
    QTest::newRow("1") << 1u << QList<int>();
    QTest::newRow("2 mirrored") << 2u << QList<int>();
    QTest::newRow("3") << 3u << QList<int>({2});
    QTest::newRow("4 mirrored") << 4u << QList<int>({2});
    QTest::newRow("5 mirrored") << 5u << QList<int>({1});
    QTest::newRow("6") << 6u << QList<int>({1});
    QTest::newRow("7 mirrored") << 7u << QList<int>({3});
    QTest::newRow("8") << 8u << QList<int>({3});
}

void TestProcessEngine::openTurnsByTheOrientationTag()
{
    QFETCH(unsigned int, orientation);
    const QString path = m_dir.filePath(QString("oriented-%1.jpg").arg(orientation));
    QVERIFY(writePatternJpeg(path, 48, 40, orientation));

    RotationRecordingEngine engine;
    QVERIFY(engine.openFile(path));
    QTEST(engine.rotations, "rotations");
    QCOMPARE(int(rotationFromExifOrientation(orientation)), engine.rotations.value(0, 0));

    // An image in memory keeps the engine's rotation as it is.
    RotationRecordingEngine memory;
    Navik::ImageStatus status;
    NavikImagePtr proxy = std::make_shared<CNavikImageProxy>(
        Navik::LoadFullImage(QFile::encodeName(path).toStdString(), Navik::kFileFormatUnknown, {}, &status, nullptr),
        true, false, QString());
    QVERIFY(memory.openImage(proxy));
    QVERIFY(memory.rotations.isEmpty());
}

void TestProcessEngine::turnedPictureRendersEachSideOnce()
{
    const QString path = m_dir.filePath("turned-once.jpg");
    QVERIFY(writePatternJpeg(path, 48, 40, 6));
    CProcessEngine engine;
    SignalRecorder recorder(engine);
    QVERIFY(engine.openFile(path));
    // The first previews, as the main window asks for them after an open:
    // the turn renders both sides, and they need no second render.
    engine.forceProcessImage();
    QVERIFY(recorder.waitUntilIdle());
    QCOMPARE(recorder.lines.filter("loResInitialImageProcessed"),
             QStringList({"loResInitialImageProcessed [40x48] 40x48"}));
    QCOMPARE(recorder.lines.filter("loResResultImageProcessed"),
             QStringList({"loResResultImageProcessed [40x48] 40x48"}));
    QCOMPARE(recorder.lines.filter("processingStarted").size(), 2);
    QCOMPARE(recorder.lines.filter("rotationCompleated"), QStringList({"rotationCompleated 1"}));

    // A preview asked for while the turn renders is not the turn's: it runs.
    recorder.lines.clear();
    engine.rotateImageFromCurrentState(RotationDirections::Rotation90);
    bool asked = false;
    connect(&engine, &CProcessEngine::processingStarted, this, [&] {
        if (!std::exchange(asked, true))
            engine.processLoResResultImage();
    });
    QVERIFY(recorder.waitUntilIdle());
    QCOMPARE(recorder.lines.filter("loResInitialImageProcessed").size(), 1);
    QCOMPARE(recorder.lines.filter("loResResultImageProcessed").size(), 2);
    QVERIFY(recorder.rendersNeverOverlap());
}

void TestProcessEngine::fixtureRendersAtThePreviewScale()
{
    const QString path = QStringLiteral(QUILLET_FIXTURES_DIR "/photo12-orient6.jpg");
    if (!QFile::exists(path))
        QSKIP("The shared photographs are not there");
    RotationRecordingEngine engine;
    QVERIFY(engine.openFile(path));
    QCOMPARE(engine.rotations, QList<int>({1}));

    // 4000 x 3000 previews at level 1.
    SignalRecorder recorder(engine);
    engine.processLoResResultImage();
    QVERIFY(recorder.waitUntilIdle());
    QCOMPARE(recorder.lines.filter("loResResultImageProcessed"),
             QStringList({"loResResultImageProcessed [2000x1500] 4000x3000"}));
}

void TestProcessEngine::failedOpenKeepsThePreviousPicture()
{
    const QString path = m_dir.filePath("keep.jpg");
    QVERIFY(writePatternJpeg(path, 64, 48));
    CProcessEngine engine;
    QVERIFY(engine.openFile(path));
    QVERIFY(!engine.openFile(m_dir.filePath("missing.jpg")));
    QVERIFY(engine.isPictureLoaded());
}

void TestProcessEngine::resetForgetsThePicture()
{
    CProcessEngine engine;
    NavikImagePtr picture = imageInMemory(64, 48);
    const Navik::RefPtr<Navik::Image> pixels(picture->image());
    QVERIFY(engine.openImage(picture));
    picture.reset();
    SignalRecorder recorder(engine);
    engine.onCEPropertyIntChanged(Keys::CropRatio, 2);
    engine.setNormolizedKeystoningPointsOnOriginalImage({{0.1, 0.1}, {0.9, 0.1}, {0.9, 0.9}, {0.1, 0.9}});
    QVERIFY(recorder.waitUntilIdle());
    QVERIFY(engine.cachedSize(false).isValid());

    for (int i = 0; i < 2; ++i) {
        engine.resetBeforeOpen();
        QVERIFY(!engine.isPictureLoaded());
        QCOMPARE(engine.parameters(false).Count(), 0u);
        QCOMPARE(engine.parameters(true).Count(), 0u);
        QVERIFY(engine.getNormolizedKeystoningPointsOnOriginalImage().isEmpty());
        QCOMPARE(engine.cachedSize(false), QSize(-1, -1));
        QCOMPARE(engine.previewTarget(false), nullptr);
        QVERIFY(!engine.hasTasksForProcessing());
        // Nothing of the engine holds the closed picture any more.
        QVERIFY(!engine.agent());
        QCOMPARE(pixels->GetRetainCount(), 1);
    }
}

void TestProcessEngine::resetWhileARenderDelivers()
{
    // The picture is closed from a queued call while its turn's last render
    // still hands its results over. The reset waits for that render, which
    // waits for the main thread: it must get its results delivered, and the
    // turn's completion, sent on the render's way out, must come before the
    // reset returns, never to the next picture.
    for (int attempt = 0; attempt < 5; ++attempt) {
        CProcessEngine engine;
        QVERIFY(engine.openImage(imageInMemory(320, 240)));
        bool closing = false;
        bool closed = false;
        int late = 0;
        connect(&engine, &CProcessEngine::rotationCompleated, &engine, [&] { late += closed; });
        connect(&engine, &CProcessEngine::loResResultImageProcessed, &engine, [&] {
            if (std::exchange(closing, true))
                return;
            QTimer::singleShot(0, &engine, [&] {
                engine.resetBeforeOpen();
                closed = true;
            });
        });
        engine.rotateImageFromCurrentState(RotationDirections::Rotation90);
        QTRY_VERIFY_WITH_TIMEOUT(closed, renderTimeout);
        QTest::qWait(50);
        QCOMPARE(late, 0);
    }
}

void TestProcessEngine::synchronousWaitsWhileARenderDelivers_data()
{
    QTest::addColumn<bool>("hostRender");
    QTest::newRow("synchronous save") << false;
    QTest::newRow("host render") << true;
}

void TestProcessEngine::synchronousWaitsWhileARenderDelivers()
{
    // A synchronous save or host render is asked for from a queued call
    // while a turn's renders still hand their results over, one after the
    // other: the wait must deliver them, or the render waits for the main
    // thread and the main thread for the render.
    QFETCH(bool, hostRender);
    for (int attempt = 0; attempt < 5; ++attempt) {
        CProcessEngine engine;
        QVERIFY(engine.openImage(imageInMemory(320, 240)));
        bool asked = false;
        bool done = false;
        bool succeeded = false;
        connect(&engine, &CProcessEngine::initialImageSizeChanged, &engine, [&] {
            if (std::exchange(asked, true))
                return;
            QTimer::singleShot(0, &engine, [&] {
                if (hostRender)
                    succeeded = engine.processOpenedImageForPS() != nullptr;
                else
                    succeeded = engine.saveOpenedFileSync(m_dir.filePath("waits.jpg"), 80, false, true,
                                                          Navik::kFileFormatJPEG);
                done = true;
            });
        });
        engine.rotateImageFromCurrentState(RotationDirections::Rotation90);
        QTRY_VERIFY_WITH_TIMEOUT(done, renderTimeout);
        QVERIFY(succeeded);
        QVERIFY(waitUntilEngineIdle(engine));
    }
}

void TestProcessEngine::synchronousWaitsInAResultSlotAreRefused()
{
    // The render that delivers waits for the slot, so no other render could
    // start: the synchronous calls say no at once instead of waiting for ever.
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(320, 240)));
    bool asked = false;
    bool saved = true;
    PixelDataPtr hostPixels;
    connect(&engine, &CProcessEngine::loResResultImageProcessed, &engine, [&] {
        if (std::exchange(asked, true))
            return;
        saved = engine.saveOpenedFileSync(m_dir.filePath("in-slot.jpg"), 80, false, true, Navik::kFileFormatJPEG);
        hostPixels = engine.processOpenedImageForPS();
    });
    engine.processLoResResultImage();
    QTRY_VERIFY_WITH_TIMEOUT(asked, renderTimeout);
    QVERIFY(!saved);
    QVERIFY(!hostPixels);
    QVERIFY(waitUntilEngineIdle(engine));
    // Outside a delivery they work.
    QVERIFY(engine.saveOpenedFileSync(m_dir.filePath("outside.jpg"), 80, false, true, Navik::kFileFormatJPEG));
}

void TestProcessEngine::clearingTheQueueFromAResultSlot_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QString>("delivery");
    for (const char* operation : {"reset", "open", "turn", "restore turned"}) {
        for (const char* delivery : {"started", "size", "result", "finished", "save answer"})
            QTest::addRow("%s from %s", operation, delivery) << operation << delivery;
    }
}

void TestProcessEngine::clearingTheQueueFromAResultSlot()
{
    // The slot runs while the render that delivers waits for it: an
    // operation that empties the queue must not wait for that render.
    QFETCH(QString, operation);
    QFETCH(QString, delivery);
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(320, 240)));
    QVERIFY(waitUntilEngineIdle(engine));

    const QString anotherPicture = m_dir.filePath("another.jpg");
    QVERIFY(QImage(200, 160, QImage::Format_RGB888).save(anotherPicture, "JPG"));
    int started = 0;
    int finished = 0;
    int saveAnswers = 0;
    connect(&engine, &CProcessEngine::processingStarted, &engine, [&] { ++started; });
    connect(&engine, &CProcessEngine::processingFinished, &engine, [&] { ++finished; });
    connect(&engine, &CProcessEngine::fileSaveCompleated, &engine, [&] { ++saveAnswers; });
    bool cleared = false;
    const auto clearTheQueue = [&] {
        if (std::exchange(cleared, true))
            return;
        if (operation == "reset")
            engine.resetBeforeOpen();
        else if (operation == "open")
            QVERIFY(engine.openFile(anotherPicture));
        else if (operation == "turn")
            engine.rotateImageFromCurrentState(RotationDirections::Rotation90);
        else
            engine.deserialize(stateBytes(stateEntries("{}", 3)), true);
    };
    if (delivery == "started")
        connect(&engine, &CProcessEngine::processingStarted, &engine, clearTheQueue);
    else if (delivery == "size")
        connect(&engine, &CProcessEngine::resultImageSizeChanged, &engine, clearTheQueue);
    else if (delivery == "result")
        connect(&engine, &CProcessEngine::loResResultImageProcessed, &engine, clearTheQueue);
    else if (delivery == "finished")
        connect(&engine, &CProcessEngine::processingFinished, &engine, clearTheQueue);
    else
        connect(&engine, &CProcessEngine::fileSaveCompleated, &engine, clearTheQueue);

    if (delivery == "save answer" || delivery == "started") {
        engine.saveOpenedFile(m_dir.filePath("cleared.jpg"), 80, false, true, Navik::kFileFormatJPEG);
    } else {
        // A size the views do not know yet: the preview announces it.
        engine.onCEPropertyBoolChanged(Keys::CropActive, true);
        engine.onCEPropertyBoolChanged(Keys::CropAuto, false);
        engine.onCEPropertyValueArrayChanged(Keys::CropRect, Navik::ValueArray{0.0, 0.0, 0.5, 0.5});
    }
    QTRY_VERIFY_WITH_TIMEOUT(cleared, renderTimeout);
    QVERIFY(waitUntilEngineIdle(engine));
    QTRY_COMPARE_WITH_TIMEOUT(finished, started, renderTimeout);
    // A save answers once, whether it ran or was cancelled.
    if (delivery == "save answer" || delivery == "started")
        QCOMPARE(saveAnswers, 1);

    // The engine goes on working with what the operation left.
    if (operation == "reset") {
        QVERIFY(!engine.isPictureLoaded());
        return;
    }
    QCOMPARE(engine.getOriginalImageSize(), operation == "open" ? QSize(200, 160) : QSize(320, 240));
    QCOMPARE(engine.getCurrentRotation(), operation == "turn"             ? RotationDirections::Rotation90
                                          : operation == "restore turned" ? RotationDirections::Rotation270
                                                                          : RotationDirections::Rotation0);
    QSignalSpy previews(&engine, &CProcessEngine::loResResultImageProcessed);
    engine.forceProcessImage();
    QVERIFY(waitUntilEngineIdle(engine));
    QVERIFY(!previews.isEmpty());
    QCOMPARE(previews.last().at(1).toSize(), engine.getSizeOfProcessedResultImage());
}

void TestProcessEngine::openWithoutResetRendersTheNewImage()
{
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(320, 240)));
    SignalRecorder recorder(engine);
    engine.processLoResResultImage();
    QVERIFY(recorder.waitUntilIdle());

    // The targets of the first image's agent are gone with it.
    QVERIFY(engine.openImage(imageInMemory(200, 100)));
    recorder.lines.clear();
    engine.processLoResResultImage();
    QVERIFY(recorder.waitUntilIdle());
    QCOMPARE(recorder.lines.filter("esult"),
             QStringList({"resultImageSizeChanged 200x100", "loResResultImageProcessed [200x100] 200x100"}));
    QVERIFY(colorsClose(recorder.lastResult.pixelColor(190, 90), patternColor(190, 90, 200, 100)));
}


void TestProcessEngine::poolWorkOnTheMainThreadWhileARenderDelivers()
{
    // One CPU: the global pool has a single thread, as on a machine (or a
    // process pinned to one core) where that is Qt's ideal count.
    QThreadPool* const pool = QThreadPool::globalInstance();
    const int previousCount = pool->maxThreadCount();
    pool->setMaxThreadCount(1);
    const auto restore = qScopeGuard([&] { pool->setMaxThreadCount(previousCount); });

    const QString path = m_dir.filePath("pool-work.jpg");
    QVERIFY(writePatternJpeg(path, 48, 40, 1));
    CProcessEngine engine;
    SignalRecorder recorder(engine);
    QVERIFY(engine.openFile(path));

    // While a render waits for the main thread to take its result, the main
    // thread hands work to the global pool and waits for it, as the raster
    // engine does when it fills a large area. The wait is bounded only so
    // that a deadlock fails here instead of hanging the test.
    int handOffs = 0;
    int finished = 0;
    connect(&engine, &CProcessEngine::processingStarted, this, [&] {
        ++handOffs;
        QSemaphore done;
        QRunnable* const job = QRunnable::create([&done] { done.release(); });
        pool->start(job);
        if (done.tryAcquire(1, 60000))
            ++finished;
        else if (pool->tryTake(job))
            delete job; // never started: nothing refers to `done` any more
    });
    engine.forceProcessImage();
    QVERIFY(recorder.waitUntilIdle());
    QVERIFY(handOffs > 0);
    QCOMPARE(finished, handOffs);
}

QTEST_MAIN(TestProcessEngine)
#include "tst_processengine.moc"
