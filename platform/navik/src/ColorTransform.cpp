#include "ColorTransform.h"

#include "Navik/ColorSpace.h"
#include "Navik/Logging.h"

#include <lcms2.h>

#include <deque>
#include <filesystem>
#include <mutex>
#include <vector>

namespace Navik::Internal {

namespace {

constexpr const char* kSRGB = "sRGB";
constexpr const char* kAsShot = "AsShot";

struct ProfileCloser
{
    void operator()(void* profile) const
    {
        if (profile)
            cmsCloseProfile(profile);
    }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

Profile openTarget(const std::string& target)
{
    if (target == kSRGB)
        return Profile(cmsCreate_sRGBProfile());
    Profile profile(cmsOpenProfileFromFile(target.c_str(), "r"));
    if (!profile)
        Log("Engine", kLogLevelWarning, "output profile '%s' cannot be read; colours left as they are", target.c_str());
    return profile;
}

// Building a transform takes milliseconds, as long as a preview render: the
// last few are kept, since every change of a target's parameters asks again.
class TransformCache
{
public:
    struct Key
    {
        std::vector<unsigned char> source; // the profile's bytes; empty for sRGB
        std::string target;
        std::filesystem::file_time_type targetTime; // a profile file may be replaced
        unsigned int sampleSize;

        bool operator==(const Key&) const = default;
    };

    std::shared_ptr<const ColorTransform> Find(const Key& key)
    {
        std::lock_guard lock(m_mutex);
        for (const auto& [entryKey, transform] : m_entries)
            if (entryKey == key)
                return transform;
        return nullptr;
    }

    void Insert(Key key, std::shared_ptr<const ColorTransform> transform)
    {
        std::lock_guard lock(m_mutex);
        m_entries.emplace_back(std::move(key), std::move(transform));
        if (m_entries.size() > kKept)
            m_entries.pop_front();
    }

private:
    static constexpr std::size_t kKept = 8;
    std::mutex m_mutex;
    std::deque<std::pair<Key, std::shared_ptr<const ColorTransform>>> m_entries;
};

TransformCache& transformCache()
{
    static auto* instance = new TransformCache; // outlives every static target
    return *instance;
}

} // namespace

std::shared_ptr<const ColorTransform> ColorTransform::Create(const ColorSpace* source, const std::string& target,
                                                             const PixelFormat& format)
{
    if (target.empty() || target == kAsShot || format.GetPixelType() != kPixelTypeRGB)
        return nullptr;
    const bool sourceIsSRGB = !source || !source->IsValid();
    if (sourceIsSRGB && target == kSRGB)
        return nullptr;
    TransformCache::Key key{{}, target, {}, format.GetSampleSize()};
    if (!sourceIsSRGB)
        key.source.assign(source->GetData(), source->GetData() + source->GetSize());
    std::error_code ignored;
    if (target != kSRGB)
        key.targetTime = std::filesystem::last_write_time(target, ignored);
    if (auto cached = transformCache().Find(key))
        return cached;
    auto transform = Build(source, sourceIsSRGB, target, format);
    if (transform)
        transformCache().Insert(std::move(key), transform);
    return transform;
}

std::shared_ptr<const ColorTransform> ColorTransform::Build(const ColorSpace* source, bool sourceIsSRGB,
                                                            const std::string& target, const PixelFormat& format)
{
    Profile from(sourceIsSRGB ? cmsCreate_sRGBProfile()
                              : cmsOpenProfileFromMem(source->GetData(), cmsUInt32Number(source->GetSize())));
    Profile to = openTarget(target);
    if (!from || !to)
        return nullptr;
    const cmsUInt32Number type = format.GetSampleSize() == 16 ? TYPE_RGB_16 : TYPE_RGB_8;
    // Without the one-pixel cache a transform may run on several threads at once.
    cmsHTRANSFORM handle =
        cmsCreateTransform(from.get(), type, to.get(), type, INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE);
    if (!handle) {
        Log("Engine", kLogLevelWarning, "no colour transform to '%s'; colours left as they are", target.c_str());
        return nullptr;
    }
    return std::shared_ptr<const ColorTransform>(new ColorTransform(handle));
}

ColorTransform::~ColorTransform()
{
    cmsDeleteTransform(m_handle);
}

void ColorTransform::Apply(void* row, int width) const
{
    cmsDoTransform(m_handle, row, row, cmsUInt32Number(width));
}

} // namespace Navik::Internal
