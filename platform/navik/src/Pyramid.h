#pragma once

// The input pyramid of an agent: level 0 is the image itself, level k is
// level k - 1 averaged over 2 x 2 pixels (ceil(side / 2) on each side), so a
// reduced render samples a level whose pixels are about as large as its own
// and never aliases. Levels above 0 are built on demand and kept in the tile
// pool, which drops the least recently used ones beyond its limit. An image
// still being decoded serves level 0 as its rows arrive (readers wait through
// SourceArrival() for the rows they sample); higher levels wait for them all.

#include "Navik/Image.h"
#include "Navik/MemoryBlock.h"
#include "Navik/PixelFormat.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

namespace Navik::Internal {

class PixelArrival;

// Interleaved pixels of one level: 1 (grey) or 3 (RGB) channels of 8- or
// 16-bit (0..65535) samples.
struct PyramidLevel
{
    RefPtr<Object> owner; // keeps the pixels alive
    const unsigned char* pixels = nullptr;
    std::size_t rowBytes = 0;
    int width = 0;
    int height = 0;
};

class Pyramid
{
public:
    // Null when the image has no pixels or a format the engine cannot read.
    static std::shared_ptr<Pyramid> Create(const Image& image);
    ~Pyramid();

    // The format of every level: interleaved grey or RGB, 8-bit or 16-bit full range.
    const PixelFormat& Format() const { return m_format; }
    int Channels() const { return m_channels; }
    int Width() const { return m_baseLevel->width; }
    int Height() const { return m_baseLevel->height; }
    // The image the agent was made from (its profile and metadata).
    const Image& Source() const { return *m_source; }

    // Levels down to a 1 x 1 image.
    int LevelCount() const { return m_levelCount; }
    // Level `level` (clamped to the existing ones); null only when its memory
    // cannot be had or the image's decode failed. Level 0 of an image still
    // being decoded comes at once: readers wait through SourceArrival().
    std::shared_ptr<const PyramidLevel> Level(int level);
    // The arrival of the rows of level 0 while they are still being decoded;
    // null once they are all there.
    const PixelArrival* SourceArrival() const;
    // Waits for every row of level 0; false, with `status` set, when the
    // image's decode failed.
    bool WaitForSource(ImageStatus* status) const;

private:
    Pyramid() = default;

    RefPtr<Image> m_source;
    PixelFormat m_format;
    int m_channels = 0;
    int m_levelCount = 1;
    std::shared_ptr<const PyramidLevel> m_baseLevel;
    std::shared_ptr<PixelArrival> m_arrival;
    std::mutex m_buildMutex; // one thread builds levels at a time
};

} // namespace Navik::Internal
