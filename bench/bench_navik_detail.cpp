// Detail of a full-resolution render where the correction shrinks the
// picture (an output pixel covers more than one input pixel, less than two):
// the variance of the Laplacian of the rendered pixels against a reference
// made from the same homography. The reference is OpenCV's bilinear and
// bicubic warpPerspective when OpenCV is installed, and always a bicubic
// (Catmull-Rom) resampling of the full-resolution input written here, which
// is what a render that keeps every detail of level 0 gives.
//
//     bench_navik_detail [photo.jpg]

#include <Navik/Agent.h>
#include <Navik/Engine.h>
#include <Navik/Image.h>
#include <Navik/PixelData.h>
#include <Navik/Target.h>

#ifdef NAVIK_BENCH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kBlock = 512;

Navik::ValueArray array(std::initializer_list<double> values)
{
    Navik::ValueArray result;
    for (const double value : values)
        result.Append(Navik::Value(value));
    return result;
}

// Verticals that diverge upwards made parallel, the result shrunk to 60 %:
// output pixels cover from less than one to more than two input pixels.
Navik::Dictionary narrowingTop()
{
    Navik::Dictionary d;
    d.SetValueForKey("KeystoningActive", Navik::Value(true));
    d.SetValueForKey("KeystoningMode", Navik::Value("Parallel"));
    d.SetValueForKey("KeystoningPoints", Navik::Value(array({0.1, 0.1, 0.25, 0.9, 0.75, 0.9, 0.9, 0.1})));
    d.SetValueForKey("KeystoningScale", Navik::Value(60.0));
    d.SetValueForKey("OutputInterpolation", Navik::Value("Bicubic"));
    return d;
}

// A grey (green) plane of `width` x `height`.
struct Plane
{
    int width = 0;
    int height = 0;
    std::vector<float> samples;
    float at(int x, int y) const { return samples[std::size_t(y) * width + x]; }
};

double laplacianVariance(const Plane& plane)
{
    double sum = 0, squares = 0;
    int count = 0;
    for (int y = 1; y + 1 < plane.height; ++y)
        for (int x = 1; x + 1 < plane.width; ++x) {
            const double l = plane.at(x - 1, y) + plane.at(x + 1, y) + plane.at(x, y - 1) + plane.at(x, y + 1) -
                             4.0 * plane.at(x, y);
            sum += l;
            squares += l * l;
            ++count;
        }
    const double mean = sum / count;
    return squares / count - mean * mean;
}

double catmullRom(double t, int tap)
{
    const double d = std::abs(t - tap);
    if (d < 1)
        return 1.5 * d * d * d - 2.5 * d * d + 1;
    if (d < 2)
        return -0.5 * d * d * d + 2.5 * d * d - 4 * d + 2;
    return 0;
}

// The green sample of the input at a continuous position (pixel centres on
// whole numbers), bicubic.
float bicubicGreen(const Navik::Image& image, double x, double y)
{
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const auto* base = static_cast<const unsigned char*>(image.GetBuffer(0));
    const int width = int(image.GetWidth()), height = int(image.GetHeight());
    double value = 0;
    for (int j = -1; j <= 2; ++j) {
        const int sy = std::clamp(y0 + j, 0, height - 1);
        const double wy = catmullRom(y - y0, j);
        for (int i = -1; i <= 2; ++i) {
            const int sx = std::clamp(x0 + i, 0, width - 1);
            value += wy * catmullRom(x - x0, i) * base[std::size_t(sy) * image.GetRowBytes() + 3 * sx + 1];
        }
    }
    return float(std::clamp(value, 0.0, 255.0));
}

Plane greenOf(const Navik::PixelData& pixels)
{
    Plane plane{int(pixels.GetWidth()), int(pixels.GetHeight()), {}};
    plane.samples.resize(std::size_t(plane.width) * plane.height);
    for (int y = 0; y < plane.height; ++y) {
        const auto* row = static_cast<const unsigned char*>(pixels.Buffer(0)) + std::size_t(y) * pixels.GetRowBytes();
        for (int x = 0; x < plane.width; ++x)
            plane.samples[std::size_t(y) * plane.width + x] = row[3 * x + 1];
    }
    return plane;
}

// How many input pixels an output pixel at (x, y) spans, the larger of its two sides.
double footprint(const Navik::Target& target, double x, double y)
{
    double cx = 0, cy = 0, rx = 0, ry = 0, bx = 0, by = 0;
    target.ProjectPointFromOutputToInputImage(0, x, y, cx, cy);
    target.ProjectPointFromOutputToInputImage(0, x + 1, y, rx, ry);
    target.ProjectPointFromOutputToInputImage(0, x, y + 1, bx, by);
    return std::max(std::hypot(rx - cx, ry - cy), std::hypot(bx - cx, by - cy));
}

} // namespace

int main(int argc, char** argv)
{
    const std::string photo = argc > 1 ? argv[1] : QUILLET_FIXTURES_DIR "/photo24.jpg";
    Navik::Engine::Initialize({});
    Navik::ImageStatus status;
    Navik::Image* image = Navik::LoadFullImage(photo, Navik::kFileFormatUnknown, {}, &status, nullptr);
    if (!image) {
        std::fprintf(stderr, "%s: %s\n", photo.c_str(), status.GetMessage());
        return 1;
    }
    auto agent = std::make_unique<Navik::Agent>(*image);
    auto* filter = new Navik::Filter;
    Navik::Target* target = agent->AddTarget(Navik::kCorrectionModeFinal, narrowingTop(), filter);
    int width = 0, height = 0;
    target->ComputeScaledOutputSize(0, &width, &height);

    // The block inside the picture whose pixels span the most input pixels
    // short of two (where a reduction to the next level starts).
    const auto inside = [&](double x, double y) {
        double ix = 0, iy = 0;
        return target->ProjectPointFromOutputToInputImage(0, x, y, ix, iy) && ix >= 2 && iy >= 2 &&
               ix <= image->GetWidth() - 2.0 && iy <= image->GetHeight() - 2.0;
    };
    int left = 0, top = 0;
    double best = 0;
    for (int y = 0; y + kBlock <= height; y += kBlock / 4)
        for (int x = 0; x + kBlock <= width; x += kBlock / 4) {
            if (!inside(x, y) || !inside(x + kBlock, y) || !inside(x, y + kBlock) || !inside(x + kBlock, y + kBlock))
                continue;
            const double spans = std::max(footprint(*target, x, y), footprint(*target, x + kBlock, y + kBlock));
            if (spans < 1.95 && spans > best) {
                best = spans;
                left = x;
                top = y;
            }
        }
    if (best == 0) {
        std::fprintf(stderr, "no block of the picture is reduced by the correction\n");
        return 1;
    }
    std::printf("%s: %u x %u; output %d x %d; block %d x %d at (%d, %d), an output pixel spans %.2f input pixels\n",
                photo.c_str(), image->GetWidth(), image->GetHeight(), width, height, kBlock, kBlock, left, top, best);

    std::unique_ptr<Navik::PixelData> block(
        Navik::PixelData::Create(Navik::kSampleTypeUInt8, Navik::kSampleLayoutRGBInterleaved, kBlock, kBlock));
    if (!target->ComputeScaledOutputSubImageBitShiftApprox(block.get(), 0, left, top, kBlock, kBlock, nullptr)) {
        std::fprintf(stderr, "render failed\n");
        return 1;
    }
    const double rendered = laplacianVariance(greenOf(*block));

    Plane reference{kBlock, kBlock, std::vector<float>(std::size_t(kBlock) * kBlock)};
    for (int y = 0; y < kBlock; ++y)
        for (int x = 0; x < kBlock; ++x) {
            double ix = 0, iy = 0;
            target->ProjectPointFromOutputToInputImage(0, left + x + 0.5, top + y + 0.5, ix, iy);
            reference.samples[std::size_t(y) * kBlock + x] = bicubicGreen(*image, ix - 0.5, iy - 0.5);
        }
    const double level0 = laplacianVariance(reference);
    std::printf("%-46s %10.1f\n", "variance of the Laplacian, Navik render", rendered);
    std::printf("%-46s %10.1f   Navik / reference %.3f\n", "level-0 bicubic reference (this program)", level0,
                rendered / level0);

#ifdef NAVIK_BENCH_OPENCV
    const cv::Mat source(int(image->GetHeight()), int(image->GetWidth()), CV_8UC3, image->GetBuffer(0),
                         image->GetRowBytes());
    std::vector<cv::Point2f> output{{0.f, 0.f}, {float(kBlock), 0.f}, {float(kBlock), float(kBlock)}, {0.f, float(kBlock)}};
    std::vector<cv::Point2f> input;
    for (const cv::Point2f& p : output) {
        double x = 0, y = 0;
        target->ProjectPointFromOutputToInputImage(0, double(left + p.x), double(top + p.y), x, y);
        input.emplace_back(float(x - 0.5), float(y - 0.5));
    }
    for (cv::Point2f& p : output)
        p -= cv::Point2f(0.5f, 0.5f);
    const cv::Mat map = cv::getPerspectiveTransform(output, input);
    for (const auto& [name, interpolation] : {std::pair{"OpenCV bilinear", cv::INTER_LINEAR}, std::pair{"OpenCV bicubic", cv::INTER_CUBIC}}) {
        cv::Mat warped;
        cv::warpPerspective(source, warped, map, cv::Size(kBlock, kBlock), interpolation | cv::WARP_INVERSE_MAP);
        Plane plane{kBlock, kBlock, std::vector<float>(std::size_t(kBlock) * kBlock)};
        for (int y = 0; y < kBlock; ++y)
            for (int x = 0; x < kBlock; ++x)
                plane.samples[std::size_t(y) * kBlock + x] = warped.at<cv::Vec3b>(y, x)[1];
        const double variance = laplacianVariance(plane);
        std::printf("%-46s %10.1f   Navik / OpenCV %.3f\n", name, variance, rendered / variance);
    }
#else
    std::printf("OpenCV is not installed: measured against the level-0 reference only\n");
#endif

    agent.reset();
    filter->Release();
    image->Release();
    return 0;
}
