#pragma once

#include "Navik/Image.h"
#include "Navik/Progress.h"

#include <cstdio>
#include <string>

namespace Navik {

class ColorSpace;
class RowSource;

// Reads a JPEG file. With `headerOnly` the image holds no pixels. Null on
// failure, with the status set.
Image* ReadJpeg(const std::string& path, bool headerOnly, Progress* progress, ImageStatus* status);
// Reads a JPEG file's header and returns its image at once, its rows decoded
// by a thread of their own (see kImageLoadOptionPixelsInBackground). Null,
// with the status set, when the header cannot be read or the memory had.
Image* StartJpegInBackground(const std::string& path, ImageStatus* status);

// Metadata segments ready to be written: the TIFF structure of the EXIF
// (without the "Exif" header), the XMP packet, the IPTC data wrapped in a
// Photoshop resource block, and the ICC profile. Empty ones are skipped.
struct JpegSegments
{
    std::string exif;
    std::string xmp;
    std::string photoshopIptc;
    const ColorSpace* iccProfile = nullptr;
};

// The quality of a save that names none.
constexpr int kDefaultJpegQuality = 90;

// Encodes the source's rows (grey or RGB; other formats are converted to 8
// bits) at the quality given, 5..100, into `file`. From a million pixels on,
// bands of rows are encoded on all cores, each taking its rows from the source
// as it goes, so a render is never held whole.
bool WriteJpeg(RowSource& source, std::FILE* file, int quality, const JpegSegments& segments, ImageStatus* status);

} // namespace Navik
