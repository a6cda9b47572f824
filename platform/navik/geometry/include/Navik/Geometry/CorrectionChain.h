#pragma once

#include <Navik/Geometry/CorrectionParameters.h>
#include <Navik/Geometry/Homography.h>
#include <Navik/Geometry/LensStage.h>
#include <Navik/Geometry/Types.h>

#include <array>
#include <optional>

namespace Navik::Geometry {

// The whole geometric chain of one target, from the input image to the output
// image at any scale level:
//
//   input --lens stage--> stage image --keystoning and horizon--> canvas
//         --crop--> cropped image --quarter turns--> output (level 0)
//         --scale 2^-level--> output at that level
//
// Rendering, point projection and the transform-out values all read this one
// object, so a handle drawn at a projected point sits on the rendered feature.
// Points are continuous pixel coordinates (see Types.h); input points are always
// in full-resolution input pixels, output points in pixels of the level asked
// for. docs/correction-geometry.md describes the model.
class CorrectionChain
{
public:
    CorrectionChain() = default; // the identity on an image of size 0 x 0

    static CorrectionChain Build(const CorrectionParameters& parameters, Size inputSize, const CameraData& camera);

    Size InputSize() const { return m_lens.InputSize(); }
    const LensStage& Lens() const { return m_lens; }
    Size StageSize() const { return m_lens.OutputSize(); }
    // The corrected image before crop and quarter turns; crop rectangles are
    // fractions of it.
    Size CanvasSize() const { return m_canvasSize; }
    // The crop in canvas pixels (the whole canvas when no crop applies).
    PixelRect CropPixels() const { return m_crop; }
    int QuarterTurns() const { return m_quarterTurns; }

    // Each side max(1, ceil(side at level 0 / 2^level)).
    Size OutputSize(unsigned level = 0) const;

    // The factor from level-0 output pixels to pixels at `level`: 2^-level.
    static double LevelScale(unsigned level);
    // A level-0 size at `level`: each side max(1, ceil(side / 2^level)).
    static Size ScaledSize(Size size, unsigned level);

    // No value for a point that the chain cannot show (beyond the vanishing line
    // of the keystoning transform, or beyond the reach of the lens stage).
    std::optional<Point> InputToOutput(Point input, unsigned level = 0) const
    {
        Point stage = input;
        if (m_lens.IsActive()) {
            const auto mapped = m_lens.ToStage(input);
            if (!mapped)
                return std::nullopt;
            stage = *mapped;
        }
        const auto output = m_stageToOutput.Map(stage);
        if (!output || level == 0)
            return output;
        const double scale = LevelScale(level);
        return Point{output->x * scale, output->y * scale};
    }

    std::optional<Point> OutputToInput(Point output, unsigned level = 0) const;

    // True when the lens stage is inactive: the whole output-to-input map is then
    // OutputToInputHomography(level).
    bool IsProjective() const { return !m_lens.IsActive(); }

    // Output pixels at a level to stage pixels: one projective transform, which
    // a renderer can evaluate incrementally along a row. A point whose w is not
    // positive has no source and renders black. Follow it with Lens().ToInput
    // when the chain is not projective.
    Homography OutputToStageHomography(unsigned level = 0) const;
    // The same, valid as the whole map when IsProjective().
    Homography OutputToInputHomography(unsigned level = 0) const { return OutputToStageHomography(level); }

    // The keystoning and horizon transform, stage pixels to canvas pixels.
    const Homography& KeystoningForward() const { return m_keystoning; }
    // The values of "KeystoningUpdatedHomographyForward" and
    // "KeystoningUpdatedHomographyBackward": the transform above and its inverse,
    // nine numbers row by row, divided by the magnitude of the last.
    std::array<double, 9> UpdatedHomographyForward() const;
    std::array<double, 9> UpdatedHomographyBackward() const;

    // "CropRectAuto": left, top, width and height of the largest rectangle of
    // the requested ratio inside the corrected outline, as fractions of the canvas.
    RectF CropRectAuto() const { return m_cropRectAuto; }

    // The border of the stage image's content as it lies on the canvas, clipped to it.
    const Polygon& CorrectedOutline() const { return m_outline; }

    // False when keystoning points were given but refused (see
    // IsPointsConfigurationValid) or undetermined; the chain then leaves them out.
    bool PointCorrectionApplied() const { return m_pointCorrectionApplied; }

private:
    LensStage m_lens;
    Homography m_keystoning;
    Size m_canvasSize;
    Polygon m_outline;
    RectF m_cropRectAuto{0.0, 0.0, 1.0, 1.0};
    PixelRect m_crop;
    int m_quarterTurns = 0;
    bool m_pointCorrectionApplied = false;
    Homography m_stageToOutput; // at level 0
    Homography m_outputToStage; // at level 0, the exact inverse (its w keeps its sign)
};

} // namespace Navik::Geometry
