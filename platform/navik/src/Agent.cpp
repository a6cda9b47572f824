#include "Navik/Agent.h"

#include "Navik/CameraBody.h"
#include "Navik/Exif.h"
#include "Navik/Image.h"
#include "Navik/Logging.h"
#include "Navik/PixelData.h"
#include "Navik/Region.h"
#include "Navik/Target.h"
#include "Navik/ThreadGraph.h"

#include "Pyramid.h"

#include <algorithm>

namespace Navik {

namespace {

// The profile an agent starts with: the camera's focal length from the EXIF.
RefPtr<CalibrationModule> profileFromExif(const Exif& exif, const Image& image)
{
    const unsigned int longSide = std::max(image.GetWidth(), image.GetHeight());
    const unsigned int shortSide = std::min(image.GetWidth(), image.GetHeight());
    double focalLength35mm = 0.0;
    if (!CameraBody::GetFocalLength35mm(exif, longSide, shortSide, focalLength35mm))
        return {};
    return RefPtr<CalibrationModule>::Adopt(new CalibrationModule(focalLength35mm));
}

} // namespace

Agent::Agent(const Image& image)
    : m_pyramid(Internal::Pyramid::Create(image)), m_exif(image.GetExif()), m_profile(profileFromExif(*m_exif, image))
{
    if (!m_pyramid)
        Log("Engine", kLogLevelError, "agent over an image without usable pixels: nothing will render");
}

Agent::Agent(const PixelData& pixels, const Exif& exif) : m_exif(RefPtr<Exif>::Adopt(new Exif(exif)))
{
    const auto image = RefPtr<Image>::Adopt(CreateImageFromPixelData(pixels));
    if (image) {
        image->SetExif(m_exif.get());
        m_pyramid = Internal::Pyramid::Create(*image);
        m_profile = profileFromExif(*m_exif, *image);
    }
    if (!m_pyramid)
        Log("Engine", kLogLevelError, "agent over unusable pixel data: nothing will render");
}

Agent::~Agent() = default;

CalibrationModule* Agent::GetProfile() const
{
    std::lock_guard lock(m_mutex);
    return m_profile.get();
}

void Agent::SetProfile(CalibrationModule* profile)
{
    std::lock_guard lock(m_mutex);
    if (profile == m_profile.get())
        return;
    m_profile = RefPtr<CalibrationModule>(profile);
    ++m_profileVersion;
}

RefPtr<CalibrationModule> Agent::ProfileAndVersion(unsigned int& version) const
{
    std::lock_guard lock(m_mutex);
    version = m_profileVersion;
    return m_profile;
}

Target* Agent::AddTarget(CorrectionMode mode, const Dictionary& parameters, Filter* filter)
{
    return AddTarget(std::string(), mode, parameters, filter);
}

Target* Agent::AddTarget(const std::string& name, CorrectionMode mode, const Dictionary& parameters, Filter* filter)
{
    if (!m_pyramid)
        return nullptr;
    return Adopt(std::unique_ptr<Target>(new Target(*this, m_pyramid, mode, parameters, filter)), name);
}

Target* Agent::Adopt(std::unique_ptr<Target> target, const std::string& name)
{
    std::lock_guard lock(m_mutex);
    Target* added = target.get();
    if (!name.empty()) {
        if (const auto it = m_named.find(name); it != m_named.end())
            std::erase_if(m_targets, [&](const auto& t) { return t.get() == it->second; });
        m_named[name] = added;
    }
    m_targets.push_back(std::move(target));
    return added;
}

Target* Agent::Find(const std::string& name) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_named.find(name);
    return it == m_named.end() ? nullptr : it->second;
}

bool Agent::UpdateParameters(const std::string& name, const Dictionary& parameters)
{
    Target* target = Find(name);
    if (!target)
        return false;
    target->SetParameters(parameters);
    return true;
}

std::string Agent::ScheduleProcess(const std::string& name, unsigned int level, const Region* region,
                                   const std::string& label, ThreadGraph& graph, Progress* progress)
{
    Target* target = Find(name);
    if (!target || level >= 31)
        return {};
    int width = 0, height = 0;
    target->ComputeScaledOutputSize(level, &width, &height);
    // The region in pixels at the level, clipped to the output.
    Region area(0, 0, width, height);
    if (region) {
        const int left = std::clamp(region->x >> level, 0, width);
        const int top = std::clamp(region->y >> level, 0, height);
        const int right = std::clamp(int((std::int64_t(region->x) + region->width) >> level), left, width);
        const int bottom = std::clamp(int((std::int64_t(region->y) + region->height) >> level), top, height);
        area = Region(left, top, right - left, bottom - top);
    }
    if (area.IsEmpty())
        return {};
    graph.AddTask([target, level, area, progress, label] {
        std::unique_ptr<PixelData> pixels(
            PixelData::Create(kSampleTypeUInt8, kSampleLayoutRGBInterleaved, unsigned(area.width), unsigned(area.height)));
        if (!target->RenderRegion(pixels.get(), level, area, true, progress))
            Log("Engine", kLogLevelWarning, "scheduled render '%s' failed", label.c_str());
    });
    return name;
}

Dictionary Agent::GetOutputParameters(const std::string& name, unsigned int level) const
{
    const Target* target = Find(name);
    return target ? target->GetOutputParams(level, false) : Dictionary();
}

bool Agent::RemoveTarget(const std::string& name)
{
    Target* target = Find(name);
    return target && RemoveTarget(target);
}

bool Agent::RemoveTarget(Target* target)
{
    std::unique_ptr<Target> removed; // deleted after the lock is released
    std::lock_guard lock(m_mutex);
    const auto it = std::find_if(m_targets.begin(), m_targets.end(), [&](const auto& t) { return t.get() == target; });
    if (it == m_targets.end())
        return false;
    std::erase_if(m_named, [&](const auto& entry) { return entry.second == target; });
    removed = std::move(*it);
    m_targets.erase(it);
    return true;
}

} // namespace Navik
