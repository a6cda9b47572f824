#pragma once

// An image view as the zoom controller, the hand tool, the loupe and the
// correction modules see it. CBaseGraphicsView implements it; qobject_cast
// finds it on any QObject that is a view.
//
// The order of the operations is part of the interface; add new ones at the end.

#include <QCursor>
#include <QGraphicsView>
#include <QPoint>
#include <QRectF>
#include <QtPlugin>

class IViewInterface : public QGraphicsView
{
public:
    using QGraphicsView::QGraphicsView;

    // The zoom in percent at which the scene fits the view, never above 100;
    // the last computed value while it cannot be computed.
    virtual int fitToViewZoom() const = 0;
    // The view's scale in percent, rounded.
    virtual int currentViewZoom() const = 0;
    // Percents outside 1..200 are ignored.
    virtual void setCurrentViewZoom(int percent) = 0;
    virtual bool isViewVisible() const = 0;
    // The view shows the initial (uncorrected) image.
    virtual bool showsInitialImage() const = 0;
    // Scrolls to a pair of fractions of the scroll range, each 0..1.
    virtual void changePreviewPosition(double x, double y) = 0;
    // The scroll position as fractions of the range; 0.5 on an axis without range.
    virtual void previewPosition(double* x, double* y) = 0;
    // Shows `cursor` on the viewport; with msecs > 0 the previous cursor
    // comes back after that time.
    virtual void setViewCursor(const QCursor& cursor, int msecs) = 0;
    // A tool item that is not transparent for the view lies under `pos` (viewport pixels).
    virtual bool isToolItemAt(const QPoint& pos) = 0;
    // While held, visible-rectangle changes are only remembered; the release
    // sends one request for the final rectangle.
    virtual void setViewActive(bool held) = 0;
    virtual void setSceneSwitchingDisabled(bool disabled) = 0;
    // The first other view of the main window that is visible, or null.
    virtual IViewInterface* otherVisibleView() = 0;
    // The scene rectangle under the viewport.
    virtual const QRectF& visibleSceneRect() const = 0;
    virtual QGraphicsView* viewWidget() = 0;
    virtual void onSceneRectChanged(const QRectF& rect) = 0;
    virtual void onVisibleRectChanged(bool delayed) = 0;
    virtual void startProcessingIndication() = 0;
    virtual void stopProcessingIndication() = 0;
};

#define IViewInterface_iid "640E5901-EAD8-4865-8645-ECBAAB9902D2"
Q_DECLARE_INTERFACE(IViewInterface, IViewInterface_iid)
