#pragma once

// What an Exif record holds, for the codecs that read and write it.

#include "Navik/ColorSpace.h"
#include "Navik/Exif.h"

#include <exiv2/exiv2.hpp>

namespace Navik {

struct Exif::Data
{
    Exiv2::ExifData exif;
    Exiv2::XmpData xmp;
    Exiv2::IptcData iptc;
    RefPtr<ColorSpace> iccProfile;
};

// Sets up the metadata library once per process (thread-safe XMP toolkit,
// its messages routed to our log). Every use of exiv2 calls this first.
void InitializeMetadataLibrary();

// Removes the tags that describe an image's storage (size, strips, tiles,
// compression, thumbnail), which belong to the file being written and not
// to the picture.
void RemoveImageStructureTags(Exiv2::ExifData& exif);

// Adds every entry of `from` to `into`, in place of any entry of the same key.
template <typename Data, typename Key>
void ReplaceEntries(Data& into, const Data& from)
{
    for (const auto& datum : from) {
        const auto existing = into.findKey(Key(datum.key()));
        if (existing != into.end())
            into.erase(existing);
        into.add(datum);
    }
}

// Removes the maker note: the MakerNote tag and the camera-specific tags
// decoded from it.
void RemoveMakerNote(Exiv2::ExifData& exif);

} // namespace Navik
