#include "engine/CNavikImageProxy.h"

#include "engine/NavikStrings.h"
#include "utils/Logger.h"

#include <Navik/MemoryBlock.h>
#include <Navik/PixelFormat.h>

#include <QPixelFormat>

#include <cstring>
#include <exception>
#include <iterator>
#include <new>
#include <vector>

namespace {

constexpr int kSamplesPerPixel = 3;

// Splits rows of interleaved three-sample pixels into three planes of
// `width` samples per row, without padding.
template <typename Sample>
void splitIntoPlanes(const unsigned char* data, int width, int height, std::size_t bytesPerLine,
                     Sample* const planes[kSamplesPerPixel])
{
    for (int row = 0; row < height; ++row) {
        const unsigned char* source = data + std::size_t(row) * bytesPerLine;
        const std::size_t rowStart = std::size_t(row) * std::size_t(width);
        for (int pixel = 0; pixel < width; ++pixel) {
            Sample samples[kSamplesPerPixel];
            // Caller rows need not be aligned for 16-bit reads.
            std::memcpy(samples, source + std::size_t(pixel) * sizeof(samples), sizeof(samples));
            for (int plane = 0; plane < kSamplesPerPixel; ++plane)
                planes[plane][rowStart + pixel] = samples[plane];
        }
    }
}

Navik::RefPtr<Navik::MemoryBlock> allocateSamples(std::size_t size)
{
    auto block = Navik::RefPtr<Navik::MemoryBlock>::Adopt(Navik::MemoryBlock::Allocate(size));
    if (!block)
        throw std::bad_alloc();
    return block;
}

// More than 8 bits in a colour channel (10-bit, 16-bit and floating-point formats).
bool hasDeepChannels(const QImage& image)
{
    // The first channel: red, or grey for grayscale formats.
    return image.pixelFormat().redSize() > 8;
}

// The image's pixels as rows of red, green and blue 16-bit samples.
std::vector<quint16> toRgb16Samples(const QImage& image)
{
    const QImage rgbx = image.convertToFormat(QImage::Format_RGBX64);
    if (rgbx.isNull())
        return {};
    std::vector<quint16> samples(std::size_t(rgbx.width()) * std::size_t(rgbx.height()) * kSamplesPerPixel);
    quint16* target = samples.data();
    for (int y = 0; y < rgbx.height(); ++y) {
        const auto* source = reinterpret_cast<const quint16*>(rgbx.constScanLine(y));
        for (int x = 0; x < rgbx.width(); ++x, source += 4, target += kSamplesPerPixel)
            std::memcpy(target, source, kSamplesPerPixel * sizeof(quint16));
    }
    return samples;
}

} // namespace

Navik::Dictionary metadataLoadOptions()
{
    Navik::Dictionary options;
    options.SetValueForKey(Navik::kImageLoadOptionEXIFData, true);
    options.SetValueForKey(Navik::kImageLoadOptionEXIFMakerNote, true);
    options.SetValueForKey(Navik::kImageLoadOptionXMPSidecar, true);
    return options;
}

CNavikImageProxy::CNavikImageProxy(int width, int height, int bytesPerLine, int bitsPerSample,
                                   const unsigned char* data, bool interleaved, bool hostBuffer)
    : m_hostBuffer(hostBuffer)
{
    LOG_TRACE();
    initializeFromPlaneData(width, height, bytesPerLine, bitsPerSample, data, interleaved);
}

CNavikImageProxy::CNavikImageProxy(const QImage& image, bool interleaved, bool hostBuffer)
    : m_hostBuffer(hostBuffer)
{
    LOG_TRACE();
    // A null image converts to a null image, whose missing pixels are refused
    // like any other missing data.
    if (hasDeepChannels(image)) {
        const std::vector<quint16> samples = toRgb16Samples(image);
        initializeFromPlaneData(image.width(), image.height(), image.width() * kSamplesPerPixel * 2, 16,
                                samples.empty() ? nullptr : reinterpret_cast<const unsigned char*>(samples.data()),
                                interleaved);
    } else {
        const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
        initializeFromPlaneData(rgb.width(), rgb.height(), int(rgb.bytesPerLine()), 8, rgb.constBits(), interleaved);
    }
}

CNavikImageProxy::CNavikImageProxy(Navik::Image* image, bool ownsImage, bool hostBuffer, const QString& exifPath)
    : m_hostBuffer(hostBuffer)
    , m_ownsImage(ownsImage)
    , m_image(image)
{
    LOG_TRACE();
    // What restoreSavedExif goes back to is the EXIF of exifPath, not the
    // image's own.
    if (!exifPath.isEmpty() && loadExif(exifPath))
        m_savedExif = Navik::RefPtr<Navik::Exif>::Adopt(new Navik::Exif(*m_image->GetExif()));
    m_exifFilePath.clear();
}

CNavikImageProxy::~CNavikImageProxy()
{
    if (m_ownsImage && m_image)
        m_image->Release();
}

unsigned int CNavikImageProxy::width() const
{
    return m_image ? m_image->GetWidth() : 0;
}

unsigned int CNavikImageProxy::height() const
{
    return m_image ? m_image->GetHeight() : 0;
}

void CNavikImageProxy::initializeFromPlaneData(int width, int height, int bytesPerLine, int bitsPerSample,
                                               const unsigned char* data, bool interleaved)
{
    LOG_TRACE();
    if (!data) {
        LOG_MESSAGE('D', "pData is NULL in CNavikImageProxy::initializeFromPlaneData");
        return;
    }
    const bool knownSampleSize = bitsPerSample == 8 || bitsPerSample == 16;
    ASSERT(knownSampleSize);
    if (!knownSampleSize)
        return;
    const std::size_t bytesPerSample = std::size_t(bitsPerSample) / 8;
    // A stride shorter than its pixels would make us read past the caller's rows.
    const bool rowsFit = width > 0 && height > 0 &&
                         std::size_t(bytesPerLine) >= std::size_t(width) * kSamplesPerPixel * bytesPerSample;
    ASSERT(rowsFit);
    if (!rowsFit)
        return;

    try {
        const Navik::PixelFormat format(Navik::kPixelTypeRGB, bitsPerSample == 8 ? Navik::kPixelSize8 : Navik::kPixelSize16,
                                        interleaved);
        Navik::RefPtr<Navik::MemoryBlock> samples;
        std::vector<void*> buffers;
        unsigned int rowBytes = 0;
        if (interleaved) {
            const std::size_t size = std::size_t(bytesPerLine) * std::size_t(height);
            samples = allocateSamples(size);
            std::memcpy(samples->GetData(), data, size);
            buffers = {samples->GetData()};
            rowBytes = unsigned(bytesPerLine);
        } else {
            rowBytes = unsigned(std::size_t(width) * bytesPerSample);
            const std::size_t planeSize = std::size_t(rowBytes) * std::size_t(height);
            samples = allocateSamples(planeSize * kSamplesPerPixel);
            auto* first = static_cast<unsigned char*>(samples->GetData());
            unsigned char* const planes[] = {first, first + planeSize, first + 2 * planeSize};
            buffers.assign(std::begin(planes), std::end(planes));
            if (bitsPerSample == 8) {
                splitIntoPlanes(data, width, height, std::size_t(bytesPerLine), planes);
            } else {
                quint16* const widePlanes[] = {reinterpret_cast<quint16*>(planes[0]),
                                               reinterpret_cast<quint16*>(planes[1]),
                                               reinterpret_cast<quint16*>(planes[2])};
                splitIntoPlanes(data, width, height, std::size_t(bytesPerLine), widePlanes);
            }
        }
        // The image retains the memory block: its samples live as long as it does.
        m_image = new Navik::TileImage(unsigned(width), unsigned(height), rowBytes, format, buffers, samples.get());
    } catch (const std::exception& error) {
        LOG_MESSAGE('D', "Exception in CNavikImageProxy::initializeFromPlaneData\nException data: " << error.what());
    } catch (...) {
        LOG_MESSAGE('D', "Exception in CNavikImageProxy::initializeFromPlaneData");
    }
}

bool CNavikImageProxy::loadExif(const QString& path)
{
    LOG_TRACE();
    ASSERT(m_image);
    ASSERT(!path.isEmpty());
    if (!m_image || path.isEmpty())
        return false;

    const auto loaded = Navik::RefPtr<Navik::Exif>::Adopt(new Navik::Exif);
    Navik::ImageStatus status;
    if (!loaded->Load(toNavikPath(path), Navik::kFileFormatUnknown, metadataLoadOptions(), &status))
        return false;

    // Only the first replacement is remembered: a restore goes back past all of them.
    if (!m_savedExif)
        m_savedExif = Navik::RefPtr<Navik::Exif>::Adopt(new Navik::Exif(*m_image->GetExif()));
    m_image->SetExif(loaded.get());
    m_exifFilePath = path;
    return true;
}

bool CNavikImageProxy::restoreSavedExif()
{
    LOG_TRACE();
    m_exifFilePath.clear();
    if (!m_savedExif)
        return false;
    m_image->SetExif(m_savedExif.get());
    m_savedExif = {};
    return true;
}

QImage CNavikImageProxy::toQImage() const
{
    LOG_TRACE();
    if (!m_image)
        return {};
    QImage result(int(m_image->GetWidth()), int(m_image->GetHeight()), QImage::Format_RGB32);
    if (result.isNull())
        return result;
    // The framework converts straight into the QImage's own memory.
    const auto target = Navik::RefPtr<Navik::TileImage>::Adopt(
        new Navik::TileImage(m_image->GetWidth(), m_image->GetHeight(), unsigned(result.bytesPerLine()),
                             Navik::PixelFormat(Navik::kPixelTypeXRGB32, Navik::kPixelSize8, true), {result.bits()}));
    if (!target->Copy(*m_image)) {
        LOG_MESSAGE('D', "CNavikImageProxy::toQImage: the image's pixel format cannot be converted");
        return {};
    }
    return result;
}
