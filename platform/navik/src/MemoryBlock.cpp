#include "Navik/MemoryBlock.h"

#include "EngineState.h"

#include <cstdint>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <new>
#include <sys/mman.h>

namespace Navik {

namespace {

constexpr std::size_t kAlignment = 64;
// Blocks from this size on come straight from the kernel with transparent huge
// pages requested: a 70 MB image then costs a few dozen page faults, not 17000.
constexpr std::size_t kMappedSize = 2u << 20;

// Freed mappings kept for the next large allocation: a fresh 72 MB buffer
// costs tens of milliseconds of page faults, more than a render on all cores.
// The engine's algorithm pool sets the limit; it is 0 (keep nothing) until then.
class RecycledMappings
{
public:
    void SetLimit(std::uint64_t bytes)
    {
        std::lock_guard lock(m_mutex);
        m_limit = bytes;
        trim();
    }

    std::uint64_t Usage()
    {
        std::lock_guard lock(m_mutex);
        return m_bytes;
    }

    // A kept mapping of at least `size` bytes and not much more, or null.
    void* Take(std::size_t size, std::size_t& mappedSize)
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_mappings.begin(); it != m_mappings.end(); ++it) {
            if (it->size >= size && it->size - size <= size / 8) {
                void* data = it->data;
                mappedSize = it->size;
                m_bytes -= it->size;
                m_mappings.erase(it);
                return data;
            }
        }
        return nullptr;
    }

    // Keeps the mapping, or unmaps it when it does not fit under the limit.
    void Give(void* data, std::size_t size)
    {
        {
            std::lock_guard lock(m_mutex);
            if (size <= m_limit) {
                m_mappings.push_back({data, size});
                m_bytes += size;
                trim();
                return;
            }
        }
        munmap(data, size);
    }

private:
    struct Mapping
    {
        void* data;
        std::size_t size;
    };

    void trim() // oldest first
    {
        while (m_bytes > m_limit) {
            munmap(m_mappings.front().data, m_mappings.front().size);
            m_bytes -= m_mappings.front().size;
            m_mappings.pop_front();
        }
    }

    std::mutex m_mutex;
    std::deque<Mapping> m_mappings;
    std::uint64_t m_bytes = 0;
    std::uint64_t m_limit = 0;
};

RecycledMappings& recycledMappings()
{
    static auto* instance = new RecycledMappings; // outlives every static block
    return *instance;
}

} // namespace

namespace Internal {

void SetRecycledMemoryLimit(std::uint64_t bytes)
{
    recycledMappings().SetLimit(bytes);
}

std::uint64_t RecycledMemoryUsage()
{
    return recycledMappings().Usage();
}

} // namespace Internal

MemoryBlock::MemoryBlock(void* data, std::size_t size, bool owned, std::size_t mappedSize)
    : m_data(data), m_size(size), m_owned(owned), m_mappedSize(mappedSize)
{
}

MemoryBlock::~MemoryBlock()
{
    if (!m_owned)
        return;
    if (m_mappedSize > 0)
        recycledMappings().Give(m_data, m_mappedSize);
    else
        std::free(m_data);
}

MemoryBlock* MemoryBlock::Allocate(std::size_t size)
{
    if (size == 0)
        size = kAlignment;
    if (size < kMappedSize) {
        void* data = std::aligned_alloc(kAlignment, (size + kAlignment - 1) / kAlignment * kAlignment);
        if (!data)
            return nullptr;
        return new (std::nothrow) MemoryBlock(data, size, true, 0);
    }
    std::size_t mappedSize = size;
    void* data = recycledMappings().Take(size, mappedSize);
    if (!data) {
        data = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (data == MAP_FAILED)
            return nullptr;
        madvise(data, size, MADV_HUGEPAGE);
    }
    return new (std::nothrow) MemoryBlock(data, size, true, mappedSize);
}

MemoryBlock* MemoryBlock::Wrap(void* data, std::size_t size)
{
    return new MemoryBlock(data, size, false, 0);
}

} // namespace Navik
