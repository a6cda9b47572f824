#pragma once

#include "shell/RotationDirections.h"

// The quarter turns that bring a picture with the EXIF orientation tag
// `orientation` upright, leaving any mirroring aside: 1 and 2 need none,
// 3 and 4 two, 5 and 6 one, 7 and 8 three. 0 (no tag) needs none; a value
// above 8 is reported as an assertion and needs none.
RotationDirections::RotationDirectionsEnum rotationFromExifOrientation(unsigned int orientation);
