#pragma once

#include <Navik/Geometry/Types.h>

#include <array>
#include <optional>

namespace Navik::Geometry {

// A 3 x 3 projective transform. A point (x, y) maps to
// ((m0 x + m1 y + m2) / w, (m3 x + m4 y + m5) / w) with w = m6 x + m7 y + m8:
// the elements are stored row after row, which is also the order of the nine
// doubles that the transform keys of a parameter dictionary hold.
class Homography
{
public:
    Homography() = default; // the identity
    explicit Homography(const std::array<double, 9>& rowMajor) : m_m(rowMajor) {}

    static Homography Translation(double dx, double dy);
    static Homography Scaling(double sx, double sy);

    double operator()(int row, int column) const { return m_m[row * 3 + column]; }
    const std::array<double, 9>& RowMajor() const { return m_m; }

    Homography operator*(const Homography& right) const;
    Homography Inverse() const; // all zeros when singular
    double Determinant() const;
    bool IsFinite() const;

    // The same transform divided by the magnitude of its last element, or, when
    // that element is (nearly) 0, by that of its largest one. The factor is
    // positive, so the side of the vanishing line a point lies on is kept.
    Homography Normalized() const;

    // The denominator w of a point: positive on the side of the vanishing line
    // that the transform keeps in front of the camera.
    double W(Point p) const { return m_m[6] * p.x + m_m[7] * p.y + m_m[8]; }

    // Maps a point; no value when it lands on or beyond the vanishing line (w <= 0).
    std::optional<Point> Map(Point p) const
    {
        const double w = W(p);
        if (!(w > 0.0))
            return std::nullopt;
        return Point{(m_m[0] * p.x + m_m[1] * p.y + m_m[2]) / w, (m_m[3] * p.x + m_m[4] * p.y + m_m[5]) / w};
    }

    // Maps a homogeneous vector (x, y, w).
    std::array<double, 3> MapVector(const std::array<double, 3>& v) const;

private:
    std::array<double, 9> m_m{1, 0, 0, 0, 1, 0, 0, 0, 1};
};

// The homography that takes each of the four source points to the target point
// of the same index; no value when the points leave it undetermined.
std::optional<Homography> HomographyFromPoints(const std::array<Point, 4>& source, const std::array<Point, 4>& target);

// The same transform in pixel-index coordinates, where the centre of pixel
// (i, j) is (i, j) rather than (i + 0.5, j + 0.5): what a renderer that walks
// pixel indices wants.
Homography ToPixelIndexConvention(const Homography& continuous);

} // namespace Navik::Geometry
