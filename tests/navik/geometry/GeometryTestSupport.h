#pragma once

// Synthetic scenes for the correction geometry tests.

#include <Navik/Geometry/CorrectionChain.h>

#include <QtTest>

#include <cmath>
#include <vector>

namespace GeometryTest {

using namespace Navik::Geometry;

constexpr double kPi = 3.14159265358979323846;

inline double Radians(double degrees)
{
    return degrees * kPi / 180.0;
}

// The focal length in pixels that the chain derives from a 35 mm-equivalent one.
inline double FocalPixels(Size image, double focal35)
{
    return focal35 / std::hypot(36.0, 24.0) * std::hypot(image.width, image.height);
}

// What a camera turned by pitch (about x), then yaw (about y), then roll (about
// the viewing axis) sees of a point that the untilted camera sees at p: the
// homography K R K^-1 about the image centre.
inline Point TiltedView(Point p, Size image, double focal, double pitch, double yaw, double roll)
{
    const double cx = 0.5 * image.width, cy = 0.5 * image.height;
    double x = (p.x - cx) / focal, y = (p.y - cy) / focal, z = 1.0;
    // pitch
    double y1 = std::cos(pitch) * y - std::sin(pitch) * z, z1 = std::sin(pitch) * y + std::cos(pitch) * z;
    y = y1;
    z = z1;
    // yaw
    double x2 = std::cos(yaw) * x + std::sin(yaw) * z, z2 = -std::sin(yaw) * x + std::cos(yaw) * z;
    x = x2;
    z = z2;
    // roll
    double x3 = std::cos(roll) * x - std::sin(roll) * y, y3 = std::sin(roll) * x + std::cos(roll) * y;
    return {cx + focal * x3 / z, cy + focal * y3 / z};
}

// Pixel points as the fractions of the image that "KeystoningPoints" holds.
inline std::vector<double> Normalised(const std::vector<Point>& points, Size image)
{
    std::vector<double> values;
    for (const Point& p : points) {
        values.push_back(p.x / image.width);
        values.push_back(p.y / image.height);
    }
    return values;
}

inline Point Mapped(const CorrectionChain& chain, Point input)
{
    const auto output = chain.InputToOutput(input);
    if (!output)
        qFatal("a point of the scene has no image");
    return *output;
}

// The angle of the segment a-b from the vertical (or horizontal) axis, in radians.
inline double TiltFromVertical(Point a, Point b)
{
    return std::atan((b.x - a.x) / (b.y - a.y));
}

inline double TiltFromHorizontal(Point a, Point b)
{
    return std::atan((b.y - a.y) / (b.x - a.x));
}

inline double Distance(Point a, Point b)
{
    return std::hypot(b.x - a.x, b.y - a.y);
}

} // namespace GeometryTest
