#include "mainwindow/PSHelper.h"

#include "engine/CNavikImageProxy.h"
#include "utils/Logger.h"
#include "utils/PhotoshopDataStructure.h"

#include <Navik/Image.h>
#include <Navik/PixelData.h>

#include <cstring>

using namespace NAVIK_tarl1;

NavikImagePtr PSHelper::createInputImage(PhotoshopDataStructure& record)
{
    LOG_TRACE();
    const int width = record.pictureWidth();
    const int height = record.pictureHeight();
    const int depth = record.pictureDepth();
    void* const planes[] = {record.inputPicture()};
    const std::unique_ptr<Navik::PixelData> pixels(Navik::PixelData::CreateNoOwnership(
        planes, 1, depth == 8 ? Navik::kSampleTypeUInt8 : Navik::kSampleTypeUInt16Host,
        Navik::kSampleLayoutRGBInterleaved, unsigned(width), unsigned(height), std::size_t(width) * 3 * depth / 8));
    if (!pixels || pixels->GetStatus() != Navik::PixelData::kStatusOK) {
        ASSERT(false);
        return {};
    }
    // The image shares the record's mapping; it does not need the wrapper.
    Navik::Image* image = Navik::CreateImageFromPixelData(*pixels);
    if (!image)
        return {};
    return std::make_shared<CNavikImageProxy>(image, true, true, record.imageFileName());
}

bool PSHelper::copyToOutputBuffer(const PixelDataPtr& pixels, PhotoshopDataStructure& record)
{
    LOG_TRACE();
    if (!record.inputPicture() || record.pictureSize() == 0 || !pixels)
        return false;
    const int width = int(pixels->GetWidth());
    const int height = int(pixels->GetHeight());
    char* out = record.createOutputPicture(width, height);
    if (!out)
        return false;
    const int depth = record.pictureDepth();
    ASSERT_X(depth == 8 || depth == 16, "PSHelper::copyToOutputBuffer", "unexpected depth");
    const std::size_t rowBytes = std::size_t(width) * 3 * depth / 8;
    for (int y = 0; y < height; ++y)
        std::memcpy(out + y * rowBytes, static_cast<const char*>(pixels->Buffer(0)) + y * pixels->GetRowBytes(),
                    rowBytes);
    return true;
}
