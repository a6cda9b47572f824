#include "PolygonOps.h"

#include <algorithm>

namespace Navik::Geometry {

Polygon SampleRectangleBorder(double width, double height, int segmentsPerSide)
{
    const int segments = std::max(1, segmentsPerSide);
    const Point corners[] = {{0.0, 0.0}, {width, 0.0}, {width, height}, {0.0, height}};
    Polygon border;
    border.reserve(4 * segments);
    for (int side = 0; side < 4; ++side) {
        const Point from = corners[side];
        const Point to = corners[(side + 1) % 4];
        for (int i = 0; i < segments; ++i) {
            const double t = double(i) / segments;
            border.push_back({from.x + t * (to.x - from.x), from.y + t * (to.y - from.y)});
        }
    }
    return border;
}

Polygon ClipHalfPlane(const Polygon& polygon, double a, double b, double c)
{
    Polygon clipped;
    clipped.reserve(polygon.size() + 2);
    const size_t count = polygon.size();
    for (size_t i = 0; i < count; ++i) {
        const Point& current = polygon[i];
        const Point& next = polygon[(i + 1) % count];
        const double currentSide = a * current.x + b * current.y + c;
        const double nextSide = a * next.x + b * next.y + c;
        if (currentSide >= 0.0)
            clipped.push_back(current);
        if ((currentSide >= 0.0) != (nextSide >= 0.0)) {
            const double t = currentSide / (currentSide - nextSide);
            clipped.push_back({current.x + t * (next.x - current.x), current.y + t * (next.y - current.y)});
        }
    }
    return clipped;
}

Polygon ClipToRectangle(const Polygon& polygon, double left, double top, double right, double bottom)
{
    Polygon clipped = ClipHalfPlane(polygon, 1.0, 0.0, -left);
    clipped = ClipHalfPlane(clipped, -1.0, 0.0, right);
    clipped = ClipHalfPlane(clipped, 0.0, 1.0, -top);
    return ClipHalfPlane(clipped, 0.0, -1.0, bottom);
}

double SignedArea(const Polygon& polygon)
{
    double twiceArea = 0.0;
    const size_t count = polygon.size();
    for (size_t i = 0; i < count; ++i) {
        const Point& p = polygon[i];
        const Point& q = polygon[(i + 1) % count];
        twiceArea += p.x * q.y - q.x * p.y;
    }
    return 0.5 * twiceArea;
}

} // namespace Navik::Geometry
