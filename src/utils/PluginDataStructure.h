#pragma once

// The editor's end of the Photoshop exchange record: reads the host's request,
// maps its pixels, writes the answer, and on destruction tells the host that
// the answer is there.

#include "utils/PhotoshopDataStructure.h"

namespace NAVIK_tarl1 {

class NAVIK_UTILS_EXPORT PluginDataStructure : public PhotoshopDataStructure
{
public:
    PluginDataStructure();
    explicit PluginDataStructure(const QString& path);
    // With a base path: connects to the host's server and lets go at once. A
    // host that is gone leaves nothing behind: P and the pixel files are
    // removed; one that is present keeps the parameter file, and the result
    // only when the exit code is 0. Without a path there is no host to tell.
    ~PluginDataStructure() override;

    // Reads the request and maps its input pixels, moved to P + "-image-tmp".
    // Nothing on disk changes unless the map and the pixel file agree.
    bool deserializeMap() override;
    // Writes the answer and drops the input pixels; without a result picture
    // the exit code becomes 3.
    bool serializeMap() override;

    // Removes the input and result pixel files; the map and P stay.
    void clear();

private:
    // Moves the input pixels aside so that the result can take their name.
    bool moveInputPictureAside();
    // Connects to the host's server and disconnects; false when nobody listens.
    bool signalHost();
};

} // namespace NAVIK_tarl1
