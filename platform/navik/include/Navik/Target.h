#pragma once

// One rendering of an agent's image with one parameter dictionary: sizes,
// whole and partial renders at any scale level, point projection and the
// values a render leaves behind. Level s is scale 2^-s of the full-resolution
// output. See docs/correction-engine.md.

#include "Navik/Agent.h"
#include "Navik/FileFormat.h"
#include "Navik/PixelData.h"
#include "Navik/Region.h"
#include "Navik/Status.h"
#include "Navik/Value.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace Navik {

class ColorSpace;
class Exif;

namespace Internal {
class Pyramid;
struct PreparedTarget;
} // namespace Internal

class Target
{
public:
    ~Target();
    Target(const Target&) = delete;
    Target& operator=(const Target&) = delete;

    CorrectionMode GetMode() const { return m_mode; }
    // The dictionary the target was last given.
    Dictionary GetParameters() const;
    void SetParameters(const Dictionary& parameters);

    // The output size at `level`: each side max(1, ceil(side at level 0 / 2^level)).
    bool ComputeScaledOutputSize(unsigned int level, int* width, int* height) const;

    // Renders the whole output at `level` into `output`, which must be at
    // least that large (8- or 16-bit samples, grey or RGB, any layout).
    bool ComputeScaledOutputImage(PixelData* output, unsigned int level, Progress* progress);
    // Renders the level-0 rectangle (left, top, width, height) scaled by
    // 2^-level: the level-`level` pixels from (left >> level, top >> level),
    // (width >> level) by (height >> level) of them, into the top left of
    // `output`. They equal the same pixels of the whole render at that level.
    bool ComputeScaledOutputSubImageBitShiftApprox(PixelData* output, unsigned int level, int left, int top,
                                                   int width, int height, Progress* progress);

    // Renders the full-resolution output band by band straight into a JPEG
    // or TIFF file at `path`, never holding the whole output: samples of
    // `sampleType` in `sampleLayout`, the metadata of `exif` and the colour
    // profile written as Image::Save writes them, with the same save options.
    // The file appears complete or not at all. `progress` may cancel.
    bool SaveOutputImage(const std::string& path, FileFormat format, const Dictionary& saveOptions,
                         SampleType sampleType, SampleLayout sampleLayout, const Exif& exif,
                         const ColorSpace* iccProfile, Progress* progress, ImageStatus* status);

    // The transform-out values: "KeystoningUpdatedHomographyForward",
    // "KeystoningUpdatedHomographyBackward" and "CropRectAuto". This engine
    // renders in one pass, so `index` 0 is the only one that has values.
    bool CollectPreparedParameters(Dictionary& parameters, unsigned int index = 0) const;
    // The output parameters of the last whole render at `level`:
    // "HistogramData" with 256 counts under "Red", "Green", "Blue" and
    // "Luminance" (renders at levels above 0 and scheduled ones collect it).
    // With `withPreparedParameters` the transform-out values are added.
    Dictionary GetOutputParams(unsigned int level, bool withPreparedParameters) const;

    // Maps one point between input pixels (full resolution, before any
    // correction) and output pixels at `level`. False, with NaN written, for
    // a point the correction cannot show.
    bool ProjectPointFromInputToOutputImage(unsigned int level, float inputX, float inputY, float& outputX,
                                            float& outputY) const;
    bool ProjectPointFromOutputToInputImage(unsigned int level, float outputX, float outputY, float& inputX,
                                            float& inputY) const;
    bool ProjectPointFromInputToOutputImage(unsigned int level, double inputX, double inputY, double& outputX,
                                            double& outputY) const;
    bool ProjectPointFromOutputToInputImage(unsigned int level, double outputX, double outputY, double& inputX,
                                            double& inputY) const;

private:
    friend class Agent;
    Target(const Agent& agent, std::shared_ptr<Internal::Pyramid> pyramid, CorrectionMode mode,
           const Dictionary& parameters, Filter* filter);

    // The geometry and output settings of the current parameters, built on
    // first use after a change and shared with renders that are running.
    std::shared_ptr<const Internal::PreparedTarget> Prepared() const;
    // Renders `region` (pixels at `level`) into the top left of `output`; with
    // `histogram`, keeps its histogram as the level's output parameters.
    bool RenderRegion(PixelData* output, unsigned int level, const Region& region, bool histogram,
                      Progress* progress);

    const Agent& m_agent;
    const std::shared_ptr<Internal::Pyramid> m_pyramid;
    const CorrectionMode m_mode;
    RefPtr<Filter> m_filter;

    mutable std::mutex m_mutex;
    Dictionary m_parameters;
    mutable std::shared_ptr<const Internal::PreparedTarget> m_prepared;
    std::map<unsigned int, Dictionary> m_outputParams; // by level
};

} // namespace Navik
