#pragma once

// libjpeg's plain sequential encoder, the reference that the framework's own
// JPEG writer is checked and timed against.

#include <cstddef>
#include <cstdio>
#include <string>

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

// Writes `height` rows of 8-bit RGB, `stride` bytes apart, as a JPEG of the
// quality given. False when the file cannot be created.
inline bool EncodeWithPlainLibjpeg(const std::string& path, const unsigned char* pixels, std::size_t stride,
                                   unsigned int width, unsigned int height, int quality)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(pixels) + info.next_scanline * stride;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}
