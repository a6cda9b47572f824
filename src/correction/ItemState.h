#pragma once

// The serialised state of a point or line handle: its position divided by the
// scene rectangle's size, and its visible flag.

#include <QByteArray>
#include <QPointF>
#include <QRectF>

#include <optional>

namespace ItemState {

// A rectangle without width or height gives 0 on that axis.
QByteArray write(const QPointF& position, const QRectF& sceneRect, bool visible);

struct Restored
{
    // Only finite values; scaled by the rectangle's size.
    std::optional<QPointF> position;
    std::optional<bool> visible;
};
Restored read(const QByteArray& bytes, const QRectF& sceneRect);

} // namespace ItemState
