#include "correction/CCorrectionItems.h"

#include "correction/CEdge.h"
#include "correction/CRectangleNode.h"
#include "correction/FocusController.h"
#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"

#include <QGraphicsItemGroup>
#include <QGraphicsScene>
#include <QVariant>

#include <algorithm>

namespace {

const QString k8PointsKey = QStringLiteral("8pointsItems");
const QString kVisibleKey = QStringLiteral("m_isVisible");

} // namespace

// ---------------------------------------------------------------- eight points

Ckeystoning8PointsItems::Ckeystoning8PointsItems(QObject* parent, CBaseCorrectionGlobalData* globalData,
                                                 const QString& prefix)
    : QObject(parent)
{
    const QString names = prefix + QStringLiteral("8Points");
    const auto node = [&](const char* name) {
        return new CRectangleNode(nullptr, globalData, names + QLatin1String(name));
    };
    leftTop = node("LeftTop");
    leftBottom = node("LeftBottom");
    rightTop = node("RightTop");
    rightBottom = node("RightBottom");
    topLeft = node("TopLeft");
    topRight = node("TopRight");
    bottomLeft = node("BottomLeft");
    bottomRight = node("BottomRight");
    // Tab goes clockwise from the top line.
    m_focusController = new FocusController(
        this, {topLeft, topRight, rightTop, rightBottom, bottomRight, bottomLeft, leftBottom, leftTop});
    leftLine = new CEdge(leftTop, leftBottom, names + QStringLiteral("Left"));
    rightLine = new CEdge(rightBottom, rightTop, names + QStringLiteral("Right"));
    topLine = new CEdge(topLeft, topRight, names + QStringLiteral("Top"));
    bottomLine = new CEdge(bottomLeft, bottomRight, names + QStringLiteral("Bottom"));
    setVisible(false);
}

// The items belong to the scene group they were added to.
Ckeystoning8PointsItems::~Ckeystoning8PointsItems() = default;

void Ckeystoning8PointsItems::setVisible(bool visible)
{
    m_visible = visible;
    for (CEdge* line : {leftLine, rightLine, topLine, bottomLine})
        line->setVisible(visible);
    for (CRectangleNode* node : {leftTop, leftBottom, rightTop, rightBottom, topLeft, topRight, bottomLeft, bottomRight})
        node->setVisible(visible);
}

void Ckeystoning8PointsItems::addToGroup(QGraphicsItemGroup* group)
{
    if (!group)
        return;
    for (CRectangleNode* node : {leftTop, leftBottom, rightTop, rightBottom, topLeft, topRight, bottomLeft, bottomRight})
        group->addToGroup(node);
    for (CEdge* line : {leftLine, rightLine, topLine, bottomLine})
        group->addToGroup(line);
}

void Ckeystoning8PointsItems::setOnResultImage(bool onResultImage)
{
    for (CEdge* line : {leftLine, rightLine, topLine, bottomLine})
        line->setOnResultImage(onResultImage);
    for (CRectangleNode* node : {leftTop, leftBottom, rightTop, rightBottom, topLeft, topRight, bottomLeft, bottomRight})
        node->setOnResultImage(onResultImage);
    m_onResultImage = onResultImage;
}

void Ckeystoning8PointsItems::setDefaultPositions()
{
    const QGraphicsScene* scene = leftLine->scene();
    const QRectF rect = scene ? scene->sceneRect() : QRectF();
    const qreal w = rect.width() / 8;
    const qreal h = rect.height() / 8;
    leftTop->setPos(2 * w, 3 * h);
    leftBottom->setPos(2 * w, 5 * h);
    rightTop->setPos(6 * w, 3 * h);
    rightBottom->setPos(6 * w, 5 * h);
    topLeft->setPos(3 * w, 2 * h);
    topRight->setPos(5 * w, 2 * h);
    bottomLeft->setPos(3 * w, 6 * h);
    bottomRight->setPos(5 * w, 6 * h);
}

void Ckeystoning8PointsItems::setColors(const QColor& vertical, const QColor& horizontal)
{
    leftLine->setColor(vertical);
    rightLine->setColor(vertical);
    topLine->setColor(horizontal);
    bottomLine->setColor(horizontal);
}

void Ckeystoning8PointsItems::connectLineSignals(CEdge* line, QObject* receiver)
{
    QObject::connect(line, SIGNAL(onMouseReleaseEventSignal(const CRectangleNode*, const CEdge*, QGraphicsSceneMouseEvent*)),
                     receiver, SLOT(onMouseReleaseEvent(const CRectangleNode*, const CEdge*, QGraphicsSceneMouseEvent*)));
}

void Ckeystoning8PointsItems::connectNodeSignals(CRectangleNode* node, QObject* receiver)
{
    QObject::connect(node, SIGNAL(onMouseReleaseEventSignal(const CRectangleNode*, const CEdge*, QGraphicsSceneMouseEvent*)),
                     receiver, SLOT(onMouseReleaseEvent(const CRectangleNode*, const CEdge*, QGraphicsSceneMouseEvent*)));
    QObject::connect(node, SIGNAL(onKeyReleaseEventSignal(const CRectangleNode*, QKeyEvent*)), receiver,
                     SLOT(onKeyReleaseEvent(const CRectangleNode*, QKeyEvent*)));
    QObject::connect(node, SIGNAL(posChangedAfterKeyPress(const CRectangleNode*, const CEdge*)), receiver,
                     SLOT(itemPosChangedAfterKeyPress(const CRectangleNode*, const CEdge*)));
    QObject::connect(node, SIGNAL(posChangedAfterScript(const CRectangleNode*)), receiver,
                     SLOT(onScriptEvent(const CRectangleNode*)));
}

void Ckeystoning8PointsItems::connectSignals(QObject* receiver)
{
    for (CEdge* line : {leftLine, rightLine, topLine, bottomLine})
        connectLineSignals(line, receiver);
    for (CRectangleNode* node : {leftTop, leftBottom, bottomLeft, bottomRight, rightBottom, rightTop, topRight, topLeft})
        connectNodeSignals(node, receiver);
}

QVector<CRectangleNode*> Ckeystoning8PointsItems::engineOrder() const
{
    return {leftTop, leftBottom, rightBottom, rightTop, bottomRight, bottomLeft, topRight, topLeft};
}

QVector<QPointF> Ckeystoning8PointsItems::points() const
{
    QVector<QPointF> result;
    for (const CRectangleNode* node : engineOrder())
        result.append(node->pos());
    return result;
}

void Ckeystoning8PointsItems::setPoints(const QVector<QPointF>& points)
{
    const QVector<CRectangleNode*> nodes = engineOrder();
    ASSERT(points.size() == nodes.size());
    const qsizetype count = std::min(points.size(), nodes.size());
    for (qsizetype i = 0; i < count; ++i)
        nodes.at(i)->setPos(points.at(i));
}

QByteArray Ckeystoning8PointsItems::serialize()
{
    QMap<QString, QVariant> state;
    state.insert(QStringLiteral("m_leftTop"), leftTop->serialize());
    state.insert(QStringLiteral("m_leftBottom"), leftBottom->serialize());
    state.insert(QStringLiteral("m_rightBottom"), rightBottom->serialize());
    state.insert(QStringLiteral("m_rightTop"), rightTop->serialize());
    state.insert(QStringLiteral("m_bottomRight"), bottomRight->serialize());
    state.insert(QStringLiteral("m_bottomLeft"), bottomLeft->serialize());
    state.insert(QStringLiteral("m_topRight"), topRight->serialize());
    state.insert(QStringLiteral("m_topLeft"), topLeft->serialize());
    state.insert(kVisibleKey, m_visible);
    return NAVIK_tarl1::variantMapToBytes(state);
}

void Ckeystoning8PointsItems::deserialize(const QByteArray& bytes)
{
    const QMap<QString, QVariant> state = NAVIK_tarl1::variantMapFromBytes(bytes);
    leftTop->deserialize(state.value(QStringLiteral("m_leftTop")).toByteArray(), false);
    leftBottom->deserialize(state.value(QStringLiteral("m_leftBottom")).toByteArray(), false);
    rightBottom->deserialize(state.value(QStringLiteral("m_rightBottom")).toByteArray(), false);
    rightTop->deserialize(state.value(QStringLiteral("m_rightTop")).toByteArray(), false);
    bottomRight->deserialize(state.value(QStringLiteral("m_bottomRight")).toByteArray(), false);
    bottomLeft->deserialize(state.value(QStringLiteral("m_bottomLeft")).toByteArray(), false);
    topRight->deserialize(state.value(QStringLiteral("m_topRight")).toByteArray(), false);
    topLeft->deserialize(state.value(QStringLiteral("m_topLeft")).toByteArray(), false);
    setVisible(state.value(kVisibleKey).toBool());
}

// ---------------------------------------------------------------- corner set

CCorrectionItems::CCorrectionItems() = default;

CCorrectionItems::~CCorrectionItems() = default;

bool CCorrectionItems::isBuilt() const
{
    const bool built = leftTop && rightTop && leftBottom && rightBottom && leftEdge && rightEdge && topEdge
        && bottomEdge && eightPointsItems;
    ASSERT(built);
    return built;
}

QVector<CRectangleNode*> CCorrectionItems::nodes() const
{
    return {leftTop, leftBottom, rightBottom, rightTop};
}

QVector<QPointF> CCorrectionItems::nodeScenePositions() const
{
    QVector<QPointF> positions;
    for (const CRectangleNode* node : nodes())
        positions.append(node ? node->scenePos() : QPointF());
    return positions;
}

QVector<CEdge*> CCorrectionItems::edges() const
{
    return {leftEdge, rightEdge, topEdge, bottomEdge};
}

void CCorrectionItems::setOnResultImage(bool flag)
{
    for (CRectangleNode* node : nodes())
        if (node)
            node->setOnResultImage(flag);
    for (CEdge* edge : edges())
        if (edge)
            edge->setOnResultImage(flag);
    if (eightPointsItems)
        eightPointsItems->setOnResultImage(flag);
    onResultImage = flag;
}

void CCorrectionItems::showItems(bool corners, bool left, bool right, bool top, bool bottom)
{
    for (CRectangleNode* node : nodes())
        node->setVisible(corners);
    leftEdge->setVisible(left);
    rightEdge->setVisible(right);
    topEdge->setVisible(top);
    bottomEdge->setVisible(bottom);
}

void CCorrectionItems::setHorizontalCorrectionMode()
{
    if (!isBuilt())
        return;
    showItems(true, false, false, true, true);
    eightPointsItems->setVisible(false);
}

void CCorrectionItems::setVerticalCorrectionMode()
{
    if (!isBuilt())
        return;
    showItems(true, true, true, false, false);
    eightPointsItems->setVisible(false);
}

void CCorrectionItems::setRectangleCorrectionMode()
{
    if (!isBuilt())
        return;
    showItems(true, true, true, true, true);
    eightPointsItems->setVisible(false);
}

void CCorrectionItems::set8PointsCorrectionMode()
{
    if (!isBuilt())
        return;
    showItems(false, false, false, false, false);
    eightPointsItems->setVisible(true);
}

void CCorrectionItems::hideAll()
{
    if (!isBuilt())
        return;
    showItems(false, false, false, false, false);
    eightPointsItems->setVisible(false);
}

void CCorrectionItems::setHorizonMode()
{
    if (!isBuilt())
        return;
    showItems(false, false, false, true, false);
    leftTop->setVisible(true);
    rightTop->setVisible(true);
}

void CCorrectionItems::setNodesVisible(bool visible)
{
    if (!isBuilt())
        return;
    for (CRectangleNode* node : nodes())
        node->setVisible(visible);
}

void CCorrectionItems::setTopNodesVisible(bool visible)
{
    if (!isBuilt())
        return;
    leftTop->setVisible(visible);
    rightTop->setVisible(visible);
}

void CCorrectionItems::setBottomNodesVisible(bool visible)
{
    if (!isBuilt())
        return;
    leftBottom->setVisible(visible);
    rightBottom->setVisible(visible);
}

void CCorrectionItems::setEdgesColor(const QColor& color)
{
    for (CEdge* edge : edges())
        if (edge)
            edge->setColor(color);
}

void CCorrectionItems::set8PointsColor(const QColor& vertical, const QColor& horizontal)
{
    if (eightPointsItems)
        eightPointsItems->setColors(vertical, horizontal);
}

QByteArray CCorrectionItems::serialize()
{
    if (!isBuilt())
        return {};
    QMap<QString, QVariant> state;
    const QList<std::pair<const char*, ISerializableInterface*>> items{
        {"LeftTop", leftTop}, {"RightTop", rightTop}, {"LeftBottom", leftBottom}, {"RightBottom", rightBottom},
        {"Left", leftEdge},   {"Right", rightEdge},   {"Top", topEdge},         {"Bottom", bottomEdge}};
    for (const auto& [name, item] : items)
        state.insert(QLatin1String(name) + QStringLiteral("Item"), item->serialize());
    state.insert(k8PointsKey, eightPointsItems->serialize());
    return NAVIK_tarl1::variantMapToBytes(state);
}

void CCorrectionItems::deserialize(const QByteArray& bytes)
{
    if (!isBuilt())
        return;
    const QMap<QString, QVariant> state = NAVIK_tarl1::variantMapFromBytes(bytes);
    const QList<std::pair<const char*, ISerializableInterface*>> items{
        {"LeftTop", leftTop}, {"RightTop", rightTop}, {"LeftBottom", leftBottom}, {"RightBottom", rightBottom},
        {"Left", leftEdge},   {"Right", rightEdge},   {"Top", topEdge},         {"Bottom", bottomEdge}};
    for (const auto& [name, item] : items)
        item->deserialize(state.value(QLatin1String(name) + QStringLiteral("Item")).toByteArray(), false);
    ASSERT(state.contains(k8PointsKey));
    eightPointsItems->deserialize(state.value(k8PointsKey).toByteArray());
}
