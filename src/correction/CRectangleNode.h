#pragma once

// A draggable point handle of the perspective corrections: a corner of the
// keystoning quadrilateral, one of the eight points, an end of the horizon
// line. It keeps its on-screen size at every zoom, follows the mouse and the
// arrow keys, stays inside the scene rectangle and, on the corrected image,
// inside the original image as the process engine maps it. It reports drags,
// key moves and script moves to its module through signals.

#include "correction/CHeldChange.h"
#include "shell/ISerializableInterface.h"
#include "view/ISceneItemInterface.h"

#include <QGraphicsObject>
#include <QPen>

class CBaseCorrectionGlobalData;
class CEdge;
class QGraphicsSceneMouseEvent;
class QKeyEvent;

class CRectangleNode : public QGraphicsObject, public ISerializableInterface, public ISceneItemInterface
{
    Q_OBJECT
    Q_INTERFACES(ISerializableInterface)
public:
    // The event a node sends itself on a mouse press, which the focus
    // controller takes as a click.
    static constexpr int kNodePressedEventType = 1001;

    CRectangleNode(QGraphicsItem* parent, CBaseCorrectionGlobalData* globalData, const QString& name);
    ~CRectangleNode() override;

    // Position normalised to the scene rectangle, and the visible flag.
    QByteArray serialize() override;
    void deserialize(const QByteArray& state, bool flag) override;
    bool isEqual(const QByteArray& a, const QByteArray& b) override;
    QString id() const override;

    bool isTransparentForView() const override;
    bool reportsPressPosition() const override;
    QString itemName() const override;

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

    void setVisible(bool visible);
    bool isVisible() const;
    // The first call fills the first side, later calls the second.
    void addEdge(CEdge* edge);
    void setOnResultImage(bool onResultImage);
    bool isOnResultImage() const { return m_onResultImage; }
    void setHighlighted(bool highlighted);
    // A test script's move to a scene point.
    void setPosByScript(const QPointF& point);

Q_SIGNALS:
    void onMouseReleaseEventSignal(const CRectangleNode* pNode, const CEdge* pEdge, QGraphicsSceneMouseEvent* pEvent);
    void onKeyReleaseEventSignal(const CRectangleNode* pNode, QKeyEvent* pEvent);
    void posChangedAfterKeyPress(const CRectangleNode* pNode, const CEdge* pEdge);
    void posChangedAfterAdjusting(const CRectangleNode& rNode);
    void posChangedAfterScript(const CRectangleNode*);

public Q_SLOTS:
    // Keyboard focus, and the views centred on the node.
    void setFocus();

private Q_SLOTS:
    void onSceneRectChanged(QRectF rect);
    void setPosOnlyIfNewPosConstrainToImage(QPointF newPos);

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool sceneEvent(QEvent* event) override;

private:
    void showImage(const QPixmap* image);
    void adjustEdges(const QRectF& rect);
    // A scene point in the coordinates of the node's parent.
    QPointF toParent(const QPointF& scenePoint) const;
    QPointF crossVector(const CEdge* edge, const CEdge* other) const;

    bool m_onResultImage = false;
    CEdge* m_firstEdge = nullptr;
    CEdge* m_secondEdge = nullptr;
    QPen m_crossPen;
    const QPixmap* m_currentImage;
    const QPixmap* m_normalImage;
    const QPixmap* m_pressedImage;
    const QPixmap* m_hoverImage;
    const QPixmap* m_focusedImage;
    QPointF m_pressScenePos;
    bool m_pressed = false;
    // A drag, an arrow key held down: the module makes each one's step when
    // it ends.
    CHeldChange m_heldDrag;
    CHeldChange m_heldKey;
    QRectF m_sceneRect;
    QPointF m_keyStep;
    QPointF m_grabOffset;
    bool m_controlSeen = false;
    bool m_visible = true;
    QString m_name;
};
