// Loading and saving whole image files: format detection, the codecs, and
// the metadata that travels with the pixels.

#include "Navik/ColorSpace.h"
#include "Navik/Exif.h"
#include "Navik/Image.h"
#include "Navik/Logging.h"

#include "AtomicFile.h"
#include "JpegCodec.h"
#include "Metadata.h"
#include "PixelConvert.h"
#include "RowSource.h"
#include "TiffCodec.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace Navik {

namespace {

// The largest EXIF block a JPEG segment holds, after its "Exif" header.
constexpr std::size_t kMaxJpegExifSize = 65527;

template <typename Result>
Result failed(ImageStatus* status, ImageStatusCode code, const std::string& message, Result result,
              ImageStatusCause cause = kImageCauseUnknown)
{
    if (status)
        status->Set(code, message, cause);
    return result;
}

FileFormat cannotOpen(const std::string& path, int error, ImageStatus* status)
{
    const ImageStatusCode code = error == ENOENT ? kImageStatusFileNotFound : kImageStatusReadError;
    return failed(status, code, "The file \"" + path + "\" could not be opened: " + std::strerror(error),
                  kFileFormatUnknown, CauseOfSystemError(error));
}

// The format to decode with, after checking that the file is there, can be
// read and is not empty.
FileFormat formatToLoad(const std::string& path, FileFormat format, ImageStatus* status)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0)
        return cannotOpen(path, errno, status);
    if (!S_ISREG(info.st_mode))
        return failed(status, kImageStatusReadError, "\"" + path + "\" is not a file.", kFileFormatUnknown,
                      kImageCauseNotAFile);
    if (info.st_size == 0)
        return failed(status, kImageStatusCorruptData, "The file \"" + path + "\" is empty.", kFileFormatUnknown,
                      kImageCauseEmptyFile);
    // A file that cannot be read has no format to tell.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return cannotOpen(path, errno, status);
    close(descriptor);
    if (format == kFileFormatUnknown)
        format = GetFileFormat(path);
    if (format == kFileFormatUnknown)
        return failed(status, kImageStatusUnsupportedFormat,
                      "The file \"" + path + "\" is neither a JPEG nor a TIFF image.", kFileFormatUnknown);
    return format;
}

// Reads the metadata the options ask for; a file whose metadata is damaged
// still opens, without it.
void attachMetadata(Image& image, const std::string& path, FileFormat format, const Dictionary& options)
{
    if (options.GetValueForKey(kImageLoadOptionEXIFData).AsBool() ||
        options.GetValueForKey(kImageLoadOptionXMPSidecar).AsBool()) {
        RefPtr<Exif> exif = RefPtr<Exif>::Adopt(new Exif);
        ImageStatus status;
        if (exif->Load(path, format, options, &status))
            image.SetExif(exif.get());
        else
            Log("Image", kLogLevelWarning, "%s", status.GetMessage());
    }
    if (image.GetICCProfile())
        image.GetExif()->SetICCProfile(image.GetICCProfile());
}

// Whether the EXIF orientation is a mirrored one (2, 4, 5, 7).
bool isMirrored(const Image& image)
{
    const unsigned int orientation = image.GetExif()->GetValue(Exif::kMetaDataOrientationKey).AsUnsignedInt();
    return orientation == 2 || orientation == 4 || orientation == 5 || orientation == 7;
}

// Undoes the mirror of a mirrored EXIF orientation in the pixels: 2 and 4
// are flipped left to right, 5 and 7 top to bottom. What remains of the
// orientation is its rotation (2 as 1, 4 as 3, 5 as 6, 7 as 8), so a reader
// that turns the pixels by that rotation shows the picture as the file means
// it. The tag itself stays as the file has it.
void unmirror(Image& image)
{
    const unsigned int orientation = image.GetExif()->GetValue(Exif::kMetaDataOrientationKey).AsUnsignedInt();
    const bool leftToRight = orientation == 2 || orientation == 4;
    const bool topToBottom = orientation == 5 || orientation == 7;
    if ((!leftToRight && !topToBottom) || image.GetWidth() == 0 || image.GetHeight() == 0)
        return;
    const std::size_t rowBytes = image.GetRowBytes();
    const unsigned int width = image.GetWidth();
    const unsigned int height = image.GetHeight();
    const std::size_t pixelBytes = image.GetPixelFormat().GetBytesPerPixel();
    std::vector<std::uint8_t> pixel(pixelBytes);
    for (unsigned int index = 0; index < image.GetBufferCount(); ++index) {
        auto* const buffer = static_cast<std::uint8_t*>(image.GetBuffer(index));
        if (topToBottom) {
            for (unsigned int top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
                std::swap_ranges(buffer + top * rowBytes, buffer + top * rowBytes + width * pixelBytes,
                                 buffer + bottom * rowBytes);
            continue;
        }
        for (unsigned int y = 0; y < height; ++y) {
            std::uint8_t* const row = buffer + y * rowBytes;
            for (unsigned int left = 0, right = width - 1; left < right; ++left, --right)
                std::swap_ranges(row + left * pixelBytes, row + (left + 1) * pixelBytes, row + right * pixelBytes);
        }
    }
}

Image* load(const std::string& path, FileFormat format, const Dictionary& options, ImageStatus* status,
            Progress* progress, bool headerOnly)
{
    format = formatToLoad(path, format, status);
    const bool inBackground =
        !headerOnly && !progress && options.GetValueForKey(kImageLoadOptionPixelsInBackground).AsBool();
    Image* image = nullptr;
    switch (format) {
    case kFileFormatUnknown: return nullptr;
    case kFileFormatJPEG:
        image = inBackground ? StartJpegInBackground(path, status) : ReadJpeg(path, headerOnly, progress, status);
        break;
    case kFileFormatTIFF: image = ReadTiff(path, headerOnly, progress, status); break;
    default:
        return failed(status, kImageStatusUnsupportedFormat,
                      "Camera raw files cannot be opened; please convert \"" + path + "\" to TIFF or JPEG first.",
                      static_cast<Image*>(nullptr), kImageCauseCameraRaw);
    }
    if (image) {
        attachMetadata(*image, path, format, options);
        // Mirroring moves rows: it needs them all.
        if (!headerOnly && isMirrored(*image) && !image->WaitForPixels(status)) {
            image->Release();
            return nullptr;
        }
        if (!headerOnly)
            unmirror(*image);
        if (progress)
            progress->SetFraction(1.0);
    }
    return image;
}

// The metadata as it goes into the new file: without the old file's storage
// tags and thumbnail, with the new size, and with a valid orientation
// (callers write 0 for "as the pixels are", which EXIF spells 1).
Exif::Data metadataForSave(const Exif& exif, unsigned int width, unsigned int height)
{
    Exif::Data data = exif.GetData();
    RemoveImageStructureTags(data.exif);
    const auto orientation = data.exif.findKey(Exiv2::ExifKey("Exif.Image.Orientation"));
    if (orientation != data.exif.end() && (orientation->toLong() < 1 || orientation->toLong() > 8))
        data.exif["Exif.Image.Orientation"] = std::uint16_t(1);
    const auto xmpOrientation = data.xmp.findKey(Exiv2::XmpKey("Xmp.tiff.Orientation"));
    if (xmpOrientation != data.xmp.end() && (xmpOrientation->toLong() < 1 || xmpOrientation->toLong() > 8))
        data.xmp["Xmp.tiff.Orientation"] = "1";
    if (!data.exif.empty()) {
        data.exif["Exif.Photo.PixelXDimension"] = std::uint32_t(width);
        data.exif["Exif.Photo.PixelYDimension"] = std::uint32_t(height);
    }
    return data;
}

std::string encodeExif(Exiv2::ExifData exif)
{
    Exiv2::Blob blob;
    Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
    if (blob.size() > kMaxJpegExifSize) {
        // Maker notes are what makes EXIF blocks large; the rest is worth keeping.
        Log("Image", kLogLevelWarning, "EXIF too large for JPEG; the maker note is left out");
        RemoveMakerNote(exif);
        blob.clear();
        Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, exif);
    }
    return std::string(blob.begin(), blob.end());
}

JpegSegments jpegSegments(const Exif::Data& data, const ColorSpace* iccProfile)
{
    JpegSegments segments;
    if (!data.exif.empty())
        segments.exif = encodeExif(data.exif);
    if (!data.xmp.empty())
        Exiv2::XmpParser::encode(segments.xmp, data.xmp, Exiv2::XmpParser::useCompactFormat);
    if (!data.iptc.empty()) {
        const Exiv2::DataBuf block = Exiv2::Photoshop::setIptcIrb(nullptr, 0, data.iptc);
        segments.photoshopIptc.assign(reinterpret_cast<const char*>(block.pData_), std::size_t(block.size_));
    }
    segments.iccProfile = iccProfile;
    return segments;
}

// A TIFF file holds EXIF blocks of any size, maker note included.
TiffMetadata tiffMetadata(const Exif::Data& data, const ColorSpace* iccProfile)
{
    TiffMetadata metadata;
    if (!data.exif.empty()) {
        Exiv2::Blob blob;
        Exiv2::ExifParser::encode(blob, Exiv2::littleEndian, data.exif);
        metadata.exifStructure.assign(blob.begin(), blob.end());
    }
    if (!data.xmp.empty())
        Exiv2::XmpParser::encode(metadata.xmp, data.xmp, Exiv2::XmpParser::useCompactFormat);
    if (!data.iptc.empty()) {
        const Exiv2::DataBuf records = Exiv2::IptcParser::encode(data.iptc);
        metadata.iptc.assign(reinterpret_cast<const char*>(records.pData_), std::size_t(records.size_));
    }
    metadata.iccProfile = iccProfile;
    return metadata;
}

// The output file: made beside `path`, handed to `write` as a stream, and
// put in the place of `path` only once written whole.
bool writeOutputFile(const std::string& path, ImageStatus* status, const std::function<bool(std::FILE*)>& write)
{
    AtomicFile file(path);
    return file.Create(status) && write(file.GetStream()) && file.Commit(status);
}

} // namespace

Image* LoadFullImage(const std::string& path, FileFormat format, const Dictionary& options, ImageStatus* status,
                     Progress* progress)
{
    return load(path, format, options, status, progress, false);
}

Image* LoadInfoImage(const std::string& path, FileFormat format, const Dictionary& options, ImageStatus* status)
{
    return load(path, format, options, status, nullptr, true);
}

bool CanSaveTo(const std::string& path, ImageStatus* status)
{
    return AtomicFile::CheckTarget(path, status);
}

bool Image::Save(const std::string& path, FileFormat format, const Dictionary& options, ImageStatus* status) const
{
    const PixelFormat rgb8(kPixelTypeRGB, kPixelSize8, true);
    if (!HasPixels() || !CanConvertPixels(GetPixelFormat(), rgb8))
        return failed(status, kImageStatusInvalidArgument, "The image has no pixels that can be saved.", false);
    if (!WaitForPixels(status))
        return false;
    ImageRowSource rows(*this);
    return SaveRows(rows, *GetExif(), GetICCProfile() ? GetICCProfile() : GetExif()->GetICCProfile(), path, format,
                    options, status);
}

bool SaveRows(RowSource& source, const Exif& exif, const ColorSpace* iccProfile, const std::string& path,
              FileFormat format, const Dictionary& options, ImageStatus* status)
{
    if (format != kFileFormatJPEG && format != kFileFormatTIFF)
        return failed(status, kImageStatusUnsupportedFormat,
                      "Images can be saved only as JPEG or TIFF (format " + std::to_string(format) + " was asked).",
                      false);
    InitializeMetadataLibrary();
    try {
        const Exif::Data metadata = metadataForSave(exif, source.Width(), source.Height());
        if (format == kFileFormatJPEG) {
            const int quality = std::clamp(
                options.GetValueForKey(kImageSaveOptionJPEGQuality, Value(kDefaultJpegQuality)).AsInt(), 5, 100);
            const JpegSegments segments = jpegSegments(metadata, iccProfile);
            return writeOutputFile(path, status, [&](std::FILE* file) {
                return WriteJpeg(source, file, quality, segments, status);
            });
        }
        const bool compress = options.GetValueForKey(kImageSaveOptionTIFFCompression).AsBool();
        const TiffMetadata tiff = tiffMetadata(metadata, iccProfile);
        return writeOutputFile(path, status,
                               [&](std::FILE* file) { return WriteTiff(source, file, compress, tiff, status); });
    } catch (const std::bad_alloc&) {
        return failed(status, kImageStatusOutOfMemory, "There was not enough memory to write \"" + path + "\".", false,
                      kImageCauseOutOfMemory);
    } catch (const std::exception& error) {
        return failed(status, kImageStatusWriteError,
                      std::string("The metadata could not be written: ") + error.what(), false);
    }
}

} // namespace Navik
