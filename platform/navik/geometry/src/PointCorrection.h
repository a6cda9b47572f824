#pragma once

// The correction that the keystoning points ask for, found as a rotation of a
// virtual camera followed by a residual projective fix:
//     H = C K R K^-1,  K = diag(f, f, 1),
// in pixel coordinates relative to the image centre. R turns the vanishing
// directions of the lines that must become vertical (and horizontal) onto the
// camera's y (and x) axis, so proportions stay those a real camera would see.
// C makes the result exact: it sends the remaining vanishing points to
// infinity along the axes. C is the identity up to rounding whenever a
// rotation suffices, and carries the rest of the correction otherwise (two
// vanishing directions that are not perpendicular for this focal length).

#include <Navik/Geometry/Homography.h>
#include <Navik/Geometry/PointsValidity.h>

#include <array>
#include <optional>
#include <vector>

namespace Navik::Geometry {

struct PointCorrection
{
    Homography rotation; // R
    Homography residual; // C
};

// The correction for points (relative to the image centre, in pixels) in the
// order the keystoning tools send them; no value when they leave it undetermined.
std::optional<PointCorrection> SolvePointCorrection(KeystoningTool tool, const std::vector<Point>& points, double focalPixels);

// The correction applied with a strength from 0 (identity) to 1 (all of it):
// the camera turns by that fraction of its angle, and the residual moves the
// anchor points that fraction of the way to where it puts them (after the
// uniform scale and shift that fit it best, so that the blend does not zoom).
Homography BlendPointCorrection(const PointCorrection& correction, double strength, double focalPixels,
                                const std::array<Point, 4>& anchors);

} // namespace Navik::Geometry
