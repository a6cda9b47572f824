#pragma once

// Everything a target reads from its parameter dictionary, read in this one
// place: the geometric keys into the geometry's CorrectionParameters, and the
// output keys (interpolation, colour profile, print size).

#include "Navik/Agent.h"
#include "Navik/Value.h"

#include <Navik/Geometry/CorrectionParameters.h>

#include "EngineState.h"
#include "Warp.h"

#include <optional>
#include <string>

namespace Navik::Internal {

// The box a print render is fitted into, in pixels; a side of 0 is free.
struct PrintBox
{
    double width = 0.0;
    double height = 0.0;
};

struct TargetSettings
{
    Geometry::CorrectionParameters geometry;
    Interpolation interpolation = Interpolation::Bilinear;
    std::string outputProfile;      // "OutputICCProfile"
    std::optional<PrintBox> print;  // mode 2 with a usable print size only
};

TargetSettings ReadTargetSettings(const Dictionary& parameters, CorrectionMode mode, const LensStageOptions& lens);

} // namespace Navik::Internal
