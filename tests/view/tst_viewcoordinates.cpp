// Points between view pixels, the initial image and the result scene; scroll
// positions that put a point under the mouse; the stored positions of views.

#include "ViewTestSupport.h"

#include "view/CBaseGraphicsView.h"
#include "view/CPositionController.h"
#include "view/CViewCoordinatesConverter.h"

#include <QTest>

namespace {

// A view of `scene` of the given widget size, at a zoom and position.
struct PlacedView
{
    PlacedView(FakeProjectionEngine& engine, bool initial, const QSize& imageSize, const QSize& viewSize)
        : scene(initial, &engine, nullptr)
    {
        view.initialize(false, nullptr, &engine);
        view.setAndConnectScene(&scene);
        view.setShowsInitialImage(initial);
        view.resize(viewSize);
        showImage(engine, initial, imageSize);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view))
            qFatal("the view was never shown");
    }
    void place(int zoom, double x, double y)
    {
        view.setCurrentViewZoom(zoom);
        view.changePreviewPosition(x, y);
    }

    CBaseGraphicsScene scene;
    CBaseGraphicsView view;
};

} // namespace

class TestViewCoordinates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void positionControllerIsMadeOnFirstUse();
    void centreOfAnInitialView();
    void fittingSceneIsCentredWhateverTheScroll();
    void resultViewWithCrop();
    void resultPointLeftOfTheCropIsZero();
    void mousePointStaysUnderTheMouse_data();
    void mousePointStaysUnderTheMouse();
    void xyCentreLimits();
    void xyCentreOddViewSize();
    void otherImagePoint();
    void refusals();
    void storedPositions();
    void positionsWrittenBackIntoViews();
};

void TestViewCoordinates::positionControllerIsMadeOnFirstUse()
{
    QVERIFY(!CPositionController::hasInstance());
    CPositionController* controller = CPositionController::instance();
    QVERIFY(controller);
    QVERIFY(CPositionController::hasInstance());
    QCOMPARE(CPositionController::instance(), controller);
}

void TestViewCoordinates::centreOfAnInitialView()
{
    FakeProjectionEngine engine;
    engine.shift = QPointF(7, -3);
    PlacedView v(engine, true, QSize(4000, 3000), QSize(800, 600));
    v.place(50, 0.5, 0.5);
    QSizeF offset(-1, -1);
    QPointF initial;
    QPointF result;
    QVERIFY(CViewCoordinatesConverter::getPoints(&engine, &v.view, QPointF(400, 300), offset, initial, result));
    QCOMPARE(offset, QSizeF(0, 0));
    QCOMPARE(initial, QPointF(2000, 1500));
    QCOMPARE(result, QPointF(2007, 1497));
}

void TestViewCoordinates::fittingSceneIsCentredWhateverTheScroll()
{
    FakeProjectionEngine engine;
    PlacedView v(engine, true, QSize(4000, 3000), QSize(800, 600));
    v.place(10, 0.5, 0.5);
    QSizeF offset;
    QPointF initial;
    QPointF result;
    CViewCoordinatesConverter::getPoints(&engine, &v.view, QPointF(400, 300), offset, initial, result);
    QCOMPARE(initial, QPointF(2000, 1500));
    CViewCoordinatesConverter::getPoints(&engine, &v.view, QPointF(500, 250), offset, initial, result);
    QCOMPARE(initial, QPointF(3000, 1000));
}

void TestViewCoordinates::resultViewWithCrop()
{
    FakeProjectionEngine engine;
    engine.crop = QRectF(0.1, 0.2, 0.5, 0.5);
    PlacedView v(engine, false, QSize(2000, 1500), QSize(800, 600));
    v.place(100, 0.0, 0.0);
    QSizeF offset;
    QPointF initial;
    QPointF result;
    CViewCoordinatesConverter::getPoints(&engine, &v.view, QPointF(130, 70), offset, initial, result);
    // The engine's corrected picture is the cropped one the scene shows: the
    // scene point is projected as it is.
    QCOMPARE(engine.projected.last(), QPointF(130, 70));
    QCOMPARE(initial, QPointF(130, 70));
    QCOMPARE(result, QPointF(130, 70));
}

void TestViewCoordinates::resultPointLeftOfTheCropIsZero()
{
    FakeProjectionEngine engine;
    engine.crop = QRectF(0.1, 0.2, 0.5, 0.5);
    engine.shift = QPointF(-1000, 100);
    CBaseGraphicsScene resultScene(false, &engine, nullptr);
    showImage(engine, false, QSize(2000, 1500));
    CBaseGraphicsView other;
    other.setAndConnectScene(&resultScene);
    // An initial view: its result point has the crop of the other visible view removed.
    PlacedView v(engine, true, QSize(4000, 3000), QSize(800, 600));
    v.place(100, 0.0, 0.0);
    QSizeF offset;
    QPointF initial;
    QPointF result;
    CViewCoordinatesConverter::getPoints(&engine, &v.view, QPointF(100, 100), offset, initial, result);
    QCOMPARE(initial, QPointF(100, 100));
    QCOMPARE(result, QPointF(0, 200));
}

void TestViewCoordinates::mousePointStaysUnderTheMouse_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QPointF>("position");
    QTest::addColumn<QPointF>("mouse");
    QTest::newRow("50 % centre") << 50 << QPointF(0.5, 0.5) << QPointF(400, 300);
    QTest::newRow("100 % off centre") << 100 << QPointF(0.25, 0.6) << QPointF(100, 500);
    QTest::newRow("200 % corner") << 200 << QPointF(0.9, 0.1) << QPointF(700, 50);
    QTest::newRow("33 % odd") << 33 << QPointF(0.4, 0.7) << QPointF(250, 120);
}

void TestViewCoordinates::mousePointStaysUnderTheMouse()
{
    QFETCH(int, zoom);
    QFETCH(QPointF, position);
    QFETCH(QPointF, mouse);
    FakeProjectionEngine engine;
    PlacedView v(engine, true, QSize(6000, 4000), QSize(800, 600));
    v.place(zoom, position.x(), position.y());
    double fx = 0;
    double fy = 0;
    v.view.previewPosition(&fx, &fy);

    QSizeF offset;
    QPointF initial;
    QPointF result;
    CViewCoordinatesConverter::getPoints(&engine, &v.view, mouse, offset, initial, result);
    // The image point under the mouse is the one the view shows there.
    const QPointF shown = v.view.mapToScene(mouse.toPoint());
    QVERIFY2(qAbs(shown.x() - initial.x()) <= 1.0 + 100.0 / zoom && qAbs(shown.y() - initial.y()) <= 1.0 + 100.0 / zoom,
             qPrintable(QStringLiteral("shown %1,%2 computed %3,%4").arg(shown.x()).arg(shown.y())
                            .arg(initial.x()).arg(initial.y())));
    // And the position that keeps it there is the present one.
    QPointF back;
    CViewCoordinatesConverter::getXYCenter(&v.view, v.view.sceneRect(), offset, initial, zoom, back);
    const double tolerance = 1.0 / (6000 * zoom / 100.0 - 800);
    QVERIFY(qAbs(back.x() - fx) <= tolerance);
    QVERIFY(qAbs(back.y() - fy) <= 1.0 / (4000 * zoom / 100.0 - 600));
}

void TestViewCoordinates::xyCentreLimits()
{
    FakeProjectionEngine engine;
    PlacedView v(engine, true, QSize(4000, 3000), QSize(800, 600));
    QPointF position;
    // The scene fits: centred.
    CViewCoordinatesConverter::getXYCenter(&v.view, v.view.sceneRect(), QSizeF(0, 0), QPointF(100, 100), 10, position);
    QCOMPARE(position, QPointF(0.5, 0.5));
    // Beyond either end of the range.
    CViewCoordinatesConverter::getXYCenter(&v.view, v.view.sceneRect(), QSizeF(0, 0), QPointF(3990, 10), 100, position);
    QCOMPARE(position, QPointF(1.0, 0.0));
    CViewCoordinatesConverter::getXYCenter(&v.view, v.view.sceneRect(), QSizeF(0, 0), QPointF(2000, 1500), 100, position);
    QCOMPARE(position, QPointF((2000.0 - 400) / 3200, (1500.0 - 300) / 2400));
}

void TestViewCoordinates::xyCentreOddViewSize()
{
    FakeProjectionEngine engine;
    PlacedView v(engine, true, QSize(2000, 2000), QSize(801, 601));
    QPointF position;
    CViewCoordinatesConverter::getXYCenter(&v.view, v.view.sceneRect(), QSizeF(0, 0), QPointF(1000, 1000), 100, position);
    QCOMPARE(position.x(), (1000.0 - 400) / 1199);
    QCOMPARE(position.y(), (1000.0 - 300) / 1400);
}

void TestViewCoordinates::otherImagePoint()
{
    FakeProjectionEngine engine;
    engine.shift = QPointF(10.5, 20.25);
    engine.crop = QRectF(0.1, 0.1, 0.5, 0.5);
    PlacedView v(engine, true, QSize(400, 300), QSize(200, 200));
    QPointF other;
    QVERIFY(CViewCoordinatesConverter::getOtherImagePoint(&engine, &v.view, QPointF(1, 2), other));
    QCOMPARE(other, QPointF(11.5, 22.25));
    v.view.setShowsInitialImage(false);
    CViewCoordinatesConverter::getOtherImagePoint(&engine, &v.view, QPointF(11.5, 22.25), other);
    QCOMPARE(other, QPointF(1, 2));
}

void TestViewCoordinates::refusals()
{
    FakeProjectionEngine engine;
    PlacedView v(engine, true, QSize(400, 300), QSize(200, 200));
    QSizeF offset(3, 4);
    QPointF initial(5, 6);
    QPointF result(7, 8);
    QVERIFY(!CViewCoordinatesConverter::getPoints(nullptr, &v.view, QPointF(), offset, initial, result));
    QVERIFY(!CViewCoordinatesConverter::getPoints(&engine, nullptr, QPointF(), offset, initial, result));
    QVERIFY(!CViewCoordinatesConverter::getOtherImagePoint(nullptr, &v.view, QPointF(), result));
    QVERIFY(!CViewCoordinatesConverter::getOtherImagePoint(&engine, nullptr, QPointF(), result));
    QCOMPARE(offset, QSizeF(3, 4));
    QCOMPARE(initial, QPointF(5, 6));
    QCOMPARE(result, QPointF(7, 8));
    QVERIFY(engine.projected.isEmpty());
}

void TestViewCoordinates::storedPositions()
{
    CPositionController controller;
    CBaseGraphicsView a;
    CBaseGraphicsView b;
    controller.setViewPosition(&a, 0.2, 0.3);
    QCOMPARE(controller.viewPosition(&a), QPointF(0.2, 0.3));
    controller.addView(&a);
    QCOMPARE(controller.viewPosition(&a), QPointF(0.5, 0.5));
    QCOMPARE(controller.viewPosition(&b), QPointF(0, 0));
    {
        // A view that goes is forgotten.
        CBaseGraphicsView gone;
        controller.setViewPosition(&gone, 1, 1);
    }
    controller.onUpdateViewPosition();
}

void TestViewCoordinates::positionsWrittenBackIntoViews()
{
    FakeProjectionEngine engine;
    PlacedView first(engine, true, QSize(4000, 3000), QSize(400, 300));
    PlacedView second(engine, true, QSize(4000, 3000), QSize(400, 300));
    first.place(100, 0.5, 0.5);
    second.place(100, 0.5, 0.5);
    CPositionController controller;
    controller.setViewPosition(&first.view, 0.25, 0.75);
    controller.viewPosition(&second.view);
    controller.onUpdateViewPosition();
    double x = 0;
    double y = 0;
    first.view.previewPosition(&x, &y);
    QVERIFY(qAbs(x - 0.25) < 0.001 && qAbs(y - 0.75) < 0.001);
    second.view.previewPosition(&x, &y);
    QCOMPARE(QPointF(x, y), QPointF(0, 0));
}

QTEST_MAIN(TestViewCoordinates)
#include "tst_viewcoordinates.moc"
