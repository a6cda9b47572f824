#pragma once

#include "Navik/Image.h"
#include "Navik/Progress.h"

#include <string>

namespace Navik {

class ColorSpace;

// Reads the first image of a TIFF file: 8- or 16-bit grey or RGB (extra
// samples such as alpha are dropped), in strips or tiles, contiguous or
// planar, with any compression libtiff was built with. Large files are
// decoded on several threads. With `headerOnly` the image holds no pixels.
Image* ReadTiff(const std::string& path, bool headerOnly, Progress* progress, ImageStatus* status);

// Writes the image as grey or RGB with the bits per sample it has (16 for
// the host's 16-bit samples, 8 for XRGB32), LZW-compressed with a horizontal
// predictor when `compress` is set.
bool WriteTiff(const Image& image, const std::string& path, bool compress, const ColorSpace* iccProfile,
               ImageStatus* status);

} // namespace Navik
