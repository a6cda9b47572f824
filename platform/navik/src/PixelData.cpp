#include "Navik/PixelData.h"

#include "Geometry.h"

namespace Navik {

namespace {

unsigned int planeCountOf(SampleLayout layout)
{
    switch (layout) {
    case kSampleLayoutGray:
    case kSampleLayoutRGBInterleaved: return 1;
    case kSampleLayoutRGBPlanar: return 3;
    default: return 0;
    }
}

unsigned int channelsPerPlane(SampleLayout layout)
{
    return layout == kSampleLayoutRGBInterleaved ? 3 : 1;
}

unsigned int bytesPerSample(SampleType type)
{
    switch (type) {
    case kSampleTypeUInt8: return 1;
    case kSampleTypeUInt16:
    case kSampleTypeUInt16Host: return 2;
    default: return 0;
    }
}

} // namespace

PixelData::~PixelData() = default;

PixelData* PixelData::Failed(Status status)
{
    auto* data = new PixelData;
    data->m_status = status;
    return data;
}

PixelData* PixelData::Create(SampleType sampleType, SampleLayout sampleLayout, unsigned int width,
                             unsigned int height)
{
    const unsigned int planeCount = planeCountOf(sampleLayout);
    const unsigned int sampleBytes = bytesPerSample(sampleType);
    if (planeCount == 0 || sampleBytes == 0 || width == 0 || height == 0)
        return Failed(kStatusInvalidArgument);
    const std::size_t rowBytes = AlignedRowBytes(width, channelsPerPlane(sampleLayout) * sampleBytes);
    std::size_t planeBytes = 0;
    std::size_t totalBytes = 0;
    if (__builtin_mul_overflow(rowBytes, std::size_t(height), &planeBytes) ||
        __builtin_mul_overflow(planeBytes, std::size_t(planeCount), &totalBytes))
        return Failed(kStatusOutOfMemory);
    RefPtr<MemoryBlock> memory = RefPtr<MemoryBlock>::Adopt(MemoryBlock::Allocate(totalBytes));
    if (!memory)
        return Failed(kStatusOutOfMemory);

    void* planes[3];
    for (unsigned int plane = 0; plane < planeCount; ++plane)
        planes[plane] = static_cast<unsigned char*>(memory->GetData()) + plane * planeBytes;
    PixelData* data = Make(sampleType, sampleLayout, width, height, planes, rowBytes);
    data->m_memory = memory;
    return data;
}

PixelData* PixelData::CreateNoOwnership(void* const* planes, unsigned int planeCount, SampleType sampleType,
                                        SampleLayout sampleLayout, unsigned int width, unsigned int height,
                                        std::size_t rowBytes)
{
    const unsigned int sampleBytes = bytesPerSample(sampleType);
    if (!planes || planeCount != planeCountOf(sampleLayout) || sampleBytes == 0 || width == 0 || height == 0 ||
        rowBytes < std::size_t(width) * channelsPerPlane(sampleLayout) * sampleBytes)
        return Failed(kStatusInvalidArgument);
    for (unsigned int plane = 0; plane < planeCount; ++plane) {
        if (!planes[plane])
            return Failed(kStatusInvalidArgument);
    }

    return Make(sampleType, sampleLayout, width, height, planes, rowBytes);
}

PixelData* PixelData::Make(SampleType sampleType, SampleLayout sampleLayout, unsigned int width, unsigned int height,
                           void* const* planes, std::size_t rowBytes)
{
    auto* data = new PixelData;
    data->m_sampleType = sampleType;
    data->m_sampleLayout = sampleLayout;
    data->m_width = width;
    data->m_height = height;
    data->m_planeCount = planeCountOf(sampleLayout);
    data->m_rowBytes = rowBytes;
    for (unsigned int plane = 0; plane < data->m_planeCount; ++plane)
        data->m_planes[plane] = planes[plane];
    return data;
}

void* PixelData::Buffer(int plane) const
{
    return plane >= 0 && static_cast<unsigned int>(plane) < m_planeCount ? m_planes[plane] : nullptr;
}

PixelFormat PixelData::GetPixelFormat() const
{
    if (m_status != kStatusOK)
        return PixelFormat();
    const int pixelType = m_sampleLayout == kSampleLayoutGray ? kPixelTypeGray : kPixelTypeRGB;
    const int pixelSize = m_sampleType == kSampleTypeUInt8    ? kPixelSize8
                          : m_sampleType == kSampleTypeUInt16 ? kPixelSize16
                                                              : kPixelSize16Host;
    return PixelFormat(pixelType, pixelSize, m_sampleLayout != kSampleLayoutRGBPlanar);
}

} // namespace Navik
