#include "TiffCodec.h"

#include "Navik/ColorSpace.h"
#include "Navik/Logging.h"
#include "Navik/MemoryBlock.h"
#include "Navik/ThreadGraph.h"

#include "Geometry.h"
#include "PixelConvert.h"

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstring>
#include <mutex>
#include <tiffio.h>
#include <vector>

namespace Navik {

namespace {

// No single allocation of libtiff may exceed this, whatever a file claims.
constexpr tmsize_t kMaxSingleAllocation = tmsize_t(1) << 30;
// Below this many pixels one thread decodes faster than several start up.
constexpr std::uint64_t kParallelPixelCount = 1u << 20;
// Strips of about this size compress well and keep memory per strip small.
constexpr std::size_t kTargetStripBytes = 256u << 10;
// Each decoding thread holds one decoded strip or tile. A strip never holds more
// than the image; a tile may reach past it, but a tile larger than both the
// image and this is a hostile file's way to make us allocate without limit.
constexpr std::uint64_t kMaxUnitBytesBeyondImage = 16u << 20;

// The first error libtiff reported for any handle of one read or write.
class Diagnostics
{
public:
    void record(const char* module, const char* format, va_list arguments)
    {
        char text[512];
        std::vsnprintf(text, sizeof text, format, arguments);
        std::lock_guard lock(m_mutex);
        if (m_firstError.empty())
            m_firstError = std::string(module ? module : "TIFF") + ": " + text;
    }

    bool hasError() const
    {
        std::lock_guard lock(m_mutex);
        return !m_firstError.empty();
    }

    std::string firstError() const
    {
        std::lock_guard lock(m_mutex);
        return m_firstError;
    }

private:
    mutable std::mutex m_mutex;
    std::string m_firstError;
};

int onError(TIFF*, void* user, const char* module, const char* format, va_list arguments)
{
    static_cast<Diagnostics*>(user)->record(module, format, arguments);
    return 1;
}

int onWarning(TIFF*, void*, const char* module, const char* format, va_list arguments)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    Log("TIFF", kLogLevelDebug, "%s: %s", module ? module : "", text);
    return 1;
}

void silenceGlobalHandlers()
{
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    });
}

// A libtiff handle whose messages go to `diagnostics`.
class TiffHandle
{
public:
    TiffHandle(const std::string& path, const char* mode, Diagnostics& diagnostics)
    {
        silenceGlobalHandlers();
        TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
        TIFFOpenOptionsSetErrorHandlerExtR(options, onError, &diagnostics);
        TIFFOpenOptionsSetWarningHandlerExtR(options, onWarning, &diagnostics);
        TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxSingleAllocation);
        m_tiff = TIFFOpenExt(path.c_str(), mode, options);
        TIFFOpenOptionsFree(options);
    }
    ~TiffHandle()
    {
        if (m_tiff)
            TIFFClose(m_tiff);
    }
    TiffHandle(const TiffHandle&) = delete;
    TiffHandle& operator=(const TiffHandle&) = delete;

    TIFF* get() const { return m_tiff; }

private:
    TIFF* m_tiff = nullptr;
};

// How the first image of a file is stored, and what we make of it.
struct Layout
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t samplesPerPixel = 0;
    std::uint16_t photometric = 0;
    std::uint16_t planarConfig = PLANARCONFIG_CONTIG;
    bool decodeJpegToRGB = false;
    bool invert = false;          // white is zero
    unsigned int channels = 0;    // colour channels kept: 1 or 3
    PixelFormat format;
};

class Failure
{
public:
    ImageStatusCode code = kImageStatusNoError;
    std::string message;

    bool set(ImageStatusCode newCode, std::string newMessage)
    {
        code = newCode;
        message = std::move(newMessage);
        return false;
    }
};

bool describe(TIFF* tiff, Layout& layout, Failure& failure)
{
    std::uint16_t sampleFormat = SAMPLEFORMAT_UINT;
    std::uint16_t compression = COMPRESSION_NONE;
    if (!TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &layout.width) || !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &layout.height) ||
        !TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &layout.photometric))
        return failure.set(kImageStatusCorruptData, "The TIFF file lacks its image size or colour model.");
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &layout.bitsPerSample);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &layout.samplesPerPixel);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &layout.planarConfig);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &sampleFormat);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);

    if (layout.width == 0 || layout.height == 0)
        return failure.set(kImageStatusCorruptData, "The TIFF image has no pixels.");
    if (std::uint64_t(layout.width) * layout.height > kMaxImagePixelCount)
        return failure.set(kImageStatusImageTooLarge, "The image is too large: at most 250 million pixels can be opened.");

    const int pixelSize = layout.bitsPerSample == 16 ? kPixelSize16 : kPixelSize8;
    int pixelType = kPixelTypeUnknown;
    switch (layout.photometric) {
    case PHOTOMETRIC_MINISWHITE:
        layout.invert = true;
        [[fallthrough]];
    case PHOTOMETRIC_MINISBLACK:
        pixelType = kPixelTypeGray;
        layout.channels = 1;
        break;
    case PHOTOMETRIC_RGB:
        pixelType = kPixelTypeRGB;
        layout.channels = 3;
        break;
    case PHOTOMETRIC_YCBCR:
        // Only JPEG-compressed YCbCr is common; libtiff turns it into RGB for us.
        if (compression == COMPRESSION_JPEG) {
            layout.decodeJpegToRGB = true;
            pixelType = kPixelTypeRGB;
            layout.channels = 3;
        }
        break;
    case PHOTOMETRIC_SEPARATED:
        pixelType = kPixelTypeCMYK;
        break;
    case PHOTOMETRIC_CIELAB:
    case PHOTOMETRIC_ICCLAB:
    case PHOTOMETRIC_ITULAB:
        pixelType = kPixelTypeLab;
        break;
    default:
        break;
    }
    layout.format = PixelFormat(pixelType, pixelSize, true);
    if (layout.channels == 0)
        return failure.set(kImageStatusUnsupportedFormat,
                           "Only grey and RGB TIFF images can be opened (this one has colour model " +
                               std::to_string(layout.photometric) + ").");
    if ((layout.bitsPerSample != 8 && layout.bitsPerSample != 16) || sampleFormat != SAMPLEFORMAT_UINT)
        return failure.set(kImageStatusUnsupportedFormat,
                           "Only TIFF images of 8 or 16 bits per sample can be opened (this one has " +
                               std::to_string(layout.bitsPerSample) + ").");
    if (layout.samplesPerPixel < layout.channels || layout.samplesPerPixel > 32)
        return failure.set(kImageStatusCorruptData, "The TIFF file has an invalid number of samples per pixel.");
    if (!TIFFIsCODECConfigured(compression))
        return failure.set(kImageStatusUnsupportedFormat,
                           "The TIFF compression " + std::to_string(compression) + " is not supported.");
    if (layout.decodeJpegToRGB)
        TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    return true;
}

RefPtr<ColorSpace> readIccProfile(TIFF* tiff)
{
    std::uint32_t size = 0;
    void* data = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_ICCPROFILE, &size, &data) && data && size > 0)
        return RefPtr<ColorSpace>::Adopt(new ColorSpace(data, size));
    return {};
}

// A rectangle of decoded samples: `step` samples per pixel, the wanted
// channel starting at `offset`.
struct SampleBlock
{
    const unsigned char* data;
    std::size_t stride;
    unsigned int step;
    unsigned int offset;
};

template <typename Sample>
void copyChannel(const SampleBlock& from, unsigned char* to, std::size_t toStride, unsigned int toStep,
                 unsigned int toOffset, unsigned int width, unsigned int rows, bool invert)
{
    const Sample maxValue = static_cast<Sample>(~Sample(0));
    for (unsigned int y = 0; y < rows; ++y) {
        const auto* source = reinterpret_cast<const Sample*>(from.data + y * from.stride) + from.offset;
        auto* destination = reinterpret_cast<Sample*>(to + y * toStride) + toOffset;
        for (unsigned int x = 0; x < width; ++x) {
            const Sample value = source[std::size_t(x) * from.step];
            destination[std::size_t(x) * toStep] = invert ? static_cast<Sample>(maxValue - value) : value;
        }
    }
}

// Decodes the strips or tiles of the image into the pixel buffer, on as many
// threads as pays off, each thread with its own libtiff handle.
class TiffReader
{
public:
    TiffReader(const std::string& path, TIFF* first, const Layout& layout, Diagnostics& diagnostics)
        : m_path(path), m_first(first), m_layout(layout), m_diagnostics(diagnostics)
    {
        m_tiled = TIFFIsTiled(first);
        m_planar = layout.planarConfig == PLANARCONFIG_SEPARATE;
        if (m_tiled) {
            TIFFGetField(first, TIFFTAG_TILEWIDTH, &m_unitWidth);
            TIFFGetField(first, TIFFTAG_TILELENGTH, &m_unitHeight);
        } else {
            m_unitWidth = layout.width;
            TIFFGetFieldDefaulted(first, TIFFTAG_ROWSPERSTRIP, &m_unitHeight);
            m_unitHeight = std::min(m_unitHeight, layout.height);
        }
    }

    bool read(unsigned char* pixels, std::size_t rowBytes, Progress* progress, Failure& failure)
    {
        if (m_unitWidth == 0 || m_unitHeight == 0)
            return failure.set(kImageStatusCorruptData, "The TIFF file has an invalid strip or tile size.");
        m_unitBytes = m_tiled ? TIFFTileSize(m_first) : TIFFStripSize(m_first);
        const std::uint64_t imageBytes = std::uint64_t(m_layout.width) * m_layout.height *
                                         m_layout.samplesPerPixel * (m_layout.bitsPerSample / 8);
        if (m_unitBytes <= 0 || std::uint64_t(m_unitBytes) > std::max(imageBytes, kMaxUnitBytesBeyondImage))
            return failure.set(kImageStatusCorruptData, "The TIFF file has an invalid strip or tile size.");
        m_pixels = pixels;
        m_rowBytes = rowBytes;
        m_progress = progress;
        m_unitsAcross = (m_layout.width + m_unitWidth - 1) / m_unitWidth;
        m_unitCount = std::size_t(m_unitsAcross) * ((m_layout.height + m_unitHeight - 1) / m_unitHeight);

        const bool large = std::uint64_t(m_layout.width) * m_layout.height >= kParallelPixelCount;
        const auto threads = static_cast<unsigned int>(
            large ? std::min<std::size_t>(ThreadPool::Shared().GetThreadCount(), m_unitCount) : 1);
        ThreadPool::Shared().ParallelFor(threads, [&](std::size_t thread) { readShare(thread, threads); });

        if (m_cancelled)
            return failure.set(kImageStatusCancelled, "Loading was cancelled.");
        if (m_failed || m_diagnostics.hasError())
            return failure.set(kImageStatusCorruptData,
                               "The TIFF file is damaged or incomplete (" + m_diagnostics.firstError() + ").");
        return true;
    }

private:
    void readShare(std::size_t thread, unsigned int threads)
    {
        std::unique_ptr<TiffHandle> own;
        TIFF* tiff = m_first;
        if (thread > 0) {
            own = std::make_unique<TiffHandle>(m_path, "r", m_diagnostics);
            tiff = own->get();
            if (!tiff) {
                m_failed = true;
                return;
            }
            if (m_layout.decodeJpegToRGB)
                TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        }
        std::vector<unsigned char> scratch(static_cast<std::size_t>(m_unitBytes));
        const std::size_t begin = m_unitCount * thread / threads;
        const std::size_t end = m_unitCount * (thread + 1) / threads;
        for (std::size_t unit = begin; unit < end && !m_failed; ++unit) {
            if (m_progress && m_progress->IsCancelled()) {
                m_cancelled = m_failed = true;
                return;
            }
            if (!readUnit(tiff, unit, scratch)) {
                m_failed = true;
                return;
            }
            const std::size_t done = ++m_unitsDone;
            if (m_progress)
                m_progress->SetFraction(double(done) / double(m_unitCount));
        }
    }

    // One strip (the full width) or one tile, every colour plane of it.
    bool readUnit(TIFF* tiff, std::size_t unit, std::vector<unsigned char>& scratch)
    {
        const auto x0 = static_cast<std::uint32_t>(unit % m_unitsAcross) * m_unitWidth;
        const auto y0 = static_cast<std::uint32_t>(unit / m_unitsAcross) * m_unitHeight;
        const unsigned int width = std::min(m_unitWidth, m_layout.width - x0);
        const unsigned int rows = std::min(m_unitHeight, m_layout.height - y0);
        const unsigned int sampleBytes = m_layout.bitsPerSample / 8;
        const unsigned int step = m_planar ? 1 : m_layout.samplesPerPixel;
        const std::size_t unitStride = std::size_t(m_unitWidth) * step * sampleBytes;
        const std::size_t needed = unitStride * (m_tiled ? m_unitHeight : rows);
        if (needed > scratch.size())
            return false;

        const unsigned int planes = m_planar ? m_layout.channels : 1;
        for (unsigned int plane = 0; plane < planes; ++plane) {
            const tmsize_t got = decode(tiff, unit, x0, y0, plane, scratch);
            if (got < 0 || std::size_t(got) < needed)
                return false;
            unsigned char* destination = m_pixels + y0 * m_rowBytes + std::size_t(x0) * m_layout.channels * sampleBytes;
            if (m_planar) {
                copy({scratch.data(), unitStride, 1, 0}, destination, plane, width, rows);
                continue;
            }
            for (unsigned int channel = 0; channel < m_layout.channels; ++channel)
                copy({scratch.data(), unitStride, step, channel}, destination, channel, width, rows);
        }
        return true;
    }

    tmsize_t decode(TIFF* tiff, std::size_t unit, std::uint32_t x0, std::uint32_t y0, unsigned int plane,
                    std::vector<unsigned char>& scratch)
    {
        const auto size = static_cast<tmsize_t>(scratch.size());
        if (m_tiled)
            return TIFFReadEncodedTile(tiff, TIFFComputeTile(tiff, x0, y0, 0, static_cast<std::uint16_t>(plane)),
                                       scratch.data(), size);
        const std::size_t stripsPerPlane = m_unitCount;
        return TIFFReadEncodedStrip(tiff, static_cast<std::uint32_t>(plane * stripsPerPlane + unit), scratch.data(),
                                    size);
    }

    void copy(const SampleBlock& from, unsigned char* to, unsigned int channel, unsigned int width, unsigned int rows)
    {
        if (m_layout.bitsPerSample == 16)
            copyChannel<std::uint16_t>(from, to, m_rowBytes, m_layout.channels, channel, width, rows, m_layout.invert);
        else
            copyChannel<std::uint8_t>(from, to, m_rowBytes, m_layout.channels, channel, width, rows, m_layout.invert);
    }

    const std::string& m_path;
    TIFF* m_first;
    const Layout& m_layout;
    Diagnostics& m_diagnostics;
    bool m_tiled = false;
    bool m_planar = false;
    std::uint32_t m_unitWidth = 0;
    std::uint32_t m_unitHeight = 0;
    tmsize_t m_unitBytes = 0; // of one decoded strip or tile, the same on every handle
    std::uint32_t m_unitsAcross = 0;
    std::size_t m_unitCount = 0;
    unsigned char* m_pixels = nullptr;
    std::size_t m_rowBytes = 0;
    Progress* m_progress = nullptr;
    std::atomic<bool> m_failed{false};
    std::atomic<bool> m_cancelled{false};
    std::atomic<std::size_t> m_unitsDone{0};
};

Image* failed(ImageStatus* status, ImageStatusCode code, const std::string& message)
{
    if (status)
        status->Set(code, message);
    return nullptr;
}

} // namespace

Image* ReadTiff(const std::string& path, bool headerOnly, Progress* progress, ImageStatus* status)
{
    Diagnostics diagnostics;
    TiffHandle handle(path, "r", diagnostics);
    if (!handle.get())
        return failed(status, kImageStatusCorruptData,
                      "The file is not a readable TIFF file (" + diagnostics.firstError() + ").");
    Layout layout;
    Failure failure;
    const bool decodable = describe(handle.get(), layout, failure);
    const RefPtr<ColorSpace> iccProfile = readIccProfile(handle.get());
    const bool knownModel = layout.format.GetPixelType() != kPixelTypeUnknown && layout.width > 0 &&
                            layout.height > 0 && failure.code != kImageStatusImageTooLarge;
    if (!decodable && !(headerOnly && knownModel))
        return failed(status, failure.code, failure.message);

    std::vector<void*> buffers;
    RefPtr<MemoryBlock> memory;
    std::size_t rowBytes = 0;
    if (!headerOnly) {
        rowBytes = AlignedRowBytes(layout.width, layout.channels * layout.bitsPerSample / 8);
        memory = RefPtr<MemoryBlock>::Adopt(MemoryBlock::Allocate(rowBytes * layout.height));
        if (!memory)
            return failed(status, kImageStatusOutOfMemory, "There is not enough memory to open the image.");
        TiffReader reader(path, handle.get(), layout, diagnostics);
        if (!reader.read(static_cast<unsigned char*>(memory->GetData()), rowBytes, progress, failure))
            return failed(status, failure.code, failure.message);
        buffers.push_back(memory->GetData());
    }
    auto* image = new TileImage(layout.width, layout.height, static_cast<unsigned int>(rowBytes), layout.format,
                                buffers, memory.get());
    image->SetICCProfile(iccProfile.get());
    return image;
}

bool WriteTiff(const Image& image, const std::string& path, bool compress, const ColorSpace* iccProfile,
               ImageStatus* status)
{
    const PixelFormat source = image.GetPixelFormat();
    const bool gray = source.GetPixelType() == kPixelTypeGray;
    const bool wide = source.GetSampleSize() == 16;
    const PixelFormat target(gray ? kPixelTypeGray : kPixelTypeRGB, wide ? kPixelSize16 : kPixelSize8, true);
    const std::size_t scanline = std::size_t(image.GetWidth()) * target.GetBytesPerPixel();
    // Classic TIFF addresses at most 4 GB; larger images need BigTIFF.
    const bool big = scanline * image.GetHeight() > (std::size_t(3) << 30);

    Diagnostics diagnostics;
    TiffHandle handle(path, big ? "w8" : "w", diagnostics);
    TIFF* tiff = handle.get();
    auto fail = [&](const std::string& what) {
        if (status)
            status->Set(kImageStatusWriteError, "The TIFF file could not be written (" + what + ").");
        return false;
    };
    if (!tiff)
        return fail(diagnostics.firstError());

    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, image.GetWidth());
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, image.GetHeight());
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, target.GetSampleSize());
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, target.GetBufferChannelCount());
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, gray ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, compress ? COMPRESSION_LZW : COMPRESSION_NONE);
    if (compress)
        TIFFSetField(tiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP,
                 static_cast<std::uint32_t>(std::max<std::size_t>(1, kTargetStripBytes / std::max<std::size_t>(1, scanline))));
    if (iccProfile && iccProfile->GetSize() > 0)
        TIFFSetField(tiff, TIFFTAG_ICCPROFILE, static_cast<std::uint32_t>(iccProfile->GetSize()), iccProfile->GetData());

    // The predictor changes the row it is given, so rows always go through a copy.
    std::vector<unsigned char> row(scanline);
    void* sourceRows[3];
    void* destination = row.data();
    for (unsigned int y = 0; y < image.GetHeight(); ++y) {
        GetImageRows(image, y, sourceRows);
        ConvertPixelRow(source, sourceRows, target, &destination, image.GetWidth());
        if (TIFFWriteScanline(tiff, row.data(), y, 0) < 0)
            return fail(diagnostics.firstError());
    }
    if (!TIFFFlush(tiff) || diagnostics.hasError())
        return fail(diagnostics.firstError());
    return true;
}

} // namespace Navik
