#include <Navik/Geometry/AutoCrop.h>

#include "LinearAlgebra.h"
#include "PolygonOps.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

// The largest rectangle of a fixed ratio a inside a convex polygon is a linear
// program. For an edge whose inner side is n . p <= c (n a unit vector), the
// rectangle with centre m, half height r and half width a r lies on that side
// exactly when its farthest corner does:
//     n . m + r (a |nx| + |ny|) <= c.
// So the largest r for a given centre is the lower envelope of one plane per
// edge, r(m) = min_e (c_e - n_e . m) / (a |nx_e| + |ny_e|), and the answer is
// the top of that envelope: a three-variable LP, solved here by Seidel's
// incremental method (expected linear time). The largest area over all ratios
// is unimodal in the ratio for a convex polygon, so a golden-section search on
// log(ratio) finds it.

namespace Navik::Geometry {

namespace {

constexpr double kTolerance = 1e-12; // in the normalised frame, where the polygon spans about 1

struct HalfPlane
{
    double nx, ny, c; // nx x + ny y <= c, with a unit normal
};

struct Box
{
    double left, top, right, bottom;
};

// One plane of the envelope: the value alpha - px x - py y.
struct Plane
{
    double px, py, alpha;
    double At(Point m) const { return alpha - px * m.x - py * m.y; }
};

// The polygon moved and scaled so that its bounding box is centred on the
// origin with its longer side 1; tolerances are then independent of pixels.
struct Frame
{
    Point centre;
    double scale = 1.0;
    Point ToFrame(Point p) const { return {(p.x - centre.x) / scale, (p.y - centre.y) / scale}; }
    Point FromFrame(Point p) const { return {centre.x + p.x * scale, centre.y + p.y * scale}; }
};

std::optional<Frame> FrameOf(const Polygon& polygon)
{
    if (polygon.size() < 3)
        return std::nullopt;
    double left = polygon[0].x, right = left, top = polygon[0].y, bottom = top;
    for (const Point& p : polygon) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y))
            return std::nullopt;
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    const double scale = std::max(right - left, bottom - top);
    if (!(scale > 0.0))
        return std::nullopt;
    return Frame{{0.5 * (left + right), 0.5 * (top + bottom)}, scale};
}

// The inner sides of the polygon's edges, whichever way the polygon runs.
std::vector<HalfPlane> InnerHalfPlanes(const Polygon& polygon)
{
    const double orientation = SignedArea(polygon) >= 0.0 ? 1.0 : -1.0;
    std::vector<HalfPlane> planes;
    planes.reserve(polygon.size());
    for (size_t i = 0; i < polygon.size(); ++i) {
        const Point& a = polygon[i];
        const Point& b = polygon[(i + 1) % polygon.size()];
        const double length = Distance(a, b);
        if (!(length > kTolerance))
            continue;
        const double nx = orientation * (b.y - a.y) / length;
        const double ny = orientation * (a.x - b.x) / length;
        planes.push_back({nx, ny, nx * a.x + ny * a.y});
    }
    return planes;
}

Box BoundingBox(const Polygon& polygon)
{
    Box box{polygon[0].x, polygon[0].y, polygon[0].x, polygon[0].y};
    for (const Point& p : polygon) {
        box.left = std::min(box.left, p.x);
        box.right = std::max(box.right, p.x);
        box.top = std::min(box.top, p.y);
        box.bottom = std::max(box.bottom, p.y);
    }
    return box;
}

// Minimises gx x + gy y over the box; where the objective does not care, the
// middle is taken.
Point BestBoxPoint(double gx, double gy, const Box& box)
{
    auto pick = [](double gradient, double low, double high) {
        return gradient > kTolerance ? low : gradient < -kTolerance ? high : 0.5 * (low + high);
    };
    return {pick(gx, box.left, box.right), pick(gy, box.top, box.bottom)};
}

struct Constraint
{
    double ax, ay, b; // ax x + ay y <= b
};

// Minimises g . x subject to the constraints and the box (two-dimensional
// Seidel step); no value when the constraints leave nothing.
std::optional<Point> MinimiseInPlane(double gx, double gy, const std::vector<Constraint>& constraints, const Box& box)
{
    Point x = BestBoxPoint(gx, gy, box);
    for (size_t j = 0; j < constraints.size(); ++j) {
        const Constraint& cj = constraints[j];
        if (cj.ax * x.x + cj.ay * x.y <= cj.b + kTolerance)
            continue;
        // The optimum now lies on the line ax x + ay y = b: x = origin + t u.
        const double norm = std::hypot(cj.ax, cj.ay);
        if (!(norm > kTolerance))
            return std::nullopt;
        const Point origin{cj.ax * cj.b / (norm * norm), cj.ay * cj.b / (norm * norm)};
        const Point u{-cj.ay / norm, cj.ax / norm};
        double low = -std::numeric_limits<double>::infinity();
        double high = std::numeric_limits<double>::infinity();
        auto bound = [&](double slope, double room) {
            // slope * t <= room
            if (std::abs(slope) <= kTolerance)
                return room >= -kTolerance;
            if (slope > 0.0)
                high = std::min(high, room / slope);
            else
                low = std::max(low, room / slope);
            return true;
        };
        bool feasible = bound(u.x, box.right - origin.x) && bound(-u.x, origin.x - box.left) &&
                        bound(u.y, box.bottom - origin.y) && bound(-u.y, origin.y - box.top);
        for (size_t k = 0; feasible && k < j; ++k) {
            const Constraint& ck = constraints[k];
            feasible = bound(ck.ax * u.x + ck.ay * u.y, ck.b - ck.ax * origin.x - ck.ay * origin.y);
        }
        if (!feasible || low > high + kTolerance)
            return std::nullopt;
        const double slope = gx * u.x + gy * u.y;
        const double t = low > high ? 0.5 * (low + high) : slope > kTolerance ? low : slope < -kTolerance ? high : 0.5 * (low + high);
        x = {origin.x + t * u.x, origin.y + t * u.y};
    }
    return x;
}

struct EnvelopeTop
{
    Point centre;
    double halfHeight;
};

// The highest point of the lower envelope of the planes over the box.
EnvelopeTop TopOfEnvelope(const std::vector<Plane>& planes, const Box& box)
{
    Point x = BestBoxPoint(planes[0].px, planes[0].py, box);
    double z = planes[0].At(x);
    std::vector<Constraint> constraints;
    for (size_t i = 1; i < planes.size(); ++i) {
        const Plane& pi = planes[i];
        if (z <= pi.At(x) + kTolerance)
            continue;
        // The new top lies on plane i: maximise it where it stays below the others.
        constraints.clear();
        for (size_t j = 0; j < i; ++j)
            constraints.push_back({planes[j].px - pi.px, planes[j].py - pi.py, planes[j].alpha - pi.alpha});
        if (const auto top = MinimiseInPlane(pi.px, pi.py, constraints, box)) {
            x = *top;
            z = pi.At(x);
        }
    }
    z = std::numeric_limits<double>::infinity();
    for (const Plane& plane : planes)
        z = std::min(z, plane.At(x));
    return {x, z};
}

std::vector<Plane> PlanesForRatio(const std::vector<HalfPlane>& edges, double ratio)
{
    std::vector<Plane> planes;
    planes.reserve(edges.size());
    for (const HalfPlane& e : edges) {
        const double reach = ratio * std::abs(e.nx) + std::abs(e.ny);
        planes.push_back({e.nx / reach, e.ny / reach, e.c / reach});
    }
    return planes;
}

Point Centroid(const Polygon& polygon)
{
    // Relative to the first vertex, so that a tiny polygon away from the origin
    // keeps its precision.
    const Point origin = polygon[0];
    Polygon local;
    for (const Point& p : polygon)
        local.push_back({p.x - origin.x, p.y - origin.y});
    Point first = local[0], second = local[0];
    double longest = 0.0;
    for (const Point& p : local)
        for (const Point& q : local)
            if (const double d = Distance(p, q); d > longest) {
                longest = d;
                first = p;
                second = q;
            }
    const double area = SignedArea(local);
    if (std::abs(area) > 1e-6 * longest * longest) {
        Point sum;
        for (size_t i = 0; i < local.size(); ++i) {
            const Point& p = local[i];
            const Point& q = local[(i + 1) % local.size()];
            const double cross = p.x * q.y - q.x * p.y;
            sum.x += (p.x + q.x) * cross;
            sum.y += (p.y + q.y) * cross;
        }
        return {origin.x + sum.x / (6.0 * area), origin.y + sum.y / (6.0 * area)};
    }
    // A region without area is a segment (or a point): take its middle.
    return {origin.x + 0.5 * (first.x + second.x), origin.y + 0.5 * (first.y + second.y)};
}

// Where the envelope's top is a plateau (the rectangle could slide), the middle
// of the room: the centroid of the centres that still give the best size.
Point CentreOfRoom(const std::vector<HalfPlane>& edges, double ratio, double halfHeight, const Box& box, Point fallback)
{
    Polygon room{{box.left, box.top}, {box.right, box.top}, {box.right, box.bottom}, {box.left, box.bottom}};
    for (const HalfPlane& e : edges) {
        const double reach = halfHeight * (ratio * std::abs(e.nx) + std::abs(e.ny));
        room = ClipHalfPlane(room, -e.nx, -e.ny, e.c - reach);
        if (room.empty())
            return fallback;
    }
    return Centroid(room);
}

struct Solution
{
    Point centre;
    double halfHeight;
};

// `edges` in the random order Seidel's method wants.
Solution SolveForRatio(const std::vector<HalfPlane>& edges, double ratio, const Box& box)
{
    const EnvelopeTop top = TopOfEnvelope(PlanesForRatio(edges, ratio), box);
    return {top.centre, top.halfHeight};
}

double LargestAreaRatio(const std::vector<HalfPlane>& edges, const Box& box)
{
    auto logArea = [&](double logRatio) {
        const double ratio = std::exp(logRatio);
        const double halfHeight = SolveForRatio(edges, ratio, box).halfHeight;
        return halfHeight > 0.0 ? logRatio + 2.0 * std::log(halfHeight) : -std::numeric_limits<double>::infinity();
    };
    const double invPhi = 0.5 * (std::sqrt(5.0) - 1.0);
    const double middle = std::log((box.right - box.left) / (box.bottom - box.top));
    double low = middle - 8.0, high = middle + 8.0;
    double a = high - invPhi * (high - low), b = low + invPhi * (high - low);
    double fa = logArea(a), fb = logArea(b);
    while (high - low > 1e-11) {
        if (fa < fb) {
            low = a;
            a = b;
            fa = fb;
            b = low + invPhi * (high - low);
            fb = logArea(b);
        } else {
            high = b;
            b = a;
            fb = fa;
            a = high - invPhi * (high - low);
            fa = logArea(a);
        }
    }
    return std::exp(0.5 * (low + high));
}

} // namespace

std::optional<RectF> LargestInscribedRectangle(const Polygon& polygon, double ratio)
{
    const auto frame = FrameOf(polygon);
    if (!frame)
        return std::nullopt;
    Polygon normalised;
    normalised.reserve(polygon.size());
    for (const Point& p : polygon)
        normalised.push_back(frame->ToFrame(p));
    const std::vector<HalfPlane> edges = InnerHalfPlanes(normalised);
    if (edges.size() < 3)
        return std::nullopt;
    const Box box = BoundingBox(normalised);
    if (!(box.right - box.left > kTolerance && box.bottom - box.top > kTolerance))
        return std::nullopt;

    // Seidel's method is expected linear time in a random order; a fixed seed
    // keeps the result reproducible.
    std::vector<HalfPlane> shuffled = edges;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(20240611u));

    const double chosenRatio = ratio > 0.0 && std::isfinite(ratio) ? ratio : LargestAreaRatio(shuffled, box);
    const Solution best = SolveForRatio(shuffled, chosenRatio, box);
    if (!(best.halfHeight > kTolerance))
        return std::nullopt;
    // Give up a hair of size so that rounding never puts a corner outside.
    const double halfHeight = best.halfHeight * (1.0 - 1e-9);
    const Point centre = CentreOfRoom(edges, chosenRatio, halfHeight, box, best.centre);
    const Point topLeft = frame->FromFrame({centre.x - chosenRatio * halfHeight, centre.y - halfHeight});
    const double height = 2.0 * halfHeight * frame->scale;
    return RectF{topLeft.x, topLeft.y, chosenRatio * height, height};
}

double DistanceOutside(const RectF& rectangle, const Polygon& polygon)
{
    const Point corners[] = {{rectangle.left, rectangle.top},
                             {rectangle.right(), rectangle.top},
                             {rectangle.right(), rectangle.bottom()},
                             {rectangle.left, rectangle.bottom()}};
    double distance = 0.0;
    for (const HalfPlane& e : InnerHalfPlanes(polygon))
        for (const Point& corner : corners)
            distance = std::max(distance, e.nx * corner.x + e.ny * corner.y - e.c);
    return distance;
}

} // namespace Navik::Geometry
