#include "mainwindow/PSHelper.h"

#include "engine/CNavikImageProxy.h"
#include "utils/Logger.h"
#include "utils/PhotoshopDataStructure.h"

#include <Navik/Image.h>
#include <Navik/PixelData.h>

#include <QtNumeric>

#include <climits>
#include <cstring>

using namespace NAVIK_tarl1;

namespace {

// Bytes of one row of W pixels of three interleaved channels of `depth` bits,
// or 0 for a width or depth the exchange does not have.
std::size_t exchangeRowBytes(qint64 width, int depth)
{
    if (width <= 0 || (depth != 8 && depth != 16))
        return 0;
    return std::size_t(width) * 3 * std::size_t(depth / 8);
}

// Whether a mapping of `mapped` bytes holds `height` rows of `rowBytes`.
bool holdsRows(unsigned long long mapped, qint64 height, std::size_t rowBytes)
{
    qint64 needed = 0;
    return height > 0 && !qMulOverflow(height, qint64(rowBytes), &needed) && mapped >= qulonglong(needed);
}

} // namespace

NavikImagePtr PSHelper::createBufferImage(PhotoshopDataStructure& record, bool output)
{
    LOG_TRACE();
    const int width = record.pictureWidth();
    const int height = record.pictureHeight();
    const int depth = record.pictureDepth();
    // The numbers come from the host: nothing is wrapped that would let the
    // engine read beyond the mapping or misread its samples.
    // A picture larger than a file may be is refused as well: the engine
    // would need memory no machine has and never finish.
    const std::size_t rowBytes = exchangeRowBytes(width, depth);
    if (rowBytes == 0 || height <= 0 || !Navik::IsImageSizeAllowed(std::uint32_t(width), std::uint32_t(height))) {
        LOG_MESSAGE('W', "The host's picture is refused: " << width << "x" << height << ", depth " << depth);
        return {};
    }
    // The output area is made at the record's own size, so it holds the rows.
    char* const picture = output ? record.createOutputPicture(width, height) : record.inputPicture();
    if (!picture || (!output && !holdsRows(record.pictureSize(), height, rowBytes))) {
        LOG_MESSAGE('W',
                    "The host's picture is refused: " << width << "x" << height << ", depth " << depth << ", "
                                                      << record.pictureSize() << " bytes");
        return {};
    }
    void* const planes[] = {picture};
    const std::unique_ptr<Navik::PixelData> pixels(Navik::PixelData::CreateNoOwnership(
        planes, 1, depth == 8 ? Navik::kSampleTypeUInt8 : Navik::kSampleTypeUInt16Host,
        Navik::kSampleLayoutRGBInterleaved, unsigned(width), unsigned(height), rowBytes));
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

NavikImagePtr PSHelper::createInputImage(PhotoshopDataStructure& record)
{
    LOG_TRACE();
    return createBufferImage(record, false);
}

NavikImagePtr PSHelper::createOutputImage(PhotoshopDataStructure& record)
{
    LOG_TRACE();
    return createBufferImage(record, true);
}

bool PSHelper::copyToOutputBuffer(const PixelDataPtr& pixels, PhotoshopDataStructure& record)
{
    LOG_TRACE();
    if (!record.inputPicture() || record.pictureSize() == 0 || !pixels)
        return false;
    const int depth = record.pictureDepth();
    const qint64 width = pixels->GetWidth();
    const qint64 height = pixels->GetHeight();
    const std::size_t rowBytes = exchangeRowBytes(width, depth);
    // Only a result laid out as the host reads it is copied: one buffer of
    // interleaved RGB at the record's depth, rows at least as long as the host's.
    if (rowBytes == 0 || height <= 0 || width > INT_MAX || height > INT_MAX || pixels->GetPlaneCount() != 1
        || !pixels->Buffer(0) || pixels->GetSampleLayout() != Navik::kSampleLayoutRGBInterleaved
        || pixels->GetPixelFormat().GetSampleSize() != unsigned(depth) || pixels->GetRowBytes() < rowBytes) {
        LOG_MESSAGE('W',
                    "The result does not fit the host's picture: "
                        << width << "x" << height << ", " << pixels->GetRowBytes() << " bytes a row, depth " << depth);
        return false;
    }
    char* out = record.createOutputPicture(int(width), int(height));
    if (!out || !holdsRows(record.pictureSize(), height, rowBytes))
        return false;
    const auto* in = static_cast<const char*>(pixels->Buffer(0));
    const std::size_t stride = pixels->GetRowBytes();
    for (qint64 y = 0; y < height; ++y)
        std::memcpy(out + std::size_t(y) * rowBytes, in + std::size_t(y) * stride, rowBytes);
    return true;
}
