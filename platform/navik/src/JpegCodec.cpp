#include "JpegCodec.h"

#include "Navik/ColorSpace.h"
#include "Navik/Logging.h"
#include "Navik/MemoryBlock.h"
#include "Navik/ThreadGraph.h"

#include "Geometry.h"
#include "PixelArrival.h"
#include "PixelConvert.h"
#include "RowSource.h"

// jpeglib.h needs size_t and FILE declared first.
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>
#include <jerror.h>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace Navik {

namespace {

// Progressive files with more scans than this are refused: hostile files use
// thousands of tiny scans to make decoding take hours.
constexpr int kMaxProgressiveScans = 500;
// libjpeg's own working memory (coefficient buffers of progressive files).
constexpr long kMaxDecoderMemory = 2048L << 20;

constexpr char kXmpSignature[] = "http://ns.adobe.com/xap/1.0/";
constexpr std::size_t kMaxSegmentPayload = 65533;

// Warnings after which the picture is incomplete: the file is truncated or its
// compressed data is damaged. Other warnings (extra bytes between segments,
// for instance) are common in camera files and harmless.
bool isDataLoss(int messageCode)
{
    switch (messageCode) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_MUST_RESYNC:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_NOT_SEQUENTIAL:
        return true;
    default:
        return false;
    }
}

// libjpeg reports errors through these callbacks; we jump back to the call
// that started the work, which then fails with the stored message.
struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
    ImageStatusCode code;
    ImageStatusCause cause;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void fail(j_common_ptr info, ImageStatusCode code, ImageStatusCause cause = kImageCauseUnknown)
{
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    errors->code = code;
    errors->cause = cause;
    std::longjmp(errors->jump, 1);
}

[[noreturn]] void failWithMessage(j_common_ptr info, ImageStatusCode code, const char* message,
                                  ImageStatusCause cause = kImageCauseUnknown)
{
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    std::snprintf(errors->message, sizeof errors->message, "%s", message);
    fail(info, code, cause);
}

[[noreturn]] void errorExit(j_common_ptr info)
{
    // The reason of a failed write of the file, before anything else can
    // change it.
    const int systemError = errno;
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    info->err->format_message(info, errors->message);
    const int code = info->err->msg_code;
    if (code == JERR_OUT_OF_MEMORY || code == JERR_NO_BACKING_STORE)
        fail(info, kImageStatusOutOfMemory);
    if (info->is_decompressor)
        fail(info, kImageStatusCorruptData);
    if (code == JERR_IMAGE_TOO_BIG)
        fail(info, kImageStatusWriteError, kImageCauseFileTooLarge);
    fail(info, kImageStatusWriteError, code == JERR_FILE_WRITE ? CauseOfSystemError(systemError) : kImageCauseUnknown);
}

void emitMessage(j_common_ptr info, int level)
{
    if (level >= 0)
        return; // trace messages
    auto* errors = reinterpret_cast<ErrorManager*>(info->err);
    info->err->format_message(info, errors->message);
    if (isDataLoss(info->err->msg_code))
        fail(info, kImageStatusCorruptData);
    Log("JPEG", kLogLevelDebug, "%s", errors->message);
}

void outputMessage(j_common_ptr) {}

void installErrorManager(ErrorManager& errors)
{
    jpeg_std_error(&errors.base);
    errors.base.error_exit = errorExit;
    errors.base.emit_message = emitMessage;
    errors.base.output_message = outputMessage;
    errors.code = kImageStatusNoError;
    errors.cause = kImageCauseUnknown;
    errors.message[0] = '\0';
}

struct ProgressMonitor
{
    jpeg_progress_mgr base;
    Progress* progress;
    Internal::PixelArrival* arrival; // of a decode in the background, or null
};

void monitorDecoding(j_common_ptr info)
{
    auto* monitor = reinterpret_cast<ProgressMonitor*>(info->progress);
    auto* decoder = reinterpret_cast<j_decompress_ptr>(info);
    if (decoder->progressive_mode && decoder->input_scan_number > kMaxProgressiveScans)
        failWithMessage(info, kImageStatusCorruptData, "The file has too many progressive scans.");
    if (monitor->arrival && monitor->arrival->StopRequested())
        failWithMessage(info, kImageStatusCancelled, "Loading was cancelled.");
    if (!monitor->progress)
        return;
    if (monitor->progress->IsCancelled())
        failWithMessage(info, kImageStatusCancelled, "Loading was cancelled.");
    const auto& base = monitor->base;
    const double pass = base.pass_limit > 0 ? double(base.pass_counter) / double(base.pass_limit) : 0.0;
    monitor->progress->SetFraction((base.completed_passes + pass) / std::max(1, base.total_passes));
}

class JpegReader
{
public:
    explicit JpegReader(std::FILE* file) : m_file(file)
    {
        std::memset(&m_info, 0, sizeof m_info);
        installErrorManager(m_errors);
        m_info.err = &m_errors.base;
        m_monitor.base.progress_monitor = monitorDecoding;
    }
    ~JpegReader() { jpeg_destroy_decompress(&m_info); }

    Image* read(bool headerOnly, Progress* progress, ImageStatus* status)
    {
        m_monitor.progress = progress;
        if (!readHeader(headerOnly) || (!headerOnly && !decodeRows())) {
            report(status);
            return nullptr;
        }
        return makeImage();
    }

    // Reads the header and has the pixel memory, and returns the image
    // whose rows decodeInBackground() fills later; null on failure.
    Image* start(ImageStatus* status)
    {
        if (!readHeader(false)) {
            report(status);
            return nullptr;
        }
        return makeImage();
    }

    // Decodes the rows, publishing them through `arrival` as they come, and
    // tells it the end.
    void decodeInBackground(Internal::PixelArrival& arrival)
    {
        m_monitor.arrival = &arrival;
        touchPixels();
        ImageStatus status;
        if (!decodeRows())
            report(&status);
        arrival.Finish(status);
    }

private:
    void report(ImageStatus* status) const
    {
        if (status)
            status->Set(m_errors.code, messageForStatus(), m_errors.cause);
    }

    Image* makeImage()
    {
        std::vector<void*> buffers;
        if (m_memory)
            buffers.push_back(m_memory->GetData());
        auto* image = new TileImage(m_info.image_width, m_info.image_height, static_cast<unsigned int>(m_rowBytes),
                                    m_format, buffers, m_memory.get());
        image->SetICCProfile(m_iccProfile.get());
        return image;
    }

    std::string messageForStatus() const
    {
        if (m_errors.code == kImageStatusCorruptData)
            return std::string("The JPEG file is damaged or incomplete (") + m_errors.message + ").";
        return m_errors.message;
    }

    // Runs libjpeg up to the pixels, which it then has the memory for; every
    // error jumps back here. Only plain values and members live across the jump.
    bool readHeader(bool headerOnly)
    {
        if (setjmp(m_errors.jump))
            return false;
        jpeg_create_decompress(&m_info);
        jpeg_stdio_src(&m_info, m_file);
        jpeg_save_markers(&m_info, JPEG_APP0 + 2, 0xFFFF);
        jpeg_read_header(&m_info, TRUE);

        const bool isGray = m_info.jpeg_color_space == JCS_GRAYSCALE;
        const bool isColour = m_info.jpeg_color_space == JCS_YCbCr || m_info.jpeg_color_space == JCS_RGB;
        const bool isCMYK = m_info.jpeg_color_space == JCS_CMYK || m_info.jpeg_color_space == JCS_YCCK;
        if (!isGray && !isColour && !isCMYK)
            failWithMessage(info(), kImageStatusUnsupportedFormat, "The JPEG file uses an unknown colour model.",
                            kImageCauseColourModel);
        m_format = PixelFormat(isGray ? kPixelTypeGray : isCMYK ? kPixelTypeCMYK : kPixelTypeRGB, kPixelSize8, true);
        if (!IsImageSizeAllowed(m_info.image_width, m_info.image_height))
            failWithMessage(info(), kImageStatusImageTooLarge,
                            "The image is too large: at most 250 million pixels can be opened.");
        readIccProfile();
        if (headerOnly)
            return true;
        if (isCMYK)
            failWithMessage(info(), kImageStatusUnsupportedFormat, "CMYK JPEG images are not supported.",
                            kImageCauseColourModel);

        m_info.out_color_space = isGray ? JCS_GRAYSCALE : JCS_RGB;
        m_info.mem->max_memory_to_use = kMaxDecoderMemory;
        m_info.progress = &m_monitor.base;
        jpeg_calc_output_dimensions(&m_info);
        allocatePixels();
        return true;
    }

    // Has the kernel back the whole pixel memory before the first row, while
    // the threads that will render it still wait: faulted in row by row, as the
    // decode writes, its pages came in beside the render threads' own
    // allocations and the decode took two to three times its time on the CPU.
    void touchPixels()
    {
        constexpr std::size_t kPage = 4096;
        auto* bytes = static_cast<volatile unsigned char*>(m_memory->GetData());
        const std::size_t size = m_rowBytes * m_info.output_height;
        for (std::size_t i = 0; i < size; i += kPage)
            bytes[i] = 0; // the decode writes every row after this
    }

    // Decodes every row into the pixel memory, on whichever thread calls.
    bool decodeRows()
    {
        if (setjmp(m_errors.jump))
            return false;
        jpeg_start_decompress(&m_info);
        while (m_info.output_scanline < m_info.output_height) {
            jpeg_read_scanlines(&m_info, m_rows.data() + m_info.output_scanline,
                                m_info.output_height - m_info.output_scanline);
            if (m_monitor.arrival)
                m_monitor.arrival->Publish(m_info.output_scanline);
        }
        jpeg_finish_decompress(&m_info);
        return true;
    }

    j_common_ptr info() { return reinterpret_cast<j_common_ptr>(&m_info); }

    void readIccProfile()
    {
        JOCTET* data = nullptr;
        unsigned int size = 0;
        if (jpeg_read_icc_profile(&m_info, &data, &size)) {
            m_iccProfile = RefPtr<ColorSpace>::Adopt(new ColorSpace(data, size));
            std::free(data);
        }
    }

    void allocatePixels()
    {
        m_rowBytes = AlignedRowBytes(m_info.output_width, static_cast<unsigned int>(m_info.output_components));
        m_memory = RefPtr<MemoryBlock>::Adopt(MemoryBlock::Allocate(m_rowBytes * m_info.output_height));
        if (!m_memory)
            failWithMessage(info(), kImageStatusOutOfMemory, "There is not enough memory to open the image.");
        m_rows.resize(m_info.output_height);
        auto* first = static_cast<JSAMPLE*>(m_memory->GetData());
        for (JDIMENSION y = 0; y < m_info.output_height; ++y)
            m_rows[y] = first + y * m_rowBytes;
    }

    std::FILE* m_file;
    jpeg_decompress_struct m_info;
    ErrorManager m_errors;
    ProgressMonitor m_monitor{};
    PixelFormat m_format;
    std::size_t m_rowBytes = 0;
    RefPtr<MemoryBlock> m_memory;
    std::vector<JSAMPROW> m_rows;
    RefPtr<ColorSpace> m_iccProfile;
};

// libjpeg's output into a string that grows as the encoder fills it. The
// string is ours whatever happens, so an encode that stops half-way (a
// source that fails, an error) leaves nothing to free twice or to leak.
struct StringDestination
{
    jpeg_destination_mgr base{nullptr, 0, initialize, grow, finish};
    std::string* bytes = nullptr;

    static StringDestination& of(j_compress_ptr info) { return *reinterpret_cast<StringDestination*>(info->dest); }

    static void initialize(j_compress_ptr info) { resizeTo(info, 0, std::size_t(1) << 16); }

    static boolean grow(j_compress_ptr info)
    {
        const std::size_t used = of(info).bytes->size();
        resizeTo(info, used, 2 * used);
        return TRUE;
    }

    static void finish(j_compress_ptr info)
    {
        StringDestination& destination = of(info);
        destination.bytes->resize(destination.bytes->size() - destination.base.free_in_buffer);
    }

    // Makes the string `size` bytes long, the encoder writing on from `used`.
    static void resizeTo(j_compress_ptr info, std::size_t used, std::size_t size)
    {
        StringDestination& destination = of(info);
        try {
            destination.bytes->resize(size);
        } catch (const std::bad_alloc&) {
            info->err->msg_code = JERR_OUT_OF_MEMORY;
            info->err->error_exit(reinterpret_cast<j_common_ptr>(info)); // does not return
        }
        destination.base.next_output_byte = reinterpret_cast<JOCTET*>(destination.bytes->data()) + used;
        destination.base.free_in_buffer = size - used;
    }
};

// Encodes rows [firstRow, firstRow + rowCount) of a source as a JPEG of its
// own, into a file or into memory. Rows are taken from the source a band at a
// time, filled with at most `threads` threads (0: all).
class JpegWriter
{
public:
    JpegWriter(RowSource& source, unsigned int firstRow, unsigned int rowCount, unsigned int threads)
        : m_source(source), m_firstRow(firstRow), m_rowCount(rowCount), m_threads(threads)
    {
        std::memset(&m_info, 0, sizeof m_info);
        installErrorManager(m_errors);
        m_info.err = &m_errors.base;
        const bool isGray = source.Format().GetPixelType() == kPixelTypeGray;
        m_target = PixelFormat(isGray ? kPixelTypeGray : kPixelTypeRGB, kPixelSize8, true);
        if (source.Format() != m_target)
            m_scratch.resize(std::size_t(source.Width()) * m_target.GetBytesPerPixel());
    }
    ~JpegWriter() { jpeg_destroy_compress(&m_info); }

    bool writeToFile(std::FILE* file, int quality, const JpegSegments& segments, ImageStatus* status)
    {
        m_file = file;
        return report(encode(quality, segments), status);
    }

    // On failure `bytes` holds what was encoded until then.
    bool writeToMemory(std::string& bytes, int quality, const JpegSegments& segments, ImageStatus* status)
    {
        m_destination.bytes = &bytes;
        return report(encode(quality, segments), status);
    }

    // The size of one MCU, the unit of restart intervals, with the settings
    // every band is encoded with.
    static void mcuSize(RowSource& source, unsigned int& width, unsigned int& height)
    {
        JpegWriter probe(source, 0, 1, 1);
        probe.configure(kDefaultJpegQuality); // the sampling does not depend on the quality
        int maxH = 1;
        int maxV = 1;
        for (int i = 0; i < probe.m_info.num_components; ++i) {
            maxH = std::max(maxH, probe.m_info.comp_info[i].h_samp_factor);
            maxV = std::max(maxV, probe.m_info.comp_info[i].v_samp_factor);
        }
        width = static_cast<unsigned int>(DCTSIZE * maxH);
        height = static_cast<unsigned int>(DCTSIZE * maxV);
    }

private:
    bool report(bool succeeded, ImageStatus* status)
    {
        if (!succeeded && !m_sourceStatus.IsOK()) {
            if (status)
                *status = m_sourceStatus;
            return false;
        }
        if (!succeeded && status)
            status->Set(m_errors.code, std::string("The JPEG file could not be written (") + m_errors.message + ").",
                        m_errors.cause);
        return succeeded;
    }

    void configure(int quality)
    {
        jpeg_create_compress(&m_info);
        m_info.image_width = m_source.Width();
        m_info.image_height = m_rowCount;
        m_info.input_components = static_cast<int>(m_target.GetBufferChannelCount());
        m_info.in_color_space = m_info.input_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
        jpeg_set_defaults(&m_info);
        jpeg_set_quality(&m_info, quality, TRUE);
    }

    bool encode(int quality, const JpegSegments& segments)
    {
        if (setjmp(m_errors.jump))
            return false;
        configure(quality);
        if (m_file)
            jpeg_stdio_dest(&m_info, m_file);
        else
            m_info.dest = &m_destination.base;
        // An EXIF file starts with its EXIF segment; the JFIF one would only repeat the resolution.
        m_info.write_JFIF_header = segments.exif.empty();
        jpeg_start_compress(&m_info, TRUE);
        writeSegments(segments);
        for (unsigned int y = 0; y < m_rowCount; ++y) {
            JSAMPROW row = rowToWrite(m_firstRow + y);
            if (!row)
                return false;
            jpeg_write_scanlines(&m_info, &row, 1);
        }
        jpeg_finish_compress(&m_info);
        return true;
    }

    void writeSegments(const JpegSegments& segments)
    {
        if (!segments.exif.empty())
            writeSegment(JPEG_APP0 + 1, std::string("Exif\0\0", 6) + segments.exif, "EXIF");
        if (!segments.xmp.empty())
            writeSegment(JPEG_APP0 + 1, std::string(kXmpSignature, sizeof kXmpSignature) + segments.xmp, "XMP");
        if (!segments.photoshopIptc.empty())
            writeSegment(JPEG_APP0 + 13, "Photoshop 3.0" + std::string(1, '\0') + segments.photoshopIptc, "IPTC");
        if (segments.iccProfile && segments.iccProfile->GetSize() > 0)
            jpeg_write_icc_profile(&m_info, segments.iccProfile->GetData(),
                                   static_cast<unsigned int>(segments.iccProfile->GetSize()));
    }

    void writeSegment(int marker, const std::string& payload, const char* what)
    {
        if (payload.size() > kMaxSegmentPayload) {
            Log("JPEG", kLogLevelWarning, "%s metadata of %zu bytes does not fit in a JPEG segment; not written",
                what, payload.size());
            return;
        }
        jpeg_write_marker(&m_info, marker, reinterpret_cast<const JOCTET*>(payload.data()),
                          static_cast<unsigned int>(payload.size()));
    }

    // Row `y` ready for the encoder; null when the source failed.
    JSAMPROW rowToWrite(unsigned int y)
    {
        if (y >= m_band.firstRow + m_band.rowCount) {
            const unsigned int count = std::min(kBandRows, m_firstRow + m_rowCount - y);
            if (!m_source.Fill(y, count, m_threads, m_band, &m_sourceStatus)) {
                if (m_sourceStatus.IsOK())
                    m_sourceStatus.Set(kImageStatusWriteError, "The pixels to write could not be had.");
                return nullptr;
            }
        }
        const void* sourceRows[3];
        m_band.Row(y, sourceRows);
        if (m_scratch.empty())
            return static_cast<JSAMPROW>(const_cast<void*>(sourceRows[0]));
        void* destination = m_scratch.data();
        ConvertPixelRow(m_source.Format(), sourceRows, m_target, &destination, m_source.Width());
        return m_scratch.data();
    }

    // Rows asked of the source at once: small enough to stay in the caches of
    // the encoding thread, large enough for a render to spread over threads.
    static constexpr unsigned int kBandRows = 64;

    RowSource& m_source;
    unsigned int m_firstRow;
    unsigned int m_rowCount;
    unsigned int m_threads;
    RowBand m_band;
    ImageStatus m_sourceStatus;
    std::FILE* m_file = nullptr;
    StringDestination m_destination;
    jpeg_compress_struct m_info;
    ErrorManager m_errors;
    PixelFormat m_target;
    std::vector<JSAMPLE> m_scratch;
};


// A JPEG scan can be cut into restart intervals that are coded independently.
// So bands of whole MCU rows are encoded on all cores as JPEGs of their own,
// and their entropy-coded data joined with restart markers under the headers
// of the first band, whose frame height is set to the whole image's. Every
// band sees exactly the rows a single encoder would, so the pixels are the
// same as those of a sequential encoding.
class BandedJpegWriter
{
public:
    // `bandRows` and `restartInterval` as plan() gave them.
    BandedJpegWriter(RowSource& source, unsigned int bandRows, unsigned int restartInterval)
        : m_source(source), m_bandRows(bandRows), m_restartInterval(restartInterval)
    {
    }

    bool write(std::FILE* file, int quality, const JpegSegments& segments, ImageStatus* status)
    {
        if (!encodeBands(quality, segments, status))
            return false;
        std::string headers;
        if (!joinHeaders(headers)) {
            if (status)
                status->Set(kImageStatusWriteError, "The JPEG encoder gave an unexpected stream.");
            return false;
        }
        std::fwrite(headers.data(), 1, headers.size(), file);
        for (std::size_t band = 0; band < m_bands.size(); ++band) {
            std::fwrite(m_bands[band].data() + m_scanStart[band], 1, m_bands[band].size() - m_scanStart[band] - 2, file);
            const unsigned char marker[2] = {0xFF, static_cast<unsigned char>(JPEG_RST0 + band % 8)};
            if (band + 1 < m_bands.size())
                std::fwrite(marker, 1, 2, file);
        }
        const unsigned char end[2] = {0xFF, JPEG_EOI};
        std::fwrite(end, 1, 2, file);
        if (std::ferror(file)) {
            const int error = errno;
            if (status)
                status->Set(kImageStatusWriteError,
                            std::string("The JPEG file could not be written (") + std::strerror(error) + ").",
                            CauseOfSystemError(error));
            return false;
        }
        return true;
    }

    // Whether bands pay off, and how many MCU rows each holds.
    static bool plan(RowSource& source, unsigned int& bandRows, unsigned int& restartInterval)
    {
        const unsigned int threads = ThreadPool::Shared().GetThreadCount();
        if (threads < 2 || std::uint64_t(source.Width()) * source.Height() < kBandedPixelCount)
            return false;
        unsigned int mcuWidth = 0;
        unsigned int mcuHeight = 0;
        JpegWriter::mcuSize(source, mcuWidth, mcuHeight);
        const unsigned int mcusPerRow = (source.Width() + mcuWidth - 1) / mcuWidth;
        const unsigned int mcuRows = (source.Height() + mcuHeight - 1) / mcuHeight;
        const unsigned int maxMcuRowsPerBand = 65535 / mcusPerRow;
        // Four bands per thread: a band renders its own rows as it encodes
        // them, and small bands share uneven work out better.
        const unsigned int mcuRowsPerBand = std::min(maxMcuRowsPerBand, std::max(1u, mcuRows / (4 * threads)));
        if (mcuRowsPerBand == 0 || mcuRowsPerBand >= mcuRows)
            return false;
        bandRows = mcuRowsPerBand * mcuHeight;
        restartInterval = mcuRowsPerBand * mcusPerRow;
        return true;
    }

private:
    static constexpr std::uint64_t kBandedPixelCount = 1u << 20;
    static constexpr unsigned char kDefineRestartInterval = 0xDD;

    bool encodeBands(int quality, const JpegSegments& segments, ImageStatus* status)
    {
        const std::size_t count = (m_source.Height() + m_bandRows - 1) / m_bandRows;
        m_bands.resize(count);
        m_scanStart.resize(count);
        std::vector<ImageStatus> statuses(count);
        std::atomic<bool> failed{false};
        ThreadPool::Shared().ParallelFor(count, [&](std::size_t band) {
            const auto firstRow = static_cast<unsigned int>(band * m_bandRows);
            const unsigned int rows = std::min(m_bandRows, m_source.Height() - firstRow);
            // Every thread is busy with a band of its own: each fills its rows alone.
            JpegWriter writer(m_source, firstRow, rows, 1);
            if (!writer.writeToMemory(m_bands[band], quality, band == 0 ? segments : JpegSegments(), &statuses[band]))
                failed = true;
        });
        if (!failed)
            return true;
        for (const ImageStatus& bandStatus : statuses) {
            if (!bandStatus.IsOK() && status)
                *status = bandStatus;
        }
        return false;
    }

    // The first band's headers up to its scan, with the frame height of the
    // whole image and a restart interval added; and where each band's
    // entropy-coded data begins.
    bool joinHeaders(std::string& headers)
    {
        std::size_t sofHeight = 0;
        std::size_t firstScanHeader = 0;
        for (std::size_t band = 0; band < m_bands.size(); ++band) {
            std::size_t scanHeader = 0;
            if (!findScan(m_bands[band], band == 0 ? &sofHeight : nullptr, scanHeader, m_scanStart[band]))
                return false;
            if (band == 0)
                firstScanHeader = scanHeader;
        }
        if (sofHeight == 0)
            return false;
        headers.assign(m_bands[0], 0, firstScanHeader);
        headers[sofHeight] = static_cast<char>(m_source.Height() >> 8);
        headers[sofHeight + 1] = static_cast<char>(m_source.Height() & 0xFF);
        const char restart[6] = {'\xFF', static_cast<char>(kDefineRestartInterval), 0, 4, static_cast<char>(m_restartInterval >> 8),
                                 static_cast<char>(m_restartInterval & 0xFF)};
        headers.append(restart, sizeof restart);
        headers.append(m_bands[0], firstScanHeader, m_scanStart[0] - firstScanHeader);
        return true;
    }

    // Walks the segments before the scan: notes where the frame header's
    // height lies, where the scan header starts and where its data starts.
    static bool findScan(const std::string& bytes, std::size_t* sofHeight, std::size_t& sosMarker, std::size_t& scanData)
    {
        const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
        if (bytes.size() < 4 || byteAt(bytes.size() - 2) != 0xFF || byteAt(bytes.size() - 1) != JPEG_EOI)
            return false;
        std::size_t position = 2; // after SOI
        while (position + 4 <= bytes.size() && byteAt(position) == 0xFF) {
            const unsigned char marker = byteAt(position + 1);
            const std::size_t length = std::size_t(byteAt(position + 2)) << 8 | byteAt(position + 3);
            if (marker == 0xC0 && sofHeight)
                *sofHeight = position + 5;
            if (marker == 0xDA) {
                sosMarker = position;
                scanData = position + 2 + length;
                return scanData + 2 <= bytes.size();
            }
            position += 2 + length;
        }
        return false;
    }

    RowSource& m_source;
    const unsigned int m_bandRows;
    const unsigned int m_restartInterval;
    std::vector<std::string> m_bands;
    std::vector<std::size_t> m_scanStart;
};

} // namespace

Image* ReadJpeg(const std::string& path, bool headerOnly, Progress* progress, ImageStatus* status)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        if (status)
            status->Set(kImageStatusReadError, "The file \"" + path + "\" could not be opened: " + std::strerror(errno),
                        CauseOfSystemError(errno));
        return nullptr;
    }
    Image* image = JpegReader(file).read(headerOnly, progress, status);
    std::fclose(file);
    return image;
}

Image* StartJpegInBackground(const std::string& path, ImageStatus* status)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        if (status)
            status->Set(kImageStatusReadError, "The file \"" + path + "\" could not be opened: " + std::strerror(errno),
                        CauseOfSystemError(errno));
        return nullptr;
    }
    auto reader = std::make_shared<JpegReader>(file);
    Image* image = reader->start(status);
    if (!image) {
        reader.reset();
        std::fclose(file);
        return nullptr;
    }
    // The image stops and joins the decoder before it lets go of the arrival.
    auto arrival = std::make_shared<Internal::PixelArrival>(image->GetHeight());
    Internal::SetPixelArrival(*image, arrival);
    arrival->Start([reader, file, arrival = arrival.get()]() mutable {
        reader->decodeInBackground(*arrival);
        reader.reset();
        std::fclose(file);
    });
    return image;
}

bool WriteJpeg(RowSource& source, std::FILE* file, int quality, const JpegSegments& segments, ImageStatus* status)
{
    unsigned int bandRows = 0;
    unsigned int restartInterval = 0;
    if (BandedJpegWriter::plan(source, bandRows, restartInterval))
        return BandedJpegWriter(source, bandRows, restartInterval).write(file, quality, segments, status);
    return JpegWriter(source, 0, source.Height(), 0).writeToFile(file, quality, segments, status);
}

} // namespace Navik
