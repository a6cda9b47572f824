#include "perspective/CHorizonCorrectionItems.h"

#include "correction/CRectangleNode.h"
#include "utils/DataStreamFormat.h"

#include <QDataStream>
#include <QIODevice>
#include <QSizeF>

#include <cmath>
#include <iterator>

namespace {

constexpr double kMinimumLength = 1e-7;
constexpr double kMergeDistance = 1e-9;
// How far the centre line is drawn past the bounding box, as a share of its
// length, so that its ends never lie exactly on the box.
constexpr double kCentreLineOverhang = 1e-6;

int intValue(const Navik::Dictionary& parameters, const char* key, int fallback)
{
    const Navik::Value value = parameters.GetValueForKey(key);
    if (!value.IsNumber())
        return fallback;
    bool ok = false;
    const int result = value.AsInt(&ok);
    return ok ? result : fallback;
}

} // namespace

QDataStream& operator<<(QDataStream& stream, const CHorizonCorrectionItems::SStoredData& data)
{
    return stream << data.p1 << data.p2 << data.angle;
}

QDataStream& operator>>(QDataStream& stream, CHorizonCorrectionItems::SStoredData& data)
{
    return stream >> data.p1 >> data.p2 >> data.angle;
}

QByteArray CHorizonCorrectionItems::serialize()
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(NAVIK_tarl1::g_dataStreamVersion);
    // The saved lines, highest tool first.
    stream << quint32(m_savedPoints.size());
    for (auto it = m_savedPoints.constEnd(); it != m_savedPoints.constBegin();) {
        --it;
        stream << qint32(it.key()) << it.value();
    }
    stream << CCorrectionItems::serialize();
    return bytes;
}

void CHorizonCorrectionItems::deserialize(const QByteArray& state)
{
    QDataStream stream(state);
    stream.setVersion(NAVIK_tarl1::g_dataStreamVersion);
    QMap<int, SStoredData> saved;
    quint32 count = 0;
    stream >> count;
    for (quint32 i = 0; i < count && stream.status() == QDataStream::Ok; ++i) {
        qint32 tool = 0;
        SStoredData data;
        stream >> tool >> data;
        if (stream.status() == QDataStream::Ok)
            saved.insert(tool, data);
    }
    m_savedPoints = stream.status() == QDataStream::Ok ? saved : QMap<int, SStoredData>();
    QByteArray inner;
    stream >> inner;
    CCorrectionItems::deserialize(inner);
}

void CHorizonCorrectionItems::savePoints(int tool, double angle)
{
    if (!leftTop || !rightTop)
        return;
    m_savedPoints.insert(tool, SStoredData{leftTop->scenePos(), rightTop->scenePos(), angle});
}

bool CHorizonCorrectionItems::tryToRestoresavedPoints(int tool, double angle)
{
    const auto it = m_savedPoints.constFind(tool);
    if (it == m_savedPoints.constEnd() || !(it->angle == angle) || !leftTop || !rightTop)
        return false;
    leftTop->setPos(it->p1);
    rightTop->setPos(it->p2);
    return true;
}

QPointF mapPointThroughHVRatio(QPointF point, const Navik::Dictionary& parameters, bool forward)
{
    const int ratio = intValue(parameters, "KeystoningHVRatio", 0);
    const int intensity = intValue(parameters, "KeystoningBlendingIntensity", 100);
    const int scale = intValue(parameters, "KeystoningScale", 100);
    if (ratio == 0 || intensity == 0 || scale == 0)
        return point;
    const double blend = intensity / 100.0;
    double r = 1.0 + std::abs(ratio) / 100.0;
    if (ratio < 0)
        r = 1.0 / r;
    const double fx = 100.0 * blend / (r * scale) + 1.0 - blend;
    const double fy = 100.0 * blend / scale + 1.0 - blend;
    if (forward)
        return {point.x() * fx, point.y() * fy};
    return {point.x() / fx, point.y() / fy};
}

namespace HorizonGeometry {

double lineAngle(const QPointF& a, const QPointF& b, int tool, bool* valid)
{
    QPointF start = a;
    QPointF end = b;
    if ((tool == 2 && a.y() > b.y()) || (tool == 1 && a.x() > b.x()))
        std::swap(start, end);
    const double dx = end.x() - start.x();
    const double dy = end.y() - start.y();
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length < kMinimumLength) {
        if (valid)
            *valid = false;
        return 0.0;
    }
    double angle = std::acos(std::min(1.0, std::abs(dx) / length)) * 180.0 / M_PI;
    if (tool == 2) {
        angle = 90.0 - angle;
        if (dx < 0)
            angle = -angle;
    } else if (tool == 1 && dy > 0) {
        angle = -angle;
    }
    if (valid)
        *valid = true;
    return angle;
}

QVector<QPointF> toolLinePoints(const QSizeF& size, int tool)
{
    const double qw = size.width() * 0.25;
    const double qh = size.height() * 0.25;
    if (tool == 1)
        return {{qw, 2 * qh}, {3 * qw, 2 * qh}, {2 * qw, qh}, {2 * qw, 3 * qh}};
    if (tool == 2)
        return {{2 * qw, qh}, {2 * qw, 3 * qh}, {qw, 2 * qh}, {3 * qw, 2 * qh}};
    return {};
}

QVector<QPointF> polygonIntersections(const QPolygonF& polygon, const QLineF& line)
{
    QVector<QPointF> result;
    const qsizetype count = polygon.size();
    for (qsizetype i = 0; i < count; ++i) {
        // Point i to point i + 1, and last the first point to the last one.
        const QLineF edge = i + 1 < count ? QLineF(polygon.at(i), polygon.at(i + 1))
                                          : QLineF(polygon.first(), polygon.last());
        if (edge.length() < kMergeDistance)
            continue;
        QPointF crossing;
        if (edge.intersects(line, &crossing) != QLineF::BoundedIntersection)
            continue;
        bool known = false;
        for (const QPointF& found : std::as_const(result))
            known = known || QLineF(found, crossing).length() < kMergeDistance;
        if (!known)
            result.append(crossing);
    }
    return result;
}

QLineF lineThroughPolygonCentre(const QPolygonF& polygon, const QLineF& line)
{
    const QRectF box = polygon.boundingRect();
    const double cx = box.center().x();
    const double cy = box.center().y();
    QLineF centreLine;
    if (line.y1() == line.y2())
        centreLine = QLineF(box.right(), cy, box.left(), cy);
    else if (line.x1() == line.x2())
        centreLine = QLineF(cx, box.bottom(), cx, box.top());
    else {
        const double k = (line.y1() - line.y2()) / (line.x1() - line.x2());
        centreLine = QLineF(box.right(), cy + k * (box.right() - cx), box.left(), cy + k * (box.left() - cx));
    }
    // Drawn a little past the box so that rounding never loses a crossing.
    const QPointF overhang = (centreLine.p2() - centreLine.p1()) * kCentreLineOverhang;
    centreLine = QLineF(centreLine.p1() - overhang, centreLine.p2() + overhang);
    const QVector<QPointF> crossings = polygonIntersections(polygon, centreLine);
    if (crossings.size() < 2)
        return {};
    return QLineF(crossings.at(0), crossings.at(1));
}

void clipLineToRect(const QRectF& rect, QPointF& a, QPointF& b)
{
    const auto inside = [&rect](const QPointF& p) {
        return p.x() >= rect.left() && p.x() <= rect.right() && p.y() >= rect.top() && p.y() <= rect.bottom();
    };
    if (inside(a) && inside(b))
        return;
    const QPolygonF polygon(rect);
    const QVector<QPointF> crossings = polygonIntersections(polygon, QLineF(a, b));
    if (crossings.size() == 2) {
        a = crossings.at(0);
        b = crossings.at(1);
    } else if (crossings.size() == 1) {
        (inside(a) ? b : a) = crossings.at(0);
    } else {
        const QLineF centre = lineThroughPolygonCentre(polygon, QLineF(a, b));
        if (!centre.isNull()) {
            a = centre.p1();
            b = centre.p2();
        }
    }
}

} // namespace HorizonGeometry
