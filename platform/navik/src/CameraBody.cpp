#include "Navik/CameraBody.h"

#include "Navik/Exif.h"

#include <Navik/Geometry/CorrectionParameters.h>

#include <cmath>
#include <numbers>

namespace Navik {

namespace {

double degrees(double radians)
{
    return radians * 180.0 / std::numbers::pi;
}

double equivalentFocalLength(const Exif& exif)
{
    return exif.GetValue(Exif::kMetaDataExifFocalLengthIn35mmFilmKey).AsDouble();
}

// Millimetres per resolution unit: 2 inch (also the default), 3 cm, 4 mm, 5 um.
double unitInMillimetres(unsigned int unit)
{
    switch (unit) {
    case 3: return 10.0;
    case 4: return 1.0;
    case 5: return 0.001;
    default: return 25.4;
    }
}

// Focal length and focal-plane pixels per millimetre, when the EXIF has both.
bool focalPlaneData(const Exif& exif, double& focalLength, double& pixelsPerMillimetre)
{
    focalLength = exif.GetValue(Exif::kMetaDataFocalLengthKey).AsDouble();
    const double resolution = exif.GetValue(Exif::kMetaDataExifFocalPlaneXResolutionKey).AsDouble();
    const unsigned int unit = exif.GetValue(Exif::kMetaDataExifFocalPlaneResolutionUnitKey).AsUnsignedInt();
    pixelsPerMillimetre = resolution / unitInMillimetres(unit);
    return focalLength > 0 && std::isfinite(focalLength) && pixelsPerMillimetre > 0 &&
           std::isfinite(pixelsPerMillimetre);
}

} // namespace

bool CameraBody::IsFieldOfViewWellEstimated(const Exif& exif)
{
    double focalLength = 0;
    double pixelsPerMillimetre = 0;
    return equivalentFocalLength(exif) > 0 || focalPlaneData(exif, focalLength, pixelsPerMillimetre);
}

bool CameraBody::GetFocalLength35mm(const Exif& exif, unsigned int longSide, unsigned int shortSide,
                                    double& focalLength35mm)
{
    if (longSide == 0)
        return false;
    const double equivalent = equivalentFocalLength(exif);
    if (equivalent > 0) {
        focalLength35mm = equivalent;
        return true;
    }
    double focalLength = 0;
    double pixelsPerMillimetre = 0;
    if (!focalPlaneData(exif, focalLength, pixelsPerMillimetre))
        return false;
    const double sensorDiagonal = std::hypot(double(longSide), double(shortSide)) / pixelsPerMillimetre;
    focalLength35mm = focalLength * Geometry::kFullFrameDiagonalMm / sensorDiagonal;
    return true;
}

bool CameraBody::GetFieldOfView(const Exif& exif, unsigned int longSide, unsigned int shortSide,
                                const CalibrationModule*, float& fieldOfView)
{
    double equivalent = 0;
    if (!GetFocalLength35mm(exif, longSide, shortSide, equivalent))
        return false;
    // The 35 mm frame's diagonal spread over the image's aspect ratio.
    const double diagonal = std::hypot(double(longSide), double(shortSide));
    const double longSideMillimetres = Geometry::kFullFrameDiagonalMm * double(longSide) / diagonal;
    fieldOfView = static_cast<float>(degrees(2.0 * std::atan(longSideMillimetres / (2.0 * equivalent))));
    return true;
}

} // namespace Navik
