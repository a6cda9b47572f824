#pragma once

#include "shell/RotationDirections.h"

#include <optional>

// The quarter turns that bring a picture with the EXIF orientation tag
// `orientation` upright, leaving any mirroring aside: 1 and 2 need none,
// 3 and 4 two, 5 and 6 one, 7 and 8 three. 0 (no tag) needs none; a value
// above 8 is reported as an assertion and needs none.
RotationDirections::RotationDirectionsEnum rotationFromExifOrientation(unsigned int orientation);

// Whether `rotation` is one of the four turns 0..3.
inline bool isQuarterTurn(int rotation)
{
    return rotation >= RotationDirections::Rotation0 && rotation <= RotationDirections::Rotation270;
}

// The rotation that a state saved with `rotation` under the orientation tag
// `savedOrientation` takes on a photograph tagged `orientation`: a rotation
// that merely followed the saved photograph's tag follows the new tag; any
// other is counted on top of the new tag's turn. Nothing for a rotation
// outside 0..3.
std::optional<RotationDirections::RotationDirectionsEnum> rotationUnderOtherOrientation(int rotation,
                                                                                        int savedOrientation,
                                                                                        int orientation);
