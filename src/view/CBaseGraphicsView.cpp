#include "view/CBaseGraphicsView.h"

#include "shell/IMainWindowInterface.h"
#include "shell/IProcessEngine.h"
#include "utils/CSettings.h"
#include "utils/Logger.h"
#include "view/CBaseGraphicsScene.h"
#include "view/CProgressDrawer.h"
#include "view/ISceneItemInterface.h"

#include <QFont>
#include <QGraphicsItem>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QUuid>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

// Held after a zoom or a flip so the re-render it causes does not flash the badge.
bool s_processingIndicationSuppressed = false;

constexpr double kMinScale = 0.001;
constexpr double kMaxScale = 2.0;
constexpr double kHiResMinScale = 0.05;

// The fraction of a scroll bar's range its value stands at; 0.5 without range.
double scrollFraction(const QScrollBar* bar)
{
    const int range = bar->maximum() - bar->minimum();
    if (range == 0)
        return 0.5;
    return double(bar->value() - bar->minimum()) / range;
}

// The scroll bar's value at a fraction of its range.
int scrollValueAt(const QScrollBar* bar, double fraction)
{
    return bar->minimum() + int((bar->maximum() - bar->minimum()) * fraction);
}

// The whole scene pixels [first, first + length) that cover a visible span of
// `extent` pixels along an axis of `sceneLength`, at scroll fraction `fraction`.
void visibleSpan(const QScrollBar* bar, int sceneLength, double extent, int* first, int* length)
{
    double start = 0.0;
    const int range = bar->maximum() - bar->minimum();
    if (range != 0 && sceneLength - extent > 0)
        start = (sceneLength - extent) * (double(bar->value() - bar->minimum()) / range);
    *first = int(std::floor(start));
    *length = int(std::ceil(start + extent - 1e-9)) - *first;
}

} // namespace

CBaseGraphicsView::CBaseGraphicsView(QWidget* parent)
    : IViewInterface(parent)
    , m_viewId(QUuid::createUuid().toString())
{
    LOG_TRACE();
    setFrameShape(QFrame::NoFrame);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, qOverload<>(&CBaseGraphicsView::onVisibleRectChanged));
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, qOverload<>(&CBaseGraphicsView::onVisibleRectChanged));

    m_visibleRectTimer.setSingleShot(true);
    m_visibleRectTimer.setInterval(200);
    connect(&m_visibleRectTimer, &QTimer::timeout, this, &CBaseGraphicsView::onVisibleRectTimer);
    m_stopProcessingTimer.setSingleShot(true);
    m_stopProcessingTimer.setInterval(500);
    connect(&m_stopProcessingTimer, &QTimer::timeout, this, &CBaseGraphicsView::onStopImageProcessingTimer);
    m_hideProcessingLabelTimer.setSingleShot(true);
    m_hideProcessingLabelTimer.setInterval(500);
    connect(&m_hideProcessingLabelTimer, &QTimer::timeout, this, &CBaseGraphicsView::onHideProcessingLabelTimer);

    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setRenderHint(QPainter::Antialiasing, true);
    m_progressDrawer = new CProgressDrawer(this, this);
    reloadGridOverlayParams();
    m_cursorTimer.setSingleShot(true);
    connect(&m_cursorTimer, &QTimer::timeout, this, &CBaseGraphicsView::onChangeCursorTimer);
}

CBaseGraphicsView::~CBaseGraphicsView()
{
    // A view that goes while it holds the badge back lets it go.
    if (m_hideProcessingLabelTimer.isActive())
        s_processingIndicationSuppressed = false;
}

// ---------------------------------------------------------------- set-up

void CBaseGraphicsView::initialize(bool, IMainWindowInterface* mainWindow, IProcessEngine* engine)
{
    LOG_TRACE();
    m_mainWindow = mainWindow;
    m_engine = engine;
    if (!engine)
        return;
    QObject* target = engine->getQObject();
    connect(this, SIGNAL(visibleRectChanged(bool,QString,QRect)), target, SLOT(processHiResImage(bool,QString,QRect)));
    connect(this, SIGNAL(enableProcessingVisibleRect(bool,QString,bool)), target,
            SLOT(enableProcessingHiResRect(bool,QString,bool)));
}

void CBaseGraphicsView::setAndConnectScene(QGraphicsScene* newScene)
{
    LOG_TRACE();
    if (QGraphicsScene* old = scene())
        disconnect(old, &QGraphicsScene::sceneRectChanged, this, &CBaseGraphicsView::onSceneRectChanged);
    setScene(newScene);
    if (newScene)
        connect(newScene, &QGraphicsScene::sceneRectChanged, this, &CBaseGraphicsView::onSceneRectChanged);
}

CBaseGraphicsScene* CBaseGraphicsView::baseScene() const
{
    return qobject_cast<CBaseGraphicsScene*>(scene());
}

bool CBaseGraphicsView::sceneIsInitial() const
{
    const CBaseGraphicsScene* s = baseScene();
    return s ? s->isInitial() : m_showsInitialImage;
}

void CBaseGraphicsView::doResetBeforeOpen()
{
    LOG_TRACE();
    m_visibleRectTimer.stop();
    m_hiResState = 1;
    m_visibleRectUpdatesHeld = false;
    m_visibleRectChangePending = false;
    m_visibleRect = QRect();
    m_waitingForResult = true;
}

void CBaseGraphicsView::setHaloMode(int mode)
{
    m_haloMode = mode;
}

void CBaseGraphicsView::setShowsInitialImage(bool shows)
{
    m_showsInitialImage = shows;
}

void CBaseGraphicsView::setShowBeforeAfterCaption(bool show)
{
    m_showBeforeAfterCaption = show;
}

// ---------------------------------------------------------------- zoom

int CBaseGraphicsView::fitToViewZoom() const
{
    const int w = width();
    const int h = height();
    const QRectF rect = sceneRect();
    const int sw = int(rect.width());
    const int sh = int(rect.height());
    const auto* s = qobject_cast<const CBaseGraphicsScene*>(scene());
    if (w == 0 || h == 0 || sw == 0 || sh == 0 || !s || s->isEmpty())
        return m_fitToViewZoom;
    const double r = std::min(double(w) / sw, double(h) / sh);
    // Never below 1 %: a picture a hundred times larger than the view still
    // gets a zoom the views can take.
    m_fitToViewZoom = r < 1.0 ? std::max(1, int(r * 100)) : 100;
    return m_fitToViewZoom;
}

int CBaseGraphicsView::currentViewZoom() const
{
    return int(std::lround(m_scale * 100));
}

void CBaseGraphicsView::setCurrentViewZoom(int percent)
{
    LOG_TRACE();
    const double s = percent / 100.0;
    if (s > kMaxScale || s < kMinScale)
        return;
    scale(1.0 / m_scale, 1.0 / m_scale);
    scale(s, s);
    m_scale = s;
    enableDisableHiResRegionProcessing();
    onVisibleRectChanged(false);
    suppressProcessingIndication();
}

void CBaseGraphicsView::onZoomIn(const QPoint& pos)
{
    emit zoomIn(this, pos);
}

void CBaseGraphicsView::onZoomOut(const QPoint& pos)
{
    emit zoomOut(this, pos);
}

// ---------------------------------------------------------------- position

bool CBaseGraphicsView::isViewVisible() const
{
    return testAttribute(Qt::WA_WState_Visible);
}

bool CBaseGraphicsView::showsInitialImage() const
{
    return m_showsInitialImage;
}

void CBaseGraphicsView::previewPosition(double* x, double* y)
{
    if (x)
        *x = scrollFraction(horizontalScrollBar());
    if (y)
        *y = scrollFraction(verticalScrollBar());
}

void CBaseGraphicsView::changePreviewPosition(double x, double y)
{
    ASSERT(x >= 0.0 && x <= 1.0);
    ASSERT(y >= 0.0 && y <= 1.0);
    verticalScrollBar()->setValue(scrollValueAt(verticalScrollBar(), y));
    horizontalScrollBar()->setValue(scrollValueAt(horizontalScrollBar(), x));
}

const QRectF& CBaseGraphicsView::visibleSceneRect() const
{
    return m_visibleSceneRect;
}

QGraphicsView* CBaseGraphicsView::viewWidget()
{
    return this;
}

IViewInterface* CBaseGraphicsView::otherVisibleView()
{
    if (!m_mainWindow)
        return nullptr;
    const QList<IViewInterface*> views = m_mainWindow->getViews();
    for (IViewInterface* view : views) {
        if (view && view != this && view->isViewVisible())
            return view;
    }
    return nullptr;
}

void CBaseGraphicsView::setSceneSwitchingDisabled(bool)
{
}

// ---------------------------------------------------------------- visible rectangle

void CBaseGraphicsView::onSceneRectChanged(const QRectF&)
{
    LOG_TRACE();
    m_visibleRect = QRect();
    onVisibleRectChanged(false);
    emit fitToViewZoomIsChanged(this);
}

void CBaseGraphicsView::onVisibleRectChanged()
{
    onVisibleRectChanged(false);
}

void CBaseGraphicsView::onVisibleRectChanged(bool delayed)
{
    const int vw = viewport()->width();
    const int vh = viewport()->height();
    const QRectF rect = sceneRect();
    // The whole scene pixels under the viewport, rounded outwards so that a
    // sharp tile leaves no blurred strip at the right or bottom edge.
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    visibleSpan(horizontalScrollBar(), int(rect.width()), vw / m_scale, &x, &w);
    visibleSpan(verticalScrollBar(), int(rect.height()), vh / m_scale, &y, &h);
    const QRect visible(x, y, w, h);
    if (visible != m_visibleRect) {
        m_visibleRect = visible;
        if (m_visibleRectUpdatesHeld)
            m_visibleRectChangePending = true;
        else if (delayed)
            m_visibleRectTimer.start();
        else
            onVisibleRectTimer();
    }
    const QPointF topLeft = mapToScene(QPoint(0, 0));
    const QPointF bottomRight = mapToScene(QPoint(vw - 1, vh - 1));
    m_visibleSceneRect = QRectF(topLeft, QSizeF(bottomRight.x() - topLeft.x(), bottomRight.y() - topLeft.y()));
}

void CBaseGraphicsView::onVisibleRectTimer()
{
    requestVisibleRectProcessing(false);
}

void CBaseGraphicsView::requestVisibleRectProcessing(bool force)
{
    if (isNeededToProcessHiResRegion() || force)
        emit visibleRectChanged(sceneIsInitial(), m_viewId, m_visibleRect);
}

bool CBaseGraphicsView::isNeededToProcessHiResRegion() const
{
    return isViewVisible() && m_scale > kHiResMinScale;
}

void CBaseGraphicsView::enableDisableHiResRegionProcessing()
{
    const bool needed = isNeededToProcessHiResRegion();
    if (needed && m_hiResState != 1) {
        m_hiResState = 1;
        emit enableProcessingVisibleRect(sceneIsInitial(), m_viewId, true);
    } else if (!needed && m_hiResState != 2) {
        m_hiResState = 2;
        emit enableProcessingVisibleRect(sceneIsInitial(), m_viewId, false);
    }
}

void CBaseGraphicsView::setViewActive(bool held)
{
    m_visibleRectUpdatesHeld = held;
    if (!held && m_visibleRectChangePending) {
        m_visibleRectChangePending = false;
        onVisibleRectTimer();
    }
}

// ---------------------------------------------------------------- cursors and items

void CBaseGraphicsView::setViewCursor(const QCursor& cursor, int msecs)
{
    if (!m_cursorTimer.isActive()) {
        if (msecs > 0) {
            m_savedCursor = viewport()->cursor();
            m_cursorTimer.start(msecs);
        }
        viewport()->setCursor(cursor);
        return;
    }
    m_savedCursor = cursor;
    ASSERT(msecs == 0);
}

void CBaseGraphicsView::onChangeCursorTimer()
{
    viewport()->setCursor(m_savedCursor);
}

bool CBaseGraphicsView::isToolItemAt(const QPoint& pos)
{
    const auto* item = dynamic_cast<ISceneItemInterface*>(itemAt(pos));
    return item && !item->isTransparentForView();
}

void CBaseGraphicsView::showMouseOnScenePoint(const QPointF& scenePoint)
{
    emit moveCentersToPointOfScene(this, scenePoint);
    emit mouseOnScenePoint(scenePoint, m_showsInitialImage, true);
}

// ---------------------------------------------------------------- processing indication

bool CBaseGraphicsView::isProcessingIndicationSuppressed()
{
    return s_processingIndicationSuppressed;
}

void CBaseGraphicsView::suppressProcessingIndication()
{
    s_processingIndicationSuppressed = true;
    m_hideProcessingLabelTimer.start();
}

void CBaseGraphicsView::onHideProcessingLabelTimer()
{
    s_processingIndicationSuppressed = false;
}

void CBaseGraphicsView::onProcessingStarted()
{
    if (!m_processing) {
        if (!s_processingIndicationSuppressed)
            startProcessingIndication();
        m_processing = true;
        update();
    } else {
        m_stopProcessingTimer.stop();
    }
}

void CBaseGraphicsView::onProcessingFinished()
{
    ASSERT(m_processing);
    m_stopProcessingTimer.start();
    m_waitingForResult = false;
    emit fitToViewZoomIsChanged(this);
}

void CBaseGraphicsView::onStopImageProcessingTimer()
{
    ASSERT(m_processing);
    stopProcessingIndication();
    m_processing = false;
    viewport()->repaint();
}

void CBaseGraphicsView::startProcessingIndication()
{
    const bool cropToolInactive = m_mainWindow ? m_mainWindow->isCropToolInactive() : true;
    if (m_mainWindow)
        m_mainWindow->setExitEnabled(false);
    m_progressDrawer->moveToCenter();
    m_progressDrawer->onStartProgress(cropToolInactive, true);
}

void CBaseGraphicsView::stopProcessingIndication()
{
    m_progressDrawer->onStopProgress(true);
    if (m_mainWindow)
        m_mainWindow->setExitEnabled(true);
}

// ---------------------------------------------------------------- grid and caption

void CBaseGraphicsView::showGridOverlay(bool show)
{
    m_showGridOverlay = show;
    viewport()->update();
}

void CBaseGraphicsView::reloadGridOverlayParams()
{
    using NAVIK_tarl1::getSettingsInt;
    constexpr QRgb defaultColor = 0xB4CDCDCDu;
    m_gridSize = std::clamp(getSettingsInt(QStringLiteral("gridOverlay.size"), 50, INT_MIN, INT_MAX), 5, 200);
    // The painter indexes its blend tables with the mode: only its own modes pass.
    m_gridCompositionMode =
        getSettingsInt(QStringLiteral("gridOverlay.compositionMode"), QPainter::CompositionMode_SourceOver,
                       QPainter::CompositionMode_SourceOver, QPainter::RasterOp_NotDestination);
    bool colorOk = false;
    const QRgb color =
        NAVIK_tarl1::getSettingsValue(QStringLiteral("gridOverlay.color"), defaultColor).toUInt(&colorOk);
    m_gridColor = QColor::fromRgba(colorOk ? color : defaultColor);
    if (m_gridColor.alpha() == 0)
        m_gridColor.setAlpha(255);
    viewport()->update();
}

void CBaseGraphicsView::drawForeground(QPainter* painter, const QRectF& rect)
{
    QGraphicsView::drawForeground(painter, rect);
    if (m_showGridOverlay && !m_waitingForResult && scene())
        drawGridOverlay(painter);
    if (m_showBeforeAfterCaption)
        drawCaption(painter);
}

void CBaseGraphicsView::drawGridOverlay(QPainter* painter)
{
    painter->save();
    painter->resetTransform();
    const QRect viewportRect(0, 0, viewport()->width(), viewport()->height());
    const QRect area = viewportRect & mapFromScene(scene()->sceneRect()).boundingRect();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setCompositionMode(QPainter::CompositionMode(m_gridCompositionMode));
    painter->setPen(QPen(m_gridColor, 1.0));
    for (int i = 0; i < area.width(); i += m_gridSize)
        painter->drawLine(area.left() + i, area.top(), area.left() + i, area.bottom());
    for (int i = 0; i < area.height(); i += m_gridSize)
        painter->drawLine(area.left(), area.top() + i, area.right(), area.top() + i);
    painter->restore();
}

void CBaseGraphicsView::drawCaption(QPainter* painter)
{
    painter->save();
    painter->resetTransform();
    QFont font(QStringLiteral("Lucida Grande"));
    font.setPixelSize(15);
    painter->setFont(font);
    const QRectF box(viewport()->width() * 0.5 - 62.0, 25.0, 125.0, 25.0);
    painter->setPen(Qt::black);
    painter->setBrush(QColor(30, 30, 30));
    painter->drawRect(box);
    painter->setPen(QColor(229, 229, 229));
    painter->drawText(box, Qt::AlignCenter, m_showsInitialImage ? tr("Before") : tr("After"));
    painter->restore();
}

// ---------------------------------------------------------------- events

void CBaseGraphicsView::mousePressEvent(QMouseEvent* event)
{
    QGraphicsView::mousePressEvent(event);
    m_pressAcceptedByScene = event->isAccepted();
    emit mousePressSignal(event, this);
    const auto* item = dynamic_cast<ISceneItemInterface*>(itemAt(event->position().toPoint()));
    if (item && item->reportsPressPosition())
        emit mouseOnScenePoint(itemAt(event->position().toPoint())->pos(), m_showsInitialImage, true);
}

void CBaseGraphicsView::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseReleaseSignal(event, this);
    QGraphicsView::mouseReleaseEvent(event);
}

void CBaseGraphicsView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QGraphicsView::mouseDoubleClickEvent(event);
    emit mouseDoubleClickSignal(event, this);
}

void CBaseGraphicsView::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF scenePoint = mapToScene(event->position().toPoint());
    if (scene() && scene()->sceneRect().contains(scenePoint))
        emit mouseOnScenePoint(scenePoint, m_showsInitialImage, event->buttons().testFlag(Qt::LeftButton));
    else
        emit mouseLeaveScene();
    emit mouseMoveSignal(event, this);
    QGraphicsView::mouseMoveEvent(event);
}

void CBaseGraphicsView::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    const int d = delta.y() != 0 ? delta.y() : delta.x();
    if (d >= 1)
        onZoomIn(event->position().toPoint());
    else
        onZoomOut(event->position().toPoint());
    event->accept();
}

void CBaseGraphicsView::keyPressEvent(QKeyEvent* event)
{
    if (scene() && scene()->focusItem())
        QGraphicsView::keyPressEvent(event);
}

void CBaseGraphicsView::keyReleaseEvent(QKeyEvent* event)
{
    if (scene() && scene()->focusItem())
        QGraphicsView::keyReleaseEvent(event);
}

void CBaseGraphicsView::enterEvent(QEnterEvent* event)
{
    QGraphicsView::enterEvent(event);
    emit mouseEnteredOnView(m_showsInitialImage);
}

void CBaseGraphicsView::leaveEvent(QEvent* event)
{
    QGraphicsView::leaveEvent(event);
    emit mouseLeavedFromView();
}

void CBaseGraphicsView::paintEvent(QPaintEvent* event)
{
    QGraphicsView::paintEvent(event);
}

void CBaseGraphicsView::resizeEvent(QResizeEvent* event)
{
    QGraphicsView::resizeEvent(event);
    m_progressDrawer->moveToCenter();
    onVisibleRectChanged(false);
    emit fitToViewZoomIsChanged(this);
}

void CBaseGraphicsView::showEvent(QShowEvent* event)
{
    QGraphicsView::showEvent(event);
    enableDisableHiResRegionProcessing();
    emit viewActivityChanged(this);
}

void CBaseGraphicsView::hideEvent(QHideEvent* event)
{
    QGraphicsView::hideEvent(event);
    enableDisableHiResRegionProcessing();
}
