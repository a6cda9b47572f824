#include "engine/ExifRotation.h"

#include "utils/Logger.h"

#include <array>

RotationDirections::RotationDirectionsEnum rotationFromExifOrientation(unsigned int orientation)
{
    using namespace RotationDirections;
    // Index: the tag. Mirrored orientations turn like their unmirrored partners.
    static constexpr std::array<RotationDirectionsEnum, 9> rotations = {
        Rotation0,   // no tag
        Rotation0,   // 1 upright
        Rotation0,   // 2 mirrored
        Rotation180, // 3
        Rotation180, // 4 mirrored
        Rotation90,  // 5 mirrored
        Rotation90,  // 6
        Rotation270, // 7 mirrored
        Rotation270, // 8
    };
    if (orientation >= rotations.size()) {
        ASSERT(orientation < rotations.size());
        return Rotation0;
    }
    return rotations[orientation];
}

std::optional<RotationDirections::RotationDirectionsEnum> rotationUnderOtherOrientation(int rotation,
                                                                                        int savedOrientation,
                                                                                        int orientation)
{
    if (!isQuarterTurn(rotation))
        return std::nullopt;
    // A negative tag reads as one beyond the table.
    const RotationDirections::RotationDirectionsEnum tagRotation = rotationFromExifOrientation(unsigned(orientation));
    if (rotation == rotationFromExifOrientation(unsigned(savedOrientation)))
        return tagRotation;
    return RotationDirections::normalized(rotation + tagRotation);
}
