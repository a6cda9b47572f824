#pragma once

// Photographs made for the engine's tests: a colour pattern whose pixels are
// easy to check after a render, saved as JPEG or TIFF with chosen metadata.

#include <Navik/ColorSpace.h>
#include <Navik/Exif.h>
#include <Navik/Image.h>

#include <QColor>
#include <QFile>
#include <QImage>
#include <QString>

#include <vector>

// Red grows to the right, green downwards; blue marks the left half.
inline QColor patternColor(int x, int y, int width, int height)
{
    return QColor(x * 255 / qMax(1, width - 1), y * 255 / qMax(1, height - 1), x < width / 2 ? 200 : 40);
}

inline QImage patternImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y, patternColor(x, y, width, height));
    return image;
}

// How writePatternFile writes the pattern.
struct SPatternFile
{
    Navik::FileFormat format = Navik::kFileFormatJPEG;
    unsigned int orientation = 0; // 0: no tag
    bool withProfile = false;     // embed the sRGB profile
    bool sixteenBits = false;     // 16-bit samples (TIFF only)
    unsigned int focalLength35mm = 0; // 0: no focal data
};

// Writes an RGB888 picture through the imaging framework, with the metadata
// asked for.
inline bool writeImageFile(const QString& path, const QImage& picture, const SPatternFile& options)
{
    const int width = picture.width();
    const int height = picture.height();
    std::vector<quint16> wide;
    void* samples = const_cast<uchar*>(picture.constBits());
    unsigned int rowBytes = unsigned(picture.bytesPerLine());
    if (options.sixteenBits) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width * 3; ++x)
                wide.push_back(quint16(picture.constScanLine(y)[x] * 257));
        samples = wide.data();
        rowBytes = unsigned(width * 3 * 2);
    }
    const auto image = Navik::RefPtr<Navik::TileImage>::Adopt(new Navik::TileImage(
        unsigned(width), unsigned(height), rowBytes,
        Navik::PixelFormat(Navik::kPixelTypeRGB, options.sixteenBits ? Navik::kPixelSize16 : Navik::kPixelSize8, true),
        {samples}));
    Navik::Exif* exif = image->GetExif();
    if (options.orientation != 0)
        exif->SetValue(Navik::Exif::kMetaDataOrientationKey, Navik::Value(options.orientation));
    if (options.focalLength35mm != 0)
        exif->SetValue(Navik::Exif::kMetaDataExifFocalLengthIn35mmFilmKey, Navik::Value(options.focalLength35mm));
    if (options.withProfile)
        image->SetICCProfile(Navik::RefPtr<Navik::ColorSpace>::Adopt(Navik::ColorSpace::CreateSRGB()).get());
    Navik::ImageStatus status;
    Navik::Dictionary saveOptions;
    saveOptions.SetValueForKey(Navik::kImageSaveOptionJPEGQuality, 95);
    return image->Save(QFile::encodeName(path).toStdString(), options.format, saveOptions, &status);
}

inline bool writePatternFile(const QString& path, int width, int height, const SPatternFile& options)
{
    return writeImageFile(path, patternImage(width, height), options);
}

// Writes the pattern as a JPEG; orientation 0 writes a file without EXIF.
inline bool writePatternJpeg(const QString& path, int width, int height, unsigned int orientation = 0)
{
    if (orientation == 0)
        return patternImage(width, height).save(path, "JPEG", 95);
    SPatternFile options;
    options.orientation = orientation;
    return writePatternFile(path, width, height, options);
}

// Four quadrants of four colours: no turn or mirror of it looks the same.
inline const QColor kQuadrantColors[4] = {QColor(220, 30, 30), QColor(30, 200, 30), QColor(30, 30, 220),
                                          QColor(230, 220, 40)};

// The picture as a viewer shows it: red top left, green top right, blue
// bottom left, yellow bottom right.
inline QImage quadrantPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixelColor(x, y, kQuadrantColors[(y < height / 2 ? 0 : 2) + (x < width / 2 ? 0 : 1)]);
    return picture;
}

// The pixels a file with EXIF orientation `orientation` stores so that a
// viewer that applies the orientation shows `shown`.
inline QImage storedForOrientation(const QImage& shown, unsigned int orientation)
{
    const bool transposed = orientation >= 5;
    const int storedWidth = transposed ? shown.height() : shown.width();
    const int storedHeight = transposed ? shown.width() : shown.height();
    QImage stored(storedWidth, storedHeight, QImage::Format_RGB888);
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x) {
            // Where the shown pixel (x, y) lies in the stored pixels.
            QPoint at(x, y);
            switch (orientation) {
            case 2: at = QPoint(storedWidth - 1 - x, y); break;
            case 3: at = QPoint(storedWidth - 1 - x, storedHeight - 1 - y); break;
            case 4: at = QPoint(x, storedHeight - 1 - y); break;
            case 5: at = QPoint(y, x); break;
            case 6: at = QPoint(y, storedHeight - 1 - x); break;
            case 7: at = QPoint(storedWidth - 1 - y, storedHeight - 1 - x); break;
            case 8: at = QPoint(storedWidth - 1 - y, x); break;
            default: break;
            }
            stored.setPixelColor(at, shown.pixelColor(x, y));
        }
    return stored;
}
