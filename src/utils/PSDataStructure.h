#pragma once

// The host's end of the Photoshop exchange record: writes the request with the
// host's pixels and reads the editor's answer back. The host plug-in and the
// host simulator use it; the editor itself never does.

#include "utils/PhotoshopDataStructure.h"

namespace NAVIK_tarl1 {

class NAVIK_UTILS_EXPORT PSDataStructure : public PhotoshopDataStructure
{
public:
    PSDataStructure();
    explicit PSDataStructure(const QString& path);
    // Removes the exchange files, as clear() does.
    ~PSDataStructure() override;

    // Writes the parameter file, then the host's pixels in one write.
    bool serializeMap() override;
    // Reads the answer. With exit code 0 the result pixels are mapped and
    // inputPicture() gives them; with another exit code nothing is mapped.
    // A result that cannot be mapped, or an answer that never came, fails
    // with exit code -1.
    bool deserializeMap() override;

    // Removes P and the pixel file and empties the map.
    void clear();

private:
    bool mapResultPicture();
};

} // namespace NAVIK_tarl1
