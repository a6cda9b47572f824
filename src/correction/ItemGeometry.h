#pragma once

// Geometry shared by the point and line handles: whether a point lies in a
// rectangle or within a few units of its border, and the border point nearest
// to a point outside.

#include <QPointF>
#include <QRectF>

#include <optional>

namespace ItemGeometry {

// How far outside a rectangle's border a point still counts as on it, in the
// rectangle's units.
inline constexpr qreal kNearDistance = 6.0;

// Inside the rectangle, or within kNearDistance of one of its sides.
bool isPointInsideOrNearRect(const QRectF& rect, const QPointF& point);

// For a point that failed isPointInsideOrNearRect: its foot on the first side
// it is near to, else the point of the rectangle nearest to it. None only for
// an empty rectangle; every corner, the top-left one included, is a result.
std::optional<QPointF> nearestRectBorderPoint(const QRectF& rect, const QPointF& point);

// The point moved into the rectangle, each axis on its own (edges included).
QPointF clampIntoRect(const QRectF& rect, const QPointF& point);

} // namespace ItemGeometry
