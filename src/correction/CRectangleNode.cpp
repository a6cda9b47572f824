#include "correction/CRectangleNode.h"

#include "correction/ApplicationEngine.h"
#include "correction/CEdge.h"
#include "correction/ItemGeometry.h"
#include "correction/ItemState.h"
#include "shell/CBaseCorrectionGlobalData.h"
#include "shell/IProcessEngine.h"
#include "utils/Logger.h"
#include "view/CBaseGraphicsView.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QPainter>

#include <cmath>

namespace {

// Handles lie above the lines (1001) and the module groups (1000).
constexpr qreal kNodeZ = 1002;
// Half the length of the lines drawn through the node, in screen pixels.
constexpr qreal kCrossHalfLength = 10;
// Projection of a point of the corrected image into the original image.
constexpr int kAfterToInput = 4;

const QPixmap& emptyImage()
{
    static const QPixmap image;
    return image;
}

bool isNull(const QPointF& step)
{
    return step.x() == 0 && step.y() == 0;
}

bool sameRect(const QRectF& a, const QRectF& b)
{
    const auto same = [](qreal x, qreal y) {
        return x == y || std::abs(x - y) <= 1e-12 * std::max(std::abs(x), std::abs(y));
    };
    return same(a.x(), b.x()) && same(a.y(), b.y()) && same(a.width(), b.width()) && same(a.height(), b.height());
}

bool isArrow(int key)
{
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

} // namespace

CRectangleNode::CRectangleNode(QGraphicsItem* parent, CBaseCorrectionGlobalData* globalData, const QString& name)
    : QGraphicsObject(parent)
    , m_name(name)
{
    ASSERT(globalData);
    m_normalImage = globalData ? &globalData->normalPixmap : &emptyImage();
    m_pressedImage = globalData ? &globalData->pressedPixmap : &emptyImage();
    m_hoverImage = globalData ? &globalData->hoverPixmap : &emptyImage();
    m_focusedImage = globalData ? &globalData->focusedPixmap : &emptyImage();
    m_currentImage = m_normalImage;

    m_crossPen.setColor(Qt::white);
    m_crossPen.setWidth(0);
    m_crossPen.setDashPattern({1, 3, 4, 4, 4, 3, 1, 1});
    m_crossPen.setCapStyle(Qt::SquareCap);
    m_crossPen.setJoinStyle(Qt::BevelJoin);

    setObjectName(name);
    setFlags(ItemIsMovable | ItemIsSelectable | ItemIsFocusable | ItemIgnoresTransformations
             | ItemSendsGeometryChanges);
    setAcceptHoverEvents(true);
    setZValue(kNodeZ);
    setCursor(Qt::ArrowCursor);
    show();
}

CRectangleNode::~CRectangleNode() = default;

QByteArray CRectangleNode::serialize()
{
    return ItemState::write(pos(), m_sceneRect, m_visible);
}

void CRectangleNode::deserialize(const QByteArray& state, bool)
{
    const ItemState::Restored restored = ItemState::read(state, m_sceneRect);
    if (restored.position)
        setPos(*restored.position);
    if (restored.visible)
        setVisible(*restored.visible);
}

bool CRectangleNode::isEqual(const QByteArray& a, const QByteArray& b)
{
    return a == b;
}

QString CRectangleNode::id() const
{
    return QStringLiteral("rectangleNode");
}

bool CRectangleNode::isTransparentForView() const
{
    return false;
}

bool CRectangleNode::reportsPressPosition() const
{
    return true;
}

QString CRectangleNode::itemName() const
{
    return m_name;
}

QRectF CRectangleNode::boundingRect() const
{
    const QSizeF size = m_currentImage->deviceIndependentSize();
    return QRectF(-size.width() / 2, -size.height() / 2, size.width(), size.height());
}

QPointF CRectangleNode::crossVector(const CEdge* edge, const CEdge* other) const
{
    if (!other)
        return edge ? kCrossHalfLength * edge->direction() : QPointF();
    if (edge && edge->isVisible())
        return kCrossHalfLength * edge->direction();
    const QPointF d = other->direction();
    return QPointF(kCrossHalfLength * d.y(), -kCrossHalfLength * d.x());
}

void CRectangleNode::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    const QRectF bounds = boundingRect();
    painter->drawPixmap(bounds.topLeft(), *m_currentImage);
    painter->setPen(m_crossPen);
    const QPointF first = crossVector(m_firstEdge, m_secondEdge);
    const QPointF second = crossVector(m_secondEdge, m_firstEdge);
    painter->drawLine(first, -first);
    painter->drawLine(second, -second);
}

void CRectangleNode::setVisible(bool visible)
{
    m_visible = visible;
    QGraphicsObject::setVisible(visible);
}

bool CRectangleNode::isVisible() const
{
    return m_visible;
}

void CRectangleNode::addEdge(CEdge* edge)
{
    if (!m_firstEdge)
        m_firstEdge = edge;
    else
        m_secondEdge = edge;
}

void CRectangleNode::setOnResultImage(bool onResultImage)
{
    m_onResultImage = onResultImage;
}

void CRectangleNode::setHighlighted(bool highlighted)
{
    if (!hasFocus())
        showImage(highlighted ? m_hoverImage : m_normalImage);
}

void CRectangleNode::showImage(const QPixmap* image)
{
    if (image != m_currentImage) {
        prepareGeometryChange();
        m_currentImage = image;
    }
    update();
}

QPointF CRectangleNode::toParent(const QPointF& scenePoint) const
{
    return parentItem() ? parentItem()->mapFromScene(scenePoint) : scenePoint;
}

void CRectangleNode::setPosByScript(const QPointF& point)
{
    QPointF target = point;
    if (m_onResultImage) {
        IProcessEngine* engine = applicationProcessEngine();
        if (!engine)
            return;
        target = engine->getImageBorderIntersection(point);
    }
    setPos(target);
    emit posChangedAfterScript(this);
}

void CRectangleNode::setFocus()
{
    QGraphicsItem::setFocus(Qt::OtherFocusReason);
    if (!scene() || scene()->views().isEmpty())
        return;
    if (auto* view = qobject_cast<CBaseGraphicsView*>(scene()->views().first()))
        view->showMouseOnScenePoint(scenePos());
}

void CRectangleNode::onSceneRectChanged(QRectF rect)
{
    if (sameRect(rect, m_sceneRect))
        return;
    m_sceneRect = rect;
    prepareGeometryChange();
    const QPointF clamped = ItemGeometry::clampIntoRect(rect, pos());
    if (clamped != pos()) {
        setPos(clamped);
        emit posChangedAfterAdjusting(*this);
    }
    adjustEdges(rect);
}

void CRectangleNode::setPosOnlyIfNewPosConstrainToImage(QPointF newPos)
{
    IProcessEngine* engine = applicationProcessEngine();
    if (!engine)
        return;
    const QSize size = engine->getOriginalImageSize();
    if (m_onResultImage && size.width() > 0 && size.height() > 0) {
        const QPointF mapped = engine->projectPoint(newPos, kAfterToInput);
        if (!ItemGeometry::isPointInsideOrNearRect(QRectF(0, 0, size.width(), size.height()), mapped))
            return;
    }
    setPos(newPos);
}

void CRectangleNode::adjustEdges(const QRectF& rect)
{
    if (m_firstEdge)
        m_firstEdge->adjustToSceneRect(rect);
    if (m_secondEdge)
        m_secondEdge->adjustToSceneRect(rect);
}

QVariant CRectangleNode::itemChange(GraphicsItemChange change, const QVariant& value)
{
    QGraphicsScene* itemScene = scene();
    if (change == ItemSceneHasChanged && itemScene) {
        disconnect(itemScene, SIGNAL(sceneRectChanged(QRectF)), this, SLOT(onSceneRectChanged(QRectF)));
        connect(itemScene, SIGNAL(sceneRectChanged(QRectF)), this, SLOT(onSceneRectChanged(QRectF)));
    }
    if (!itemScene)
        return QGraphicsObject::itemChange(change, value);
    if (change == ItemPositionChange) {
        const QRectF rect = itemScene->sceneRect();
        const QPointF proposed = value.toPointF();
        const QPointF clamped = ItemGeometry::clampIntoRect(rect, proposed);
        if (clamped != proposed)
            return clamped;
    } else if (change == ItemPositionHasChanged) {
        if (!isNull(m_keyStep))
            emit posChangedAfterKeyPress(this, nullptr);
        adjustEdges(itemScene->sceneRect());
    }
    return QGraphicsObject::itemChange(change, value);
}

void CRectangleNode::hoverEnterEvent(QGraphicsSceneHoverEvent* event)
{
    QGraphicsObject::hoverEnterEvent(event);
    if (!hasFocus())
        showImage(m_hoverImage);
}

void CRectangleNode::hoverLeaveEvent(QGraphicsSceneHoverEvent* event)
{
    QGraphicsObject::hoverLeaveEvent(event);
    if (!hasFocus())
        showImage(m_normalImage);
}

void CRectangleNode::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    QGraphicsObject::mousePressEvent(event);
    QEvent pressed(static_cast<QEvent::Type>(kNodePressedEventType));
    QCoreApplication::sendEvent(this, &pressed);
    if (event->buttons() != Qt::LeftButton)
        return;
    m_pressScenePos = event->scenePos();
    m_grabOffset = m_pressScenePos - scenePos() + boundingRect().center();
    m_pressed = true;
    m_heldDrag.begin();
    update();
}

void CRectangleNode::mouseMoveEvent(QGraphicsSceneMouseEvent* event)
{
    if (!m_pressed) {
        QGraphicsObject::mouseMoveEvent(event);
        return;
    }
    const QPointF target = event->scenePos() - m_grabOffset;
    if (!m_onResultImage) {
        setPos(toParent(target));
    } else if (IProcessEngine* engine = applicationProcessEngine()) {
        const QPointF border = engine->getImageBorderIntersection(target);
        if (scene() && ItemGeometry::isPointInsideOrNearRect(scene()->sceneRect(), border))
            setPos(toParent(border));
    }
    event->setAccepted(false);
}

void CRectangleNode::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    QGraphicsObject::mouseReleaseEvent(event);
    if (!m_pressed || event->buttons() != Qt::NoButton)
        return;
    m_heldDrag.end();
    const QPointF moved = event->scenePos() - m_pressScenePos;
    if (std::abs(moved.x()) > 1e-12 || std::abs(moved.y()) > 1e-12)
        emit onMouseReleaseEventSignal(this, nullptr, event);
    m_pressed = false;
    update();
}

void CRectangleNode::keyPressEvent(QKeyEvent* event)
{
    QGraphicsObject::keyPressEvent(event);
    const bool control = event->modifiers() & Qt::ControlModifier;
    if (control)
        m_keyStep = QPointF();
    switch (event->key()) {
    case Qt::Key_Left:
        m_keyStep.setX(-1);
        break;
    case Qt::Key_Right:
        m_keyStep.setX(1);
        break;
    case Qt::Key_Up:
        m_keyStep.setY(-1);
        break;
    case Qt::Key_Down:
        m_keyStep.setY(1);
        break;
    default:
        return;
    }
    event->accept();
    m_controlSeen = m_controlSeen || control;
    m_heldKey.begin();
    setPosOnlyIfNewPosConstrainToImage(pos() + m_keyStep);
}

void CRectangleNode::keyReleaseEvent(QKeyEvent* event)
{
    QGraphicsObject::keyReleaseEvent(event);
    const bool moved = !isNull(m_keyStep);
    if (isArrow(event->key()) && !event->isAutoRepeat())
        m_heldKey.end();
    if (!isArrow(event->key()) && moved && m_controlSeen && !event->isAutoRepeat()) {
        m_heldKey.end();
        // Control went up before the arrow: the module still sees a Control move.
        int key = Qt::Key_Right;
        if (m_keyStep.y() < 0)
            key = Qt::Key_Up;
        else if (m_keyStep.y() > 0)
            key = Qt::Key_Down;
        else if (m_keyStep.x() < 0)
            key = Qt::Key_Left;
        QKeyEvent release(QEvent::KeyRelease, key, event->modifiers() | Qt::ControlModifier, QString(), false, 1);
        emit onKeyReleaseEventSignal(this, &release);
    } else {
        m_controlSeen = false;
        if (moved && !event->isAutoRepeat()) {
            m_heldKey.end();
            emit onKeyReleaseEventSignal(this, event);
        }
    }
    m_keyStep = QPointF();
}

void CRectangleNode::focusInEvent(QFocusEvent* event)
{
    QGraphicsObject::focusInEvent(event);
    showImage(m_focusedImage);
}

void CRectangleNode::focusOutEvent(QFocusEvent* event)
{
    QGraphicsObject::focusOutEvent(event);
    // The arrow key's release goes elsewhere now.
    m_heldKey.end();
    if (!hasFocus())
        showImage(m_normalImage);
}

bool CRectangleNode::sceneEvent(QEvent* event)
{
    // The scene took the mouse away without a release.
    if (event->type() == QEvent::UngrabMouse)
        m_heldDrag.end();
    return QGraphicsObject::sceneEvent(event);
}
