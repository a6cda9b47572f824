#pragma once

// The camera facts of an image whose metadata is only XMP text: focal length,
// aperture, maker and model, focal-plane resolution and its unit, and the
// 35 mm equivalent focal length, read tag by tag from the text.

#include <Navik/Exif.h>

#include <QByteArray>
#include <QString>

// A new record with the facts the XMP carries and, when `iccProfile` is not
// empty, that profile. Malformed or missing tags are left out.
Navik::RefPtr<Navik::Exif> exifFromXmp(const QString& xmp, const QByteArray& iccProfile);
