#include "Pyramid.h"

#include "Navik/Engine.h"
#include "Navik/ThreadGraph.h"

#include "EngineState.h"
#include "Geometry.h"
#include "PixelArrival.h"

#include <algorithm>
#include <list>

namespace Navik::Internal {

namespace {

// The cached levels above 0 of every pyramid, least recently used first.
class TilePool
{
public:
    std::shared_ptr<const PyramidLevel> Find(const Pyramid* owner, int level)
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
            if (it->owner == owner && it->level == level) {
                m_entries.splice(m_entries.end(), m_entries, it);
                return it->pixels;
            }
        }
        return nullptr;
    }

    // Keeps the level when it fits under the limit, dropping older levels.
    void Insert(const Pyramid* owner, int level, std::shared_ptr<const PyramidLevel> pixels, std::uint64_t bytes)
    {
        std::lock_guard lock(m_mutex);
        if (bytes > m_limit)
            return;
        m_entries.push_back({owner, level, std::move(pixels), bytes});
        m_bytes += bytes;
        trim();
    }

    void Remove(const Pyramid* owner)
    {
        std::lock_guard lock(m_mutex);
        m_entries.remove_if([&](const Entry& entry) {
            if (entry.owner != owner)
                return false;
            m_bytes -= entry.bytes;
            return true;
        });
    }

    void SetLimit(std::uint64_t bytes)
    {
        std::lock_guard lock(m_mutex);
        m_limit = bytes;
        trim();
    }

    void Clear()
    {
        std::lock_guard lock(m_mutex);
        m_entries.clear();
        m_bytes = 0;
    }

    std::uint64_t Usage()
    {
        std::lock_guard lock(m_mutex);
        return m_bytes;
    }

private:
    struct Entry
    {
        const Pyramid* owner;
        int level;
        std::shared_ptr<const PyramidLevel> pixels; // renders that use a dropped level keep it alive
        std::uint64_t bytes;
    };

    void trim()
    {
        while (m_bytes > m_limit) {
            m_bytes -= m_entries.front().bytes;
            m_entries.pop_front();
        }
    }

    std::mutex m_mutex;
    std::list<Entry> m_entries;
    std::uint64_t m_bytes = 0;
    std::uint64_t m_limit = Engine::Configuration().tilePoolMaxBytes;
};

TilePool& tilePool()
{
    static auto* instance = new TilePool; // outlives every static agent
    return *instance;
}

// Whether the renderer reads this format as it is.
bool isRenderFormat(const PixelFormat& format)
{
    const int type = format.GetPixelType();
    const int size = format.GetPixelSize();
    return format.IsInterleaved() && (type == kPixelTypeRGB || type == kPixelTypeGray) &&
           (size == kPixelSize8 || size == kPixelSize16);
}

// A copy of the image in a format the renderer reads: 8-bit for XRGB32 and
// 8-bit data, 16-bit full range otherwise; grey stays grey.
RefPtr<Image> convertedCopy(const Image& image)
{
    const PixelFormat from = image.GetPixelFormat();
    const PixelFormat to(from.GetPixelType() == kPixelTypeGray ? kPixelTypeGray : kPixelTypeRGB,
                         from.GetSampleSize() == 8 ? kPixelSize8 : kPixelSize16, true);
    const std::size_t rowBytes = AlignedRowBytes(image.GetWidth(), to.GetBytesPerPixel());
    RefPtr<MemoryBlock> memory = RefPtr<MemoryBlock>::Adopt(MemoryBlock::Allocate(rowBytes * image.GetHeight()));
    if (!memory)
        return {};
    auto copy = RefPtr<TileImage>::Adopt(new TileImage(image.GetWidth(), image.GetHeight(),
                                                       static_cast<unsigned int>(rowBytes), to,
                                                       {memory->GetData()}, memory.get()));
    if (!copy->Copy(image))
        return {};
    return RefPtr<Image>(copy.get());
}

template <typename Sample>
void averageRow(const PyramidLevel& from, PyramidLevel& to, int channels, int y)
{
    const int y0 = std::min(2 * y, from.height - 1);
    const int y1 = std::min(2 * y + 1, from.height - 1);
    const auto* top = reinterpret_cast<const Sample*>(from.pixels + y0 * from.rowBytes);
    const auto* bottom = reinterpret_cast<const Sample*>(from.pixels + y1 * from.rowBytes);
    auto* out = reinterpret_cast<Sample*>(const_cast<unsigned char*>(to.pixels) + y * to.rowBytes);
    for (int x = 0; x < to.width; ++x) {
        const int x0 = 2 * x * channels;
        const int x1 = std::min(2 * x + 1, from.width - 1) * channels;
        for (int c = 0; c < channels; ++c)
            out[x * channels + c] = static_cast<Sample>(
                (std::uint32_t(top[x0 + c]) + top[x1 + c] + bottom[x0 + c] + bottom[x1 + c] + 2) >> 2);
    }
}

std::shared_ptr<const PyramidLevel> halve(const PyramidLevel& from, const PixelFormat& format, int channels)
{
    auto level = std::make_shared<PyramidLevel>();
    level->width = (from.width + 1) / 2;
    level->height = (from.height + 1) / 2;
    level->rowBytes = AlignedRowBytes(level->width, format.GetBytesPerPixel());
    auto memory = RefPtr<MemoryBlock>::Adopt(MemoryBlock::Allocate(level->rowBytes * level->height));
    if (!memory)
        return nullptr;
    level->pixels = static_cast<const unsigned char*>(memory->GetData());
    level->owner = RefPtr<Object>(memory.get());
    const bool wide = format.GetSampleSize() == 16;
    ThreadPool::Shared().ParallelFor(
        std::size_t(level->height),
        [&](std::size_t y) {
            if (wide)
                averageRow<std::uint16_t>(from, *level, channels, int(y));
            else
                averageRow<std::uint8_t>(from, *level, channels, int(y));
        },
        RenderThreadCount());
    return level;
}

} // namespace

void SetTilePoolLimit(std::uint64_t bytes)
{
    tilePool().SetLimit(bytes);
}

std::uint64_t TilePoolUsage()
{
    return tilePool().Usage();
}

void EmptyTilePool()
{
    tilePool().Clear();
}

std::shared_ptr<Pyramid> Pyramid::Create(const Image& image)
{
    if (!image.HasPixels() || image.GetWidth() == 0 || image.GetHeight() == 0)
        return nullptr;
    std::shared_ptr<Pyramid> pyramid(new Pyramid);
    pyramid->m_source = RefPtr<Image>(const_cast<Image*>(&image));
    RefPtr<Image> base = pyramid->m_source;
    if (isRenderFormat(image.GetPixelFormat())) {
        // Read in place, as the rows arrive if they still do.
        pyramid->m_arrival = PixelArrivalOf(image);
    } else {
        if (!image.WaitForPixels(nullptr))
            return nullptr;
        base = convertedCopy(image);
        if (!base)
            return nullptr;
    }
    pyramid->m_format = base->GetPixelFormat();
    pyramid->m_channels = pyramid->m_format.GetPixelType() == kPixelTypeGray ? 1 : 3;
    pyramid->m_baseLevel = std::make_shared<PyramidLevel>(
        PyramidLevel{RefPtr<Object>(base.get()), static_cast<const unsigned char*>(BufferWithoutWaiting(*base, 0)),
                     base->GetRowBytes(), int(base->GetWidth()), int(base->GetHeight())});
    for (int w = pyramid->Width(), h = pyramid->Height(); w > 1 || h > 1; w = (w + 1) / 2, h = (h + 1) / 2)
        ++pyramid->m_levelCount;
    return pyramid;
}

Pyramid::~Pyramid()
{
    tilePool().Remove(this);
}

std::shared_ptr<const PyramidLevel> Pyramid::Level(int level)
{
    level = std::clamp(level, 0, m_levelCount - 1);
    if (level == 0)
        return m_baseLevel;
    if (!WaitForSource(nullptr))
        return nullptr;
    if (auto cached = tilePool().Find(this, level))
        return cached;
    std::lock_guard lock(m_buildMutex);
    // Start from the highest level below that is still there.
    int have = level;
    std::shared_ptr<const PyramidLevel> current;
    while (have > 0 && !(current = tilePool().Find(this, have)))
        --have;
    if (have == 0)
        current = m_baseLevel;
    while (have < level && current) {
        current = halve(*current, m_format, m_channels);
        ++have;
        if (current)
            tilePool().Insert(this, have, current, std::uint64_t(current->rowBytes) * current->height);
    }
    return current;
}

const PixelArrival* Pyramid::SourceArrival() const
{
    return m_arrival && !m_arrival->IsComplete() ? m_arrival.get() : nullptr;
}

bool Pyramid::WaitForSource(ImageStatus* status) const
{
    return m_source->WaitForPixels(status);
}

} // namespace Navik::Internal
