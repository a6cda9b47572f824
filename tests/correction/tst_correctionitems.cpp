// The point and line handles: drags kept in the scene and, on the corrected
// image, in the original image; arrow keys with and without Control; the
// release the module sees when Control goes up first; serialised states at
// odd scene sizes; the line's fit to the scene borders and its slide along
// the image border.

#include "correction/CEdge.h"
#include "correction/CRectangleNode.h"
#include "correction/CUndoController.h"
#include "correction/ItemGeometry.h"
#include "shell/CBaseCorrectionGlobalData.h"
#include "utils/DataStreamFormat.h"

#include "FakeProcessEngine.h"
#include "RecordingLogger.h"
#include "TestApplication.h"

#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace {

int assertionCount(const RecordingLogger& logger)
{
    return logger.linesAt('E').filter(QStringLiteral("ASSERT in ")).size();
}

void sendMouse(QGraphicsScene& scene, QGraphicsItem* item, QEvent::Type type, const QPointF& scenePos,
               Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QGraphicsSceneMouseEvent event(type);
    event.setScenePos(scenePos);
    event.setPos(item->mapFromScene(scenePos));
    event.setButton(button);
    event.setButtons(buttons);
    event.setAccepted(true);
    scene.sendEvent(item, &event);
}

// A left-button drag from one scene point through others.
void drag(QGraphicsScene& scene, QGraphicsItem* item, const QList<QPointF>& points)
{
    sendMouse(scene, item, QEvent::GraphicsSceneMousePress, points.first(), Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i < points.size(); ++i)
        sendMouse(scene, item, QEvent::GraphicsSceneMouseMove, points.at(i), Qt::NoButton, Qt::LeftButton);
    sendMouse(scene, item, QEvent::GraphicsSceneMouseRelease, points.last(), Qt::LeftButton, Qt::NoButton);
}

void sendKey(QGraphicsScene& scene, QGraphicsItem* item, QEvent::Type type, int key,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false)
{
    QKeyEvent event(type, key, modifiers, QString(), autoRepeat);
    scene.sendEvent(item, &event);
}

QMap<QString, QVariant> stateOf(ISerializableInterface& item)
{
    return NAVIK_tarl1::variantMapFromBytes(item.serialize());
}

} // namespace

class TestCorrectionItems : public QObject
{
    Q_OBJECT
private:
    RecordingLogger& m_logger = RecordingLogger::install();
    FakeProcessEngine m_engine;
    std::unique_ptr<CBaseCorrectionGlobalData> m_images;
    std::unique_ptr<QGraphicsScene> m_scene;

    CRectangleNode* addNode(const QPointF& position, const QString& name = QStringLiteral("LeftTop"))
    {
        auto* node = new CRectangleNode(nullptr, m_images.get(), name);
        m_scene->addItem(node);
        node->setPos(position);
        return node;
    }

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void nodeDragStaysInTheScenePerAxis();
    void nodeDragOnTheResultImage();
    void arrowKeys_data();
    void arrowKeys();
    void controlReleasedBeforeTheArrow();
    void arrowOnTheResultImageStaysInTheImage();
    void nodeFollowsASmallerSceneRect();
    void serialisedStates_data();
    void serialisedStates();
    void missingEngineDropsTheMove();
    void edgeFitsToTheSceneBorders_data();
    void edgeFitsToTheSceneBorders();
    void edgeDragMovesBothNodes();
    void edgeSlidesAlongTheImageBorder_data();
    void edgeSlidesAlongTheImageBorder();
    void edgeHighlightAndClicks();
    void nearestBorderPoint();
    void heldUntilTheStepIsMade();
};

void TestCorrectionItems::initTestCase()
{
    m_images = std::make_unique<CBaseCorrectionGlobalData>();
    QVERIFY(!m_images->normalPixmap.isNull());
}

void TestCorrectionItems::init()
{
    application()->engine = &m_engine;
    m_engine.imageSize = QSize(-1, -1);
    m_engine.shift = QPointF();
    m_scene = std::make_unique<QGraphicsScene>();
    m_scene->setSceneRect(0, 0, 300, 200);
    m_logger.clear();
}

void TestCorrectionItems::cleanup()
{
    m_scene.reset();
    application()->engine = nullptr;
}

void TestCorrectionItems::nodeDragStaysInTheScenePerAxis()
{
    CRectangleNode* node = addNode(QPointF(150, 100));
    QSignalSpy released(node, &CRectangleNode::onMouseReleaseEventSignal);

    drag(*m_scene, node, {QPointF(150, 100), QPointF(400, 150)});
    QCOMPARE(node->pos(), QPointF(300, 150));
    drag(*m_scene, node, {QPointF(300, 150), QPointF(250, -40)});
    QCOMPARE(node->pos(), QPointF(250, 0));
    QCOMPARE(released.count(), 2);
    QCOMPARE(released.first().at(0).value<const CRectangleNode*>(), node);
    QVERIFY(!released.first().at(1).value<const CEdge*>());

    // A click where it was pressed reports nothing; a drag refused whole still does.
    drag(*m_scene, node, {QPointF(250, 0), QPointF(250, 0)});
    QCOMPARE(released.count(), 2);
    QCOMPARE(node->pos(), QPointF(250, 0));
}

void TestCorrectionItems::nodeDragOnTheResultImage()
{
    // The original image (200 x 100) lies at (10, 10) of the after scene.
    m_engine.imageSize = QSize(200, 100);
    m_engine.shift = QPointF(10, 10);
    CRectangleNode* node = addNode(QPointF(100, 50));
    node->setOnResultImage(true);

    drag(*m_scene, node, {QPointF(100, 50), QPointF(280, 60)});
    QCOMPARE(node->pos(), QPointF(210, 60));
    drag(*m_scene, node, {QPointF(210, 60), QPointF(120, -30)});
    QCOMPARE(node->pos(), QPointF(120, 10));

    // A border point far outside the scene leaves the node where it was.
    m_scene->setSceneRect(0, 0, 100, 100);
    node->setPos(50, 50);
    drag(*m_scene, node, {QPointF(50, 50), QPointF(250, 50)});
    QCOMPARE(node->pos(), QPointF(50, 50));
}

void TestCorrectionItems::arrowKeys_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<bool>("control");
    QTest::addColumn<QList<QPointF>>("positions");

    QTest::newRow("Left then Up: the step builds up")
        << QList<int>{Qt::Key_Left, Qt::Key_Up} << false << QList<QPointF>{{99, 100}, {98, 99}};
    QTest::newRow("with Control: only the current arrow's axis")
        << QList<int>{Qt::Key_Left, Qt::Key_Up} << true << QList<QPointF>{{99, 100}, {99, 99}};
    QTest::newRow("Right, Right (held)") << QList<int>{Qt::Key_Right, Qt::Key_Right} << false
                                         << QList<QPointF>{{101, 100}, {102, 100}};
    QTest::newRow("Down then Right") << QList<int>{Qt::Key_Down, Qt::Key_Right} << false
                                     << QList<QPointF>{{100, 101}, {101, 102}};
}

void TestCorrectionItems::arrowKeys()
{
    QFETCH(QList<int>, keys);
    QFETCH(bool, control);
    QFETCH(QList<QPointF>, positions);

    CRectangleNode* node = addNode(QPointF(100, 100));
    QSignalSpy moved(node, &CRectangleNode::posChangedAfterKeyPress);
    QSignalSpy released(node, &CRectangleNode::onKeyReleaseEventSignal);
    const Qt::KeyboardModifiers modifiers = control ? Qt::ControlModifier : Qt::NoModifier;
    for (int i = 0; i < keys.size(); ++i) {
        sendKey(*m_scene, node, QEvent::KeyPress, keys.at(i), modifiers);
        QCOMPARE(node->pos(), positions.at(i));
    }
    QCOMPARE(moved.count(), keys.size());
    sendKey(*m_scene, node, QEvent::KeyRelease, keys.last(), modifiers);
    QCOMPARE(released.count(), 1);
    // The sequence is over: the next press starts from a zero step.
    sendKey(*m_scene, node, QEvent::KeyPress, Qt::Key_Up);
    QCOMPARE(node->pos(), positions.last() + QPointF(0, -1));
}

void TestCorrectionItems::controlReleasedBeforeTheArrow()
{
    CRectangleNode* node = addNode(QPointF(100, 100));
    QList<std::pair<int, Qt::KeyboardModifiers>> releases;
    connect(node, &CRectangleNode::onKeyReleaseEventSignal, this,
            [&releases](const CRectangleNode*, QKeyEvent* event) { releases.append({event->key(), event->modifiers()}); });

    sendKey(*m_scene, node, QEvent::KeyPress, Qt::Key_Down, Qt::ControlModifier);
    sendKey(*m_scene, node, QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    sendKey(*m_scene, node, QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
    QCOMPARE(releases.size(), 1);
    QCOMPARE(releases.first().first, int(Qt::Key_Down));
    QVERIFY(releases.first().second & Qt::ControlModifier);

    // An auto-repeat release reports nothing but ends the step.
    sendKey(*m_scene, node, QEvent::KeyPress, Qt::Key_Left);
    sendKey(*m_scene, node, QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier, true);
    QCOMPARE(releases.size(), 1);
    sendKey(*m_scene, node, QEvent::KeyPress, Qt::Key_Up);
    QCOMPARE(node->pos(), QPointF(99, 100));
}

void TestCorrectionItems::arrowOnTheResultImageStaysInTheImage()
{
    m_engine.imageSize = QSize(200, 100);
    CRectangleNode* node = addNode(QPointF(205, 50));
    node->setOnResultImage(true);
    QSignalSpy moved(node, &CRectangleNode::posChangedAfterKeyPress);
    sendKey(*m_scene, node, QEvent::KeyPress, Qt::Key_Right);
    QCOMPARE(node->pos(), QPointF(205, 50));  // 206 lies 6 pixels out: refused
    QCOMPARE(moved.count(), 0);
    sendKey(*m_scene, node, QEvent::KeyPress, Qt::Key_Left, Qt::ControlModifier);
    QCOMPARE(node->pos(), QPointF(204, 50));
    QCOMPARE(moved.count(), 1);
}

void TestCorrectionItems::nodeFollowsASmallerSceneRect()
{
    CRectangleNode* node = addNode(QPointF(250, 150));
    QSignalSpy adjusted(node, &CRectangleNode::posChangedAfterAdjusting);
    m_scene->setSceneRect(0, 0, 300, 200);
    QCOMPARE(adjusted.count(), 0);
    m_scene->setSceneRect(0, 0, 200, 100);
    QCOMPARE(node->pos(), QPointF(200, 100));
    QCOMPARE(adjusted.count(), 1);
}

void TestCorrectionItems::serialisedStates_data()
{
    QTest::addColumn<QRectF>("sceneRect");
    QTest::addColumn<QPointF>("position");
    QTest::addColumn<QPointF>("stored");

    QTest::newRow("300 x 200") << QRectF(0, 0, 300, 200) << QPointF(150, 50) << QPointF(0.5, 0.25);
    QTest::newRow("odd size, origin kept") << QRectF(10, 20, 333, 77) << QPointF(111, 77) << QPointF(111.0 / 333, 1);
    QTest::newRow("no width") << QRectF(0, 0, 0, 200) << QPointF(0, 50) << QPointF(0, 0.25);
    QTest::newRow("no height") << QRectF(0, 0, 300, 0) << QPointF(150, 0) << QPointF(0.5, 0);
}

void TestCorrectionItems::serialisedStates()
{
    QFETCH(QRectF, sceneRect);
    QFETCH(QPointF, position);
    QFETCH(QPointF, stored);

    CRectangleNode* node = addNode(QPointF());
    auto* partner = new CRectangleNode(nullptr, m_images.get(), QStringLiteral("RightTop"));
    m_scene->addItem(partner);
    auto* edge = new CEdge(node, partner, QStringLiteral("Top"));
    m_scene->addItem(edge);
    // Nodes learn the scene's size from its changes.
    m_scene->setSceneRect(0, 0, 1, 1);
    m_scene->setSceneRect(sceneRect);
    node->setPos(position);
    edge->setPos(position);

    for (ISerializableInterface* item : {static_cast<ISerializableInterface*>(node), static_cast<ISerializableInterface*>(edge)}) {
        const QMap<QString, QVariant> state = stateOf(*item);
        const QPointF written = state.value(QStringLiteral("position")).toPointF();
        QVERIFY(std::isfinite(written.x()) && std::isfinite(written.y()));
        QCOMPARE(written, stored);
    }
    const bool degenerate = sceneRect.width() == 0 || sceneRect.height() == 0;
    QCOMPARE(assertionCount(m_logger), degenerate ? 2 : 0);

    // Round trip, and a stored state with no finite position moves nothing.
    const QByteArray state = node->serialize();
    node->setVisible(false);
    node->deserialize(state, false);
    QVERIFY(node->isVisible());
    if (!degenerate)
        QCOMPARE(node->pos(), position);
    const QPointF before = node->pos();
    node->deserialize(NAVIK_tarl1::variantMapToBytes({{QStringLiteral("position"), QPointF(qQNaN(), 0.5)}}), false);
    QCOMPARE(node->pos(), before);
    QVERIFY(node->isVisible());
}

void TestCorrectionItems::missingEngineDropsTheMove()
{
    CRectangleNode* node = addNode(QPointF(100, 100));
    node->setOnResultImage(true);
    application()->engine = nullptr;
    drag(*m_scene, node, {QPointF(100, 100), QPointF(150, 150)});
    sendKey(*m_scene, node, QEvent::KeyPress, Qt::Key_Left);
    node->setPosByScript(QPointF(20, 20));
    QCOMPARE(node->pos(), QPointF(100, 100));
    QVERIFY(assertionCount(m_logger) >= 3);
}

void TestCorrectionItems::edgeFitsToTheSceneBorders_data()
{
    QTest::addColumn<QRectF>("sceneRect");
    QTest::addColumn<QPointF>("a");
    QTest::addColumn<QPointF>("b");
    QTest::addColumn<int>("count");
    QTest::addColumn<QPointF>("borderA");
    QTest::addColumn<QPointF>("borderB");
    QTest::addColumn<QPointF>("direction");

    const QRectF r(0, 0, 400, 300);
    QTest::newRow("diagonal through a corner") << r << QPointF(100, 100) << QPointF(200, 200) << 2 << QPointF(0, 0)
                                               << QPointF(300, 300) << QPointF(M_SQRT1_2, M_SQRT1_2);
    QTest::newRow("vertical") << r << QPointF(50, 200) << QPointF(50, 100) << 2 << QPointF(50, 300)
                              << QPointF(50, 0) << QPointF(0, -1);
    QTest::newRow("horizontal") << r << QPointF(300, 20) << QPointF(100, 20) << 2 << QPointF(400, 20)
                                << QPointF(0, 20) << QPointF(-1, 0);
    QTest::newRow("same point") << r << QPointF(100, 100) << QPointF(100, 100) << 0 << QPointF() << QPointF()
                                << QPointF();
    QTest::newRow("less than 1 apart") << r << QPointF(100, 100) << QPointF(100.5, 100.5) << 2 << QPointF(0, 0)
                                       << QPointF(300, 300) << QPointF();
}

void TestCorrectionItems::edgeFitsToTheSceneBorders()
{
    QFETCH(QRectF, sceneRect);
    QFETCH(QPointF, a);
    QFETCH(QPointF, b);
    QFETCH(int, count);
    QFETCH(QPointF, borderA);
    QFETCH(QPointF, borderB);
    QFETCH(QPointF, direction);

    m_scene->setSceneRect(sceneRect);
    CRectangleNode* nodeA = addNode(a);
    CRectangleNode* nodeB = addNode(b, QStringLiteral("LeftBottom"));
    auto* edge = new CEdge(nodeA, nodeB, QStringLiteral("Left"));
    m_scene->addItem(edge);
    edge->setVisible(true);
    edge->adjustToSceneRect(sceneRect);

    QCOMPARE(edge->borderPointCount(), count);
    if (count == 2) {
        QCOMPARE(edge->borderPointA(), borderA);
        QCOMPARE(edge->borderPointB(), borderB);
        QVERIFY(!edge->shape().isEmpty());
        // Grabbed on the dashed part too, within 10 pixels of the line.
        QVERIFY(edge->shape().contains((borderA * 0.9 + a * 0.1)));
    } else {
        QVERIFY(edge->shape().isEmpty());
        QVERIFY(edge->boundingRect().isEmpty());
    }
    QVERIFY(std::abs(edge->direction().x() - direction.x()) < 1e-9);
    QVERIFY(std::abs(edge->direction().y() - direction.y()) < 1e-9);

    // Moving a node re-fits the edge.
    nodeA->setPos(a + QPointF(7, 3));
    if (a != b && count == 2)
        QVERIFY(edge->borderPointA() != borderA || edge->borderPointB() != borderB);
}

void TestCorrectionItems::edgeDragMovesBothNodes()
{
    CRectangleNode* nodeA = addNode(QPointF(50, 50));
    CRectangleNode* nodeB = addNode(QPointF(150, 60), QStringLiteral("RightTop"));
    auto* edge = new CEdge(nodeA, nodeB, QStringLiteral("Top"));
    m_scene->addItem(edge);
    edge->setVisible(true);
    QSignalSpy released(edge, &CEdge::onMouseReleaseEventSignal);

    drag(*m_scene, edge, {QPointF(100, 55), QPointF(120, 75)});
    QCOMPARE(nodeA->pos(), QPointF(70, 70));
    QCOMPARE(nodeB->pos(), QPointF(170, 80));
    QCOMPARE(released.count(), 1);
    QVERIFY(!released.first().at(0).value<const CRectangleNode*>());

    // An end that meets the scene border stops; the other goes on.
    drag(*m_scene, edge, {QPointF(100, 75), QPointF(250, 75)});
    QCOMPARE(nodeA->pos(), QPointF(220, 70));
    QCOMPARE(nodeB->pos(), QPointF(300, 80));
}

void TestCorrectionItems::edgeSlidesAlongTheImageBorder_data()
{
    QTest::addColumn<QPointF>("a");
    QTest::addColumn<QPointF>("b");
    QTest::addColumn<QPointF>("offset");
    QTest::addColumn<QPointF>("expectedA");
    QTest::addColumn<QPointF>("expectedB");

    QTest::newRow("B leaves on the right") << QPointF(50, 50) << QPointF(150, 50) << QPointF(100, 0)
                                           << QPointF(100, 50) << QPointF(200, 50);
    QTest::newRow("A leaves at the bottom") << QPointF(50, 60) << QPointF(100, 20) << QPointF(0, 80)
                                            << QPointF(50, 100) << QPointF(100, 60);
    // The image's top-left corner is a border point like any other.
    QTest::newRow("A pulled onto the top-left corner") << QPointF(50, 50) << QPointF(100, 80) << QPointF(-80, -80)
                                                       << QPointF(0, 0) << QPointF(50, 30);
}

void TestCorrectionItems::edgeSlidesAlongTheImageBorder()
{
    QFETCH(QPointF, a);
    QFETCH(QPointF, b);
    QFETCH(QPointF, offset);
    QFETCH(QPointF, expectedA);
    QFETCH(QPointF, expectedB);

    m_engine.imageSize = QSize(200, 100);
    CRectangleNode* nodeA = addNode(a);
    CRectangleNode* nodeB = addNode(b, QStringLiteral("RightTop"));
    auto* edge = new CEdge(nodeA, nodeB, QStringLiteral("Top"));
    m_scene->addItem(edge);
    edge->setVisible(true);
    edge->setOnResultImage(true);
    const QPointF grab = (a + b) / 2;
    drag(*m_scene, edge, {grab, grab + offset});
    QCOMPARE(nodeA->pos(), expectedA);
    QCOMPARE(nodeB->pos(), expectedB);
    QCOMPARE(nodeB->pos() - nodeA->pos(), b - a);
}

void TestCorrectionItems::edgeHighlightAndClicks()
{
    CRectangleNode* nodeA = addNode(QPointF(50, 50));
    CRectangleNode* nodeB = addNode(QPointF(150, 50), QStringLiteral("RightTop"));
    auto* edge = new CEdge(nodeA, nodeB, QStringLiteral("Top"));
    m_scene->addItem(edge);
    QVERIFY(!edge->isVisible());
    edge->setVisible(true);
    QVERIFY(!edge->isHighlighted());
    const QRectF normalBounds = nodeA->boundingRect();
    edge->setHighlighted(true);
    QVERIFY(edge->isHighlighted());
    // The hover image (27 px) replaced the normal one (25 px).
    QVERIFY(nodeA->boundingRect().width() > normalBounds.width());
    edge->setHighlighted(false);
    QCOMPARE(nodeA->boundingRect(), normalBounds);

    // A right-button drag and a left click in place report nothing and move nothing.
    QSignalSpy released(edge, &CEdge::onMouseReleaseEventSignal);
    sendMouse(*m_scene, edge, QEvent::GraphicsSceneMousePress, QPointF(100, 50), Qt::RightButton, Qt::RightButton);
    sendMouse(*m_scene, edge, QEvent::GraphicsSceneMouseMove, QPointF(120, 60), Qt::NoButton, Qt::RightButton);
    sendMouse(*m_scene, edge, QEvent::GraphicsSceneMouseRelease, QPointF(120, 60), Qt::RightButton, Qt::NoButton);
    drag(*m_scene, edge, {QPointF(100, 50), QPointF(100, 50)});
    QCOMPARE(released.count(), 0);
    QCOMPARE(nodeA->pos(), QPointF(50, 50));
}

void TestCorrectionItems::nearestBorderPoint()
{
    const QRectF image(0, 0, 200, 100);
    QCOMPARE(ItemGeometry::nearestRectBorderPoint(image, QPointF(-30, -30)), std::optional<QPointF>(QPointF(0, 0)));
    QCOMPARE(ItemGeometry::nearestRectBorderPoint(image, QPointF(250, 40)), std::optional<QPointF>(QPointF(200, 40)));
    QCOMPARE(ItemGeometry::nearestRectBorderPoint(image, QPointF(-3, 50)), std::optional<QPointF>(QPointF(0, 50)));
    QVERIFY(!ItemGeometry::nearestRectBorderPoint(QRectF(0, 0, 0, 100), QPointF(5, 5)));
    QVERIFY(ItemGeometry::isPointInsideOrNearRect(image, QPointF(205.9, 50)));
    QVERIFY(!ItemGeometry::isPointInsideOrNearRect(image, QPointF(206, 50)));
}

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestCorrectionItems test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_correctionitems.moc"

// A drag or an arrow key held down is a change the undo controller waits
// for: from the press to the release that makes its step, and no longer
// once the release can no longer come (the grab or the focus lost, the
// handle gone).
void TestCorrectionItems::heldUntilTheStepIsMade()
{
    const auto held = [] { return CUndoController::instance()->isChangeHeld(); };
    CRectangleNode* node = addNode(QPointF(50, 50));
    CRectangleNode* other = addNode(QPointF(150, 60), QStringLiteral("RightTop"));
    auto* edge = new CEdge(node, other, QStringLiteral("Top"));
    m_scene->addItem(edge);
    edge->setVisible(true);

    sendMouse(*m_scene, node, QEvent::GraphicsSceneMousePress, QPointF(50, 50), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(held());
    sendMouse(*m_scene, node, QEvent::GraphicsSceneMouseRelease, QPointF(60, 50), Qt::LeftButton, Qt::NoButton);
    QVERIFY(!held());
    sendMouse(*m_scene, edge, QEvent::GraphicsSceneMousePress, QPointF(100, 55), Qt::LeftButton, Qt::LeftButton);
    QVERIFY(held());
    sendMouse(*m_scene, edge, QEvent::GraphicsSceneMouseRelease, QPointF(110, 55), Qt::LeftButton, Qt::NoButton);
    QVERIFY(!held());

    // The key's repeats keep it held; its last release ends it.
    sendKey(*m_scene, node, QEvent::KeyPress, Qt::Key_Left);
    QVERIFY(held());
    sendKey(*m_scene, node, QEvent::KeyRelease, Qt::Key_Left, Qt::NoModifier, true);
    sendKey(*m_scene, node, QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier, true);
    QVERIFY(held());
    sendKey(*m_scene, node, QEvent::KeyRelease, Qt::Key_Left);
    QVERIFY(!held());

    sendKey(*m_scene, node, QEvent::KeyPress, Qt::Key_Up);
    QFocusEvent focusOut(QEvent::FocusOut);
    m_scene->sendEvent(node, &focusOut);
    QVERIFY(!held());

    sendMouse(*m_scene, node, QEvent::GraphicsSceneMousePress, QPointF(50, 50), Qt::LeftButton, Qt::LeftButton);
    node->grabMouse();
    node->ungrabMouse();
    QVERIFY(!held());

    sendMouse(*m_scene, edge, QEvent::GraphicsSceneMousePress, QPointF(100, 55), Qt::LeftButton, Qt::LeftButton);
    delete edge;
    QVERIFY(!held());
}
