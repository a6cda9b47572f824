#include <Navik/Geometry/LensStage.h>

#include "LinearAlgebra.h"
#include "PolygonOps.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Navik::Geometry {

namespace {

constexpr double kHalfPi = 0.5 * kPi;

// Radial coefficient at an intensity of 100 for the "Barrel" type. Intensities
// are clamped to +-125 %, which keeps |k| <= 0.1: beyond that the radial model
// stops being one-to-one over the image.
constexpr double kBarrelCoefficient = -0.08;
constexpr double kMaxRadialCoefficient = 0.1;
// Projection parameter of the "Fisheye" type at an intensity of 100.
constexpr double kFisheyeStrength = 0.75;
// The stage image never grows beyond this many times the input, per side.
constexpr double kMaxStageGrowth = 4.0;

// f tan(k theta) / k, the family of projections that runs from the equidistant
// one (k = 0) through the stereographic one (k = 0.5) to the rectilinear one (k = 1).
double ProjectedRadius(double theta, double k, double focal)
{
    return k > 1e-9 ? focal * std::tan(k * theta) / k : focal * theta;
}

// The angle theta whose ProjectedRadius is the given radius.
double AngleOfProjectedRadius(double radius, double k, double focal)
{
    return k > 1e-9 ? std::atan(k * radius / focal) / k : radius / focal;
}

// |p|; std::hypot's care for overflow costs more than pixel coordinates need.
double Radius(Point p)
{
    return std::sqrt(p.x * p.x + p.y * p.y);
}

// Scales p so that its distance from the origin becomes newRadius.
Point WithRadius(Point p, double radius, double newRadius)
{
    if (radius <= 0.0)
        return p;
    const double factor = newRadius / radius;
    return {p.x * factor, p.y * factor};
}

} // namespace

LensStage LensStage::Build(const CorrectionParameters& parameters, Size inputSize, double focalLengthPixels,
                           std::optional<double> profileRadialDistortion)
{
    LensStage stage;
    stage.m_inputSize = inputSize;
    stage.m_outputSize = inputSize;
    stage.m_focal = focalLengthPixels;
    stage.m_halfDiagonal = std::max(0.5, 0.5 * std::hypot(inputSize.width, inputSize.height));

    if (parameters.distortionActive) {
        const double intensity = std::isfinite(parameters.distortionIntensity) ? parameters.distortionIntensity : 100.0;
        const std::string& type = parameters.distortionType;
        double radial = 0.0;
        if (type == "Barrel")
            radial = kBarrelCoefficient * intensity / 100.0;
        else if (type == "Auto" && profileRadialDistortion && std::isfinite(*profileRadialDistortion))
            radial = *profileRadialDistortion * intensity / 100.0;
        radial = std::clamp(radial, -kMaxRadialCoefficient, kMaxRadialCoefficient);
        if (type == "Fisheye" && intensity > 0.0) {
            stage.m_distortion = Distortion::Fisheye;
            stage.m_fisheyeK = kFisheyeStrength * std::min(intensity, 100.0) / 100.0;
        } else if (radial != 0.0) {
            stage.m_distortion = Distortion::Radial;
            stage.m_radialK = radial;
        }
    }

    if (parameters.anamorphosisActive) {
        auto strength = [](double value, double maximum) {
            return std::isfinite(value) ? std::clamp(value, 0.0, maximum) : 0.0;
        };
        if (parameters.anamorphosisType == "Spherical") {
            stage.m_projectionK = 1.0 - strength(parameters.anamorphosisRadial, 200.0) / 200.0;
            if (stage.m_projectionK < 1.0)
                stage.m_anamorphosis = Anamorphosis::Spherical;
        } else if (parameters.anamorphosisType == "Cylindrical") {
            stage.m_projectionK = 1.0 - strength(parameters.anamorphosisHorizontal, 200.0) / 200.0;
            stage.m_verticalPower = strength(parameters.anamorphosisVertical, 100.0) / 100.0;
            if (stage.m_projectionK < 1.0 || stage.m_verticalPower > 0.0)
                stage.m_anamorphosis = Anamorphosis::Cylindrical;
        }
    }

    if (stage.IsActive() && parameters.distortionAnamorphosisKeepEntireImage)
        stage.m_outputSize = stage.EnclosingSize(parameters.distortionKeepRatio);
    return stage;
}

Size LensStage::EnclosingSize(bool keepRatio) const
{
    double halfWidth = 0.5 * m_inputSize.width;
    double halfHeight = 0.5 * m_inputSize.height;
    // Every model is symmetric about the centre, so the half extents of the
    // mapped border give the size.
    const Point inputCentre{0.5 * m_inputSize.width, 0.5 * m_inputSize.height};
    for (const Point& p : SampleRectangleBorder(m_inputSize.width, m_inputSize.height, 64)) {
        const auto mapped = CentredToStage({p.x - inputCentre.x, p.y - inputCentre.y});
        if (!mapped)
            continue;
        halfWidth = std::max(halfWidth, std::abs(mapped->x));
        halfHeight = std::max(halfHeight, std::abs(mapped->y));
    }
    halfWidth = std::min(halfWidth, 0.5 * kMaxStageGrowth * m_inputSize.width);
    halfHeight = std::min(halfHeight, 0.5 * kMaxStageGrowth * m_inputSize.height);
    if (keepRatio && m_inputSize.width > 0 && m_inputSize.height > 0) {
        const double ratio = double(m_inputSize.width) / m_inputSize.height;
        if (halfWidth / halfHeight < ratio)
            halfWidth = halfHeight * ratio;
        else
            halfHeight = halfWidth / ratio;
    }
    return {std::max(1, int(std::ceil(2.0 * halfWidth - 1e-6))), std::max(1, int(std::ceil(2.0 * halfHeight - 1e-6)))};
}

std::optional<Point> LensStage::ToInput(Point stage) const
{
    const Point centred = CentredToInput({stage.x - 0.5 * m_outputSize.width, stage.y - 0.5 * m_outputSize.height});
    if (!std::isfinite(centred.x) || !std::isfinite(centred.y))
        return std::nullopt;
    return Point{centred.x + 0.5 * m_inputSize.width, centred.y + 0.5 * m_inputSize.height};
}

std::optional<Point> LensStage::ToStage(Point input) const
{
    const auto centred = CentredToStage({input.x - 0.5 * m_inputSize.width, input.y - 0.5 * m_inputSize.height});
    if (!centred)
        return std::nullopt;
    return Point{centred->x + 0.5 * m_outputSize.width, centred->y + 0.5 * m_outputSize.height};
}

Point LensStage::CentredToInput(Point p) const
{
    constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
    // Undo the anamorphosis correction: from its output back to a rectilinear image.
    if (m_anamorphosis == Anamorphosis::Spherical) {
        const double radius = Radius(p);
        const double theta = AngleOfProjectedRadius(radius, m_projectionK, m_focal);
        if (theta >= kHalfPi)
            return {kNone, kNone};
        p = WithRadius(p, radius, m_focal * std::tan(theta));
    } else if (m_anamorphosis == Anamorphosis::Cylindrical) {
        const double phi = AngleOfProjectedRadius(std::abs(p.x), m_projectionK, m_focal);
        if (phi >= kHalfPi)
            return {kNone, kNone};
        p = {std::copysign(m_focal * std::tan(phi), p.x), p.y / std::pow(std::cos(phi), m_verticalPower)};
    }
    // Undo the lens correction: from a corrected image back to the camera's.
    if (m_distortion == Distortion::Radial) {
        const double rho = Radius(p) / m_halfDiagonal;
        const double factor = 1.0 + m_radialK * rho * rho;
        p = {p.x * factor, p.y * factor};
    } else if (m_distortion == Distortion::Fisheye) {
        const double radius = Radius(p);
        p = WithRadius(p, radius, m_focal * AngleOfProjectedRadius(radius, m_fisheyeK, m_focal));
    }
    return p;
}

std::optional<Point> LensStage::CentredToStage(Point p) const
{
    if (m_distortion == Distortion::Radial) {
        // Solve r (1 + k r^2 / D^2) = |p| for r; the model is increasing over
        // the image for the coefficients Build allows.
        const double target = Radius(p);
        const double k = m_radialK / (m_halfDiagonal * m_halfDiagonal);
        // Starting from the first-order inverse, Newton's method needs two or
        // three steps.
        double radius = target / (1.0 + k * target * target);
        for (int i = 0; i < 30; ++i) {
            const double slope = 1.0 + 3.0 * k * radius * radius;
            if (slope <= 0.0)
                return std::nullopt;
            const double step = (radius * (1.0 + k * radius * radius) - target) / slope;
            radius -= step;
            if (std::abs(step) <= 1e-7 * (1.0 + radius)) // the error left is about the square of the step
                break;
        }
        p = WithRadius(p, target, radius);
    } else if (m_distortion == Distortion::Fisheye) {
        const double radius = Radius(p);
        const double theta = radius / m_focal;
        if (m_fisheyeK * theta >= kHalfPi * 0.999)
            return std::nullopt;
        p = WithRadius(p, radius, ProjectedRadius(theta, m_fisheyeK, m_focal));
    }
    if (m_anamorphosis == Anamorphosis::Spherical) {
        const double radius = Radius(p);
        p = WithRadius(p, radius, ProjectedRadius(std::atan(radius / m_focal), m_projectionK, m_focal));
    } else if (m_anamorphosis == Anamorphosis::Cylindrical) {
        const double phi = std::atan(std::abs(p.x) / m_focal);
        p = {std::copysign(ProjectedRadius(phi, m_projectionK, m_focal), p.x), p.y * std::pow(std::cos(phi), m_verticalPower)};
    }
    return p;
}

Polygon LensStage::Outline(int segmentsPerSide) const
{
    const Polygon border = SampleRectangleBorder(m_inputSize.width, m_inputSize.height, IsActive() ? segmentsPerSide : 1);
    Polygon mapped;
    mapped.reserve(border.size());
    for (const Point& p : border)
        if (const auto stage = ToStage(p))
            mapped.push_back(*stage);
    return ClipToRectangle(mapped, 0.0, 0.0, m_outputSize.width, m_outputSize.height);
}

} // namespace Navik::Geometry
