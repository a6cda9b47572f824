#include "Warp.h"

#include "Navik/PixelData.h"
#include "Navik/Progress.h"
#include "Navik/ThreadGraph.h"

#include "ColorTransform.h"
#include "EngineState.h"
#include "PixelArrival.h"
#include "PixelConvert.h"
#include "Pyramid.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cmath>
#include <cstring>
#include <type_traits>
#include <mutex>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

// A level serves the footprints from its pixel size up to twice that: the
// next level is taken once an output pixel spans two of this level's pixels,
// so a full-resolution render of a stretched area keeps level 0's detail and
// a reduction by 2^n reads level n.
constexpr double kLevelTolerance = 1.0;

// Per pyramid level: the footprint from which the next level is taken,
// 2^(level + tolerance), squared as the footprints are compared; and its
// scale, 2^-level.
struct LevelConstants
{
    std::array<double, kMaxLevels> footprintLimits{};
    std::array<double, kMaxLevels> scales{};

    LevelConstants()
    {
        for (int level = 0; level < kMaxLevels; ++level) {
            // Less a hair: a reduction by exactly 2^n must not miss level n
            // by a rounding error.
            footprintLimits[level] = std::exp2(2.0 * (level + kLevelTolerance)) * (1.0 - 1e-9);
            scales[level] = std::ldexp(1.0, -level);
        }
    }
};
const LevelConstants kLevels;

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
    const PixelArrival* arrival = nullptr; // level 0 rows still coming in, or null
};

inline bool outside(const LevelView& level, float x, float y)
{
    return !(x >= 0.f && x < level.extentX && y >= 0.f && y < level.extentY);
}

template <typename Sample, int Channels>
inline void bilinearPixel(const LevelView& level, float x, float y, Sample* out)
{
    int x0, y0, fx, fy;
    locate(x, x0, fx);
    locate(y, y0, fy);
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

template <typename Sample, int Channels>
inline void bicubicPixel(const LevelView& level, float x, float y, Sample* out)
{
    // 8-bit sums fit 32 bits; 16-bit ones need 64.
    using Sum = std::conditional_t<sizeof(Sample) == 1, std::int32_t, std::int64_t>;
    constexpr int shift = 2 * kCubicBits;
    int x0, y0, fx, fy;
    locate(x, x0, fx);
    locate(y, y0, fy);
    int columns[4], rows[4];
    for (int k = 0; k < 4; ++k) {
        columns[k] = std::clamp(x0 - 1 + k, 0, level.width - 1) * Channels;
        rows[k] = std::clamp(y0 - 1 + k, 0, level.height - 1);
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

template <typename Sample, int Channels, bool Cubic>
void sampleBlock(const LevelView& level, const float* xs, const float* ys, int count, Sample* out)
{
    for (int i = 0; i < count; ++i, out += Channels) {
        if (outside(level, xs[i], ys[i]))
            std::fill_n(out, Channels, Sample(0));
        else if constexpr (Cubic)
            bicubicPixel<Sample, Channels>(level, xs[i], ys[i], out);
        else
            bilinearPixel<Sample, Channels>(level, xs[i], ys[i], out);
    }
}

#if defined(__x86_64__)
// 8-bit RGB, the common case, with AVX2 where the processor has it: the four
// (bilinear) or sixteen (bicubic) neighbours of a pixel are interpolated in a
// few vector instructions. Pixels near the level's border take the path above.
struct VectorWeights
{
    // Bilinear: the x pair as 16-bit words, the y weights per 128-bit lane.
    std::array<std::uint32_t, kFractions> linearX;
    alignas(32) std::array<std::array<std::int32_t, 8>, kFractions> linearY;
    // Bicubic: the four x taps twice as 16-bit words; the y taps of rows 0 and
    // 1, and of rows 2 and 3, one per 128-bit lane.
    alignas(16) std::array<std::array<std::int16_t, 8>, kFractions> cubicX;
    alignas(32) std::array<std::array<std::int32_t, 8>, kFractions> cubicY01;
    alignas(32) std::array<std::array<std::int32_t, 8>, kFractions> cubicY23;

    VectorWeights()
    {
        for (int f = 0; f < kFractions; ++f) {
            linearX[f] = std::uint32_t(kFractions - f) | std::uint32_t(f) << 16;
            const auto& w = kCubic.weights[f];
            for (int k = 0; k < 4; ++k) {
                linearY[f][k] = kFractions - f;
                linearY[f][k + 4] = f;
                cubicX[f][k] = cubicX[f][k + 4] = std::int16_t(w[k]);
                cubicY01[f][k] = w[0];
                cubicY01[f][k + 4] = w[1];
                cubicY23[f][k] = w[2];
                cubicY23[f][k + 4] = w[3];
            }
        }
    }
};
const VectorWeights kVector;

// Stores the low three bytes; four when the next pixel's first byte is
// written afterwards anyway.
__attribute__((target("avx2"))) inline void storeRgb(__m128i pixel, std::uint8_t* out, bool last)
{
    const std::uint32_t rgb = std::uint32_t(_mm_cvtsi128_si32(pixel));
    if (last) {
        out[0] = std::uint8_t(rgb);
        out[1] = std::uint8_t(rgb >> 8);
        out[2] = std::uint8_t(rgb >> 16);
    } else {
        std::memcpy(out, &rgb, 4);
    }
}

// Two rows of four pixels, each row's taps summed across per channel: one
// 128-bit lane per row holding [red green blue 0], at 2^8 of the weights'
// scale so that the sums down the rows fit 32 bits.
__attribute__((target("avx2"))) inline __m256i cubicAcross(const std::uint8_t* first, const std::uint8_t* second,
                                                           __m256i wx, __m256i redGreen, __m256i blue)
{
    const __m256i rows = _mm256_inserti128_si256(
        _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(first))),
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(second)), 1);
    const __m256i rg = _mm256_madd_epi16(_mm256_shuffle_epi8(rows, redGreen), wx);
    const __m256i b = _mm256_madd_epi16(_mm256_shuffle_epi8(rows, blue), wx);
    return _mm256_srai_epi32(_mm256_hadd_epi32(rg, b), 3);
}

// Where a block's pixels fall, eight at a time: the pixel index and fraction
// on each axis, and what each pixel needs.
struct Located
{
    enum Kind
    {
        Inside = 0, // the vector path's neighbours all lie in the level
        Border = 1, // near the level's border: the path that clamps
        Black = 2,  // outside the input
    };
    alignas(32) std::int32_t x[kBlock + 8];
    alignas(32) std::int32_t y[kBlock + 8];
    alignas(32) std::int32_t fx[kBlock + 8];
    alignas(32) std::int32_t fy[kBlock + 8];
    alignas(32) std::int32_t kind[kBlock + 8];
};

// `before` and `after`: how many pixels the vector path reads left of (above)
// the located pixel, and how many from it on, so that its reads stay inside.
__attribute__((target("avx2"))) void locateBlock(const LevelView& level, const float* xs, const float* ys, int count,
                                                 int before, int afterX, int afterY, Located& at)
{
    const __m256 zero = _mm256_setzero_ps();
    const __m256 half = _mm256_set1_ps(0.5f);
    const __m256 scale = _mm256_set1_ps(float(kFractions));
    const __m256i one = _mm256_set1_epi32(kFractions);
    const __m256i mask = _mm256_set1_epi32(kFractions - 1);
    const __m256i lowest = _mm256_set1_epi32(before - 1);
    const __m256i highestX = _mm256_set1_epi32(level.width - afterX + 1);
    const __m256i highestY = _mm256_set1_epi32(level.height - afterY + 1);
    for (int i = 0; i < count; i += 8) {
        const __m256 x = _mm256_loadu_ps(xs + i);
        const __m256 y = _mm256_loadu_ps(ys + i);
        const __m256 inside = _mm256_and_ps(
            _mm256_and_ps(_mm256_cmp_ps(x, zero, _CMP_GE_OQ), _mm256_cmp_ps(x, _mm256_set1_ps(level.extentX), _CMP_LT_OQ)),
            _mm256_and_ps(_mm256_cmp_ps(y, zero, _CMP_GE_OQ), _mm256_cmp_ps(y, _mm256_set1_ps(level.extentY), _CMP_LT_OQ)));
        // floor((x - 0.5) * kFractions), as locate() computes it
        const __m256i fixedX = _mm256_sub_epi32(_mm256_cvttps_epi32(_mm256_mul_ps(_mm256_add_ps(x, half), scale)), one);
        const __m256i fixedY = _mm256_sub_epi32(_mm256_cvttps_epi32(_mm256_mul_ps(_mm256_add_ps(y, half), scale)), one);
        const __m256i x0 = _mm256_srai_epi32(fixedX, kFractionBits);
        const __m256i y0 = _mm256_srai_epi32(fixedY, kFractionBits);
        const __m256i roomy = _mm256_and_si256(
            _mm256_and_si256(_mm256_cmpgt_epi32(x0, lowest), _mm256_cmpgt_epi32(highestX, x0)),
            _mm256_and_si256(_mm256_cmpgt_epi32(y0, lowest), _mm256_cmpgt_epi32(highestY, y0)));
        const __m256i insideMask = _mm256_castps_si256(inside);
        // Black 2, Border 2 - 1, Inside 2 - 1 - 1 (masks are -1 where true).
        const __m256i kind = _mm256_add_epi32(_mm256_set1_epi32(Located::Black),
                                              _mm256_add_epi32(insideMask, _mm256_and_si256(insideMask, roomy)));
        _mm256_store_si256(reinterpret_cast<__m256i*>(at.x + i), x0);
        _mm256_store_si256(reinterpret_cast<__m256i*>(at.y + i), y0);
        _mm256_store_si256(reinterpret_cast<__m256i*>(at.fx + i), _mm256_and_si256(fixedX, mask));
        _mm256_store_si256(reinterpret_cast<__m256i*>(at.fy + i), _mm256_and_si256(fixedY, mask));
        _mm256_store_si256(reinterpret_cast<__m256i*>(at.kind + i), kind);
    }
}

template <bool Cubic>
__attribute__((target("avx2"))) void sampleRgb8Avx2(const LevelView& level, const float* xs, const float* ys,
                                                    int count, std::uint8_t* out)
{
    const __m256i pairs = _mm256_setr_epi8(0, -1, 3, -1, 1, -1, 4, -1, 2, -1, 5, -1, -1, -1, -1, -1, //
                                           0, -1, 3, -1, 1, -1, 4, -1, 2, -1, 5, -1, -1, -1, -1, -1);
    const __m256i redGreen = _mm256_setr_epi8(0, -1, 3, -1, 6, -1, 9, -1, 1, -1, 4, -1, 7, -1, 10, -1, //
                                              0, -1, 3, -1, 6, -1, 9, -1, 1, -1, 4, -1, 7, -1, 10, -1);
    const __m256i blue = _mm256_setr_epi8(2, -1, 5, -1, 8, -1, 11, -1, -1, -1, -1, -1, -1, -1, -1, -1, //
                                          2, -1, 5, -1, 8, -1, 11, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    // Bilinear reads 8 bytes from x0 on rows y0 and y0 + 1; bicubic 16 bytes
    // from x0 - 1 on rows y0 - 1 .. y0 + 2.
    Located at;
    if constexpr (Cubic)
        locateBlock(level, xs, ys, count, 1, 5, 3, at);
    else
        locateBlock(level, xs, ys, count, 0, 4, 2, at);
    for (int i = 0; i < count; ++i, out += 3) {
        if (at.kind[i] == Located::Black) {
            out[0] = out[1] = out[2] = 0;
            continue;
        }
        if (at.kind[i] == Located::Border) {
            if constexpr (Cubic)
                bicubicPixel<std::uint8_t, 3>(level, xs[i], ys[i], out);
            else
                bilinearPixel<std::uint8_t, 3>(level, xs[i], ys[i], out);
            continue;
        }
        const int x0 = at.x[i], y0 = at.y[i], fx = at.fx[i], fy = at.fy[i];
        const bool last = i == count - 1;
        if constexpr (!Cubic) {
            const std::uint8_t* p = level.pixels + y0 * level.rowBytes + x0 * 3;
            const __m128i top = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
            const __m128i bottom = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + level.rowBytes));
            const __m256i rows = _mm256_inserti128_si256(_mm256_castsi128_si256(top), bottom, 1);
            // Per row: (left, right) word pairs of each channel, weighted across.
            const __m256i across = _mm256_madd_epi16(_mm256_shuffle_epi8(rows, pairs),
                                                     _mm256_set1_epi32(int(kVector.linearX[fx])));
            const __m256i down = _mm256_mullo_epi32(
                across, _mm256_load_si256(reinterpret_cast<const __m256i*>(kVector.linearY[fy].data())));
            __m128i sum = _mm_add_epi32(_mm256_castsi256_si128(down), _mm256_extracti128_si256(down, 1));
            sum = _mm_srli_epi32(_mm_add_epi32(sum, _mm_set1_epi32(1 << (2 * kFractionBits - 1))), 2 * kFractionBits);
            storeRgb(_mm_packus_epi16(_mm_packus_epi32(sum, sum), sum), out, last);
        } else {
            const std::uint8_t* p = level.pixels + (y0 - 1) * level.rowBytes + (x0 - 1) * 3;
            const __m256i wx = _mm256_broadcastsi128_si256(
                _mm_load_si128(reinterpret_cast<const __m128i*>(kVector.cubicX[fx].data())));
            const __m256i rows01 = cubicAcross(p, p + level.rowBytes, wx, redGreen, blue);
            const __m256i rows23 = cubicAcross(p + 2 * level.rowBytes, p + 3 * level.rowBytes, wx, redGreen, blue);
            const __m256i down = _mm256_add_epi32(
                _mm256_mullo_epi32(rows01, _mm256_load_si256(reinterpret_cast<const __m256i*>(kVector.cubicY01[fy].data()))),
                _mm256_mullo_epi32(rows23, _mm256_load_si256(reinterpret_cast<const __m256i*>(kVector.cubicY23[fy].data()))));
            constexpr int shift = 2 * kCubicBits - 3;
            __m128i sum = _mm_add_epi32(_mm256_castsi256_si128(down), _mm256_extracti128_si256(down, 1));
            sum = _mm_srai_epi32(_mm_add_epi32(sum, _mm_set1_epi32(1 << (shift - 1))), shift);
            storeRgb(_mm_packus_epi16(_mm_packs_epi32(sum, sum), sum), out, last);
        }
    }
}

// 16-bit RGB with AVX2. Bilinear samples are widened to 32 bits, where its
// sums fit exactly; bicubic ones are summed across in 32 bits and down the
// rows in 64, so both give the portable path's values.
struct WideWeights
{
    // Per fraction: the weight of the left pixel for three lanes, of the right
    // pixel for the next three, and 0 for the last two.
    alignas(32) std::array<std::array<std::int32_t, 8>, kFractions> linearX;
    // The cubic taps as 16-bit pairs per channel: (0, 1) three times in the
    // low lane, (2, 3) three times in the high one.
    alignas(32) std::array<std::array<std::int16_t, 16>, kFractions> cubicPairs;

    WideWeights()
    {
        for (int f = 0; f < kFractions; ++f) {
            const auto& w = kCubic.weights[f];
            cubicPairs[f] = {};
            for (int c = 0; c < 3; ++c) {
                linearX[f][c] = kFractions - f;
                linearX[f][c + 3] = f;
                cubicPairs[f][2 * c] = std::int16_t(w[0]);
                cubicPairs[f][2 * c + 1] = std::int16_t(w[1]);
                cubicPairs[f][8 + 2 * c] = std::int16_t(w[2]);
                cubicPairs[f][8 + 2 * c + 1] = std::int16_t(w[3]);
            }
        }
    }
};
const WideWeights kWide;

// Eight samples from `p` widened to 32-bit lanes.
__attribute__((target("avx2"))) inline __m256i widen(const std::uint16_t* p)
{
    return _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

// Writes the low three 32-bit lanes as 16-bit samples; four when the next
// pixel's first sample is written afterwards anyway.
__attribute__((target("avx2"))) inline void storeRgb16(__m128i pixel, std::uint16_t* out, bool last)
{
    const __m128i packed = _mm_packus_epi32(pixel, pixel);
    if (last) {
        const std::uint64_t rgb = std::uint64_t(_mm_cvtsi128_si64(packed));
        out[0] = std::uint16_t(rgb);
        out[1] = std::uint16_t(rgb >> 16);
        out[2] = std::uint16_t(rgb >> 32);
    } else {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), packed);
    }
}

template <bool Cubic>
__attribute__((target("avx2"))) void sampleRgb16Avx2(const LevelView& level, const float* xs, const float* ys,
                                                     int count, std::uint16_t* out)
{
    // Lanes 3..5 (the right pixel's samples) moved onto lanes 0..2.
    const __m256i rightToLeft = _mm256_setr_epi32(3, 4, 5, 3, 4, 5, 6, 7);
    // Per 128-bit lane of eight samples (two pixels and a bit): the samples
    // of the two pixels interleaved per channel, as 16-bit words.
    const __m256i channelPairs = _mm256_setr_epi8(0, 1, 6, 7, 2, 3, 8, 9, 4, 5, 10, 11, -1, -1, -1, -1, //
                                                  0, 1, 6, 7, 2, 3, 8, 9, 4, 5, 10, 11, -1, -1, -1, -1);
    // Bilinear reads 8 samples from x0 on rows y0 and y0 + 1; bicubic 8 from
    // x0 - 1 and 8 from x0 + 1 on rows y0 - 1 .. y0 + 2.
    Located at;
    if constexpr (Cubic)
        locateBlock(level, xs, ys, count, 1, 4, 3, at);
    else
        locateBlock(level, xs, ys, count, 0, 3, 2, at);
    for (int i = 0; i < count; ++i, out += 3) {
        if (at.kind[i] == Located::Black) {
            out[0] = out[1] = out[2] = 0;
            continue;
        }
        if (at.kind[i] == Located::Border) {
            if constexpr (Cubic)
                bicubicPixel<std::uint16_t, 3>(level, xs[i], ys[i], out);
            else
                bilinearPixel<std::uint16_t, 3>(level, xs[i], ys[i], out);
            continue;
        }
        const int x0 = at.x[i], y0 = at.y[i], fx = at.fx[i], fy = at.fy[i];
        const bool last = i == count - 1;
        if constexpr (!Cubic) {
            const auto* top = reinterpret_cast<const std::uint16_t*>(level.pixels + y0 * level.rowBytes) + x0 * 3;
            const auto* bottom = reinterpret_cast<const std::uint16_t*>(level.pixels + (y0 + 1) * level.rowBytes) + x0 * 3;
            // Down the column first, then across: the same sum as the
            // portable path's, exactly, in 32 bits.
            const __m256i down = _mm256_add_epi32(_mm256_mullo_epi32(widen(top), _mm256_set1_epi32(kFractions - fy)),
                                                  _mm256_mullo_epi32(widen(bottom), _mm256_set1_epi32(fy)));
            const __m256i weighted = _mm256_mullo_epi32(
                down, _mm256_load_si256(reinterpret_cast<const __m256i*>(kWide.linearX[fx].data())));
            const __m256i sum = _mm256_add_epi32(weighted, _mm256_permutevar8x32_epi32(weighted, rightToLeft));
            const __m128i rounded = _mm_srli_epi32(
                _mm_add_epi32(_mm256_castsi256_si128(sum), _mm_set1_epi32(1 << (2 * kFractionBits - 1))),
                2 * kFractionBits);
            storeRgb16(rounded, out, last);
        } else {
            // Across: the samples biased to signed 16 bits pair up per channel,
            // taps 0 and 1 in the low lane, 2 and 3 in the high one, for one
            // multiply-add; the bias comes back as 32768 times the weights' sum.
            const __m256i wx = _mm256_load_si256(reinterpret_cast<const __m256i*>(kWide.cubicPairs[fx].data()));
            const auto& wy = kCubic.weights[fy];
            __m256i sum = _mm256_setzero_si256(); // red, green, blue, 0 in 64 bits
            for (int r = 0; r < 4; ++r) {
                const auto* row =
                    reinterpret_cast<const std::uint16_t*>(level.pixels + (y0 - 1 + r) * level.rowBytes) + (x0 - 1) * 3;
                const __m256i taps = _mm256_inserti128_si256(
                    _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row))),
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 6)), 1);
                const __m256i pairs = _mm256_shuffle_epi8(_mm256_xor_si256(taps, _mm256_set1_epi16(-32768)),
                                                          channelPairs);
                const __m256i halves = _mm256_madd_epi16(pairs, wx);
                const __m128i across =
                    _mm_add_epi32(_mm256_castsi256_si128(halves), _mm256_extracti128_si256(halves, 1));
                // Down, in 64 bits: the sums exceed 32.
                sum = _mm256_add_epi64(sum, _mm256_mul_epi32(_mm256_cvtepi32_epi64(across),
                                                             _mm256_set1_epi64x(wy[r])));
            }
            // The bias (32768 x 2^11 x 2^11), rounding, and 2^16 more in the
            // result so that the shift sees no negative sum.
            constexpr int shift = 2 * kCubicBits;
            const __m256i offset = _mm256_set1_epi64x((std::int64_t(32768) << shift) + (std::int64_t(1) << (shift - 1)) +
                                                      (std::int64_t(1) << (shift + 16)));
            const __m256i shifted = _mm256_srli_epi64(_mm256_add_epi64(sum, offset), shift);
            const __m128i values = _mm256_castsi256_si128(
                _mm256_permutevar8x32_epi32(shifted, _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6)));
            storeRgb16(_mm_sub_epi32(values, _mm_set1_epi32(1 << 16)), out, last);
        }
    }
}

// Asked during static initialisation, so the detection must run first.
const bool kHasAvx2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
}();
#endif

std::atomic<bool> g_portableOnly{false};

// Samples `count` pixels at the given positions into `out`.
template <typename Sample, int Channels, bool Cubic>
void sample(const LevelView& level, const float* xs, const float* ys, int count, Sample* out, bool vector)
{
#if defined(__x86_64__)
    if constexpr (Channels == 3) {
        if (vector) {
            if constexpr (std::is_same_v<Sample, std::uint8_t>)
                return sampleRgb8Avx2<Cubic>(level, xs, ys, count, out);
            else
                return sampleRgb16Avx2<Cubic>(level, xs, ys, count, out);
        }
    }
#else
    (void)vector;
#endif
    sampleBlock<Sample, Channels, Cubic>(level, xs, ys, count, out);
}

// The pyramid levels one render uses, fetched and described once per level
// and shared by its threads.
class LevelTable
{
public:
    explicit LevelTable(Pyramid& pyramid) : m_pyramid(pyramid) {}

    // Null when the level's memory cannot be had.
    const LevelView* Get(int level)
    {
        std::lock_guard lock(m_mutex);
        if (!m_levels[level]) {
            m_levels[level] = m_pyramid.Level(level);
            if (!m_levels[level])
                return nullptr;
            const PyramidLevel& pixels = *m_levels[level];
            const float scale = float(kLevels.scales[level]);
            m_views[level] = {pixels.pixels,
                              pixels.rowBytes,
                              pixels.width,
                              pixels.height,
                              float(m_pyramid.Width()) * scale,
                              float(m_pyramid.Height()) * scale,
                              level == 0 ? m_pyramid.SourceArrival() : nullptr};
        }
        return &m_views[level];
    }

private:
    Pyramid& m_pyramid;
    std::mutex m_mutex;
    std::array<std::shared_ptr<const PyramidLevel>, kMaxLevels> m_levels;
    std::array<LevelView, kMaxLevels> m_views{};
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

    bool Failed() const { return m_failed.load(); }

    // Renders output rows [first, last) of the request.
    void Render(int first, int last)
    {
        const int channels = m_pyramid.Channels();
        const bool wide = m_pyramid.Format().GetSampleSize() == 16;
        const bool cubic = m_request.interpolation == Interpolation::Bicubic;
        if (channels == 3 && !wide)
            cubic ? RenderRows<std::uint8_t, 3, true>(first, last) : RenderRows<std::uint8_t, 3, false>(first, last);
        else if (channels == 3)
            cubic ? RenderRows<std::uint16_t, 3, true>(first, last) : RenderRows<std::uint16_t, 3, false>(first, last);
        else if (!wide)
            cubic ? RenderRows<std::uint8_t, 1, true>(first, last) : RenderRows<std::uint8_t, 1, false>(first, last);
        else
            cubic ? RenderRows<std::uint16_t, 1, true>(first, last) : RenderRows<std::uint16_t, 1, false>(first, last);
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
    void RenderRows(int first, int last)
    {
        const WarpRequest& r = m_request;
        std::vector<Sample> scratch(m_direct ? 0 : std::size_t(r.width) * Channels);
        std::unique_ptr<Histogram> histogram(r.histogram ? new Histogram : nullptr);
        const LevelView* views[kMaxLevels] = {};
        // Room past the block for the eight-at-a-time reads of the vector path.
        float xs[kBlock + 8] = {}, ys[kBlock + 8] = {};
        const bool vector = UsesVectorSampling();
        const int firstBlock = FloorToBlock(r.left);
        const int end = r.left + r.width;
        std::vector<int> tileLevels((end - firstBlock + kBlock - 1) / kBlock);
        int tileTop = INT_MIN;
        long arrivedRows = 0; // level 0 rows known to be there, while they still come in
        for (int y = first; y < last; ++y) {
            Sample* row = m_direct ? reinterpret_cast<Sample*>(OutputRow(y, 0)) : scratch.data();
            if (FloorToBlock(y) != tileTop) {
                tileTop = FloorToBlock(y);
                for (std::size_t tile = 0; tile < tileLevels.size(); ++tile)
                    tileLevels[tile] = LevelFor(firstBlock + int(tile) * kBlock, tileTop);
            }
            for (int blockStart = firstBlock; blockStart < end; blockStart += kBlock) {
                const int level = tileLevels[(blockStart - firstBlock) / kBlock];
                if (!views[level] && !(views[level] = m_levels.Get(level))) {
                    m_failed = true;
                    return;
                }
                BlockCoordinates(blockStart, y, level, xs, ys);
                const int from = std::max(blockStart, r.left);
                const int to = std::min(blockStart + kBlock, end);
                if (views[level]->arrival &&
                    !WaitForSampledRows(*views[level], ys + (from - blockStart), to - from, arrivedRows)) {
                    m_failed = true;
                    return;
                }
                Sample* out = row + std::size_t(from - r.left) * Channels;
                sample<Sample, Channels, Cubic>(*views[level], xs + (from - blockStart), ys + (from - blockStart),
                                                to - from, out, vector);
            }
            FinishRow(row, y, histogram.get());
        }
        if (histogram)
            MergeHistogram(*histogram);
    }

    // Waits until the level 0 rows the samples at `ys` read have been
    // decoded: the row of each sample's pixel and the two below it (the
    // cubic taps), and one more for safety. False when the decode failed.
    static bool WaitForSampledRows(const LevelView& level, const float* ys, int count, long& arrivedRows)
    {
        float lowest = 0.f;
        for (int i = 0; i < count; ++i)
            lowest = ys[i] > lowest ? ys[i] : lowest;
        if (!(lowest < level.extentY)) // beyond the input, or not a number
            lowest = level.extentY;
        const long needed = std::min<long>(long(lowest) + 4, level.height);
        if (needed <= arrivedRows)
            return true;
        arrivedRows = level.arrival->WaitForRows(unsigned(needed));
        return arrivedRows >= 0;
    }

    static int FloorToBlock(int x) { return x >= 0 ? x / kBlock * kBlock : -((-x + kBlock - 1) / kBlock) * kBlock; }

    // The pyramid level for the blocks of a 32 x 32 tile: the one whose pixels
    // are about as large as the footprint of an output pixel at its middle.
    int LevelFor(int blockStart, int tileTop) const
    {
        if (m_levelCount == 1)
            return 0;
        const double cx = blockStart + 0.5 * kBlock;
        const double cy = tileTop + 0.5 * kBlock;
        const auto centre = m_request.map.Map(cx, cy);
        const auto right = m_request.map.Map(cx + 1.0, cy);
        const auto below = m_request.map.Map(cx, cy + 1.0);
        if (!centre || !right || !below)
            return m_levelCount - 1;
        auto squared = [&](const Geometry::Point& p) {
            return (p.x - centre->x) * (p.x - centre->x) + (p.y - centre->y) * (p.y - centre->y);
        };
        const double footprintSquared = std::max(squared(*right), squared(*below));
        int level = 0;
        while (level + 1 < m_levelCount && footprintSquared >= kLevels.footprintLimits[level])
            ++level;
        return level;
    }

    // The continuous position in the level of every pixel of the block;
    // -1 for a pixel without a source.
    void BlockCoordinates(int blockStart, int y, int level, float* xs, float* ys) const
    {
        const double scale = kLevels.scales[level];
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

    unsigned char* OutputRow(int y, unsigned int plane) const
    {
        return static_cast<unsigned char*>(m_request.output->Buffer(int(plane))) +
               std::size_t(y - m_request.top) * m_request.output->GetRowBytes();
    }

    template <typename Sample>
    void FinishRow(Sample* row, int y, Histogram* histogram)
    {
        const WarpRequest& r = m_request;
        if (r.colour)
            r.colour->Apply(row, r.width);
        if (histogram)
            Count(row, *histogram);
        if (m_direct)
            return;
        void* planes[3];
        for (unsigned int plane = 0; plane < m_outputFormat.GetBufferCount(); ++plane)
            planes[plane] = OutputRow(y, plane);
        const void* source = row;
        ConvertPixelRow(m_pyramid.Format(), &source, m_outputFormat, planes, unsigned(r.width));
    }

    template <typename Sample>
    void Count(const Sample* row, Histogram& histogram) const
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

void SetPortableSamplingOnly(bool portableOnly)
{
    g_portableOnly.store(portableOnly, std::memory_order_relaxed);
}

bool UsesVectorSampling()
{
#if defined(__x86_64__)
    return kHasAvx2 && !g_portableOnly.load(std::memory_order_relaxed);
#else
    return false;
#endif
}

std::optional<Geometry::Point> OutputMap::Map(double x, double y) const
{
    const auto stage = toStage.Map({x, y});
    if (!stage || !lens)
        return stage;
    return lens->ToInput(*stage);
}

bool Warp(Pyramid& pyramid, const WarpRequest& request)
{
    if (!usableOutput(request))
        return false;
    BandRenderer renderer(pyramid, request);
    const unsigned int threads =
        request.threads == 0 ? RenderThreadCount() : std::min(request.threads, RenderThreadCount());
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
    return !cancelled && !renderer.Failed();
}

} // namespace Navik::Internal
