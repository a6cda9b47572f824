#pragma once

// Small helpers for pixel buffer sizes.

#include <cstddef>

namespace Navik {

// Bytes of a row of `width` pixels rounded up to a multiple of 64, so that
// every row of a buffer we allocate starts on a cache line.
inline std::size_t AlignedRowBytes(unsigned int width, unsigned int bytesPerPixel)
{
    const std::size_t bytes = std::size_t(width) * bytesPerPixel;
    return (bytes + 63) / 64 * 64;
}

} // namespace Navik
