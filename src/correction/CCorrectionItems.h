#pragma once

// The handles of one scene: four corner points joined by four sides, and the
// eight points on four lines of the eight-point keystoning. A set switches
// which of them are shown for each correction type, lists them in the orders
// in which points travel to and from the process engine, and serialises them
// for undo. The items belong to the scene group they are added to.

#include <QColor>
#include <QObject>
#include <QPointF>
#include <QVector>

class CBaseCorrectionGlobalData;
class CEdge;
class CRectangleNode;
class FocusController;
class QGraphicsItemGroup;

class Ckeystoning8PointsItems : public QObject
{
public:
    Ckeystoning8PointsItems(QObject* parent, CBaseCorrectionGlobalData* globalData, const QString& prefix);
    ~Ckeystoning8PointsItems() override;

    virtual QByteArray serialize();
    virtual void deserialize(const QByteArray& state);

    void setVisible(bool visible);
    bool isVisible() const { return m_visible; }
    void addToGroup(QGraphicsItemGroup* group);
    void setOnResultImage(bool onResultImage);
    // On eighths of the scene rectangle, measured from the scene origin.
    void setDefaultPositions();
    void setColors(const QColor& vertical, const QColor& horizontal);
    void connectSignals(QObject* receiver);
    static void connectLineSignals(CEdge* line, QObject* receiver);
    static void connectNodeSignals(CRectangleNode* node, QObject* receiver);

    // LeftTop, LeftBottom, RightBottom, RightTop, BottomRight, BottomLeft,
    // TopRight, TopLeft.
    QVector<QPointF> points() const;
    // In the order of points(); with fewer than eight points only the first
    // nodes move.
    void setPoints(const QVector<QPointF>& points);

    CRectangleNode* leftTop;
    CRectangleNode* leftBottom;
    CRectangleNode* rightTop;
    CRectangleNode* rightBottom;
    CRectangleNode* topLeft;
    CRectangleNode* topRight;
    CRectangleNode* bottomLeft;
    CRectangleNode* bottomRight;
    CEdge* leftLine;
    CEdge* rightLine;
    CEdge* topLine;
    CEdge* bottomLine;

private:
    QVector<CRectangleNode*> engineOrder() const;

    bool m_visible = false;
    bool m_onResultImage = false;
    FocusController* m_focusController = nullptr;
};

class CCorrectionItems
{
public:
    CCorrectionItems();
    virtual ~CCorrectionItems();

    virtual QByteArray serialize();
    virtual void deserialize(const QByteArray& state);

    // LeftTop, LeftBottom, RightBottom, RightTop.
    QVector<CRectangleNode*> nodes() const;
    QVector<QPointF> nodeScenePositions() const;
    // Left, Right, Top, Bottom.
    QVector<CEdge*> edges() const;

    void setOnResultImage(bool onResultImage);
    bool isOnResultImage() const { return onResultImage; }

    void setHorizontalCorrectionMode();
    void setVerticalCorrectionMode();
    void setRectangleCorrectionMode();
    void set8PointsCorrectionMode();
    void setHorizonMode();
    void hideAll();
    void setNodesVisible(bool visible);
    void setTopNodesVisible(bool visible);
    void setBottomNodesVisible(bool visible);
    void setEdgesColor(const QColor& color);
    void set8PointsColor(const QColor& vertical, const QColor& horizontal);

    CRectangleNode* leftTop = nullptr;
    CRectangleNode* rightTop = nullptr;
    CRectangleNode* leftBottom = nullptr;
    CRectangleNode* rightBottom = nullptr;
    CEdge* leftEdge = nullptr;
    CEdge* rightEdge = nullptr;
    CEdge* topEdge = nullptr;
    CEdge* bottomEdge = nullptr;
    Ckeystoning8PointsItems* eightPointsItems = nullptr;
    bool onResultImage = false;

private:
    bool isBuilt() const;
    // Corners, then Left, Right, Top, Bottom.
    void showItems(bool corners, bool left, bool right, bool top, bool bottom);
};
