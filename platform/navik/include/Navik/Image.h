#pragma once

// Images: loading JPEG and TIFF files, saving them, and images over pixel
// buffers. An image is a counted object holding its pixels (or, from
// LoadInfoImage, only its header), its Exif record and its ICC profile.

#include "Navik/FileFormat.h"
#include "Navik/Object.h"
#include "Navik/PixelFormat.h"
#include "Navik/Status.h"
#include "Navik/Value.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Navik {

class ColorSpace;
class Exif;
class PixelData;
class Progress;

namespace Internal {
class PixelArrival;
struct ImageAccess;
} // namespace Internal

// Load options (bool values). Without kImageLoadOptionEXIFData no metadata is
// read; the maker note is kept only with kImageLoadOptionEXIFMakerNote; with
// kImageLoadOptionXMPSidecar an XMP sidecar beside the file ("name.xmp" or
// "name.ext.xmp") is merged over the embedded XMP. The ICC profile is always read.
extern const char* const kImageLoadOptionEXIFData;
extern const char* const kImageLoadOptionEXIFMakerNote;
extern const char* const kImageLoadOptionXMPSidecar;
// With kImageLoadOptionPixelsInBackground (bool) a JPEG's pixels are decoded
// by a thread of their own: LoadFullImage returns once the header is read and
// the pixel memory is had, and a render that reads the image waits only for
// the rows it samples, so a correction and its save start while the picture
// is still coming in. A damaged file then shows later: WaitForPixels and the
// render or save that needs the pixels fail with the reason. For TIFF files,
// a mirrored orientation (with the EXIF data loaded) or a progress given,
// the load is whole as usual.
extern const char* const kImageLoadOptionPixelsInBackground;

// Save options: the JPEG quality (int, 5..100, default 90) and TIFF
// compression (bool: LZW with a predictor when true, none when false or absent).
extern const char* const kImageSaveOptionJPEGQuality;
extern const char* const kImageSaveOptionTIFFCompression;

// Images with more pixels than this are refused before any pixel memory is
// allocated: by the loaders, and where pixels come from a host.
constexpr std::uint64_t kMaxImagePixelCount = 250'000'000;

// Whether an image of width x height pixels may be opened.
constexpr bool IsImageSizeAllowed(std::uint32_t width, std::uint32_t height)
{
    return std::uint64_t(width) * height <= kMaxImagePixelCount;
}

class Image : public Object
{
public:
    virtual unsigned int GetWidth() const { return m_width; }
    virtual unsigned int GetHeight() const { return m_height; }
    PixelFormat GetPixelFormat() const { return m_pixelFormat; }
    std::size_t GetRowBytes() const { return m_rowBytes; }

    // False for an image that holds only a file's header.
    bool HasPixels() const { return !m_buffers.empty(); }
    unsigned int GetBufferCount() const { return static_cast<unsigned int>(m_buffers.size()); }
    // The first byte of buffer `index`'s rows, or null. Waits for the rows of
    // an image decoded in the background.
    void* GetBuffer(unsigned int index) const
    {
        WaitForPixels(nullptr);
        return index < m_buffers.size() ? m_buffers[index] : nullptr;
    }
    // Waits until every row of an image decoded in the background is there.
    // False, with `status` set to why, when the decode failed: the pixels are
    // then incomplete. True at once for every other image.
    bool WaitForPixels(ImageStatus* status) const;

    // Never null: an image without metadata has an empty record.
    Exif* GetExif() const { return m_exif.get(); }
    // Retains `exif` and releases the record it replaces; null stands for an empty record.
    void SetExif(Exif* exif);
    // The embedded colour profile, or null.
    ColorSpace* GetICCProfile() const { return m_iccProfile.get(); }
    void SetICCProfile(ColorSpace* profile);

    // Writes the image as JPEG or TIFF with its metadata and profile (see
    // docs/imaging-framework.md). The file appears complete or not at all:
    // a failed save leaves whatever was at `path` untouched.
    bool Save(const std::string& path, FileFormat format, const Dictionary& options, ImageStatus* status) const;

protected:
    Image(unsigned int width, unsigned int height, std::size_t rowBytes, const PixelFormat& format,
          std::vector<void*> buffers, Object* owner);
    ~Image() override;

private:
    friend struct Internal::ImageAccess;

    unsigned int m_width;
    unsigned int m_height;
    std::size_t m_rowBytes;
    PixelFormat m_pixelFormat;
    std::vector<void*> m_buffers;
    RefPtr<Object> m_owner;
    RefPtr<Exif> m_exif;
    RefPtr<ColorSpace> m_iccProfile;
    std::shared_ptr<Internal::PixelArrival> m_arrival; // null once loaded whole
};

// An image over buffers. Without an owner the buffers are the caller's, who
// keeps them alive as long as the image; with an owner (for example the
// MemoryBlock the buffers lie in) the image retains it, so the buffers live as
// long as the image does.
class TileImage : public Image
{
public:
    TileImage(unsigned int width, unsigned int height, unsigned int rowBytes, const PixelFormat& format,
              const std::vector<void*>& buffers, Object* owner = nullptr);

    // Fills this image's buffers with `source`'s pixels converted to this
    // image's pixel format. False when the sizes differ or a format is not
    // one this framework converts.
    bool Copy(const Image& source);
};

// Loads a whole image: 8-bit JPEG (RGB or grey) and TIFF (8- or 16-bit RGB or
// grey). `format` kFileFormatUnknown (-1) detects the format from the content.
// On failure returns null and sets the status (code and message); a cancelled
// progress stops the load the same way. With the EXIF data loaded, the pixels
// of a mirrored orientation (2, 4, 5, 7) come unmirrored: only the rotation of
// the orientation (that of 1, 3, 6, 8) is left to apply.
Image* LoadFullImage(const std::string& path, FileFormat format, const Dictionary& options, ImageStatus* status,
                     Progress* progress);

// Reads only the header: size and pixel format (CMYK and Lab files are
// reported with their pixel types), and the metadata the options ask for.
Image* LoadInfoImage(const std::string& path, FileFormat format, const Dictionary& options, ImageStatus* status);

// Whether a save could write `path` now, told before the picture is rendered
// or its options asked: refuses with the cause a save would give a loop of
// symbolic links, a name too long, a folder, pipe or device in the way, a
// write-protected file, a folder that takes no new file. Writes nothing.
bool CanSaveTo(const std::string& path, ImageStatus* status);

// A new image sharing the pixel data's memory (see PixelData). Null when the
// pixel data is not usable.
Image* CreateImageFromPixelData(const PixelData& pixelData);

// The preview scale level of an image: the smallest s for which the longer
// side shifted right by s is at most 2048.
unsigned int LowScaleForImage(const Image& image);

} // namespace Navik
