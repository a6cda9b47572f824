#include "Warp.h"

#include "Navik/PixelData.h"
#include "Navik/Progress.h"
#include "Navik/ThreadGraph.h"

#include "ColorTransform.h"
#include "EngineState.h"
#include "PixelConvert.h"
#include "Pyramid.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <vector>

namespace Navik::Internal {

namespace {

// Output rows are walked in blocks of this many pixels on a grid fixed to the
// output's origin: each block starts its incremental homography afresh and
// picks its pyramid level, so a part of the output renders exactly like the
// same pixels of the whole.
constexpr int kBlock = 32;
constexpr int kMaxLevels = 32;

// Sub-pixel positions: 6 bits per axis.
constexpr int kFractionBits = 6;
constexpr int kFractions = 1 << kFractionBits;

// A level is sampled when its pixels are at most this much (in log2) smaller
// than an output pixel's footprint: a hair of aliasing rather than a blur.
constexpr double kLevelTolerance = 0.1;

// Catmull-Rom weights of the four taps around each sub-pixel position,
// summing to exactly 1 << kCubicBits.
constexpr int kCubicBits = 11;
struct CubicTable
{
    std::array<std::array<int, 4>, kFractions> weights{};

    CubicTable()
    {
        for (int f = 0; f < kFractions; ++f) {
            const double t = double(f) / kFractions;
            const double w[4] = {0.5 * (-t + 2 * t * t - t * t * t), 0.5 * (2 - 5 * t * t + 3 * t * t * t),
                                 0.5 * (t + 4 * t * t - 3 * t * t * t), 0.5 * (-t * t + t * t * t)};
            int sum = 0;
            for (int k = 0; k < 4; ++k) {
                weights[f][k] = int(std::lround(w[k] * (1 << kCubicBits)));
                sum += weights[f][k];
            }
            weights[f][t < 0.5 ? 1 : 2] += (1 << kCubicBits) - sum;
        }
    }
};
const CubicTable kCubic;

template <typename Sample>
constexpr int kMaxSample = sizeof(Sample) == 1 ? 255 : 65535;

// Where a sample falls: the pixel whose centre is at or left of (above) it
// and the sub-pixel fraction. `x` is a continuous coordinate, at least 0.
inline void locate(float x, int& index, int& fraction)
{
    const int fixed = int((x + 0.5f) * float(kFractions)) - kFractions; // floor((x - 0.5) * kFractions)
    index = fixed >> kFractionBits;
    fraction = fixed & (kFractions - 1);
}

struct LevelView
{
    const unsigned char* pixels;
    std::size_t rowBytes;
    int width;
    int height;
    float extentX; // the input's extent in this level's pixels: outside it is black
    float extentY;
};

inline bool outside(const LevelView& level, float x, float y)
{
    return !(x >= 0.f && x < level.extentX && y >= 0.f && y < level.extentY);
}

template <typename Sample, int Channels>
void sampleBilinear(const LevelView& level, const float* xs, const float* ys, int count, Sample* out)
{
    for (int i = 0; i < count; ++i, out += Channels) {
        if (outside(level, xs[i], ys[i])) {
            std::fill_n(out, Channels, Sample(0));
            continue;
        }
        int x0, y0, fx, fy;
        locate(xs[i], x0, fx);
        locate(ys[i], y0, fy);
        int x1 = x0 + 1, y1 = y0 + 1;
        if (unsigned(x0) >= unsigned(level.width - 1) || unsigned(y0) >= unsigned(level.height - 1)) {
            x0 = std::clamp(x0, 0, level.width - 1);
            x1 = std::clamp(x1, 0, level.width - 1);
            y0 = std::clamp(y0, 0, level.height - 1);
            y1 = std::clamp(y1, 0, level.height - 1);
        }
        const auto* row0 = reinterpret_cast<const Sample*>(level.pixels + y0 * level.rowBytes);
        const auto* row1 = reinterpret_cast<const Sample*>(level.pixels + y1 * level.rowBytes);
        const Sample* p00 = row0 + x0 * Channels;
        const Sample* p01 = row0 + x1 * Channels;
        const Sample* p10 = row1 + x0 * Channels;
        const Sample* p11 = row1 + x1 * Channels;
        const std::uint32_t w11 = fx * fy;
        const std::uint32_t w10 = (kFractions - fx) * fy;
        const std::uint32_t w01 = fx * (kFractions - fy);
        const std::uint32_t w00 = (kFractions - fx) * (kFractions - fy);
        constexpr int shift = 2 * kFractionBits;
        for (int c = 0; c < Channels; ++c)
            out[c] = Sample((p00[c] * w00 + p01[c] * w01 + p10[c] * w10 + p11[c] * w11 + (1u << (shift - 1))) >> shift);
    }
}

template <typename Sample, int Channels>
void sampleBicubic(const LevelView& level, const float* xs, const float* ys, int count, Sample* out)
{
    // 8-bit sums fit 32 bits; 16-bit ones need 64.
    using Sum = std::conditional_t<sizeof(Sample) == 1, std::int32_t, std::int64_t>;
    constexpr int shift = 2 * kCubicBits;
    for (int i = 0; i < count; ++i, out += Channels) {
        if (outside(level, xs[i], ys[i])) {
            std::fill_n(out, Channels, Sample(0));
            continue;
        }
        int x0, y0, fx, fy;
        locate(xs[i], x0, fx);
        locate(ys[i], y0, fy);
        int columns[4], rows[4];
        for (int k = 0; k < 4; ++k) {
            columns[k] = (x0 - 1 + k) * Channels;
            rows[k] = y0 - 1 + k;
        }
        if (unsigned(x0 - 1) >= unsigned(level.width - 3) || unsigned(y0 - 1) >= unsigned(level.height - 3)) {
            for (int k = 0; k < 4; ++k) {
                columns[k] = std::clamp(x0 - 1 + k, 0, level.width - 1) * Channels;
                rows[k] = std::clamp(y0 - 1 + k, 0, level.height - 1);
            }
        }
        const auto& wx = kCubic.weights[fx];
        const auto& wy = kCubic.weights[fy];
        Sum sum[Channels] = {};
        for (int r = 0; r < 4; ++r) {
            const auto* row = reinterpret_cast<const Sample*>(level.pixels + rows[r] * level.rowBytes);
            for (int c = 0; c < Channels; ++c) {
                const Sum across = Sum(row[columns[0] + c]) * wx[0] + Sum(row[columns[1] + c]) * wx[1] +
                                   Sum(row[columns[2] + c]) * wx[2] + Sum(row[columns[3] + c]) * wx[3];
                sum[c] += across * wy[r];
            }
        }
        for (int c = 0; c < Channels; ++c)
            out[c] = Sample(std::clamp<Sum>((sum[c] + (Sum(1) << (shift - 1))) >> shift, 0, kMaxSample<Sample>));
    }
}

// The pyramid levels one render uses, fetched once per level and shared by its threads.
class LevelTable
{
public:
    explicit LevelTable(Pyramid& pyramid) : m_pyramid(pyramid) {}

    const PyramidLevel* Get(int level)
    {
        std::lock_guard lock(m_mutex);
        if (!m_levels[level])
            m_levels[level] = m_pyramid.Level(level);
        return m_levels[level].get();
    }

private:
    Pyramid& m_pyramid;
    std::mutex m_mutex;
    std::array<std::shared_ptr<const PyramidLevel>, kMaxLevels> m_levels;
};

class BandRenderer
{
public:
    BandRenderer(Pyramid& pyramid, const WarpRequest& request)
        : m_pyramid(pyramid), m_request(request), m_levels(pyramid),
          m_levelCount(std::min(pyramid.LevelCount(), kMaxLevels)),
          m_outputFormat(request.output->GetPixelFormat()),
          m_direct(m_outputFormat == pyramid.Format())
    {
    }

    bool failed() const { return m_failed.load(); }

    // Renders output rows [first, last) of the request.
    void Render(int first, int last)
    {
        const int channels = m_pyramid.Channels();
        const bool wide = m_pyramid.Format().GetSampleSize() == 16;
        const bool cubic = m_request.interpolation == Interpolation::Bicubic;
        if (channels == 3 && !wide)
            cubic ? renderRows<std::uint8_t, 3, true>(first, last) : renderRows<std::uint8_t, 3, false>(first, last);
        else if (channels == 3)
            cubic ? renderRows<std::uint16_t, 3, true>(first, last) : renderRows<std::uint16_t, 3, false>(first, last);
        else if (!wide)
            cubic ? renderRows<std::uint8_t, 1, true>(first, last) : renderRows<std::uint8_t, 1, false>(first, last);
        else
            cubic ? renderRows<std::uint16_t, 1, true>(first, last) : renderRows<std::uint16_t, 1, false>(first, last);
    }

    void MergeHistogram(const Histogram& part)
    {
        std::lock_guard lock(m_histogramMutex);
        for (int channel = 0; channel < 4; ++channel)
            for (int bin = 0; bin < 256; ++bin)
                m_request.histogram->bins[channel][bin] += part.bins[channel][bin];
    }

private:
    template <typename Sample, int Channels, bool Cubic>
    void renderRows(int first, int last)
    {
        const WarpRequest& r = m_request;
        std::vector<Sample> scratch(m_direct ? 0 : std::size_t(r.width) * Channels);
        std::unique_ptr<Histogram> histogram(r.histogram ? new Histogram : nullptr);
        const PyramidLevel* levels[kMaxLevels] = {};
        float xs[kBlock], ys[kBlock];
        for (int y = first; y < last; ++y) {
            Sample* row = m_direct ? reinterpret_cast<Sample*>(outputRow(y, 0)) : scratch.data();
            const int end = r.left + r.width;
            for (int blockStart = floorToBlock(r.left); blockStart < end; blockStart += kBlock) {
                const int level = levelFor(blockStart, y);
                if (!levels[level] && !(levels[level] = m_levels.Get(level))) {
                    m_failed = true;
                    return;
                }
                const LevelView view = viewOf(*levels[level], level);
                blockCoordinates(blockStart, y, level, xs, ys);
                const int from = std::max(blockStart, r.left);
                const int to = std::min(blockStart + kBlock, end);
                Sample* out = row + std::size_t(from - r.left) * Channels;
                if constexpr (Cubic)
                    sampleBicubic<Sample, Channels>(view, xs + (from - blockStart), ys + (from - blockStart), to - from, out);
                else
                    sampleBilinear<Sample, Channels>(view, xs + (from - blockStart), ys + (from - blockStart), to - from, out);
            }
            finishRow(row, y, histogram.get());
        }
        if (histogram)
            MergeHistogram(*histogram);
    }

    static int floorToBlock(int x) { return x >= 0 ? x / kBlock * kBlock : -((-x + kBlock - 1) / kBlock) * kBlock; }

    LevelView viewOf(const PyramidLevel& level, int index) const
    {
        const float scale = std::ldexp(1.0f, -index);
        return {level.pixels, level.rowBytes, level.width, level.height, float(m_pyramid.Width()) * scale,
                float(m_pyramid.Height()) * scale};
    }

    // The pyramid level for the block: the one whose pixels are about as large
    // as the footprint of an output pixel at the middle of its 32 x 32 tile.
    int levelFor(int blockStart, int y) const
    {
        if (m_levelCount == 1)
            return 0;
        const double cx = blockStart + 0.5 * kBlock;
        const double cy = floorToBlock(y) + 0.5 * kBlock;
        const auto centre = m_request.map.Map(cx, cy);
        const auto right = m_request.map.Map(cx + 1.0, cy);
        const auto below = m_request.map.Map(cx, cy + 1.0);
        if (!centre || !right || !below)
            return m_levelCount - 1;
        const double footprint = std::max(std::hypot(right->x - centre->x, right->y - centre->y),
                                          std::hypot(below->x - centre->x, below->y - centre->y));
        if (!(footprint > 1.0))
            return 0;
        return std::clamp(int(std::ceil(std::log2(footprint) - kLevelTolerance)), 0, m_levelCount - 1);
    }

    // The continuous position in the level of every pixel of the block;
    // -1 for a pixel without a source.
    void blockCoordinates(int blockStart, int y, int level, float* xs, float* ys) const
    {
        const double scale = std::ldexp(1.0, -level);
        const OutputMap& map = m_request.map;
        if (map.lens) {
            for (int i = 0; i < kBlock; ++i) {
                const auto p = map.Map(blockStart + i + 0.5, y + 0.5);
                xs[i] = p ? float(p->x * scale) : -1.f;
                ys[i] = p ? float(p->y * scale) : -1.f;
            }
            return;
        }
        // Along a row the homography's numerators and denominator grow linearly.
        const auto& m = map.toStage.RowMajor();
        const double px = blockStart + 0.5, py = y + 0.5;
        const float u = float((m[0] * px + m[1] * py + m[2]) * scale), du = float(m[0] * scale);
        const float v = float((m[3] * px + m[4] * py + m[5]) * scale), dv = float(m[3] * scale);
        const float w = float(m[6] * px + m[7] * py + m[8]), dw = float(m[6]);
        for (int i = 0; i < kBlock; ++i) {
            const float wi = w + float(i) * dw;
            const float reciprocal = 1.f / wi;
            xs[i] = wi > 0.f ? (u + float(i) * du) * reciprocal : -1.f;
            ys[i] = (v + float(i) * dv) * reciprocal;
        }
    }

    unsigned char* outputRow(int y, unsigned int plane) const
    {
        return static_cast<unsigned char*>(m_request.output->Buffer(int(plane))) +
               std::size_t(y - m_request.top) * m_request.output->GetRowBytes();
    }

    template <typename Sample>
    void finishRow(Sample* row, int y, Histogram* histogram)
    {
        const WarpRequest& r = m_request;
        if (r.colour)
            r.colour->Apply(row, r.width);
        if (histogram)
            count(row, *histogram);
        if (m_direct)
            return;
        void* planes[3];
        for (unsigned int plane = 0; plane < m_outputFormat.GetBufferCount(); ++plane)
            planes[plane] = outputRow(y, plane);
        const void* source = row;
        ConvertPixelRow(m_pyramid.Format(), &source, m_outputFormat, planes, unsigned(r.width));
    }

    template <typename Sample>
    void count(const Sample* row, Histogram& histogram) const
    {
        constexpr int shift = sizeof(Sample) == 1 ? 0 : 8;
        const int channels = m_pyramid.Channels();
        for (int x = 0; x < m_request.width; ++x, row += channels) {
            const int red = row[0] >> shift;
            const int green = row[channels == 3 ? 1 : 0] >> shift;
            const int blue = row[channels == 3 ? 2 : 0] >> shift;
            ++histogram.bins[0][red];
            ++histogram.bins[1][green];
            ++histogram.bins[2][blue];
            ++histogram.bins[3][(red * 299 + green * 587 + blue * 114 + 500) / 1000];
        }
    }

    Pyramid& m_pyramid;
    const WarpRequest& m_request;
    LevelTable m_levels;
    const int m_levelCount;
    const PixelFormat m_outputFormat;
    const bool m_direct; // rows are rendered straight into the output
    std::atomic<bool> m_failed{false};
    std::mutex m_histogramMutex;
};

bool usableOutput(const WarpRequest& request)
{
    const PixelData* output = request.output;
    return output && output->GetStatus() == PixelData::kStatusOK && request.width > 0 && request.height > 0 &&
           output->GetWidth() >= unsigned(request.width) && output->GetHeight() >= unsigned(request.height);
}

} // namespace

std::optional<Geometry::Point> OutputMap::Map(double x, double y) const
{
    const auto stage = toStage.Map({x, y});
    if (!stage || !lens)
        return stage;
    const Geometry::Point input = lens->ToInput(*stage);
    if (!std::isfinite(input.x) || !std::isfinite(input.y))
        return std::nullopt;
    return input;
}

bool Warp(Pyramid& pyramid, const WarpRequest& request)
{
    if (!usableOutput(request))
        return false;
    BandRenderer renderer(pyramid, request);
    const unsigned int threads = RenderThreadCount();
    // Enough bands for the threads to share out uneven work, few enough to keep
    // each one's setup negligible.
    const int rowsPerBand = std::clamp(request.height / int(4 * threads), 1, 16);
    const int bands = (request.height + rowsPerBand - 1) / rowsPerBand;
    std::atomic<int> done{0};
    std::atomic<bool> cancelled{false};
    ThreadPool::Shared().ParallelFor(
        std::size_t(bands),
        [&](std::size_t band) {
            if (request.progress && request.progress->IsCancelled()) {
                cancelled = true;
                return;
            }
            const int first = request.top + int(band) * rowsPerBand;
            renderer.Render(first, std::min(first + rowsPerBand, request.top + request.height));
            if (request.progress)
                request.progress->SetFraction(double(++done) / bands);
        },
        threads);
    return !cancelled && !renderer.failed();
}

} // namespace Navik::Internal
