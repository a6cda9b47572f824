#include "Navik/MemoryBlock.h"

#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace Navik {

namespace {

constexpr std::size_t kAlignment = 64;
// Blocks from this size on come straight from the kernel with transparent huge
// pages requested: a 70 MB image then costs a few dozen page faults, not 17000.
constexpr std::size_t kMappedSize = 2u << 20;

} // namespace

MemoryBlock::MemoryBlock(void* data, std::size_t size, bool owned) : m_data(data), m_size(size), m_owned(owned) {}

MemoryBlock::~MemoryBlock()
{
    if (!m_owned)
        return;
    if (m_size >= kMappedSize)
        munmap(m_data, m_size);
    else
        std::free(m_data);
}

MemoryBlock* MemoryBlock::Allocate(std::size_t size)
{
    if (size == 0)
        size = kAlignment;
    void* data = nullptr;
    if (size >= kMappedSize) {
        data = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (data == MAP_FAILED)
            return nullptr;
        madvise(data, size, MADV_HUGEPAGE);
    } else {
        data = std::aligned_alloc(kAlignment, (size + kAlignment - 1) / kAlignment * kAlignment);
        if (!data)
            return nullptr;
    }
    return new (std::nothrow) MemoryBlock(data, size, true);
}

MemoryBlock* MemoryBlock::Wrap(void* data, std::size_t size)
{
    return new MemoryBlock(data, size, false);
}

} // namespace Navik
