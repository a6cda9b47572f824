#pragma once

#include "Navik/Engine.h"

#include <vector>

namespace Navik {

// What a keystoning point set means (see "KeystoningMode").
enum KeystoningTool : int
{
    kKeystoningToolRectangle = 0, // four corners of a quadrilateral; any mode but the two below
    kKeystoningToolParallel = 1,  // two lines of two points each
    kKeystoningToolFourLines = 2, // four lines, the first two to become vertical
};

// The keystoning and horizon correction of the engine: the "Keystoning*" keys.
class Keystoning : public Correction
{
public:
    // Whether the engine can correct with these points: x and y of each point
    // one after the other, in pixels of the input image.
    static bool IsPointsConfigurationValid(KeystoningTool tool, const std::vector<double>& points);
};

} // namespace Navik
