// Loading and saving a 24-megapixel JPEG and a 16-bit TIFF through the
// imaging framework, against libjpeg-turbo's and libtiff's own plain calls on
// the same files in the same run. Each side runs alternately; the best of the
// rounds is kept. Saves flush their files to the disk on both sides.
//
//     bench_navik_codecs [photo.jpg] [rounds]

#include <Navik/Exif.h>
#include <Navik/Image.h>

#include "BenchSupport.h"
#include "PlainJpegEncoder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <jpeglib.h>
#include <memory>
#include <string>
#include <fcntl.h>
#include <tiffio.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsOf(const std::function<void()>& work)
{
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Comparison
{
    const char* what;
    std::function<void()> reference;
    std::function<void()> ours;
    double best[2] = {1e300, 1e300};
};

void run(Comparison& comparison, int rounds)
{
    for (int round = 0; round < rounds; ++round) {
        comparison.best[0] = std::min(comparison.best[0], millisecondsOf(comparison.reference));
        comparison.best[1] = std::min(comparison.best[1], millisecondsOf(comparison.ours));
    }
    std::printf("%-34s reference %8.1f ms   Navik %8.1f ms   ratio %.3f\n", comparison.what, comparison.best[0],
                comparison.best[1], comparison.best[1] / comparison.best[0]);
}

// libjpeg-turbo's plain decoder: the whole file into a fresh RGB buffer.
std::vector<unsigned char> decodeWithLibjpeg(const std::string& path, unsigned int& width, unsigned int& height)
{
    std::vector<unsigned char> pixels;
    if (!decodeJpegWithLibjpeg(path, pixels, width, height)) {
        std::fprintf(stderr, "%s: cannot open\n", path.c_str());
        std::exit(1);
    }
    return pixels;
}

// libtiff's own read of every strip into a fresh buffer.
void readWithLibtiff(const std::string& path)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    const tmsize_t stripSize = TIFFStripSize(tiff);
    const std::uint32_t strips = TIFFNumberOfStrips(tiff);
    std::vector<unsigned char> pixels(std::size_t(stripSize) * strips);
    for (std::uint32_t strip = 0; strip < strips; ++strip)
        TIFFReadEncodedStrip(tiff, strip, pixels.data() + std::size_t(strip) * stripSize, stripSize);
    TIFFClose(tiff);
}

void writeWithLibtiff(const std::string& path, const std::vector<std::uint16_t>& samples, unsigned int width,
                      unsigned int height, bool compress)
{
    writeTiff16WithLibtiff(path, reinterpret_cast<const unsigned char*>(samples.data()), width, height, compress);
}

Navik::Dictionary metadataOptions()
{
    Navik::Dictionary options;
    options.SetValueForKey(Navik::kImageLoadOptionEXIFData, Navik::Value(true));
    options.SetValueForKey(Navik::kImageLoadOptionEXIFMakerNote, Navik::Value(true));
    options.SetValueForKey(Navik::kImageLoadOptionXMPSidecar, Navik::Value(true));
    return options;
}

Navik::Image* loadWithNavik(const std::string& path)
{
    Navik::ImageStatus status;
    Navik::Image* image = Navik::LoadFullImage(path, Navik::kFileFormatUnknown, metadataOptions(), &status, nullptr);
    if (!image) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), status.GetMessage());
        std::exit(1);
    }
    return image;
}

void saveWithNavik(const Navik::Image& image, const std::string& path, Navik::FileFormat format,
                   const Navik::Dictionary& options)
{
    Navik::ImageStatus status;
    if (!image.Save(path, format, options, &status)) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), status.GetMessage());
        std::exit(1);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const std::string photo = argc > 1 ? argv[1] : QUILLET_FIXTURES_DIR "/photo24.jpg";
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("navik-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    constexpr int kQuality = 90;

    unsigned int width = 0;
    unsigned int height = 0;
    const std::vector<unsigned char> reference = decodeWithLibjpeg(photo, width, height);
    std::printf("%s: %u x %u, best of %d rounds\n", photo.c_str(), width, height, rounds);

    Comparison decode{"JPEG load", [&] { decodeWithLibjpeg(photo, width, height); },
                      [&] { loadWithNavik(photo)->Release(); }};
    run(decode, rounds);

    Navik::Image* image = loadWithNavik(photo);
    Navik::Dictionary jpegOptions;
    jpegOptions.SetValueForKey(Navik::kImageSaveOptionJPEGQuality, Navik::Value(kQuality));
    const std::string plainJpeg = (folder / "plain.jpg").string();
    const std::string navikJpeg = (folder / "navik.jpg").string();
    Comparison encode{"JPEG save (quality 90)",
                      [&] {
                          EncodeWithPlainLibjpeg(plainJpeg, reference.data(), std::size_t(width) * 3, width, height, kQuality);
                          flushToDisk(plainJpeg);
                      },
                      [&] { saveWithNavik(*image, navikJpeg, Navik::kFileFormatJPEG, jpegOptions); }};
    run(encode, rounds);

    // A 16-bit TIFF made from the photograph, uncompressed and with LZW.
    const Navik::PixelFormat wide(Navik::kPixelTypeRGB, Navik::kPixelSize16, true);
    std::vector<std::uint16_t> widePixels(std::size_t(width) * height * 3);
    auto* wideImage = new Navik::TileImage(width, height, width * 6, wide, {widePixels.data()});
    wideImage->Copy(*image);
    for (const bool compress : {false, true}) {
        const std::string tiff = (folder / (compress ? "lzw16.tif" : "plain16.tif")).string();
        Navik::Dictionary tiffOptions;
        tiffOptions.SetValueForKey(Navik::kImageSaveOptionTIFFCompression, Navik::Value(compress));
        // The save with the photograph's metadata, against libtiff writing
        // the same samples; both flush the file to the disk.
        wideImage->SetExif(image->GetExif());
        const std::string plainTiff = (folder / "libtiff16.tif").string();
        Comparison save{compress ? "16-bit TIFF save (LZW)" : "16-bit TIFF save (uncompressed)",
                        [&] { writeWithLibtiff(plainTiff, widePixels, width, height, compress); },
                        [&] { saveWithNavik(*wideImage, tiff, Navik::kFileFormatTIFF, tiffOptions); }};
        run(save, rounds);
        Comparison load{compress ? "16-bit TIFF load (LZW)" : "16-bit TIFF load (uncompressed)",
                        [&] { readWithLibtiff(tiff); }, [&] { loadWithNavik(tiff)->Release(); }};
        run(load, rounds);
    }
    wideImage->Release();
    image->Release();
    std::filesystem::remove_all(folder);
    return 0;
}
