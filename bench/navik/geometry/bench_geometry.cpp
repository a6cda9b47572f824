// Speed of the correction geometry: point projection through a full chain
// (keystoning, horizon, crop, quarter turn) and the automatic crop.
//
// Targets: at least 10 million projected points per second; an automatic crop
// well under a millisecond.

#include <Navik/Geometry/AutoCrop.h>
#include <Navik/Geometry/CorrectionChain.h>

#include <chrono>
#include <cstdio>
#include <vector>

using namespace Navik::Geometry;
using Clock = std::chrono::steady_clock;

namespace {

CorrectionParameters FullCorrection()
{
    CorrectionParameters p;
    p.keystoningActive = true;
    p.keystoningMode = "FourLines";
    p.keystoningPoints = {0.3, 0.25, 0.28, 0.7, 0.72, 0.72, 0.7, 0.25, 0.65, 0.8, 0.35, 0.78, 0.62, 0.2, 0.38, 0.22};
    p.keystoningHorizon = 3.5;
    p.keystoningUpDown = 20;
    p.cropActive = true;
    p.cropRatio = 1.5;
    p.outputRotation = 1;
    return p;
}

double Seconds(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Projects a grid of points through the chain, repeated until a second has passed.
void BenchProjection(const char* name, const CorrectionChain& chain)
{
    const Size input = chain.InputSize();
    std::vector<Point> points;
    for (int y = 0; y < input.height; y += 16)
        for (int x = 0; x < input.width; x += 16)
            points.push_back({x + 0.5, y + 0.5});
    double checksum = 0.0;
    long long projected = 0;
    const auto start = Clock::now();
    while (Seconds(start) < 1.0) {
        for (const Point& p : points)
            if (const auto q = chain.InputToOutput(p, 1))
                checksum += q->x;
        projected += points.size();
    }
    const double rate = projected / Seconds(start);
    std::printf("%-40s %8.1f million points/s (target >= 10)  [%g]\n", name, rate / 1e6, checksum > 0 ? 1.0 : 0.0);
}

void BenchAutoCrop(const char* name, const Polygon& outline, double ratio)
{
    int runs = 0;
    double width = 0.0;
    const auto start = Clock::now();
    while (Seconds(start) < 0.5) {
        if (const auto rect = LargestInscribedRectangle(outline, ratio))
            width += rect->width;
        ++runs;
    }
    std::printf("%-40s %8.1f us per crop (target well under 1000) [%zu edges]\n", name, 1e6 * Seconds(start) / runs,
                outline.size());
}

} // namespace

int main()
{
    const Size photo{6000, 4000};
    CameraData camera;
    camera.focalLength35mm = 24.0;

    const auto buildStart = Clock::now();
    const CorrectionChain chain = CorrectionChain::Build(FullCorrection(), photo, camera);
    std::printf("%-40s %8.1f us\n", "building the full chain", 1e6 * Seconds(buildStart));

    BenchProjection("projection, keystone + horizon + crop", chain);
    CorrectionParameters withLens = FullCorrection();
    withLens.distortionActive = true;
    withLens.distortionType = "Barrel";
    withLens.distortionAnamorphosisKeepEntireImage = true;
    const CorrectionChain lensChain = CorrectionChain::Build(withLens, photo, camera);
    BenchProjection("projection, with a barrel lens stage", lensChain);

    BenchAutoCrop("auto crop, free ratio", chain.CorrectedOutline(), -1.0);
    BenchAutoCrop("auto crop, ratio 3:2", chain.CorrectedOutline(), 1.5);
    BenchAutoCrop("auto crop, free, curved lens outline", lensChain.CorrectedOutline(), -1.0);
    return 0;
}
