// Saving the corrected picture, the host render and thumbnails.

#include "engine/CProcessEngine.h"

void CProcessEngine::saveOpenedFile(const QString&, int, bool, bool, const NavikNS::FileFormat)
{
    // Not built yet.
}

bool CProcessEngine::saveOpenedFileSync(const QString&, int, bool, bool, const NavikNS::FileFormat)
{
    // Not built yet.
    return false;
}

PixelDataPtr CProcessEngine::processOpenedImageForPS()
{
    // Not built yet.
    return {};
}

Navik::FileFormat CProcessEngine::generateFileFormat(const QString&)
{
    // Not built yet.
    return Navik::kFileFormatUnknown;
}

PixelDataPtr CProcessEngine::processThumbnailImage(const NavikNS::Dictionary&, const PixelDataPtr&)
{
    // Not built yet.
    return {};
}
