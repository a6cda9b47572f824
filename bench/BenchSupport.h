#pragma once

// What the benchmark programs share: the process's memory figures and the
// plain libjpeg-turbo decoder and libtiff writer the framework is timed against.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <jpeglib.h> // after cstddef and cstdio
#include <tiffio.h>
#include <unistd.h>

// Resident memory now ("VmRSS:") or at its peak since the last reset
// ("VmHWM:"), in MB.
inline double statusMegabytes(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::atof(line.c_str() + std::string(field).size()) / 1024.0;
    return 0.0;
}

inline void resetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// A written file's data on the disk, as a save that must survive a crash has
// it. False when the file cannot be opened.
inline bool flushToDisk(const std::string& path)
{
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    fsync(descriptor);
    close(descriptor);
    return true;
}

// libtiff's plain write of 16-bit RGB, in strips of about 256 KB, flushed to
// the disk. With LZW the predictor changes what it is given, so each strip
// goes in as a copy, as a writer that keeps its picture must do. False when
// the file cannot be created.
inline bool writeTiff16WithLibtiff(const std::string& path, const unsigned char* pixels, std::uint32_t width,
                                   std::uint32_t height, bool compress)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff)
        return false;
    const std::size_t scanline = std::size_t(width) * 6;
    const auto rowsPerStrip = std::uint32_t(std::max<std::size_t>(1, (256u << 10) / scanline));
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, compress ? COMPRESSION_LZW : COMPRESSION_NONE);
    if (compress)
        TIFFSetField(tiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    std::vector<unsigned char> strip;
    for (std::uint32_t first = 0, index = 0; first < height; first += rowsPerStrip, ++index) {
        const std::uint32_t rows = std::min(rowsPerStrip, height - first);
        const unsigned char* from = pixels + first * scanline;
        const std::size_t size = rows * scanline;
        if (compress) {
            strip.assign(from, from + size);
            from = strip.data();
        }
        TIFFWriteEncodedStrip(tiff, index, const_cast<unsigned char*>(from), tmsize_t(size));
    }
    TIFFClose(tiff);
    return flushToDisk(path);
}

// libjpeg-turbo's plain decoder into `pixels`, resized to the picture (warm
// when the caller keeps it between rounds). False when the file cannot be opened.
inline bool decodeJpegWithLibjpeg(const std::string& path, std::vector<unsigned char>& pixels, unsigned int& width,
                                  unsigned int& height)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, file);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    width = info.output_width;
    height = info.output_height;
    const std::size_t stride = std::size_t(width) * 3;
    pixels.resize(stride * height);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.data() + info.output_scanline * stride;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    std::fclose(file);
    return true;
}
