#pragma once

// The hand tool: grab the picture in any view and drag it, every other view
// following so that all keep the same place of the photograph in their
// centre. It is one of two exclusive modes, hand tool and fast preview,
// switched by two checkable actions or held with the space bar. One
// instance lives for the whole program on the main thread.

#include <QMap>
#include <QObject>
#include <QPointF>
#include <QTimer>

class IProcessEngine;
class IViewInterface;
class QAction;
class QKeyEvent;
class QMouseEvent;
class QWidget;

class CHandTool : public QObject
{
    Q_OBJECT
public:
    static CHandTool* instance();
    static bool hasInstance();

    explicit CHandTool(QWidget* parent = nullptr);

    void setProcessEngine(IProcessEngine* engine);
    void setActions(QAction* handToolAction, QAction* fastPreviewAction);
    void addView(IViewInterface* view);
    bool isHandToolActive() const { return m_isHandToolActive; }
    // While disabled, presses are ignored.
    void setDisabled(bool disabled);
    // The hand on every view while the hand tool action is checked, else the arrow.
    void setPreviewViewsCursor();

    // For tests: the point each view holds under the mouse while dragging.
    QPointF grabPoint(IViewInterface* view) const { return m_grabPoints.value(view); }

Q_SIGNALS:
    void handToolActivated();
    void handToolDeactivated();

public Q_SLOTS:
    void onHandTool();
    void onFastPreview();
    bool onSpacebarEvent(QKeyEvent* event);
    void onMouseMoveEvent(QMouseEvent* event, IViewInterface* view);
    void onMouseButtonPressEvent(QMouseEvent* event, IViewInterface* view);
    void onMouseButtonReleaseEvent(QMouseEvent* event, IViewInterface* view);
    void onMouseDoubleClickEvent(QMouseEvent* event, IViewInterface* view);
    void onMoveCentersToPointOfScene(IViewInterface* view, QPointF point);

private Q_SLOTS:
    void onZoomChanged();

private:
    void setCursorOn(IViewInterface* view, bool dragging);
    void restartTimer();
    void setViewsActive(bool held);

    IProcessEngine* m_processEngine = nullptr;
    QMap<IViewInterface*, QPointF> m_grabPoints;
    QAction* m_handToolAction = nullptr;
    QAction* m_fastPreviewAction = nullptr;
    bool m_isHandToolActive = false;
    bool m_isPressOnToolItem = false;
    bool m_isDisabled = true;
    bool m_isActivatedBySpacebar = false;
    QTimer* m_updatePositionTimer;
    bool m_isDragCursorSet = false;
    // A press of this tool holds the views' requests until its release.
    bool m_viewsHeld = false;
};
