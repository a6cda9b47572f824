// Speed of the correction engine on a 24-megapixel photograph, measured side
// by side with OpenCV's warpPerspective on the same image and homography when
// OpenCV is installed (it is a reference only; nothing else uses it):
//
// - full-resolution keystone render, bilinear (mode 3) and bicubic (mode 2),
//   at 1 thread and at all threads, and a keystone + horizon + crop render;
// - a preview at level 2 from the input pyramid, against the full render;
// - a 512 x 512 level-0 tile; point projection;
// - the peak memory of a full-resolution render beyond input, output and pyramid.
//
//     bench_navik_engine [photo.jpg] [rounds]

#include <Navik/Agent.h>
#include <Navik/Engine.h>
#include <Navik/Image.h>
#include <Navik/PixelData.h>
#include <Navik/Target.h>
#include <Navik/ThreadGraph.h>

#include "BenchSupport.h"

#ifdef NAVIK_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using PixelDataPtr = std::unique_ptr<Navik::PixelData>;

int g_rounds = 5;

double bestMilliseconds(const std::function<void()>& work, int rounds = g_rounds)
{
    double best = 1e300;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return best;
}

void useThreads(int threads)
{
    Navik::Engine::Configuration configuration;
    configuration.threadCount = threads;
    Navik::Engine::Initialize(configuration);
#ifdef NAVIK_BENCH_OPENCV
    cv::setNumThreads(threads);
#endif
}

PixelDataPtr bufferFor(Navik::Target& target, unsigned int level)
{
    int width = 0, height = 0;
    target.ComputeScaledOutputSize(level, &width, &height);
    return PixelDataPtr(Navik::PixelData::Create(Navik::kSampleTypeUInt8, Navik::kSampleLayoutRGBInterleaved,
                                                 unsigned(width), unsigned(height)));
}

void render(Navik::Target& target, Navik::PixelData& output, unsigned int level = 0)
{
    if (!target.ComputeScaledOutputImage(&output, level, nullptr)) {
        std::fprintf(stderr, "render failed\n");
        std::exit(1);
    }
}

Navik::ValueArray array(std::initializer_list<double> values)
{
    Navik::ValueArray result;
    for (const double value : values)
        result.Append(Navik::Value(value));
    return result;
}

// A strong perspective correction: converging verticals made parallel.
Navik::Dictionary keystone(const char* interpolation)
{
    Navik::Dictionary d;
    d.SetValueForKey("KeystoningActive", Navik::Value(true));
    d.SetValueForKey("KeystoningMode", Navik::Value("Parallel"));
    d.SetValueForKey("KeystoningPoints", Navik::Value(array({0.25, 0.15, 0.2, 0.9, 0.8, 0.9, 0.75, 0.15})));
    d.SetValueForKey("OutputInterpolation", Navik::Value(interpolation));
    return d;
}

Navik::Dictionary keystoneHorizonCrop()
{
    Navik::Dictionary d = keystone("Bicubic");
    d.SetValueForKey("KeystoningHorizon", Navik::Value(2.5));
    d.SetValueForKey("CropActive", Navik::Value(true));
    d.SetValueForKey("CropAuto", Navik::Value(true));
    return d;
}

#ifdef NAVIK_BENCH_OPENCV
// The target's output-to-input map as one homography in OpenCV's pixel-index
// convention, from four corners projected through the target.
cv::Mat inverseMap(const Navik::Target& target, int width, int height)
{
    std::vector<cv::Point2f> output{{0.f, 0.f}, {float(width), 0.f}, {float(width), float(height)}, {0.f, float(height)}};
    std::vector<cv::Point2f> input;
    for (const cv::Point2f& p : output) {
        double x = 0, y = 0;
        target.ProjectPointFromOutputToInputImage(0, double(p.x), double(p.y), x, y);
        input.emplace_back(float(x - 0.5), float(y - 0.5));
    }
    for (cv::Point2f& p : output)
        p -= cv::Point2f(0.5f, 0.5f);
    return cv::getPerspectiveTransform(output, input);
}
#endif

int g_missed = 0;

// "met" or "MISSED", counting the misses for the closing line.
const char* verdict(bool met)
{
    g_missed += !met;
    return met ? "met" : "MISSED";
}

void report(const char* what, double navik, double reference, double limit)
{
    if (reference > 0)
        std::printf("%-44s Navik %8.2f ms   OpenCV %8.2f ms   ratio %.3f (target <= %.2f) %s\n", what, navik,
                    reference, navik / reference, limit, verdict(navik / reference <= limit));
    else
        std::printf("%-44s Navik %8.2f ms   (no OpenCV reference)\n", what, navik);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string photo = argc > 1 ? argv[1] : QUILLET_FIXTURES_DIR "/photo24.jpg";
    g_rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const unsigned int cores = Navik::ThreadPool::AvailableCpuCount();
#ifndef NAVIK_BENCH_OPENCV
    std::printf("OpenCV is not installed: the reference timings are missing (apt-get install libopencv-dev)\n");
#endif

    Navik::ImageStatus status;
    Navik::Image* image = Navik::LoadFullImage(photo, Navik::kFileFormatUnknown, {}, &status, nullptr);
    if (!image) {
        std::fprintf(stderr, "%s: %s\n", photo.c_str(), status.GetMessage());
        return 1;
    }
    std::printf("%s: %u x %u, best of %d rounds, %u cores\n", photo.c_str(), image->GetWidth(), image->GetHeight(),
                g_rounds, cores);
#ifdef NAVIK_BENCH_OPENCV
    const cv::Mat source(int(image->GetHeight()), int(image->GetWidth()), CV_8UC3, image->GetBuffer(0),
                         image->GetRowBytes());
#endif

    auto agent = std::make_unique<Navik::Agent>(*image);
    auto* filter = new Navik::Filter;
    Navik::Target* bilinear = agent->AddTarget(Navik::kCorrectionModePreview, keystone("Bilinear"), filter);
    Navik::Target* bicubic = agent->AddTarget(Navik::kCorrectionModeFinal, keystone("Bicubic"), filter);
    Navik::Target* full = agent->AddTarget(Navik::kCorrectionModeFinal, keystoneHorizonCrop(), filter);
    PixelDataPtr output = bufferFor(*bilinear, 0);
    PixelDataPtr cropped = bufferFor(*full, 0);
    int width = 0, height = 0;
    bilinear->ComputeScaledOutputSize(0, &width, &height);
    std::printf("keystone output %d x %d\n", width, height);

    struct Case
    {
        const char* name;
        Navik::Target* target;
        Navik::PixelData* buffer;
        int interpolation; // OpenCV's
        double limit;
    };
#ifdef NAVIK_BENCH_OPENCV
    const Case cases[] = {{"keystone, bilinear", bilinear, output.get(), cv::INTER_LINEAR, 1.0},
                          {"keystone, bicubic", bicubic, output.get(), cv::INTER_CUBIC, 0.8},
                          {"keystone + horizon + crop, bicubic", full, cropped.get(), cv::INTER_CUBIC, 0.8}};
#else
    const Case cases[] = {{"keystone, bilinear", bilinear, output.get(), 0, 1.0},
                          {"keystone, bicubic", bicubic, output.get(), 0, 0.8},
                          {"keystone + horizon + crop, bicubic", full, cropped.get(), 0, 0.8}};
#endif
    double fullRenderAllThreads = 0;
    for (const int threads : {1, int(cores)}) {
        useThreads(threads);
        for (const Case& c : cases) {
            // The two sides take turns, so that a change in the machine's load hits both.
            double navik = 1e300, reference = 0;
#ifdef NAVIK_BENCH_OPENCV
            const cv::Mat map = inverseMap(*c.target, int(c.buffer->GetWidth()), int(c.buffer->GetHeight()));
            cv::Mat result(int(c.buffer->GetHeight()), int(c.buffer->GetWidth()), CV_8UC3);
            reference = 1e300;
#endif
            for (int round = 0; round < g_rounds; ++round) {
                navik = std::min(navik, bestMilliseconds([&] { render(*c.target, *c.buffer); }, 1));
#ifdef NAVIK_BENCH_OPENCV
                reference = std::min(reference, bestMilliseconds([&] {
                    cv::warpPerspective(source, result, map, result.size(), c.interpolation | cv::WARP_INVERSE_MAP,
                                        cv::BORDER_CONSTANT);
                }, 1));
#endif
            }
            const std::string what = std::string(c.name) + ", " + std::to_string(threads) + " thread" +
                                     (threads > 1 ? "s" : "");
            report(what.c_str(), navik, reference, c.limit);
            if (threads > 1 && c.target == bilinear)
                fullRenderAllThreads = navik;
        }
    }

    // Previews from the pyramid, on all threads.
    useThreads(int(cores));
    PixelDataPtr preview = bufferFor(*bilinear, 2);
    const double pyramid = bestMilliseconds([&] { render(*bilinear, *preview, 2); }, 1);
    const double previewTime = bestMilliseconds([&] { render(*bilinear, *preview, 2); }, 20);
    std::printf("%-44s %8.2f ms (first render, pyramid built)\n", "preview level 2", pyramid);
    std::printf("%-44s %8.2f ms for %u x %u (target <= 5 ms) %s; %.3f of the full render (target <= 0.125) %s\n",
                "preview level 2, all threads", previewTime, preview->GetWidth(), preview->GetHeight(),
                verdict(previewTime <= 5.0), previewTime / fullRenderAllThreads,
                verdict(previewTime / fullRenderAllThreads <= 0.125));

    PixelDataPtr tile(Navik::PixelData::Create(Navik::kSampleTypeUInt8, Navik::kSampleLayoutRGBInterleaved, 512, 512));
    const double tileTime = bestMilliseconds(
        [&] { bilinear->ComputeScaledOutputSubImageBitShiftApprox(tile.get(), 0, 2000, 1500, 512, 512, nullptr); }, 50);
    std::printf("%-44s %8.2f ms (target <= 2 ms) %s\n", "512 x 512 tile at level 0, all threads", tileTime,
                verdict(tileTime <= 2.0));

    std::vector<std::pair<double, double>> points;
    for (int y = 0; y < 4000; y += 8)
        for (int x = 0; x < 6000; x += 8)
            points.emplace_back(x + 0.5, y + 0.5);
    double checksum = 0;
    const double projection = bestMilliseconds([&] {
        for (const auto& [x, y] : points) {
            double ox = 0, oy = 0;
            full->ProjectPointFromInputToOutputImage(0, x, y, ox, oy);
            checksum += ox;
        }
    });
    const double rate = points.size() / projection / 1e3;
    std::printf("%-44s %8.1f million points/s (target >= 10) %s [%d]\n", "point projection, 1 thread", rate,
                verdict(rate >= 10), checksum > 0);

    // The whole peak of a full-resolution render on a fresh agent: the output
    // buffer, the pyramid levels it samples and the renderer's own memory.
    {
        const double before = statusMegabytes("VmRSS:");
        resetPeakMemory();
        Navik::Agent fresh(*image);
        Navik::Target* target = fresh.AddTarget(Navik::kCorrectionModeFinal, keystoneHorizonCrop(), filter);
        PixelDataPtr buffer = bufferFor(*target, 0);
        render(*target, *buffer);
        const double peak = statusMegabytes("VmHWM:") - before;
        const double picture = double(image->GetWidth()) * image->GetHeight() * 3 / 1048576.0;
        const double output = double(buffer->GetRowBytes()) * buffer->GetHeight() / 1048576.0;
        std::printf("%-44s %8.1f MB = %.2f x the decoded picture (the output alone %.1f MB)\n",
                    "peak memory of a full render", peak, peak / picture, output);
    }

    agent.reset();
    filter->Release();
    image->Release();
    std::printf("%s\n", g_missed ? "some targets MISSED" : "every target met");
    return 0;
}
