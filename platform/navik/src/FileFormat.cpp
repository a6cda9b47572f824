#include "Navik/FileFormat.h"

#include <algorithm>
#include <cctype>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Navik {

namespace {

using namespace std::string_view_literals;

struct SuffixFormat
{
    std::string_view suffix;
    FileFormat format;
};

constexpr std::array<SuffixFormat, 14> kSuffixes = {{
    {".jpg", kFileFormatJPEG},
    {".jpeg", kFileFormatJPEG},
    {".tif", kFileFormatTIFF},
    {".tiff", kFileFormatTIFF},
    {".dng", kFileFormatDNG},
    {".cr2", kFileFormatCR2},
    {".crw", kFileFormatCRW},
    {".nef", kFileFormatNEF},
    {".mrw", kFileFormatMRW},
    {".arw", kFileFormatARW},
    {".raf", kFileFormatRAF},
    {".pef", kFileFormatPEF},
    {".orf", kFileFormatORF},
    {".rw2", kFileFormatRW2},
}};

constexpr std::size_t kHeaderSize = 4096;
constexpr std::uint16_t kDNGVersionTag = 50706;

bool hasSuffix(const std::string& path, std::string_view suffix)
{
    if (path.size() < suffix.size())
        return false;
    return std::equal(suffix.begin(), suffix.end(), path.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

bool startsWith(const unsigned char* header, std::size_t size, std::string_view magic)
{
    return size >= magic.size() && std::memcmp(header, magic.data(), magic.size()) == 0;
}

std::uint32_t read32(const unsigned char* p, bool littleEndian)
{
    return littleEndian ? p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24
                        : std::uint32_t(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

std::uint16_t read16(const unsigned char* p, bool littleEndian)
{
    return static_cast<std::uint16_t>(littleEndian ? p[0] | p[1] << 8 : p[0] << 8 | p[1]);
}

// Whether the first directory of a TIFF-structured header holds the tag
// that marks a DNG file (only directories within the header are looked at).
bool hasDNGVersionTag(const unsigned char* header, std::size_t size)
{
    const bool littleEndian = header[0] == 'I';
    const std::uint32_t offset = read32(header + 4, littleEndian);
    if (offset < 8 || offset > size - 2)
        return false;
    const std::uint16_t count = read16(header + offset, littleEndian);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = offset + 2 + std::size_t(i) * 12;
        if (entry + 12 > size)
            return false;
        if (read16(header + entry, littleEndian) == kDNGVersionTag)
            return true;
    }
    return false;
}

FileFormat formatOfTIFFStructure(const std::string& path, const unsigned char* header, std::size_t size)
{
    if (size >= 11 && std::memcmp(header + 8, "CR\x02", 3) == 0)
        return kFileFormatCR2;
    if (hasDNGVersionTag(header, size))
        return kFileFormatDNG;
    for (const FileFormat raw : {kFileFormatNEF, kFileFormatARW, kFileFormatPEF}) {
        if (GetFileFormatFromPath(path) == raw)
            return raw;
    }
    return kFileFormatTIFF;
}

} // namespace

FileFormat GetFileFormatFromPath(const std::string& path)
{
    for (const SuffixFormat& entry : kSuffixes) {
        if (hasSuffix(path, entry.suffix))
            return entry.format;
    }
    return kFileFormatUnknown;
}

FileFormat GetFileFormat(const std::string& path)
{
    // Only a regular file has a format: a FIFO or a device would block the
    // read or never end it.
    const int descriptor = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return kFileFormatUnknown;
    struct stat info;
    if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(descriptor);
        return kFileFormatUnknown;
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(fdopen(descriptor, "rb"), &std::fclose);
    if (!file) {
        close(descriptor);
        return kFileFormatUnknown;
    }
    unsigned char header[kHeaderSize];
    const std::size_t size = std::fread(header, 1, sizeof header, file.get());

    if (startsWith(header, size, "\xFF\xD8\xFF"sv))
        return kFileFormatJPEG;
    if (startsWith(header, size, "IIRO"sv) || startsWith(header, size, "IIRS"sv) || startsWith(header, size, "MMOR"sv))
        return kFileFormatORF;
    if (startsWith(header, size, "IIU\0"sv))
        return kFileFormatRW2;
    if (startsWith(header, size, "II\x1A\0\0\0HEAPCCDR"sv))
        return kFileFormatCRW;
    if (startsWith(header, size, "\0MRM"sv))
        return kFileFormatMRW;
    if (startsWith(header, size, "FUJIFILMCCD-RAW"sv))
        return kFileFormatRAF;
    if (startsWith(header, size, "II*\0"sv) || startsWith(header, size, "MM\0*"sv))
        return size >= 8 ? formatOfTIFFStructure(path, header, size) : kFileFormatUnknown;
    // BigTIFF, which the TIFF writer makes from 3 GB of pixels on.
    if (startsWith(header, size, "II+\0"sv) || startsWith(header, size, "MM\0+"sv))
        return kFileFormatTIFF;
    return kFileFormatUnknown;
}

} // namespace Navik
