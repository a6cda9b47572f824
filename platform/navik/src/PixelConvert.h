#pragma once

// Conversion of pixel rows between the pixel formats of this framework:
// grey, RGB (interleaved or planar) and XRGB32, with 8-bit, 16-bit and the
// host's 16-bit samples. Values are rescaled with rounding, so 8 -> 16 -> 8
// gives every value back.

#include "Navik/PixelFormat.h"

namespace Navik {

class Image;

bool CanConvertPixels(const PixelFormat& from, const PixelFormat& to);

// `sourceRows` and `destinationRows` hold one row pointer per buffer of their
// format (one when interleaved, one per channel when planar).
void ConvertPixelRow(const PixelFormat& from, const void* const* sourceRows, const PixelFormat& to,
                     void* const* destinationRows, unsigned int width);

// Points `rows` at row `y` of each buffer of `image` (at most three), in the
// form ConvertPixelRow takes.
void GetImageRows(const Image& image, unsigned int y, void* rows[3]);

} // namespace Navik
