#include "crop/CCropGraphicsRect.h"

#include "correction/ApplicationEngine.h"
#include "correction/ICorrectionModuleHost.h"
#include "correction/FocusController.h"
#include "shell/IProcessEngine.h"
#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"

#include <QGraphicsItemGroup>
#include <QGraphicsScene>
#include <QPen>
#include <QPolygonF>

#include <cmath>
#include <limits>

namespace {

constexpr qreal StraightEdgeEpsilon = 1e-7;

// The foot of the perpendicular from p onto the line through the edge.
QPointF footOnEdge(const QLineF& edge, const QPointF& p)
{
    if (std::abs(edge.y2() - edge.y1()) < StraightEdgeEpsilon)
        return {p.x(), edge.y2()};
    if (std::abs(edge.x2() - edge.x1()) < StraightEdgeEpsilon)
        return {edge.x2(), p.y()};
    const QPointF d = edge.p2() - edge.p1();
    const qreal t = QPointF::dotProduct(p - edge.p1(), d) / QPointF::dotProduct(d, d);
    return edge.p1() + t * d;
}

bool inEdgeBox(const QLineF& edge, const QPointF& f, qreal grow)
{
    return f.x() >= std::min(edge.x1(), edge.x2()) - grow && f.x() <= std::max(edge.x1(), edge.x2()) + grow
        && f.y() >= std::min(edge.y1(), edge.y2()) - grow && f.y() <= std::max(edge.y1(), edge.y2()) + grow;
}

bool isNearEdge(const QLineF& edge, const QPointF& p, QPointF* foot = nullptr)
{
    const QPointF f = footOnEdge(edge, p);
    if (foot)
        *foot = f;
    return QLineF(p, f).length() < CCropGraphicsRect::SnapTolerance
        && inEdgeBox(edge, f, CCropGraphicsRect::SnapTolerance);
}

// The corners of a rectangle at pos with the item rect, bottom-left,
// bottom-right, top-left, top-right.
QVector<QPointF> cornersAt(const QPointF& pos, const QRectF& rect)
{
    return {rect.bottomLeft() + pos, rect.bottomRight() + pos, rect.topLeft() + pos, rect.topRight() + pos};
}

IProcessEngine* engine()
{
    return applicationProcessEngine();
}

// |a - b| truncated toward zero to 32 bits; a distance beyond that range, or
// none at all (not a number), counts as the largest one.
qint32 truncatedDistance(qreal a, qreal b)
{
    const qreal distance = std::abs(a - b);
    constexpr qint32 largest = std::numeric_limits<qint32>::max();
    return distance < qreal(largest) ? qint32(distance) : largest;
}

} // namespace

CCropGraphicsRect::CCropGraphicsRect(CCropCorrection& correction, QGraphicsItemGroup* group, QObject* parent)
    : QObject(parent)
    , cropCorrection(correction)
{
    LOG_TRACE();
    // Without a group the items go into one of the controller's own, outside
    // any scene, so that every item still has an owner.
    ASSERT(group);
    if (!group) {
        ownGroup = std::make_unique<QGraphicsItemGroup>();
        group = ownGroup.get();
    }
    mainRect = new CCropRect(group, QStringLiteral("CropMainRect"), nullptr);
    new FocusController(this, {QPointer<QObject>(mainRect)});
    connect(mainRect, &CCropRect::itemPosChanged, this, &CCropGraphicsRect::onMainRectPosChanged, Qt::DirectConnection);
    connect(mainRect, &CCropRect::mouseEntered, this, &CCropGraphicsRect::onItemEntered);
    connect(mainRect, &CCropRect::mouseLeaved, this, &CCropGraphicsRect::onItemLeaved);

    struct HandleSpec
    {
        CCropPoint** field;
        const char* name;
        CCropPoint::MoveDirection direction;
        CCropPoint::CornerType corner;
    };
    const HandleSpec specs[] = {
        {&pointLeftTop, "CropLeftTop", CCropPoint::Both, CCropPoint::LeftTop},
        {&pointMidleTop, "CropMidleTop", CCropPoint::Vertical, CCropPoint::NoCorner},
        {&pointRightTop, "CropRightTop", CCropPoint::Both, CCropPoint::RightTop},
        {&pointLeftMidle, "CropLeftMidle", CCropPoint::Horizontal, CCropPoint::NoCorner},
        {&pointRightMidle, "CropRightMidle", CCropPoint::Horizontal, CCropPoint::NoCorner},
        {&pointLeftBottom, "CropLeftBottom", CCropPoint::Both, CCropPoint::LeftBottom},
        {&pointMidleBottom, "CropMidleBottom", CCropPoint::Vertical, CCropPoint::NoCorner},
        {&pointRightBottom, "CropRightBottom", CCropPoint::Both, CCropPoint::RightBottom},
    };
    for (const HandleSpec& spec : specs) {
        *spec.field = new CCropPoint(group, *mainRect, QString::fromLatin1(spec.name), nullptr);
        (*spec.field)->setMoveDirection(spec.direction);
        if (spec.corner != CCropPoint::NoCorner)
            (*spec.field)->setCornerType(spec.corner);
    }
    for (CCropPoint* point : points()) {
        connect(point, &CCropPoint::itemPosWillChanged, this, &CCropGraphicsRect::onPointPosWillChanged,
                Qt::DirectConnection);
        connect(point, &CCropPoint::mouseEntered, this, &CCropGraphicsRect::onItemEntered);
        connect(point, &CCropPoint::mouseLeaved, this, &CCropGraphicsRect::onItemLeaved);
    }

    QPen gridPen(QBrush(Qt::white), 1.0, Qt::DashLine, Qt::SquareCap, Qt::BevelJoin);
    gridPen.setDashPattern({2, 2});
    gridPen.setDashOffset(2.0);
    for (CLine** line : {&gridHorizontal1, &gridHorizontal2, &gridVertical1, &gridVertical2}) {
        *line = new CLine();
        (*line)->setPen(gridPen);
        group->addToGroup(*line);
    }

    placeMainRectFromCropRect();
    if (QGraphicsScene* scene = group->scene())
        connect(scene, &QGraphicsScene::sceneRectChanged, this, &CCropGraphicsRect::onSceneRectChanged);
    else
        ASSERT(false);
    connect(this, &CCropGraphicsRect::cropRectMoved, &cropCorrection, &CCropCorrection::onCropRectMoved);
}

CCropGraphicsRect::~CCropGraphicsRect() = default;

QList<CCropPoint*> CCropGraphicsRect::points() const
{
    return {pointLeftTop, pointMidleTop, pointRightTop, pointLeftMidle,
            pointRightMidle, pointLeftBottom, pointMidleBottom, pointRightBottom};
}

bool CCropGraphicsRect::isFreeRatio(qreal ratio)
{
    return qFuzzyCompare(ratio, -1.0);
}

qreal CCropGraphicsRect::effectiveRatio(qreal ratio)
{
    return isFreeRatio(ratio) ? 0.0 : ratio;
}

qreal CCropGraphicsRect::heightForWidth(qreal width) const
{
    const qreal e = effectiveRatio(aspectRatio);
    return e != 0.0 ? width / e : width;
}

qreal CCropGraphicsRect::widthForHeight(qreal height) const
{
    const qreal e = effectiveRatio(aspectRatio);
    return e != 0.0 ? height * e : height;
}

void CCropGraphicsRect::setCropRect(CCropCorrection::NormalizedCropRect rect)
{
    LOG_TRACE();
    cropRect = rect;
    placeMainRectFromCropRect();
}

void CCropGraphicsRect::setCropRatioAndMoveRect(qreal ratio)
{
    LOG_TRACE();
    setCropRatio(ratio);
    if (isFreeRatio(ratio))
        return;
    fitMainRectToRatio();
    updatePointsPositions();
}

void CCropGraphicsRect::setCropRatio(qreal ratio)
{
    aspectRatio = ratio;
    for (CCropPoint* point : points())
        point->setCropRatioValue(effectiveRatio(ratio));
}

void CCropGraphicsRect::setShowGrid(bool show)
{
    for (CLine* line : gridLines())
        line->setVisible(show);
}

QRectF CCropGraphicsRect::sceneCropRect() const
{
    return QRectF(mainRect->pos(), mainRect->rect().size());
}

void CCropGraphicsRect::moveMainRectBy(QPointF offset)
{
    mainRect->moveBy(offset.x(), offset.y());
}

void CCropGraphicsRect::moveMainRectTo(const QPointF& pos)
{
    if (!mainRect)
        return;
    mainRect->setPos(pos);
    updatePointsPositions();
}

bool CCropGraphicsRect::isConstrainToImage() const
{
    return cropCorrection.isConstrainToImage();
}

void CCropGraphicsRect::releaseFocus()
{
    mainRect->clearFocus();
    if (QGraphicsScene* scene = mainRect->scene())
        scene->update(QRectF());
}

void CCropGraphicsRect::setSceneRectRounded(const QRect& rounded)
{
    QGraphicsScene* scene = mainRect->scene();
    if (!scene)
        return;
    scene->setSceneRect(QRectF(rounded));
    ASSERT(scene->sceneRect() == QRectF(scene->sceneRect().toRect()));
}

void CCropGraphicsRect::placeMainRectFromCropRect()
{
    QGraphicsScene* scene = mainRect->scene();
    const QRect r = scene ? scene->sceneRect().toRect() : QRect();
    QSizeF size(MinimumSide, MinimumSide);
    QPointF pos(r.left(), r.top());
    if (r.width() >= MinimumSide && r.height() >= MinimumSide) {
        size = QSizeF((cropRect.right - cropRect.left) * r.width(), (cropRect.bottom - cropRect.top) * r.height());
        pos = QPointF(r.left() + r.width() * cropRect.left, r.top() + r.height() * cropRect.top);
    }
    mainRect->setRect(QRectF(QPointF(0, 0), size));
    mainRect->setPos(pos);
    emit cropRectChanged(sceneCropRect());
    updatePointsPositions();
    setSceneRectRounded(r);
}

void CCropGraphicsRect::fitMainRectToRatio()
{
    const qreal e = effectiveRatio(aspectRatio);
    const QRectF old = mainRect->rect();
    const qreal w = old.width();
    const qreal h = old.height();
    QSizeF size(w, e != 0.0 ? w / e : w);
    if (size.height() > h)
        size = QSizeF(e != 0.0 ? h * e : h, h);
    if (size.height() < MinimumSide)
        size = QSizeF(e != 0.0 ? MinimumSide * e : MinimumSide, MinimumSide);
    if (size.width() < MinimumSide)
        size = QSizeF(MinimumSide, e != 0.0 ? MinimumSide / e : MinimumSide);
    QPointF pos = mainRect->pos() + old.topLeft() + QPointF(w / 2, h / 2)
                - QPointF(size.width() / 2, size.height() / 2);
    const QRectF scene = mainRect->scene() ? mainRect->scene()->sceneRect() : QRectF();
    pos.setX(std::min(std::max(pos.x(), 0.0), scene.width() - size.width()));
    pos.setY(std::min(std::max(pos.y(), 0.0), scene.height() - size.height()));
    mainRect->setRect(QRectF(QPointF(0, 0), size));
    mainRect->setPos(pos);
}

void CCropGraphicsRect::updatePointsPositions()
{
    isPointsMovedByMainRect = true;
    const qreal x = mainRect->pos().x();
    const qreal y = mainRect->pos().y();
    const qreal w = mainRect->rect().width();
    const qreal h = mainRect->rect().height();
    pointLeftTop->setPos(x, y);
    pointRightTop->setPos(x + w, y);
    pointLeftBottom->setPos(x, y + h);
    pointRightBottom->setPos(x + w, y + h);
    pointMidleTop->setPos((pointLeftTop->x() + pointRightTop->x()) / 2, pointLeftTop->y());
    pointLeftMidle->setPos(pointLeftTop->x(), (pointLeftTop->y() + pointLeftBottom->y()) / 2);
    pointRightMidle->setPos(pointRightBottom->x(), (pointRightTop->y() + pointRightBottom->y()) / 2);
    pointMidleBottom->setPos((pointLeftBottom->x() + pointRightBottom->x()) / 2, pointLeftBottom->y());
    gridHorizontal1->setLine(x, y + h / 3, x + w, y + h / 3);
    gridHorizontal2->setLine(x, y + 2 * h / 3, x + w, y + 2 * h / 3);
    gridVertical1->setLine(x + w / 3, y, x + w / 3, y + h);
    gridVertical2->setLine(x + 2 * w / 3, y, x + 2 * w / 3, y + h);
    isPointsMovedByMainRect = false;
    if (!inOnSceneRectChanged) {
        emit cropRectMoved();
        emit cropRectChanged(sceneCropRect());
        cropRect = calcNormalizedRect();
    }
}

CCropCorrection::NormalizedCropRect CCropGraphicsRect::calcNormalizedRect() const
{
    QGraphicsScene* scene = mainRect->scene();
    ASSERT(scene);
    const QRectF sceneRect = scene ? scene->sceneRect() : QRectF();
    ASSERT(sceneRect.width() != 0.0 && sceneRect.height() != 0.0);
    if (!scene || sceneRect.width() == 0.0 || sceneRect.height() == 0.0)
        return {};
    const QRectF r = sceneCropRect();
    return {r.left() / sceneRect.width(), r.top() / sceneRect.height(), r.right() / sceneRect.width(),
            r.bottom() / sceneRect.height()};
}

void CCropGraphicsRect::selectAllCanvas()
{
    QGraphicsScene* scene = mainRect->scene();
    const QRect r = scene ? scene->sceneRect().toRect() : QRect();
    mainRect->setRect(0, 0, r.width(), r.height());
    mainRect->setPos(0, 0);
    updatePointsPositions();
    setSceneRectRounded(r);
}

void CCropGraphicsRect::onSceneRectChanged(QRectF newRect)
{
    if (inOnSceneRectChanged)
        return;
    inOnSceneRectChanged = true;
    if (!relayoutForRatio(newRect))
        placeMainRectFromCropRect();
    inOnSceneRectChanged = false;
}

bool CCropGraphicsRect::relayoutForRatio(QRectF newRect)
{
    ICorrectionModuleHost* host = cropCorrection.host();
    if (!host || host->currentCorrectionName() != QLatin1String("Crop")
        || cropCorrection.cropType() != QLatin1String("manualCrop") || isFreeRatio(cropCorrection.cropRatio()))
        return false;
    const qreal W = newRect.width();
    const qreal H = newRect.height();
    const qreal e = effectiveRatio(aspectRatio);
    const qreal heightTerm = (cropRect.bottom - cropRect.top) * H;
    const int d = int((cropRect.right - cropRect.left) * W - (e != 0.0 ? heightTerm * e : heightTerm));
    if (std::abs(d) < 2)
        return false;
    qreal h = 2 * H / 3;
    qreal w = e != 0.0 ? h * e : h;
    if (!(h < H) || !(w < W)) {
        w = 2 * W / 3;
        h = e != 0.0 ? w / e : w;
    }
    ASSERT(h < H);
    ASSERT(w < W);
    mainRect->setRect(0, 0, w, h);
    mainRect->setPos((W - w) / 2, (H - h) / 2);
    emit cropRectChanged(sceneCropRect());
    updatePointsPositions();
    cropRect = calcNormalizedRect();
    if (QGraphicsScene* scene = mainRect->scene()) {
        scene->setSceneRect(newRect);
        ASSERT(scene->sceneRect() == QRectF(scene->sceneRect().toRect()));
    }
    return true;
}

void CCropGraphicsRect::onItemEntered(QObject* item)
{
    hoverStates[item] = true;
    updateHoverState();
}

void CCropGraphicsRect::onItemLeaved(QObject* item)
{
    hoverStates[item] = false;
    updateHoverState();
}

void CCropGraphicsRect::updateHoverState()
{
    bool hovered = false;
    for (bool state : std::as_const(hoverStates))
        hovered = hovered || state;
    for (CCropPoint* point : points())
        point->setHighlighted(hovered);
    mainRect->setHighlighted(hovered);
    if (hovered)
        cropCorrection.showCropSizeLabel();
}

QByteArray CCropGraphicsRect::toByteArray() const
{
    const QRectF sceneRect = mainRect->scene() ? mainRect->scene()->sceneRect() : QRectF();
    const qreal W = sceneRect.width();
    const qreal H = sceneRect.height();
    // A zero-size scene has no fractions: 0 is written in place of them.
    auto fraction = [](qreal value, qreal whole) { return whole != 0.0 ? value / whole : 0.0; };
    const QPointF pos = mainRect->pos();
    const QRectF rect = mainRect->rect();
    QMap<QString, QVariant> map;
    map.insert(QStringLiteral("isPointsMovedByMainRect"), isPointsMovedByMainRect);
    map.insert(QStringLiteral("cropRect"), cropRect.toVariant());
    map.insert(QStringLiteral("aspectRatio"), double(aspectRatio));
    map.insert(QStringLiteral("inOnSceneRectChanged"), inOnSceneRectChanged);
    map.insert(QStringLiteral("mainRectPos"), QPointF(fraction(pos.x(), W), fraction(pos.y(), H)));
    map.insert(QStringLiteral("mainRectRect"), QRectF(fraction(rect.left(), W), fraction(rect.top(), H),
                                                      fraction(rect.width(), W), fraction(rect.height(), H)));
    return NAVIK_tarl1::variantMapToBytes(map);
}

void CCropGraphicsRect::restoreState(const QByteArray& state)
{
    LOG_TRACE();
    const bool wasBlocked = blockSignals(true);
    const QMap<QString, QVariant> map = NAVIK_tarl1::variantMapFromBytes(state);
    const QRectF sceneRect = mainRect->scene() ? mainRect->scene()->sceneRect() : QRectF();
    const qreal W = sceneRect.width();
    const qreal H = sceneRect.height();
    auto finite = [](qreal value) { return std::isfinite(value); };
    if (map.contains(QStringLiteral("isPointsMovedByMainRect")))
        isPointsMovedByMainRect = map.value(QStringLiteral("isPointsMovedByMainRect")).toBool();
    if (map.contains(QStringLiteral("cropRect")))
        cropRect = CCropCorrection::NormalizedCropRect::fromVariant(map.value(QStringLiteral("cropRect")));
    if (map.contains(QStringLiteral("aspectRatio"))) {
        const double ratio = map.value(QStringLiteral("aspectRatio")).toDouble();
        if (finite(ratio))
            aspectRatio = ratio;
    }
    if (map.contains(QStringLiteral("inOnSceneRectChanged")))
        inOnSceneRectChanged = map.value(QStringLiteral("inOnSceneRectChanged")).toBool();
    if (map.contains(QStringLiteral("mainRectRect"))) {
        const QRectF r = map.value(QStringLiteral("mainRectRect")).toRectF();
        if (finite(r.left()) && finite(r.top()) && finite(r.width()) && finite(r.height()))
            mainRect->setRect(r.left() * W, r.top() * H, r.width() * W, r.height() * H);
    }
    if (map.contains(QStringLiteral("mainRectPos"))) {
        const QPointF p = map.value(QStringLiteral("mainRectPos")).toPointF();
        if (finite(p.x()) && finite(p.y()))
            mainRect->setPos(p.x() * W, p.y() * H);
    }
    updatePointsPositions();
    blockSignals(wasBlocked);
}

// ---- Handle resize and snapping ------------------------------------------

void CCropGraphicsRect::calcRectForLeftTop(const QPointF& p, QPointF& pos, QRectF& rect) const
{
    const QPointF rb = pointRightBottom->pos();
    rect = QRectF(0, 0, rb.x() - p.x(), rb.y() - p.y());
    pos = p;
}

void CCropGraphicsRect::calcRectForRightTop(const QPointF& p, QPointF& pos, QRectF& rect) const
{
    const QPointF lt = pointLeftTop->pos();
    const QPointF rb = pointRightBottom->pos();
    rect = QRectF(0, 0, p.x() - lt.x(), rb.y() - p.y());
    const QRectF item = mainRect->rect();
    const QPointF c = mainRect->mapToScene(QPointF(item.left(), item.bottom()));
    pos = QPointF(c.x(), c.y() - rect.height());
}

void CCropGraphicsRect::calcRectForLeftBottom(const QPointF& p, QPointF& pos, QRectF& rect) const
{
    const QPointF lt = pointLeftTop->pos();
    const QPointF rb = pointRightBottom->pos();
    rect = QRectF(0, 0, rb.x() - p.x(), p.y() - lt.y());
    pos = QPointF(p.x(), lt.y());
}

void CCropGraphicsRect::calcRectForRightBottom(const QPointF& p, QPointF& pos, QRectF& rect) const
{
    const QPointF lt = pointLeftTop->pos();
    rect = QRectF(0, 0, p.x() - lt.x(), p.y() - lt.y());
    pos = lt;
}

void CCropGraphicsRect::calcRectForMidleTop(const QPointF& p, QPointF& pos, QRectF& rect) const
{
    const QPointF lt = pointLeftTop->pos();
    const QPointF rb = pointRightBottom->pos();
    const qreal height = rb.y() - p.y();
    const qreal width = isFreeRatio(aspectRatio) ? rb.x() - lt.x() : widthForHeight(height);
    const QRectF item = mainRect->rect();
    const QPointF c = mainRect->mapToScene(QPointF((item.left() + item.width() + item.left()) * 0.5, item.bottom()));
    rect = QRectF(0, 0, width, height);
    pos = QPointF(c.x() - width * 0.5, c.y() - height);
}

void CCropGraphicsRect::calcRectForMidleBottom(const QPointF& p, QPointF& pos, QRectF& rect) const
{
    const QPointF lt = pointLeftTop->pos();
    const QPointF rb = pointRightBottom->pos();
    const qreal height = p.y() - lt.y();
    const qreal width = isFreeRatio(aspectRatio) ? rb.x() - lt.x() : widthForHeight(height);
    const QRectF item = mainRect->rect();
    const QPointF c = mainRect->mapToScene(QPointF((item.left() + item.width() + item.left()) * 0.5, item.top()));
    rect = QRectF(0, 0, width, height);
    pos = QPointF(c.x() - width * 0.5, c.y());
}

void CCropGraphicsRect::calcRectForLeftMidle(const QPointF& p, QPointF& pos, QRectF& rect) const
{
    const QPointF lt = pointLeftTop->pos();
    const QPointF rb = pointRightBottom->pos();
    const qreal width = rb.x() - p.x();
    const qreal height = isFreeRatio(aspectRatio) ? rb.y() - lt.y() : heightForWidth(width);
    const QRectF item = mainRect->rect();
    const QPointF c = mainRect->mapToScene(QPointF(item.right(), (item.top() + item.height() + item.top()) * 0.5));
    rect = QRectF(0, 0, width, height);
    pos = QPointF(c.x() - width, c.y() - height * 0.5);
}

void CCropGraphicsRect::calcRectForRightMidle(const QPointF& p, QPointF& pos, QRectF& rect) const
{
    const QPointF lt = pointLeftTop->pos();
    const QPointF rb = pointRightBottom->pos();
    const qreal width = p.x() - lt.x();
    const qreal height = isFreeRatio(aspectRatio) ? rb.y() - lt.y() : heightForWidth(width);
    const QRectF item = mainRect->rect();
    const QPointF c = mainRect->mapToScene(QPointF(item.left(), (item.top() + item.height() + item.top()) * 0.5));
    rect = QRectF(0, 0, width, height);
    pos = QPointF(c.x(), c.y() - height * 0.5);
}

void CCropGraphicsRect::applyMinimumSize(CCropPoint* point, QPointF& pos, QRectF& rect) const
{
    const bool free = isFreeRatio(aspectRatio);
    auto correctPosition = [&]() {
        if (!free) {
            if (point == pointMidleTop || point == pointMidleBottom)
                pos.setX(pointMidleTop->x() - rect.width() * 0.5);
            if (point == pointRightMidle || point == pointLeftMidle)
                pos.setY(pointRightMidle->y() - rect.height() * 0.5);
        }
        if (point == pointLeftBottom || point == pointLeftMidle || point == pointLeftTop)
            pos.setX(pointRightMidle->x() - rect.width());
        if (point == pointLeftTop || point == pointMidleTop || point == pointRightTop)
            pos.setY(pointMidleBottom->y() - rect.height());
    };
    auto widthPass = [&]() {
        if (!(rect.width() < MinimumSide))
            return;
        rect.setWidth(MinimumSide);
        if (!free)
            rect.setHeight(heightForWidth(MinimumSide));
        correctPosition();
    };
    widthPass();
    if (rect.height() < MinimumSide) {
        if (!free)
            rect.setWidth(widthForHeight(MinimumSide));
        rect.setHeight(MinimumSide);
        correctPosition();
    }
    widthPass();
}

bool CCropGraphicsRect::containsWithTolerance(const QRectF& r, const QPointF& p)
{
    const QPolygonF polygon({r.bottomLeft(), r.topLeft(), r.topRight(), r.bottomRight()});
    if (polygon.containsPoint(p, Qt::OddEvenFill))
        return true;
    const QLineF edges[] = {{r.bottomLeft(), r.topLeft()},
                            {r.topLeft(), r.topRight()},
                            {r.topRight(), r.bottomRight()},
                            {r.bottomLeft(), r.bottomRight()}};
    for (const QLineF& edge : edges) {
        if (isNearEdge(edge, p))
            return true;
    }
    return false;
}

QPointF CCropGraphicsRect::closestPointOnOutline(const QVector<QLineF>& edges, const QPointF& p)
{
    if (edges.isEmpty())
        return {};
    for (const QLineF& edge : edges) {
        QPointF foot;
        if (isNearEdge(edge, p, &foot))
            return foot;
    }
    bool found = false;
    QPointF best;
    qreal bestDistance = std::numeric_limits<qreal>::max();
    for (int i = 0; i < edges.size(); ++i) {
        const QLineF& edge = edges[i];
        const QPointF foot = footOnEdge(edge, p);
        const QLineF toPoint(foot, p);
        if (toPoint.intersects(edge, nullptr) == QLineF::NoIntersection)
            continue;
        if (!inEdgeBox(edge, foot, 0.0))
            continue;
        bool blocked = false;
        for (int k = 0; k < edges.size() && !blocked; ++k) {
            if (k == i)
                continue;
            QPointF crossing;
            if (toPoint.intersects(edges[k], &crossing) == QLineF::BoundedIntersection)
                blocked = !isNearEdge(edge, crossing);
        }
        if (blocked)
            continue;
        const qreal distance = QLineF(foot, p).length();
        if (!found || distance < bestDistance) {
            found = true;
            best = foot;
            bestDistance = distance;
        }
    }
    return found ? best : QPointF();
}

QPointF CCropGraphicsRect::closestPointOnRect(const QRectF& r, const QPointF& p)
{
    const QPointF corners[] = {r.bottomLeft(), r.topLeft(), r.topRight(), r.bottomRight()};
    const QPointF result = closestPointOnOutline({{corners[0], corners[1]},
                                                  {corners[1], corners[2]},
                                                  {corners[2], corners[3]},
                                                  {corners[0], corners[3]}},
                                                 p);
    const bool isZero = result.x() == 0.0 && !std::signbit(result.x()) && result.y() == 0.0
                     && !std::signbit(result.y());
    if (!isZero)
        return result;
    QPointF nearest = corners[0];
    qreal nearestDistance = QLineF(corners[0], p).length();
    for (const QPointF& corner : corners) {
        const qreal distance = QLineF(corner, p).length();
        if (distance < nearestDistance) {
            nearest = corner;
            nearestDistance = distance;
        }
    }
    return nearest;
}

QPointF CCropGraphicsRect::closestPointOnRectOutline(const QRectF& r, const QPointF& p)
{
    if (!(r.width() > 0 && r.height() > 0))
        return {};
    return closestPointOnOutline({{r.bottomRight(), r.bottomLeft()},
                                  {r.bottomLeft(), r.topLeft()},
                                  {r.topLeft(), r.topRight()},
                                  {r.topRight(), r.bottomRight()}},
                                 p);
}

// ---- Handle drag and image bounds -----------------------------------------

void CCropGraphicsRect::onPointPosWillChanged(CCropPoint* point, const QPointF& proposed, const QPointF& requested)
{
    if (tryFlipOrientation(point, requested))
        return;
    if (isPointsMovedByMainRect)
        return;
    IProcessEngine* processEngine = engine();
    if (!processEngine)
        return;
    const QRectF imageBounds(QPointF(0, 0), QSizeF(processEngine->getOriginalImageSize()));
    const QRectF viewBounds(QPointF(0, 0), QSizeF(processEngine->getCashedSizeOfProcessedResultImage()));
    const bool free = isFreeRatio(aspectRatio);
    QPointF p = proposed;
    if (!viewBounds.contains(p)) {
        if (!free)
            return;
        p = closestPointOnRect(viewBounds, p);
    }
    if (isConstrainToImage()) {
        QPointF q = processEngine->projectPoint(p, 4);
        if (!imageBounds.contains(q) && free) {
            q = closestPointOnRect(imageBounds, q);
            p = processEngine->projectPoint(q, 5);
        }
    }
    QRectF rect = mainRect->rect();
    QPointF pos = mainRect->pos();
    if (point == pointLeftTop)
        calcRectForLeftTop(p, pos, rect);
    else if (point == pointRightBottom)
        calcRectForRightBottom(p, pos, rect);
    else if (point == pointRightTop)
        calcRectForRightTop(p, pos, rect);
    else if (point == pointLeftBottom)
        calcRectForLeftBottom(p, pos, rect);
    else if (point == pointMidleTop)
        calcRectForMidleTop(p, pos, rect);
    else if (point == pointMidleBottom)
        calcRectForMidleBottom(p, pos, rect);
    else if (point == pointLeftMidle)
        calcRectForLeftMidle(p, pos, rect);
    else if (point == pointRightMidle)
        calcRectForRightMidle(p, pos, rect);
    else
        ASSERT(false);
    applyMinimumSize(point, pos, rect);

    const QVector<QPointF> corners = cornersAt(pos, rect);
    if (!isConstrainToImage()) {
        if (viewBounds.width() > 0 && viewBounds.height() > 0) {
            for (const QPointF& corner : corners) {
                if (!containsWithTolerance(viewBounds, corner))
                    return;
            }
        }
    } else if (imageBounds.width() > 0 && imageBounds.height() > 0) {
        const QVector<QPointF> projected = processEngine->projectPoints(corners, 4);
        ASSERT(projected.size() == corners.size());
        if (projected.size() != corners.size())
            return;
        for (const QPointF& corner : projected) {
            if (!containsWithTolerance(imageBounds, corner))
                return;
        }
    }
    mainRect->setRect(rect);
    mainRect->setPos(pos);
    updatePointsPositions();
}

bool CCropGraphicsRect::isCropRectInsideImage()
{
    IProcessEngine* processEngine = engine();
    if (!processEngine)
        return true;
    const QSize size = processEngine->getOriginalImageSize();
    if (size.width() <= 0 || size.height() <= 0)
        return true;
    const QVector<QPointF> projected = processEngine->projectPoints(cornersAt(mainRect->pos(), mainRect->rect()), 4);
    ASSERT(projected.size() == 4);
    const QRectF bounds(QPointF(0, 0), QSizeF(size));
    for (const QPointF& corner : projected) {
        if (!containsWithTolerance(bounds, corner))
            return false;
    }
    return true;
}

// ---- Corner drag with a ratio ---------------------------------------------

bool CCropGraphicsRect::tryFlipOrientation(CCropPoint* point, const QPointF& requested)
{
    if (std::abs(aspectRatio) < 1e-7)
        return false;
    QPointF anchor;
    if (!point || point->cornerType() == CCropPoint::NoCorner || !point->isInOwnQuadrant(requested, &anchor))
        return false;
    if (aspectRatio == 1.0)
        return false;
    const qint32 dx = truncatedDistance(requested.x(), anchor.x());
    const qint32 dy = truncatedDistance(requested.y(), anchor.y());
    if (aspectRatio < 1 ? !(dx > dy) : !(dx < dy))
        return false;
    return flipOrientation(point->cornerType());
}

QPointF CCropGraphicsRect::anchorCorner(CCropPoint::CornerType corner) const
{
    const QPointF p = mainRect->pos();
    const qreal w = mainRect->rect().width();
    const qreal h = mainRect->rect().height();
    switch (corner) {
    case CCropPoint::LeftTop:
        return {p.x() + w, p.y() + h};
    case CCropPoint::RightTop:
        return {p.x(), p.y() + h};
    case CCropPoint::LeftBottom:
        return {p.x() + w, p.y()};
    case CCropPoint::RightBottom:
        return p;
    default:
        ASSERT(false);
        return {p.x() + w, p.y() + h};
    }
}

void CCropGraphicsRect::fitFlippedRect(const QPointF& anchor, const QRectF& bounds, CCropPoint::CornerType corner,
                                       QRectF& rect, QPointF& pos) const
{
    qreal roomW = anchor.x();
    qreal roomH = anchor.y();
    switch (corner) {
    case CCropPoint::LeftTop:
        break;
    case CCropPoint::RightTop:
        roomW = bounds.width() - anchor.x();
        break;
    case CCropPoint::LeftBottom:
        roomH = bounds.height() - anchor.y();
        break;
    case CCropPoint::RightBottom:
        roomW = bounds.width() - anchor.x();
        roomH = bounds.height() - anchor.y();
        break;
    default:
        ASSERT(false);
        break;
    }
    qreal w = rect.width();
    qreal h = rect.height();
    if (w > roomW) {
        w = roomW;
        h = heightForWidth(roomW);
    }
    if (h > roomH) {
        w = widthForHeight(roomH);
        h = roomH;
    }
    if (w < MinimumSide)
        h = heightForWidth(MinimumSide);
    if (h < MinimumSide)
        h = MinimumSide;
    w = widthForHeight(h);
    switch (corner) {
    case CCropPoint::LeftTop:
        pos = QPointF(anchor.x() - w, anchor.y() - h);
        break;
    case CCropPoint::RightTop:
        pos = QPointF(anchor.x(), anchor.y() - h);
        break;
    case CCropPoint::LeftBottom:
        pos = QPointF(anchor.x() - w, anchor.y());
        break;
    default:
        break;
    }
    if (pos.x() + w > bounds.width())
        pos.setX(bounds.width() - w);
    if (pos.y() + h > bounds.height())
        pos.setY(bounds.height() - h);
    // A flip near the left or top edge would otherwise reach the engine with a
    // negative position.
    pos.setX(std::max(pos.x(), 0.0));
    pos.setY(std::max(pos.y(), 0.0));
    rect = QRectF(0, 0, w, h);
}

bool CCropGraphicsRect::flipOrientation(CCropPoint::CornerType corner)
{
    if (isPointsMovedByMainRect || isFreeRatio(aspectRatio))
        return false;
    QGraphicsScene* scene = pointLeftTop->scene();
    auto roundedSceneRect = [scene]() {
        const QRectF r = scene ? scene->sceneRect() : QRectF();
        return QRectF(qRound(r.x()), qRound(r.y()), qRound(r.width()), qRound(r.height()));
    };
    const QRectF bounds = roundedSceneRect();
    const QPointF anchor = anchorCorner(corner);
    const qreal old = aspectRatio;
    if (aspectRatio != 0.0)
        aspectRatio = 1.0 / aspectRatio;
    IProcessEngine* processEngine = engine();
    if (!processEngine) {
        // Without an engine nothing can be checked: the ratio stays as it was.
        aspectRatio = old;
        return false;
    }
    const QSize imageSize = processEngine->getOriginalImageSize();
    QRectF rect(0, 0, mainRect->rect().height(), mainRect->rect().width());
    QPointF pos = mainRect->pos();
    fitFlippedRect(anchor, bounds, corner, rect, pos);
    if (isConstrainToImage() && imageSize.width() > 0 && imageSize.height() > 0) {
        QVector<QPointF> tested;
        switch (corner) {
        case CCropPoint::RightTop:
            tested = {rect.bottomRight(), rect.topLeft(), rect.topRight()};
            break;
        case CCropPoint::LeftBottom:
            tested = {rect.bottomLeft(), rect.bottomRight(), rect.topLeft()};
            break;
        case CCropPoint::RightBottom:
            tested = {rect.bottomLeft(), rect.bottomRight(), rect.topRight()};
            break;
        default:
            tested = {rect.bottomLeft(), rect.topLeft(), rect.topRight()};
            break;
        }
        const QRectF imageRect(QPointF(0, 0), QSizeF(imageSize));
        for (const QPointF& offset : tested) {
            if (!containsWithTolerance(imageRect, processEngine->projectPoint(pos + offset, 4))) {
                aspectRatio = old;
                return false;
            }
        }
    }
    cropCorrection.invertCropRatio();
    mainRect->setRect(rect);
    mainRect->setPos(pos);
    updatePointsPositions();
    for (CCropPoint* point : points())
        point->setCropRatioValue(effectiveRatio(aspectRatio));
    const QRectF after = roundedSceneRect();
    ASSERT(qFuzzyCompare(after.x() + 1, bounds.x() + 1) && qFuzzyCompare(after.y() + 1, bounds.y() + 1)
           && qFuzzyCompare(after.width(), bounds.width()) && qFuzzyCompare(after.height(), bounds.height()));
    return true;
}

// ---- Whole-rectangle move -------------------------------------------------

QPointF CCropGraphicsRect::mapClosestPointBack(IProcessEngine* processEngine, const QPointF& pos,
                                               const QRectF& outline, const QPointF& corner,
                                               const QPointF& offset) const
{
    const QPointF projected = processEngine->projectPoint(closestPointOnRectOutline(outline, corner), 5);
    return (pos - (offset + pos)) + projected;
}

void CCropGraphicsRect::onMainRectPosChanged(QPointF pos)
{
    IProcessEngine* processEngine = engine();
    if (!processEngine)
        return;
    const bool constrain = isConstrainToImage();
    const QRectF outline(QPointF(0, 0), QSizeF(constrain ? processEngine->getOriginalImageSize()
                                                         : processEngine->getCashedSizeOfProcessedResultImage()));
    const QRectF rect = mainRect->rect();
    const QVector<QPointF> offsets = {rect.bottomLeft(), rect.bottomRight(), rect.topLeft(), rect.topRight()};
    auto inOutline = [&](const QVector<QPointF>& scenePoints) {
        // Which of the points pass; a short projection fails the points it lacks.
        QVector<bool> passes(scenePoints.size(), false);
        const QVector<QPointF> points = constrain ? processEngine->projectPoints(scenePoints, 4) : scenePoints;
        ASSERT(points.size() == scenePoints.size());
        for (int i = 0; i < std::min(points.size(), scenePoints.size()); ++i)
            passes[i] = containsWithTolerance(outline, points[i]);
        return passes;
    };
    const QVector<QPointF> corners = cornersAt(pos, rect);
    const QVector<bool> passes = inOutline(corners);
    if (outline.width() <= 0 || outline.height() <= 0 || !passes.contains(false)) {
        moveMainRectTo(pos);
        return;
    }
    const QVector<QPointF> outlineCorners = constrain ? processEngine->projectPoints(corners, 4) : corners;
    for (int i = 0; i < corners.size(); ++i) {
        if (passes[i] || i >= outlineCorners.size())
            continue;
        QPointF candidate;
        if (constrain) {
            candidate = mapClosestPointBack(processEngine, pos, outline, outlineCorners[i], offsets[i]);
        } else {
            const QPointF q = closestPointOnRectOutline(outline, corners[i]);
            candidate = (pos - (offsets[i] + pos)) + q;
        }
        QVector<QPointF> others;
        for (int k = 0; k < offsets.size(); ++k) {
            if (k != i)
                others.append(offsets[k] + candidate);
        }
        if (!inOutline(others).contains(false)) {
            moveMainRectTo(candidate);
            return;
        }
    }
}
