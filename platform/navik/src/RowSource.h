#pragma once

// The pixels an encoder writes, handed over band by band: the rows of an image
// in memory, or a render made band by band as the encoder asks for it, so a
// corrected picture is saved without ever holding the whole output.

#include "Navik/FileFormat.h"
#include "Navik/PixelData.h"
#include "Navik/PixelFormat.h"
#include "Navik/Status.h"
#include "Navik/Value.h"

#include <cstddef>
#include <memory>
#include <string>

namespace Navik {

class ColorSpace;
class Exif;
class Image;

// A run of rows a source filled. The storage, when the source needs one, is
// kept here between calls by the same consumer and reused.
struct RowBand
{
    unsigned int firstRow = 0;
    unsigned int rowCount = 0;
    const unsigned char* planes[3] = {};
    std::size_t rowBytes = 0;
    std::unique_ptr<PixelData> storage;

    // Row `y` of the image (firstRow <= y < firstRow + rowCount), one pointer
    // per buffer of the source's format, as ConvertPixelRow takes them.
    void Row(unsigned int y, const void* rows[3]) const
    {
        for (int plane = 0; plane < 3; ++plane)
            rows[plane] = planes[plane] ? planes[plane] + std::size_t(y - firstRow) * rowBytes : nullptr;
    }
};

class RowSource
{
public:
    virtual ~RowSource() = default;

    virtual unsigned int Width() const = 0;
    virtual unsigned int Height() const = 0;
    virtual PixelFormat Format() const = 0;

    // Fills `band` with rows [first, first + count). `threads` caps the
    // threads a render may use (0: all of the render threads); consumers that
    // call from several threads at once pass 1. False, with the status set,
    // when the rows cannot be had (no memory, a cancelled render).
    virtual bool Fill(unsigned int first, unsigned int count, unsigned int threads, RowBand& band,
                      ImageStatus* status) = 0;
};

// The rows of an image that holds its pixels; they are read in place.
class ImageRowSource : public RowSource
{
public:
    explicit ImageRowSource(const Image& image) : m_image(image) {}

    unsigned int Width() const override;
    unsigned int Height() const override;
    PixelFormat Format() const override;
    bool Fill(unsigned int first, unsigned int count, unsigned int threads, RowBand& band,
              ImageStatus* status) override;

private:
    const Image& m_image;
};

// Writes the source as JPEG or TIFF with the metadata of `exif` and the
// colour profile, as Image::Save does (docs/imaging-framework.md), taking the
// rows band by band as the encoder needs them.
bool SaveRows(RowSource& source, const Exif& exif, const ColorSpace* iccProfile, const std::string& path,
              FileFormat format, const Dictionary& options, ImageStatus* status);

} // namespace Navik
