#pragma once

// Conversions between the images of the imaging framework and those of Qt.

#include "engine/CNavikImageProxy.h"
#include "shell/PixelDataPtr.h"

#include <Navik/Exif.h>

#include <QImage>
#include <QPixmap>
#include <QString>

// A view of a rendered buffer as an RGB888 image, without copying a pixel.
// The image does not keep the buffer alive: hold `data` until the image, and
// every copy of it that has not been written to, is no longer used.
QImage pixelDataToQImage(PixelDataPtr data);

// The turn, in degrees, that sets the picture at `path` upright by its EXIF
// orientation (3, 6 and 8); 0 for every other orientation or none. Safe on
// any thread.
qreal exifRotationAngle(const QString& path);

// Turns `pixmap` upright by the EXIF orientation of the file at `path`
// (3, 6 and 8; mirrored orientations are left alone). True when it turned it.
bool rotateImageAccordingToExifData(QPixmap& pixmap, const QString& path);
// The same for an image; safe on any thread.
bool rotateImageAccordingToExifData(QImage& image, const QString& path);

// A copy of the opened image; a null image when the proxy holds none.
QImage navikImageToQtImage(NavikImagePtr image);

// An opened image made from a copy of `image`, carrying `exif` itself (not a
// copy of it). Empty for a null image or one that cannot be copied.
NavikImagePtr qtImageToNavikImage(const QImage& image, const Navik::Exif& exif, bool hostBuffer);
