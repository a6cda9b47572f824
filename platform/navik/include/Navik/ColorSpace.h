#pragma once

#include "Navik/Object.h"

#include <cstddef>
#include <string>
#include <vector>

namespace Navik {

// An ICC colour profile, kept as its bytes.
class ColorSpace : public Object
{
public:
    // Copies `size` bytes of profile data.
    ColorSpace(const void* data, std::size_t size);

    // A new sRGB profile.
    static ColorSpace* CreateSRGB();

    const unsigned char* GetData() const { return m_data.data(); }
    std::size_t GetSize() const { return m_data.size(); }
    // True when the bytes form a profile that the colour engine accepts.
    bool IsValid() const;
    // The profile's description, or "" when it has none.
    std::string GetDescription() const;

    bool operator==(const ColorSpace& other) const { return m_data == other.m_data; }

private:
    std::vector<unsigned char> m_data;
};

} // namespace Navik
