#pragma once

// What the samples of an image are: a pixel type (the colour model and the
// order of samples), a pixel size code (the width and range of one sample)
// and whether the samples of a pixel lie together (interleaved) or in one
// buffer per channel (planar).

namespace Navik {

enum PixelType
{
    kPixelTypeUnknown = 0,
    kPixelTypeCMYK = 1,     // recognised in files, not decoded
    kPixelTypeLab = 2,      // recognised in files, not decoded
    kPixelTypeRGB = 3,      // red, green, blue
    kPixelTypeGray = 4,     // one sample
    kPixelTypeXRGB32 = 8,   // 32-bit words 0xffRRGGBB in native byte order (8-bit samples only)
};

enum PixelSize
{
    kPixelSize8 = 0x11,        // 8-bit samples, 0..255
    kPixelSize16Host = 0x321,  // 16-bit samples, 0..32768 (the host application's 16-bit range)
    kPixelSize16 = 0x322,      // 16-bit samples, 0..65535
};

class PixelFormat
{
public:
    PixelFormat() = default;
    PixelFormat(int pixelType, int pixelSize, bool interleaved)
        : m_pixelType(pixelType), m_pixelSize(pixelSize), m_interleaved(interleaved)
    {
    }

    int GetPixelType() const { return m_pixelType; }
    int GetPixelSize() const { return m_pixelSize; }
    bool IsInterleaved() const { return m_interleaved; }

    // Channels of colour data: 1 grey, 3 RGB or Lab, 4 CMYK or XRGB32.
    unsigned int GetBufferChannelCount() const;
    // Bits per sample: 8 or 16; 0 for an unknown size code.
    unsigned int GetSampleSize() const;
    unsigned int GetBytesPerSample() const { return GetSampleSize() / 8; }
    // The sample value that stands for full intensity.
    unsigned int GetMaxSampleValue() const;
    // One buffer when interleaved, one per channel when planar.
    unsigned int GetBufferCount() const { return m_interleaved ? 1 : GetBufferChannelCount(); }
    // Bytes of one pixel within one buffer.
    unsigned int GetBytesPerPixel() const;
    // A known type and size that go together.
    bool IsValid() const;

    bool operator==(const PixelFormat& other) const
    {
        return m_pixelType == other.m_pixelType && m_pixelSize == other.m_pixelSize &&
               m_interleaved == other.m_interleaved;
    }
    bool operator!=(const PixelFormat& other) const { return !(*this == other); }

private:
    int m_pixelType = kPixelTypeUnknown;
    int m_pixelSize = 0;
    bool m_interleaved = true;
};

} // namespace Navik
