#pragma once

// The controller of the crop rectangle in the after scene: it creates the main
// rectangle, the eight handles and the grid, decides every drag and move the
// items propose, keeps the rectangle in fractions of the scene and reports
// each change.

#include "crop/CCropCorrection.h"
#include "crop/CropGraphicsItems.h"

#include <QLineF>
#include <QMap>
#include <QObject>
#include <QRectF>
#include <QVector>

#include <memory>

class IProcessEngine;
class QGraphicsItemGroup;

class CCropGraphicsRect : public QObject
{
    Q_OBJECT
public:
    static constexpr qreal SnapTolerance = 6.0;
    static constexpr qreal MinimumSide = 32.0;

    // The items go into `group`, the module's group in the after scene; a
    // missing group is logged as a fault.
    CCropGraphicsRect(CCropCorrection& cropCorrection, QGraphicsItemGroup* group, QObject* parent);
    ~CCropGraphicsRect() override;

    void setCropRect(CCropCorrection::NormalizedCropRect rect);
    void setCropRatioAndMoveRect(qreal ratio);
    void setCropRatio(qreal ratio);
    qreal cropRatio() const { return aspectRatio; }
    void setShowGrid(bool show);
    void selectAllCanvas();
    QByteArray toByteArray() const;
    void restoreState(const QByteArray& state);
    CCropCorrection::NormalizedCropRect calcNormalizedRect() const;
    CCropCorrection::NormalizedCropRect normalizedCropRect() const { return cropRect; }
    bool isCropRectInsideImage();
    void releaseFocus();
    bool isConstrainToImage() const;
    QRectF sceneCropRect() const;
    void moveMainRectBy(QPointF offset);
    void moveMainRectTo(const QPointF& pos);

    CCropRect* mainRectItem() const { return mainRect; }
    QList<CCropPoint*> points() const;
    QList<CLine*> gridLines() const { return {gridHorizontal1, gridHorizontal2, gridVertical1, gridVertical2}; }

    // The proposed rectangle for a drag of one handle to p.
    void calcRectForLeftTop(const QPointF& p, QPointF& pos, QRectF& rect) const;
    void calcRectForMidleTop(const QPointF& p, QPointF& pos, QRectF& rect) const;
    void calcRectForRightTop(const QPointF& p, QPointF& pos, QRectF& rect) const;
    void calcRectForLeftMidle(const QPointF& p, QPointF& pos, QRectF& rect) const;
    void calcRectForRightMidle(const QPointF& p, QPointF& pos, QRectF& rect) const;
    void calcRectForLeftBottom(const QPointF& p, QPointF& pos, QRectF& rect) const;
    void calcRectForMidleBottom(const QPointF& p, QPointF& pos, QRectF& rect) const;
    void calcRectForRightBottom(const QPointF& p, QPointF& pos, QRectF& rect) const;
    void applyMinimumSize(CCropPoint* point, QPointF& pos, QRectF& rect) const;
    qreal heightForWidth(qreal width) const;
    qreal widthForHeight(qreal height) const;

    static bool containsWithTolerance(const QRectF& r, const QPointF& p);
    static QPointF closestPointOnRect(const QRectF& r, const QPointF& p);
    static QPointF closestPointOnRectOutline(const QRectF& r, const QPointF& p);
    static QPointF closestPointOnOutline(const QVector<QLineF>& edges, const QPointF& p);

    bool tryFlipOrientation(CCropPoint* point, const QPointF& requested);
    bool flipOrientation(CCropPoint::CornerType corner);

Q_SIGNALS:
    void cropRectMoved();
    void cropRectChanged(QRectF rect);

private Q_SLOTS:
    void onSceneRectChanged(QRectF newRect);
    void onPointPosWillChanged(CCropPoint* point, const QPointF& proposed, const QPointF& requested);
    void onMainRectPosChanged(QPointF pos);
    void onItemEntered(QObject* item);
    void onItemLeaved(QObject* item);

private:
    void placeMainRectFromCropRect();
    void fitMainRectToRatio();
    void updatePointsPositions();
    static qreal effectiveRatio(qreal ratio);
    static bool isFreeRatio(qreal ratio);
    bool relayoutForRatio(QRectF newRect);
    void updateHoverState();
    void setSceneRectRounded(const QRect& rounded);
    QPointF anchorCorner(CCropPoint::CornerType corner) const;
    void fitFlippedRect(const QPointF& anchor, const QRectF& bounds, CCropPoint::CornerType corner, QRectF& rect,
                        QPointF& pos) const;
    QPointF mapClosestPointBack(IProcessEngine* engine, const QPointF& pos, const QRectF& outline,
                                const QPointF& corner, const QPointF& offset) const;

    bool isPointsMovedByMainRect = false;
    CCropCorrection& cropCorrection;
    CCropCorrection::NormalizedCropRect cropRect;
    qreal aspectRatio = -1.0;
    CCropRect* mainRect = nullptr;
    CCropPoint* pointLeftTop = nullptr;
    CCropPoint* pointMidleTop = nullptr;
    CCropPoint* pointRightTop = nullptr;
    CCropPoint* pointLeftMidle = nullptr;
    CCropPoint* pointRightMidle = nullptr;
    CCropPoint* pointLeftBottom = nullptr;
    CCropPoint* pointMidleBottom = nullptr;
    CCropPoint* pointRightBottom = nullptr;
    CLine* gridHorizontal1 = nullptr;
    CLine* gridHorizontal2 = nullptr;
    CLine* gridVertical1 = nullptr;
    CLine* gridVertical2 = nullptr;
    bool inOnSceneRectChanged = false;
    QMap<QObject*, bool> hoverStates;
    // Holds the items when no group was given.
    std::unique_ptr<QGraphicsItemGroup> ownGroup;
};
