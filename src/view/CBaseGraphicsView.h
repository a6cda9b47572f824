#pragma once

// The widget that shows one graphics scene and everything that belongs to
// the window onto it: the zoom and the fit zoom, the position as fractions
// of the scroll range, the visible rectangle it asks the process engine to
// render at full resolution, the processing badge, the grid overlay, the
// "Before"/"After" caption, temporary cursors, and the mouse, wheel and key
// events it passes on as signals. Its scroll bars are never on screen; they
// carry the position.

#include "view/IViewInterface.h"

#include <QColor>
#include <QCursor>
#include <QPainter>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QTimer>

class CBaseGraphicsScene;
class CProgressDrawer;
class IMainWindowInterface;
class IProcessEngine;
class QMouseEvent;

class CBaseGraphicsView : public IViewInterface
{
    Q_OBJECT
    Q_INTERFACES(IViewInterface)
public:
    explicit CBaseGraphicsView(QWidget* parent = nullptr);
    ~CBaseGraphicsView() override;

    // IViewInterface
    int fitToViewZoom() const override;
    int currentViewZoom() const override;
    void setCurrentViewZoom(int percent) override;
    bool isViewVisible() const override;
    bool showsInitialImage() const override;
    void changePreviewPosition(double x, double y) override;
    void previewPosition(double* x, double* y) override;
    void setViewCursor(const QCursor& cursor, int msecs) override;
    bool isToolItemAt(const QPoint& pos) override;
    void setViewActive(bool held) override;
    void setSceneSwitchingDisabled(bool disabled) override;
    IViewInterface* otherVisibleView() override;
    const QRectF& visibleSceneRect() const override;
    QGraphicsView* viewWidget() override;
    void startProcessingIndication() override;
    void stopProcessingIndication() override;

    // Stores the main window and the engine and connects the hi-res requests
    // to the engine. The halo background is not offered: `haloOn` is ignored.
    void initialize(bool haloOn, IMainWindowInterface* mainWindow, IProcessEngine* engine);
    void setAndConnectScene(QGraphicsScene* scene);
    // Before another picture is opened: no grid until its first render.
    void doResetBeforeOpen();
    // Sends the visible rectangle when the view needs a sharp render, or always when forced.
    void requestVisibleRectProcessing(bool force);
    // Visible and zoomed above 5 %.
    bool isNeededToProcessHiResRegion() const;
    void enableDisableHiResRegionProcessing();
    bool isWaitingForResult() const { return m_waitingForResult; }
    void showMouseOnScenePoint(const QPointF& scenePoint);
    void setHaloMode(int mode);
    void setShowsInitialImage(bool shows);
    void setShowBeforeAfterCaption(bool show);
    void onZoomIn(const QPoint& pos);
    void onZoomOut(const QPoint& pos);

    // The id under which the engine keeps the view's hi-res request.
    const QString& viewId() const { return m_viewId; }
    // The last visible rectangle sent or to be sent, in scene units.
    const QRect& visibleRect() const { return m_visibleRect; }
    bool isProcessing() const { return m_processing; }
    bool isGridOverlayShown() const { return m_showGridOverlay; }
    int gridSize() const { return m_gridSize; }
    QColor gridColor() const { return m_gridColor; }
    int gridCompositionMode() const { return m_gridCompositionMode; }
    CProgressDrawer* progressDrawer() const { return m_progressDrawer; }
    // Whether any view's processing badge is held back after a zoom or a flip.
    static bool isProcessingIndicationSuppressed();

public Q_SLOTS:
    void onProcessingStarted();
    void onProcessingFinished();
    void showGridOverlay(bool show);
    void reloadGridOverlayParams();
    void onSceneRectChanged(const QRectF& rect) override;
    void onVisibleRectChanged(bool delayed) override;
    void onVisibleRectChanged();
    void onVisibleRectTimer();

Q_SIGNALS:
    void fitToViewZoomIsChanged(IViewInterface* view);
    void viewActivityChanged(IViewInterface* view);
    void zoomIn(IViewInterface* view, QPoint pos);
    void zoomOut(IViewInterface* view, QPoint pos);
    void zoomChanged(int zoom);
    void mouseMoveSignal(QMouseEvent* event, IViewInterface* view);
    void mousePressSignal(QMouseEvent* event, IViewInterface* view);
    void mouseReleaseSignal(QMouseEvent* event, IViewInterface* view);
    void mouseDoubleClickSignal(QMouseEvent* event, IViewInterface* view);
    void updateCenters(IViewInterface* view, QSizeF& size, QPointF& first, QPointF& second, bool flipped);
    void moveCentersToPointOfScene(IViewInterface* view, QPointF scenePoint);
    void enableProcessingVisibleRect(bool sceneIsInitial, QString viewId, bool enabled);
    void visibleRectChanged(bool sceneIsInitial, QString viewId, QRect visibleRect);
    void mouseEnteredOnView(bool showsInitialImage);
    void mouseLeavedFromView();
    void mouseOnScenePoint(QPointF scenePoint, bool showsInitialImage, bool flag);
    void mouseLeaveScene();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;

    // The scene as the base scene class; null without one.
    CBaseGraphicsScene* baseScene() const;
    bool sceneIsInitial() const;
    // Holds back every view's processing badge for a moment after a zoom or a flip.
    void suppressProcessingIndication();
    IProcessEngine* engine() const { return m_engine; }
    IMainWindowInterface* mainWindow() const { return m_mainWindow; }
    void setVisibleRect(const QRect& rect) { m_visibleRect = rect; }
    // Whether an item of the scene took the last press.
    bool pressAcceptedByScene() const { return m_pressAcceptedByScene; }

private Q_SLOTS:
    void onStopImageProcessingTimer();
    void onHideProcessingLabelTimer();
    void onChangeCursorTimer();

private:
    void drawGridOverlay(QPainter* painter);
    void drawCaption(QPainter* painter);

    IProcessEngine* m_engine = nullptr;
    bool m_processing = false;
    QTimer m_hideProcessingLabelTimer;
    QRect m_visibleRect;
    bool m_visibleRectUpdatesHeld = false;
    bool m_visibleRectChangePending = false;
    IMainWindowInterface* m_mainWindow = nullptr;
    bool m_showBeforeAfterCaption = false;
    bool m_showGridOverlay = false;
    int m_gridSize = 50;
    CProgressDrawer* m_progressDrawer = nullptr;
    bool m_showsInitialImage = true;
    int m_hiResState = 3;
    QString m_viewId;
    QRectF m_visibleSceneRect;
    QTimer m_visibleRectTimer;
    QTimer m_stopProcessingTimer;
    double m_scale = 1.0;
    bool m_waitingForResult = false;
    bool m_pressAcceptedByScene = false;
    mutable int m_fitToViewZoom = 24;
    int m_gridCompositionMode = QPainter::CompositionMode_SourceOver;
    QColor m_gridColor;
    QTimer m_cursorTimer;
    QCursor m_savedCursor;
    int m_haloMode = 0;
};
