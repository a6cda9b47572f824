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
