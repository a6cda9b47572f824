// The sets of handles: which items each correction type shows, the engine's
// point orders, the eight-point set's default points, serialised states
// restored into a fresh set, short point lists, and Tab through the eight
// points.

#include "correction/CCorrectionItems.h"
#include "correction/CEdge.h"
#include "correction/CRectangleNode.h"
#include "correction/FocusController.h"
#include "shell/CBaseCorrectionGlobalData.h"

#include "FakeProcessEngine.h"
#include "RecordingLogger.h"
#include "TestApplication.h"

#include <QGraphicsItemGroup>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QTest>

namespace {

int assertionCount(const RecordingLogger& logger)
{
    return logger.linesAt('E').filter(QStringLiteral("ASSERT in ")).size();
}

// A set built the way the keystoning base builds it, in one scene group.
struct BuiltSet
{
    BuiltSet(QGraphicsScene& scene, CBaseCorrectionGlobalData* images, const QString& prefix)
    {
        group = new QGraphicsItemGroup;
        group->setHandlesChildEvents(false);
        scene.addItem(group);
        const auto node = [&](const char* name) {
            auto* item = new CRectangleNode(nullptr, images, prefix + QLatin1String(name));
            group->addToGroup(item);
            return item;
        };
        set.leftTop = node("LeftTop");
        set.rightTop = node("RightTop");
        set.leftBottom = node("LeftBottom");
        set.rightBottom = node("RightBottom");
        const auto edge = [&](CRectangleNode* a, CRectangleNode* b, const char* name) {
            auto* item = new CEdge(a, b, prefix + QLatin1String(name));
            group->addToGroup(item);
            return item;
        };
        set.leftEdge = edge(set.leftTop, set.leftBottom, "Left");
        set.rightEdge = edge(set.rightTop, set.rightBottom, "Right");
        set.topEdge = edge(set.leftTop, set.rightTop, "Top");
        set.bottomEdge = edge(set.leftBottom, set.rightBottom, "Bottom");
        set.eightPointsItems = new Ckeystoning8PointsItems(&owner, images, prefix);
        set.eightPointsItems->addToGroup(group);
    }

    // The shown flags: LeftTop, RightTop, LeftBottom, RightBottom, Left,
    // Right, Top, Bottom, eight points; e.g. "1111 0011 0".
    QString shown() const
    {
        QString flags;
        for (CRectangleNode* node : {set.leftTop, set.rightTop, set.leftBottom, set.rightBottom})
            flags += node->isVisible() ? QLatin1Char('1') : QLatin1Char('0');
        flags += QLatin1Char(' ');
        for (CEdge* edge : {set.leftEdge, set.rightEdge, set.topEdge, set.bottomEdge})
            flags += edge->isVisible() ? QLatin1Char('1') : QLatin1Char('0');
        flags += set.eightPointsItems->isVisible() ? QStringLiteral(" 1") : QStringLiteral(" 0");
        return flags;
    }

    QObject owner;
    QGraphicsItemGroup* group;
    CCorrectionItems set;
};

} // namespace

class TestCorrectionItemSets : public QObject
{
    Q_OBJECT
private:
    RecordingLogger& m_logger = RecordingLogger::install();
    FakeProcessEngine m_engine;
    std::unique_ptr<CBaseCorrectionGlobalData> m_images;
    std::unique_ptr<QGraphicsScene> m_scene;

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void modes();
    void namesAndOrders();
    void defaultEightPoints();
    void pointsRoundTripAndShortLists();
    void serialisedStateRestoresAFreshSet();
    void colorsOnUnbuiltSets();
    void tabGoesClockwiseThroughShownPoints();
};

void TestCorrectionItemSets::initTestCase()
{
    m_images = std::make_unique<CBaseCorrectionGlobalData>();
}

void TestCorrectionItemSets::init()
{
    application()->engine = &m_engine;
    m_scene = std::make_unique<QGraphicsScene>();
    m_scene->setSceneRect(0, 0, 1, 1);
    m_logger.clear();
}

void TestCorrectionItemSets::cleanup()
{
    m_scene.reset();
    application()->engine = nullptr;
}

void TestCorrectionItemSets::modes()
{
    BuiltSet built(*m_scene, m_images.get(), QStringLiteral("AfterKeystoning"));
    CCorrectionItems& set = built.set;
    QCOMPARE(built.shown(), QStringLiteral("1111 0000 0"));  // edges start hidden
    set.setHorizontalCorrectionMode();
    QCOMPARE(built.shown(), QStringLiteral("1111 0011 0"));
    set.setVerticalCorrectionMode();
    QCOMPARE(built.shown(), QStringLiteral("1111 1100 0"));
    set.setRectangleCorrectionMode();
    QCOMPARE(built.shown(), QStringLiteral("1111 1111 0"));
    set.set8PointsCorrectionMode();
    QCOMPARE(built.shown(), QStringLiteral("0000 0000 1"));
    // The horizon shows one line and leaves the eight points as they were.
    set.setHorizonMode();
    QCOMPARE(built.shown(), QStringLiteral("1100 0010 1"));
    set.hideAll();
    QCOMPARE(built.shown(), QStringLiteral("0000 0000 0"));
    QCOMPARE(assertionCount(m_logger), 0);

    set.setOnResultImage(true);
    QVERIFY(set.isOnResultImage());
    QVERIFY(set.leftTop->isOnResultImage() && set.eightPointsItems->topLeft->isOnResultImage());
}

void TestCorrectionItemSets::namesAndOrders()
{
    BuiltSet built(*m_scene, m_images.get(), QStringLiteral("BeforeKeystoning"));
    CCorrectionItems& set = built.set;
    QStringList names;
    for (CRectangleNode* node : set.nodes())
        names.append(node->objectName());
    QCOMPARE(names, (QStringList{"BeforeKeystoningLeftTop", "BeforeKeystoningLeftBottom",
                                 "BeforeKeystoningRightBottom", "BeforeKeystoningRightTop"}));
    QCOMPARE(set.eightPointsItems->bottomRight->objectName(), QStringLiteral("BeforeKeystoning8PointsBottomRight"));
    QCOMPARE(set.eightPointsItems->rightLine->itemName(), QStringLiteral("BeforeKeystoning8PointsRight"));

    m_scene->setSceneRect(0, 0, 400, 300);
    built.group->setPos(5, 7);
    set.leftTop->setPos(10, 20);
    QCOMPARE(set.nodeScenePositions().first(), QPointF(15, 27));
}

void TestCorrectionItemSets::defaultEightPoints()
{
    BuiltSet built(*m_scene, m_images.get(), QStringLiteral("AfterKeystoning"));
    // The rectangle's own corner is not added.
    m_scene->setSceneRect(40, 30, 800, 400);
    built.set.eightPointsItems->setDefaultPositions();
    QVector<QPointF> normalised;
    for (const QPointF& point : built.set.eightPointsItems->points())
        normalised.append(QPointF(point.x() / 800, point.y() / 400));
    QCOMPARE(normalised, (QVector<QPointF>{{0.25, 0.375}, {0.25, 0.625}, {0.75, 0.625}, {0.75, 0.375},
                                            {0.625, 0.75}, {0.375, 0.75}, {0.625, 0.25}, {0.375, 0.25}}));
}

void TestCorrectionItemSets::pointsRoundTripAndShortLists()
{
    BuiltSet built(*m_scene, m_images.get(), QStringLiteral("AfterKeystoning"));
    Ckeystoning8PointsItems& eight = *built.set.eightPointsItems;
    m_scene->setSceneRect(0, 0, 800, 400);
    eight.setDefaultPositions();
    const QVector<QPointF> points = eight.points();
    eight.setPoints(points);
    QCOMPARE(eight.points(), points);
    QCOMPARE(assertionCount(m_logger), 0);

    // Three points: an assertion, the first three nodes move, nothing more is read.
    eight.setPoints({{1, 1}, {2, 2}, {3, 3}});
    QCOMPARE(assertionCount(m_logger), 1);
    const QVector<QPointF> after = eight.points();
    QCOMPARE(after.mid(0, 3), (QVector<QPointF>{{1, 1}, {2, 2}, {3, 3}}));
    QCOMPARE(after.mid(3), points.mid(3));
}

void TestCorrectionItemSets::serialisedStateRestoresAFreshSet()
{
    BuiltSet first(*m_scene, m_images.get(), QStringLiteral("AfterKeystoning"));
    m_scene->setSceneRect(0, 0, 640, 480);
    first.set.setRectangleCorrectionMode();
    const QList<QPointF> corners{{64, 48}, {576, 48}, {64, 432}, {576, 432}};
    first.set.leftTop->setPos(corners.at(0));
    first.set.rightTop->setPos(corners.at(1));
    first.set.leftBottom->setPos(corners.at(2));
    first.set.rightBottom->setPos(corners.at(3));
    first.set.eightPointsItems->setDefaultPositions();
    first.set.eightPointsItems->topLeft->setPos(100, 90);
    const QByteArray state = first.set.serialize();

    QGraphicsScene other;
    other.setSceneRect(0, 0, 1, 1);
    BuiltSet second(other, m_images.get(), QStringLiteral("AfterKeystoning"));
    other.setSceneRect(0, 0, 640, 480);
    second.set.set8PointsCorrectionMode();
    second.set.deserialize(state);
    QCOMPARE(second.shown(), QStringLiteral("1111 1111 0"));
    QCOMPARE(second.set.leftTop->pos(), corners.at(0));
    QCOMPARE(second.set.rightBottom->pos(), corners.at(3));
    QCOMPARE(second.set.eightPointsItems->points(), first.set.eightPointsItems->points());
    QCOMPARE(assertionCount(m_logger), 0);

    // A state without the eight points: logged, and the eight points hidden.
    second.set.set8PointsCorrectionMode();
    second.set.deserialize(QByteArray());
    QVERIFY(assertionCount(m_logger) >= 1);
    QVERIFY(!second.set.eightPointsItems->isVisible());
}

void TestCorrectionItemSets::colorsOnUnbuiltSets()
{
    CCorrectionItems empty;
    empty.setEdgesColor(Qt::red);
    empty.set8PointsColor(Qt::red, Qt::blue);
    QCOMPARE(empty.nodes(), (QVector<CRectangleNode*>(4, nullptr)));
    QCOMPARE(assertionCount(m_logger), 0);
}

void TestCorrectionItemSets::tabGoesClockwiseThroughShownPoints()
{
    m_scene->setSceneRect(0, 0, 800, 400);
    BuiltSet built(*m_scene, m_images.get(), QStringLiteral("AfterKeystoning"));
    Ckeystoning8PointsItems& eight = *built.set.eightPointsItems;
    eight.setVisible(true);
    eight.setDefaultPositions();
    eight.topRight->setVisible(false);
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(m_scene.get(), &activate);

    // A press on a point makes it the current entry.
    QEvent pressed(static_cast<QEvent::Type>(CRectangleNode::kNodePressedEventType));
    QCoreApplication::sendEvent(eight.topLeft, &pressed);
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QCoreApplication::sendEvent(m_scene.get(), &tab);
    // The hidden TopRight is skipped.
    QVERIFY(eight.rightTop->hasFocus());
    QKeyEvent backtab(QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier);
    QCoreApplication::sendEvent(m_scene.get(), &backtab);
    QVERIFY(eight.topLeft->hasFocus());
    QCoreApplication::sendEvent(m_scene.get(), &backtab);
    QVERIFY(eight.leftTop->hasFocus());
}

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestCorrectionItemSets test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_correctionitemsets.moc"
