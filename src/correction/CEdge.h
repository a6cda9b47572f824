#pragma once

// The line between two point handles: solid between them, dashed on to the
// scene borders. It can be grabbed anywhere along the whole line; dragging it
// moves both handles by the same offset and, on the corrected image, keeps
// the line's ends inside the original image. Hovering highlights it and its
// handles. Created hidden.

#include "correction/CHeldChange.h"
#include "shell/ISerializableInterface.h"
#include "view/ISceneItemInterface.h"

#include <QGraphicsObject>
#include <QPen>

class CRectangleNode;
class QGraphicsSceneMouseEvent;

class CEdge : public QGraphicsObject, public ISerializableInterface, public ISceneItemInterface
{
    Q_OBJECT
    Q_INTERFACES(ISerializableInterface)
public:
    CEdge(CRectangleNode* nodeA, CRectangleNode* nodeB, const QString& name);
    ~CEdge() override;

    QByteArray serialize() override;
    void deserialize(const QByteArray& state, bool flag) override;
    bool isEqual(const QByteArray& a, const QByteArray& b) override;
    QString id() const override;

    bool isTransparentForView() const override;
    bool reportsPressPosition() const override;
    QString itemName() const override;

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

    void setVisible(bool visible);
    bool isVisible() const;
    void setOnResultImage(bool onResultImage);
    void setColor(const QColor& color);
    void setHighlighted(bool highlighted);
    // Finds where the line through both handles leaves the rectangle.
    void adjustToSceneRect(const QRectF& rect);

    // Unit vector from handle A to handle B; zero when they are 1 or less apart.
    QPointF direction() const { return m_direction; }
    // The border points found by the last fit: 0, 1 or 2.
    int borderPointCount() const { return m_borderPointCount; }
    QPointF borderPointA() const { return m_borderPointA; }
    QPointF borderPointB() const { return m_borderPointB; }
    bool isHighlighted() const { return m_solidPen.widthF() > 0; }

Q_SIGNALS:
    void onMouseReleaseEventSignal(const CRectangleNode* pNode, const CEdge* pEdge, QGraphicsSceneMouseEvent* pEvent);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;
    bool sceneEvent(QEvent* event) override;

private:
    void dragOnResultImage(const QPointF& targetA, const QPointF& targetB);
    QPainterPath hitPath() const;

    bool m_onResultImage = false;
    QPointF m_borderPointA;
    QPointF m_borderPointB;
    int m_borderPointCount = 0;
    CRectangleNode* m_nodeA;
    CRectangleNode* m_nodeB;
    QPen m_solidPen;
    QPen m_dashedPen;
    QPointF m_direction;
    bool m_pressed = false;
    // From the press to the release: the module makes the drag's step then.
    CHeldChange m_heldDrag;
    QPointF m_pressPos;
    QPointF m_nodeAStart;
    QPointF m_nodeBStart;
    bool m_visible = false;
    QString m_name;
};
