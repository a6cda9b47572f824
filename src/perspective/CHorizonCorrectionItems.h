#pragma once

// The horizon module's handle set and the geometry of its one line: the
// line laid out for a tool, its tilt, the line kept inside a scene, and one
// saved line per tool.

#include "correction/CCorrectionItems.h"

#include <Navik/Value.h>

#include <QLineF>
#include <QMap>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>

class QDataStream;

class CHorizonCorrectionItems : public CCorrectionItems
{
public:
    struct SStoredData
    {
        QPointF p1;
        QPointF p2;
        double angle = 0.0;
    };

    QByteArray serialize() override;
    void deserialize(const QByteArray& state) override;

    // Stores the line (LeftTop, RightTop) of a tool with the module's angle.
    void savePoints(int tool, double angle);
    // Puts the tool's line back when it was saved with exactly this angle.
    bool tryToRestoresavedPoints(int tool, double angle);
    void clearSavedPoints() { m_savedPoints.clear(); }
    const QMap<int, SStoredData>& savedPoints() const { return m_savedPoints; }

private:
    QMap<int, SStoredData> m_savedPoints;
};

QDataStream& operator<<(QDataStream& stream, const CHorizonCorrectionItems::SStoredData& data);
QDataStream& operator>>(QDataStream& stream, CHorizonCorrectionItems::SStoredData& data);

// Undoes (forward) or redoes the horizontal/vertical ratio scaling of the
// engine's parameters on a point.
QPointF mapPointThroughHVRatio(QPointF point, const Navik::Dictionary& parameters, bool forward);

namespace HorizonGeometry {

// The line's counter-clockwise tilt against the tool's axis, in degrees
// (-90..90); false in `valid` for a line without direction.
double lineAngle(const QPointF& a, const QPointF& b, int tool, bool* valid);
// The points of the line laid out for a tool in a scene of this size, in
// the order LeftTop, RightTop, LeftBottom, RightBottom.
QVector<QPointF> toolLinePoints(const QSizeF& sceneSize, int tool);
// The bounded crossings of the line with the polygon's edges, in edge order;
// edges without length are skipped and crossings closer than 1e-9 merged.
QVector<QPointF> polygonIntersections(const QPolygonF& polygon, const QLineF& line);
// The line with the slope of `line` through the centre of the polygon's
// bounding box, cut by the polygon; a null line when it cuts it less than twice.
QLineF lineThroughPolygonCentre(const QPolygonF& polygon, const QLineF& line);
// Ends of the line a–b kept inside the rectangle.
void clipLineToRect(const QRectF& rect, QPointF& a, QPointF& b);

} // namespace HorizonGeometry
