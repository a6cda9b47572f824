#pragma once

// What the correction geometry is built from: the geometric keys of a target's
// parameter dictionary, the size of the opened image and the camera's focal data.
//
// Each field of CorrectionParameters stands for one dictionary key, named in the
// comment beside it. A key that is missing from the dictionary leaves the field
// at its initialiser, which is the value the process engine fills in for a
// missing key whenever "KeystoningActive" is true; so the engine only has to
// copy the keys that are present. Numbers may arrive as int, unsigned or double
// and are read as double. docs/correction-geometry.md describes the effect and
// unit of every field.

#include <Navik/Geometry/Types.h>

#include <optional>
#include <string>
#include <vector>

namespace Navik::Geometry {

struct CorrectionParameters
{
    // Keystoning and horizon (one switch for both).
    bool keystoningActive = false;              // "KeystoningActive"
    std::string keystoningMode;                 // "KeystoningMode": "Parallel", "Rectangle", "FourLines", or none
    std::vector<double> keystoningPoints;       // "KeystoningPoints": x1, y1, x2, y2, ... as fractions of the lens stage's output
    double keystoningUpDown = 0.0;              // "KeystoningUpDown": -125..125
    double keystoningLeftRight = 0.0;           // "KeystoningLeftRight": -125..125
    double keystoningHorizon = 0.0;             // "KeystoningHorizon": degrees
    double keystoningBlendingIntensity = 100.0; // "KeystoningBlendingIntensity": 0..100
    double keystoningHVRatio = 0.0;             // "KeystoningHVRatio": -100..100
    double keystoningScale = 100.0;             // "KeystoningScale": percent
    bool keystoningKeepCenter = true;           // "KeystoningKeepCenter"
    double outputImageMaxSize = 300.0;          // "OutputImageMaxSize": percent of the input, per side
    std::vector<double> keystoningPreviousHomographyBackward; // "KeystoningPreviousHomographyBackward": 9 numbers, row by row; empty = identity

    // The lens stage.
    bool distortionActive = false;                      // "DistortionActive"
    std::string distortionType;                         // "DistortionType": "Auto", "Fisheye" or "Barrel"
    double distortionIntensity = 100.0;                 // "DistortionIntensity": percent
    bool distortionKeepRatio = false;                   // "DistortionKeepRatio"
    bool distortionAnamorphosisKeepEntireImage = false; // "DistortionAnamorphosisKeepEntireImage"
    bool anamorphosisActive = false;                    // "AnamorphosisActive"
    std::string anamorphosisType;                       // "AnamorphosisType": "Spherical" or "Cylindrical"
    double anamorphosisRadial = 150.0;                  // "AnamorphosisRadial": 0..200
    double anamorphosisHorizontal = 100.0;              // "AnamorphosisHorizontal": 0..200
    double anamorphosisVertical = 0.0;                  // "AnamorphosisVertical": 0..100

    // Crop and quarter turns.
    bool cropActive = false;                       // "CropActive"
    bool cropAuto = true;                          // "CropAuto"
    std::vector<double> cropRect{0.0, 0.0, 1.0, 1.0}; // "CropRect": left, top, width, height as fractions of the corrected, unrotated image
    double cropRatio = -1.0;                       // "CropRatio": width / height as displayed; -1 (or any value <= 0) is free
    int outputRotation = 0;                        // "OutputRotation": clockwise quarter turns
};

struct CameraData
{
    // The focal length in millimetres on a 35 mm frame, from the EXIF data;
    // none when the image does not say.
    std::optional<double> focalLength35mm;
    // The radial coefficient k of the camera profile's lens model (see the
    // lens stage), used by the "Auto" distortion type; none without a profile.
    std::optional<double> profileRadialDistortion;
};

// The focal length assumed when the EXIF data has none.
inline constexpr double kDefaultFocalLength35mm = 28.0;
// The diagonal of the 36 x 24 mm frame that 35 mm-equivalent focal lengths refer to.
inline constexpr double kFullFrameDiagonalMm = 43.266615305567875;

} // namespace Navik::Geometry
