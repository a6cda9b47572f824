#pragma once

// Rotations of a virtual camera and the homographies they induce. Rotations are
// 3 x 3 matrices held in a Homography; camera coordinates have x to the right,
// y down and z along the viewing direction, and image points are taken
// relative to the image centre (the principal point).

#include <Navik/Geometry/Homography.h>

#include "LinearAlgebra.h"

namespace Navik::Geometry {

Homography RotationAboutX(double radians);
Homography RotationAboutY(double radians);
// Clockwise on screen for a positive angle (the y axis points down).
Homography RotationAboutZ(double radians);

// The smallest rotation that turns the unit vector from into the unit vector to.
Homography RotationTaking(const Vector3& from, const Vector3& to);

// The rotation about the same axis by the fraction t of the angle.
Homography RotationPower(const Homography& rotation, double t);

// K R K^-1 with K = diag(f, f, 1): the image of a camera turned by R.
Homography CameraRotationHomography(const Homography& rotation, double focalPixels);

// The viewing direction of a homogeneous image point (relative to the centre).
Vector3 DirectionOfImagePoint(const Vector3& point, double focalPixels);

} // namespace Navik::Geometry
