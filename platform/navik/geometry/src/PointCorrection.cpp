#include "PointCorrection.h"

#include "CameraRotation.h"
#include "LinearAlgebra.h"

#include <cmath>

namespace Navik::Geometry {

namespace {

// Two vanishing directions count as perpendicular, so that one camera rotation
// turns both onto the axes, when they are within 5 degrees of a right angle.
const double kPerpendicularCosine = std::sin(5.0 * kPi / 180.0);
constexpr double kTiny = 1e-12;

// Vanishing points (homogeneous) of the lines that must become vertical and of
// those that must become horizontal.
struct VanishingPoints
{
    std::optional<Vector3> vertical;
    std::optional<Vector3> horizontal;
};

Vector3 Meeting(Point a, Point b, Point c, Point d)
{
    return Normalized(Cross(LineThrough(a, b), LineThrough(c, d)));
}

// Of two lines, the steeper ones on average are meant to become vertical.
bool AreMostlyVertical(Point a, Point b, Point c, Point d)
{
    auto steepness = [](Point p, Point q) { return std::atan2(std::abs(q.y - p.y), std::abs(q.x - p.x)); };
    return steepness(a, b) + steepness(c, d) > 0.5 * kPi;
}

VanishingPoints VanishingPointsOf(KeystoningTool tool, const std::vector<Point>& p)
{
    switch (tool) {
    case KeystoningToolParallel: {
        const Vector3 meeting = Meeting(p[0], p[1], p[2], p[3]);
        if (AreMostlyVertical(p[0], p[1], p[2], p[3]))
            return {meeting, std::nullopt};
        return {std::nullopt, meeting};
    }
    case KeystoningToolFourLines:
        return {Meeting(p[0], p[1], p[2], p[3]), Meeting(p[4], p[5], p[6], p[7])};
    default:
        // LeftTop, LeftBottom, RightBottom, RightTop: left and right sides
        // become vertical, top and bottom horizontal.
        return {Meeting(p[0], p[1], p[3], p[2]), Meeting(p[0], p[3], p[1], p[2])};
    }
}

bool AreMutuallyPerpendicular(const VanishingPoints& vanishing, double focal)
{
    if (!vanishing.vertical || !vanishing.horizontal)
        return false;
    const Vector3 vertical = DirectionOfImagePoint(*vanishing.vertical, focal);
    const Vector3 horizontal = DirectionOfImagePoint(*vanishing.horizontal, focal);
    return std::abs(Dot(vertical, horizontal)) <= kPerpendicularCosine;
}

Vector3 WithPositive(const Vector3& v, int axis)
{
    return v[axis] < 0.0 ? Scaled(v, -1.0) : v;
}

// The camera rotation: both directions onto the axes when they are
// perpendicular, else the vertical one alone (or the one there is).
Homography CameraRotationFor(const VanishingPoints& vanishing, double focal)
{
    const Vector3 yAxis{0.0, 1.0, 0.0};
    const Vector3 xAxis{1.0, 0.0, 0.0};
    if (!vanishing.vertical)
        return RotationTaking(WithPositive(DirectionOfImagePoint(*vanishing.horizontal, focal), 0), xAxis);
    const Vector3 vertical = WithPositive(DirectionOfImagePoint(*vanishing.vertical, focal), 1);
    const Homography verticalOnly = RotationTaking(vertical, yAxis);
    if (!vanishing.horizontal)
        return verticalOnly;
    if (!AreMutuallyPerpendicular(vanishing, focal))
        return verticalOnly;
    const Vector3 horizontal = WithPositive(DirectionOfImagePoint(*vanishing.horizontal, focal), 0);
    // Rows: the horizontal direction made exactly perpendicular, the vertical
    // one, and their cross product, the new viewing direction.
    const Vector3 across = Normalized({horizontal[0] - Dot(horizontal, vertical) * vertical[0],
                                       horizontal[1] - Dot(horizontal, vertical) * vertical[1],
                                       horizontal[2] - Dot(horizontal, vertical) * vertical[2]});
    const Vector3 view = Cross(across, vertical);
    if (view[2] <= 0.0)
        return verticalOnly; // the camera would have to look backwards
    return Homography({across[0], across[1], across[2], vertical[0], vertical[1], vertical[2], view[0], view[1], view[2]});
}

// The projective fix that sends the vanishing points, as the camera rotation
// leaves them, to infinity along the y and x axes.
std::optional<Homography> ResidualFor(const VanishingPoints& vanishing, const Homography& camera)
{
    std::array<double, 9> m{1, 0, 0, 0, 1, 0, 0, 0, 1};
    std::optional<Vector3> vertical, horizontal;
    if (vanishing.vertical) {
        vertical = camera.MapVector(*vanishing.vertical);
        const Vector3& u = *vertical;
        if (std::abs(u[1]) <= kTiny * Norm(u))
            return std::nullopt;
        m[1] = -u[0] / u[1];
        m[7] = -u[2] / u[1];
    }
    if (vanishing.horizontal) {
        horizontal = camera.MapVector(*vanishing.horizontal);
        const Vector3& u = *horizontal;
        if (std::abs(u[0]) <= kTiny * Norm(u))
            return std::nullopt;
        m[3] = -u[1] / u[0];
        m[6] = -u[2] / u[0];
    }
    if (vertical && horizontal) {
        // The line through both points becomes the line at infinity.
        const Vector3 line = Cross(*vertical, *horizontal);
        if (std::abs(line[2]) <= kTiny * Norm(line))
            return std::nullopt; // it runs through the image centre
        m[6] = line[0] / line[2];
        m[7] = line[1] / line[2];
    }
    return Homography(m);
}

// Where the metric shape is out of reach, the rectangle takes the ratio of the
// mean lengths of the quadrilateral's sides: the horizontal scale that gives
// the corrected quadrilateral that ratio.
std::optional<double> MeanSideRatioScale(const Homography& correction, const std::vector<Point>& quad)
{
    std::array<Point, 4> mapped;
    for (int i = 0; i < 4; ++i) {
        const auto m = correction.Map(quad[i]);
        if (!m)
            return std::nullopt;
        mapped[i] = *m;
    }
    const double width = 0.5 * (std::abs(mapped[3].x - mapped[0].x) + std::abs(mapped[2].x - mapped[1].x));
    const double height = 0.5 * (std::abs(mapped[1].y - mapped[0].y) + std::abs(mapped[2].y - mapped[3].y));
    const double wanted = (Distance(quad[0], quad[3]) + Distance(quad[1], quad[2])) /
                          (Distance(quad[0], quad[1]) + Distance(quad[3], quad[2]));
    if (!(width > 0.0 && height > 0.0))
        return std::nullopt;
    return wanted * height / width;
}

// The residual moved part of the way from the identity (see BlendPointCorrection).
Homography BlendResidual(const Homography& residual, double strength, const std::array<Point, 4>& anchors)
{
    std::array<Point, 4> mapped;
    for (int i = 0; i < 4; ++i) {
        const auto m = residual.Map(anchors[i]);
        if (!m)
            return strength >= 1.0 ? residual : Homography();
        mapped[i] = *m;
    }
    // The uniform scale s and shift d with s * mapped + d closest to anchors.
    Point meanAnchor, meanMapped;
    for (int i = 0; i < 4; ++i) {
        meanAnchor = {meanAnchor.x + anchors[i].x / 4, meanAnchor.y + anchors[i].y / 4};
        meanMapped = {meanMapped.x + mapped[i].x / 4, meanMapped.y + mapped[i].y / 4};
    }
    double product = 0.0, spread = 0.0;
    for (int i = 0; i < 4; ++i) {
        const Point a{anchors[i].x - meanAnchor.x, anchors[i].y - meanAnchor.y};
        const Point m{mapped[i].x - meanMapped.x, mapped[i].y - meanMapped.y};
        product += a.x * m.x + a.y * m.y;
        spread += m.x * m.x + m.y * m.y;
    }
    const double scale = spread > 0.0 ? product / spread : 1.0;
    std::array<Point, 4> targets;
    for (int i = 0; i < 4; ++i) {
        const Point fitted{meanAnchor.x + scale * (mapped[i].x - meanMapped.x), meanAnchor.y + scale * (mapped[i].y - meanMapped.y)};
        targets[i] = {anchors[i].x + strength * (fitted.x - anchors[i].x), anchors[i].y + strength * (fitted.y - anchors[i].y)};
    }
    const auto blended = HomographyFromPoints(anchors, targets);
    return blended ? *blended : (strength >= 1.0 ? residual : Homography());
}

} // namespace

std::optional<PointCorrection> SolvePointCorrection(KeystoningTool tool, const std::vector<Point>& points, double focalPixels)
{
    const VanishingPoints vanishing = VanishingPointsOf(tool, points);
    const Homography rotation = CameraRotationFor(vanishing, focalPixels);
    const Homography camera = CameraRotationHomography(rotation, focalPixels);
    auto residual = ResidualFor(vanishing, camera);
    if (!residual)
        return std::nullopt;
    if (tool == KeystoningToolRectangle && !AreMutuallyPerpendicular(vanishing, focalPixels)) {
        const auto scale = MeanSideRatioScale(*residual * camera, points);
        if (!scale)
            return std::nullopt;
        residual = Homography::Scaling(*scale, 1.0) * *residual;
    }
    return PointCorrection{rotation, *residual};
}

Homography BlendPointCorrection(const PointCorrection& correction, double strength, double focalPixels,
                                const std::array<Point, 4>& anchors)
{
    if (strength <= 0.0)
        return Homography();
    const Homography camera = CameraRotationHomography(RotationPower(correction.rotation, strength), focalPixels);
    return BlendResidual(correction.residual, strength, anchors) * camera;
}

} // namespace Navik::Geometry
