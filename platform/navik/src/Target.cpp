#include "Navik/Target.h"

#include "Navik/PixelData.h"
#include "Navik/Region.h"

#include "Navik/Progress.h"

#include "PreparedTarget.h"
#include "Pyramid.h"
#include "RowSource.h"
#include "TargetSettings.h"
#include "Warp.h"

#include <algorithm>
#include <atomic>
#include <limits>

namespace Navik {

namespace {

ValueArray arrayOf(const double* values, int count)
{
    ValueArray array;
    for (int i = 0; i < count; ++i)
        array.Append(Value(values[i]));
    return array;
}

Dictionary histogramDictionary(const Internal::Histogram& histogram)
{
    static const char* const kChannels[4] = {"Red", "Green", "Blue", "Luminance"};
    Dictionary data;
    for (int channel = 0; channel < 4; ++channel) {
        ValueArray counts;
        for (const std::uint64_t count : histogram.bins[channel])
            counts.Append(Value(double(count)));
        data.SetValueForKey(kChannels[channel], Value(counts));
    }
    Dictionary output;
    output.SetValueForKey("HistogramData", Value(data));
    return output;
}

// Writes a projected point, or NaN for a point the correction cannot show.
// The float forms of the projections round the double ones.
template <typename Real>
bool project(const std::optional<Geometry::Point>& result, Real& x, Real& y)
{
    if (!result) {
        x = y = std::numeric_limits<Real>::quiet_NaN();
        return false;
    }
    x = Real(result->x);
    y = Real(result->y);
    return true;
}

// The output of a prepared state, rendered band by band as an encoder asks for
// its rows. Every band uses the state the save started with.
class RenderedRows : public RowSource
{
public:
    RenderedRows(Internal::Pyramid& pyramid, std::shared_ptr<const Internal::PreparedTarget> prepared,
                 SampleType sampleType, SampleLayout sampleLayout, Progress* progress)
        : m_pyramid(pyramid), m_prepared(std::move(prepared)), m_size(m_prepared->OutputSize(0)),
          m_sampleType(sampleType), m_sampleLayout(sampleLayout), m_progress(progress)
    {
        const std::unique_ptr<PixelData> probe(PixelData::Create(sampleType, sampleLayout, 1, 1));
        m_format = probe->GetPixelFormat();
    }

    unsigned int Width() const override { return unsigned(m_size.width); }
    unsigned int Height() const override { return unsigned(m_size.height); }
    PixelFormat Format() const override { return m_format; }

    bool Fill(unsigned int first, unsigned int count, unsigned int threads, RowBand& band,
              ImageStatus* status) override
    {
        if (m_progress && m_progress->IsCancelled())
            return failed(status, kImageStatusCancelled, "The save was cancelled.");
        if (!band.storage || band.storage->GetHeight() < count)
            band.storage.reset(PixelData::Create(m_sampleType, m_sampleLayout, Width(), count));
        if (band.storage->GetStatus() != PixelData::kStatusOK) {
            band.storage.reset();
            return failed(status, kImageStatusOutOfMemory, "There is not enough memory to save the image.");
        }
        Internal::WarpRequest request;
        request.map = m_prepared->MapAt(0);
        request.interpolation = m_prepared->interpolation;
        request.left = 0;
        request.top = int(first);
        request.width = m_size.width;
        request.height = int(count);
        request.output = band.storage.get();
        request.colour = m_prepared->colour.get();
        request.threads = threads;
        if (!Internal::Warp(m_pyramid, request)) {
            // A picture decoded in the background says why its rows never came.
            if (!m_pyramid.WaitForSource(status))
                return false;
            return failed(status, kImageStatusOutOfMemory, "The image could not be rendered for saving.");
        }
        band.firstRow = first;
        band.rowCount = count;
        band.rowBytes = band.storage->GetRowBytes();
        for (int plane = 0; plane < 3; ++plane)
            band.planes[plane] = static_cast<const unsigned char*>(band.storage->Buffer(plane));
        if (m_progress)
            m_progress->SetFraction(double(m_rowsDone += count) / std::max(1, m_size.height));
        return true;
    }

private:
    static bool failed(ImageStatus* status, ImageStatusCode code, const char* message)
    {
        if (status)
            status->Set(code, message);
        return false;
    }

    Internal::Pyramid& m_pyramid;
    const std::shared_ptr<const Internal::PreparedTarget> m_prepared;
    const Geometry::Size m_size;
    const SampleType m_sampleType;
    const SampleLayout m_sampleLayout;
    Progress* const m_progress;
    PixelFormat m_format;
    std::atomic<unsigned int> m_rowsDone{0};
};

} // namespace

Target::Target(const Agent& agent, std::shared_ptr<Internal::Pyramid> pyramid, CorrectionMode mode,
               const Dictionary& parameters, Filter* filter)
    : m_agent(agent), m_pyramid(std::move(pyramid)), m_mode(mode), m_filter(filter), m_parameters(parameters)
{
}

Target::~Target() = default;

Dictionary Target::GetParameters() const
{
    std::lock_guard lock(m_mutex);
    return m_parameters;
}

void Target::SetParameters(const Dictionary& parameters)
{
    std::lock_guard lock(m_mutex);
    if (parameters == m_parameters)
        return;
    m_parameters = parameters;
    m_prepared.reset();
    m_outputParams.clear();
}

std::shared_ptr<const Internal::PreparedTarget> Target::Prepared() const
{
    unsigned int version = 0;
    const RefPtr<CalibrationModule> profile = m_agent.ProfileAndVersion(version);
    std::lock_guard lock(m_mutex);
    if (m_prepared && m_prepared->profileVersion == version)
        return m_prepared;
    Geometry::CameraData camera;
    if (profile) {
        camera.focalLength35mm = profile->GetFocalLength35mm();
        camera.profileRadialDistortion = profile->GetRadialDistortion();
    }
    const Internal::TargetSettings settings =
        Internal::ReadTargetSettings(m_parameters, m_mode, Internal::CurrentLensStageOptions());
    m_prepared = Internal::PreparedTarget::Build(settings, *m_pyramid, camera, version);
    return m_prepared;
}

bool Target::ComputeScaledOutputSize(unsigned int level, int* width, int* height) const
{
    if (!width || !height)
        return false;
    const Geometry::Size size = Prepared()->OutputSize(level);
    *width = size.width;
    *height = size.height;
    return true;
}

bool Target::RenderRegion(PixelData* output, unsigned int level, const Region& region, bool histogram,
                          Progress* progress)
{
    const auto prepared = Prepared();
    Internal::Histogram counts;
    Internal::WarpRequest request;
    request.map = prepared->MapAt(level);
    request.interpolation = prepared->interpolation;
    request.left = region.x;
    request.top = region.y;
    request.width = region.width;
    request.height = region.height;
    request.output = output;
    request.progress = progress;
    request.colour = prepared->colour.get();
    request.histogram = histogram ? &counts : nullptr;
    if (!Internal::Warp(*m_pyramid, request))
        return false;
    if (histogram) {
        std::lock_guard lock(m_mutex);
        if (m_prepared == prepared)
            m_outputParams[level] = histogramDictionary(counts);
    }
    return true;
}

bool Target::ComputeScaledOutputImage(PixelData* output, unsigned int level, Progress* progress)
{
    const Geometry::Size size = Prepared()->OutputSize(level);
    return RenderRegion(output, level, {0, 0, size.width, size.height}, level > 0, progress);
}

bool Target::ComputeScaledOutputSubImageBitShiftApprox(PixelData* output, unsigned int level, int left, int top,
                                                       int width, int height, Progress* progress)
{
    if (level >= 31)
        return false;
    return RenderRegion(output, level, {left >> level, top >> level, width >> level, height >> level}, false,
                        progress);
}

bool Target::SaveOutputImage(const std::string& path, FileFormat format, const Dictionary& saveOptions,
                             SampleType sampleType, SampleLayout sampleLayout, const Exif& exif,
                             const ColorSpace* iccProfile, Progress* progress, ImageStatus* status)
{
    RenderedRows rows(*m_pyramid, Prepared(), sampleType, sampleLayout, progress);
    if (rows.Format().GetPixelType() == kPixelTypeUnknown) {
        if (status)
            status->Set(kImageStatusInvalidArgument, "The samples asked for cannot be saved.");
        return false;
    }
    return SaveRows(rows, exif, iccProfile, path, format, saveOptions, status);
}

bool Target::CollectPreparedParameters(Dictionary& parameters, unsigned int index) const
{
    if (index != 0)
        return false;
    const auto prepared = Prepared();
    const auto forward = prepared->chain.UpdatedHomographyForward();
    const auto backward = prepared->chain.UpdatedHomographyBackward();
    const Geometry::RectF crop = prepared->chain.CropRectAuto();
    const double cropValues[4] = {crop.left, crop.top, crop.width, crop.height};
    parameters.SetValueForKey("KeystoningUpdatedHomographyForward", Value(arrayOf(forward.data(), 9)));
    parameters.SetValueForKey("KeystoningUpdatedHomographyBackward", Value(arrayOf(backward.data(), 9)));
    parameters.SetValueForKey("CropRectAuto", Value(arrayOf(cropValues, 4)));
    return true;
}

Dictionary Target::GetOutputParams(unsigned int level, bool withPreparedParameters) const
{
    Dictionary output;
    {
        std::lock_guard lock(m_mutex);
        if (const auto it = m_outputParams.find(level); it != m_outputParams.end())
            output = it->second;
    }
    if (withPreparedParameters)
        CollectPreparedParameters(output, 0);
    return output;
}

bool Target::ProjectPointFromInputToOutputImage(unsigned int level, double inputX, double inputY, double& outputX,
                                                double& outputY) const
{
    return project(Prepared()->InputToOutput({inputX, inputY}, level), outputX, outputY);
}

bool Target::ProjectPointFromOutputToInputImage(unsigned int level, double outputX, double outputY, double& inputX,
                                                double& inputY) const
{
    return project(Prepared()->OutputToInput({outputX, outputY}, level), inputX, inputY);
}

bool Target::ProjectPointFromInputToOutputImage(unsigned int level, float inputX, float inputY, float& outputX,
                                                float& outputY) const
{
    return project(Prepared()->InputToOutput({inputX, inputY}, level), outputX, outputY);
}

bool Target::ProjectPointFromOutputToInputImage(unsigned int level, float outputX, float outputY, float& inputX,
                                                float& inputY) const
{
    return project(Prepared()->OutputToInput({outputX, outputY}, level), inputX, inputY);
}

} // namespace Navik
