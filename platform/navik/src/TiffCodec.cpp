#include "TiffCodec.h"

#include "Navik/ColorSpace.h"
#include "Navik/Logging.h"
#include "Navik/MemoryBlock.h"
#include "Navik/ThreadGraph.h"

#include "Geometry.h"
#include "PixelConvert.h"
#include "RowSource.h"

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <future>
#include <limits>
#include <mutex>
#include <tiffio.h>
#include <vector>

namespace Navik {

namespace {

// No single allocation of libtiff may exceed this, whatever a file claims.
constexpr tmsize_t kMaxSingleAllocation = tmsize_t(1) << 30;
// Below this many pixels one thread decodes faster than several start up.
constexpr std::uint64_t kParallelPixelCount = 1u << 20;
// Files are read, not mapped: a mapped file's pages would count as the
// process's memory on top of the decoded picture while it loads.
constexpr const char* kReadMode = "rm";
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
    ImageStatusCause cause = kImageCauseUnknown;

    bool set(ImageStatusCode newCode, std::string newMessage, ImageStatusCause newCause = kImageCauseUnknown)
    {
        code = newCode;
        message = std::move(newMessage);
        cause = newCause;
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
    if (!IsImageSizeAllowed(layout.width, layout.height))
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
                           "Only grey and RGB TIFF images can be opened (this one has colour model "
                               + std::to_string(layout.photometric) + ").",
                           kImageCauseColourModel);
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
            own = std::make_unique<TiffHandle>(m_path, kReadMode, m_diagnostics);
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

Image* failed(ImageStatus* status, ImageStatusCode code, const std::string& message,
              ImageStatusCause cause = kImageCauseUnknown)
{
    if (status)
        status->Set(code, message, cause);
    return nullptr;
}

} // namespace

Image* ReadTiff(const std::string& path, bool headerOnly, Progress* progress, ImageStatus* status)
{
    Diagnostics diagnostics;
    TiffHandle handle(path, kReadMode, diagnostics);
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
        return failed(status, failure.code, failure.message, failure.cause);

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
            return failed(status, failure.code, failure.message, failure.cause);
        buffers.push_back(memory->GetData());
    }
    auto* image = new TileImage(layout.width, layout.height, static_cast<unsigned int>(rowBytes), layout.format,
                                buffers, memory.get());
    image->SetICCProfile(iccProfile.get());
    return image;
}

namespace {

// TIFF field types and the tags the writer sets itself.
enum : std::uint16_t
{
    kTypeByte = 1,
    kTypeShort = 3,
    kTypeLong = 4,
    kTypeUndefined = 7,
    kTypeLong8 = 16,
};
enum : std::uint16_t
{
    kTagImageWidth = 256,
    kTagImageLength = 257,
    kTagBitsPerSample = 258,
    kTagCompression = 259,
    kTagPhotometric = 262,
    kTagStripOffsets = 273,
    kTagSamplesPerPixel = 277,
    kTagRowsPerStrip = 278,
    kTagStripByteCounts = 279,
    kTagPlanarConfiguration = 284,
    kTagPredictor = 317,
    kTagXmp = 700,
    kTagIptc = 33723,
    kTagIccProfile = 34675,
};

bool isWriterTag(std::uint16_t tag)
{
    switch (tag) {
    case kTagImageWidth: case kTagImageLength: case kTagBitsPerSample: case kTagCompression:
    case kTagPhotometric: case kTagStripOffsets: case kTagSamplesPerPixel: case kTagRowsPerStrip:
    case kTagStripByteCounts: case kTagPlanarConfiguration: case kTagPredictor: case kTagXmp: case kTagIptc:
    case kTagIccProfile:
        return true;
    default:
        return false;
    }
}

void putLittle(std::string& bytes, std::uint64_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<char>(value >> (8 * i)));
}

std::uint64_t getLittle(const std::string& bytes, std::size_t at, int size)
{
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + std::size_t(i)]);
    return value;
}

// One field of the image's directory: its value bytes, placed inline or
// after the directory; or an entry copied unchanged from the EXIF structure.
struct Field
{
    std::uint16_t tag = 0;
    std::uint16_t type = 0;
    std::uint64_t count = 0;
    std::string value;  // little-endian value bytes
    std::string copied; // a whole classic entry taken over as it stands
};

Field field(std::uint16_t tag, std::uint16_t type, const std::vector<std::uint64_t>& values)
{
    const int size = type == kTypeShort ? 2 : type == kTypeLong ? 4 : 8;
    Field result{tag, type, values.size(), {}, {}};
    for (const std::uint64_t value : values)
        putLittle(result.value, value, size);
    return result;
}

Field bytesField(std::uint16_t tag, std::uint16_t type, std::string bytes)
{
    Field result{tag, type, bytes.size(), std::move(bytes), {}};
    return result;
}

// A libtiff handle writing into memory: the strip codecs (LZW with its
// predictor) compress a strip here, and the writer takes the strip's bytes.
class StripCompressor
{
public:
    StripCompressor(unsigned int width, unsigned int rows, const PixelFormat& format, Diagnostics& diagnostics)
    {
        silenceGlobalHandlers();
        TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
        TIFFOpenOptionsSetErrorHandlerExtR(options, onError, &diagnostics);
        TIFFOpenOptionsSetWarningHandlerExtR(options, onWarning, &diagnostics);
        TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxSingleAllocation);
        m_tiff = TIFFClientOpenExt("strip", "wl", this, readProc, writeProc, seekProc, closeProc, sizeProc,
                                   mapProc, unmapProc, options);
        TIFFOpenOptionsFree(options);
        if (!m_tiff)
            return;
        const bool gray = format.GetPixelType() == kPixelTypeGray;
        TIFFSetField(m_tiff, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(m_tiff, TIFFTAG_IMAGELENGTH, rows);
        TIFFSetField(m_tiff, TIFFTAG_BITSPERSAMPLE, format.GetSampleSize());
        TIFFSetField(m_tiff, TIFFTAG_SAMPLESPERPIXEL, gray ? 1 : 3);
        TIFFSetField(m_tiff, TIFFTAG_PHOTOMETRIC, gray ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB);
        TIFFSetField(m_tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(m_tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFSetField(m_tiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
        TIFFSetField(m_tiff, TIFFTAG_ROWSPERSTRIP, rows);
    }
    ~StripCompressor()
    {
        if (m_tiff)
            TIFFClose(m_tiff);
    }
    StripCompressor(const StripCompressor&) = delete;
    StripCompressor& operator=(const StripCompressor&) = delete;

    // Compresses `data` (the strip's rows, changed by the predictor) into `out`.
    bool Compress(std::vector<unsigned char>& data, std::string& out)
    {
        if (!m_tiff || TIFFWriteEncodedStrip(m_tiff, 0, data.data(), tmsize_t(data.size())) < 0)
            return false;
        std::uint64_t* offsets = nullptr;
        std::uint64_t* counts = nullptr;
        if (!TIFFGetField(m_tiff, TIFFTAG_STRIPOFFSETS, &offsets) ||
            !TIFFGetField(m_tiff, TIFFTAG_STRIPBYTECOUNTS, &counts) || !offsets || !counts ||
            offsets[0] + counts[0] > m_bytes.size())
            return false;
        out.assign(m_bytes, std::size_t(offsets[0]), std::size_t(counts[0]));
        return true;
    }

private:
    static StripCompressor& self(thandle_t handle) { return *static_cast<StripCompressor*>(handle); }
    static tmsize_t readProc(thandle_t, void*, tmsize_t) { return 0; }
    static tmsize_t writeProc(thandle_t handle, void* data, tmsize_t size)
    {
        StripCompressor& sink = self(handle);
        const std::size_t end = std::size_t(sink.m_position) + std::size_t(size);
        if (sink.m_bytes.size() < end)
            sink.m_bytes.resize(end);
        std::memcpy(sink.m_bytes.data() + sink.m_position, data, std::size_t(size));
        sink.m_position = end;
        return size;
    }
    static toff_t seekProc(thandle_t handle, toff_t offset, int whence)
    {
        StripCompressor& sink = self(handle);
        const toff_t base = whence == SEEK_CUR ? sink.m_position : whence == SEEK_END ? sink.m_bytes.size() : 0;
        sink.m_position = base + offset;
        return sink.m_position;
    }
    static int closeProc(thandle_t) { return 0; }
    static toff_t sizeProc(thandle_t handle) { return self(handle).m_bytes.size(); }
    static int mapProc(thandle_t, void**, toff_t*) { return 0; }
    static void unmapProc(thandle_t, void*, toff_t) {}

    TIFF* m_tiff = nullptr;
    std::string m_bytes;
    toff_t m_position = 0;
};

// Writes a TIFF file front to back in one pass: the EXIF structure exiv2
// encoded (its offsets count from the file's start, where it lies), the
// image's directory with the EXIF structure's first-directory entries and the
// storage tags, the other metadata, then the strips as the source gives its
// rows. Only the strip offsets and sizes, known once the strips are written,
// are filled in at the end.
class StreamingTiffWriter
{
public:
    StreamingTiffWriter(RowSource& source, std::FILE* file, bool compress, const TiffMetadata& metadata)
        : m_source(source), m_file(file), m_compress(compress), m_metadata(metadata)
    {
        const PixelFormat from = source.Format();
        const bool gray = from.GetPixelType() == kPixelTypeGray;
        m_target = PixelFormat(gray ? kPixelTypeGray : kPixelTypeRGB,
                               from.GetSampleSize() == 16 ? kPixelSize16 : kPixelSize8, true);
        m_scanline = std::size_t(source.Width()) * m_target.GetBytesPerPixel();
        // Classic TIFF addresses at most 4 GB; larger images need BigTIFF.
        m_big = m_scanline * source.Height() > (std::size_t(3) << 30);
        m_rowsPerStrip = unsigned(std::clamp<std::size_t>(kTargetStripBytes / std::max<std::size_t>(1, m_scanline), 1,
                                                          source.Height()));
        m_stripCount = (source.Height() + m_rowsPerStrip - 1) / m_rowsPerStrip;
    }

    bool Write(ImageStatus* status)
    {
        if (!writeHeader())
            return fail(status, std::strerror(errno), CauseOfSystemError(errno));
        m_offsets.reserve(m_stripCount);
        m_counts.reserve(m_stripCount);
        if (!writeStrips(status))
            return false;
        if (!patchStripTables())
            return fail(status, std::strerror(errno), CauseOfSystemError(errno));
        return true;
    }

private:
    bool fail(ImageStatus* status, const std::string& what, ImageStatusCause cause = kImageCauseUnknown)
    {
        if (status && status->IsOK())
            status->Set(kImageStatusWriteError, "The TIFF file could not be written (" + what + ").", cause);
        return false;
    }

    // The file up to the first strip, with room for the strip tables.
    bool writeHeader()
    {
        std::string bytes;
        std::vector<Field> fields = storageFields();
        if (!m_big && isClassicTiff(m_metadata.exifStructure)) {
            bytes = m_metadata.exifStructure;
            copyFirstDirectory(bytes, fields);
        } else {
            if (!m_metadata.exifStructure.empty())
                Log("TIFF", kLogLevelWarning, "the EXIF data is left out of a BigTIFF file");
            bytes = m_big ? std::string("II\x2B\0\x08\0\0\0", 8) : std::string("II\x2A\0", 4);
            putLittle(bytes, 0, m_big ? 8 : 4);
        }
        if (!m_metadata.xmp.empty())
            fields.push_back(bytesField(kTagXmp, kTypeByte, m_metadata.xmp));
        if (!m_metadata.iptc.empty())
            fields.push_back(bytesField(kTagIptc, kTypeUndefined, m_metadata.iptc));
        if (m_metadata.iccProfile && m_metadata.iccProfile->GetSize() > 0)
            fields.push_back(bytesField(
                kTagIccProfile, kTypeUndefined,
                std::string(reinterpret_cast<const char*>(m_metadata.iccProfile->GetData()), m_metadata.iccProfile->GetSize())));
        std::sort(fields.begin(), fields.end(), [](const Field& a, const Field& b) { return a.tag < b.tag; });

        if (bytes.size() % 2)
            bytes.push_back('\0');
        const std::size_t directory = bytes.size();
        // The header's pointer to the first directory.
        for (int i = 0; i < (m_big ? 8 : 4); ++i)
            bytes[std::size_t(m_big ? 8 : 4) + std::size_t(i)] = static_cast<char>(std::uint64_t(directory) >> (8 * i));
        const int entrySize = m_big ? 20 : 12;
        const int countSize = m_big ? 8 : 2;
        const int inlineSize = m_big ? 8 : 4;
        std::size_t values = directory + std::size_t(countSize) + fields.size() * std::size_t(entrySize) +
                             std::size_t(inlineSize);
        std::string entries;
        std::string outOfLine;
        putLittle(entries, fields.size(), countSize);
        for (const Field& f : fields) {
            if (!f.copied.empty()) {
                entries += f.copied;
                continue;
            }
            putLittle(entries, f.tag, 2);
            putLittle(entries, f.type, 2);
            putLittle(entries, f.count, m_big ? 8 : 4);
            std::size_t valueAt = directory + entries.size();
            if (f.value.size() <= std::size_t(inlineSize)) {
                std::string padded = f.value;
                padded.resize(std::size_t(inlineSize), '\0');
                entries += padded;
            } else {
                valueAt = values + outOfLine.size();
                putLittle(entries, valueAt, inlineSize);
                outOfLine += f.value;
                if (outOfLine.size() % 2)
                    outOfLine.push_back('\0');
            }
            if (f.tag == kTagStripOffsets)
                m_offsetsAt = valueAt;
            if (f.tag == kTagStripByteCounts)
                m_countsAt = valueAt;
        }
        putLittle(entries, 0, inlineSize); // no further directory
        bytes += entries;
        bytes += outOfLine;
        while (bytes.size() % 8)
            bytes.push_back('\0');
        m_position = bytes.size();
        return std::fwrite(bytes.data(), 1, bytes.size(), m_file) == bytes.size();
    }

    std::vector<Field> storageFields() const
    {
        const bool gray = m_target.GetPixelType() == kPixelTypeGray;
        const std::uint64_t bits = m_target.GetSampleSize();
        const std::uint16_t offsetType = m_big ? kTypeLong8 : kTypeLong;
        std::vector<Field> fields = {
            field(kTagImageWidth, kTypeLong, {m_source.Width()}),
            field(kTagImageLength, kTypeLong, {m_source.Height()}),
            field(kTagBitsPerSample, kTypeShort, gray ? std::vector<std::uint64_t>{bits} : std::vector<std::uint64_t>{bits, bits, bits}),
            field(kTagCompression, kTypeShort, {std::uint64_t(m_compress ? COMPRESSION_LZW : COMPRESSION_NONE)}),
            field(kTagPhotometric, kTypeShort, {std::uint64_t(gray ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB)}),
            field(kTagStripOffsets, offsetType, std::vector<std::uint64_t>(m_stripCount, 0)),
            field(kTagSamplesPerPixel, kTypeShort, {gray ? 1u : 3u}),
            field(kTagRowsPerStrip, kTypeLong, {m_rowsPerStrip}),
            field(kTagStripByteCounts, offsetType, std::vector<std::uint64_t>(m_stripCount, 0)),
            field(kTagPlanarConfiguration, kTypeShort, {std::uint64_t(PLANARCONFIG_CONTIG)}),
        };
        if (m_compress)
            fields.push_back(field(kTagPredictor, kTypeShort, {std::uint64_t(PREDICTOR_HORIZONTAL)}));
        return fields;
    }

    static bool isClassicTiff(const std::string& bytes)
    {
        return bytes.size() >= 8 && bytes.compare(0, 4, std::string("II\x2A\0", 4)) == 0;
    }

    // Takes over the entries of the EXIF structure's first directory that are
    // not storage tags or metadata written here; their values stay where they
    // are, at the same offsets.
    static void copyFirstDirectory(const std::string& exif, std::vector<Field>& fields)
    {
        const std::uint64_t first = getLittle(exif, 4, 4);
        if (first + 2 > exif.size())
            return;
        const std::uint64_t count = getLittle(exif, std::size_t(first), 2);
        if (first + 2 + count * 12 > exif.size())
            return;
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::size_t at = std::size_t(first + 2 + i * 12);
            const auto tag = static_cast<std::uint16_t>(getLittle(exif, at, 2));
            if (isWriterTag(tag))
                continue;
            Field copied;
            copied.tag = tag;
            copied.copied = exif.substr(at, 12);
            fields.push_back(copied);
        }
    }

    // Strips are made a band at a time: the rows rendered on every thread,
    // converted and compressed on every thread, then written by a thread of
    // their own while the next band is made.
    bool writeStrips(ImageStatus* status)
    {
        const unsigned int threads = ThreadPool::Shared().GetThreadCount();
        // Enough strips at once for every thread to compress two, each band
        // a few megabytes.
        const unsigned int stripsPerBand = std::max(1u, 2 * threads);
        RowBand band;
        struct Strips
        {
            std::vector<std::vector<unsigned char>> rows;
            std::vector<std::string> encoded;
            unsigned int count = 0;
        };
        Strips made[2];
        for (Strips& strips : made) {
            strips.rows.resize(stripsPerBand);
            strips.encoded.resize(stripsPerBand);
        }
        std::future<std::string> writing; // the error of the band being written, if any
        const auto finishWriting = [&]() -> bool {
            if (!writing.valid())
                return true;
            const std::string error = writing.get();
            return error.empty() || fail(status, error, m_bandCause);
        };
        for (unsigned int firstStrip = 0, index = 0; firstStrip < m_stripCount; firstStrip += stripsPerBand, ++index) {
            Strips& strips = made[index % 2];
            strips.count = std::min(stripsPerBand, m_stripCount - firstStrip);
            const unsigned int firstRow = firstStrip * m_rowsPerStrip;
            const unsigned int rowCount = std::min(strips.count * m_rowsPerStrip, m_source.Height() - firstRow);
            if (!m_source.Fill(firstRow, rowCount, 0, band, status)) {
                finishWriting();
                return fail(status, "the pixels could not be had");
            }
            if (!makeStrips(band, firstRow, strips.count, strips.rows, strips.encoded, status)) {
                finishWriting();
                return false;
            }
            if (!finishWriting())
                return false;
            writing = std::async(std::launch::async, [this, &strips] {
                return writeBand(strips.rows, strips.encoded, strips.count);
            });
        }
        return finishWriting();
    }

    bool makeStrips(const RowBand& band, unsigned int firstRow, unsigned int strips,
                    std::vector<std::vector<unsigned char>>& rows, std::vector<std::string>& encoded,
                    ImageStatus* status)
    {
        Diagnostics diagnostics;
        std::atomic<bool> failed{false};
        ThreadPool::Shared().ParallelFor(strips, [&](std::size_t i) {
            const unsigned int stripRow = firstRow + unsigned(i) * m_rowsPerStrip;
            const unsigned int count = std::min(m_rowsPerStrip, m_source.Height() - stripRow);
            std::vector<unsigned char>& data = rows[i];
            data.resize(m_scanline * count);
            for (unsigned int y = 0; y < count; ++y) {
                const void* from[3];
                band.Row(stripRow + y, from);
                void* to = data.data() + std::size_t(y) * m_scanline;
                ConvertPixelRow(m_source.Format(), from, m_target, &to, m_source.Width());
            }
            if (m_compress) {
                StripCompressor compressor(m_source.Width(), count, m_target, diagnostics);
                if (!compressor.Compress(data, encoded[i]))
                    failed = true;
            }
        });
        if (failed || diagnostics.hasError())
            return fail(status, diagnostics.hasError() ? diagnostics.firstError() : "a strip could not be compressed");
        return true;
    }

    // Appends the strips to the file; the error, or nothing.
    std::string writeBand(const std::vector<std::vector<unsigned char>>& rows, const std::vector<std::string>& encoded,
                          unsigned int strips)
    {
        for (unsigned int i = 0; i < strips; ++i) {
            const void* data = m_compress ? static_cast<const void*>(encoded[i].data()) : rows[i].data();
            const std::size_t size = m_compress ? encoded[i].size() : rows[i].size();
            if (std::fwrite(data, 1, size, m_file) != size) {
                m_bandCause = CauseOfSystemError(errno);
                return std::strerror(errno);
            }
            m_offsets.push_back(m_position);
            m_counts.push_back(size);
            m_position += size;
            if (!m_big && m_position > std::numeric_limits<std::uint32_t>::max()) {
                m_bandCause = kImageCauseFileTooLarge;
                return "the file would exceed 4 GB";
            }
        }
        return {};
    }

    bool patchStripTables()
    {
        const int size = m_big ? 8 : 4;
        std::string offsets, counts;
        for (std::size_t i = 0; i < m_offsets.size(); ++i) {
            putLittle(offsets, m_offsets[i], size);
            putLittle(counts, m_counts[i], size);
        }
        const auto put = [&](std::size_t at, const std::string& bytes) {
            return fseeko(m_file, off_t(at), SEEK_SET) == 0 &&
                   std::fwrite(bytes.data(), 1, bytes.size(), m_file) == bytes.size();
        };
        return put(m_offsetsAt, offsets) && put(m_countsAt, counts) && fseeko(m_file, 0, SEEK_END) == 0 &&
               std::fflush(m_file) == 0;
    }

    RowSource& m_source;
    std::FILE* m_file;
    const bool m_compress;
    const TiffMetadata& m_metadata;
    PixelFormat m_target;
    std::size_t m_scanline = 0;
    bool m_big = false;
    unsigned int m_rowsPerStrip = 1;
    unsigned int m_stripCount = 0;
    std::size_t m_offsetsAt = 0;
    std::size_t m_countsAt = 0;
    std::uint64_t m_position = 0;
    std::vector<std::uint64_t> m_offsets;
    std::vector<std::uint64_t> m_counts;
    // Why the band being written failed; read once its writing has ended.
    ImageStatusCause m_bandCause = kImageCauseUnknown;
};

} // namespace

bool WriteTiff(RowSource& source, std::FILE* file, bool compress, const TiffMetadata& metadata, ImageStatus* status)
{
    return StreamingTiffWriter(source, file, compress, metadata).Write(status);
}

} // namespace Navik
