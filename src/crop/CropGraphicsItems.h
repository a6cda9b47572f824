#pragma once

// The crop items of the after scene: the eight handles, the main rectangle,
// the mask outside the crop, the size label and the grid lines. None of them
// moves itself: handles and rectangle propose positions to the crop rectangle
// controller, which places them all.

#include "correction/CHeldChange.h"
#include "view/ISceneItemInterface.h"

#include <QFont>
#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QObject>
#include <QPen>
#include <QTimer>

class QGraphicsItemGroup;
class CCropRect;

class CCropPoint : public QObject, public QGraphicsRectItem, public ISceneItemInterface
{
    Q_OBJECT

public:
    enum MoveDirection { Vertical = 1, Horizontal = 2, Both = 3 };
    enum CornerType { LeftTop = 1, RightTop = 2, LeftBottom = 3, RightBottom = 4, NoCorner = 5 };

    CCropPoint(QGraphicsItemGroup* group, CCropRect& cropRect, const QString& name, QGraphicsItem* parent);

    void setMoveDirection(MoveDirection direction);
    MoveDirection moveDirection() const { return m_moveDirection; }
    void setCornerType(CornerType type);
    CornerType cornerType() const { return m_cornerType; }
    void setCropRatioValue(qreal value) { m_cropRatioValue = value; }
    qreal cropRatioValue() const { return m_cropRatioValue; }
    void setHighlighted(bool highlighted);
    bool isPressed() const { return m_isPressed; }

    // Proposes the handle's move to an absolute scene position, as a drag would.
    void setPosByScript(const QPointF& pos);
    // The same, by an offset from the handle's present position.
    void moveByDelta(const QPointF& delta);

    // Writes the main rectangle's corner opposite this handle and tells whether
    // scenePos lies on this handle's side of it on both axes.
    bool isInOwnQuadrant(const QPointF& scenePos, QPointF* oppositeCorner) const;
    // The position this handle proposes for a requested one.
    QPointF proposedPos(const QPointF& requested) const;

    bool isTransparentForView() const override { return false; }
    bool reportsPressPosition() const override { return false; }
    QString itemName() const override { return m_name; }

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

signals:
    void itemPosWillChanged(CCropPoint* point, QPointF proposed, QPointF requested);
    void mouseEntered(QObject* item);
    void mouseLeaved(QObject* item);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool sceneEvent(QEvent* event) override;

private:
    QPointF cornerProposal(const QPointF& requested) const;

    CornerType m_cornerType = NoCorner;
    MoveDirection m_moveDirection = Both;
    bool m_isPressed = false;
    // From the press to the release: the drag's step comes at the release.
    CHeldChange m_heldDrag;
    qreal m_cropRatioValue = 0;
    CCropRect& m_cropRect;
    QString m_name;
};

class CCropRect : public QObject, public QGraphicsRectItem, public ISceneItemInterface
{
    Q_OBJECT
    Q_PROPERTY(bool visible READ isVisible)
    Q_PROPERTY(bool enabled READ isEnabled)

public:
    CCropRect(QGraphicsItemGroup* group, const QString& name, QGraphicsItem* parent);

    void setHighlighted(bool highlighted);
    qreal viewScale() const { return m_viewScale; }
    bool isPressed() const { return m_isPressed; }
    QPointF keyDelta() const { return m_keyDelta; }

    bool isTransparentForView() const override { return false; }
    bool reportsPressPosition() const override { return false; }
    QString itemName() const override { return m_name; }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

public slots:
    void setFocus();

signals:
    void itemPosChanged(QPointF pos);
    void mouseEntered(QObject* item);
    void mouseLeaved(QObject* item);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool sceneEvent(QEvent* event) override;

private:
    bool m_isPressed = false;
    // A drag, an arrow key held down: each one's step comes when it ends.
    CHeldChange m_heldDrag;
    CHeldChange m_heldKey;
    QPointF m_keyDelta;
    QPointF m_pressScenePos;
    QPointF m_pressItemPos;
    QString m_name;
    qreal m_viewScale = 1.0;
};

class CCropOverlayRect : public QObject, public QGraphicsRectItem, public ISceneItemInterface
{
    Q_OBJECT

public:
    CCropOverlayRect(const QString& name, QGraphicsItem* parent);

    void setHideOnSceneRectChange(bool hide) { m_hideOnSceneRectChange = hide; }
    bool hideOnSceneRectChange() const { return m_hideOnSceneRectChange; }
    int backgroundAlpha() const { return m_backgroundAlpha; }
    QRectF cropRectInScene() const { return m_cropRectInScene; }

    QByteArray toByteArray() const;
    void restoreState(const QByteArray& state);

    bool isTransparentForView() const override { return true; }
    bool reportsPressPosition() const override { return false; }
    QString itemName() const override { return m_itemName; }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

public slots:
    void onCropRectChanged(QRectF rect);
    void setBackgroundOpacity(int value);
    void sceneRectChanged();

private:
    QRectF m_cropRectInScene;
    int m_backgroundAlpha = 100;
    bool m_hideOnSceneRectChange = false;
    QString m_itemName;
};

class CCropSizeLabel : public QObject, public QGraphicsRectItem, public ISceneItemInterface
{
    Q_OBJECT

public:
    CCropSizeLabel(QGraphicsItemGroup* group, QString name);

    void showLabel();
    void updateUnits();
    void updateLabelSize();
    void updateLabelPosition();
    QString labelText() const;
    QRectF cropRectInScene() const { return m_cropRectInScene; }
    const QFont& labelFont() const { return m_labelFont; }
    bool isHideTimerActive() const { return m_hideTimer.isActive(); }

    QByteArray toByteArray() const;
    void restoreState(const QByteArray& state);

    bool isTransparentForView() const override { return false; }
    bool reportsPressPosition() const override { return false; }
    QString itemName() const override { return m_itemName; }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

public slots:
    void onCropRectChanged(QRectF rect);

private slots:
    void onHideTimer();

private:
    QTimer m_hideTimer;
    QRectF m_cropRectInScene;
    QFont m_labelFont;
    QString m_itemName;
};

// A line of the crop grid, drawn in device pixels over a black back line.
class CLine : public QGraphicsLineItem
{
public:
    CLine();

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    QPen m_backPen;
};
