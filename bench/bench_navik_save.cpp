// The whole road of a correction, open -> keystone -> save, against the plain
// libjpeg-turbo and libtiff calls that do the least the same files need, in
// one process: the file's rows decoded in the background while the render and
// the encoder take them, as the engine's batch save does, and for comparison
// with the picture opened whole first, as the window opens it; the peak memory of that road; and the warp's time per pixel
// for 8- and 16-bit samples.
//
//     bench_navik_save [photo.jpg] [rounds]
//
// Saves are durable on both sides: the framework flushes its file to the disk
// before it replaces the target, so the plain writers flush theirs too.
//
// Run it as it is for every CPU of the machine, and under `taskset -c 0,1`
// (or `taskset -c 0`) for two (one): the pools take the CPUs the process may
// use. The references are single-threaded by nature (libjpeg-turbo and
// libtiff have no threads); they read and write warm buffers, the framework
// allocates what it uses, as opening a picture does. Each side runs in turn,
// so a change in the machine's load hits both; the best of the rounds counts.

#include <Navik/Agent.h>
#include <Navik/Engine.h>
#include <Navik/Exif.h>
#include <Navik/Image.h>
#include <Navik/PixelData.h>
#include <Navik/Target.h>
#include <Navik/ThreadGraph.h>

#include "BenchSupport.h"
#include "PlainJpegEncoder.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <fcntl.h>
#include <tiffio.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int g_rounds = 5;
int g_missed = 0;

double millisecondsOf(const std::function<void()>& work)
{
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

const char* verdict(bool met)
{
    g_missed += !met;
    return met ? "met" : "MISSED";
}

// Best times of two sides run in turn, after one untimed round of each: the
// plain side then writes into warm buffers, ours has its threads and their
// heaps made, as in a program that has saved once.
std::pair<double, double> compare(const std::function<void()>& reference, const std::function<void()>& ours)
{
    reference();
    ours();
    double best[2] = {1e300, 1e300};
    for (int round = 0; round < g_rounds; ++round) {
        best[0] = std::min(best[0], millisecondsOf(reference));
        best[1] = std::min(best[1], millisecondsOf(ours));
    }
    return {best[0], best[1]};
}

void report(const std::string& what, const std::pair<double, double>& times, double limit)
{
    const double ratio = times.second / times.first;
    std::printf("%-46s plain %8.1f ms   Navik %8.1f ms   ratio %.3f (target <= %.2f) %s\n", what.c_str(),
                times.first, times.second, ratio, limit, verdict(ratio <= limit));
}

// The machine's load: figures taken on a shared machine mean little without it.
std::string loadAverage()
{
    std::ifstream file("/proc/loadavg");
    std::string one, five, fifteen;
    file >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

[[noreturn]] void die(const std::string& what)
{
    std::fprintf(stderr, "%s\n", what.c_str());
    std::exit(1);
}

// ------------------------------------------------------------ the plain side

void encodeJpeg(const std::string& path, const std::vector<unsigned char>& pixels, unsigned int width,
                unsigned int height)
{
    if (!EncodeWithPlainLibjpeg(path, pixels.data(), std::size_t(width) * 3, width, height, 90))
        die(path + ": cannot create");
    if (!flushToDisk(path))
        die(path + ": cannot open");
}

// libjpeg-turbo's plain decoder into `pixels` (kept warm between rounds).
void decodeJpeg(const std::string& path, std::vector<unsigned char>& pixels, unsigned int& width, unsigned int& height)
{
    if (!decodeJpegWithLibjpeg(path, pixels, width, height))
        die(path + ": cannot open");
}

// libtiff's own read of every strip into `pixels` (kept warm).
void readTiff(const std::string& path, std::vector<unsigned char>& pixels, std::uint32_t& width, std::uint32_t& height)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    if (!tiff)
        die(path + ": cannot open");
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    const tmsize_t stripSize = TIFFStripSize(tiff);
    const std::uint32_t strips = TIFFNumberOfStrips(tiff);
    pixels.resize(std::size_t(stripSize) * strips);
    for (std::uint32_t strip = 0; strip < strips; ++strip)
        TIFFReadEncodedStrip(tiff, strip, pixels.data() + std::size_t(strip) * stripSize, stripSize);
    TIFFClose(tiff);
}

void writeTiff16(const std::string& path, const std::vector<unsigned char>& pixels, std::uint32_t width,
                 std::uint32_t height, bool compress)
{
    if (!writeTiff16WithLibtiff(path, pixels.data(), width, height, compress))
        die(path + ": cannot create");
}

// ------------------------------------------------------------ the framework's side

Navik::ValueArray array(std::initializer_list<double> values)
{
    Navik::ValueArray result;
    for (const double value : values)
        result.Append(Navik::Value(value));
    return result;
}

// A strong perspective correction: converging verticals made parallel.
Navik::Dictionary keystone()
{
    Navik::Dictionary d;
    d.SetValueForKey("KeystoningActive", Navik::Value(true));
    d.SetValueForKey("KeystoningMode", Navik::Value("Parallel"));
    d.SetValueForKey("KeystoningPoints", Navik::Value(array({0.25, 0.15, 0.2, 0.9, 0.8, 0.9, 0.75, 0.15})));
    return d;
}

// With the metadata; with `inBackground` the rows are decoded by a thread of
// their own while the render and the save that need them run, as the
// engine's batch save opens its file. The program's window opens whole: its
// previews need every row.
Navik::Dictionary loadOptions(bool inBackground)
{
    Navik::Dictionary options;
    options.SetValueForKey(Navik::kImageLoadOptionEXIFData, Navik::Value(true));
    options.SetValueForKey(Navik::kImageLoadOptionPixelsInBackground, Navik::Value(inBackground));
    return options;
}

// Open, correct, save: what saving a corrected photograph costs.
void openCorrectSave(const std::string& input, const std::string& output, Navik::FileFormat format,
                     Navik::SampleType sampleType, bool compress, bool inBackground = true)
{
    Navik::ImageStatus status;
    Navik::Image* image = Navik::LoadFullImage(input, Navik::kFileFormatUnknown, loadOptions(inBackground), &status,
                                               nullptr);

    if (!image)
        die(input + ": " + status.GetMessage());
    {
        Navik::Agent agent(*image);
        auto* filter = new Navik::Filter;
        Navik::Target* target = agent.AddTarget(Navik::kCorrectionModeFinal, keystone(), filter);
        Navik::Dictionary options;
        options.SetValueForKey(Navik::kImageSaveOptionJPEGQuality, Navik::Value(90));
        options.SetValueForKey(Navik::kImageSaveOptionTIFFCompression, Navik::Value(compress));
        if (!target->SaveOutputImage(output, format, options, sampleType, Navik::kSampleLayoutRGBInterleaved,
                                     *image->GetExif(), image->GetICCProfile(), nullptr, &status))
            die(output + ": " + status.GetMessage());
        filter->Release();
    }
    image->Release();
}

// A JPEG of about `megapixels` made from the photograph by nearest-neighbour
// scaling, written by the plain encoder.
std::string scaledPhotograph(const std::vector<unsigned char>& pixels, unsigned int width, unsigned int height,
                             double megapixels, const std::filesystem::path& folder)
{
    const double scale = std::sqrt(megapixels * 1e6 / (double(width) * height));
    const auto w = unsigned(width * scale), h = unsigned(height * scale);
    std::vector<unsigned char> scaled(std::size_t(w) * h * 3);
    for (unsigned int y = 0; y < h; ++y) {
        const unsigned int sy = std::min(height - 1, unsigned(y / scale));
        for (unsigned int x = 0; x < w; ++x) {
            const unsigned int sx = std::min(width - 1, unsigned(x / scale));
            std::copy_n(&pixels[(std::size_t(sy) * width + sx) * 3], 3, &scaled[(std::size_t(y) * w + x) * 3]);
        }
    }
    const std::string path = (folder / ("photo" + std::to_string(int(megapixels)) + ".jpg")).string();
    EncodeWithPlainLibjpeg(path, scaled.data(), std::size_t(w) * 3, w, h, 90);
    return path;
}

// Renders of the whole keystone output at level 0 into warm buffers, the two
// sample depths in turn: the best times of each.
std::pair<double, double> renderMilliseconds(Navik::Target& narrow, Navik::PixelData& narrowOut, Navik::Target& wide,
                                             Navik::PixelData& wideOut)
{
    const auto render = [](Navik::Target& target, Navik::PixelData& output) {
        if (!target.ComputeScaledOutputImage(&output, 0, nullptr))
            die("render failed");
    };
    return compare([&] { render(narrow, narrowOut); }, [&] { render(wide, wideOut); });
}

} // namespace

int main(int argc, char** argv)
{
    const std::string photo = argc > 1 ? argv[1] : QUILLET_FIXTURES_DIR "/photo24.jpg";
    g_rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("navik-save-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const unsigned int cpus = Navik::ThreadPool::AvailableCpuCount();
    std::printf("%s, best of %d rounds, %u CPUs for the framework (plain libjpeg-turbo and libtiff: 1), load %s\n",
                photo.c_str(), g_rounds, cpus, loadAverage().c_str());

    std::vector<unsigned char> warm;
    unsigned int width = 0, height = 0;
    decodeJpeg(photo, warm, width, height);
    const std::vector<unsigned char> original = warm;
    const std::string out = (folder / "out").string();

    // ---- open -> keystone -> JPEG save, against decode + encode
    std::printf("\nopen -> keystone -> JPEG save (quality 90) against a plain decode + encode\n");
    for (const double megapixels : {12.0, 24.0, 50.0}) {
        const std::string input = megapixels == 24.0 ? photo : scaledPhotograph(original, width, height, megapixels, folder);
        unsigned int w = 0, h = 0;
        decodeJpeg(input, warm, w, h);
        const auto times = compare(
            [&] {
                decodeJpeg(input, warm, w, h);
                encodeJpeg(out + ".plain.jpg", warm, w, h);
            },
            [&] { openCorrectSave(input, out + ".jpg", Navik::kFileFormatJPEG, Navik::kSampleTypeUInt8, false); });
        const double limit = cpus >= 8 ? 1.0 : cpus >= 2 ? 1.3 : 1e9;
        report(std::to_string(w) + " x " + std::to_string(h) + ", " + std::to_string(cpus) + " CPUs", times, limit);
        // The same road with the picture opened whole before the correction
        // starts, as the window opens it: for comparison, no target.
        const auto whole = compare(
            [&] {
                decodeJpeg(input, warm, w, h);
                encodeJpeg(out + ".plain.jpg", warm, w, h);
            },
            [&] {
                openCorrectSave(input, out + ".jpg", Navik::kFileFormatJPEG, Navik::kSampleTypeUInt8, false, false);
            });
        std::printf("%-46s plain %8.1f ms   Navik %8.1f ms   ratio %.3f\n", "  opened whole first", whole.first,
                    whole.second, whole.second / whole.first);

        // The peak, everything of the road included: the decoded picture,
        // the pyramid levels the render samples, the bands and the encoder's.
        const double before = statusMegabytes("VmRSS:");
        resetPeakMemory();
        openCorrectSave(input, out + ".jpg", Navik::kFileFormatJPEG, Navik::kSampleTypeUInt8, false);
        const double peak = statusMegabytes("VmHWM:") - before;
        const double picture = double(w) * h * 3 / 1048576.0;
        std::printf("%-46s %8.1f MB = %.2f x the decoded picture (%.1f MB) (target <= 2) %s\n", "  peak memory", peak,
                    peak / picture, picture, verdict(peak / picture <= 2.0));
    }

    // ---- 16-bit TIFF in -> keystone -> 16-bit TIFF out, against libtiff read + write
    std::printf("\n16-bit TIFF in -> keystone -> 16-bit TIFF out against a plain libtiff read + write\n");
    {
        std::vector<unsigned char> wide(std::size_t(width) * height * 6);
        auto* samples = reinterpret_cast<std::uint16_t*>(wide.data());
        for (std::size_t i = 0; i < std::size_t(width) * height * 3; ++i)
            samples[i] = std::uint16_t(original[i] * 257 + (i % 7));
        const std::string input = (folder / "photo16.tif").string();
        writeTiff16(input, wide, width, height, false);
        std::vector<unsigned char> read;
        std::uint32_t w = 0, h = 0;
        readTiff(input, read, w, h);
        for (const bool compress : {false, true}) {
            const auto times = compare(
                [&] {
                    readTiff(input, read, w, h);
                    writeTiff16(out + ".plain.tif", read, w, h, compress);
                },
                [&] { openCorrectSave(input, out + ".tif", Navik::kFileFormatTIFF, Navik::kSampleTypeUInt16, compress); });
            report(std::string(compress ? "LZW" : "uncompressed") + " out, " + std::to_string(cpus) + " CPUs", times,
                   3.0);
        }
        const double before = statusMegabytes("VmRSS:");
        resetPeakMemory();
        openCorrectSave(input, out + ".tif", Navik::kFileFormatTIFF, Navik::kSampleTypeUInt16, false);
        const double peak = statusMegabytes("VmHWM:") - before;
        const double picture = double(w) * h * 6 / 1048576.0;
        std::printf("%-46s %8.1f MB = %.2f x the decoded picture (%.1f MB) (target <= 2) %s\n", "  peak memory", peak,
                    peak / picture, picture, verdict(peak / picture <= 2.0));
    }

    // ---- the warp per pixel: 16-bit against 8-bit samples
    std::printf("\nkeystone render at level 0, 16-bit against 8-bit samples\n");
    {
        Navik::ImageStatus status;
        Navik::Image* narrow = Navik::LoadFullImage(photo, Navik::kFileFormatUnknown, {}, &status, nullptr);
        Navik::Image* wide = Navik::LoadFullImage((folder / "photo16.tif").string(), Navik::kFileFormatUnknown, {},
                                                  &status, nullptr);
        if (!narrow || !wide)
            die("cannot open the pictures for the render comparison");
        auto* filter = new Navik::Filter;
        {
            Navik::Agent narrowAgent(*narrow), wideAgent(*wide);
            for (const char* interpolation : {"Bilinear", "Bicubic"}) {
                Navik::Dictionary parameters = keystone();
                parameters.SetValueForKey("OutputInterpolation", Navik::Value(interpolation));
                Navik::Target* narrowTarget = narrowAgent.AddTarget(Navik::kCorrectionModeFinal, parameters, filter);
                Navik::Target* wideTarget = wideAgent.AddTarget(Navik::kCorrectionModeFinal, parameters, filter);
                int w = 0, h = 0;
                narrowTarget->ComputeScaledOutputSize(0, &w, &h);
                std::unique_ptr<Navik::PixelData> narrowOut(Navik::PixelData::Create(
                    Navik::kSampleTypeUInt8, Navik::kSampleLayoutRGBInterleaved, unsigned(w), unsigned(h)));
                std::unique_ptr<Navik::PixelData> wideOut(Navik::PixelData::Create(
                    Navik::kSampleTypeUInt16, Navik::kSampleLayoutRGBInterleaved, unsigned(w), unsigned(h)));
                for (const unsigned int threads : {1u, cpus}) {
                    Navik::Engine::Configuration configuration;
                    configuration.threadCount = int(threads);
                    Navik::Engine::Initialize(configuration);
                    double times[2][2] = {}; // [vector, portable][8, 16]
                    for (const bool portable : {false, true}) {
                        Navik::Engine::SetPortableRendering(portable);
                        const auto [narrowTime, wideTime] =
                            renderMilliseconds(*narrowTarget, *narrowOut, *wideTarget, *wideOut);
                        times[portable][0] = narrowTime;
                        times[portable][1] = wideTime;
                    }
                    Navik::Engine::SetPortableRendering(false);
                    const double ratio = times[0][1] / times[0][0];
                    std::printf("%-9s %u thread%s  8-bit %7.1f ms  16-bit %7.1f ms  ratio %.2f (target <= 1.5) %s"
                                "   portable: 8-bit %7.1f ms  16-bit %7.1f ms\n",
                                interpolation, threads, threads > 1 ? "s" : " ", times[0][0], times[0][1], ratio,
                                verdict(ratio <= 1.5), times[1][0], times[1][1]);
                }
                narrowAgent.RemoveTarget(narrowTarget);
                wideAgent.RemoveTarget(wideTarget);
            }
        }
        Navik::Engine::Finalize();
        filter->Release();
        narrow->Release();
        wide->Release();
    }

    std::filesystem::remove_all(folder);
    std::printf("\nload at the end %s\n%s\n", loadAverage().c_str(), g_missed ? "some targets MISSED" : "every target met");
    return 0;
}
