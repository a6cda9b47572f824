#pragma once

namespace Navik {

class CalibrationModule;
class Exif;

// The camera's field of view as the EXIF focal data give it.
class CameraBody
{
public:
    // True when the EXIF holds the focal data GetFieldOfView needs: a 35 mm
    // equivalent focal length, or a focal length with the focal-plane
    // resolution.
    static bool IsFieldOfViewWellEstimated(const Exif& exif);

    // The angle of view along the long side of an image of longSide by
    // shortSide pixels, in degrees. From the 35 mm equivalent focal length
    // when the EXIF has it (its 43.3 mm diagonal spread over the image's
    // aspect ratio), otherwise from the focal length and the sensor size that
    // the focal-plane resolution gives. False when neither is there. The
    // camera profile is accepted for callers that have one; the EXIF decides.
    // The focal length in millimetres on a 35 mm frame for an image of
    // longSide by shortSide pixels: the EXIF's own equivalent, or the focal
    // length scaled by the sensor diagonal that the focal-plane resolution
    // gives. False when neither is there.
    static bool GetFocalLength35mm(const Exif& exif, unsigned int longSide, unsigned int shortSide,
                                   double& focalLength35mm);

    static bool GetFieldOfView(const Exif& exif, unsigned int longSide, unsigned int shortSide,
                               const CalibrationModule* profile, float& fieldOfView);
};

} // namespace Navik
