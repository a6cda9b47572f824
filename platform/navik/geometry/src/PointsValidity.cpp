#include <Navik/Geometry/PointsValidity.h>
#include <Navik/Geometry/Types.h>

#include "LinearAlgebra.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

// Every test but the length rule runs on the points mapped onto the unit square
// axis by axis. That map is affine, and affine maps keep convexity, crossings,
// collinearity and which side of a line a point lies on; so scaling an axis,
// even by a negative factor, cannot change the answer.

namespace Navik::Geometry {

namespace {

constexpr double kMinimumLinePixels = 2.0;
constexpr double kTolerance = 1e-9; // in the unit-square frame

std::vector<Point> ToPoints(const std::vector<double>& coordinates)
{
    std::vector<Point> points;
    for (size_t i = 0; i + 1 < coordinates.size(); i += 2)
        points.push_back({coordinates[i], coordinates[i + 1]});
    return points;
}

std::optional<std::vector<Point>> OnUnitSquare(const std::vector<Point>& points)
{
    auto [minX, maxX] = std::minmax_element(points.begin(), points.end(), [](Point a, Point b) { return a.x < b.x; });
    auto [minY, maxY] = std::minmax_element(points.begin(), points.end(), [](Point a, Point b) { return a.y < b.y; });
    const double width = maxX->x - minX->x;
    const double height = maxY->y - minY->y;
    if (!(width > 0.0 && height > 0.0))
        return std::nullopt; // all the points on one horizontal or vertical line
    std::vector<Point> result;
    for (const Point& p : points)
        result.push_back({(p.x - minX->x) / width, (p.y - minY->y) / height});
    return result;
}

double Cross(Point origin, Point a, Point b)
{
    return (a.x - origin.x) * (b.y - origin.y) - (a.y - origin.y) * (b.x - origin.x);
}

bool LongEnough(Point a, Point b)
{
    return Distance(a, b) >= kMinimumLinePixels;
}

// Whether the segments a-b and c-d lie on one line.
bool OnOneLine(Point a, Point b, Point c, Point d)
{
    const double length = Distance(a, b);
    return std::abs(Cross(a, b, c)) <= kTolerance * length && std::abs(Cross(a, b, d)) <= kTolerance * length;
}

// Every turn of the closed quadrilateral goes the same way, and none is flat.
bool IsStrictlyConvex(const std::vector<Point>& quad)
{
    int positive = 0, negative = 0;
    for (int i = 0; i < 4; ++i) {
        const double turn = Cross(quad[i], quad[(i + 1) % 4], quad[(i + 2) % 4]);
        if (turn > kTolerance)
            ++positive;
        else if (turn < -kTolerance)
            ++negative;
    }
    return positive == 4 || negative == 4;
}

// The convex hull, counter-clockwise in the mathematical sense.
std::vector<Point> ConvexHull(std::vector<Point> points)
{
    std::sort(points.begin(), points.end(), [](Point a, Point b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    std::vector<Point> hull(2 * points.size());
    size_t k = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        while (k >= 2 && Cross(hull[k - 2], hull[k - 1], points[i]) <= 0.0)
            --k;
        hull[k++] = points[i];
    }
    for (size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && Cross(hull[k - 2], hull[k - 1], points[i]) <= 0.0)
            --k;
        hull[k++] = points[i];
    }
    hull.resize(k - 1);
    return hull;
}

// Whether a homogeneous point lies inside the hull or on its border.
bool TouchesHull(const Vector3& point, const std::vector<Point>& hull)
{
    if (std::abs(point[2]) <= kTolerance * Norm(point))
        return false; // a point at infinity
    const Point p{point[0] / point[2], point[1] / point[2]};
    for (size_t i = 0; i < hull.size(); ++i) {
        const Point& a = hull[i];
        const Point& b = hull[(i + 1) % hull.size()];
        if (Cross(a, b, p) < -kTolerance * Distance(a, b))
            return false;
    }
    return true;
}

// Whether every point lies strictly on one side of the line.
bool AllOnOneSide(const Vector3& line, const std::vector<Point>& points)
{
    const double scale = std::hypot(line[0], line[1]) + std::abs(line[2]);
    int positive = 0, negative = 0;
    for (const Point& p : points) {
        const double side = line[0] * p.x + line[1] * p.y + line[2];
        if (side > kTolerance * scale)
            ++positive;
        else if (side < -kTolerance * scale)
            ++negative;
    }
    return positive == int(points.size()) || negative == int(points.size());
}

bool IsQuadrilateralCorrectable(const std::vector<Point>& pixels, const std::vector<Point>& unit)
{
    for (int i = 0; i < 4; ++i)
        if (!LongEnough(pixels[i], pixels[(i + 1) % 4]))
            return false;
    // A strictly convex quadrilateral keeps its vanishing line outside itself.
    return IsStrictlyConvex(unit);
}

bool AreParallelLinesCorrectable(const std::vector<Point>& pixels, const std::vector<Point>& unit)
{
    if (!LongEnough(pixels[0], pixels[1]) || !LongEnough(pixels[2], pixels[3]))
        return false;
    if (OnOneLine(unit[0], unit[1], unit[2], unit[3]))
        return false;
    // The meeting point goes to infinity: inside the points it would fold them.
    const Vector3 meeting = Geometry::Cross(LineThrough(unit[0], unit[1]), LineThrough(unit[2], unit[3]));
    return !TouchesHull(meeting, ConvexHull(unit));
}

bool AreFourLinesCorrectable(const std::vector<Point>& pixels, const std::vector<Point>& unit)
{
    for (int i = 0; i < 8; i += 2)
        if (!LongEnough(pixels[i], pixels[i + 1]))
            return false;
    if (OnOneLine(unit[0], unit[1], unit[2], unit[3]) || OnOneLine(unit[4], unit[5], unit[6], unit[7]))
        return false;
    const Vector3 vertical = Normalized(Geometry::Cross(LineThrough(unit[0], unit[1]), LineThrough(unit[2], unit[3])));
    const Vector3 horizontal = Normalized(Geometry::Cross(LineThrough(unit[4], unit[5]), LineThrough(unit[6], unit[7])));
    // Both vanishing points go to infinity, so the line through them becomes the
    // line at infinity: one vanishing point for both pairs is singular, and a
    // vanishing line through the points would fold them.
    const Vector3 vanishingLine = Geometry::Cross(vertical, horizontal);
    if (Norm(vanishingLine) <= kTolerance)
        return false;
    return AllOnOneSide(vanishingLine, unit);
}

} // namespace

KeystoningTool KeystoningToolForMode(const char* mode)
{
    if (mode && std::strcmp(mode, "Parallel") == 0)
        return KeystoningToolParallel;
    if (mode && std::strcmp(mode, "FourLines") == 0)
        return KeystoningToolFourLines;
    return KeystoningToolRectangle;
}

bool IsPointsConfigurationValid(int tool, const std::vector<double>& points)
{
    const size_t expectedCount = tool == KeystoningToolFourLines ? 16 : 8;
    if (points.size() != expectedCount)
        return false;
    for (double value : points)
        if (!std::isfinite(value))
            return false;
    const std::vector<Point> pixels = ToPoints(points);
    const auto unit = OnUnitSquare(pixels);
    if (!unit)
        return false;
    switch (tool) {
    case KeystoningToolParallel:
        return AreParallelLinesCorrectable(pixels, *unit);
    case KeystoningToolFourLines:
        return AreFourLinesCorrectable(pixels, *unit);
    default:
        return IsQuadrilateralCorrectable(pixels, *unit);
    }
}

} // namespace Navik::Geometry
