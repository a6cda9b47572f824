// The opened image: copies of raw pixel rows and of Qt images, ownership of
// the copied samples, EXIF replacement, and the conversions between the
// framework's images and Qt's.

#include "engine/CNavikImageProxy.h"
#include "engine/ImageConversion.h"

#include "RecordingLogger.h"

#include <Navik/Exif.h>
#include <Navik/Image.h>
#include <Navik/PixelData.h>

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <vector>

namespace {

// A sample value that differs between neighbours, channels and rows, and
// uses the high byte of 16-bit samples.
unsigned int patternSample(int x, int y, int channel, int bitsPerSample)
{
    const unsigned int value = unsigned(x) * 9973u + unsigned(y) * 30011u + unsigned(channel) * 12345u + 7u;
    return bitsPerSample == 8 ? value % 251u : value % 65521u;
}

// Rows of three-sample pixels followed by `padding` bytes that hold a marker;
// exactly bytesPerLine * height bytes, so reading past them is caught.
struct RawPixels
{
    int width;
    int height;
    int bitsPerSample;
    int bytesPerLine;
    std::vector<unsigned char> bytes;

    RawPixels(int width, int height, int bitsPerSample, int padding)
        : width(width)
        , height(height)
        , bitsPerSample(bitsPerSample)
        , bytesPerLine(width * 3 * bitsPerSample / 8 + padding)
        , bytes(std::size_t(bytesPerLine) * std::size_t(height), 0xEE)
    {
        const int bytesPerSample = bitsPerSample / 8;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                for (int c = 0; c < 3; ++c) {
                    const auto value = std::uint16_t(patternSample(x, y, c, bitsPerSample));
                    unsigned char* at = bytes.data() + y * bytesPerLine + (x * 3 + c) * bytesPerSample;
                    if (bytesPerSample == 1)
                        *at = std::uint8_t(value);
                    else
                        std::memcpy(at, &value, sizeof(value));
                }
            }
        }
    }
};

// Sample (x, y, channel) of an RGB framework image, interleaved or planar.
unsigned int sampleOf(const Navik::Image& image, int x, int y, int channel)
{
    const Navik::PixelFormat format = image.GetPixelFormat();
    const bool interleaved = format.IsInterleaved();
    const auto* row = static_cast<const unsigned char*>(image.GetBuffer(interleaved ? 0 : unsigned(channel))) +
                      std::size_t(y) * image.GetRowBytes();
    const std::size_t index = interleaved ? std::size_t(x) * 3 + std::size_t(channel) : std::size_t(x);
    if (format.GetSampleSize() == 8)
        return row[index];
    std::uint16_t value;
    std::memcpy(&value, row + index * 2, sizeof(value));
    return value;
}

// The first (x, y, channel) at which the image differs from the pattern, or "".
QString patternMismatch(const Navik::Image& image, int bitsPerSample)
{
    for (int y = 0; y < int(image.GetHeight()); ++y)
        for (int x = 0; x < int(image.GetWidth()); ++x)
            for (int c = 0; c < 3; ++c)
                if (sampleOf(image, x, y, c) != patternSample(x, y, c, bitsPerSample))
                    return QStringLiteral("(%1, %2, %3)").arg(x).arg(y).arg(c);
    return {};
}

// The pattern as a 16-bit Qt image, from which the other formats are made.
QImage patternImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGBA64);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixelColor(x, y,
                                QColor::fromRgba64(quint16(patternSample(x, y, 0, 16)), quint16(patternSample(x, y, 1, 16)),
                                                   quint16(patternSample(x, y, 2, 16))));
    return image;
}

// A small JPEG whose EXIF names the camera model and the orientation.
bool writeJpeg(const QString& path, const char* model, unsigned int orientation)
{
    unsigned char pixels[8 * 8 * 3] = {};
    const auto image = Navik::RefPtr<Navik::TileImage>::Adopt(new Navik::TileImage(
        8, 8, 8 * 3, Navik::PixelFormat(Navik::kPixelTypeRGB, Navik::kPixelSize8, true), {pixels}));
    image->GetExif()->SetValue(Navik::Exif::kMetaDataModelKey, Navik::Value(model));
    image->GetExif()->SetValue(Navik::Exif::kMetaDataOrientationKey, Navik::Value(orientation));
    Navik::ImageStatus status;
    return image->Save(QFile::encodeName(path).toStdString(), Navik::kFileFormatJPEG, {}, &status);
}

std::string modelOf(const Navik::Image& image)
{
    return image.GetExif()->GetValue(Navik::Exif::kMetaDataModelKey).AsString();
}

// An image of its own with the model "Own", as a decoder would hand it over.
Navik::Image* newImageWithOwnExif()
{
    static unsigned char pixels[2 * 2 * 3] = {};
    auto* image = new Navik::TileImage(2, 2, 2 * 3, Navik::PixelFormat(Navik::kPixelTypeRGB, Navik::kPixelSize8, true),
                                       {pixels});
    image->GetExif()->SetValue(Navik::Exif::kMetaDataModelKey, Navik::Value("Own"));
    return image;
}

} // namespace

class TestNavikImageProxy : public QObject
{
    Q_OBJECT

private:
    RecordingLogger& m_logger = RecordingLogger::install();
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(writeJpeg(path("a.jpg"), "A", 1));
        // A name outside ASCII must reach the file.
        QVERIFY(writeJpeg(path(QStringLiteral("Ünïcødé b.jpg")), "B", 1));
        QFile text(path("not-an-image.jpg"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not an image");
    }

    void init() { m_logger.lines.clear(); }

    void rawRowsAreCopied_data()
    {
        QTest::addColumn<int>("bitsPerSample");
        QTest::addColumn<bool>("interleaved");
        QTest::addColumn<int>("padding");

        QTest::newRow("8-bit planar") << 8 << false << 0;
        QTest::newRow("8-bit planar, padded rows") << 8 << false << 5;
        QTest::newRow("16-bit planar") << 16 << false << 0;
        QTest::newRow("16-bit planar, odd padding") << 16 << false << 3;
        QTest::newRow("8-bit interleaved, padded rows") << 8 << true << 5;
        QTest::newRow("16-bit interleaved") << 16 << true << 0;
    }

    void rawRowsAreCopied()
    {
        QFETCH(int, bitsPerSample);
        QFETCH(bool, interleaved);
        QFETCH(int, padding);
        RawPixels raw(5, 3, bitsPerSample, padding);
        CNavikImageProxy proxy(raw.width, raw.height, raw.bytesPerLine, bitsPerSample, raw.bytes.data(), interleaved,
                               false);
        QVERIFY(proxy.image());
        const Navik::Image& image = *proxy.image();
        QVERIFY(image.GetPixelFormat() ==
                Navik::PixelFormat(Navik::kPixelTypeRGB, bitsPerSample == 8 ? Navik::kPixelSize8 : Navik::kPixelSize16,
                                   interleaved));
        QCOMPARE(proxy.width(), 5u);
        QCOMPARE(proxy.height(), 3u);
        // Planes are unpadded; interleaved rows keep the caller's stride.
        QCOMPARE(image.GetRowBytes(), std::size_t(interleaved ? raw.bytesPerLine : 5 * bitsPerSample / 8));

        std::fill(raw.bytes.begin(), raw.bytes.end(), 0); // the image holds a copy
        QCOMPARE(patternMismatch(image, bitsPerSample), QString());
    }

    void badRawDataLeavesNoImage_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("bytesPerLine");
        QTest::addColumn<int>("bitsPerSample");
        QTest::addColumn<bool>("withData");
        QTest::addColumn<QString>("logged");

        const QString assertion = QStringLiteral("E ASSERT in ");
        QTest::newRow("no data") << 3 << 2 << 9 << 8 << false
                                 << "D pData is NULL in CNavikImageProxy::initializeFromPlaneData";
        QTest::newRow("12-bit samples") << 3 << 2 << 18 << 12 << true << assertion;
        QTest::newRow("8-bit stride short of a row") << 3 << 2 << 8 << 8 << true << assertion;
        QTest::newRow("16-bit stride short of a row") << 3 << 2 << 17 << 16 << true << assertion;
        QTest::newRow("no width") << 0 << 2 << 9 << 8 << true << assertion;
        QTest::newRow("negative height") << 3 << -1 << 9 << 8 << true << assertion;
    }

    void badRawDataLeavesNoImage()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, bytesPerLine);
        QFETCH(int, bitsPerSample);
        QFETCH(bool, withData);
        QFETCH(QString, logged);
        // Exactly the bytes the arguments claim, so a read past them is caught.
        std::vector<unsigned char> data(std::size_t(std::max(1, bytesPerLine * height)), 1);
        for (const bool interleaved : {false, true}) {
            m_logger.lines.clear();
            CNavikImageProxy proxy(width, height, bytesPerLine, bitsPerSample, withData ? data.data() : nullptr,
                                   interleaved, false);
            QVERIFY(!proxy.image());
            QCOMPARE(proxy.width(), 0u);
            QVERIFY(proxy.toQImage().isNull());
            QCOMPARE(m_logger.lines.size(), 1);
            QVERIFY2(m_logger.lines.first().startsWith(logged), qPrintable(m_logger.lines.first()));
        }
    }

    void qtImagesOfEveryKindAreCopied_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<int>("bitsPerSample");

        const QImage pattern = patternImage(7, 3);
        QTest::newRow("RGB888, padded rows") << pattern.convertToFormat(QImage::Format_RGB888) << 8;
        QTest::newRow("ARGB32") << pattern.convertToFormat(QImage::Format_ARGB32) << 8;
        QTest::newRow("Grayscale8") << pattern.convertToFormat(QImage::Format_Grayscale8) << 8;
        QTest::newRow("Indexed8") << pattern.convertToFormat(QImage::Format_Indexed8) << 8;
        QTest::newRow("RGBA64") << pattern << 16;
        QTest::newRow("Grayscale16") << pattern.convertToFormat(QImage::Format_Grayscale16) << 16;
        QTest::newRow("RGB30") << pattern.convertToFormat(QImage::Format_RGB30) << 16;
    }

    void qtImagesOfEveryKindAreCopied()
    {
        QFETCH(QImage, image);
        QFETCH(int, bitsPerSample);
        for (const bool interleaved : {false, true}) {
            CNavikImageProxy proxy(image, interleaved, false);
            QVERIFY(proxy.image());
            QCOMPARE(int(proxy.image()->GetPixelFormat().GetSampleSize()), bitsPerSample);
            QCOMPARE(proxy.image()->GetPixelFormat().IsInterleaved(), interleaved);
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor colour = image.pixelColor(x, y);
                    const QRgba64 wide = colour.rgba64();
                    const unsigned int expected[] = {
                        bitsPerSample == 8 ? unsigned(colour.red()) : wide.red(),
                        bitsPerSample == 8 ? unsigned(colour.green()) : wide.green(),
                        bitsPerSample == 8 ? unsigned(colour.blue()) : wide.blue()};
                    for (int c = 0; c < 3; ++c)
                        QCOMPARE(sampleOf(*proxy.image(), x, y, c), expected[c]);
                }
            }
        }
    }

    void nullQtImageLeavesNoImage()
    {
        CNavikImageProxy proxy(QImage(), false, false);
        QVERIFY(!proxy.image());
        const auto exif = Navik::RefPtr<Navik::Exif>::Adopt(new Navik::Exif);
        QVERIFY(!qtImageToNavikImage(QImage(), *exif, false));
    }

    // The engine's agent retains the image; the copied samples must live as
    // long as it does, not as long as the proxy.
    void copiedSamplesOutliveTheProxy()
    {
        RawPixels raw(5, 3, 16, 2);
        Navik::Image* image = nullptr;
        for (const bool interleaved : {false, true}) {
            {
                CNavikImageProxy proxy(raw.width, raw.height, raw.bytesPerLine, 16, raw.bytes.data(), interleaved,
                                       false);
                image = proxy.image();
                QVERIFY(image);
                image->Retain();
            }
            QCOMPARE(image->GetRetainCount(), 1);
            QCOMPARE(patternMismatch(*image, 16), QString());
            image->Release();
        }
    }

    void onlyAnOwnedImageIsReleased_data()
    {
        QTest::addColumn<bool>("ownsImage");
        QTest::addColumn<int>("referencesLeft");

        QTest::newRow("owned") << true << 1;
        QTest::newRow("not owned") << false << 2;
    }

    void onlyAnOwnedImageIsReleased()
    {
        QFETCH(bool, ownsImage);
        QFETCH(int, referencesLeft);
        Navik::Image* image = newImageWithOwnExif();
        image->Retain();
        { CNavikImageProxy proxy(image, ownsImage, false, QString()); }
        QCOMPARE(image->GetRetainCount(), referencesLeft);
        for (int i = 0; i < referencesLeft; ++i)
            image->Release();
    }

    void exifOfOtherFilesReplacesAndRestores()
    {
        CNavikImageProxy proxy(newImageWithOwnExif(), true, false, QString());
        Navik::Image& image = *proxy.image();
        QVERIFY(proxy.filePath().isEmpty());
        QVERIFY(!proxy.restoreSavedExif());
        QVERIFY(!proxy.loadExif(QString()));

        QVERIFY(proxy.loadExif(path("a.jpg")));
        QCOMPARE(modelOf(image), "A");
        QCOMPARE(proxy.filePath(), path("a.jpg"));

        // A failed load changes nothing.
        const Navik::Exif* before = image.GetExif();
        for (const QString& name : {QStringLiteral("missing.jpg"), QStringLiteral("not-an-image.jpg")}) {
            QVERIFY(!proxy.loadExif(path(name)));
            QCOMPARE(image.GetExif(), before);
            QCOMPARE(proxy.filePath(), path("a.jpg"));
        }

        const QString unicodePath = path(QStringLiteral("Ünïcødé b.jpg"));
        QVERIFY(proxy.loadExif(unicodePath));
        QCOMPARE(modelOf(image), "B");
        QCOMPARE(proxy.filePath(), unicodePath);

        // Back past both replacements, once.
        QVERIFY(proxy.restoreSavedExif());
        QCOMPARE(modelOf(image), "Own");
        QVERIFY(proxy.filePath().isEmpty());
        QVERIFY(!proxy.restoreSavedExif());
    }

    void constructorTakesTheExifOfTheGivenFile()
    {
        CNavikImageProxy proxy(newImageWithOwnExif(), true, true, path("a.jpg"));
        Navik::Image& image = *proxy.image();
        QVERIFY(proxy.isHostBuffer());
        QCOMPARE(modelOf(image), "A");
        QVERIFY(proxy.filePath().isEmpty());

        // The saved EXIF is the loaded file's, not the image's own.
        image.GetExif()->SetValue(Navik::Exif::kMetaDataModelKey, Navik::Value("Changed"));
        QVERIFY(proxy.restoreSavedExif());
        QCOMPARE(modelOf(image), "A");
    }

    void rotationFollowsTheExifOrientation_data()
    {
        QTest::addColumn<unsigned int>("orientation");
        QTest::addColumn<bool>("rotated");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("marker");

        const QSize landscape(300, 200);
        const QSize portrait(200, 300);
        QTest::newRow("1") << 1u << false << landscape << QPoint(5, 5);
        QTest::newRow("2 (mirrored)") << 2u << false << landscape << QPoint(5, 5);
        QTest::newRow("3") << 3u << true << landscape << QPoint(294, 194);
        QTest::newRow("4 (mirrored)") << 4u << false << landscape << QPoint(5, 5);
        QTest::newRow("5 (mirrored)") << 5u << false << landscape << QPoint(5, 5);
        QTest::newRow("6") << 6u << true << portrait << QPoint(194, 5);
        QTest::newRow("7 (mirrored)") << 7u << false << landscape << QPoint(5, 5);
        QTest::newRow("8") << 8u << true << portrait << QPoint(5, 294);
    }

    void rotationFollowsTheExifOrientation()
    {
        QFETCH(unsigned int, orientation);
        QFETCH(bool, rotated);
        QFETCH(QSize, size);
        QFETCH(QPoint, marker);
        const QString file = path(QStringLiteral("orientation-%1.jpg").arg(orientation));
        QVERIFY(writeJpeg(file, "A", orientation));

        // A red marker in the top left corner shows where the corner went.
        QPixmap pixmap(300, 200);
        pixmap.fill(Qt::black);
        QPainter(&pixmap).fillRect(0, 0, 12, 12, Qt::red);
        QCOMPARE(rotateImageAccordingToExifData(pixmap, file), rotated);
        QCOMPARE(pixmap.size(), size);
        QCOMPARE(pixmap.toImage().pixelColor(marker), QColor(Qt::red));
    }

    void unreadableExifLeavesThePixmap()
    {
        for (const QString& name : {QStringLiteral("missing.jpg"), QStringLiteral("not-an-image.jpg")}) {
            m_logger.lines.clear();
            QPixmap pixmap(30, 20);
            pixmap.fill(Qt::blue);
            const qint64 before = pixmap.cacheKey();
            QVERIFY(!rotateImageAccordingToExifData(pixmap, path(name)));
            QCOMPARE(pixmap.cacheKey(), before);
            QCOMPARE(m_logger.linesAt('D').size(), 1);
            QVERIFY(m_logger.linesAt('D').first().startsWith(
                "Error executing NavikNS::Exif::Load in rotateImageAccordingToExifData: "));
        }
    }

    void renderedBufferIsViewedWithoutCopy()
    {
        // 4 x 2 pixels in rows of 16 bytes; pixel (2, 1) is (10, 20, 30).
        std::vector<unsigned char> rows(16 * 2, 0);
        rows[16 + 6] = 10;
        rows[16 + 7] = 20;
        rows[16 + 8] = 30;
        void* planes[] = {rows.data()};
        const PixelDataPtr data(Navik::PixelData::CreateNoOwnership(planes, 1, Navik::kSampleTypeUInt8,
                                                                    Navik::kSampleLayoutRGBInterleaved, 4, 2, 16));
        const QImage image = pixelDataToQImage(data);
        QCOMPARE(image.size(), QSize(4, 2));
        QCOMPARE(image.bytesPerLine(), 16);
        QCOMPARE(image.format(), QImage::Format_RGB888);
        QCOMPARE(static_cast<const void*>(image.constBits()), static_cast<const void*>(rows.data()));
        QCOMPARE(image.pixel(2, 1), qRgb(10, 20, 30));
        QVERIFY(m_logger.lines.isEmpty());
    }

    void otherBufferLayoutsAreStillViewed()
    {
        const PixelDataPtr data(
            Navik::PixelData::Create(Navik::kSampleTypeUInt8, Navik::kSampleLayoutRGBPlanar, 4, 2));
        QCOMPARE(data->GetStatus(), std::uint8_t(Navik::PixelData::kStatusOK));
        const QImage image = pixelDataToQImage(data);
        QCOMPARE(image.format(), QImage::Format_RGB888);
        QCOMPARE(static_cast<const void*>(image.constBits()), data->Buffer(0));
        QCOMPARE(m_logger.linesAt('E').size(), 1);

        QVERIFY(pixelDataToQImage(PixelDataPtr()).isNull());
    }

    void qtImageBecomesAnOpenedImageWithTheCallersExif()
    {
        const QImage source = patternImage(7, 3).convertToFormat(QImage::Format_RGB888);
        const auto exif = Navik::RefPtr<Navik::Exif>::Adopt(new Navik::Exif);
        const NavikImagePtr image = qtImageToNavikImage(source, *exif, true);
        QVERIFY(image);
        QVERIFY(image->isHostBuffer());
        QVERIFY(!image->image()->GetPixelFormat().IsInterleaved());
        // Shared, not copied.
        QCOMPARE(image->image()->GetExif(), exif.get());
        QCOMPARE(exif->GetRetainCount(), 2);
        QCOMPARE(navikImageToQtImage(image), source.convertToFormat(QImage::Format_RGB32));

        const auto empty = std::make_shared<CNavikImageProxy>(0, 0, 0, 8, nullptr, false, false);
        QVERIFY(navikImageToQtImage(empty).isNull());
    }
};

QTEST_MAIN(TestNavikImageProxy)
#include "tst_navikimageproxy.moc"
