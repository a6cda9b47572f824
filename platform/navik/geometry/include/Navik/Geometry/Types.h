#pragma once

// Plain value types of the correction geometry.
//
// Coordinates are continuous pixel coordinates: the pixel in column i and row j
// covers [i, i + 1) x [j, j + 1), so its centre lies at (i + 0.5, j + 0.5) and an
// image of W x H pixels spans [0, W] x [0, H]. The y axis points down.

#include <vector>

namespace Navik::Geometry {

struct Point
{
    double x = 0.0;
    double y = 0.0;
};

struct Size
{
    int width = 0;
    int height = 0;

    bool operator==(const Size&) const = default;
};

// An axis-aligned rectangle: left, top, width and height, in the order the
// crop keys store them.
struct RectF
{
    double left = 0.0;
    double top = 0.0;
    double width = 0.0;
    double height = 0.0;

    double right() const { return left + width; }
    double bottom() const { return top + height; }
};

// A rectangle of whole pixels.
struct PixelRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const PixelRect&) const = default;
};

// A closed polygon: the last vertex joins the first.
using Polygon = std::vector<Point>;

} // namespace Navik::Geometry
