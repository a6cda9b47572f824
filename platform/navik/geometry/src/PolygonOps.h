#pragma once

// Polygon helpers shared by the lens stage, the chain and the automatic crop.

#include <Navik/Geometry/Types.h>

namespace Navik::Geometry {

// The border of the rectangle [0, width] x [0, height], clockwise on screen from
// the top-left corner, with the given number of segments on each side.
Polygon SampleRectangleBorder(double width, double height, int segmentsPerSide);

// The part of the polygon where a x + b y + c >= 0 (Sutherland-Hodgman: exact
// for a convex polygon, and for any polygon a closed outline of the same region
// that may run along the cut twice).
Polygon ClipHalfPlane(const Polygon& polygon, double a, double b, double c);

Polygon ClipToRectangle(const Polygon& polygon, double left, double top, double right, double bottom);

// Positive when the polygon runs clockwise on screen (y down).
double SignedArea(const Polygon& polygon);

} // namespace Navik::Geometry
