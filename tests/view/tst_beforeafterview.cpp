// The before/after view: a press, a double click or Ctrl+D shows the other
// scene in place; the release brings the own scene back at the same scroll
// position; tools, items and other buttons keep it from flipping.

#include "ViewTestSupport.h"

#include "view/CBeforeAfterView.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

namespace {

struct FlipFixture
{
    explicit FlipFixture(const QSize& viewSize = QSize(800, 600))
        : initial(true, &engine, nullptr)
        , result(false, &engine, nullptr)
    {
        view.initialize(false, reinterpret_cast<ICorrectionModuleHost*>(&engine), nullptr, &engine);
        view.setAndConnectScene(&result);
        view.setOtherScene(&initial);
        view.resize(viewSize);
        showImage(engine, true, QSize(6000, 4000));
        showImage(engine, false, QSize(5000, 3500));
        view.show();
        if (!QTest::qWaitForWindowExposed(&view))
            qFatal("the view was never shown");
    }
    QPoint centre() const { return QPoint(view.width() / 2, view.height() / 2); }

    FakeProjectionEngine engine;
    CBaseGraphicsScene initial;
    CBaseGraphicsScene result;
    CBeforeAfterView view;
};

} // namespace

class TestBeforeAfterView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { CBeforeAfterView::setCorrectionNameQuery({}); }
    void pressShowsTheInitialImageUntilRelease();
    void scrollPositionRestoredAfterRelease();
    void fitZoomFollowsTheShownScene();
    void otherZoomIsKept();
    void refusals_data();
    void refusals();
    void oneRequestPerSwitchNoneWhileFlipped();
    void doubleClickShowsTheOtherSceneUntilRelease();
    void ctrlDHoldsTheFlip();
};

void TestBeforeAfterView::pressShowsTheInitialImageUntilRelease()
{
    FlipFixture f;
    QSignalSpy toOther(&f.view, &CBeforeAfterView::switchedToOtherScene);
    QSignalSpy toThis(&f.view, &CBeforeAfterView::switchedToThisScene);
    QVERIFY(!f.view.showsInitialImage());
    QTest::mousePress(f.view.viewport(), Qt::LeftButton, {}, f.centre());
    QCOMPARE(f.view.scene(), &f.initial);
    QVERIFY(f.view.showsInitialImage());
    QCOMPARE(toOther.count(), 1);
    QTest::mouseRelease(f.view.viewport(), Qt::LeftButton, {}, f.centre());
    QCOMPARE(f.view.scene(), &f.result);
    QVERIFY(!f.view.showsInitialImage());
    QCOMPARE(toThis.count(), 1);
    // A release with nothing flipped does nothing.
    QTest::mouseRelease(f.view.viewport(), Qt::LeftButton, {}, f.centre());
    QCOMPARE(toThis.count(), 1);
}

void TestBeforeAfterView::scrollPositionRestoredAfterRelease()
{
    FlipFixture f;
    f.view.setCurrentViewZoom(100);
    f.view.changePreviewPosition(0.3, 0.8);
    const int h = f.view.horizontalScrollBar()->value();
    const int v = f.view.verticalScrollBar()->value();
    QTest::mousePress(f.view.viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(f.view.viewport(), Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(f.view.horizontalScrollBar()->value(), h);
    QCOMPARE(f.view.verticalScrollBar()->value(), v);
}

void TestBeforeAfterView::fitZoomFollowsTheShownScene()
{
    FlipFixture f;
    const int ownFit = f.view.fitToViewZoom();
    f.view.setCurrentViewZoom(ownFit);
    QTest::mousePress(f.view.viewport(), Qt::LeftButton, {}, f.centre());
    QCOMPARE(f.view.currentViewZoom(), f.view.fitToViewZoom());
    QVERIFY(f.view.currentViewZoom() != ownFit);
    QTest::mouseRelease(f.view.viewport(), Qt::LeftButton, {}, f.centre());
    QCOMPARE(f.view.currentViewZoom(), ownFit);
}

void TestBeforeAfterView::otherZoomIsKept()
{
    FlipFixture f;
    f.view.setCurrentViewZoom(37);
    QTest::mousePress(f.view.viewport(), Qt::LeftButton, {}, f.centre());
    QCOMPARE(f.view.currentViewZoom(), 37);
    QTest::mouseRelease(f.view.viewport(), Qt::LeftButton, {}, f.centre());
    QCOMPARE(f.view.currentViewZoom(), 37);
}

void TestBeforeAfterView::refusals_data()
{
    QTest::addColumn<QString>("why");
    QTest::newRow("right button") << "right";
    QTest::newRow("a tool is current") << "tool";
    QTest::newRow("switching disabled") << "disabled";
    QTest::newRow("press on a tool item") << "item";
}

void TestBeforeAfterView::refusals()
{
    QFETCH(QString, why);
    FlipFixture f;
    QPoint at = f.centre();
    Qt::MouseButton button = Qt::LeftButton;
    if (why == QLatin1String("right"))
        button = Qt::RightButton;
    if (why == QLatin1String("tool"))
        CBeforeAfterView::setCorrectionNameQuery([](ICorrectionModuleHost*) { return QStringLiteral("Crop"); });
    if (why == QLatin1String("disabled"))
        f.view.setSceneSwitchingDisabled(true);
    if (why == QLatin1String("item")) {
        auto* handle = new ToolItem(QRectF(-20, -20, 40, 40), false, true);
        handle->setPos(f.view.mapToScene(at));
        f.result.addItem(handle);
    }
    QSignalSpy toOther(&f.view, &CBeforeAfterView::switchedToOtherScene);
    QTest::mousePress(f.view.viewport(), button, {}, at);
    QCOMPARE(f.view.scene(), &f.result);
    QCOMPARE(toOther.count(), 0);
    QTest::mouseRelease(f.view.viewport(), button, {}, at);
    QCOMPARE(f.view.scene(), &f.result);
}

void TestBeforeAfterView::oneRequestPerSwitchNoneWhileFlipped()
{
    FlipFixture f;
    f.view.setCurrentViewZoom(50);
    QSignalSpy requests(&f.view, &CBaseGraphicsView::visibleRectChanged);
    QTest::mousePress(f.view.viewport(), Qt::LeftButton, {}, f.centre());
    QCOMPARE(requests.count(), 1);
    QCOMPARE(requests.last().at(0).toBool(), true);
    f.view.changePreviewPosition(0.1, 0.9);
    f.view.changePreviewPosition(0.9, 0.1);
    QCOMPARE(requests.count(), 1);
    QTest::mouseRelease(f.view.viewport(), Qt::LeftButton, {}, f.centre());
    QCOMPARE(requests.count(), 2);
    QCOMPARE(requests.last().at(0).toBool(), false);
}

void TestBeforeAfterView::doubleClickShowsTheOtherSceneUntilRelease()
{
    FlipFixture f;
    QTest::mouseDClick(f.view.viewport(), Qt::LeftButton, {}, f.centre());
    // The double click's own release has come: the press of the double click flips again.
    QTest::mousePress(f.view.viewport(), Qt::LeftButton, {}, f.centre());
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, QPointF(f.centre()), f.view.viewport()->mapToGlobal(QPointF(f.centre())),
                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.view.viewport(), &doubleClick);
    QCOMPARE(f.view.scene(), &f.initial);
    QTest::mouseRelease(f.view.viewport(), Qt::LeftButton, {}, f.centre());
    QCOMPARE(f.view.scene(), &f.result);
}

void TestBeforeAfterView::ctrlDHoldsTheFlip()
{
    FlipFixture f;
    QKeyEvent d(QEvent::KeyPress, Qt::Key_D, Qt::ControlModifier);
    f.view.processKeyPress(&d);
    QCOMPARE(f.view.scene(), &f.initial);
    // A second press while held changes nothing.
    f.view.processKeyPress(&d);
    QCOMPARE(f.view.scene(), &f.initial);
    // Any key release ends it.
    QKeyEvent shiftUp(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier);
    f.view.processKeyRelease(&shiftUp);
    QCOMPARE(f.view.scene(), &f.result);
    // D without Ctrl does nothing.
    QKeyEvent plainD(QEvent::KeyPress, Qt::Key_D, Qt::NoModifier);
    f.view.processKeyPress(&plainD);
    QCOMPARE(f.view.scene(), &f.result);
}

QTEST_MAIN(TestBeforeAfterView)
#include "tst_beforeafterview.moc"
