#pragma once

// The one zoom, in whole percent, that every registered image view shares:
// fit, 100 %, the stepped wheel zoom anchored under the mouse, any value from
// the zoom bar, and the double-click toggle between fit and a remembered
// zoom. It builds the zoom bar (zoom-out button, slider, zoom-in button; the
// combo box) and keeps bar and views in step. The process engine reads the
// zoom through IZoomLevelSource. One instance lives for the whole program.

#include "engine/IZoomLevelSource.h"

#include <QMap>
#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QSizeF>
#include <QTimer>

#include <set>

class CZoomComboBox;
class CZoomSlider;
class IProcessEngine;
class IViewInterface;
class QMouseEvent;
class QWidget;

class CZoomController : public QObject, public IZoomLevelSource
{
    Q_OBJECT
public:
    // 0: a primary view, whose fit zoom is the fit zoom while it is visible;
    // other values: the view only takes part in the minimum zoom.
    enum FitToZoomPriority { PrimaryView = 0, SecondaryView = 1 };

    static CZoomController* instance();
    static bool hasInstance();

    explicit CZoomController(QWidget* parent = nullptr);
    ~CZoomController() override;

    void setProcessEngine(IProcessEngine* engine);
    void addView(IViewInterface* view, FitToZoomPriority priority);
    QWidget* zoomSliderWidget() const { return m_zoomSliderWidget; }
    QWidget* zoomComboWidget() const { return m_zoomComboWidget; }
    CZoomComboBox* zoomComboBox() const { return m_zoomComboBox; }
    CZoomSlider* zoomSlider() const { return m_zoomSlider; }
    int fitZoom() const { return m_fitZoom; }
    int minZoom() const { return m_minZoom; }
    int currentZoom() const override { return m_currentZoom; }
    int maxZoom() const { return 200; }
    void resetDoubleClickZoom();
    std::set<int> zoomSteps() const;

Q_SIGNALS:
    void zoomChanged(int zoom);

public Q_SLOTS:
    void onFitToViewZoomIsChanged(IViewInterface* view);
    void onViewActivityChanged(IViewInterface* view);
    void onUpdateCenters(IViewInterface* view, QSizeF& offset, QPointF& initialPoint, QPointF& resultPoint,
                         bool apply);
    void onUpdateCenters(IViewInterface* view, QSizeF& offset, QPointF& initialPoint, QPointF& resultPoint);
    void onZoomIn(IViewInterface* view, QPoint pos);
    void onZoomOut(IViewInterface* view, QPoint pos);
    void onZoomChanged(int zoom);
    void onZoomDefault();
    void onFit();
    void onMin();
    void onMouseDoubleClickEvent(QMouseEvent* event, IViewInterface* view);
    void setViewZoom(bool applyPositions);

private Q_SLOTS:
    void onZoomMinus();
    void onZoomPlus();
    void onDoubleClickDelayTimer();

private:
    // The first visible primary view and the points under its centre.
    bool findAnchor(IViewInterface** view, QSizeF* offset, QPointF* initialPoint, QPointF* resultPoint);
    void pointsAt(IViewInterface* view, const QPointF& pos, QSizeF* offset, QPointF* initialPoint,
                  QPointF* resultPoint);

    IProcessEngine* m_processEngine = nullptr;
    QMap<IViewInterface*, FitToZoomPriority> m_views;
    CZoomSlider* m_zoomSlider = nullptr;
    QWidget* m_zoomSliderWidget = nullptr;
    CZoomComboBox* m_zoomComboBox = nullptr;
    QWidget* m_zoomComboWidget = nullptr;
    int m_currentZoom = 24;
    int m_fitZoom = 24;
    int m_minZoom = 24;
    int m_doubleClickZoom = 150;
    QTimer m_doubleClickDelayTimer;
    bool m_applyPositionsAfterDelay = false;
    bool m_doubleClickZoomInitialised = false;
};
