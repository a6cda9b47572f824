#pragma once

// Small dense linear algebra for the geometry: fixed-size systems and 3-vectors.

#include <Navik/Geometry/Types.h>

#include <array>
#include <cmath>
#include <optional>
#include <utility>

namespace Navik::Geometry {

template<int Rows, int Columns>
using Matrix = std::array<std::array<double, Columns>, Rows>;

// Solves the N x N system whose right-hand side is the last column of the
// augmented matrix, by Gaussian elimination with partial pivoting; no value when
// the system is singular.
template<int N>
std::optional<std::array<double, N>> SolveAugmented(Matrix<N, N + 1> a)
{
    for (int column = 0; column < N; ++column) {
        int pivot = column;
        for (int row = column + 1; row < N; ++row)
            if (std::abs(a[row][column]) > std::abs(a[pivot][column]))
                pivot = row;
        if (!(std::abs(a[pivot][column]) > 1e-300))
            return std::nullopt;
        std::swap(a[pivot], a[column]);
        for (int row = column + 1; row < N; ++row) {
            const double factor = a[row][column] / a[column][column];
            for (int k = column; k <= N; ++k)
                a[row][k] -= factor * a[column][k];
        }
    }
    std::array<double, N> x{};
    for (int row = N - 1; row >= 0; --row) {
        double sum = a[row][N];
        for (int k = row + 1; k < N; ++k)
            sum -= a[row][k] * x[k];
        x[row] = sum / a[row][row];
    }
    for (double value : x)
        if (!std::isfinite(value))
            return std::nullopt;
    return x;
}

using Vector3 = std::array<double, 3>;

inline Vector3 Cross(const Vector3& a, const Vector3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

inline double Dot(const Vector3& a, const Vector3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

inline double Norm(const Vector3& a)
{
    return std::sqrt(Dot(a, a));
}

inline Vector3 Scaled(const Vector3& a, double factor)
{
    return {a[0] * factor, a[1] * factor, a[2] * factor};
}

inline Vector3 Normalized(const Vector3& a)
{
    const double norm = Norm(a);
    return norm > 0.0 ? Scaled(a, 1.0 / norm) : a;
}

inline double Distance(Point a, Point b)
{
    return std::hypot(b.x - a.x, b.y - a.y);
}

inline constexpr double kPi = 3.14159265358979323846;

// The homogeneous line through two points, scaled to unit length.
inline Vector3 LineThrough(Point a, Point b)
{
    return Normalized(Cross(Vector3{a.x, a.y, 1.0}, Vector3{b.x, b.y, 1.0}));
}

} // namespace Navik::Geometry
