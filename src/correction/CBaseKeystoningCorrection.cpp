#include "correction/CBaseKeystoningCorrection.h"

#include "correction/ApplicationEngine.h"
#include "correction/CCorrectionItems.h"
#include "correction/CEdge.h"
#include "correction/CRectangleNode.h"
#include "correction/ICorrectionModuleHost.h"
#include "correction/FocusController.h"
#include "shell/IProcessEngine.h"
#include "utils/Logger.h"
#include "view/CBaseGraphicsView.h"

#include <QApplication>
#include <QDebug>
#include <QGraphicsItemGroup>

#include <algorithm>

namespace {

const QString kBeforeItemsKey = QStringLiteral("itemsOnBeforeScene");
const QString kAfterItemsKey = QStringLiteral("itemsOnAfterScene");
const QString kCurrentIsBeforeKey = QStringLiteral("currentSceneItems isBefore");
const QString kBeforeGroupKey = QStringLiteral("beforeSceneItemVisibility");
const QString kAfterGroupKey = QStringLiteral("afterSceneItemVisibility");

constexpr int kBeforeToAfter = 0;
constexpr int kAfterToBefore = 1;
constexpr int kInputToBefore = 3;
constexpr int kInputToAfter = 5;

// Node i takes point i, as far as both go.
void placeNodes(const QVector<CRectangleNode*>& nodes, const QVector<QPointF>& points)
{
    ASSERT(points.size() >= nodes.size());
    const qsizetype count = std::min(points.size(), nodes.size());
    for (qsizetype i = 0; i < count; ++i)
        if (nodes.at(i))
            nodes.at(i)->setPos(points.at(i));
}

// The points as a log line shows them.
QString pointsText(const QVector<QPointF>& points)
{
    QString text;
    QDebug(&text).nospace() << points;
    return text;
}

QVariant entry(const QMap<QString, QVariant>& state, const QString& key)
{
    ASSERT(state.contains(key));
    return state.value(key);
}

} // namespace

CBaseKeystoningCorrection::CBaseKeystoningCorrection(CBaseCorrectionGlobalData* data, int order)
    : CBaseCorrectionModule(order)
    , globalData(data)
{
}

CBaseKeystoningCorrection::~CBaseKeystoningCorrection() = default;

bool CBaseKeystoningCorrection::isCurrentItemsOnAfterScene() const
{
    return currentSceneItems && currentSceneItems == afterSceneItems;
}

bool CBaseKeystoningCorrection::isCurrentItemsOnBeforeScene() const
{
    return currentSceneItems && currentSceneItems == beforeSceneItems;
}

void CBaseKeystoningCorrection::createCorrectionItems(QGraphicsItemGroup* group, CCorrectionItems* items,
                                                      const QString& prefix)
{
    if (!group || !items)
        return;
    const auto node = [&](const char* name) {
        return new CRectangleNode(nullptr, globalData, prefix + QLatin1String(name));
    };
    items->leftTop = node("LeftTop");
    items->leftBottom = node("LeftBottom");
    items->rightBottom = node("RightBottom");
    items->rightTop = node("RightTop");
    new FocusController(this, {items->leftTop, items->rightTop, items->rightBottom, items->leftBottom});
    for (CRectangleNode* corner : {items->leftTop, items->leftBottom, items->rightTop, items->rightBottom})
        connectNodeSignals(corner);

    items->leftEdge = new CEdge(items->leftTop, items->leftBottom, prefix + QStringLiteral("Left"));
    items->rightEdge = new CEdge(items->rightTop, items->rightBottom, prefix + QStringLiteral("Right"));
    items->topEdge = new CEdge(items->leftTop, items->rightTop, prefix + QStringLiteral("Top"));
    items->bottomEdge = new CEdge(items->leftBottom, items->rightBottom, prefix + QStringLiteral("Bottom"));
    for (CEdge* edge : {items->leftEdge, items->rightEdge, items->topEdge, items->bottomEdge})
        connectEdgeSignals(edge);

    for (QGraphicsItem* item : std::initializer_list<QGraphicsItem*>{
             items->leftTop, items->leftBottom, items->rightTop, items->rightBottom, items->leftEdge,
             items->rightEdge, items->topEdge, items->bottomEdge})
        group->addToGroup(item);

    items->eightPointsItems = new Ckeystoning8PointsItems(this, globalData, prefix);
    items->eightPointsItems->addToGroup(group);
    items->eightPointsItems->setVisible(false);
    items->eightPointsItems->connectSignals(this);
}

void CBaseKeystoningCorrection::connectNodeSignals(CRectangleNode* node)
{
    Ckeystoning8PointsItems::connectNodeSignals(node, this);
}

void CBaseKeystoningCorrection::connectEdgeSignals(CEdge* edge)
{
    Ckeystoning8PointsItems::connectLineSignals(edge, this);
}

bool CBaseKeystoningCorrection::isEqual(const QByteArray& a, const QByteArray& b)
{
    return a == b;
}

void CBaseKeystoningCorrection::saveItemsVisibility(QMap<QString, QVariant>& state)
{
    state.insert(kBeforeItemsKey, beforeSceneItems ? beforeSceneItems->serialize() : QByteArray());
    state.insert(kAfterItemsKey, afterSceneItems ? afterSceneItems->serialize() : QByteArray());
    state.insert(kCurrentIsBeforeKey, isCurrentItemsOnBeforeScene());
    ICorrectionModuleHost* moduleHost = host();
    QGraphicsItemGroup* before = moduleHost ? moduleHost->beforeSceneItemGroup(id()) : nullptr;
    QGraphicsItemGroup* after = moduleHost ? moduleHost->afterSceneItemGroup(id()) : nullptr;
    state.insert(kBeforeGroupKey, before && before->isVisible());
    state.insert(kAfterGroupKey, after && after->isVisible());
}

void CBaseKeystoningCorrection::restoreItemsVisibility(const QMap<QString, QVariant>& state)
{
    const QByteArray before = entry(state, kBeforeItemsKey).toByteArray();
    if (beforeSceneItems)
        beforeSceneItems->deserialize(before);
    const QByteArray after = entry(state, kAfterItemsKey).toByteArray();
    if (afterSceneItems)
        afterSceneItems->deserialize(after);
    currentSceneItems = entry(state, kCurrentIsBeforeKey).toBool() ? beforeSceneItems : afterSceneItems;
    const bool beforeShown = entry(state, kBeforeGroupKey).toBool();
    const bool afterShown = entry(state, kAfterGroupKey).toBool();
    if (ICorrectionModuleHost* moduleHost = host()) {
        if (QGraphicsItemGroup* group = moduleHost->beforeSceneItemGroup(id()))
            group->setVisible(beforeShown);
        if (QGraphicsItemGroup* group = moduleHost->afterSceneItemGroup(id()))
            group->setVisible(afterShown);
    }
}

QVector<QPointF> CBaseKeystoningCorrection::projectPointsThroughEngine(const QVector<QPointF>& points, int mode)
{
    IProcessEngine* engine = applicationProcessEngine();
    if (!engine)
        return points;
    const QVector<QPointF> projected = engine->projectPoints(points, mode);
    LOG_MESSAGE('D', "input Point = " << pointsText(points) << " Output points = " << pointsText(projected));
    return projected;
}

void CBaseKeystoningCorrection::synchronizeSceneItems()
{
    IProcessEngine* engine = applicationProcessEngine();
    if (!engine)
        return;
    const QVector<QPointF> normalised = engine->getNormolizedKeystoningPointsOnOriginalImage();
    LOG_MESSAGE('D', "normalized CE point = " << pointsText(normalised));
    const QSize size = engine->getCashedSizeOfProcessedInitialImage();
    QVector<QPointF> points;
    for (const QPointF& point : normalised)
        points.append(QPointF(point.x() * double(size.width()), point.y() * double(size.height())));
    LOG_MESSAGE('D', "CE point = " << pointsText(points));

    if (points.size() == 8) {
        if (beforeSceneItems && beforeSceneItems->eightPointsItems)
            beforeSceneItems->eightPointsItems->setPoints(projectPointsThroughEngine(points, kInputToBefore));
        if (afterSceneItems && afterSceneItems->eightPointsItems)
            afterSceneItems->eightPointsItems->setPoints(projectPointsThroughEngine(points, kInputToAfter));
    } else if (points.size() == 4) {
        const QVector<QPointF> before = projectPointsThroughEngine(points, kInputToBefore);
        LOG_MESSAGE('D', "before point = " << pointsText(before));
        if (beforeSceneItems)
            placeNodes(beforeSceneItems->nodes(), before);
        const QVector<QPointF> after = projectPointsThroughEngine(points, kInputToAfter);
        LOG_MESSAGE('D', "after point = " << pointsText(after));
        if (afterSceneItems)
            placeNodes(afterSceneItems->nodes(), after);
    }
}

void CBaseKeystoningCorrection::copyNodePositions(CCorrectionItems* from, CCorrectionItems* to, int mode)
{
    if (!from || !to)
        return;
    placeNodes(to->nodes(), projectPointsThroughEngine(from->nodeScenePositions(), mode));
    if (from->eightPointsItems && to->eightPointsItems)
        to->eightPointsItems->setPoints(projectPointsThroughEngine(from->eightPointsItems->points(), mode));
}

QVector<QPointF> CBaseKeystoningCorrection::mapPointThroughTransform(const QVector<QPointF>& points,
                                                                     const QTransform& transform)
{
    QVector<QPointF> mapped;
    mapped.reserve(points.size());
    for (const QPointF& point : points)
        mapped.append(transform.map(point));
    return mapped;
}

void CBaseKeystoningCorrection::copyNodePositionsWithTransform(CCorrectionItems* from, CCorrectionItems* to,
                                                               const QTransform& transform)
{
    if (!from || !to)
        return;
    placeNodes(to->nodes(), mapPointThroughTransform(from->nodeScenePositions(), transform));
    if (from->eightPointsItems && to->eightPointsItems)
        to->eightPointsItems->setPoints(mapPointThroughTransform(from->eightPointsItems->points(), transform));
}

void CBaseKeystoningCorrection::sceneItemMoved(const CRectangleNode*, const CEdge*, bool)
{
    ASSERT(currentSceneItems);
    if (isCurrentItemsOnAfterScene())
        copyNodePositions(afterSceneItems, beforeSceneItems, kAfterToBefore);
    else
        copyNodePositions(beforeSceneItems, afterSceneItems, kBeforeToAfter);
}

void CBaseKeystoningCorrection::itemPosChangedAfterKeyPress(const CRectangleNode* node, const CEdge*)
{
    auto* view = qobject_cast<CBaseGraphicsView*>(QApplication::focusWidget());
    if (!view || !node)
        return;
    QMetaObject::invokeMethod(view, "mouseOnScenePoint", Qt::DirectConnection, Q_ARG(QPointF, node->pos()),
                              Q_ARG(bool, !isCurrentItemsOnAfterScene()), Q_ARG(bool, true));
}

void CBaseKeystoningCorrection::onScriptEvent(const CRectangleNode* node)
{
    sceneItemMoved(node, nullptr, false);
}
