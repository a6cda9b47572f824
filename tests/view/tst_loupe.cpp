// The loupe: the full-resolution rectangles it asks for at 100 % and 200 %,
// the results it shows or drops, the advanced mode and its settings.

#include "ViewTestSupport.h"

#include "utils/CSettings.h"
#include "view/CLoupeGraphicsView.h"
#include "view/CLoupeWidget.h"
#include "view/CBaseGraphicsView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>

namespace {

struct LoupeFixture
{
    LoupeFixture()
        : before(true, &engine, nullptr)
        , after(false, &engine, nullptr)
    {
        {
            NAVIK_tarl1::CSettings settings;
            settings.setValue(QStringLiteral("app_loupeAdvanceMode"), false);
            settings.setValue(QStringLiteral("app_loupeZoom"), 0);
        }
        loupe = std::make_unique<CLoupeWidget>();
        showImage(engine, true, QSize(4000, 3000));
        showImage(engine, false, QSize(3800, 2900));
        loupe->setBeforeScene(&before);
        loupe->setAfterScene(&after);
        loupe->resize(311, 202);
        loupe->show();
        if (!QTest::qWaitForWindowExposed(loupe.get()))
            qWarning("The loupe window was not exposed");
    }
    QSize viewport() const { return loupe->loupeView()->viewport()->size(); }
    // The colour at the centre of the picture the loupe rests on.
    QColor shownCentre() const
    {
        const QImage shown = loupe->loupeView()->frozenPixmap().toImage();
        return shown.pixelColor(shown.width() / 2, shown.height() / 2);
    }

    FakeProjectionEngine engine;
    CBaseGraphicsScene before;
    CBaseGraphicsScene after;
    std::unique_ptr<CLoupeWidget> loupe;
};

} // namespace

class TestLoupe : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void requestCoversWhatIsShown_data();
    void requestCoversWhatIsShown();
    void oneRequestUntilTheLoupeMoves();
    void zoomLevelHalvesAndDoublesTheLastRectangle();
    void resultsOfAnotherSizeAreDropped();
    void advancedModeFollowsOnlyToolDrags();
    void toolLeavingTheSpotLeavesThePicture_data();
    void toolLeavingTheSpotLeavesThePicture();
    void pictureOfAnotherSizeIsShownAsItIsNow_data();
    void pictureOfAnotherSizeIsShownAsItIsNow();
    void settingsKept();
};

void TestLoupe::requestCoversWhatIsShown_data()
{
    QTest::addColumn<int>("zoomIndex");
    QTest::addColumn<bool>("initial");
    QTest::addColumn<QPointF>("point");
    QTest::newRow("100 % before") << 0 << true << QPointF(1000, 700);
    QTest::newRow("200 % after") << 1 << false << QPointF(2500, 1800);
    QTest::newRow("100 % corner") << 0 << true << QPointF(5, 5);
}

void TestLoupe::requestCoversWhatIsShown()
{
    QFETCH(int, zoomIndex);
    QFETCH(bool, initial);
    QFETCH(QPointF, point);
    LoupeFixture f;
    f.loupe->zoomBox()->setCurrentIndex(zoomIndex);
    QSignalSpy requests(f.loupe.get(), &CLoupeWidget::processLoupeRect);
    f.loupe->showScenePoint(point, initial);
    f.loupe->requestHiResLoupeRect();
    QCOMPARE(requests.count(), 1);
    QCOMPARE(requests.last().at(0).toBool(), initial);
    const QRect asked = requests.last().at(1).toRect();
    const double factor = zoomIndex == 1 ? 2.0 : 1.0;
    QCOMPARE(asked.size(), QSize(int(f.viewport().width() / factor + 0.5), int(f.viewport().height() / factor + 0.5)));
    const QRectF shown = f.loupe->loupeView()->mapToScene(f.loupe->loupeView()->viewport()->rect()).boundingRect();
    QVERIFY2(qAbs(asked.x() - shown.x()) <= 1.0 && qAbs(asked.y() - shown.y()) <= 1.0,
             qPrintable(QStringLiteral("asked %1,%2 shown %3,%4").arg(asked.x()).arg(asked.y()).arg(shown.x()).arg(shown.y())));
    QVERIFY(f.loupe->loupeView()->isFrozen());
}

void TestLoupe::oneRequestUntilTheLoupeMoves()
{
    LoupeFixture f;
    QSignalSpy requests(f.loupe.get(), &CLoupeWidget::processLoupeRect);
    f.loupe->showScenePoint(QPointF(1000, 1000), true);
    f.loupe->requestHiResLoupeRect();
    f.loupe->requestHiResLoupeRect();
    QCOMPARE(requests.count(), 1);
    f.loupe->showScenePoint(QPointF(1200, 1000), true);
    QVERIFY(!f.loupe->loupeView()->isFrozen());
    f.loupe->requestHiResLoupeRect();
    QCOMPARE(requests.count(), 2);
}

void TestLoupe::zoomLevelHalvesAndDoublesTheLastRectangle()
{
    LoupeFixture f;
    QSignalSpy requests(f.loupe.get(), &CLoupeWidget::processLoupeRect);
    // Before any request only the view is rescaled.
    f.loupe->zoomBox()->setCurrentIndex(1);
    f.loupe->zoomBox()->setCurrentIndex(0);
    QCOMPARE(requests.count(), 0);

    f.loupe->showScenePoint(QPointF(2000, 1500), false);
    f.loupe->requestHiResLoupeRect();
    const QRect first = requests.last().at(1).toRect();
    f.loupe->zoomBox()->setCurrentIndex(1);
    const QRect half = requests.last().at(1).toRect();
    QCOMPARE(half.center(), first.center());
    QVERIFY(qAbs(half.width() * 2 - first.width()) <= 1);
    f.loupe->zoomBox()->setCurrentIndex(0);
    const QRect doubled = requests.last().at(1).toRect();
    QVERIFY(qAbs(doubled.width() - first.width()) <= 1 && qAbs(doubled.height() - first.height()) <= 1);

    // Near the corner the doubled rectangle is pushed back inside the picture.
    f.loupe->zoomBox()->setCurrentIndex(1);
    f.loupe->showScenePoint(QPointF(0, 0), false);
    f.loupe->requestHiResLoupeRect();
    f.loupe->zoomBox()->setCurrentIndex(0);
    const QRect back = requests.last().at(1).toRect();
    QCOMPARE(back.topLeft(), QPoint(0, 0));
}

void TestLoupe::resultsOfAnotherSizeAreDropped()
{
    LoupeFixture f;
    f.loupe->showScenePoint(QPointF(1000, 1000), true);
    f.loupe->requestHiResLoupeRect();
    const QRect rect(900, 930, 100, 60);
    f.loupe->onLoupeImageProcessed(solidPixels(50, 60), rect);
    f.loupe->onLoupeImageProcessed(PixelDataPtr(), rect);
    QVERIFY(f.loupe->loupeView()->overlayPixmap().isNull());
    const QPixmap frozen = f.loupe->loupeView()->frozenPixmap();
    f.loupe->onLoupeImageProcessed(solidPixels(100, 60, Qt::blue), rect);
    QCOMPARE(f.loupe->loupeView()->frozenPixmap().size(), QSize(100, 60));
    QCOMPARE(f.loupe->loupeView()->frozenPixmap().toImage().pixelColor(50, 30), QColor(Qt::blue));
    QVERIFY(frozen.cacheKey() != f.loupe->loupeView()->frozenPixmap().cacheKey());
}

void TestLoupe::advancedModeFollowsOnlyToolDrags()
{
    LoupeFixture f;
    CBaseGraphicsView view;
    view.setAndConnectScene(&f.before);
    f.loupe->connectToView(&view);
    f.loupe->advancedModeBox()->setChecked(true);
    const auto centre = [&] {
        return f.loupe->loupeView()->mapToScene(f.loupe->loupeView()->viewport()->rect().center());
    };
    f.loupe->showScenePoint(QPointF(1000, 1000), true);
    const QPointF start = centre();
    // A plain move, and a drag without a tool: not followed.
    emit view.mouseOnScenePoint(QPointF(3000, 2000), true, false);
    emit view.mouseOnScenePoint(QPointF(3000, 2000), true, true);
    QCOMPARE(centre(), start);
    // A drag with the hand tool on: followed.
    QMetaObject::invokeMethod(f.loupe.get(), "onEnterHandTool");
    emit view.mouseOnScenePoint(QPointF(3000, 2000), true, true);
    QVERIFY(qAbs(centre().x() - 3000) <= 1 && qAbs(centre().y() - 2000) <= 1);
    // Without the advanced mode every move is followed.
    f.loupe->advancedModeBox()->setChecked(false);
    emit view.mouseOnScenePoint(QPointF(1500, 1200), true, false);
    QVERIFY(qAbs(centre().x() - 1500) <= 1 && qAbs(centre().y() - 1200) <= 1);
}

void TestLoupe::toolLeavingTheSpotLeavesThePicture_data()
{
    QTest::addColumn<bool>("advancedMode");
    QTest::addColumn<int>("zoomIndex");
    // Applied: the tool closes. Reset: it stays, its handles go back.
    QTest::addColumn<bool>("applied");
    QTest::newRow("applied, tools actions only, 100 %") << true << 0 << true;
    QTest::newRow("applied, every move, 200 %") << false << 1 << true;
    QTest::newRow("reset, tools actions only, 100 %") << true << 0 << false;
}

void TestLoupe::toolLeavingTheSpotLeavesThePicture()
{
    QFETCH(bool, advancedMode);
    QFETCH(int, zoomIndex);
    QFETCH(bool, applied);
    LoupeFixture f;
    f.loupe->advancedModeBox()->setChecked(advancedMode);
    f.loupe->zoomBox()->setCurrentIndex(zoomIndex);
    auto* handle = new ToolItem(QRectF(0, 0, 4000, 3000), false, false);
    f.before.addItem(handle);
    QMetaObject::invokeMethod(f.loupe.get(), "onToolStateIsChanged", Q_ARG(bool, true));
    QSignalSpy requests(f.loupe.get(), &CLoupeWidget::processLoupeRect);
    f.loupe->showScenePoint(QPointF(1000, 1000), true);
    f.loupe->requestHiResLoupeRect();
    QCOMPARE(requests.count(), 1);
    const QRect rect = requests.last().at(1).toRect();
    // The pointer goes to the tool's Apply button; the render comes after.
    QMetaObject::invokeMethod(f.loupe.get(), "onMouseLeavedFromView");
    f.loupe->onLoupeImageProcessed(solidPixels(rect.width(), rect.height(), Qt::blue), rect);
    QCOMPARE(f.shownCentre(), QColor(Qt::green));

    // The handle leaves the spot shown, then the window reports the tool's state.
    if (applied)
        delete handle;
    else
        handle->setRect(QRectF(0, 0, 10, 10));
    QMetaObject::invokeMethod(f.loupe.get(), "onToolStateIsChanged", Q_ARG(bool, !applied));
    QCOMPARE(f.shownCentre(), QColor(Qt::blue));
    QCOMPARE(f.loupe->loupeView()->frozenPixmap().size(), rect.size() * (zoomIndex + 1));
}

void TestLoupe::pictureOfAnotherSizeIsShownAsItIsNow_data()
{
    QTest::addColumn<bool>("advancedMode");
    QTest::addColumn<int>("zoomIndex");
    QTest::newRow("tools actions only, 100 %") << true << 0;
    QTest::newRow("every move, 200 %") << false << 1;
}

// A crop applied gives the picture another size, and its undo the first size
// again. The loupe resting on the picture as it was, with the crop's mask
// drawn over it, shows the same part of the picture as it is now, without
// the mask, and asks for it at full resolution.
void TestLoupe::pictureOfAnotherSizeIsShownAsItIsNow()
{
    QFETCH(bool, advancedMode);
    QFETCH(int, zoomIndex);
    LoupeFixture f;
    f.loupe->advancedModeBox()->setChecked(advancedMode);
    f.loupe->zoomBox()->setCurrentIndex(zoomIndex);
    const QSize whole(3800, 2900);
    const QSize cropped(1900, 1450);
    auto* mask = new ToolItem(QRectF(QPointF(0, 0), QSizeF(whole)), false, false);
    f.after.addItem(mask);
    QMetaObject::invokeMethod(f.loupe.get(), "onToolStateIsChanged", Q_ARG(bool, true));
    QSignalSpy requests(f.loupe.get(), &CLoupeWidget::processLoupeRect);
    f.loupe->showScenePoint(QPointF(1900, 725), false);
    f.loupe->requestHiResLoupeRect();
    QCOMPARE(requests.count(), 1);
    const QRect first = requests.last().at(1).toRect();
    QMetaObject::invokeMethod(f.loupe.get(), "onMouseLeavedFromView");
    f.loupe->onLoupeImageProcessed(solidPixels(first.width(), first.height(), Qt::blue), first);
    QCOMPARE(f.shownCentre(), QColor(Qt::green));

    // Applied: the tool closes with its mask still over the picture as it
    // was; then the cropped picture comes, the mask gone from it.
    QMetaObject::invokeMethod(f.loupe.get(), "onToolStateIsChanged", Q_ARG(bool, false));
    delete mask;
    for (const QSize& size : {cropped, whole}) {
        requests.clear();
        showImage(f.engine, false, size);
        QTRY_VERIFY(!requests.isEmpty());
        QCOMPARE(requests.first().at(0).toBool(), false);
        const QRect asked = requests.first().at(1).toRect();
        QVERIFY(QRect(QPoint(0, 0), size).contains(asked));
        const QPointF centre(size.width() / 2.0, size.height() / 4.0);
        // Within the roundings of two moves, in half pixels at 200 %.
        QVERIFY2(qAbs(asked.center().x() - centre.x()) <= 4 && qAbs(asked.center().y() - centre.y()) <= 4,
                 qPrintable(QStringLiteral("asked around %1,%2").arg(asked.center().x()).arg(asked.center().y())));
        // Until the render comes, the picture as it is now.
        QVERIFY(f.loupe->loupeView()->isFrozen());
        QCOMPARE(f.shownCentre(), QColor(Qt::red));
        f.loupe->onLoupeImageProcessed(solidPixels(asked.width(), asked.height(), Qt::blue), asked);
        QCOMPARE(f.shownCentre(), QColor(Qt::blue));
        QCOMPARE(f.loupe->loupeView()->scene(), nullptr);
    }
}

void TestLoupe::settingsKept()
{
    {
        LoupeFixture f;
        f.loupe->zoomBox()->setCurrentIndex(1);
        f.loupe->advancedModeBox()->setChecked(true);
    }
    NAVIK_tarl1::CSettings settings;
    QCOMPARE(settings.value(QStringLiteral("app_loupeZoom")).toInt(), 1);
    QCOMPARE(settings.value(QStringLiteral("app_loupeAdvanceMode")).toBool(), true);
    settings.remove(QStringLiteral("app_loupeZoom"));
    settings.remove(QStringLiteral("app_loupeAdvanceMode"));
    CLoupeWidget fresh;
    QCOMPARE(fresh.zoomBox()->currentIndex(), 0);
    QVERIFY(fresh.advancedModeBox()->isChecked());

    // A zoom level the list does not have gives the first.
    for (const QVariant& damaged : {QVariant(2), QVariant(-1), QVariant(QStringLiteral("big"))}) {
        settings.setValue(QStringLiteral("app_loupeZoom"), damaged);
        CLoupeWidget loupe;
        QCOMPARE(loupe.zoomBox()->currentIndex(), 0);
    }
    settings.remove(QStringLiteral("app_loupeZoom"));
}

QTEST_MAIN(TestLoupe)
#include "tst_loupe.moc"
