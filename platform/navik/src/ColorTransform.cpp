#include "ColorTransform.h"

#include "Navik/ColorSpace.h"
#include "Navik/Logging.h"

#include <lcms2.h>

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

} // namespace

std::shared_ptr<const ColorTransform> ColorTransform::Create(const ColorSpace* source, const std::string& target,
                                                             const PixelFormat& format)
{
    if (target.empty() || target == kAsShot || format.GetPixelType() != kPixelTypeRGB)
        return nullptr;
    const bool sourceIsSRGB = !source || !source->IsValid();
    if (sourceIsSRGB && target == kSRGB)
        return nullptr;
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
