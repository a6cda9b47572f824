#pragma once

#include <Navik/Geometry/Types.h>

#include <optional>

namespace Navik::Geometry {

// The largest axis-aligned rectangle inside a polygon: of the given
// width / height ratio when ratio > 0, of the largest area otherwise.
//
// Exact (up to rounding) for a convex polygon. A non-convex polygon is replaced
// by the intersection of the inner sides of all its edges, which lies inside
// it, so the rectangle never leaves the polygon but may stop short of the
// polygon's inward bends. When several placements are equally large, the
// rectangle is centred in the room they leave. No value for a polygon without
// area.
std::optional<RectF> LargestInscribedRectangle(const Polygon& polygon, double ratio);

// How far the rectangle reaches beyond the polygon's edges (0 when it lies
// inside), measured as above for a non-convex polygon.
double DistanceOutside(const RectF& rectangle, const Polygon& polygon);

} // namespace Navik::Geometry
