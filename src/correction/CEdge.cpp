#include "correction/CEdge.h"

#include "correction/ApplicationEngine.h"
#include "correction/CRectangleNode.h"
#include "correction/ItemGeometry.h"
#include "correction/ItemState.h"
#include "shell/IProcessEngine.h"
#include "utils/Logger.h"

#include <QCursor>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QPainter>
#include <QPixmap>

#include <cmath>

namespace {

// Below the handles (1002), above the module groups (1000).
constexpr qreal kEdgeZ = 1001;
// Half the width of the band in which the line can be grabbed, in screen pixels.
constexpr qreal kHitHalfWidth = 10;
constexpr int kAfterToInput = 4;
constexpr int kInputToAfter = 5;

const QColor kEdgeColor(193, 248, 0);

qreal squaredDistance(const QPointF& a, const QPointF& b)
{
    const QPointF d = a - b;
    return QPointF::dotProduct(d, d);
}

} // namespace

CEdge::CEdge(CRectangleNode* nodeA, CRectangleNode* nodeB, const QString& name)
    : m_nodeA(nodeA)
    , m_nodeB(nodeB)
    , m_name(name)
{
    m_solidPen = QPen(kEdgeColor, 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    m_dashedPen = QPen(kEdgeColor, 0, Qt::CustomDashLine, Qt::SquareCap, Qt::BevelJoin);
    m_dashedPen.setDashPattern({7, 7});
    setHighlighted(false);
    setAcceptHoverEvents(true);
    if (m_nodeA)
        m_nodeA->addEdge(this);
    if (m_nodeB)
        m_nodeB->addEdge(this);
    const QPixmap cursor(QStringLiteral(":/icons/cursors/moveAll.png"));
    setCursor(QCursor(cursor, cursor.width() / 2, cursor.height() / 2));
    setZValue(kEdgeZ);
    hide();
}

CEdge::~CEdge() = default;

QByteArray CEdge::serialize()
{
    return ItemState::write(pos(), scene() ? scene()->sceneRect() : QRectF(), m_visible);
}

void CEdge::deserialize(const QByteArray& state, bool)
{
    const ItemState::Restored restored = ItemState::read(state, scene() ? scene()->sceneRect() : QRectF());
    ASSERT(restored.position);
    ASSERT(restored.visible);
    setPos(restored.position.value_or(QPointF()));
    setVisible(restored.visible.value_or(false));
}

bool CEdge::isEqual(const QByteArray& a, const QByteArray& b)
{
    return a == b;
}

QString CEdge::id() const
{
    return QStringLiteral("edgeNode");
}

bool CEdge::isTransparentForView() const
{
    return false;
}

bool CEdge::reportsPressPosition() const
{
    return false;
}

QString CEdge::itemName() const
{
    return m_name;
}

void CEdge::setVisible(bool visible)
{
    m_visible = visible;
    QGraphicsObject::setVisible(visible);
}

bool CEdge::isVisible() const
{
    return m_visible;
}

void CEdge::setOnResultImage(bool onResultImage)
{
    m_onResultImage = onResultImage;
}

void CEdge::setColor(const QColor& color)
{
    m_solidPen.setColor(color);
    m_dashedPen.setColor(color);
    update();
}

void CEdge::setHighlighted(bool highlighted)
{
    m_solidPen.setWidthF(highlighted ? 2.0 : 0);
    m_dashedPen.setWidthF(highlighted ? 2.0 : 0);
    m_dashedPen.setDashPattern(highlighted ? QVector<qreal>{3.5, 3.5} : QVector<qreal>{7, 7});
    if (m_nodeA)
        m_nodeA->setHighlighted(highlighted);
    if (m_nodeB)
        m_nodeB->setHighlighted(highlighted);
    update();
}

void CEdge::adjustToSceneRect(const QRectF& r)
{
    if (!m_nodeA || !m_nodeB)
        return;
    prepareGeometryChange();
    m_borderPointCount = 0;
    bool hasA = false;
    bool hasB = false;
    const QPointF a = m_nodeA->pos();
    const QPointF b = m_nodeB->pos();
    // A border point goes beside the node it lies nearer to, unless that slot is taken.
    const auto store = [&](const QPointF& x, bool onlyIfEmpty) {
        const bool nearB = squaredDistance(b, x) <= squaredDistance(a, x);
        bool& taken = nearB ? hasB : hasA;
        if (onlyIfEmpty && taken)
            return;
        (nearB ? m_borderPointB : m_borderPointA) = x;
        if (!taken)
            ++m_borderPointCount;
        taken = true;
    };
    const qreal right = r.left() + r.width();
    const qreal bottom = r.top() + r.height();
    if (b.y() != a.y()) {
        const auto crossX = [&](qreal y) { return a.x() + (y - a.y()) * (b.x() - a.x()) / (b.y() - a.y()); };
        const qreal topX = crossX(r.top());
        if (r.left() <= topX && topX <= right)
            store(QPointF(topX, r.top()), false);
        const qreal bottomX = crossX(bottom);
        if (r.left() <= bottomX && bottomX <= right)
            store(QPointF(bottomX, bottom), true);
    }
    if (m_borderPointCount < 2 && b.x() != a.x()) {
        const auto crossY = [&](qreal x) { return a.y() + (x - a.x()) * (b.y() - a.y()) / (b.x() - a.x()); };
        const qreal leftY = crossY(r.left());
        if (r.top() <= leftY && leftY <= bottom)
            store(QPointF(r.left(), leftY), true);
        if (m_borderPointCount < 2) {
            const qreal rightY = crossY(right);
            if (r.top() <= rightY && rightY <= bottom)
                store(QPointF(right, rightY), true);
        }
    }
    const QPointF d = b - a;
    const qreal length = std::hypot(d.x(), d.y());
    m_direction = length > 1.0 ? d / length : QPointF();
    m_nodeA->update();
    m_nodeB->update();
    if (scene())
        scene()->setSceneRect(r);
}

QPainterPath CEdge::hitPath() const
{
    QPainterPath path;
    if (m_borderPointCount < 2)
        return path;
    const QPointF p0 = m_borderPointA;
    const QPointF p1 = m_borderPointB;
    const qreal length = std::hypot(p0.x() - p1.x(), p0.y() - p1.y());
    if (length <= 0)
        return path;
    qreal sx = 1;
    qreal sy = 1;
    if (scene() && !scene()->views().isEmpty()) {
        const QTransform transform = scene()->views().first()->viewportTransform();
        sx = transform.m11();
        sy = transform.m22();
    }
    const QPointF offset((p0.y() - p1.y()) * kHitHalfWidth / (length * sx),
                         (p0.x() - p1.x()) * -kHitHalfWidth / (length * sy));
    path.moveTo(p0 - offset);
    path.lineTo(p0 + offset);
    path.lineTo(p1 + offset);
    path.lineTo(p1 - offset);
    path.closeSubpath();
    return path;
}

QRectF CEdge::boundingRect() const
{
    return hitPath().controlPointRect();
}

QPainterPath CEdge::shape() const
{
    return hitPath();
}

void CEdge::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    if (m_borderPointCount < 2 || !m_nodeA || !m_nodeB)
        return;
    const QTransform transform = painter->worldTransform();
    painter->save();
    painter->resetTransform();
    const QPointF a = transform.map(m_nodeA->pos());
    const QPointF b = transform.map(m_nodeB->pos());
    painter->setPen(m_dashedPen);
    painter->drawLine(transform.map(m_borderPointA), a);
    painter->drawLine(b, transform.map(m_borderPointB));
    painter->setPen(m_solidPen);
    painter->drawLine(a, b);
    painter->restore();
}

void CEdge::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !m_nodeA || !m_nodeB)
        return;
    m_pressed = true;
    m_heldDrag.begin();
    m_pressPos = event->pos();
    m_nodeAStart = m_nodeA->pos();
    m_nodeBStart = m_nodeB->pos();
}

void CEdge::mouseMoveEvent(QGraphicsSceneMouseEvent* event)
{
    if (!m_pressed)
        return;
    const QPointF d = event->pos() - m_pressPos;
    const QPointF targetA = m_nodeAStart + d;
    const QPointF targetB = m_nodeBStart + d;
    if (m_onResultImage) {
        dragOnResultImage(targetA, targetB);
        return;
    }
    m_nodeA->setPos(targetA);
    m_nodeB->setPos(targetB);
}

void CEdge::dragOnResultImage(const QPointF& targetA, const QPointF& targetB)
{
    IProcessEngine* engine = applicationProcessEngine();
    if (!engine)
        return;
    const QSize size = engine->getOriginalImageSize();
    ASSERT(size.width() > 0 && size.height() > 0);
    const QRectF image(0, 0, size.width(), size.height());
    const auto inside = [&](const QPointF& scenePoint) {
        return ItemGeometry::isPointInsideOrNearRect(image, engine->projectPoint(scenePoint, kAfterToInput));
    };
    const bool inA = inside(targetA);
    const bool inB = inside(targetB);
    if (inA && inB) {
        m_nodeA->setPos(targetA);
        m_nodeB->setPos(targetB);
        return;
    }
    using Move = std::pair<QPointF, QPointF>;
    // The end that left the image slides along its border; the other keeps
    // the line's vector.
    const auto fromA = [&]() -> std::optional<Move> {
        const auto border = ItemGeometry::nearestRectBorderPoint(image, engine->projectPoint(targetA, kAfterToInput));
        if (!border)
            return std::nullopt;
        const QPointF s = engine->projectPoint(*border, kInputToAfter);
        return Move(s, s + (targetB - targetA));
    };
    const auto fromB = [&]() -> std::optional<Move> {
        const auto border = ItemGeometry::nearestRectBorderPoint(image, engine->projectPoint(targetB, kAfterToInput));
        if (!border)
            return std::nullopt;
        const QPointF s = engine->projectPoint(*border, kInputToAfter);
        return Move(s + (targetA - targetB), s);
    };
    std::optional<Move> move;
    if (!inA && inB) {
        move = fromA();
    } else if (inA && !inB) {
        move = fromB();
    } else {
        const std::optional<Move> candidateA = fromA();
        const std::optional<Move> candidateB = fromB();
        if (candidateA && inside(candidateA->second))
            move = candidateA;
        else if (candidateB && inside(candidateB->first))
            move = candidateB;
    }
    if (!move)
        return;
    m_nodeA->setPos(move->first);
    m_nodeB->setPos(move->second);
}

void CEdge::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    if (!m_pressed)
        return;
    m_pressed = false;
    m_heldDrag.end();
    const QPointF moved = event->pos() - m_pressPos;
    if (std::abs(moved.x()) > 1e-12 || std::abs(moved.y()) > 1e-12)
        emit onMouseReleaseEventSignal(nullptr, this, event);
}

bool CEdge::sceneEvent(QEvent* event)
{
    // The scene took the mouse away without a release.
    if (event->type() == QEvent::UngrabMouse)
        m_heldDrag.end();
    return QGraphicsObject::sceneEvent(event);
}

void CEdge::hoverEnterEvent(QGraphicsSceneHoverEvent* event)
{
    QGraphicsObject::hoverEnterEvent(event);
    setHighlighted(true);
}

void CEdge::hoverLeaveEvent(QGraphicsSceneHoverEvent* event)
{
    QGraphicsObject::hoverLeaveEvent(event);
    setHighlighted(false);
}
