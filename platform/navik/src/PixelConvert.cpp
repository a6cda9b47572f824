#include "PixelConvert.h"

#include "Navik/Image.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace Navik {

namespace {

// Pixels go through a small block of 16-bit full-range RGB.
constexpr unsigned int kChunk = 256;

enum class Layout
{
    Gray,
    Interleaved,
    Planar,
    XRGB32,
};

Layout layoutOf(const PixelFormat& format)
{
    if (format.GetPixelType() == kPixelTypeGray)
        return Layout::Gray;
    if (format.GetPixelType() == kPixelTypeXRGB32)
        return Layout::XRGB32;
    return format.IsInterleaved() ? Layout::Interleaved : Layout::Planar;
}

bool isConvertible(const PixelFormat& format)
{
    const int type = format.GetPixelType();
    return format.IsValid() && (type == kPixelTypeGray || type == kPixelTypeRGB || type == kPixelTypeXRGB32);
}

// A sample above the format's maximum (a host's buffer may hold one) saturates
// rather than wrapping round to a dark value.
std::uint32_t widen(std::uint32_t value, std::uint32_t max)
{
    return max == 65535 ? value : std::min<std::uint32_t>((value * 65535 + max / 2) / max, 65535);
}

std::uint32_t narrow(std::uint32_t value, std::uint32_t max)
{
    return max == 65535 ? value : (value * max + 32767) / 65535;
}

template <typename Sample>
Sample sampleAt(const void* row, unsigned int index)
{
    return static_cast<const Sample*>(row)[index];
}

template <typename Sample>
void fetch(Layout layout, const void* const* rows, unsigned int x0, unsigned int count, std::uint32_t max,
           std::uint16_t* rgb)
{
    for (unsigned int i = 0; i < count; ++i) {
        const unsigned int x = x0 + i;
        std::uint32_t r, g, b;
        switch (layout) {
        case Layout::Gray: r = g = b = sampleAt<Sample>(rows[0], x); break;
        case Layout::Interleaved:
            r = sampleAt<Sample>(rows[0], 3 * x);
            g = sampleAt<Sample>(rows[0], 3 * x + 1);
            b = sampleAt<Sample>(rows[0], 3 * x + 2);
            break;
        case Layout::Planar:
            r = sampleAt<Sample>(rows[0], x);
            g = sampleAt<Sample>(rows[1], x);
            b = sampleAt<Sample>(rows[2], x);
            break;
        case Layout::XRGB32: {
            std::uint32_t word;
            std::memcpy(&word, static_cast<const unsigned char*>(rows[0]) + 4 * x, 4);
            r = word >> 16 & 0xff;
            g = word >> 8 & 0xff;
            b = word & 0xff;
            break;
        }
        }
        rgb[3 * i] = static_cast<std::uint16_t>(widen(r, max));
        rgb[3 * i + 1] = static_cast<std::uint16_t>(widen(g, max));
        rgb[3 * i + 2] = static_cast<std::uint16_t>(widen(b, max));
    }
}

template <typename Sample>
void store(Layout layout, const std::uint16_t* rgb, unsigned int x0, unsigned int count, std::uint32_t max,
           void* const* rows)
{
    for (unsigned int i = 0; i < count; ++i) {
        const unsigned int x = x0 + i;
        const std::uint32_t r = narrow(rgb[3 * i], max);
        const std::uint32_t g = narrow(rgb[3 * i + 1], max);
        const std::uint32_t b = narrow(rgb[3 * i + 2], max);
        switch (layout) {
        case Layout::Gray:
            static_cast<Sample*>(rows[0])[x] = static_cast<Sample>((r * 299 + g * 587 + b * 114 + 500) / 1000);
            break;
        case Layout::Interleaved:
            static_cast<Sample*>(rows[0])[3 * x] = static_cast<Sample>(r);
            static_cast<Sample*>(rows[0])[3 * x + 1] = static_cast<Sample>(g);
            static_cast<Sample*>(rows[0])[3 * x + 2] = static_cast<Sample>(b);
            break;
        case Layout::Planar:
            static_cast<Sample*>(rows[0])[x] = static_cast<Sample>(r);
            static_cast<Sample*>(rows[1])[x] = static_cast<Sample>(g);
            static_cast<Sample*>(rows[2])[x] = static_cast<Sample>(b);
            break;
        case Layout::XRGB32: {
            const std::uint32_t word = 0xff000000u | r << 16 | g << 8 | b;
            std::memcpy(static_cast<unsigned char*>(rows[0]) + 4 * x, &word, 4);
            break;
        }
        }
    }
}

} // namespace

bool CanConvertPixels(const PixelFormat& from, const PixelFormat& to)
{
    return isConvertible(from) && isConvertible(to);
}

void ConvertPixelRow(const PixelFormat& from, const void* const* sourceRows, const PixelFormat& to,
                     void* const* destinationRows, unsigned int width)
{
    if (from == to) {
        const std::size_t rowBytes = std::size_t(width) * from.GetBytesPerPixel();
        for (unsigned int buffer = 0; buffer < from.GetBufferCount(); ++buffer)
            std::memcpy(destinationRows[buffer], sourceRows[buffer], rowBytes);
        return;
    }
    const Layout fromLayout = layoutOf(from);
    const Layout toLayout = layoutOf(to);
    const bool from8 = from.GetSampleSize() == 8;
    const bool to8 = to.GetSampleSize() == 8;
    std::uint16_t rgb[3 * kChunk];
    for (unsigned int x = 0; x < width; x += kChunk) {
        const unsigned int count = std::min(kChunk, width - x);
        if (from8)
            fetch<std::uint8_t>(fromLayout, sourceRows, x, count, from.GetMaxSampleValue(), rgb);
        else
            fetch<std::uint16_t>(fromLayout, sourceRows, x, count, from.GetMaxSampleValue(), rgb);
        if (to8)
            store<std::uint8_t>(toLayout, rgb, x, count, to.GetMaxSampleValue(), destinationRows);
        else
            store<std::uint16_t>(toLayout, rgb, x, count, to.GetMaxSampleValue(), destinationRows);
    }
}

void GetImageRows(const Image& image, unsigned int y, void* rows[3])
{
    for (unsigned int i = 0; i < std::min(image.GetBufferCount(), 3u); ++i)
        rows[i] = static_cast<unsigned char*>(image.GetBuffer(i)) + y * image.GetRowBytes();
}

} // namespace Navik
