#pragma once

// The metadata of an image: EXIF, XMP and IPTC as the file carries them, and
// its ICC profile. A few camera and file facts are read and written by name
// through GetValue and SetValue; everything else travels unchanged from the
// loaded file to the saved one.

#include "Navik/FileFormat.h"
#include "Navik/Object.h"
#include "Navik/Status.h"
#include "Navik/Value.h"

#include <memory>
#include <string>

namespace Navik {

class ColorSpace;

class Exif : public Object
{
public:
    // Keys of GetValue and SetValue, with the type GetValue gives:
    static const char* const kMetaDataOrientationKey;                  // unsigned, 1..8
    static const char* const kMetaDataSoftwareKey;                     // string
    static const char* const kMetaDataFocalLengthKey;                  // double, mm
    static const char* const kMetaDataApertureKey;                     // double, f-number
    static const char* const kMetaDataMakerKey;                        // string
    static const char* const kMetaDataModelKey;                        // string
    static const char* const kMetaDataExifFocalPlaneXResolutionKey;    // double, pixels per unit
    static const char* const kMetaDataExifFocalPlaneYResolutionKey;    // double, pixels per unit
    static const char* const kMetaDataExifFocalPlaneResolutionUnitKey; // unsigned: 2 inch, 3 cm, 4 mm, 5 um
    static const char* const kMetaDataExifFocalLengthIn35mmFilmKey;    // unsigned, mm

    Exif();
    Exif(const Exif& other);
    Exif& operator=(const Exif& other);

    // Reads the metadata of the file at `path` (kFileFormatUnknown: detected
    // from the content) with the image load options (see Image.h). On failure
    // returns false, sets the status and leaves this record unchanged.
    bool Load(const std::string& path, FileFormat format, const Dictionary& options, ImageStatus* status);

    // The value under one of the keys above; invalid when absent. Camera facts
    // that only the XMP carries are read from there.
    Value GetValue(const std::string& key) const;
    // False, changing nothing, for an unknown key, a value of the wrong kind
    // or a number the tag cannot hold (a negative, infinite or NaN rational).
    // An invalid value removes the entry.
    bool SetValue(const std::string& key, const Value& value);

    // The ICC profile, or null. SetICCProfile retains the new one.
    ColorSpace* GetICCProfile() const;
    void SetICCProfile(ColorSpace* profile);

    // The metadata itself, for the codecs.
    struct Data;
    Data& GetData() { return *m_data; }
    const Data& GetData() const { return *m_data; }

private:
    ~Exif() override;

    std::unique_ptr<Data> m_data;
};

} // namespace Navik
