#include "correction/ItemState.h"

#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"

#include <QVariant>

#include <cmath>

namespace ItemState {

namespace {

const QString kPositionKey = QStringLiteral("position");
const QString kVisibleKey = QStringLiteral("isVisible");

qreal normalised(qreal value, qreal size)
{
    return size != 0 ? value / size : 0;
}

} // namespace

QByteArray write(const QPointF& position, const QRectF& sceneRect, bool visible)
{
    ASSERT(sceneRect.width() != 0 && sceneRect.height() != 0);
    QMap<QString, QVariant> state;
    state.insert(kPositionKey, QPointF(normalised(position.x(), sceneRect.width()),
                                       normalised(position.y(), sceneRect.height())));
    state.insert(kVisibleKey, visible);
    return NAVIK_tarl1::variantMapToBytes(state);
}

Restored read(const QByteArray& bytes, const QRectF& sceneRect)
{
    const QMap<QString, QVariant> state = NAVIK_tarl1::variantMapFromBytes(bytes);
    Restored restored;
    const auto position = state.constFind(kPositionKey);
    if (position != state.constEnd()) {
        const QPointF point(position->toPointF().x() * sceneRect.width(),
                            position->toPointF().y() * sceneRect.height());
        if (std::isfinite(point.x()) && std::isfinite(point.y()))
            restored.position = point;
    }
    const auto visible = state.constFind(kVisibleKey);
    if (visible != state.constEnd())
        restored.visible = visible->toBool();
    return restored;
}

} // namespace ItemState
