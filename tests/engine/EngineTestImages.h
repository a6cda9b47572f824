#pragma once

// Photographs made for the engine's tests: a colour pattern whose pixels are
// easy to check after a render, saved as JPEG with a chosen orientation tag.

#include <Navik/Exif.h>
#include <Navik/Image.h>

#include <QColor>
#include <QFile>
#include <QImage>
#include <QString>

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

// Writes the pattern as a JPEG; orientation 0 writes a file without EXIF.
inline bool writePatternJpeg(const QString& path, int width, int height, unsigned int orientation = 0)
{
    QImage pattern = patternImage(width, height);
    if (orientation == 0)
        return pattern.save(path, "JPEG", 95);
    const auto image = Navik::RefPtr<Navik::TileImage>::Adopt(new Navik::TileImage(
        unsigned(width), unsigned(height), unsigned(pattern.bytesPerLine()),
        Navik::PixelFormat(Navik::kPixelTypeRGB, Navik::kPixelSize8, true), {pattern.bits()}));
    if (orientation != 0)
        image->GetExif()->SetValue(Navik::Exif::kMetaDataOrientationKey, Navik::Value(orientation));
    Navik::ImageStatus status;
    return image->Save(QFile::encodeName(path).toStdString(), Navik::kFileFormatJPEG, {}, &status);
}
