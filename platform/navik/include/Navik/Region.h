#pragma once

namespace Navik {

// A rectangle of pixels: left, top, width, height.
struct Region
{
    Region() = default;
    Region(int left, int top, int width, int height) : x(left), y(top), width(width), height(height) {}

    bool IsEmpty() const { return width <= 0 || height <= 0; }

    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

} // namespace Navik
