#include "view/CViewCoordinatesConverter.h"

#include "shell/IProcessEngine.h"
#include "utils/Logger.h"
#include "view/IViewInterface.h"

#include <algorithm>

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

    offset = QSizeF(viewPoint.x() - w * 0.5, viewPoint.y() - h * 0.5);
    const double dx = r.width() * s - w;
    const double sx = (dx > 0 ? dx * fx + w * 0.5 : r.width() * s * 0.5) + offset.width();
    const double dy = r.height() * s - h;
    const double sy = (dy > 0 ? dy * fy + h * 0.5 : r.height() * s * 0.5) + offset.height();
    const QPointF scenePoint(qRound(sx / s), qRound(sy / s));

    // The engine's corrected picture is already cut to the crop (and turned),
    // so a point of the result scene is a point of the engine's corrected
    // picture as it stands: no crop offset goes on or comes off.
    if (view->showsInitialImage()) {
        initialPoint = scenePoint;
        resultPoint = engine->projectPoint(initialPoint, 0);
    } else {
        resultPoint = scenePoint;
        initialPoint = engine->projectPoint(resultPoint, 1);
    }
    resultPoint = QPointF(resultPoint.x() <= 0 ? 0 : qRound(resultPoint.x()),
                          resultPoint.y() <= 0 ? 0 : qRound(resultPoint.y()));
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
