#pragma once

#include <string>

namespace Navik {

// File formats by number. JPEG and TIFF are read and written; the camera raw
// formats are recognised so that callers can name them, and are not decoded.
enum FileFormat : int
{
    kFileFormatUnknown = -1,
    kFileFormatJPEG = 0,
    kFileFormatTIFF = 1,
    kFileFormatDNG = 3,
    kFileFormatCR2 = 5,
    kFileFormatCRW = 6,
    kFileFormatNEF = 7,
    kFileFormatMRW = 8,
    kFileFormatARW = 9,
    kFileFormatRAF = 10,
    kFileFormatPEF = 11,
    kFileFormatORF = 12,
    kFileFormatRW2 = 13,
};

// The format of the file's content, or kFileFormatUnknown when the file cannot
// be read or is of no known format. TIFF-structured raw files that carry no
// signature of their own are told apart by their suffix.
FileFormat GetFileFormat(const std::string& path);

// The format that the path's suffix names (case-insensitive): ".jpg" and
// ".jpeg" JPEG, ".tif" and ".tiff" TIFF, the raw suffixes their formats;
// kFileFormatUnknown for any other suffix.
FileFormat GetFileFormatFromPath(const std::string& path);

} // namespace Navik
