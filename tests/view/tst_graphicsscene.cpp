// The scene of one state of the picture: the low-resolution image stretched
// over the scene, the high-resolution tile above it, size changes, reset,
// the tools pixmap, the drop shadow and the second delivery of a release.

#include "ViewTestSupport.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsView>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

namespace {

// Exposes the background painting.
class ShadowScene : public CBaseGraphicsScene
{
public:
    using CBaseGraphicsScene::CBaseGraphicsScene;
    using CBaseGraphicsScene::drawBackground;
};

} // namespace

class TestGraphicsScene : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lowResolutionImageCoversTheScene();
    void tilesLieAboveAtTheirRectangle_data();
    void tilesLieAboveAtTheirRectangle();
    void emptyBuffersChangeNothing();
    void newSizeDropsTheTile();
    void eachStateListensToItsOwnResults();
    void resetEmptiesTheSceneAndKeepsToolItems();
    void toolsPixmapShowsToolItemsOnly();
    void shadowSurroundsTheImageInDevicePixels();
    void releaseReachesTheGrabberTwice();
    void releaseSkipsAGrabberThatLeftTheScene();
};

void TestGraphicsScene::lowResolutionImageCoversTheScene()
{
    FakeProjectionEngine engine;
    CBaseGraphicsScene scene(true, &engine, nullptr);
    QVERIFY(scene.isEmpty());
    QVERIFY(!scene.hasLoResImage());

    emit engine.initialImageSizeChanged(QSize(4000, 3000));
    emit engine.loResInitialImageProcessed(solidPixels(400, 300), QSize(4000, 3000));
    QVERIFY(scene.loResItem());
    QCOMPARE(scene.loResItem()->transform(), QTransform::fromScale(10, 10));
    QCOMPARE(scene.loResItem()->zValue(), 100.0);
    QCOMPARE(scene.loResItem()->transformationMode(), Qt::SmoothTransformation);
    QCOMPARE(scene.sceneRect(), QRectF(0, 0, 4000, 3000));
    QVERIFY(scene.hasLoResImage());
    QVERIFY(!scene.isEmpty());

    // Another render of the same size replaces the item and keeps the rectangle.
    QSignalSpy rectChanges(&scene, &QGraphicsScene::sceneRectChanged);
    QGraphicsPixmapItem* first = scene.loResItem();
    emit engine.loResInitialImageProcessed(solidPixels(800, 600), QSize(4000, 3000));
    QVERIFY(scene.loResItem() != first || scene.loResItem()->pixmap().width() == 800);
    QCOMPARE(scene.loResItem()->pixmap().size(), QSize(800, 600));
    QCOMPARE(scene.loResItem()->transform(), QTransform::fromScale(5, 5));
    QCOMPARE(rectChanges.count(), 0);
    QCOMPARE(scene.items().size(), 1);
}

void TestGraphicsScene::tilesLieAboveAtTheirRectangle_data()
{
    QTest::addColumn<QSize>("buffer");
    QTest::addColumn<double>("scale");
    QTest::newRow("full resolution") << QSize(800, 600) << 1.0;
    QTest::newRow("half resolution") << QSize(400, 300) << 2.0;
}

void TestGraphicsScene::tilesLieAboveAtTheirRectangle()
{
    QFETCH(QSize, buffer);
    QFETCH(double, scale);
    FakeProjectionEngine engine;
    CBaseGraphicsScene scene(false, &engine, nullptr);
    showImage(engine, false, QSize(4000, 3000));

    emit engine.hiResResultImageProcessed(solidPixels(buffer.width(), buffer.height()), QRect(1000, 500, 800, 600),
                                          QSize(800, 600));
    QGraphicsPixmapItem* tile = scene.hiResItem();
    QVERIFY(tile);
    QCOMPARE(tile->pos(), QPointF(1000, 500));
    QCOMPARE(tile->transform(), QTransform::fromScale(scale, scale));
    QVERIFY(tile->zValue() > scene.loResItem()->zValue());
    QCOMPARE(tile->sceneBoundingRect(), QRectF(1000, 500, 800, 600));
    QCOMPARE(scene.sceneRect(), QRectF(0, 0, 4000, 3000));

    // A later tile replaces it.
    emit engine.hiResResultImageProcessed(solidPixels(100, 100), QRect(0, 0, 100, 100), QSize(100, 100));
    QCOMPARE(scene.items().size(), 2);
    QCOMPARE(scene.hiResItem()->sceneBoundingRect(), QRectF(0, 0, 100, 100));
}

void TestGraphicsScene::emptyBuffersChangeNothing()
{
    FakeProjectionEngine engine;
    CBaseGraphicsScene scene(true, &engine, nullptr);
    showImage(engine, true, QSize(400, 300));
    QGraphicsPixmapItem* loRes = scene.loResItem();
    emit engine.loResInitialImageProcessed(PixelDataPtr(), QSize(400, 300));
    emit engine.loResInitialImageProcessed(solidPixels(0, 0), QSize(400, 300));
    emit engine.hiResInitialImageProcessed(PixelDataPtr(), QRect(0, 0, 10, 10), QSize(10, 10));
    QCOMPARE(scene.loResItem(), loRes);
    QVERIFY(!scene.hiResItem());
}

void TestGraphicsScene::newSizeDropsTheTile()
{
    FakeProjectionEngine engine;
    CBaseGraphicsScene scene(false, &engine, nullptr);
    showImage(engine, false, QSize(4000, 3000));
    emit engine.hiResResultImageProcessed(solidPixels(80, 60), QRect(0, 0, 80, 60), QSize(80, 60));
    QVERIFY(scene.hiResItem());

    emit engine.resultImageSizeChanged(QSize(4000, 3000));
    QVERIFY(scene.hiResItem());
    emit engine.resultImageSizeChanged(QSize(3000, 4000));
    QVERIFY(!scene.hiResItem());
    QVERIFY(scene.loResItem());
    QCOMPARE(scene.sceneRect(), QRectF(0, 0, 4000, 3000));

    emit engine.loResResultImageProcessed(solidPixels(300, 400), QSize(3000, 4000));
    QCOMPARE(scene.sceneRect(), QRectF(0, 0, 3000, 4000));
}

void TestGraphicsScene::eachStateListensToItsOwnResults()
{
    FakeProjectionEngine engine;
    CBaseGraphicsScene initial(true, &engine, nullptr);
    CBaseGraphicsScene result(false, &engine, nullptr);
    showImage(engine, true, QSize(400, 300));
    QVERIFY(initial.hasLoResImage());
    QVERIFY(!result.hasLoResImage());
    showImage(engine, false, QSize(300, 200));
    QCOMPARE(result.sceneRect(), QRectF(0, 0, 300, 200));
    QCOMPARE(initial.sceneRect(), QRectF(0, 0, 400, 300));
}

void TestGraphicsScene::resetEmptiesTheSceneAndKeepsToolItems()
{
    FakeProjectionEngine engine;
    CBaseGraphicsScene scene(true, &engine, nullptr);
    showImage(engine, true, QSize(4000, 3000));
    emit engine.hiResInitialImageProcessed(solidPixels(80, 60), QRect(0, 0, 80, 60), QSize(80, 60));
    auto* tool = new ToolItem(QRectF(10, 20, 30, 40), false, false);
    tool->setFlag(QGraphicsItem::ItemIsFocusable);
    scene.addItem(tool);
    tool->setFocus();

    scene.doResetBeforeOpen();
    QVERIFY(scene.isEmpty());
    QVERIFY(!scene.hasLoResImage());
    QCOMPARE(scene.items().size(), 1);
    QVERIFY(!tool->hasFocus());
    QCOMPARE(scene.sceneRect(), tool->sceneBoundingRect());

    // The stored size stays: the next picture of the same size still sets the rectangle.
    emit engine.loResInitialImageProcessed(solidPixels(400, 300), QSize(4000, 3000));
    QCOMPARE(scene.sceneRect(), QRectF(0, 0, 4000, 3000));
}

void TestGraphicsScene::toolsPixmapShowsToolItemsOnly()
{
    FakeProjectionEngine engine;
    CBaseGraphicsScene scene(true, &engine, nullptr);
    showImage(engine, true, QSize(400, 300));
    scene.addItem(new ToolItem(QRectF(50, 0, 50, 50), false, false));

    const QImage tools = scene.getToolsPixmap(QRect(0, 0, 100, 50)).toImage();
    QCOMPARE(tools.size(), QSize(100, 50));
    QCOMPARE(tools.pixelColor(20, 25).alpha(), 0);
    QCOMPARE(tools.pixelColor(75, 25), QColor(Qt::green));
    QVERIFY(scene.loResItem()->isVisible());
}

void TestGraphicsScene::shadowSurroundsTheImageInDevicePixels()
{
    FakeProjectionEngine engine;
    ShadowScene scene(true, &engine, nullptr);
    QImage device(2100, 1600, QImage::Format_ARGB32_Premultiplied);
    const auto paint = [&] {
        device.fill(Qt::transparent);
        QPainter painter(&device);
        painter.scale(0.5, 0.5);
        scene.drawBackground(&painter, QRectF(0, 0, 4200, 3200));
    };
    // Without an image there is no shadow.
    paint();
    QCOMPARE(device.pixelColor(2001, 700).alpha(), 0);

    showImage(engine, true, QSize(4000, 3000));
    paint();
    // The image covers 2000 x 1500 device pixels; the shadow lies just outside.
    QVERIFY(device.pixelColor(2000, 700).alpha() > 0);
    QVERIFY(device.pixelColor(1000, 1500).alpha() > 0);
    QCOMPARE(device.pixelColor(1999, 700).alpha(), 0);
    QCOMPARE(device.pixelColor(1000, 1499).alpha(), 0);
    QCOMPARE(device.pixelColor(2010, 700).alpha(), 0);
    QCOMPARE(device.pixelColor(1000, 1510).alpha(), 0);
}

void TestGraphicsScene::releaseReachesTheGrabberTwice()
{
    FakeProjectionEngine engine;
    CBaseGraphicsScene scene(false, &engine, nullptr);
    showImage(engine, false, QSize(400, 300));
    auto* tool = new ToolItem(QRectF(100, 100, 20, 20), false, false);
    scene.addItem(tool);
    QGraphicsView view(&scene);
    view.resize(500, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    const QPoint at = view.mapFromScene(QPointF(110, 110));
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(tool->presses, 1);
    QCOMPARE(tool->releases, 2);

    // A right press remembers nothing.
    QTest::mousePress(view.viewport(), Qt::RightButton, {}, at);
    QTest::mouseRelease(view.viewport(), Qt::RightButton, {}, at);
    QCOMPARE(tool->releases, 3);
}

void TestGraphicsScene::releaseSkipsAGrabberThatLeftTheScene()
{
    FakeProjectionEngine engine;
    CBaseGraphicsScene scene(false, &engine, nullptr);
    showImage(engine, false, QSize(400, 300));
    auto* tool = new ToolItem(QRectF(100, 100, 20, 20), false, false);
    scene.addItem(tool);
    QGraphicsView view(&scene);
    view.resize(500, 400);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));

    const QPoint at = view.mapFromScene(QPointF(110, 110));
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(tool->presses, 1);
    // The item goes away while the button is held (a module reset, an undo).
    delete tool;
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at);

    // The same for an item taken out of the scene but kept alive.
    auto* kept = new ToolItem(QRectF(100, 100, 20, 20), false, false);
    scene.addItem(kept);
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, at);
    scene.removeItem(kept);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(kept->releases, 0);
    delete kept;
}

QTEST_MAIN(TestGraphicsScene)
#include "tst_graphicsscene.moc"
