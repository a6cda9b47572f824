#include "view/CViewCoordinatesConverter.h"

#include "shell/IProcessEngine.h"
#include "utils/Logger.h"
#include "view/IViewInterface.h"

#include <algorithm>

QPointF CViewCoordinatesConverter::cropOffset(const QRectF& crop, const QRectF& sceneRect)
{
    if (crop.width() <= 0.0 || crop.height() <= 0.0)
        return QPointF(0.0, 0.0);
    return QPointF(sceneRect.width() / crop.width() * crop.x(), sceneRect.height() / crop.height() * crop.y());
}

bool CViewCoordinatesConverter::getPoints(IProcessEngine* engine, IViewInterface* view, const QPointF& viewPoint,
                                          QSizeF& offset, QPointF& initialPoint, QPointF& resultPoint)
{
    ASSERT(engine);
    if (!engine || !view || view->currentViewZoom() <= 0)
        return false;
    const double w = view->width();
    const double h = view->height();
    double fx = 0.5;
    double fy = 0.5;
    view->previewPosition(&fx, &fy);
    const double s = view->currentViewZoom() / 100.0;
    const QRectF r = view->sceneRect();
    const QRectF crop = engine->getCropParameters();

    offset = QSizeF(viewPoint.x() - w * 0.5, viewPoint.y() - h * 0.5);
    const QPointF ownCropOffset = view->showsInitialImage() ? QPointF(0.0, 0.0) : cropOffset(crop, r);

    const double dx = r.width() * s - w;
    const double sx = (dx > 0 ? dx * fx + w * 0.5 : r.width() * s * 0.5) + s * ownCropOffset.x() + offset.width();
    const double dy = r.height() * s - h;
    const double sy = (dy > 0 ? dy * fy + h * 0.5 : r.height() * s * 0.5) + s * ownCropOffset.y() + offset.height();
    const QPointF scenePoint(qRound(sx / s), qRound(sy / s));

    QPointF removedOffset;
    if (view->showsInitialImage()) {
        initialPoint = scenePoint;
        resultPoint = engine->projectPoint(initialPoint, 0);
        if (IViewInterface* other = view->otherVisibleView())
            removedOffset = cropOffset(crop, other->sceneRect());
    } else {
        resultPoint = scenePoint;
        initialPoint = engine->projectPoint(resultPoint, 1);
        removedOffset = ownCropOffset;
    }
    const double rx = resultPoint.x() - removedOffset.x();
    const double ry = resultPoint.y() - removedOffset.y();
    resultPoint = QPointF(rx <= 0 ? 0 : qRound(rx), ry <= 0 ? 0 : qRound(ry));
    return true;
}

void CViewCoordinatesConverter::getXYCenter(IViewInterface* view, const QRectF& rect, QSizeF offset,
                                            const QPointF& scenePoint, const int zoom, QPointF& position)
{
    if (!view)
        return;
    const double s = zoom / 100.0;
    const int w = view->width();
    const int h = view->height();
    const QRectF r = view->sceneRect();

    const double dx = r.width() * s - w;
    position.setX(dx <= 0 ? 0.5 : std::clamp((scenePoint.x() * s - offset.width() - w / 2) / dx, 0.0, 1.0));
    const double dy = rect.height() * s - 2 * (h / 2);
    position.setY(dy <= 0 ? 0.5 : std::clamp((scenePoint.y() * s - offset.height() - h / 2) / dy, 0.0, 1.0));
}

bool CViewCoordinatesConverter::getOtherImagePoint(IProcessEngine* engine, IViewInterface* view,
                                                   const QPointF& point, QPointF& result)
{
    ASSERT(engine);
    if (!engine || !view)
        return false;
    result = engine->projectPoint(point, view->showsInitialImage() ? 0 : 1);
    return true;
}
