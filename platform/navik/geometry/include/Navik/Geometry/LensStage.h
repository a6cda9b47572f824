#pragma once

#include <Navik/Geometry/CorrectionParameters.h>
#include <Navik/Geometry/Types.h>

#include <optional>

namespace Navik::Geometry {

// The first stage of the chain: lens distortion correction, then anamorphosis
// correction. Both are radially or axially symmetric maps about the image
// centre with unit magnification there; the stage's output (the "stage image")
// is as large as the input, or large enough to hold all of it when
// "DistortionAnamorphosisKeepEntireImage" is set.
//
// The stage-to-input direction is closed-form, so a renderer can call
// ToInput once per output pixel; the input-to-stage direction of the radial
// distortion model is solved by Newton's method.
class LensStage
{
public:
    LensStage() = default; // inactive: the identity on an image of size 0 x 0

    static LensStage Build(const CorrectionParameters& parameters, Size inputSize, double focalLengthPixels,
                           std::optional<double> profileRadialDistortion);

    // False when the stage maps every point onto itself; the chain is then one
    // projective transform.
    bool IsActive() const { return m_distortion != Distortion::None || m_anamorphosis != Anamorphosis::None; }

    Size InputSize() const { return m_inputSize; }
    Size OutputSize() const { return m_outputSize; }

    // Stage image to input image; no value for a point that no input point
    // maps to.
    std::optional<Point> ToInput(Point stage) const;

    // Input image to stage image; no value for a point the stage cannot show
    // (beyond the reach of the fisheye model).
    std::optional<Point> ToStage(Point input) const;

    // The border of the input image mapped into the stage image and clipped to
    // it, sampled with the given number of segments per side.
    Polygon Outline(int segmentsPerSide) const;

private:
    enum class Distortion { None, Radial, Fisheye };
    enum class Anamorphosis { None, Spherical, Cylindrical };

    Point CentredToInput(Point p) const;
    std::optional<Point> CentredToStage(Point p) const;
    Size EnclosingSize(bool keepRatio) const;

    Size m_inputSize;
    Size m_outputSize;
    double m_focal = 1.0;          // pixels
    double m_halfDiagonal = 1.0;   // of the input, in pixels

    Distortion m_distortion = Distortion::None;
    double m_radialK = 0.0;        // radial model: r_in = r_out (1 + k (r_out / half diagonal)^2)
    double m_fisheyeK = 0.0;       // fisheye model: r_out = f tan(k theta) / k, theta = r_in / f

    Anamorphosis m_anamorphosis = Anamorphosis::None;
    double m_projectionK = 1.0;    // spherical: r_out = f tan(k theta) / k, theta = atan(r_in / f)
    double m_verticalPower = 0.0;  // cylindrical: y_out = y_in cos(phi)^power
};

} // namespace Navik::Geometry
