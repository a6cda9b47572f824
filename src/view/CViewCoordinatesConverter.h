#pragma once

// The arithmetic that ties a point under the mouse in one view to the same
// place of the photograph in every view, whichever image each view shows and
// whatever its zoom and scroll position.

#include <QPointF>
#include <QRectF>
#include <QSizeF>

class IProcessEngine;
class IViewInterface;

class CViewCoordinatesConverter
{
public:
    // From a point of `view` (widget pixels): its offset from the view's
    // centre and the matching whole-pixel points of the initial image and of
    // the result scene (never negative). False, with nothing filled, without
    // an engine or a view or for a view whose zoom reads 0.
    static bool getPoints(IProcessEngine* engine, IViewInterface* view, const QPointF& viewPoint,
                          QSizeF& offset, QPointF& initialPoint, QPointF& resultPoint);
    // The scroll position that puts `scenePoint` under `offset` from the
    // view's centre at `zoom` percent; 0.5 on an axis where the scene fits.
    static void getXYCenter(IViewInterface* view, const QRectF& rect, QSizeF offset, const QPointF& scenePoint,
                            const int zoom, QPointF& position);
    // The point of the other image that matches `point` of the image the
    // view shows. False, with nothing filled, without an engine or a view.
    static bool getOtherImagePoint(IProcessEngine* engine, IViewInterface* view, const QPointF& point,
                                   QPointF& result);
};
