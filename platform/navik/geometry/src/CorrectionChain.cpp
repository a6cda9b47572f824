#include <Navik/Geometry/CorrectionChain.h>

#include <Navik/Geometry/AutoCrop.h>
#include <Navik/Geometry/PointsValidity.h>

#include "CameraRotation.h"
#include "LinearAlgebra.h"
#include "PointCorrection.h"
#include "PolygonOps.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace Navik::Geometry {

namespace {

constexpr double kSliderRange = 125.0;
constexpr double kSliderMaxRadians = 30.0 * kPi / 180.0; // camera tilt at a slider end
constexpr double kManualCropSnapPixels = 6.0;
constexpr double kMaxCanvasPercent = 1000.0;
constexpr int kLensOutlineSegmentsPerSide = 32;

double FiniteOr(double value, double fallback)
{
    return std::isfinite(value) ? value : fallback;
}

double FocalLengthPixels(Size inputSize, const CameraData& camera)
{
    double focal35 = camera.focalLength35mm.value_or(kDefaultFocalLength35mm);
    if (!(focal35 > 0.0) || !std::isfinite(focal35))
        focal35 = kDefaultFocalLength35mm;
    return focal35 / kFullFrameDiagonalMm * std::hypot(inputSize.width, inputSize.height);
}

// The pre-transform, stage pixels to stage pixels: the inverse of
// "KeystoningPreviousHomographyBackward", the identity when that is absent,
// malformed or singular. Its sign is chosen so that the image centre keeps w > 0.
Homography PreTransform(const std::vector<double>& backward, Size stage)
{
    if (backward.size() != 9)
        return Homography();
    std::array<double, 9> m{};
    std::copy(backward.begin(), backward.end(), m.begin());
    const Homography inverse = Homography(m).Inverse();
    if (!inverse.IsFinite() || inverse.Determinant() == 0.0)
        return Homography();
    if (inverse.W({0.5 * stage.width, 0.5 * stage.height}) >= 0.0)
        return inverse;
    std::array<double, 9> negated = inverse.RowMajor();
    for (double& value : negated)
        value = -value;
    return Homography(negated);
}

// Horizontal and vertical output scale: the inverse of the factors the horizon
// module divides back out, fx = 100 b / (r S) + 1 - b and fy = 100 b / S + 1 - b,
// with b the blend strength.
Homography RatioAndScale(const CorrectionParameters& p, double blend)
{
    const double hvRatio = std::clamp(FiniteOr(p.keystoningHVRatio, 0.0), -100.0, 100.0);
    double scale = FiniteOr(p.keystoningScale, 100.0);
    if (!(scale > 0.0))
        scale = 100.0;
    double r = 1.0 + std::abs(hvRatio) / 100.0;
    if (hvRatio < 0.0)
        r = 1.0 / r;
    const double fx = 100.0 * blend / (r * scale) + 1.0 - blend;
    const double fy = 100.0 * blend / scale + 1.0 - blend;
    return Homography::Scaling(1.0 / fx, 1.0 / fy);
}

// The virtual camera tilts of the two sliders, at the given blend strength.
Homography SliderRotation(const CorrectionParameters& p, double strength)
{
    auto angle = [&](double value) {
        return std::clamp(FiniteOr(value, 0.0), -kSliderRange, kSliderRange) / kSliderRange * kSliderMaxRadians * strength;
    };
    return RotationAboutY(angle(p.keystoningLeftRight)) * RotationAboutX(angle(p.keystoningUpDown));
}

// "OutputRotation" as 0 to 3 clockwise quarter turns.
int QuarterTurnsOf(int outputRotation)
{
    return ((outputRotation % 4) + 4) % 4;
}

// The quarter turns (0 to 3) as a turn of centred coordinates, clockwise on
// screen: one turn takes (x, y) to (-y, x).
Homography QuarterTurnAboutCentre(int quarterTurns)
{
    switch (quarterTurns) {
    case 1:
        return Homography({0, -1, 0, 1, 0, 0, 0, 0, 1});
    case 2:
        return Homography({-1, 0, 0, 0, -1, 0, 0, 0, 1});
    case 3:
        return Homography({0, 1, 0, -1, 0, 0, 0, 0, 1});
    default:
        return Homography();
    }
}

struct PointsResult
{
    Homography correction; // centred coordinates of the picture as shown, at the blend strength
    bool applied = false;
};

// The points lie on the stage image, but their order names the sides of the
// picture as shown, after `quarterTurns` (the first two points of a rectangle
// are its left side on screen): the correction is solved in that frame.
PointsResult PointBasedCorrection(const CorrectionParameters& p, Size stage, const Homography& preTransform,
                                  int quarterTurns, double focal, double strength)
{
    if (p.keystoningMode.empty() || p.keystoningPoints.empty())
        return {};
    const KeystoningTool tool = KeystoningToolForMode(p.keystoningMode.c_str());
    std::vector<double> pixels = p.keystoningPoints;
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] *= i % 2 == 0 ? stage.width : stage.height;
    if (!IsPointsConfigurationValid(tool, pixels))
        return {};
    const Homography turn = QuarterTurnAboutCentre(quarterTurns);
    std::vector<Point> centred;
    for (size_t i = 0; i + 1 < pixels.size(); i += 2) {
        const auto moved = preTransform.Map({pixels[i], pixels[i + 1]});
        if (!moved)
            return {};
        const auto shown = turn.Map({moved->x - 0.5 * stage.width, moved->y - 0.5 * stage.height});
        if (!shown)
            return {};
        centred.push_back(*shown);
    }
    const auto solved = SolvePointCorrection(tool, centred, focal);
    if (!solved)
        return {};
    const bool sideways = quarterTurns % 2 == 1;
    const double qx = 0.25 * (sideways ? stage.height : stage.width);
    const double qy = 0.25 * (sideways ? stage.width : stage.height);
    const std::array<Point, 4> anchors{Point{-qx, -qy}, Point{qx, -qy}, Point{qx, qy}, Point{-qx, qy}};
    return {BlendPointCorrection(*solved, strength, focal, anchors), true};
}

// The part of a stage-image outline in front of the transform's vanishing line,
// mapped through it.
Polygon MapOutline(const Polygon& outline, const Homography& transform)
{
    double largestW = 0.0;
    for (const Point& p : outline)
        largestW = std::max(largestW, std::abs(transform.W(p)));
    // Keep clear of the vanishing line itself, where points run off to infinity.
    const Polygon visible = ClipHalfPlane(outline, transform(2, 0), transform(2, 1), transform(2, 2) - 1e-4 * largestW);
    Polygon mapped;
    mapped.reserve(visible.size());
    for (const Point& p : visible)
        if (const auto q = transform.Map(p))
            mapped.push_back(*q);
    return mapped;
}

struct Extent
{
    double size;   // the canvas side, before rounding
    double centre; // where the canvas centre falls, in the transform's frame
};

// One side of the canvas: the span of the corrected outline, symmetric about
// the image centre when it is kept, and capped.
Extent CanvasExtent(double low, double high, double imageCentre, bool keepCenter, double cap)
{
    if (keepCenter) {
        const double half = std::max(imageCentre - low, high - imageCentre);
        return {std::min(2.0 * half, cap), imageCentre};
    }
    const double span = high - low;
    if (span <= cap)
        return {span, 0.5 * (low + high)};
    return {cap, std::clamp(imageCentre, low + 0.5 * cap, high - 0.5 * cap)};
}

int WholePixels(double size)
{
    return std::max(1, int(std::ceil(std::min(size, 1e9) - 1e-6)));
}

// The keystoning and horizon transform, stage pixels to canvas pixels, and the canvas size.
struct Keystoning
{
    Homography transform;
    Size canvas;
    bool pointCorrectionApplied = false;
};

// `stageOutline` is the lens stage's Outline().
Keystoning BuildKeystoning(const CorrectionParameters& p, const LensStage& lens, const Polygon& stageOutline,
                           double focal)
{
    const Size stage = lens.OutputSize();
    if (!p.keystoningActive)
        return {Homography(), stage, false};

    const Homography toCentred = Homography::Translation(-0.5 * stage.width, -0.5 * stage.height);
    const Homography preTransform = PreTransform(p.keystoningPreviousHomographyBackward, stage);
    const double strength = std::clamp(FiniteOr(p.keystoningBlendingIntensity, 100.0) / 100.0, 0.0, 1.0);
    // Left and right, up and down, horizontal and vertical are those of the
    // picture as shown, after the output's quarter turns: the correction is
    // built in that frame and turned back onto the stage image.
    const int quarterTurns = QuarterTurnsOf(p.outputRotation);
    const PointsResult points = PointBasedCorrection(p, stage, preTransform, quarterTurns, focal, strength);
    const double horizon = FiniteOr(p.keystoningHorizon, 0.0) * kPi / 180.0;

    const Homography shown = RatioAndScale(p, strength) * RotationAboutZ(horizon)
        * CameraRotationHomography(SliderRotation(p, strength), focal) * points.correction;
    const Homography turn = QuarterTurnAboutCentre(quarterTurns);
    const Homography centred = turn.Inverse() * shown * turn * toCentred * preTransform;

    const Polygon corrected = MapOutline(stageOutline, centred);
    const auto centreImage = centred.Map({0.5 * stage.width, 0.5 * stage.height});
    const Point imageCentre = centreImage ? *centreImage : Point{};
    double left = imageCentre.x, right = left, top = imageCentre.y, bottom = top;
    for (const Point& q : corrected) {
        left = std::min(left, q.x);
        right = std::max(right, q.x);
        top = std::min(top, q.y);
        bottom = std::max(bottom, q.y);
    }
    // A damaged dictionary must not ask for a canvas no memory holds.
    double maxPercent = FiniteOr(p.outputImageMaxSize, 300.0);
    maxPercent = maxPercent > 0.0 ? std::min(maxPercent, kMaxCanvasPercent) : 300.0;
    const Extent across = CanvasExtent(left, right, imageCentre.x, p.keystoningKeepCenter, stage.width * maxPercent / 100.0);
    const Extent down = CanvasExtent(top, bottom, imageCentre.y, p.keystoningKeepCenter, stage.height * maxPercent / 100.0);
    const Size canvas{WholePixels(across.size), WholePixels(down.size)};
    const Homography toCanvas = Homography::Translation(0.5 * canvas.width - across.centre, 0.5 * canvas.height - down.centre);
    return {toCanvas * centred, canvas, points.applied};
}

// How far (in pixels) a corner may lie outside the rectangle and still count
// as on its pixel edge. The largest inscribed rectangle gives up a relative
// 1e-9 of its size so that no corner falls outside the outline; on a side of
// a million pixels that is 1e-3 pixel: the tolerance must be at least that,
// or an uncorrected picture would lose a pixel on every edge.
constexpr double kInwardRoundingPixels = 2e-3;

// Rounds a rectangle to whole pixels inside it (when it must stay inside the
// outline) or to the nearest ones, keeps it on the canvas and at least one pixel.
PixelRect ToPixels(const RectF& rect, Size canvas, bool inward)
{
    auto low = [&](double v) { return inward ? std::ceil(v - kInwardRoundingPixels) : std::round(v); };
    auto high = [&](double v) { return inward ? std::floor(v + kInwardRoundingPixels) : std::round(v); };
    const int left = std::clamp(int(low(std::clamp(rect.left, 0.0, double(canvas.width)))), 0, canvas.width - 1);
    const int top = std::clamp(int(low(std::clamp(rect.top, 0.0, double(canvas.height)))), 0, canvas.height - 1);
    const int right = std::clamp(int(high(std::clamp(rect.right(), 0.0, double(canvas.width)))), left + 1, canvas.width);
    const int bottom = std::clamp(int(high(std::clamp(rect.bottom(), 0.0, double(canvas.height)))), top + 1, canvas.height);
    return {left, top, right - left, bottom - top};
}

// How far a rectangle's own width / height may stray from the crop ratio and
// still count as of that ratio: a manual rectangle is drawn on a scaled preview.
constexpr double kRatioMatch = 5e-3;

// A crop of a fixed ratio rounded edge by edge can miss the ratio by two pixels.
// Its size is rounded once instead: the largest whole-pixel size that keeps the
// ratio to half a pixel and is at most half a pixel larger than the rectangle
// on either side, placed as near the rectangle's centre as the canvas and, for
// a crop that must stay inside it, the outline allow. Nothing when the
// rectangle is not of the ratio or no such size fits.
std::optional<PixelRect> ToPixelsOfRatio(const RectF& rect, double ratio, Size canvas, const Polygon* outline)
{
    if (!(ratio > 0.0) || !(rect.width >= 1.0) || !(rect.height >= 1.0) || !std::isfinite(rect.width * rect.height)
        || std::abs(rect.width / rect.height / ratio - 1.0) > kRatioMatch)
        return std::nullopt;
    std::vector<Size> sizes;
    auto consider = [&](double w, double h) {
        if (w >= 1.0 && h >= 1.0 && w <= canvas.width && h <= canvas.height && w <= rect.width + 0.5 + 1e-9
            && h <= rect.height + 0.5 + 1e-9)
            sizes.push_back({int(w), int(h)});
    };
    // Whole pixels lost to the placement are at most one a side; three more
    // steps down leave room for an outline that is slanted at the corners.
    constexpr int kSteps = 4;
    for (int step = 0; step <= kSteps; ++step) {
        const double w = std::floor(rect.width + 0.5) - step;
        consider(w, std::round(w / ratio));
        const double h = std::floor(rect.height + 0.5) - step;
        consider(std::round(h * ratio), h);
    }
    auto ratioError = [ratio](Size s) {
        return std::min(std::abs(s.width - s.height * ratio), std::abs(s.height - s.width / ratio));
    };
    std::stable_sort(sizes.begin(), sizes.end(), [&](Size a, Size b) {
        const int64_t areaA = int64_t(a.width) * a.height, areaB = int64_t(b.width) * b.height;
        return areaA != areaB ? areaA > areaB : ratioError(a) < ratioError(b);
    });
    const double centreX = rect.left + 0.5 * rect.width, centreY = rect.top + 0.5 * rect.height;
    for (const Size& size : sizes) {
        const int x = std::clamp(int(std::floor(centreX - 0.5 * size.width + 0.5)), 0, canvas.width - size.width);
        const int y = std::clamp(int(std::floor(centreY - 0.5 * size.height + 0.5)), 0, canvas.height - size.height);
        // The nearest placement first, then a pixel aside in each direction.
        for (const auto& [dx, dy] :
             {std::pair{0, 0}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}, {-1, -1}, {1, -1}, {-1, 1}, {1, 1}}) {
            const PixelRect placed{x + dx, y + dy, size.width, size.height};
            if (placed.left < 0 || placed.top < 0 || placed.left + placed.width > canvas.width
                || placed.top + placed.height > canvas.height)
                continue;
            const RectF area{double(placed.left), double(placed.top), double(placed.width), double(placed.height)};
            if (!outline || DistanceOutside(area, *outline) <= kInwardRoundingPixels)
                return placed;
        }
    }
    return std::nullopt;
}

// A fixed ratio's crop rounded once (above), any other edge by edge.
PixelRect CropToPixels(const RectF& rect, double ratio, Size canvas, const Polygon& outline, bool inward)
{
    if (const auto sized = ToPixelsOfRatio(rect, ratio, canvas, inward ? &outline : nullptr))
        return *sized;
    return ToPixels(rect, canvas, inward);
}

// "CropRatio" is the ratio as displayed; the crop is computed on the unrotated
// canvas, where an odd number of quarter turns inverts it.
double UnrotatedRatio(double cropRatio, int quarterTurns)
{
    if (!(cropRatio > 0.0) || !std::isfinite(cropRatio))
        return -1.0;
    return quarterTurns % 2 == 1 ? 1.0 / cropRatio : cropRatio;
}

// A manual rectangle that pokes out of the outline by a few pixels (a drag that
// stopped just past the border) is pulled inside; one further out is the
// user's choice and stays.
std::pair<RectF, bool> ManualCrop(const std::vector<double>& fractions, Size canvas, const Polygon& outline, double ratio)
{
    RectF rect{0.0, 0.0, double(canvas.width), double(canvas.height)};
    if (fractions.size() == 4 && std::all_of(fractions.begin(), fractions.end(), [](double v) { return std::isfinite(v); }))
        rect = {fractions[0] * canvas.width, fractions[1] * canvas.height, fractions[2] * canvas.width, fractions[3] * canvas.height};
    const double outside = DistanceOutside(rect, outline);
    if (outside <= 1e-9 || outside > kManualCropSnapPixels)
        return {rect, false};
    const Polygon room = ClipToRectangle(outline, rect.left, rect.top, rect.right(), rect.bottom());
    if (const auto clamped = LargestInscribedRectangle(room, ratio))
        return {*clamped, true};
    return {rect, false};
}

} // namespace

CorrectionChain CorrectionChain::Build(const CorrectionParameters& parameters, Size inputSize, const CameraData& camera)
{
    inputSize = {std::max(1, inputSize.width), std::max(1, inputSize.height)};
    const double focal = FocalLengthPixels(inputSize, camera);

    CorrectionChain chain;
    chain.m_lens = LensStage::Build(parameters, inputSize, focal, camera.profileRadialDistortion);
    const Polygon stageOutline = chain.m_lens.Outline(kLensOutlineSegmentsPerSide);
    const Keystoning keystoning = BuildKeystoning(parameters, chain.m_lens, stageOutline, focal);
    chain.m_keystoning = keystoning.transform;
    chain.m_canvasSize = keystoning.canvas;
    chain.m_pointCorrectionApplied = keystoning.pointCorrectionApplied;
    const Size canvas = chain.m_canvasSize;
    chain.m_outline =
        ClipToRectangle(MapOutline(stageOutline, chain.m_keystoning), 0.0, 0.0, canvas.width, canvas.height);

    chain.m_quarterTurns = QuarterTurnsOf(parameters.outputRotation);
    const double ratio = UnrotatedRatio(parameters.cropRatio, chain.m_quarterTurns);
    const auto automatic = LargestInscribedRectangle(chain.m_outline, ratio);
    const RectF autoRect = automatic ? *automatic : RectF{0.0, 0.0, double(canvas.width), double(canvas.height)};
    chain.m_cropRectAuto = {autoRect.left / canvas.width, autoRect.top / canvas.height, autoRect.width / canvas.width,
                            autoRect.height / canvas.height};

    chain.m_crop = {0, 0, canvas.width, canvas.height};
    if (parameters.cropActive) {
        if (parameters.cropAuto) {
            chain.m_crop = CropToPixels(autoRect, ratio, canvas, chain.m_outline, true);
        } else {
            const auto [rect, clamped] = ManualCrop(parameters.cropRect, canvas, chain.m_outline, ratio);
            chain.m_crop = CropToPixels(rect, ratio, canvas, chain.m_outline, clamped);
        }
    }

    const PixelRect crop = chain.m_crop;
    Homography turn;
    switch (chain.m_quarterTurns) {
    case 1: turn = Homography({0, -1, double(crop.height), 1, 0, 0, 0, 0, 1}); break;
    case 2: turn = Homography({-1, 0, double(crop.width), 0, -1, double(crop.height), 0, 0, 1}); break;
    case 3: turn = Homography({0, 1, 0, -1, 0, double(crop.width), 0, 0, 1}); break;
    default: break;
    }
    chain.m_stageToOutput = turn * Homography::Translation(-crop.left, -crop.top) * chain.m_keystoning;
    chain.m_outputToStage = chain.m_stageToOutput.Inverse();
    return chain;
}

double CorrectionChain::LevelScale(unsigned level)
{
    return std::ldexp(1.0, -int(std::min(level, 1000u)));
}

Size CorrectionChain::ScaledSize(Size size, unsigned level)
{
    auto scaled = [level](int side) {
        return level >= 31 ? 1 : std::max(1, int((int64_t(side) + (int64_t(1) << level) - 1) >> level));
    };
    return {scaled(size.width), scaled(size.height)};
}

Size CorrectionChain::OutputSize(unsigned level) const
{
    const bool turned = m_quarterTurns % 2 == 1;
    return ScaledSize(turned ? Size{m_crop.height, m_crop.width} : Size{m_crop.width, m_crop.height}, level);
}

std::optional<Point> CorrectionChain::OutputToInput(Point output, unsigned level) const
{
    const double scale = 1.0 / LevelScale(level);
    const auto stage = m_outputToStage.Map({output.x * scale, output.y * scale});
    if (!stage || !m_lens.IsActive())
        return stage;
    return m_lens.ToInput(*stage);
}

Homography CorrectionChain::OutputToStageHomography(unsigned level) const
{
    const double scale = 1.0 / LevelScale(level);
    return m_outputToStage * Homography::Scaling(scale, scale);
}

std::array<double, 9> CorrectionChain::UpdatedHomographyForward() const
{
    return m_keystoning.Normalized().RowMajor();
}

std::array<double, 9> CorrectionChain::UpdatedHomographyBackward() const
{
    return m_keystoning.Inverse().Normalized().RowMajor();
}

} // namespace Navik::Geometry
