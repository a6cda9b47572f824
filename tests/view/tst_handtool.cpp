// The hand tool: modes and the space bar, a drag that keeps the grabbed point
// under the mouse with the other views following, presses on tool items,
// and the release that ends a held press even after the mode went off.

#include "ViewTestSupport.h"

#include "view/CBaseGraphicsView.h"
#include "view/CHandTool.h"
#include "view/CPositionController.h"
#include "view/CZoomController.h"

#include <QAction>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// Two views of one picture at 100 %, registered with the hand tool.
struct Pair
{
    Pair()
        : scene(true, &engine, nullptr)
    {
        showImage(engine, true, QSize(4000, 3000));
        CHandTool* hand = CHandTool::instance();
        hand->setProcessEngine(&engine);
        hand->setActions(&handAction, &previewAction);
        handAction.setCheckable(true);
        previewAction.setCheckable(true);
        for (CBaseGraphicsView* view : {&first, &second}) {
            view->initialize(false, nullptr, &engine);
            view->setAndConnectScene(&scene);
            view->resize(600, 400);
            hand->addView(view);
            view->show();
            if (!QTest::qWaitForWindowExposed(view))
                qFatal("the view was never shown");
            view->setCurrentViewZoom(100);
            view->changePreviewPosition(0.5, 0.5);
        }
        hand->setDisabled(false);
        hand->onFastPreview();
    }
    ~Pair() { CHandTool::instance()->onFastPreview(); }

    static void press(CBaseGraphicsView& view, QPoint at) { QTest::mousePress(view.viewport(), Qt::LeftButton, {}, at); }
    static void drag(CBaseGraphicsView& view, QPoint to)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(to), view.viewport()->mapToGlobal(QPointF(to)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &move);
    }
    static void release(CBaseGraphicsView& view, QPoint at)
    {
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at);
    }

    FakeProjectionEngine engine;
    CBaseGraphicsScene scene;
    CBaseGraphicsView first;
    CBaseGraphicsView second;
    QAction handAction;
    QAction previewAction;
};

bool sendSpace(QEvent::Type type, bool autoRepeat, bool* accepted)
{
    QKeyEvent key(type, Qt::Key_Space, Qt::NoModifier, QString(), autoRepeat);
    key.ignore();
    const bool handled = CHandTool::instance()->onSpacebarEvent(&key);
    *accepted = key.isAccepted();
    return handled;
}

} // namespace

class TestHandTool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qRegisterMetaType<QMouseEvent*>(); }
    void modesAndActions();
    void spaceBar();
    void dragKeepsTheGrabbedPointUnderTheMouse();
    void pressOnToolItemHoldsRequestsOnly();
    void releaseAfterTheModeWentOff();
    void disabledIgnoresPresses();
    void centringMovesEveryView();
};

void TestHandTool::modesAndActions()
{
    Pair p;
    CHandTool* hand = CHandTool::instance();
    QSignalSpy on(hand, &CHandTool::handToolActivated);
    QSignalSpy off(hand, &CHandTool::handToolDeactivated);
    p.handAction.trigger();
    QVERIFY(hand->isHandToolActive());
    QVERIFY(p.handAction.isChecked());
    QVERIFY(!p.previewAction.isChecked());
    QCOMPARE(on.count(), 1);
    p.previewAction.trigger();
    QVERIFY(!hand->isHandToolActive());
    QVERIFY(p.previewAction.isChecked());
    QCOMPARE(off.count(), 1);
}

void TestHandTool::spaceBar()
{
    Pair p;
    CHandTool* hand = CHandTool::instance();
    bool accepted = false;
    // Held with the space bar: on at the press, off at the release.
    QVERIFY(sendSpace(QEvent::KeyPress, false, &accepted));
    QVERIFY(accepted);
    QVERIFY(hand->isHandToolActive());
    QVERIFY(sendSpace(QEvent::KeyPress, true, &accepted));
    QVERIFY(sendSpace(QEvent::KeyRelease, true, &accepted));
    QVERIFY(accepted);
    QVERIFY(hand->isHandToolActive());
    QVERIFY(sendSpace(QEvent::KeyRelease, false, &accepted));
    QVERIFY(!hand->isHandToolActive());
    // Switched on from the toolbar: the space bar leaves it on.
    hand->onHandTool();
    QVERIFY(sendSpace(QEvent::KeyPress, false, &accepted));
    QVERIFY(hand->isHandToolActive());
    QVERIFY(!sendSpace(QEvent::KeyRelease, false, &accepted));
    QVERIFY(!accepted);
    QVERIFY(hand->isHandToolActive());
}

void TestHandTool::dragKeepsTheGrabbedPointUnderTheMouse()
{
    Pair p;
    CHandTool::instance()->onHandTool();
    QSignalSpy requests(&p.first, &CBaseGraphicsView::visibleRectChanged);
    const QPoint grab(300, 200);
    const QPointF grabbed = p.first.mapToScene(grab);
    Pair::press(p.first, grab);
    for (const QPoint to : {QPoint(280, 190), QPoint(200, 150), QPoint(120, 90), QPoint(150, 120)}) {
        Pair::drag(p.first, to);
        const QPointF under = p.first.mapToScene(to);
        QVERIFY2(qAbs(under.x() - grabbed.x()) <= 1.5 && qAbs(under.y() - grabbed.y()) <= 1.5,
                 qPrintable(QStringLiteral("%1,%2 under the mouse, grabbed %3,%4").arg(under.x()).arg(under.y())
                                .arg(grabbed.x()).arg(grabbed.y())));
        // The other view shows the same place in its centre.
        const QPointF firstCentre = p.first.mapToScene(p.first.viewport()->rect().center());
        const QPointF secondCentre = p.second.mapToScene(p.second.viewport()->rect().center());
        QVERIFY(qAbs(firstCentre.x() - secondCentre.x()) <= 1.5 && qAbs(firstCentre.y() - secondCentre.y()) <= 1.5);
    }
    // Requests are held while dragging and sent once at the release.
    QCOMPARE(requests.count(), 0);
    Pair::release(p.first, QPoint(150, 120));
    QCOMPARE(requests.count(), 1);
}

void TestHandTool::pressOnToolItemHoldsRequestsOnly()
{
    Pair p;
    auto* handle = new ToolItem(QRectF(-10, -10, 20, 20), false, true);
    handle->setPos(p.first.mapToScene(QPoint(300, 200)));
    p.scene.addItem(handle);
    CHandTool::instance()->onHandTool();
    double x = 0;
    double y = 0;
    p.first.previewPosition(&x, &y);
    Pair::press(p.first, QPoint(300, 200));
    Pair::drag(p.first, QPoint(100, 100));
    double nx = 0;
    double ny = 0;
    p.first.previewPosition(&nx, &ny);
    QCOMPARE(nx, x);
    QCOMPARE(ny, y);
    QSignalSpy requests(&p.first, &CBaseGraphicsView::visibleRectChanged);
    p.first.changePreviewPosition(0.1, 0.1);
    QCOMPARE(requests.count(), 0);
    Pair::release(p.first, QPoint(100, 100));
    QCOMPARE(requests.count(), 1);
}

void TestHandTool::releaseAfterTheModeWentOff()
{
    Pair p;
    CHandTool* hand = CHandTool::instance();
    bool accepted = false;
    sendSpace(QEvent::KeyPress, false, &accepted);
    Pair::press(p.first, QPoint(300, 200));
    Pair::drag(p.first, QPoint(200, 150));
    // The space bar comes up before the mouse button.
    sendSpace(QEvent::KeyRelease, false, &accepted);
    QVERIFY(!hand->isHandToolActive());
    QSignalSpy requests(&p.second, &CBaseGraphicsView::visibleRectChanged);
    Pair::release(p.first, QPoint(200, 150));
    // The views no longer hold their requests back: the next scroll asks at once.
    p.second.changePreviewPosition(0.9, 0.9);
    QVERIFY(requests.count() >= 1);
}

void TestHandTool::disabledIgnoresPresses()
{
    Pair p;
    CHandTool* hand = CHandTool::instance();
    hand->onHandTool();
    hand->setDisabled(true);
    QSignalSpy requests(&p.first, &CBaseGraphicsView::visibleRectChanged);
    Pair::press(p.first, QPoint(300, 200));
    p.first.changePreviewPosition(0.2, 0.2);
    // Nothing held: the scroll asks at once.
    QVERIFY(requests.count() >= 1);
    Pair::release(p.first, QPoint(300, 200));
    hand->setDisabled(false);
}

void TestHandTool::centringMovesEveryView()
{
    Pair p;
    CHandTool::instance()->onMoveCentersToPointOfScene(&p.first, QPointF(1000, 800));
    for (CBaseGraphicsView* view : {&p.first, &p.second}) {
        const QPointF centre = view->mapToScene(view->viewport()->rect().center());
        QVERIFY2(qAbs(centre.x() - 1000) <= 1.5 && qAbs(centre.y() - 800) <= 1.5,
                 qPrintable(QStringLiteral("%1,%2").arg(centre.x()).arg(centre.y())));
    }
}

QTEST_MAIN(TestHandTool)
#include "tst_handtool.moc"
