#include "CameraRotation.h"

#include <algorithm>
#include <cmath>

namespace Navik::Geometry {

namespace {

// Rodrigues' formula for a unit axis.
Homography RotationAbout(const Vector3& axis, double radians)
{
    const double c = std::cos(radians), s = std::sin(radians), v = 1.0 - c;
    const double x = axis[0], y = axis[1], z = axis[2];
    return Homography({c + x * x * v, x * y * v - z * s, x * z * v + y * s,
                       y * x * v + z * s, c + y * y * v, y * z * v - x * s,
                       z * x * v - y * s, z * y * v + x * s, c + z * z * v});
}

} // namespace

Homography RotationAboutX(double radians)
{
    return RotationAbout({1.0, 0.0, 0.0}, radians);
}

Homography RotationAboutY(double radians)
{
    return RotationAbout({0.0, 1.0, 0.0}, radians);
}

Homography RotationAboutZ(double radians)
{
    return RotationAbout({0.0, 0.0, 1.0}, radians);
}

Homography RotationTaking(const Vector3& from, const Vector3& to)
{
    const Vector3 axis = Cross(from, to);
    const double sine = Norm(axis);
    if (sine <= 1e-15)
        return Homography();
    return RotationAbout(Scaled(axis, 1.0 / sine), std::atan2(sine, Dot(from, to)));
}

Homography RotationPower(const Homography& rotation, double t)
{
    const Homography& r = rotation;
    // The axis is the antisymmetric part; the angle comes from the trace and it.
    const Vector3 twiceSineAxis{r(2, 1) - r(1, 2), r(0, 2) - r(2, 0), r(1, 0) - r(0, 1)};
    const double twiceSine = Norm(twiceSineAxis);
    const double angle = std::atan2(twiceSine, r(0, 0) + r(1, 1) + r(2, 2) - 1.0);
    if (twiceSine <= 1e-15)
        return Homography(); // no turn (a half turn never arises from a correction)
    return RotationAbout(Scaled(twiceSineAxis, 1.0 / twiceSine), t * angle);
}

Homography CameraRotationHomography(const Homography& rotation, double focalPixels)
{
    const double f = focalPixels;
    const Homography& r = rotation;
    return Homography({r(0, 0), r(0, 1), f * r(0, 2),
                       r(1, 0), r(1, 1), f * r(1, 2),
                       r(2, 0) / f, r(2, 1) / f, r(2, 2)});
}

Vector3 DirectionOfImagePoint(const Vector3& point, double focalPixels)
{
    return Normalized({point[0] / focalPixels, point[1] / focalPixels, point[2]});
}

} // namespace Navik::Geometry
