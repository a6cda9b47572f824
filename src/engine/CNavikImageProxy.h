#pragma once

// The opened photograph: a framework image, whether we release it, and the
// bookkeeping for replacing its EXIF by that of another file.
//
// An image made here over copied samples owns those samples through the
// memory block it lies on, so whoever retains the framework image (the
// process engine, an agent) may keep it after the proxy is gone.

#include "shell/NavikImagePtr.h"

#include <Navik/Exif.h>
#include <Navik/Image.h>

#include <QImage>
#include <QMetaType>
#include <QString>

#include <memory>

// The load options that bring a file's EXIF, maker note and XMP sidecar
// along with it.
Navik::Dictionary metadataLoadOptions();

class CNavikImageProxy
{
public:
    // Copies `height` rows of three samples per pixel (8 or 16 bits each), row
    // r starting at data + r * bytesPerLine. Interleaved keeps the rows as
    // they are; otherwise the samples are split into three planes. Bad input
    // (no data, another sample size, an empty size, rows shorter than their
    // pixels) leaves the proxy without an image.
    CNavikImageProxy(int width, int height, int bytesPerLine, int bitsPerSample, const unsigned char* data,
                     bool interleaved, bool hostBuffer);
    // Copies any non-null image, as 8-bit RGB or, for images of more than 8
    // bits per channel, 16-bit RGB. A null image leaves the proxy without one.
    CNavikImageProxy(const QImage& image, bool interleaved, bool hostBuffer);
    // Adopts the caller's reference to `image`. A non-empty exifPath replaces
    // the image's EXIF by that file's.
    CNavikImageProxy(Navik::Image* image, bool ownsImage, bool hostBuffer, const QString& exifPath);
    ~CNavikImageProxy();

    CNavikImageProxy(const CNavikImageProxy&) = delete;
    CNavikImageProxy& operator=(const CNavikImageProxy&) = delete;

    // The framework image, or null when construction failed.
    Navik::Image* image() const { return m_image; }
    // 0 without an image.
    unsigned int width() const;
    unsigned int height() const;
    // The file whose EXIF replaced the image's own; empty otherwise.
    const QString& filePath() const { return m_exifFilePath; }
    // Whether the image lies over the host application's exchange buffer.
    bool isHostBuffer() const { return m_hostBuffer; }

    // Puts the EXIF, maker note and XMP sidecar of the file at `path` on the
    // image. On failure nothing changes.
    bool loadExif(const QString& path);
    // Goes back to the EXIF the image had before the first loadExif.
    bool restoreSavedExif();
    // A new RGB32 copy of the image; a null image when there is none.
    QImage toQImage() const;

private:
    void initializeFromPlaneData(int width, int height, int bytesPerLine, int bitsPerSample,
                                 const unsigned char* data, bool interleaved);

    bool m_hostBuffer = false;
    bool m_ownsImage = true;
    Navik::Image* m_image = nullptr;
    Navik::RefPtr<Navik::Exif> m_savedExif;
    QString m_exifFilePath;
};
