#include "crop/CropGraphicsItems.h"

#include "correction/CUndoController.h"
#include "utils/CSettings.h"
#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"
#include "utils/SizeText.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEvent>
#include <QFontMetrics>
#include <QGraphicsItemGroup>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRegion>
#include <QVariant>

#include <cmath>

namespace {

constexpr qreal kRectZ = 501.0;
constexpr qreal kPointZ = 502.0;
constexpr qreal kOverlayZ = 500.0;
constexpr qreal kLabelZ = 600.0;
// Sent to the rectangle at a press so the focus chain makes it current.
constexpr int kFocusChainPressEvent = QEvent::User + 1;

const QString kRectKey = QStringLiteral("rect");
const QString kPosKey = QStringLiteral("pos");
const QString kVisibleKey = QStringLiteral("visible");

QCursor imageCursor(const QString& path)
{
    return QCursor(QPixmap(path), -1, -1);
}

qreal fraction(qreal value, qreal size)
{
    return size != 0 && std::isfinite(value / size) ? value / size : 0;
}

bool isFinite(const QRectF& rect)
{
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width())
        && std::isfinite(rect.height());
}

// The state of the mask and the label: the crop rectangle and the item's
// position as fractions of the scene's size, and the visible flag. With no
// scene, or a scene without width or height, the fractions are 0.
QByteArray writeOverlayState(const QGraphicsItem& item, const QRectF& cropRect)
{
    ASSERT(item.scene());
    const QRectF sceneRect = item.scene() ? item.scene()->sceneRect() : QRectF();
    ASSERT(sceneRect.width() != 0 && sceneRect.height() != 0);
    const qreal w = sceneRect.width();
    const qreal h = sceneRect.height();
    QMap<QString, QVariant> state;
    state.insert(kRectKey, QRectF(fraction(cropRect.x(), w), fraction(cropRect.y(), h),
                                  fraction(cropRect.width(), w), fraction(cropRect.height(), h)));
    state.insert(kPosKey, QPointF(fraction(item.pos().x(), w), fraction(item.pos().y(), h)));
    state.insert(kVisibleKey, item.isVisible());
    return NAVIK_tarl1::variantMapToBytes(state);
}

// Restores what writeOverlayState wrote; values that come out non-finite are
// skipped. Returns the crop rectangle to keep.
QRectF readOverlayState(QGraphicsItem& item, const QByteArray& bytes, const QRectF& sceneRect, const QRectF& cropRect)
{
    const QMap<QString, QVariant> state = NAVIK_tarl1::variantMapFromBytes(bytes);
    const qreal w = sceneRect.width();
    const qreal h = sceneRect.height();
    const QRectF stored = state.value(kRectKey).toRectF();
    QRectF result(stored.x() * w, stored.y() * h, stored.width() * w, stored.height() * h);
    if (!isFinite(result))
        result = cropRect;
    const QPointF storedPos = state.value(kPosKey).toPointF();
    const QPointF pos(storedPos.x() * w, storedPos.y() * h);
    if (std::isfinite(pos.x()) && std::isfinite(pos.y()))
        item.setPos(pos);
    item.setVisible(state.value(kVisibleKey).toBool());
    return result;
}

} // namespace

// ---------------------------------------------------------------- CCropPoint

CCropPoint::CCropPoint(QGraphicsItemGroup* group, CCropRect& cropRect, const QString& name, QGraphicsItem* parent)
    : QObject(nullptr)
    , QGraphicsRectItem(parent)
    , m_cropRect(cropRect)
    , m_name(name)
{
    setObjectName(name);
    setPen(QPen(QColor(255, 255, 255, 255), 0));
    setAcceptHoverEvents(true);
    setZValue(kPointZ);
    setRect(-4, -4, 8, 8);
    if (group)
        group->addToGroup(this);
    setVisible(true);
    setFlags(ItemIsMovable | ItemIsFocusable | ItemIgnoresTransformations | ItemSendsGeometryChanges);
}

void CCropPoint::setMoveDirection(MoveDirection direction)
{
    m_moveDirection = direction;
    QCursor cursor(Qt::ArrowCursor);
    switch (direction) {
    case Vertical:
        cursor = imageCursor(QStringLiteral(":/icons/cursors/vertical.png"));
        break;
    case Horizontal:
        cursor = imageCursor(QStringLiteral(":/icons/cursors/horizontal.png"));
        break;
    case Both:
        break;
    default:
        ASSERT(false);
        break;
    }
    setCursor(cursor);
}

void CCropPoint::setCornerType(CornerType type)
{
    m_cornerType = type;
    QCursor cursor(Qt::ArrowCursor);
    switch (type) {
    case RightTop:
    case LeftBottom:
        cursor = imageCursor(QStringLiteral(":/icons/cursors/vertical-horizontal.png"));
        break;
    case LeftTop:
    case RightBottom:
        cursor = imageCursor(QStringLiteral(":/icons/cursors/vertical-horizontal-inverted.png"));
        break;
    default:
        ASSERT(false);
        break;
    }
    setCursor(cursor);
}

void CCropPoint::setHighlighted(bool highlighted)
{
    setBrush(QBrush(highlighted ? QColor(255, 255, 255, 150) : QColor(Qt::transparent), Qt::SolidPattern));
}

QPointF CCropPoint::proposedPos(const QPointF& requested) const
{
    switch (m_moveDirection) {
    case Vertical:
        ASSERT(m_cornerType == NoCorner);
        return QPointF(x(), requested.y());
    case Horizontal:
        ASSERT(m_cornerType == NoCorner);
        return QPointF(requested.x(), y());
    default:
        return cornerProposal(requested);
    }
}

QPointF CCropPoint::cornerProposal(const QPointF& requested) const
{
    ASSERT(m_moveDirection != Horizontal);
    ASSERT(m_moveDirection != Vertical);
    ASSERT(m_cornerType != NoCorner);
    if (m_cropRatioValue == 0)
        return requested;

    const QPointF p = pos();
    const qreal r = m_cropRatioValue;
    // The line through P along (1, k / r) meets the line through Q along
    // (1, -k), k being +1 for the falling diagonal and -1 for the rising one.
    qreal k = 0;
    switch (m_cornerType) {
    case LeftTop:
    case RightBottom:
        k = 1;
        break;
    case RightTop:
    case LeftBottom:
        k = -1;
        break;
    default:
        return p;
    }
    // P + t (1, k/r) = Q + s (1, -k)  =>  t = (Q.x - P.x) + s, and
    // P.y + t k / r = Q.y - s k.
    const qreal dx = requested.x() - p.x();
    const qreal dy = requested.y() - p.y();
    const qreal slope = k / r;
    // dx * slope + s * slope = dy - s k  =>  s = (dy - dx * slope) / (slope + k)
    const qreal s = (dy - dx * slope) / (slope + k);
    const qreal t = dx + s;
    return QPointF(p.x() + t, p.y() + t * slope);
}

void CCropPoint::setPosByScript(const QPointF& pos)
{
    LOG_TRACE();
    emit itemPosWillChanged(this, proposedPos(pos), pos);
}

void CCropPoint::moveByDelta(const QPointF& delta)
{
    setPosByScript(pos() + delta);
}

bool CCropPoint::isInOwnQuadrant(const QPointF& scenePos, QPointF* oppositeCorner) const
{
    const QPointF p = m_cropRect.pos();
    const qreal w = m_cropRect.rect().width();
    const qreal h = m_cropRect.rect().height();
    QPointF corner;
    bool inside = false;
    switch (m_cornerType) {
    case LeftTop:
        corner = QPointF(p.x() + w, p.y() + h);
        inside = scenePos.x() <= corner.x() && scenePos.y() <= corner.y();
        break;
    case RightTop:
        corner = QPointF(p.x(), p.y() + h);
        inside = scenePos.x() >= corner.x() && scenePos.y() <= corner.y();
        break;
    case LeftBottom:
        corner = QPointF(p.x() + w, p.y());
        inside = scenePos.x() <= corner.x() && scenePos.y() >= corner.y();
        break;
    case RightBottom:
        corner = p;
        inside = scenePos.x() >= corner.x() && scenePos.y() >= corner.y();
        break;
    default:
        return false;
    }
    if (oppositeCorner)
        *oppositeCorner = corner;
    return inside;
}

QRectF CCropPoint::boundingRect() const
{
    const QRectF r = rect();
    const qreal x = r.x();
    const qreal y = r.y();
    const qreal w = r.width();
    const qreal h = r.height();
    switch (m_cornerType) {
    case LeftTop:
    case RightTop:
    case LeftBottom:
    case RightBottom:
        return QRectF(x - w, y - h, 3 * w, 3 * h);
    default:
        break;
    }
    if (m_moveDirection == Horizontal) {
        const qreal length = m_cropRect.viewScale() * m_cropRect.rect().height();
        return QRectF(x - w, y + 2 * h - length / 2, 3 * w, length - 3 * h);
    }
    if (m_moveDirection == Vertical) {
        const qreal length = m_cropRect.viewScale() * m_cropRect.rect().width();
        return QRectF(x + 2 * w - length / 2, y - h, length - 3 * w, 3 * h);
    }
    return QRectF();
}

QPainterPath CCropPoint::shape() const
{
    QPainterPath path;
    path.addRect(boundingRect());
    return path;
}

void CCropPoint::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    painter->setRenderHint(QPainter::Antialiasing, false);
    QGraphicsRectItem::paint(painter, option, widget);
}

void CCropPoint::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    QGraphicsRectItem::mousePressEvent(event);
    if (event->buttons() == Qt::LeftButton) {
        m_isPressed = true;
        m_heldDrag.begin();
        update();
    }
}

void CCropPoint::mouseMoveEvent(QGraphicsSceneMouseEvent* event)
{
    // Only a drag with the left button alone moves a handle, and only through
    // the controller: Qt's own move would skip its checks.
    if (!m_isPressed) {
        event->ignore();
        return;
    }
    const QPointF requested = event->scenePos();
    emit itemPosWillChanged(this, proposedPos(requested), requested);
    event->setAccepted(false);
}

void CCropPoint::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    QGraphicsRectItem::mouseReleaseEvent(event);
    if (m_isPressed && event->buttons() == Qt::NoButton) {
        m_isPressed = false;
        m_heldDrag.end();
        update();
        CUndoController::instance()->createUndoCommand(tr("Crop rect corner point moved"));
    }
}

bool CCropPoint::sceneEvent(QEvent* event)
{
    // The scene took the mouse away without a release.
    if (event->type() == QEvent::UngrabMouse)
        m_heldDrag.end();
    return QGraphicsRectItem::sceneEvent(event);
}

void CCropPoint::hoverEnterEvent(QGraphicsSceneHoverEvent*)
{
    emit mouseEntered(this);
}

void CCropPoint::hoverLeaveEvent(QGraphicsSceneHoverEvent*)
{
    emit mouseLeaved(this);
}

void CCropPoint::focusInEvent(QFocusEvent*)
{
    m_cropRect.setFocus();
}

// ---------------------------------------------------------------- CCropRect

CCropRect::CCropRect(QGraphicsItemGroup* group, const QString& name, QGraphicsItem* parent)
    : QObject(nullptr)
    , QGraphicsRectItem(parent)
    , m_name(name)
{
    setObjectName(name);
    setZValue(kRectZ);
    setAcceptHoverEvents(true);
    setPen(QPen(QBrush(QColor(255, 255, 255, 255)), 1.0, Qt::DashLine, Qt::SquareCap, Qt::BevelJoin));
    setRect(0, 0, 15, 15);
    setBrush(QBrush(Qt::transparent, Qt::SolidPattern));
    if (group)
        group->addToGroup(this);
    setVisible(true);
    setFlags(ItemIsMovable | ItemIsFocusable | ItemSendsGeometryChanges);
    setCursor(imageCursor(QStringLiteral(":/icons/cursors/moveAll.png")));
}

void CCropRect::setHighlighted(bool highlighted)
{
    QPen pen(QBrush(QColor(255, 255, 255, 255)), 1.0, highlighted ? Qt::SolidLine : Qt::DashLine, Qt::SquareCap,
             Qt::BevelJoin);
    if (!highlighted)
        pen.setDashPattern({5, 5});
    setPen(pen);
}

void CCropRect::setFocus()
{
    QGraphicsRectItem::setFocus(Qt::OtherFocusReason);
}

void CCropRect::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    QGraphicsRectItem::mousePressEvent(event);
    QEvent focusChainEvent(static_cast<QEvent::Type>(kFocusChainPressEvent));
    QCoreApplication::sendEvent(this, &focusChainEvent);
    if (event->buttons() == Qt::LeftButton) {
        m_pressScenePos = event->scenePos();
        m_pressItemPos = pos();
        m_isPressed = true;
        m_heldDrag.begin();
        update();
    }
}

void CCropRect::mouseMoveEvent(QGraphicsSceneMouseEvent* event)
{
    // Only a drag with the left button alone moves the rectangle, and only
    // through the controller.
    if (!m_isPressed) {
        event->ignore();
        return;
    }
    QPointF proposed = m_pressItemPos + (event->scenePos() - m_pressScenePos);
    const QRectF sceneRect = scene() ? scene()->sceneRect() : QRectF();
    const qreal w = rect().width();
    const qreal h = rect().height();
    const QRectF allowed(sceneRect.x(), sceneRect.y(), sceneRect.width() - w, sceneRect.height() - h);
    const bool inside = allowed.width() > 0 && allowed.height() > 0 && proposed.x() >= allowed.left()
        && proposed.x() <= allowed.right() && proposed.y() >= allowed.top() && proposed.y() <= allowed.bottom();
    if (!inside) {
        proposed = QPointF(std::min(sceneRect.x() + sceneRect.width() - w, std::max(sceneRect.x(), proposed.x())),
                           std::min(sceneRect.y() + sceneRect.height() - h, std::max(sceneRect.y(), proposed.y())));
    }
    emit itemPosChanged(proposed);
}

void CCropRect::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    QGraphicsRectItem::mouseReleaseEvent(event);
    if (m_isPressed && event->buttons() == Qt::NoButton) {
        m_isPressed = false;
        m_heldDrag.end();
        update();
        CUndoController::instance()->createUndoCommand(tr("Crop rect moved"));
    }
}

void CCropRect::hoverEnterEvent(QGraphicsSceneHoverEvent*)
{
    emit mouseEntered(this);
}

void CCropRect::hoverLeaveEvent(QGraphicsSceneHoverEvent*)
{
    emit mouseLeaved(this);
}

void CCropRect::keyPressEvent(QKeyEvent* event)
{
    // Only the arrow keys move the rectangle: another key (a modifier, a
    // shortcut's letter) must not count as a move of the user's crop.
    switch (event->key()) {
    case Qt::Key_Left:
        m_keyDelta.setX(-1);
        break;
    case Qt::Key_Right:
        m_keyDelta.setX(1);
        break;
    case Qt::Key_Up:
        m_keyDelta.setY(-1);
        break;
    case Qt::Key_Down:
        m_keyDelta.setY(1);
        break;
    default:
        return;
    }
    event->accept();
    m_heldKey.begin();
    emit itemPosChanged(pos() + m_keyDelta);
}

void CCropRect::keyReleaseEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        m_keyDelta.setX(0);
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        m_keyDelta.setY(0);
        break;
    default:
        return;
    }
    m_heldKey.end();
    CUndoController::instance()->createUndoCommand(tr("Crop rect moved be keyboard"));
}

void CCropRect::focusOutEvent(QFocusEvent* event)
{
    QGraphicsRectItem::focusOutEvent(event);
    // The arrow key's release goes elsewhere now.
    m_heldKey.end();
}

bool CCropRect::sceneEvent(QEvent* event)
{
    // The scene took the mouse away without a release.
    if (event->type() == QEvent::UngrabMouse)
        m_heldDrag.end();
    return QGraphicsRectItem::sceneEvent(event);
}

void CCropRect::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget* widget)
{
    const QTransform transform = painter->transform();
    if (widget && !(widget->parent() && widget->parent()->objectName() == QLatin1String("graphicsViewLoupe")))
        m_viewScale = transform.m11();

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->resetTransform();
    const QRectF r = transform.mapRect(rect());
    if (hasFocus())
        painter->setPen(QColor(61, 166, 231));
    else
        painter->setPen(pen());
    const qreal x = r.x();
    const qreal y = r.y();
    const qreal w = r.width();
    const qreal h = r.height();
    painter->drawLine(QLineF(x, y, x, y + h));
    painter->drawLine(QLineF(x + w, y, x + w, y + h));
    painter->drawLine(QLineF(x, y, x + w, y));
    painter->drawLine(QLineF(x, y + h, x + w, y + h));
    painter->restore();
}

// ---------------------------------------------------------- CCropOverlayRect

CCropOverlayRect::CCropOverlayRect(const QString& name, QGraphicsItem* parent)
    : QObject(nullptr)
    , QGraphicsRectItem(parent)
    , m_itemName(name)
{
    setZValue(kOverlayZ);
}

void CCropOverlayRect::onCropRectChanged(QRectF rect)
{
    if (scene())
        setRect(scene()->sceneRect());
    m_cropRectInScene = rect;
}

void CCropOverlayRect::setBackgroundOpacity(int value)
{
    m_backgroundAlpha = 255 - std::clamp(value, 0, 255);
    update();
}

void CCropOverlayRect::sceneRectChanged()
{
    if (m_hideOnSceneRectChange) {
        m_hideOnSceneRectChange = false;
        hide();
    }
}

void CCropOverlayRect::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    if (m_cropRectInScene.width() <= 0 || m_cropRectInScene.height() <= 0)
        return;
    const QRectF sceneRect = scene() ? scene()->sceneRect() : rect();
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setClipping(true);
    const QRect outer = sceneRect.toRect().adjusted(-2, -2, 2, 2);
    const QRect hole = m_cropRectInScene.toRect().adjusted(-1, -1, 1, 1);
    painter->setClipRegion(QRegion(outer).subtracted(QRegion(hole)), Qt::ReplaceClip);
    painter->fillRect(outer, QColor(0, 0, 0, m_backgroundAlpha));
    painter->restore();
}

QByteArray CCropOverlayRect::toByteArray() const
{
    return writeOverlayState(*this, m_cropRectInScene);
}

void CCropOverlayRect::restoreState(const QByteArray& state)
{
    const QRectF sceneRect = scene() ? scene()->sceneRect() : QRectF();
    setRect(sceneRect);
    m_cropRectInScene = readOverlayState(*this, state, sceneRect, m_cropRectInScene);
}

// ------------------------------------------------------------ CCropSizeLabel

CCropSizeLabel::CCropSizeLabel(QGraphicsItemGroup* group, QString name)
    : QObject(nullptr)
    , QGraphicsRectItem(nullptr)
    , m_labelFont(QStringLiteral("Lucida Sans Unicode"), 11)
{
    if (group)
        group->addToGroup(this);
    setRect(0, 0, 70, 20);
    setZValue(kLabelZ);
    setFlags(ItemIgnoresTransformations);
    setPen(QPen(QColor(242, 242, 242), 0));
    setBrush(QBrush(QColor(242, 242, 242), Qt::SolidPattern));
    m_hideTimer.setSingleShot(true);
    m_hideTimer.setInterval(2000);
    connect(&m_hideTimer, &QTimer::timeout, this, &CCropSizeLabel::onHideTimer);
    if (!NAVIK_tarl1::CSettings(nullptr).value(QStringLiteral("showImageSize"), true).toBool())
        hide();
    m_itemName = name;
}

QString CCropSizeLabel::labelText() const
{
    return NAVIK_tarl1::sizeToString(QSize(qRound(m_cropRectInScene.width()), qRound(m_cropRectInScene.height())));
}

void CCropSizeLabel::onCropRectChanged(QRectF rect)
{
    m_cropRectInScene = rect;
    updateLabelSize();
    updateLabelPosition();
    showLabel();
}

void CCropSizeLabel::onHideTimer()
{
    hide();
}

void CCropSizeLabel::showLabel()
{
    if (NAVIK_tarl1::CSettings(nullptr).value(QStringLiteral("showImageSize"), true).toBool()) {
        m_hideTimer.stop();
        m_hideTimer.start();
        show();
    }
    if (isVisible())
        update();
}

void CCropSizeLabel::updateUnits()
{
    updateLabelSize();
    updateLabelPosition();
}

void CCropSizeLabel::updateLabelSize()
{
    const int width = QFontMetrics(m_labelFont).horizontalAdvance(labelText());
    if (width + 10 >= 71)
        setRect(0, 0, width + 10, 20);
    else
        setRect(0, 0, 70, 20);
}

void CCropSizeLabel::updateLabelPosition()
{
    qreal sx = 1;
    qreal sy = 1;
    if (scene() && !scene()->views().isEmpty()) {
        const QPointF mapped = scene()->views().first()->transform().map(QPointF(100, 100));
        sx = mapped.x() / 100;
        sy = mapped.y() / 100;
    }
    const QRectF sceneRect = scene() ? scene()->sceneRect() : QRectF();
    ASSERT(sx != 0 && sy != 0);
    // A view without scale (not yet laid out) counts as scale 1.
    if (sx == 0 || !std::isfinite(sx))
        sx = 1;
    if (sy == 0 || !std::isfinite(sy))
        sy = 1;
    const QRectF& crop = m_cropRectInScene;
    setPos(crop.x() + crop.width() + 10 / sx, crop.y() + crop.height() + 10 / sy);
    const qreal boxWidth = rect().width();
    const qreal boxHeight = rect().height();
    const qreal dx = x() + boxWidth / sx > sceneRect.width() ? -(20 + boxWidth) : 0;
    const qreal dy = y() + boxHeight / sy > sceneRect.height() ? -(20 + boxHeight) : 0;
    moveBy(dx / sx, dy / sy);
}

void CCropSizeLabel::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    if (m_cropRectInScene.width() <= 0 || m_cropRectInScene.height() <= 0)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(pen());
    painter->setBrush(brush());
    const QRectF box = rect();
    // Radii of 10 % of half the box's width and height.
    painter->drawRoundedRect(box, 10, 10, Qt::RelativeSize);
    painter->setPen(QPen(QColor(66, 66, 66)));
    painter->setFont(m_labelFont);
    painter->drawText(box, Qt::AlignHCenter | Qt::AlignVCenter, labelText());
    painter->restore();
}

QByteArray CCropSizeLabel::toByteArray() const
{
    return writeOverlayState(*this, m_cropRectInScene);
}

void CCropSizeLabel::restoreState(const QByteArray& state)
{
    ASSERT(scene());
    const QRectF sceneRect = scene() ? scene()->sceneRect() : QRectF();
    m_cropRectInScene = readOverlayState(*this, state, sceneRect, m_cropRectInScene);
}

// --------------------------------------------------------------------- CLine

CLine::CLine()
    : QGraphicsLineItem(nullptr)
{
    m_backPen.setColor(Qt::black);
}

void CLine::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    const QTransform transform = painter->transform();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->save();
    painter->resetTransform();
    const QLineF mapped = transform.map(line());
    painter->setPen(m_backPen);
    painter->drawLine(mapped);
    painter->setPen(pen());
    painter->drawLine(mapped);
    painter->restore();
}
