#pragma once

// A target's settings turned into geometry: the correction chain, the print
// scaling after it, and the colour transform. Immutable once built, so a
// render keeps using the one it started with while the parameters change.

#include <Navik/Geometry/CorrectionChain.h>

#include "ColorTransform.h"
#include "TargetSettings.h"
#include "Warp.h"

#include <memory>
#include <optional>

namespace Navik::Internal {

class Pyramid;

struct PreparedTarget
{
    static std::shared_ptr<const PreparedTarget> Build(const TargetSettings& settings, const Pyramid& pyramid,
                                                       const Geometry::CameraData& camera,
                                                       unsigned int profileVersion);

    Geometry::Size OutputSize(unsigned int level) const;
    // Output pixels at `level` to input pixels at full resolution.
    OutputMap MapAt(unsigned int level) const;
    std::optional<Geometry::Point> InputToOutput(Geometry::Point input, unsigned int level) const;
    std::optional<Geometry::Point> OutputToInput(Geometry::Point output, unsigned int level) const;

    Geometry::CorrectionChain chain;
    Interpolation interpolation = Interpolation::Bilinear;
    std::shared_ptr<const ColorTransform> colour;
    Geometry::Size size; // at level 0, after the print fitting
    // Output pixels at level 0 to the chain's output pixels (the print fitting).
    double scaleX = 1.0;
    double scaleY = 1.0;
    unsigned int profileVersion = 0; // of the agent's camera profile it was built with
};

} // namespace Navik::Internal
