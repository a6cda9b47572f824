#include "view/CHandTool.h"

#include "view/CPositionController.h"
#include "view/CViewCoordinatesConverter.h"
#include "view/CZoomController.h"
#include "view/IViewInterface.h"

#include <QAction>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>

#include <cmath>
#include <memory>

namespace {

std::shared_ptr<CHandTool>& holder()
{
    static std::shared_ptr<CHandTool> s_instance;
    return s_instance;
}

QCursor handCursor()
{
    return QCursor(QPixmap(QStringLiteral(":/icons/cursors/hand.png")));
}

QCursor dragCursor()
{
    return QCursor(QPixmap(QStringLiteral(":/icons/cursors/draging.png")));
}

QPoint centreOf(const IViewInterface* view)
{
    return QPoint(int(std::lround(float(view->width()) * 0.5f)), int(std::lround(float(view->height()) * 0.5f)));
}

const QPointF& ownPoint(const IViewInterface* view, const QPointF& initialPoint, const QPointF& resultPoint)
{
    return view->showsInitialImage() ? initialPoint : resultPoint;
}

} // namespace

CHandTool* CHandTool::instance()
{
    auto& instance = holder();
    if (!instance)
        instance = std::make_shared<CHandTool>();
    return instance.get();
}

bool CHandTool::hasInstance()
{
    return holder() != nullptr;
}

CHandTool::CHandTool(QWidget* parent)
    : QObject(parent)
    , m_updatePositionTimer(new QTimer(this))
{
    m_updatePositionTimer->setSingleShot(true);
    m_updatePositionTimer->setInterval(500);
    connect(m_updatePositionTimer, &QTimer::timeout, CPositionController::instance(),
            &CPositionController::onUpdateViewPosition);
}

void CHandTool::setProcessEngine(IProcessEngine* engine)
{
    m_processEngine = engine;
}

void CHandTool::setActions(QAction* handToolAction, QAction* fastPreviewAction)
{
    m_handToolAction = handToolAction;
    m_fastPreviewAction = fastPreviewAction;
    connect(handToolAction, &QAction::triggered, this, &CHandTool::onHandTool);
    connect(fastPreviewAction, &QAction::triggered, this, &CHandTool::onFastPreview);
}

void CHandTool::addView(IViewInterface* view)
{
    m_grabPoints.insert(view, QPointF(0, 0));
    CPositionController::instance()->addView(view);
    QObject* source = view->viewWidget();
    connect(source, SIGNAL(mouseMoveSignal(QMouseEvent*,IViewInterface*)), this,
            SLOT(onMouseMoveEvent(QMouseEvent*,IViewInterface*)), Qt::UniqueConnection);
    connect(source, SIGNAL(mousePressSignal(QMouseEvent*,IViewInterface*)), this,
            SLOT(onMouseButtonPressEvent(QMouseEvent*,IViewInterface*)), Qt::UniqueConnection);
    connect(source, SIGNAL(mouseReleaseSignal(QMouseEvent*,IViewInterface*)), this,
            SLOT(onMouseButtonReleaseEvent(QMouseEvent*,IViewInterface*)), Qt::UniqueConnection);
    connect(source, SIGNAL(mouseDoubleClickSignal(QMouseEvent*,IViewInterface*)), this,
            SLOT(onMouseDoubleClickEvent(QMouseEvent*,IViewInterface*)), Qt::UniqueConnection);
    connect(CZoomController::instance(), &CZoomController::zoomChanged, this, &CHandTool::onZoomChanged,
            Qt::UniqueConnection);
    // A view that goes is forgotten.
    connect(source, &QObject::destroyed, this, [this, view] { m_grabPoints.remove(view); });
}

void CHandTool::setDisabled(bool disabled)
{
    m_isDisabled = disabled;
}

void CHandTool::setPreviewViewsCursor()
{
    const bool hand = m_handToolAction && m_handToolAction->isChecked();
    for (auto it = m_grabPoints.cbegin(); it != m_grabPoints.cend(); ++it)
        it.key()->setViewCursor(hand ? handCursor() : QCursor(Qt::ArrowCursor), 0);
}

void CHandTool::onHandTool()
{
    m_isHandToolActive = true;
    if (m_fastPreviewAction)
        m_fastPreviewAction->setChecked(false);
    if (m_handToolAction)
        m_handToolAction->setChecked(true);
    setPreviewViewsCursor();
    emit handToolActivated();
    for (auto it = m_grabPoints.cbegin(); it != m_grabPoints.cend(); ++it)
        it.key()->setSceneSwitchingDisabled(true);
}

void CHandTool::onFastPreview()
{
    m_isActivatedBySpacebar = false;
    m_isHandToolActive = false;
    if (m_handToolAction)
        m_handToolAction->setChecked(false);
    if (m_fastPreviewAction)
        m_fastPreviewAction->setChecked(true);
    setPreviewViewsCursor();
    emit handToolDeactivated();
    for (auto it = m_grabPoints.cbegin(); it != m_grabPoints.cend(); ++it)
        it.key()->setSceneSwitchingDisabled(false);
}

bool CHandTool::onSpacebarEvent(QKeyEvent* event)
{
    if (!event->isAutoRepeat()) {
        if (event->type() == QEvent::KeyPress) {
            if (!m_isHandToolActive) {
                m_isActivatedBySpacebar = true;
                onHandTool();
            }
        } else if (event->type() == QEvent::KeyRelease) {
            if (!m_isActivatedBySpacebar)
                return false;
            onFastPreview();
        }
    }
    event->accept();
    return true;
}

void CHandTool::restartTimer()
{
    m_updatePositionTimer->stop();
    m_updatePositionTimer->start();
}

void CHandTool::setViewsActive(bool held)
{
    for (auto it = m_grabPoints.cbegin(); it != m_grabPoints.cend(); ++it)
        it.key()->setViewActive(held);
}

void CHandTool::setCursorOn(IViewInterface* view, bool dragging)
{
    view->setViewCursor(dragging ? dragCursor() : handCursor(), 0);
}

void CHandTool::onMouseButtonPressEvent(QMouseEvent* event, IViewInterface* view)
{
    if (m_isDisabled || !event->buttons().testFlag(Qt::LeftButton) || !m_isHandToolActive || !view)
        return;
    setViewsActive(true);
    m_viewsHeld = true;
    if (view->isToolItemAt(event->position().toPoint())) {
        m_isPressOnToolItem = true;
        return;
    }
    CZoomController* zoom = CZoomController::instance();
    setCursorOn(view, zoom->currentZoom() != zoom->fitZoom());
    m_isDragCursorSet = true;

    CPositionController* positions = CPositionController::instance();
    QSizeF offset;
    QPointF initialPoint;
    QPointF resultPoint;
    CViewCoordinatesConverter::getPoints(m_processEngine, view, event->position(), offset, initialPoint, resultPoint);
    const QPointF grab = ownPoint(view, initialPoint, resultPoint);
    m_grabPoints.insert(view, grab);
    QPointF position;
    CViewCoordinatesConverter::getXYCenter(view, view->sceneRect(), offset, grab, view->currentViewZoom(), position);
    positions->setViewPosition(view, position.x(), position.y());

    CViewCoordinatesConverter::getPoints(m_processEngine, view, QPointF(centreOf(view)), offset, initialPoint,
                                         resultPoint);
    for (auto it = m_grabPoints.begin(); it != m_grabPoints.end(); ++it) {
        IViewInterface* other = it.key();
        if (other == view)
            continue;
        it.value() = ownPoint(other, initialPoint, resultPoint);
        CViewCoordinatesConverter::getXYCenter(other, other->sceneRect(), QSizeF(0, 0), it.value(),
                                               other->currentViewZoom(), position);
        positions->setViewPosition(other, position.x(), position.y());
    }
    restartTimer();
}

void CHandTool::onMouseMoveEvent(QMouseEvent* event, IViewInterface* view)
{
    if (!m_isHandToolActive || m_isPressOnToolItem || !event->buttons().testFlag(Qt::LeftButton) || !view)
        return;
    const QPointF pos = event->position();
    const QSizeF d(pos.x() - view->width() / 2, pos.y() - view->height() / 2);
    if (!m_grabPoints.contains(view))
        m_grabPoints.insert(view, QPointF(0, 0));
    CPositionController* positions = CPositionController::instance();
    QPointF position;
    CViewCoordinatesConverter::getXYCenter(view, view->sceneRect(), d, m_grabPoints.value(view),
                                           view->currentViewZoom(), position);
    view->changePreviewPosition(position.x(), position.y());
    positions->setViewPosition(view, position.x(), position.y());

    QSizeF offset;
    QPointF initialPoint;
    QPointF resultPoint;
    CViewCoordinatesConverter::getPoints(m_processEngine, view, QPointF(centreOf(view)), offset, initialPoint,
                                         resultPoint);
    for (auto it = m_grabPoints.cbegin(); it != m_grabPoints.cend(); ++it) {
        IViewInterface* other = it.key();
        if (other == view)
            continue;
        CViewCoordinatesConverter::getXYCenter(other, other->sceneRect(), QSizeF(0, 0),
                                               ownPoint(other, initialPoint, resultPoint), other->currentViewZoom(),
                                               position);
        other->changePreviewPosition(position.x(), position.y());
        positions->setViewPosition(other, position.x(), position.y());
    }
    restartTimer();
}

void CHandTool::onMouseButtonReleaseEvent(QMouseEvent*, IViewInterface* view)
{
    // A press of this tool that held the views is ended by its release even
    // when the mode went off in between, so no view keeps its requests back.
    if (!m_isHandToolActive && !m_isPressOnToolItem && !m_viewsHeld)
        return;
    setViewsActive(false);
    m_viewsHeld = false;
    if (m_isDragCursorSet) {
        m_isDragCursorSet = false;
        if (view)
            setCursorOn(view, false);
    }
    m_isPressOnToolItem = false;
}

void CHandTool::onMouseDoubleClickEvent(QMouseEvent*, IViewInterface*)
{
    m_updatePositionTimer->stop();
}

void CHandTool::onMoveCentersToPointOfScene(IViewInterface* view, QPointF point)
{
    if (!view)
        return;
    QPointF initialPoint;
    QPointF resultPoint;
    if (view->showsInitialImage()) {
        initialPoint = point;
        CViewCoordinatesConverter::getOtherImagePoint(m_processEngine, view, point, resultPoint);
    } else {
        resultPoint = point;
        CViewCoordinatesConverter::getOtherImagePoint(m_processEngine, view, point, initialPoint);
    }
    CPositionController* positions = CPositionController::instance();
    for (auto it = m_grabPoints.cbegin(); it != m_grabPoints.cend(); ++it) {
        IViewInterface* v = it.key();
        QPointF position;
        CViewCoordinatesConverter::getXYCenter(v, v->sceneRect(), QSizeF(0, 0), ownPoint(v, initialPoint, resultPoint),
                                               v->currentViewZoom(), position);
        v->changePreviewPosition(position.x(), position.y());
        positions->setViewPosition(v, position.x(), position.y());
    }
    restartTimer();
}

void CHandTool::onZoomChanged()
{
    if (m_handToolAction && m_handToolAction->isChecked()) {
        for (auto it = m_grabPoints.cbegin(); it != m_grabPoints.cend(); ++it)
            it.key()->setViewCursor(handCursor(), 0);
    }
}
