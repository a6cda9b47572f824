#include "RowSource.h"

#include "Navik/Image.h"

#include <algorithm>

namespace Navik {

unsigned int ImageRowSource::Width() const
{
    return m_image.GetWidth();
}

unsigned int ImageRowSource::Height() const
{
    return m_image.GetHeight();
}

PixelFormat ImageRowSource::Format() const
{
    return m_image.GetPixelFormat();
}

bool ImageRowSource::Fill(unsigned int first, unsigned int count, unsigned int, RowBand& band, ImageStatus*)
{
    band.firstRow = first;
    band.rowCount = count;
    band.rowBytes = m_image.GetRowBytes();
    for (unsigned int plane = 0; plane < 3; ++plane) {
        const auto* buffer = static_cast<const unsigned char*>(m_image.GetBuffer(plane));
        band.planes[plane] = buffer ? buffer + std::size_t(first) * band.rowBytes : nullptr;
    }
    // Row() counts from the band's first row.
    return true;
}

} // namespace Navik
