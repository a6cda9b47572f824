#include "Navik/PixelFormat.h"

namespace Navik {

unsigned int PixelFormat::GetBufferChannelCount() const
{
    switch (m_pixelType) {
    case kPixelTypeGray: return 1;
    case kPixelTypeRGB:
    case kPixelTypeLab: return 3;
    case kPixelTypeCMYK:
    case kPixelTypeXRGB32: return 4;
    default: return 0;
    }
}

unsigned int PixelFormat::GetSampleSize() const
{
    switch (m_pixelSize) {
    case kPixelSize8: return 8;
    case kPixelSize16:
    case kPixelSize16Host: return 16;
    default: return 0;
    }
}

unsigned int PixelFormat::GetMaxSampleValue() const
{
    switch (m_pixelSize) {
    case kPixelSize8: return 255;
    case kPixelSize16: return 65535;
    case kPixelSize16Host: return 32768;
    default: return 0;
    }
}

unsigned int PixelFormat::GetBytesPerPixel() const
{
    const unsigned int channelsPerBuffer = m_interleaved ? GetBufferChannelCount() : 1;
    return channelsPerBuffer * GetBytesPerSample();
}

bool PixelFormat::IsValid() const
{
    if (GetBufferChannelCount() == 0 || GetSampleSize() == 0)
        return false;
    // XRGB32 is a packed 32-bit word: 8-bit samples, always interleaved.
    return m_pixelType != kPixelTypeXRGB32 || (m_pixelSize == kPixelSize8 && m_interleaved);
}

} // namespace Navik
