#pragma once

// Conversion of rendered RGB rows from the image's colour profile to the one
// "OutputICCProfile" names, with lcms2. One transform serves every render
// thread at once.

#include "Navik/PixelFormat.h"

#include <memory>
#include <string>

namespace Navik {
class ColorSpace;
}

namespace Navik::Internal {

class ColorTransform
{
public:
    // Null when nothing is to be converted: an empty name or "AsShot", grey
    // pixels, or sRGB pixels asked for as "sRGB". `source` is the image's
    // profile, null for sRGB. A profile path that cannot be read, or a pair
    // lcms2 cannot join, gives null too and is logged.
    static std::shared_ptr<const ColorTransform> Create(const ColorSpace* source, const std::string& target,
                                                        const PixelFormat& format);
    ~ColorTransform();

    // Converts `width` pixels in place.
    void Apply(void* row, int width) const;

private:
    explicit ColorTransform(void* handle) : m_handle(handle) {}
    static std::shared_ptr<const ColorTransform> Build(const ColorSpace* source, bool sourceIsSRGB,
                                                       const std::string& target, const PixelFormat& format);
    void* m_handle; // cmsHTRANSFORM
};

} // namespace Navik::Internal
