#pragma once

// A rendered buffer as it travels from a rendering task to the views: 8-bit
// samples, three per pixel, red first, in rows of the buffer's own stride.

#include <Navik/PixelData.h>

#include <QMetaType>

#include <memory>

using PixelDataPtr = std::shared_ptr<Navik::PixelData>;

Q_DECLARE_METATYPE(PixelDataPtr)
