#pragma once

// A rendered or host-supplied pixel buffer. It either owns its memory
// (Create) or wraps memory that the caller keeps alive (CreateNoOwnership).
// Images made from it with CreateImageFromPixelData share the memory, so the
// pixel data may be deleted while such an image lives.

#include "Navik/MemoryBlock.h"
#include "Navik/PixelFormat.h"

#include <cstddef>
#include <cstdint>

namespace Navik {

enum SampleType
{
    kSampleTypeUInt8 = 1,       // 0..255
    kSampleTypeUInt16 = 2,      // 0..65535
    kSampleTypeUInt16Host = 3,  // 0..32768, the host application's 16-bit samples
};

enum SampleLayout
{
    kSampleLayoutGray = 1,            // one channel
    kSampleLayoutRGBPlanar = 5,       // three buffers: red, green, blue
    kSampleLayoutRGBInterleaved = 6,  // one buffer, red first
};

class PixelData
{
public:
    enum Status : std::uint8_t
    {
        kStatusOK = 0,
        kStatusInvalidArgument = 1,
        kStatusOutOfMemory = 2,
    };

    // A new buffer with 64-byte aligned rows. Always returns an object; it is
    // usable only when GetStatus() is kStatusOK.
    static PixelData* Create(SampleType sampleType, SampleLayout sampleLayout, unsigned int width,
                             unsigned int height);
    // Wraps `planeCount` caller-owned planes of `rowBytes` per row without
    // copying; the caller keeps them alive as long as the pixel data and any
    // image made from it.
    static PixelData* CreateNoOwnership(void* const* planes, unsigned int planeCount, SampleType sampleType,
                                        SampleLayout sampleLayout, unsigned int width, unsigned int height,
                                        std::size_t rowBytes);

    PixelData(const PixelData&) = delete;
    PixelData& operator=(const PixelData&) = delete;
    ~PixelData();

    // The leading status byte: zero when the buffer is usable.
    std::uint8_t GetStatus() const { return m_status; }
    SampleType GetSampleType() const { return m_sampleType; }
    SampleLayout GetSampleLayout() const { return m_sampleLayout; }
    unsigned int GetWidth() const { return m_width; }
    unsigned int GetHeight() const { return m_height; }
    std::size_t GetRowBytes() const { return m_rowBytes; }
    unsigned int GetPlaneCount() const { return m_planeCount; }
    PixelFormat GetPixelFormat() const;

    // The first byte of plane `plane`'s rows; null for a plane that does not exist.
    void* Buffer(int plane) const;
    // The memory the planes lie in (shared by all planes).
    MemoryBlock* GetMemory() const { return m_memory.get(); }

private:
    PixelData() = default;
    static PixelData* Failed(Status status);
    static PixelData* Make(SampleType sampleType, SampleLayout sampleLayout, unsigned int width, unsigned int height,
                           void* const* planes, std::size_t rowBytes);

    std::uint8_t m_status = kStatusOK; // must stay the first member
    SampleType m_sampleType = kSampleTypeUInt8;
    SampleLayout m_sampleLayout = kSampleLayoutRGBInterleaved;
    unsigned int m_width = 0;
    unsigned int m_height = 0;
    unsigned int m_planeCount = 0;
    std::size_t m_rowBytes = 0;
    void* m_planes[3] = {};
    RefPtr<MemoryBlock> m_memory;
};

} // namespace Navik
