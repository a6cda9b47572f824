#pragma once

// The picture's rotation in quarter turns clockwise, counted modulo 4.

#include <QMetaType>

namespace RotationDirections {

enum RotationDirectionsEnum : int
{
    Rotation0 = 0,
    Rotation90 = 1,
    Rotation180 = 2,
    Rotation270 = 3,
};

// Any number of quarter turns, negative ones included, as 0..3.
inline RotationDirectionsEnum normalized(int quarterTurns)
{
    return static_cast<RotationDirectionsEnum>(((quarterTurns % 4) + 4) % 4);
}

} // namespace RotationDirections

Q_DECLARE_METATYPE(RotationDirections::RotationDirectionsEnum)

// The quarter turns that bring a picture with the EXIF orientation tag
// `orientation` upright, leaving any mirroring aside: 1 and 2 need none,
// 3 and 4 two, 5 and 6 one, 7 and 8 three. 0 (no tag) needs none; a value
// above 8 is reported as an assertion and needs none.
RotationDirections::RotationDirectionsEnum rotationFromExifOrientation(unsigned int orientation);
