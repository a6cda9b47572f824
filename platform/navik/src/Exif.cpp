#include "Metadata.h"

#include "Navik/Image.h"
#include "Navik/Logging.h"

#include <array>
#include <cmath>
#include <fstream>
#include <mutex>
#include <numeric>
#include <sstream>
#include <sys/stat.h>

namespace Navik {

const char* const Exif::kMetaDataOrientationKey = "Orientation";
const char* const Exif::kMetaDataSoftwareKey = "Software";
const char* const Exif::kMetaDataFocalLengthKey = "FocalLength";
const char* const Exif::kMetaDataApertureKey = "Aperture";
const char* const Exif::kMetaDataMakerKey = "Maker";
const char* const Exif::kMetaDataModelKey = "Model";
const char* const Exif::kMetaDataExifFocalPlaneXResolutionKey = "FocalPlaneXResolution";
const char* const Exif::kMetaDataExifFocalPlaneYResolutionKey = "FocalPlaneYResolution";
const char* const Exif::kMetaDataExifFocalPlaneResolutionUnitKey = "FocalPlaneResolutionUnit";
const char* const Exif::kMetaDataExifFocalLengthIn35mmFilmKey = "FocalLengthIn35mmFilm";

namespace {

enum class Kind
{
    String,
    Unsigned,
    Rational,
};

struct KeyInfo
{
    const char* name;
    const char* exifKey;
    const char* xmpKey; // the same fact in XMP, for files that carry it only there
    Kind kind;
};

const std::array<KeyInfo, 10> kKeys = {{
    {Exif::kMetaDataOrientationKey, "Exif.Image.Orientation", "Xmp.tiff.Orientation", Kind::Unsigned},
    {Exif::kMetaDataSoftwareKey, "Exif.Image.Software", "Xmp.xmp.CreatorTool", Kind::String},
    {Exif::kMetaDataFocalLengthKey, "Exif.Photo.FocalLength", "Xmp.exif.FocalLength", Kind::Rational},
    {Exif::kMetaDataApertureKey, "Exif.Photo.FNumber", "Xmp.exif.FNumber", Kind::Rational},
    {Exif::kMetaDataMakerKey, "Exif.Image.Make", "Xmp.tiff.Make", Kind::String},
    {Exif::kMetaDataModelKey, "Exif.Image.Model", "Xmp.tiff.Model", Kind::String},
    {Exif::kMetaDataExifFocalPlaneXResolutionKey, "Exif.Photo.FocalPlaneXResolution",
     "Xmp.exif.FocalPlaneXResolution", Kind::Rational},
    {Exif::kMetaDataExifFocalPlaneYResolutionKey, "Exif.Photo.FocalPlaneYResolution",
     "Xmp.exif.FocalPlaneYResolution", Kind::Rational},
    {Exif::kMetaDataExifFocalPlaneResolutionUnitKey, "Exif.Photo.FocalPlaneResolutionUnit",
     "Xmp.exif.FocalPlaneResolutionUnit", Kind::Unsigned},
    {Exif::kMetaDataExifFocalLengthIn35mmFilmKey, "Exif.Photo.FocalLengthIn35mmFilm",
     "Xmp.exif.FocalLengthIn35mmFilm", Kind::Unsigned},
}};

// Tags of the file's own storage; see RemoveImageStructureTags.
const std::array<const char*, 23> kStructureTags = {
    "Exif.Image.NewSubfileType", "Exif.Image.SubfileType", "Exif.Image.ImageWidth", "Exif.Image.ImageLength",
    "Exif.Image.BitsPerSample", "Exif.Image.Compression", "Exif.Image.PhotometricInterpretation",
    "Exif.Image.FillOrder", "Exif.Image.StripOffsets", "Exif.Image.SamplesPerPixel", "Exif.Image.RowsPerStrip",
    "Exif.Image.StripByteCounts", "Exif.Image.PlanarConfiguration", "Exif.Image.Predictor",
    "Exif.Image.TileWidth", "Exif.Image.TileLength", "Exif.Image.TileOffsets", "Exif.Image.TileByteCounts",
    "Exif.Image.SubIFDs", "Exif.Image.ExtraSamples", "Exif.Image.SampleFormat", "Exif.Image.InterColorProfile",
    "Exif.Image.YCbCrSubSampling"};

const KeyInfo* findKey(const std::string& name)
{
    for (const KeyInfo& info : kKeys) {
        if (name == info.name)
            return &info;
    }
    return nullptr;
}

bool option(const Dictionary& options, const char* key)
{
    return options.GetValueForKey(key).AsBool();
}

std::string trimNul(std::string text)
{
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

Value valueOf(const Exiv2::Value& value, Kind kind)
{
    if (value.count() == 0)
        return {};
    switch (kind) {
    case Kind::String:
        return Value(trimNul(value.toString()));
    case Kind::Unsigned: {
        const long number = value.toLong(0);
        return value.ok() && number >= 0 ? Value(static_cast<unsigned int>(number)) : Value();
    }
    case Kind::Rational: {
        const Exiv2::Rational rational = value.toRational(0);
        if (value.ok() && rational.second != 0)
            return Value(double(rational.first) / double(rational.second));
        const float number = value.toFloat(0);
        return value.ok() ? Value(double(number)) : Value();
    }
    }
    return {};
}

// An unsigned rational holds no negative, infinite or undefined number.
bool fitsRational(double value)
{
    return value >= 0 && value <= 4294967295.0;
}

// The simplest fraction with a power-of-ten denominator that gives `value`
// (one that fitsRational) back to within 1e-9, reduced: 2.8 becomes 14/5.
Exiv2::URational toRational(double value)
{
    std::uint64_t denominator = 1;
    while (denominator < 1000000 && std::abs(std::round(value * double(denominator)) - value * double(denominator)) > 1e-9)
        denominator *= 10;
    std::uint64_t numerator = static_cast<std::uint64_t>(std::llround(value * double(denominator)));
    while (numerator > 0xFFFFFFFFu) {
        numerator /= 10;
        denominator /= 10;
    }
    const std::uint64_t divisor = std::gcd(numerator, denominator);
    return {static_cast<std::uint32_t>(numerator / divisor), static_cast<std::uint32_t>(denominator / divisor)};
}

bool fileExists(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// "photo.xmp" beside "photo.jpg", as most editors write it, else "photo.jpg.xmp".
std::string findSidecar(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    std::vector<std::string> candidates;
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
        candidates.push_back(path.substr(0, dot) + ".xmp");
        candidates.push_back(path.substr(0, dot) + ".XMP");
    }
    candidates.push_back(path + ".xmp");
    for (const std::string& candidate : candidates) {
        if (fileExists(candidate))
            return candidate;
    }
    return {};
}

// Sidecar entries replace the embedded ones of the same key.
void mergeSidecar(const std::string& path, Exiv2::XmpData& xmp)
{
    const std::string sidecar = findSidecar(path);
    if (sidecar.empty())
        return;
    constexpr std::streamoff kMaxSidecarSize = 16 << 20;
    std::ifstream stream(sidecar, std::ios::binary | std::ios::ate);
    const std::streamoff size = stream.tellg();
    if (size < 0 || size > kMaxSidecarSize) {
        Log("Exif", kLogLevelWarning, "XMP sidecar %s is too large or unreadable and was ignored", sidecar.c_str());
        return;
    }
    std::string packet(static_cast<std::size_t>(size), '\0');
    stream.seekg(0);
    stream.read(packet.data(), size);
    packet.resize(static_cast<std::size_t>(stream.gcount()));
    Exiv2::XmpData fromSidecar;
    if (Exiv2::XmpParser::decode(fromSidecar, packet) != 0) {
        Log("Exif", kLogLevelWarning, "XMP sidecar %s could not be read", sidecar.c_str());
        return;
    }
    ReplaceEntries<Exiv2::XmpData, Exiv2::XmpKey>(xmp, fromSidecar);
}

std::mutex g_xmpToolkitMutex;

void lockXmpToolkit(void*, bool lock)
{
    if (lock)
        g_xmpToolkitMutex.lock();
    else
        g_xmpToolkitMutex.unlock();
}

void logMetadataMessage(int level, const char* message)
{
    Log("exiv2", level >= Exiv2::LogMsg::error ? kLogLevelWarning : kLogLevelDebug, "%s", message);
}

} // namespace

void InitializeMetadataLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Exiv2::XmpParser::initialize(&lockXmpToolkit, nullptr);
        Exiv2::LogMsg::setHandler(&logMetadataMessage);
    });
}

void RemoveImageStructureTags(Exiv2::ExifData& exif)
{
    for (const char* key : kStructureTags) {
        const auto datum = exif.findKey(Exiv2::ExifKey(key));
        if (datum != exif.end())
            exif.erase(datum);
    }
    Exiv2::ExifThumb(exif).erase();
}

void RemoveMakerNote(Exiv2::ExifData& exif)
{
    for (auto datum = exif.begin(); datum != exif.end();) {
        if (Exiv2::ExifTags::isMakerGroup(datum->groupName()) || datum->groupName() == "MakerNote" ||
            datum->key() == "Exif.Photo.MakerNote")
            datum = exif.erase(datum);
        else
            ++datum;
    }
}

Exif::Exif() : m_data(std::make_unique<Data>()) {}

Exif::Exif(const Exif& other) : Object(), m_data(std::make_unique<Data>(*other.m_data)) {}

Exif& Exif::operator=(const Exif& other)
{
    if (this != &other)
        *m_data = *other.m_data;
    return *this;
}

Exif::~Exif() = default;

bool Exif::Load(const std::string& path, FileFormat, const Dictionary& options, ImageStatus* status)
{
    InitializeMetadataLibrary();
    if (!fileExists(path)) {
        if (status)
            status->Set(kImageStatusFileNotFound, "The file \"" + path + "\" does not exist.");
        return false;
    }
    try {
        auto image = Exiv2::ImageFactory::open(path);
        image->readMetadata();
        Data loaded;
        if (option(options, kImageLoadOptionEXIFData)) {
            loaded.exif = image->exifData();
            loaded.xmp = image->xmpData();
            loaded.iptc = image->iptcData();
            if (!option(options, kImageLoadOptionEXIFMakerNote))
                RemoveMakerNote(loaded.exif);
        }
        if (option(options, kImageLoadOptionXMPSidecar))
            mergeSidecar(path, loaded.xmp);
        if (image->iccProfileDefined()) {
            const Exiv2::DataBuf* profile = image->iccProfile();
            loaded.iccProfile = RefPtr<ColorSpace>::Adopt(new ColorSpace(profile->pData_, std::size_t(profile->size_)));
        }
        *m_data = std::move(loaded);
        return true;
    } catch (const std::exception& error) {
        if (status)
            status->Set(kImageStatusReadError,
                        "The metadata of \"" + path + "\" could not be read: " + error.what());
        return false;
    }
}

Value Exif::GetValue(const std::string& key) const
{
    const KeyInfo* info = findKey(key);
    if (!info)
        return {};
    const auto exifDatum = m_data->exif.findKey(Exiv2::ExifKey(info->exifKey));
    if (exifDatum != m_data->exif.end()) {
        const Value value = valueOf(exifDatum->value(), info->kind);
        if (value.IsValid())
            return value;
    }
    const auto xmpDatum = m_data->xmp.findKey(Exiv2::XmpKey(info->xmpKey));
    if (xmpDatum != m_data->xmp.end())
        return valueOf(xmpDatum->value(), info->kind);
    return {};
}

bool Exif::SetValue(const std::string& key, const Value& value)
{
    const KeyInfo* info = findKey(key);
    if (!info)
        return false;
    InitializeMetadataLibrary();
    Exiv2::ExifData& exif = m_data->exif;
    const auto xmpDatum = m_data->xmp.findKey(Exiv2::XmpKey(info->xmpKey));
    const bool mirroredInXmp = xmpDatum != m_data->xmp.end();
    if (!value.IsValid()) {
        const auto datum = exif.findKey(Exiv2::ExifKey(info->exifKey));
        if (datum != exif.end())
            exif.erase(datum);
        if (mirroredInXmp)
            m_data->xmp.erase(xmpDatum);
        return true;
    }
    switch (info->kind) {
    case Kind::String:
        if (value.GetType() != Value::kTypeString)
            return false;
        exif[info->exifKey] = value.AsString();
        break;
    case Kind::Unsigned:
        if (!value.IsNumber())
            return false;
        exif[info->exifKey] = static_cast<std::uint16_t>(std::min(value.AsUnsignedInt(), 65535u));
        break;
    case Kind::Rational:
        if (!value.IsNumber() || !fitsRational(value.AsDouble()))
            return false;
        exif[info->exifKey] = toRational(value.AsDouble());
        break;
    }
    // A reader that prefers the XMP copy must not see the old value.
    if (mirroredInXmp)
        m_data->xmp[info->xmpKey] = exif[info->exifKey].toString();
    return true;
}

ColorSpace* Exif::GetICCProfile() const
{
    return m_data->iccProfile.get();
}

void Exif::SetICCProfile(ColorSpace* profile)
{
    m_data->iccProfile = RefPtr<ColorSpace>(profile);
}

} // namespace Navik
