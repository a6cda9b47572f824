#include "correction/ItemGeometry.h"

#include <QLineF>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <cmath>

namespace ItemGeometry {

namespace {

constexpr qreal kAxisTolerance = 1e-7;

// Left, top, right, bottom, from the polygon bottom-left, top-left,
// top-right, bottom-right.
std::array<QLineF, 4> sidesOf(const QRectF& rect)
{
    const QPointF bottomLeft(rect.left(), rect.top() + rect.height());
    const QPointF topLeft(rect.left(), rect.top());
    const QPointF topRight(rect.left() + rect.width(), rect.top());
    const QPointF bottomRight(rect.left() + rect.width(), rect.top() + rect.height());
    return {QLineF(bottomLeft, topLeft), QLineF(topLeft, topRight), QLineF(topRight, bottomRight),
            QLineF(bottomLeft, bottomRight)};
}

QPointF footOn(const QLineF& side, const QPointF& point)
{
    if (std::abs(side.dy()) < kAxisTolerance)
        return QPointF(point.x(), side.y1());
    if (std::abs(side.dx()) < kAxisTolerance)
        return QPointF(side.x1(), point.y());
    const QPointF direction(side.dx(), side.dy());
    const qreal t = QPointF::dotProduct(point - side.p1(), direction) / QPointF::dotProduct(direction, direction);
    return side.p1() + t * direction;
}

// The foot when the point is near the side, none otherwise.
std::optional<QPointF> nearFoot(const QLineF& side, const QPointF& point)
{
    const QPointF foot = footOn(side, point);
    const QRectF box = QRectF(side.p1(), side.p2()).normalized().adjusted(-kNearDistance, -kNearDistance,
                                                                           kNearDistance, kNearDistance);
    if (QLineF(point, foot).length() < kNearDistance && foot.x() >= box.left() && foot.x() <= box.right()
        && foot.y() >= box.top() && foot.y() <= box.bottom())
        return foot;
    return std::nullopt;
}

} // namespace

bool isPointInsideOrNearRect(const QRectF& rect, const QPointF& point)
{
    const std::array<QLineF, 4> sides = sidesOf(rect);
    const QPolygonF polygon{sides[0].p1(), sides[1].p1(), sides[1].p2(), sides[3].p2()};
    if (polygon.containsPoint(point, Qt::OddEvenFill))
        return true;
    return std::any_of(sides.begin(), sides.end(),
                       [&point](const QLineF& side) { return nearFoot(side, point).has_value(); });
}

std::optional<QPointF> nearestRectBorderPoint(const QRectF& rect, const QPointF& point)
{
    if (!(rect.width() > 0) || !(rect.height() > 0))
        return std::nullopt;
    for (const QLineF& side : sidesOf(rect))
        if (const std::optional<QPointF> foot = nearFoot(side, point))
            return foot;
    return clampIntoRect(rect, point);
}

QPointF clampIntoRect(const QRectF& rect, const QPointF& point)
{
    const qreal right = rect.left() + rect.width();
    const qreal bottom = rect.top() + rect.height();
    return QPointF(std::clamp(point.x(), std::min(rect.left(), right), std::max(rect.left(), right)),
                   std::clamp(point.y(), std::min(rect.top(), bottom), std::max(rect.top(), bottom)));
}

} // namespace ItemGeometry
