// The crop rectangle controller: placement and its signals, ratios, the state
// blob, the snapping geometry, handle drags within the bounds, orientation
// flips and whole-rectangle moves.

#include "correction/ICorrectionModuleHost.h"
#include "crop/CCropCorrection.h"
#include "crop/CCropGraphicsRect.h"
#include "utils/DataStreamFormat.h"

#include "FakeProcessEngine.h"
#include "RecordingLogger.h"
#include "TestApplication.h"

#include <QGraphicsItemGroup>
#include <QGraphicsScene>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

namespace {

// The module as the controller sees it, with its choices set by the test.
class RecordingCropCorrection : public CCropCorrection
{
public:
    RecordingCropCorrection()
        : CCropCorrection(5)
    {
    }
    int moves = 0;
    int inversions = 0;
    int labelRequests = 0;
    double ratio = -1.0;

protected:
    // The fixture builds its own controller.
    void doInitialize() override {}

public:

    void setConstrainToImage(bool constrain) { constrainToImage = constrain; }
    void setCropType(const QString& type) { cropTypeIsAuto = type == QLatin1String("autoCrop"); }
    void setCropRatio(double value) { ratio = value; }
    double cropRatio() const override { return ratio; }
    void showCropSizeLabel() override { ++labelRequests; }
    void onCropRectMoved() override { ++moves; }
    void invertCropRatio() override
    {
        ++inversions;
        if (ratio != 0.0)
            ratio = 1 / ratio;
    }
};

// A host that only names the current correction.
class CurrentCorrectionHost : public ICorrectionModuleHost
{
public:
    QString current = QStringLiteral("Empty_Correction_ID");
    IProcessEngine* processEngine() override { return nullptr; }
    bool isModuleActive(const QString&) override { return true; }
    QString currentCorrectionName() override { return current; }
    void processModuleAction(const QString&, const QString&, const QString&) override {}
    QGraphicsItemGroup* beforeSceneItemGroup(const QString&) override { return nullptr; }
    QGraphicsItemGroup* afterSceneItemGroup(const QString&) override { return nullptr; }
    void addItemToAfterSceneGroupA(QGraphicsItem*) override {}
    void addItemToAfterSceneGroupB(QGraphicsItem*) override {}
    void deactivateAllSceneItems() override {}
    QObject* hostObject() override { return nullptr; }
    void resetBeforeImageOpen() override {}
    void setSingleMode() override {}
    void setSplitedMode() override {}
    ICorrectionModuleInterfacePtr module(const QString&) const override { return {}; }
    ICorrectionModuleInterfacePtr currentCorrectionModule() override { return {}; }
    bool isAnyModuleActive() override { return true; }
};

// A scene of the given size with a controller in it.
struct Fixture
{
    explicit Fixture(QSizeF size)
        : scene(QRectF(QPointF(0, 0), size))
    {
        group = new QGraphicsItemGroup;
        scene.addItem(group);
        controller = std::make_unique<CCropGraphicsRect>(correction, group, nullptr);
    }
    QGraphicsScene scene;
    QGraphicsItemGroup* group = nullptr;
    RecordingCropCorrection correction;
    std::unique_ptr<CCropGraphicsRect> controller;

    CCropPoint* point(const QString& name) const
    {
        for (CCropPoint* p : controller->points()) {
            if (p->objectName() == name)
                return p;
        }
        return nullptr;
    }
    void setRect(const QRectF& r)
    {
        const QRectF s = scene.sceneRect();
        controller->setCropRect({r.left() / s.width(), r.top() / s.height(), r.right() / s.width(),
                                 r.bottom() / s.height()});
    }
    void drag(const QString& name, const QPointF& proposed, const QPointF& requested)
    {
        CCropPoint* p = point(name);
        emit p->itemPosWillChanged(p, proposed, requested);
    }
    void drag(const QString& name, const QPointF& pos) { drag(name, pos, pos); }
    QRectF rect() const { return controller->sceneCropRect(); }
};

bool isClose(const QRectF& a, const QRectF& b)
{
    return std::abs(a.x() - b.x()) < 1e-6 && std::abs(a.y() - b.y()) < 1e-6 && std::abs(a.width() - b.width()) < 1e-6
        && std::abs(a.height() - b.height()) < 1e-6;
}

} // namespace

class TestCropGraphicsRect : public QObject
{
    Q_OBJECT
private:
    RecordingLogger& m_logger = RecordingLogger::install();
    FakeProcessEngine m_engine;

private Q_SLOTS:
    void initTestCase() { application()->engine = &m_engine; }
    void init()
    {
        m_engine.imageSize = QSize(-1, -1);
        m_engine.resultSize = QSize(1000, 800);
        m_engine.shift = QPointF();
    }

    void placementAndSignals()
    {
        Fixture f(QSizeF(1000, 800));
        QCOMPARE(f.rect(), QRectF(0, 0, 1000, 800));
        QSignalSpy changed(f.controller.get(), &CCropGraphicsRect::cropRectChanged);
        QSignalSpy moved(f.controller.get(), &CCropGraphicsRect::cropRectMoved);
        f.controller->setCropRect({0.1, 0.25, 0.5, 0.75});
        QCOMPARE(changed.count(), 2);
        QCOMPARE(moved.count(), 1);
        QCOMPARE(f.correction.moves, 1);
        QCOMPARE(f.rect(), QRectF(100, 200, 400, 400));
        QCOMPARE(changed.last().at(0).toRectF(), QRectF(100, 200, 400, 400));
        QCOMPARE(f.point("CropLeftTop")->pos(), QPointF(100, 200));
        QCOMPARE(f.point("CropMidleBottom")->pos(), QPointF(300, 600));
        QCOMPARE(f.point("CropRightMidle")->pos(), QPointF(500, 400));
        QCOMPARE(f.controller->gridLines().at(0)->line(), QLineF(100, 200 + 400.0 / 3, 500, 200 + 400.0 / 3));
        QCOMPARE(f.controller->gridLines().at(3)->line(), QLineF(100 + 800.0 / 3, 200, 100 + 800.0 / 3, 600));
        const auto normalized = f.controller->normalizedCropRect();
        QCOMPARE(normalized.left, 0.1);
        QCOMPARE(normalized.bottom, 0.75);

        // A scene change keeps the fractions, emits one change and no move.
        changed.clear();
        moved.clear();
        f.scene.setSceneRect(0, 0, 500, 400);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(moved.count(), 0);
        QCOMPARE(f.rect(), QRectF(50, 100, 200, 200));

        f.controller->selectAllCanvas();
        QCOMPARE(f.rect(), QRectF(0, 0, 500, 400));
        QCOMPARE(moved.count(), 1);
    }

    void smallSceneGivesMinimumSquare()
    {
        Fixture f(QSizeF(20, 20));
        QCOMPARE(f.rect(), QRectF(0, 0, 32, 32));
        f.controller->setCropRect({0.5, 0.5, 0.6, 0.6});
        QCOMPARE(f.rect(), QRectF(0, 0, 32, 32));
        QVERIFY(f.controller->normalizedCropRect().right > 1.0);
    }

    void ratioFits_data()
    {
        QTest::addColumn<QRectF>("start");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QRectF>("expected");
        QTest::newRow("wide keeps width") << QRectF(100, 100, 400, 300) << 2.0 << QRectF(100, 150, 400, 200);
        QTest::newRow("narrow keeps width") << QRectF(100, 100, 100, 300) << 2.0 << QRectF(100, 225, 100, 50);
        QTest::newRow("tiny grows, kept inside") << QRectF(0, 0, 20, 20) << 2.0 << QRectF(0, 0, 64, 32);
        QTest::newRow("image ratio 0 gives a square") << QRectF(100, 100, 400, 300) << 0.0
                                                      << QRectF(150, 100, 300, 300);
    }
    void ratioFits()
    {
        QFETCH(QRectF, start);
        QFETCH(qreal, ratio);
        QFETCH(QRectF, expected);
        Fixture f(QSizeF(1000, 800));
        f.controller->setCropRatio(-1);
        // The 20 x 20 start needs a free drag, since placement keeps 32 at least.
        f.setRect(start);
        if (start.width() < 32) {
            f.drag("CropRightBottom", QPointF(20, 20));
            QCOMPARE(f.rect(), QRectF(0, 0, 32, 32));
        }
        QSignalSpy moved(f.controller.get(), &CCropGraphicsRect::cropRectMoved);
        f.controller->setCropRatioAndMoveRect(ratio);
        if (start.width() >= 32)
            QVERIFY2(isClose(f.rect(), expected), qPrintable(QStringLiteral("%1 %2 %3 %4").arg(f.rect().x()).arg(f.rect().y()).arg(f.rect().width()).arg(f.rect().height())));
        else
            QCOMPARE(f.rect().size(), expected.size());
        QCOMPARE(moved.count(), 1);
    }

    void freeRatioOnlyStores()
    {
        Fixture f(QSizeF(1000, 800));
        f.setRect(QRectF(100, 100, 400, 300));
        QSignalSpy moved(f.controller.get(), &CCropGraphicsRect::cropRectMoved);
        QSignalSpy changed(f.controller.get(), &CCropGraphicsRect::cropRectChanged);
        f.controller->setCropRatioAndMoveRect(-1);
        QCOMPARE(f.controller->cropRatio(), -1.0);
        QCOMPARE(f.rect(), QRectF(100, 100, 400, 300));
        QCOMPARE(moved.count() + changed.count(), 0);
    }

    void sceneChangeRefitsAFixedManualRatio_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("type");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QSizeF>("newSize");
        QTest::addColumn<QRectF>("expected");
        const QRectF kept(0, 0, 1200, 1000);
        QTest::newRow("refit") << "Crop" << "manualCrop" << 1.5 << QSizeF(1200, 1000)
                               << QRectF(100, 1000.0 / 6, 1000, 2000.0 / 3);
        QTest::newRow("ratio kept within 2 px") << "Crop" << "manualCrop" << 1.5 << QSizeF(1500, 1000)
                                                << QRectF(0, 0, 1500, 1000);
        QTest::newRow("free ratio") << "Crop" << "manualCrop" << -1.0 << QSizeF(1200, 1000) << kept;
        QTest::newRow("automatic crop") << "Crop" << "autoCrop" << 1.5 << QSizeF(1200, 1000) << kept;
        QTest::newRow("other correction") << "Keystoning" << "manualCrop" << 1.5 << QSizeF(1200, 1000) << kept;
    }
    void sceneChangeRefitsAFixedManualRatio()
    {
        QFETCH(QString, current);
        QFETCH(QString, type);
        QFETCH(qreal, ratio);
        QFETCH(QSizeF, newSize);
        QFETCH(QRectF, expected);
        CurrentCorrectionHost host;
        host.current = current;
        Fixture f(QSizeF(600, 400));
        f.correction.setHost(&host);
        f.correction.setCropType(type);
        f.correction.setCropRatio(ratio);
        f.controller->setCropRatio(ratio);
        QSignalSpy changed(f.controller.get(), &CCropGraphicsRect::cropRectChanged);
        QSignalSpy moved(f.controller.get(), &CCropGraphicsRect::cropRectMoved);
        f.scene.setSceneRect(QRectF(QPointF(0, 0), newSize));
        QVERIFY(isClose(f.rect(), expected));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(moved.count(), 0);
        QCOMPARE(f.scene.sceneRect(), QRectF(QPointF(0, 0), newSize));
    }

    void hoverLookFollowsEveryItem()
    {
        Fixture f(QSizeF(1000, 800));
        CCropPoint* handle = f.point("CropRightTop");
        CCropRect* main = f.controller->mainRectItem();
        auto lit = [&]() {
            bool handlesLit = true;
            for (CCropPoint* p : f.controller->points())
                handlesLit = handlesLit && p->brush().color().alpha() == 150;
            return handlesLit && main->pen().style() == Qt::SolidLine;
        };
        emit handle->mouseEntered(handle);
        QVERIFY(lit());
        emit main->mouseEntered(main);
        emit handle->mouseLeaved(handle);
        QVERIFY(lit());
        QCOMPARE(f.correction.labelRequests, 3);
        emit main->mouseLeaved(main);
        QVERIFY(!lit());
        QCOMPARE(f.correction.labelRequests, 3);
    }

    void stateBlob()
    {
        Fixture f(QSizeF(1000, 800));
        f.setRect(QRectF(200, 100, 400, 300));
        f.controller->setCropRatio(1.5);
        const QByteArray blob = f.controller->toByteArray();

        Fixture g(QSizeF(500, 400));
        QSignalSpy moved(g.controller.get(), &CCropGraphicsRect::cropRectMoved);
        QSignalSpy changed(g.controller.get(), &CCropGraphicsRect::cropRectChanged);
        g.controller->restoreState(blob);
        QCOMPARE(g.rect(), QRectF(100, 50, 200, 150));
        QCOMPARE(g.controller->cropRatio(), 1.5);
        QCOMPARE(g.point("CropRightBottom")->pos(), QPointF(300, 200));
        QCOMPARE(moved.count() + changed.count(), 0);
        QCOMPARE(g.correction.moves, 0);
    }

    void zeroSceneBlobHoldsNoInfinity()
    {
        Fixture f(QSizeF(1000, 800));
        f.scene.setSceneRect(0, 0, 0, 10);
        const QMap<QString, QVariant> map = NAVIK_tarl1::variantMapFromBytes(f.controller->toByteArray());
        const QPointF pos = map.value("mainRectPos").toPointF();
        const QRectF rect = map.value("mainRectRect").toRectF();
        for (qreal value : {pos.x(), pos.y(), rect.x(), rect.y(), rect.width(), rect.height()})
            QVERIFY(std::isfinite(value));
        const auto normalized = f.controller->calcNormalizedRect();
        QCOMPARE(normalized, CCropCorrection::NormalizedCropRect());

        // A blob with infinities leaves the geometry as it was.
        Fixture g(QSizeF(1000, 800));
        const double inf = std::numeric_limits<double>::infinity();
        QMap<QString, QVariant> bad;
        bad.insert("mainRectPos", QPointF(inf, 0.1));
        bad.insert("mainRectRect", QRectF(0, 0, inf, 0.5));
        bad.insert("aspectRatio", std::nan(""));
        g.controller->restoreState(NAVIK_tarl1::variantMapToBytes(bad));
        QCOMPARE(g.rect(), QRectF(0, 0, 1000, 800));
        QCOMPARE(g.controller->cropRatio(), -1.0);

        CCropCorrection::NormalizedCropRect withNan{std::nan(""), 0.2, inf, 0.8};
        const auto back = CCropCorrection::NormalizedCropRect::fromVariant(withNan.toVariant());
        QCOMPARE(back.left, 0.0);
        QCOMPARE(back.top, 0.2);
        QCOMPARE(back.right, 0.0);
        QCOMPARE(withNan.toVariant().toByteArray().size(), 32);
    }

    void snapping()
    {
        const QRectF r(0, 0, 100, 100);
        QVERIFY(CCropGraphicsRect::containsWithTolerance(r, QPointF(50, 50)));
        QVERIFY(CCropGraphicsRect::containsWithTolerance(r, QPointF(-5.9, 50)));
        QVERIFY(!CCropGraphicsRect::containsWithTolerance(r, QPointF(-6.0, 50)));
        QCOMPARE(CCropGraphicsRect::closestPointOnRect(r, QPointF(-5.9, 50)), QPointF(0, 50));
        QCOMPARE(CCropGraphicsRect::closestPointOnRect(r, QPointF(-6.0, 50)), QPointF(0, 50));
        // The centre of a square: the left edge wins the tie.
        QCOMPARE(CCropGraphicsRect::closestPointOnRect(r, QPointF(50, 50)), QPointF(0, 50));
        QCOMPARE(CCropGraphicsRect::closestPointOnRect(r, QPointF(80, 30)), QPointF(100, 30));
        // Beyond a corner: the corner, or nothing from the outline search.
        QCOMPARE(CCropGraphicsRect::closestPointOnRect(r, QPointF(120, 130)), QPointF(100, 100));
        QCOMPARE(CCropGraphicsRect::closestPointOnRectOutline(r, QPointF(120, 130)), QPointF(0, 0));
        // Near two edges: left first, against bottom first.
        QCOMPARE(CCropGraphicsRect::closestPointOnRect(r, QPointF(2, 97)), QPointF(0, 97));
        QCOMPARE(CCropGraphicsRect::closestPointOnRectOutline(r, QPointF(2, 97)), QPointF(2, 100));
        QCOMPARE(CCropGraphicsRect::closestPointOnRectOutline(QRectF(0, 0, 0, 10), QPointF(3, 3)), QPointF(0, 0));
        QCOMPARE(CCropGraphicsRect::closestPointOnOutline({}, QPointF(3, 3)), QPointF(0, 0));
    }

    void minimumSize()
    {
        Fixture f(QSizeF(1000, 800));
        f.setRect(QRectF(100, 100, 400, 200));
        f.controller->setCropRatio(2.0);
        QPointF pos(480, 100);
        QRectF rect(0, 0, 20, 200);
        f.controller->applyMinimumSize(f.point("CropLeftMidle"), pos, rect);
        QCOMPARE(rect, QRectF(0, 0, 64, 32));
        QCOMPARE(pos, QPointF(500 - 64, 200 - 16));

        f.controller->setCropRatio(-1);
        f.drag("CropLeftTop", QPointF(490, 295));
        QCOMPARE(f.rect(), QRectF(500 - 32, 300 - 32, 32, 32));
    }

    void sideDrags()
    {
        Fixture f(QSizeF(1000, 800));
        f.setRect(QRectF(100, 100, 400, 200));
        f.drag("CropMidleTop", QPointF(300, 150));
        QCOMPARE(f.rect(), QRectF(100, 150, 400, 150));
        f.controller->setCropRatio(0.0);
        f.drag("CropRightMidle", QPointF(400, 225));
        QCOMPARE(f.rect(), QRectF(100, 225 - 150, 300, 300));
        f.controller->setCropRatio(2.0);
        f.drag("CropMidleBottom", QPointF(250, 75 + 100));
        QCOMPARE(f.rect(), QRectF(250 - 100, 75, 200, 100));
    }

    void dragsWithinBounds()
    {
        Fixture f(QSizeF(1000, 800));
        f.setRect(QRectF(100, 100, 400, 300));
        // Free: above the top the handle slides along the top edge.
        f.drag("CropLeftTop", QPointF(150, -50));
        QCOMPARE(f.rect(), QRectF(150, 0, 350, 400));
        // Fixed ratio: the same step is dropped.
        f.setRect(QRectF(100, 100, 400, 300));
        f.controller->setCropRatio(4.0 / 3.0);
        QSignalSpy moved(f.controller.get(), &CCropGraphicsRect::cropRectMoved);
        f.drag("CropLeftTop", QPointF(20, -50), QPointF(20, -50));
        QCOMPARE(moved.count(), 0);
        QCOMPARE(f.rect(), QRectF(100, 100, 400, 300));

        // The bottom side 5 px beyond the result image passes, 7 px does not.
        f.controller->setCropRatio(-1);
        m_engine.resultSize = QSize(1000, 395);
        f.drag("CropRightMidle", QPointF(450, 250));
        QCOMPARE(f.rect(), QRectF(100, 100, 350, 300));
        m_engine.resultSize = QSize(1000, 393);
        moved.clear();
        f.drag("CropRightMidle", QPointF(480, 250));
        QCOMPARE(moved.count(), 0);
        QCOMPARE(f.rect(), QRectF(100, 100, 350, 300));
    }

    void dragConstrainedToSourceImage()
    {
        Fixture f(QSizeF(1000, 800));
        f.setRect(QRectF(100, 100, 400, 300));
        f.correction.setConstrainToImage(true);
        m_engine.imageSize = QSize(900, 700);
        m_engine.shift = QPointF(50, 50); // scene = source + (50, 50)
        // The source image spans (50, 50)-(950, 750) in the scene.
        f.drag("CropLeftTop", QPointF(20, 150));
        QCOMPARE(f.rect(), QRectF(50, 150, 450, 250));
        f.controller->setCropRect({0.1, 0.1, 0.5, 0.5});
        QVERIFY(f.controller->isCropRectInsideImage());
        f.controller->setCropRect({0.0, 0.0, 0.5, 0.5});
        QVERIFY(!f.controller->isCropRectInsideImage());
        m_engine.imageSize = QSize(-1, -1);
        QVERIFY(f.controller->isCropRectInsideImage());
    }

    void flips_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QString>("handle");
        QTest::addColumn<QPointF>("fromAnchor");
        QTest::addColumn<bool>("flips");
        QTest::newRow("landscape taller than wide") << 1.5 << "CropLeftTop" << QPointF(-10, -11) << true;
        QTest::newRow("landscape square drag") << 1.5 << "CropLeftTop" << QPointF(-11, -11) << false;
        QTest::newRow("portrait truncated equal") << 0.5 << "CropRightBottom" << QPointF(30.9, 30) << false;
        QTest::newRow("portrait wider than tall") << 0.5 << "CropRightBottom" << QPointF(40, 30) << true;
        QTest::newRow("beyond the anchor") << 1.5 << "CropLeftTop" << QPointF(10, 50) << false;
        QTest::newRow("square ratio") << 1.0 << "CropLeftTop" << QPointF(-10, -50) << false;
        QTest::newRow("free ratio") << -1.0 << "CropLeftTop" << QPointF(-10, -50) << false;
        QTest::newRow("image ratio") << 0.0 << "CropLeftTop" << QPointF(-10, -50) << false;
        QTest::newRow("middle handle") << 1.5 << "CropMidleTop" << QPointF(-10, -50) << false;
    }
    void flips()
    {
        QFETCH(qreal, ratio);
        QFETCH(QString, handle);
        QFETCH(QPointF, fromAnchor);
        QFETCH(bool, flips);
        Fixture f(QSizeF(1000, 800));
        f.setRect(QRectF(200, 200, 300, 200));
        f.controller->setCropRatio(ratio);
        f.correction.setCropRatio(ratio);
        QPointF anchor;
        CCropPoint* point = f.point(handle);
        point->isInOwnQuadrant(QPointF(), &anchor);
        if (handle == "CropMidleTop")
            anchor = QPointF(500, 400);
        const QRectF before = f.rect();
        QCOMPARE(f.controller->tryFlipOrientation(point, anchor + fromAnchor), flips);
        QCOMPARE(f.correction.inversions, flips ? 1 : 0);
        if (!flips) {
            QCOMPARE(f.rect(), before);
            QCOMPARE(f.controller->cropRatio(), ratio);
            return;
        }
        QCOMPARE(f.controller->cropRatio(), 1 / ratio);
        QCOMPARE(f.correction.cropRatio(), 1 / ratio);
        if (handle == "CropLeftTop") {
            // Portrait 200 x 300 with its bottom-right corner in place.
            QCOMPARE(f.rect(), QRectF(300, 100, 200, 300));
        } else {
            QCOMPARE(f.rect().topLeft(), before.topLeft());
            QCOMPARE(f.rect().width() / f.rect().height(), 1 / ratio);
        }
    }

    // A test script may ask for any handle position: far beyond 32-bit
    // integers, infinite or not a number. The distances beyond that range
    // count as the largest one.
    void extremeRequests_data()
    {
        const qreal inf = std::numeric_limits<qreal>::infinity();
        const qreal nan = std::numeric_limits<qreal>::quiet_NaN();
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QString>("handle");
        QTest::addColumn<QPointF>("requested");
        QTest::addColumn<bool>("flips");
        QTest::newRow("far up and left") << 1.5 << "CropLeftTop" << QPointF(-1e12, -1e12) << false;
        QTest::newRow("far down") << 1.5 << "CropRightBottom" << QPointF(600, 1e12) << true;
        QTest::newRow("far right") << 1.5 << "CropRightBottom" << QPointF(1e12, 300) << false;
        QTest::newRow("just past 32 bits") << 0.5 << "CropRightTop" << QPointF(3e9, 300) << true;
        QTest::newRow("infinitely far up") << 1.5 << "CropLeftTop" << QPointF(300, -inf) << true;
        QTest::newRow("not a number") << 1.5 << "CropLeftTop" << QPointF(nan, nan) << false;
        QTest::newRow("free, far down and right") << -1.0 << "CropRightBottom" << QPointF(1e12, 1e12) << false;
        QTest::newRow("free, infinitely far left") << -1.0 << "CropLeftBottom" << QPointF(-inf, 500) << false;
    }
    void extremeRequests()
    {
        QFETCH(qreal, ratio);
        QFETCH(QString, handle);
        QFETCH(QPointF, requested);
        QFETCH(bool, flips);
        Fixture f(QSizeF(1000, 800));
        f.setRect(QRectF(200, 200, 300, 200));
        f.controller->setCropRatio(ratio);
        f.correction.setCropRatio(ratio);
        f.point(handle)->setPosByScript(requested);
        QCOMPARE(f.controller->cropRatio(), flips ? 1 / ratio : ratio);
        const QRectF r = f.rect();
        QVERIFY(std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width()) && std::isfinite(r.height()));
        QVERIFY2(QRectF(0, 0, 1000, 800).contains(r), qPrintable(QStringLiteral("%1 %2 %3 %4")
                                                                    .arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height())));
    }

    void flipFitsTheSceneAndTheImage()
    {
        // A flip at the minimum size near the scene's top-left corner grows
        // past the anchor; it is kept at non-negative coordinates.
        Fixture f(QSizeF(1000, 800));
        f.setRect(QRectF(0, 0, 32, 48));
        f.controller->setCropRatio(2.0 / 3.0);
        QVERIFY(f.controller->tryFlipOrientation(f.point("CropLeftTop"), QPointF(-8, 38)));
        QCOMPARE(f.rect(), QRectF(0, 16, 48, 32));

        // Room to the top smaller than the flipped height: shrunk along the ratio.
        Fixture s(QSizeF(1000, 800));
        s.setRect(QRectF(20, 20, 450, 300));
        s.controller->setCropRatio(1.5);
        QVERIFY(s.controller->tryFlipOrientation(s.point("CropLeftTop"), QPointF(460, 0)));
        QVERIFY(isClose(s.rect(), QRectF(470 - 320 / 1.5, 0, 320 / 1.5, 320)));

        // Wide and low near the bottom: the flip grows past the bottom border
        // and is pushed back inside.
        Fixture g(QSizeF(1000, 800));
        g.setRect(QRectF(100, 700, 150, 100));
        g.controller->setCropRatio(1.5);
        QVERIFY(g.controller->tryFlipOrientation(g.point("CropRightBottom"), QPointF(110, 900)));
        QVERIFY(g.rect().bottom() <= 800.0);
        QVERIFY(g.rect().right() <= 1000.0);

        // Constrained: a flip leaving the source image by more than 6 px is refused.
        Fixture h(QSizeF(1000, 800));
        h.setRect(QRectF(100, 100, 300, 200));
        h.controller->setCropRatio(1.5);
        h.correction.setCropRatio(1.5);
        h.correction.setConstrainToImage(true);
        m_engine.imageSize = QSize(1000, 350);
        QVERIFY(!h.controller->tryFlipOrientation(h.point("CropRightBottom"), QPointF(110, 400)));
        QCOMPARE(h.controller->cropRatio(), 1.5);
        QCOMPARE(h.correction.cropRatio(), 1.5);
        QCOMPARE(h.correction.inversions, 0);
        QCOMPARE(h.rect(), QRectF(100, 100, 300, 200));
    }

    // Without an item group the controller still builds its items, outside
    // any scene, and logs the fault.
    void noItemGroup()
    {
        RecordingCropCorrection correction;
        m_logger.clear();
        CCropGraphicsRect controller(correction, nullptr, nullptr);
        QCOMPARE(controller.points().size(), 8);
        QVERIFY(!controller.mainRectItem()->scene());
        QVERIFY(!m_logger.linesAt('E').isEmpty());
        controller.setCropRect({0.1, 0.1, 0.9, 0.9});
        QCOMPARE(controller.calcNormalizedRect(), CCropCorrection::NormalizedCropRect());
    }

    void moves()
    {
        Fixture f(QSizeF(1000, 800));
        m_engine.resultSize = QSize(1000, 800);
        f.setRect(QRectF(100, 100, 200, 100));
        CCropRect* main = f.controller->mainRectItem();
        emit main->itemPosChanged(QPointF(820, 300));
        QCOMPARE(f.rect(), QRectF(800, 300, 200, 100));
        emit main->itemPosChanged(QPointF(805, 300));
        QCOMPARE(f.rect(), QRectF(805, 300, 200, 100));
        QSignalSpy moved(f.controller.get(), &CCropGraphicsRect::cropRectMoved);
        emit main->itemPosChanged(QPointF(820, 720));
        QCOMPARE(moved.count(), 0);
        QCOMPARE(f.rect(), QRectF(805, 300, 200, 100));
        emit main->itemPosChanged(QPointF(-20, 40));
        QCOMPARE(f.rect(), QRectF(0, 40, 200, 100));
        QCOMPARE(f.point("CropRightBottom")->pos(), QPointF(200, 140));

        m_engine.resultSize = QSize();
        emit main->itemPosChanged(QPointF(2000, 2000));
        QCOMPARE(f.rect().topLeft(), QPointF(2000, 2000));
    }

    void movesConstrainedToSourceImage()
    {
        Fixture f(QSizeF(1000, 800));
        f.setRect(QRectF(100, 100, 200, 100));
        f.correction.setConstrainToImage(true);
        m_engine.imageSize = QSize(900, 700);
        m_engine.shift = QPointF(50, 50);
        CCropRect* main = f.controller->mainRectItem();
        emit main->itemPosChanged(QPointF(20, 300));
        QCOMPARE(f.rect(), QRectF(50, 300, 200, 100));
        emit main->itemPosChanged(QPointF(46, 300));
        QCOMPARE(f.rect(), QRectF(46, 300, 200, 100));
    }
};

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestCropGraphicsRect test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_cropgraphicsrect.moc"
