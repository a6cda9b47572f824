#include "engine/XmpToExif.h"

#include "engine/NavikStrings.h"

#include <Navik/ColorSpace.h>

#include <QRegularExpression>

namespace {

enum class TagKind
{
    Rational, // "numerator/denominator", in decimal digits
    Integer,
    Text,
};

struct XmpTag
{
    const char* pattern;
    TagKind kind;
    const char* exifKey;
};

// Element forms only; attributes and decimal notation are not read.
const XmpTag kTags[] = {
    {R"(<exif:FocalLength>(\d+)/(\d+)</exif:FocalLength>)", TagKind::Rational, Navik::Exif::kMetaDataFocalLengthKey},
    {R"(<exif:FNumber>(\d+)/(\d+)</exif:FNumber>)", TagKind::Rational, Navik::Exif::kMetaDataApertureKey},
    // Greedy: with two elements the capture runs to the last closing tag.
    {R"(<tiff:Make>([\S\s]+)</tiff:Make>)", TagKind::Text, Navik::Exif::kMetaDataMakerKey},
    {R"(<tiff:Model>([\S\s]+)</tiff:Model>)", TagKind::Text, Navik::Exif::kMetaDataModelKey},
    {R"(<exif:FocalPlaneXResolution>(\d+)/(\d+)</exif:FocalPlaneXResolution>)", TagKind::Rational,
     Navik::Exif::kMetaDataExifFocalPlaneXResolutionKey},
    {R"(<exif:FocalPlaneYResolution>(\d+)/(\d+)</exif:FocalPlaneYResolution>)", TagKind::Rational,
     Navik::Exif::kMetaDataExifFocalPlaneYResolutionKey},
    {R"(<exif:FocalPlaneResolutionUnit>(\d+)</exif:FocalPlaneResolutionUnit>)", TagKind::Integer,
     Navik::Exif::kMetaDataExifFocalPlaneResolutionUnitKey},
    {R"(<exif:FocalLengthIn35mmFilm>(\d+)</exif:FocalLengthIn35mmFilm>)", TagKind::Integer,
     Navik::Exif::kMetaDataExifFocalLengthIn35mmFilmKey},
};

// The tag's value, or an invalid value when the text does not hold one.
Navik::Value tagValue(const XmpTag& tag, const QRegularExpressionMatch& match)
{
    bool numeratorOk = false;
    bool denominatorOk = false;
    switch (tag.kind) {
    case TagKind::Text:
        return Navik::Value(toNavikString(match.captured(1)));
    case TagKind::Integer: {
        const int number = match.captured(1).toInt(&numeratorOk, 10);
        return numeratorOk ? Navik::Value(number) : Navik::Value();
    }
    case TagKind::Rational: {
        const int numerator = match.captured(1).toInt(&numeratorOk, 10);
        const int denominator = match.captured(2).toInt(&denominatorOk, 10);
        // A zero denominator would give an infinite or undefined focal length.
        if (!numeratorOk || !denominatorOk || denominator == 0)
            return {};
        return Navik::Value(double(numerator) / double(denominator));
    }
    }
    return {};
}

} // namespace

Navik::RefPtr<Navik::Exif> exifFromXmp(const QString& xmp, const QByteArray& iccProfile)
{
    auto exif = Navik::RefPtr<Navik::Exif>::Adopt(new Navik::Exif);
    for (const XmpTag& tag : kTags) {
        const QRegularExpressionMatch match = QRegularExpression(QLatin1String(tag.pattern)).match(xmp);
        if (!match.hasMatch())
            continue;
        const Navik::Value value = tagValue(tag, match);
        if (value.IsValid())
            exif->SetValue(tag.exifKey, value);
    }
    if (!iccProfile.isEmpty()) {
        const auto profile =
            Navik::RefPtr<Navik::ColorSpace>::Adopt(new Navik::ColorSpace(iccProfile.constData(), std::size_t(iccProfile.size())));
        exif->SetICCProfile(profile.get());
    }
    return exif;
}
