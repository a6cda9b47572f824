#pragma once

// The renderer: inverse mapping of output pixels into the input pyramid,
// with bilinear or bicubic interpolation in fixed point, on every core.

#include <Navik/Geometry/CorrectionChain.h>

#include <array>
#include <cstdint>
#include <optional>

namespace Navik {
class PixelData;
class Progress;
} // namespace Navik

namespace Navik::Internal {

class ColorTransform;
class Pyramid;

enum class Interpolation
{
    Bilinear,
    Bicubic,
};

// Output pixels of one level (continuous coordinates) to input pixels at full
// resolution: a homography into the lens stage's image, then the lens stage
// when it is active.
struct OutputMap
{
    Geometry::Homography toStage;
    const Geometry::LensStage* lens = nullptr; // null when the stage is the input

    std::optional<Geometry::Point> Map(double x, double y) const;
};

// Counts of the rendered samples, 256 bins each (16-bit samples by their high byte).
struct Histogram
{
    std::array<std::array<std::uint64_t, 256>, 4> bins{}; // red, green, blue, luminance
};

struct WarpRequest
{
    OutputMap map;
    Interpolation interpolation = Interpolation::Bilinear;
    // The output pixels to render, written to the top left of `output`.
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    PixelData* output = nullptr;
    const ColorTransform* colour = nullptr; // may be null
    Histogram* histogram = nullptr;         // collected when not null
    Progress* progress = nullptr;
    // Threads the render may use, the caller's among them; 0: RenderThreadCount().
    unsigned int threads = 0;
};

// With `portableOnly`, every render samples with the portable code, never
// with the processor's vector instructions (see Engine::SetPortableRendering).
void SetPortableSamplingOnly(bool portableOnly);
// Whether renders sample 8- and 16-bit RGB with vector instructions now.
bool UsesVectorSampling();

// False when the output buffer is unusable or too small, the pyramid's memory
// cannot be had, or the progress was cancelled.
bool Warp(Pyramid& pyramid, const WarpRequest& request);

} // namespace Navik::Internal
