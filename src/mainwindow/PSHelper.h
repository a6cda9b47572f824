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
    // The record's input pixels as an image (empty when they cannot be wrapped);
    // the record must outlive the image.
    static NavikImagePtr createInputImage(NAVIK_tarl1::PhotoshopDataStructure& record);
    // Resizes the record's output to the result and copies the result's rows
    // into it; false when the record has no input any more, no picture size,
    // or the output cannot be made.
    static bool copyToOutputBuffer(const PixelDataPtr& pixels, NAVIK_tarl1::PhotoshopDataStructure& record);
};
