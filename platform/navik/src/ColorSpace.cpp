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

// lcms stamps a profile with the moment it was made. Our built-in sRGB profile
// gets one fixed date instead, so that it is the same bytes every time: equal
// pictures then save to equal files, and profiles compare equal across runs.
void stampFixedCreationDate(std::vector<unsigned char>& bytes)
{
    constexpr size_t kDateOffset = 24; // year, month, day, hour, minute, second: big-endian 16 bits each
    constexpr unsigned short kDate[6] = {2000, 1, 1, 0, 0, 0};
    if (bytes.size() < kDateOffset + sizeof kDate)
        return;
    for (size_t i = 0; i < 6; ++i) {
        bytes[kDateOffset + 2 * i] = static_cast<unsigned char>(kDate[i] >> 8);
        bytes[kDateOffset + 2 * i + 1] = static_cast<unsigned char>(kDate[i] & 0xff);
    }
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
    stampFixedCreationDate(bytes);
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
