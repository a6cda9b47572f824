#include <Navik/Geometry/Homography.h>

#include "LinearAlgebra.h"

#include <cmath>

namespace Navik::Geometry {

Homography Homography::Translation(double dx, double dy)
{
    return Homography({1, 0, dx, 0, 1, dy, 0, 0, 1});
}

Homography Homography::Scaling(double sx, double sy)
{
    return Homography({sx, 0, 0, 0, sy, 0, 0, 0, 1});
}

Homography Homography::operator*(const Homography& right) const
{
    std::array<double, 9> product{};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            for (int k = 0; k < 3; ++k)
                product[row * 3 + column] += m_m[row * 3 + k] * right.m_m[k * 3 + column];
    return Homography(product);
}

double Homography::Determinant() const
{
    const auto& m = m_m;
    return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) + m[2] * (m[3] * m[7] - m[4] * m[6]);
}

Homography Homography::Inverse() const
{
    const auto& m = m_m;
    const double determinant = Determinant();
    if (determinant == 0.0 || !std::isfinite(determinant))
        return Homography(std::array<double, 9>{});
    const std::array<double, 9> adjugate{
        m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
        m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
        m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]};
    std::array<double, 9> inverse{};
    for (int i = 0; i < 9; ++i)
        inverse[i] = adjugate[i] / determinant;
    return Homography(inverse);
}

bool Homography::IsFinite() const
{
    for (double value : m_m)
        if (!std::isfinite(value))
            return false;
    return true;
}

Homography Homography::Normalized() const
{
    double largest = 0.0;
    for (double value : m_m)
        largest = std::max(largest, std::abs(value));
    if (largest == 0.0)
        return *this;
    // Divide by a positive number only: the sign of w tells which side of the
    // vanishing line a point lies on.
    const double divisor = std::abs(m_m[8]) > 1e-12 * largest ? std::abs(m_m[8]) : largest;
    std::array<double, 9> scaled{};
    for (int i = 0; i < 9; ++i)
        scaled[i] = m_m[i] / divisor;
    return Homography(scaled);
}

std::array<double, 3> Homography::MapVector(const std::array<double, 3>& v) const
{
    return {m_m[0] * v[0] + m_m[1] * v[1] + m_m[2] * v[2], m_m[3] * v[0] + m_m[4] * v[1] + m_m[5] * v[2],
            m_m[6] * v[0] + m_m[7] * v[1] + m_m[8] * v[2]};
}

namespace {

// A similarity that moves the points' centroid to the origin and gives them a
// mean distance of sqrt(2) from it, which keeps the linear system well
// conditioned whatever the pixel scale.
Homography ConditioningTransform(const std::array<Point, 4>& points)
{
    Point centroid;
    for (const Point& p : points) {
        centroid.x += p.x / 4.0;
        centroid.y += p.y / 4.0;
    }
    double meanDistance = 0.0;
    for (const Point& p : points)
        meanDistance += std::hypot(p.x - centroid.x, p.y - centroid.y) / 4.0;
    const double scale = meanDistance > 0.0 ? std::sqrt(2.0) / meanDistance : 1.0;
    return Homography::Scaling(scale, scale) * Homography::Translation(-centroid.x, -centroid.y);
}

Point Apply(const Homography& h, Point p)
{
    const auto v = h.MapVector({p.x, p.y, 1.0});
    return {v[0] / v[2], v[1] / v[2]};
}

} // namespace

std::optional<Homography> HomographyFromPoints(const std::array<Point, 4>& source, const std::array<Point, 4>& target)
{
    const Homography conditionSource = ConditioningTransform(source);
    const Homography conditionTarget = ConditioningTransform(target);

    // Eight equations in the eight unknowns h0..h7, with h8 = 1.
    Matrix<8, 9> system{};
    for (int i = 0; i < 4; ++i) {
        const Point s = Apply(conditionSource, source[i]);
        const Point t = Apply(conditionTarget, target[i]);
        system[2 * i] = {s.x, s.y, 1, 0, 0, 0, -t.x * s.x, -t.x * s.y, t.x};
        system[2 * i + 1] = {0, 0, 0, s.x, s.y, 1, -t.y * s.x, -t.y * s.y, t.y};
    }
    const auto solution = SolveAugmented<8>(system);
    if (!solution)
        return std::nullopt;
    std::array<double, 9> h{};
    for (int i = 0; i < 8; ++i)
        h[i] = (*solution)[i];
    h[8] = 1.0;
    const Homography result = (conditionTarget.Inverse() * Homography(h) * conditionSource).Normalized();
    if (!result.IsFinite() || result.Determinant() == 0.0)
        return std::nullopt;
    return result;
}

Homography ToPixelIndexConvention(const Homography& continuous)
{
    return Homography::Translation(-0.5, -0.5) * continuous * Homography::Translation(0.5, 0.5);
}

} // namespace Navik::Geometry
