// The graphics view: fit zoom and zoom bounds, the hi-res enable state, the
// visible rectangle it asks for and how requests are held during a drag, the
// position as fractions, the wheel, the grid settings and the signals of
// mouse presses on tool items.

#include "ViewTestSupport.h"

#include "utils/CSettings.h"
#include "view/CBaseGraphicsView.h"

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <memory>

namespace {

struct ViewFixture
{
    explicit ViewFixture(const QSize& imageSize, const QSize& viewSize = QSize(800, 600), bool initial = true)
        : scene(initial, &engine, nullptr)
    {
        view.initialize(false, nullptr, nullptr);
        view.setAndConnectScene(&scene);
        view.resize(viewSize);
        if (!imageSize.isEmpty())
            showImage(engine, initial, imageSize);
    }
    void show()
    {
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
    }

    FakeProjectionEngine engine;
    CBaseGraphicsScene scene;
    CBaseGraphicsView view;
};

} // namespace

class TestGraphicsView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qRegisterMetaType<QMouseEvent*>(); }
    void fitZoom_data();
    void fitZoom();
    void zoomBounds();
    void hiResStopsAtFivePercent();
    void visibleRectCoversTheViewport_data();
    void visibleRectCoversTheViewport();
    void smallImageAsksFromTheOrigin();
    void heldRequestsGoOutOnceAtRelease();
    void positionRoundTrip_data();
    void positionRoundTrip();
    void positionWithoutRangeIsCentred();
    void wheelZooms();
    void gridSettings_data();
    void gridSettings();
    void pressOnReportingItemShowsItsPosition();
    void processingIndicationHeldAfterZoom();
};

void TestGraphicsView::fitZoom_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QSize>("view");
    QTest::addColumn<int>("fit");
    QTest::newRow("24 MP in 800 x 600") << QSize(6000, 4000) << QSize(800, 600) << 13;
    QTest::newRow("smaller than the view") << QSize(400, 300) << QSize(800, 600) << 100;
    QTest::newRow("exactly the view") << QSize(800, 600) << QSize(800, 600) << 100;
    QTest::newRow("tall") << QSize(1000, 6000) << QSize(800, 600) << 10;
    QTest::newRow("no image yet") << QSize() << QSize(800, 600) << 24;
    // More than a hundred times the view: still a zoom the views take.
    QTest::newRow("a hundredth and less") << QSize(100000, 1000) << QSize(800, 600) << 1;
}

void TestGraphicsView::fitZoom()
{
    QFETCH(QSize, image);
    QFETCH(QSize, view);
    QFETCH(int, fit);
    ViewFixture f(image, view);
    QCOMPARE(f.view.fitToViewZoom(), fit);
    f.view.setCurrentViewZoom(fit);
    QCOMPARE(f.view.currentViewZoom(), fit);
}

void TestGraphicsView::zoomBounds()
{
    ViewFixture f(QSize(4000, 3000));
    f.view.setCurrentViewZoom(50);
    f.view.setCurrentViewZoom(201);
    QCOMPARE(f.view.currentViewZoom(), 50);
    f.view.setCurrentViewZoom(0);
    QCOMPARE(f.view.currentViewZoom(), 50);
    f.view.setCurrentViewZoom(200);
    QCOMPARE(f.view.currentViewZoom(), 200);
    QCOMPARE(f.view.transform().m11(), 2.0);
    f.view.setCurrentViewZoom(1);
    QCOMPARE(f.view.transform().m11(), 0.01);
}

void TestGraphicsView::hiResStopsAtFivePercent()
{
    ViewFixture f(QSize(4000, 3000));
    f.show();
    QSignalSpy enabled(&f.view, &CBaseGraphicsView::enableProcessingVisibleRect);
    f.view.setCurrentViewZoom(5);
    QCOMPARE(enabled.count(), 1);
    QCOMPARE(enabled.last().at(2).toBool(), false);
    QVERIFY(!f.view.isNeededToProcessHiResRegion());
    f.view.setCurrentViewZoom(4);
    QCOMPARE(enabled.count(), 1);
    f.view.setCurrentViewZoom(6);
    QCOMPARE(enabled.count(), 2);
    QCOMPARE(enabled.last().at(2).toBool(), true);
    QCOMPARE(enabled.last().at(1).toString(), f.view.viewId());
}

void TestGraphicsView::visibleRectCoversTheViewport_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");
    QTest::newRow("13 %") << 13 << 0.5 << 0.5;
    QTest::newRow("33 % top left") << 33 << 0.0 << 0.0;
    QTest::newRow("50 % somewhere") << 50 << 0.3 << 0.7;
    QTest::newRow("100 % bottom right") << 100 << 1.0 << 1.0;
    QTest::newRow("100 % odd place") << 100 << 0.123 << 0.456;
    QTest::newRow("133 %") << 133 << 0.61 << 0.29;
    QTest::newRow("200 %") << 200 << 0.77 << 0.05;
}

void TestGraphicsView::visibleRectCoversTheViewport()
{
    QFETCH(int, zoom);
    QFETCH(double, x);
    QFETCH(double, y);
    ViewFixture f(QSize(6000, 4000), QSize(801, 601));
    f.show();
    QSignalSpy requests(&f.view, &CBaseGraphicsView::visibleRectChanged);
    f.view.setCurrentViewZoom(zoom);
    f.view.changePreviewPosition(x, y);

    // What the request asks for covers every scene pixel on screen, and no
    // more than a pixel beyond, so the tile lands exactly on what is shown.
    QVERIFY(!requests.isEmpty());
    const QRect asked = requests.last().at(2).toRect();
    QCOMPARE(asked, f.view.visibleRect());
    QCOMPARE(requests.last().at(0).toBool(), true);
    const QRectF shown = f.view.mapToScene(f.view.viewport()->rect()).boundingRect() & f.scene.sceneRect();
    QVERIFY2(QRectF(asked).adjusted(-0.01, -0.01, 0.01, 0.01).contains(shown),
             qPrintable(QStringLiteral("asked %1,%2 %3x%4, shown %5,%6 %7x%8")
                            .arg(asked.x()).arg(asked.y()).arg(asked.width()).arg(asked.height())
                            .arg(shown.x()).arg(shown.y()).arg(shown.width()).arg(shown.height())));
    const QRect inside = asked & f.scene.sceneRect().toRect();
    QVERIFY(inside.width() <= shown.width() + 2.01);
    QVERIFY(inside.height() <= shown.height() + 2.01);
}

void TestGraphicsView::smallImageAsksFromTheOrigin()
{
    ViewFixture f(QSize(400, 300));
    f.show();
    f.view.setCurrentViewZoom(100);
    QCOMPARE(f.view.visibleRect().topLeft(), QPoint(0, 0));
    QCOMPARE(f.view.visibleRect().size(), f.view.viewport()->size());
}

void TestGraphicsView::heldRequestsGoOutOnceAtRelease()
{
    ViewFixture f(QSize(6000, 4000));
    f.show();
    f.view.setCurrentViewZoom(100);
    QSignalSpy requests(&f.view, &CBaseGraphicsView::visibleRectChanged);

    f.view.setViewActive(true);
    for (int step = 1; step <= 10; ++step)
        f.view.changePreviewPosition(step / 20.0, step / 30.0);
    QCOMPARE(requests.count(), 0);
    f.view.setViewActive(false);
    QCOMPARE(requests.count(), 1);
    QCOMPARE(requests.last().at(2).toRect(), f.view.visibleRect());

    // Nothing pending: nothing sent.
    f.view.setViewActive(true);
    f.view.setViewActive(false);
    QCOMPARE(requests.count(), 1);

    // An unchanged rectangle is not asked for again.
    f.view.onVisibleRectChanged(false);
    QCOMPARE(requests.count(), 1);
}

void TestGraphicsView::positionRoundTrip_data()
{
    QTest::addColumn<QRectF>("sceneRect");
    QTest::newRow("scene at the origin") << QRectF(0, 0, 6000, 4000);
    // The scroll bars' minimum is not 0 here.
    QTest::newRow("scene beyond the origin") << QRectF(-1500, -700, 6000, 4000);
}

void TestGraphicsView::positionRoundTrip()
{
    QFETCH(QRectF, sceneRect);
    ViewFixture f(QSize(6000, 4000));
    f.view.setSceneRect(sceneRect);
    f.show();
    f.view.setCurrentViewZoom(50);
    const QScrollBar* bar = f.view.horizontalScrollBar();
    for (const QPointF wanted : {QPointF(0, 0), QPointF(0.25, 0.75), QPointF(1, 1), QPointF(0.5, 0.1)}) {
        f.view.changePreviewPosition(wanted.x(), wanted.y());
        double x = -1;
        double y = -1;
        f.view.previewPosition(&x, &y);
        const double step = 1.0 / (bar->maximum() - bar->minimum());
        QVERIFY2(qAbs(x - wanted.x()) <= step && qAbs(y - wanted.y()) <= 2 * step,
                 qPrintable(QStringLiteral("%1,%2 came back as %3,%4").arg(wanted.x()).arg(wanted.y()).arg(x).arg(y)));
    }
}

void TestGraphicsView::positionWithoutRangeIsCentred()
{
    ViewFixture f(QSize(400, 300));
    f.show();
    double x = 0;
    double y = 0;
    f.view.previewPosition(&x, &y);
    QCOMPARE(x, 0.5);
    QCOMPARE(y, 0.5);
}

void TestGraphicsView::wheelZooms()
{
    ViewFixture f(QSize(4000, 3000));
    f.show();
    QSignalSpy in(&f.view, &CBaseGraphicsView::zoomIn);
    QSignalSpy out(&f.view, &CBaseGraphicsView::zoomOut);
    const auto turn = [&](QPoint delta) {
        QWheelEvent wheel(QPointF(100, 50), f.view.viewport()->mapToGlobal(QPointF(100, 50)), QPoint(), delta,
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.view.viewport(), &wheel);
    };
    const int scroll = f.view.verticalScrollBar()->value();
    turn(QPoint(0, 120));
    turn(QPoint(0, -120));
    turn(QPoint(0, 0));
    QCOMPARE(in.count(), 1);
    QCOMPARE(in.first().at(1).toPoint(), QPoint(100, 50));
    QCOMPARE(out.count(), 2);
    QCOMPARE(f.view.verticalScrollBar()->value(), scroll);
}

void TestGraphicsView::gridSettings_data()
{
    QTest::addColumn<QVariant>("size");
    QTest::addColumn<QVariant>("color");
    QTest::addColumn<QVariant>("mode");
    QTest::addColumn<int>("gridSize");
    QTest::addColumn<QColor>("gridColor");
    QTest::addColumn<int>("gridMode");
    const QColor grey(205, 205, 205, 180);
    const int sourceOver = QPainter::CompositionMode_SourceOver;
    QTest::newRow("defaults") << QVariant() << QVariant() << QVariant() << 50 << grey << sourceOver;
    QTest::newRow("too small") << QVariant(3) << QVariant(0x80112233u) << QVariant(int(QPainter::CompositionMode_Xor))
                               << 5 << QColor(0x11, 0x22, 0x33, 0x80) << int(QPainter::CompositionMode_Xor);
    QTest::newRow("too large, no alpha") << QVariant(500) << QVariant(0x00FF0000u)
                                         << QVariant(int(QPainter::RasterOp_NotDestination)) << 200 << QColor(255, 0, 0)
                                         << int(QPainter::RasterOp_NotDestination);
    // A hand-edited or damaged file: what is no value of its kind gives the default.
    QTest::newRow("mode past the painter's") << QVariant() << QVariant() << QVariant(99999) << 50 << grey << sourceOver;
    QTest::newRow("mode one past the last")
        << QVariant() << QVariant() << QVariant(int(QPainter::RasterOp_NotDestination) + 1) << 50 << grey << sourceOver;
    QTest::newRow("negative mode") << QVariant() << QVariant() << QVariant(-1) << 50 << grey << sourceOver;
    QTest::newRow("words") << QVariant(QStringLiteral("wide")) << QVariant(QStringLiteral("grey"))
                           << QVariant(QStringLiteral("xor")) << 50 << grey << sourceOver;
}

void TestGraphicsView::gridSettings()
{
    QFETCH(QVariant, size);
    QFETCH(QVariant, color);
    QFETCH(QVariant, mode);
    QFETCH(int, gridSize);
    QFETCH(QColor, gridColor);
    QFETCH(int, gridMode);
    const QStringList keys{QStringLiteral("gridOverlay.size"), QStringLiteral("gridOverlay.color"),
                           QStringLiteral("gridOverlay.compositionMode")};
    {
        NAVIK_tarl1::CSettings settings;
        const QVariantList values{size, color, mode};
        for (int i = 0; i < keys.size(); ++i) {
            settings.remove(keys.at(i));
            if (values.at(i).isValid())
                settings.setValue(keys.at(i), values.at(i));
        }
    }
    ViewFixture f(QSize(400, 300));
    // The grid is drawn with what was read.
    f.view.showGridOverlay(true);
    f.show();
    QVERIFY(!f.view.viewport()->grab().isNull());
    QCOMPARE(f.view.gridSize(), gridSize);
    QCOMPARE(f.view.gridColor(), gridColor);
    QCOMPARE(f.view.gridCompositionMode(), gridMode);
    NAVIK_tarl1::CSettings settings;
    for (const QString& key : keys)
        settings.remove(key);
}

void TestGraphicsView::pressOnReportingItemShowsItsPosition()
{
    ViewFixture f(QSize(400, 300));
    auto* handle = new ToolItem(QRectF(-5, -5, 10, 10), false, true);
    handle->setPos(100, 80);
    auto* overlay = new ToolItem(QRectF(200, 0, 100, 100), true, false);
    f.scene.addItem(handle);
    f.scene.addItem(overlay);
    f.show();
    f.view.setCurrentViewZoom(100);
    QSignalSpy onScene(&f.view, &CBaseGraphicsView::mouseOnScenePoint);
    QSignalSpy presses(&f.view, &CBaseGraphicsView::mousePressSignal);

    const QPoint atHandle = f.view.mapFromScene(QPointF(100, 80));
    QVERIFY(f.view.isToolItemAt(atHandle));
    QVERIFY(!f.view.isToolItemAt(f.view.mapFromScene(QPointF(250, 50))));
    QVERIFY(!f.view.isToolItemAt(f.view.mapFromScene(QPointF(50, 250))));
    QTest::mousePress(f.view.viewport(), Qt::LeftButton, {}, atHandle);
    QCOMPARE(presses.count(), 1);
    QCOMPARE(onScene.count(), 1);
    QCOMPARE(onScene.first().at(0).toPointF(), QPointF(100, 80));
    QCOMPARE(onScene.first().at(2).toBool(), true);
    QTest::mouseRelease(f.view.viewport(), Qt::LeftButton, {}, atHandle);
}

void TestGraphicsView::processingIndicationHeldAfterZoom()
{
    ViewFixture f(QSize(400, 300));
    f.show();
    QTRY_VERIFY(!CBaseGraphicsView::isProcessingIndicationSuppressed());
    f.view.setCurrentViewZoom(50);
    QVERIFY(CBaseGraphicsView::isProcessingIndicationSuppressed());
    f.view.onProcessingStarted();
    QVERIFY(f.view.isProcessing());
    QTRY_VERIFY(!CBaseGraphicsView::isProcessingIndicationSuppressed());
    f.view.onProcessingFinished();
    QTRY_VERIFY(!f.view.isProcessing());
}

QTEST_MAIN(TestGraphicsView)
#include "tst_graphicsview.moc"
