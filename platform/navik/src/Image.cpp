#include "Navik/Image.h"

#include "Navik/ColorSpace.h"
#include "Navik/Exif.h"
#include "Navik/PixelData.h"

#include "PixelArrival.h"
#include "PixelConvert.h"

#include <algorithm>

namespace Navik {

const char* const kImageLoadOptionEXIFData = "LoadEXIFData";
const char* const kImageLoadOptionEXIFMakerNote = "LoadEXIFMakerNote";
const char* const kImageLoadOptionXMPSidecar = "LoadXMPSidecar";
const char* const kImageLoadOptionPixelsInBackground = "LoadPixelsInBackground";
const char* const kImageSaveOptionJPEGQuality = "SaveJPEGQuality";
const char* const kImageSaveOptionTIFFCompression = "SaveTIFFCompression";

Image::Image(unsigned int width, unsigned int height, std::size_t rowBytes, const PixelFormat& format,
             std::vector<void*> buffers, Object* owner)
    : m_width(width),
      m_height(height),
      m_rowBytes(rowBytes),
      m_pixelFormat(format),
      m_buffers(std::move(buffers)),
      m_owner(owner),
      m_exif(RefPtr<Exif>::Adopt(new Exif))
{
}

Image::~Image()
{
    // The decoder writes into buffers this image's owner holds: it stops first.
    if (m_arrival)
        m_arrival->Stop();
}

bool Image::WaitForPixels(ImageStatus* status) const
{
    return !m_arrival || m_arrival->IsComplete() || m_arrival->WaitForAll(status);
}

namespace Internal {

struct ImageAccess
{
    static std::shared_ptr<PixelArrival>& Arrival(Image& image) { return image.m_arrival; }
    static std::shared_ptr<PixelArrival> Arrival(const Image& image) { return image.m_arrival; }
    static void* Buffer(const Image& image, unsigned int index)
    {
        return index < image.m_buffers.size() ? image.m_buffers[index] : nullptr;
    }
};

void SetPixelArrival(Image& image, std::shared_ptr<PixelArrival> arrival)
{
    ImageAccess::Arrival(image) = std::move(arrival);
}

std::shared_ptr<PixelArrival> PixelArrivalOf(const Image& image)
{
    return ImageAccess::Arrival(image);
}

void* BufferWithoutWaiting(const Image& image, unsigned int index)
{
    return ImageAccess::Buffer(image, index);
}

} // namespace Internal

void Image::SetExif(Exif* exif)
{
    m_exif = exif ? RefPtr<Exif>(exif) : RefPtr<Exif>::Adopt(new Exif);
}

void Image::SetICCProfile(ColorSpace* profile)
{
    m_iccProfile = RefPtr<ColorSpace>(profile);
}

TileImage::TileImage(unsigned int width, unsigned int height, unsigned int rowBytes, const PixelFormat& format,
                     const std::vector<void*>& buffers, Object* owner)
    : Image(width, height, rowBytes, format, buffers, owner)
{
}

bool TileImage::Copy(const Image& source)
{
    const PixelFormat to = GetPixelFormat();
    const PixelFormat from = source.GetPixelFormat();
    if (source.GetWidth() != GetWidth() || source.GetHeight() != GetHeight() || !source.HasPixels() ||
        !HasPixels() || source.GetBufferCount() != from.GetBufferCount() ||
        GetBufferCount() != to.GetBufferCount() || !CanConvertPixels(from, to))
        return false;
    void* sourceRows[3];
    void* destinationRows[3];
    for (unsigned int y = 0; y < GetHeight(); ++y) {
        GetImageRows(source, y, sourceRows);
        GetImageRows(*this, y, destinationRows);
        ConvertPixelRow(from, sourceRows, to, destinationRows, GetWidth());
    }
    return true;
}

Image* CreateImageFromPixelData(const PixelData& pixelData)
{
    if (pixelData.GetStatus() != PixelData::kStatusOK)
        return nullptr;
    std::vector<void*> buffers;
    for (unsigned int plane = 0; plane < pixelData.GetPlaneCount(); ++plane)
        buffers.push_back(pixelData.Buffer(static_cast<int>(plane)));
    return new TileImage(pixelData.GetWidth(), pixelData.GetHeight(),
                         static_cast<unsigned int>(pixelData.GetRowBytes()), pixelData.GetPixelFormat(), buffers,
                         pixelData.GetMemory());
}

unsigned int LowScaleForImage(const Image& image)
{
    constexpr unsigned int kPreviewSide = 2048;
    unsigned int longSide = std::max(image.GetWidth(), image.GetHeight());
    unsigned int level = 0;
    while (longSide > kPreviewSide) {
        longSide >>= 1;
        ++level;
    }
    return level;
}

} // namespace Navik
