#pragma once

// The Photoshop buffer helper: the exchange record's pixels as an engine
// image without copying, and a rendered result into the record's output
// pixels. Both sides hold three interleaved channels of the record's depth,
// rows without padding.

#include "shell/NavikImagePtr.h"
#include "shell/PixelDataPtr.h"

namespace NAVIK_tarl1 {
class PhotoshopDataStructure;
}

class PSHelper
{
public:
    // The record's input pixels, or with `output` a new output area at the
    // record's own size, as an image; the record must outlive the image.
    // Empty when they cannot be wrapped, or when the record's width, height or
    // depth (8 or 16) is not a picture's or its input holds fewer bytes than
    // those rows.
    static NavikImagePtr createBufferImage(NAVIK_tarl1::PhotoshopDataStructure& record, bool output);
    // createBufferImage of the input, as the application opens it.
    static NavikImagePtr createInputImage(NAVIK_tarl1::PhotoshopDataStructure& record);
    // createBufferImage of a new output area.
    static NavikImagePtr createOutputImage(NAVIK_tarl1::PhotoshopDataStructure& record);
    // Resizes the record's output to the result and copies the result's rows
    // into it; false when the record has no input any more, no picture size or
    // a depth other than 8 or 16, when the result is not one buffer of
    // interleaved RGB at that depth with rows at least as long as the host's,
    // or when the output cannot be made large enough.
    static bool copyToOutputBuffer(const PixelDataPtr& pixels, NAVIK_tarl1::PhotoshopDataStructure& record);
};
