#pragma once

#include "Navik/Object.h"

#include <cstddef>

namespace Navik {

// A counted block of memory that images and pixel buffers share, so that a
// buffer lives as long as the last image or pixel data that uses it.
class MemoryBlock : public Object
{
public:
    // Every allocated block starts on a 64-byte boundary; its contents are
    // undefined. Null when the memory cannot be had. Large blocks may reuse
    // the memory of freed ones (see Engine::Configuration).
    static MemoryBlock* Allocate(std::size_t size);
    // Wraps memory that someone else owns and frees; the block never frees it.
    static MemoryBlock* Wrap(void* data, std::size_t size);

    void* GetData() const { return m_data; }
    std::size_t GetSize() const { return m_size; }

private:
    MemoryBlock(void* data, std::size_t size, bool owned, std::size_t mappedSize);
    ~MemoryBlock() override;

    void* m_data;
    std::size_t m_size;
    bool m_owned;
    std::size_t m_mappedSize; // of a block mapped straight from the kernel; 0 otherwise
};

} // namespace Navik
