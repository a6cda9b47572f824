#pragma once

#include "Navik/Image.h"
#include "Navik/Progress.h"

#include <cstdio>
#include <string>

namespace Navik {

class ColorSpace;
class RowSource;

// Reads the first image of a TIFF file: 8- or 16-bit grey or RGB (extra
// samples such as alpha are dropped), in strips or tiles, contiguous or
// planar, with any compression libtiff was built with. Large files are
// decoded on several threads. With `headerOnly` the image holds no pixels.
Image* ReadTiff(const std::string& path, bool headerOnly, Progress* progress, ImageStatus* status);

// The metadata a TIFF file is written with: the EXIF as a classic
// little-endian TIFF structure (as exiv2 encodes it for a JPEG segment), the
// XMP packet, the IPTC records and the ICC profile. Empty ones are skipped.
struct TiffMetadata
{
    std::string exifStructure;
    std::string xmp;
    std::string iptc;
    const ColorSpace* iccProfile = nullptr;
};

// Writes the source's rows as grey or RGB with the bits per sample they have
// (16 for the host's 16-bit samples, 8 for XRGB32), LZW-compressed with a
// horizontal predictor when `compress` is set, into `file`, front to back in
// one pass with the metadata (BigTIFF, without the EXIF, from 3 GB of pixels).
bool WriteTiff(RowSource& source, std::FILE* file, bool compress, const TiffMetadata& metadata, ImageStatus* status);

} // namespace Navik
