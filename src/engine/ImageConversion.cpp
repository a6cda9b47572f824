#include "engine/ImageConversion.h"

#include "engine/NavikStrings.h"
#include "utils/Logger.h"

#include <Navik/Image.h>

#include <QTransform>

QImage pixelDataToQImage(PixelDataPtr data)
{
    if (!data)
        return {};
    // Anything else is still read as RGB888 rows; only the log tells.
    ASSERT(data->GetSampleLayout() == Navik::kSampleLayoutRGBInterleaved);
    ASSERT(data->GetSampleType() == Navik::kSampleTypeUInt8);
    return QImage(static_cast<const uchar*>(data->Buffer(0)), int(data->GetWidth()), int(data->GetHeight()),
                  qsizetype(data->GetRowBytes()), QImage::Format_RGB888);
}

// The turn, in degrees, that sets the picture at `path` upright by its EXIF
// orientation (3, 6 and 8); 0 for every other orientation or none.
qreal exifRotationAngle(const QString& path)
{
    Navik::Dictionary options;
    options.SetValueForKey(Navik::kImageLoadOptionEXIFData, Navik::Value(true));
    const auto exif = Navik::RefPtr<Navik::Exif>::Adopt(new Navik::Exif);
    Navik::ImageStatus status;
    if (!exif->Load(toNavikPath(path), Navik::kFileFormatUnknown, options, &status)) {
        LOG_MESSAGE('D', "Error executing NavikNS::Exif::Load in rotateImageAccordingToExifData: "
                             << status.GetMessage());
        return 0;
    }
    switch (exif->GetValue(Navik::Exif::kMetaDataOrientationKey).AsUnsignedInt()) {
    case 3:
        return 180;
    case 6:
        return 90;
    case 8:
        return 270;
    default:
        return 0;
    }
}

bool rotateImageAccordingToExifData(QPixmap& pixmap, const QString& path)
{
    LOG_TRACE();
    const qreal angle = exifRotationAngle(path);
    if (angle == 0)
        return false;
    pixmap = pixmap.transformed(QTransform().rotate(angle, Qt::ZAxis), Qt::FastTransformation);
    return true;
}

bool rotateImageAccordingToExifData(QImage& image, const QString& path)
{
    const qreal angle = exifRotationAngle(path);
    if (angle == 0)
        return false;
    image = image.transformed(QTransform().rotate(angle, Qt::ZAxis), Qt::FastTransformation);
    return true;
}

QImage navikImageToQtImage(NavikImagePtr image)
{
    ASSERT(image);
    if (!image)
        return {};
    try {
        return image->toQImage();
    } catch (...) {
        LOG_MESSAGE('D', "unhandled exception in navikImageToQtImage(...)");
        return {};
    }
}

NavikImagePtr qtImageToNavikImage(const QImage& image, const Navik::Exif& exif, bool hostBuffer)
{
    LOG_TRACE();
    if (image.isNull())
        return {};
    try {
        auto proxy = std::make_shared<CNavikImageProxy>(image, false, hostBuffer);
        if (!proxy->image())
            return {};
        // The image shares the caller's counted record, as the framework's
        // images do; SetExif retains it.
        proxy->image()->SetExif(const_cast<Navik::Exif*>(&exif));
        return proxy;
    } catch (const std::exception& error) {
        LOG_MESSAGE('D', "Exception in qtImageToNavikImage: " << error.what());
        return {};
    } catch (...) {
        LOG_MESSAGE('D', "Exception in qtImageToNavikImage");
        return {};
    }
}
