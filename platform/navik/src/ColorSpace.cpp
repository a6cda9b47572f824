#include "Navik/ColorSpace.h"

#include <lcms2.h>

namespace Navik {

namespace {

cmsHPROFILE openProfile(const std::vector<unsigned char>& data)
{
    if (data.empty())
        return nullptr;
    return cmsOpenProfileFromMem(data.data(), static_cast<cmsUInt32Number>(data.size()));
}

} // namespace

ColorSpace::ColorSpace(const void* data, std::size_t size)
    : m_data(static_cast<const unsigned char*>(data), static_cast<const unsigned char*>(data) + (data ? size : 0))
{
}

ColorSpace* ColorSpace::CreateSRGB()
{
    cmsHPROFILE profile = cmsCreate_sRGBProfile();
    cmsUInt32Number size = 0;
    std::vector<unsigned char> bytes;
    if (profile && cmsSaveProfileToMem(profile, nullptr, &size) && size > 0) {
        bytes.resize(size);
        if (!cmsSaveProfileToMem(profile, bytes.data(), &size))
            bytes.clear();
    }
    if (profile)
        cmsCloseProfile(profile);
    return new ColorSpace(bytes.data(), bytes.size());
}

bool ColorSpace::IsValid() const
{
    cmsHPROFILE profile = openProfile(m_data);
    if (!profile)
        return false;
    cmsCloseProfile(profile);
    return true;
}

std::string ColorSpace::GetDescription() const
{
    cmsHPROFILE profile = openProfile(m_data);
    if (!profile)
        return {};
    char text[256] = {};
    cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", text, sizeof text);
    cmsCloseProfile(profile);
    return text;
}

} // namespace Navik
