// Loading and saving JPEG and TIFF files: pixels, metadata, damaged files,
// limits and the safety of saving.

#include <Navik/ColorSpace.h>
#include <Navik/Exif.h>
#include <Navik/Image.h>
#include <Navik/PixelData.h>
#include <Navik/Progress.h>

#include "TestFiles.h"

#include <QtTest>

#include "NavikTestObjects.h"

#include "PlainJpegEncoder.h"

#include <csignal>
#include <cstdint>
#include <limits>
#include <sys/resource.h>
#include <sys/stat.h>
#include <tiffio.h>

using namespace Navik;

namespace {

const QString kFixtures = QStringLiteral(QUILLET_FIXTURES_DIR);

Dictionary metadataOptions()
{
    Dictionary options;
    options.SetValueForKey(kImageLoadOptionEXIFData, Value(true));
    options.SetValueForKey(kImageLoadOptionEXIFMakerNote, Value(true));
    options.SetValueForKey(kImageLoadOptionXMPSidecar, Value(true));
    return options;
}

// A smooth pattern with every channel different, in the sample range given.
unsigned int pattern(unsigned int x, unsigned int y, unsigned int channel, unsigned int maxValue)
{
    return (x * 7 + y * 13 + channel * 50) * maxValue / (7 * 200 + 13 * 200 + 100) % (maxValue + 1);
}

// An 8- or 16-bit RGB or grey image in a buffer of its own.
struct PatternImage
{
    PixelFormat format;
    std::vector<unsigned char> pixels;
    Held<TileImage> image;

    PatternImage(unsigned int width, unsigned int height, int pixelType, int pixelSize)
        : format(pixelType, pixelSize, true)
    {
        const std::size_t rowBytes = std::size_t(width) * format.GetBytesPerPixel();
        pixels.resize(rowBytes * height);
        for (unsigned int y = 0; y < height; ++y) {
            for (unsigned int x = 0; x < width; ++x) {
                for (unsigned int c = 0; c < format.GetBufferChannelCount(); ++c) {
                    const unsigned int value = pattern(x, y, c, format.GetMaxSampleValue());
                    const std::size_t index = y * rowBytes / format.GetBytesPerSample() + x * format.GetBufferChannelCount() + c;
                    if (format.GetSampleSize() == 8)
                        pixels[index] = std::uint8_t(value);
                    else
                        reinterpret_cast<std::uint16_t*>(pixels.data())[index] = std::uint16_t(value);
                }
            }
        }
        image.object = new TileImage(width, height, unsigned(rowBytes), format, {pixels.data()});
    }
};

// Sample (x, y, c) of a loaded image, whatever its layout.
unsigned int sampleAt(const Image& image, unsigned int x, unsigned int y, unsigned int channel)
{
    const PixelFormat format = image.GetPixelFormat();
    const std::size_t index = x * format.GetBufferChannelCount() + channel;
    const auto* row = static_cast<const unsigned char*>(image.GetBuffer(0)) + y * image.GetRowBytes();
    return format.GetSampleSize() == 8 ? row[index] : reinterpret_cast<const std::uint16_t*>(row)[index];
}

// The largest difference between a loaded image and the pattern.
unsigned int patternDifference(const Image& image, unsigned int maxValue)
{
    unsigned int worst = 0;
    for (unsigned int y = 0; y < image.GetHeight(); ++y) {
        for (unsigned int x = 0; x < image.GetWidth(); ++x) {
            for (unsigned int c = 0; c < image.GetPixelFormat().GetBufferChannelCount(); ++c) {
                const int difference = int(sampleAt(image, x, y, c)) - int(pattern(x, y, c, maxValue));
                worst = std::max(worst, unsigned(std::abs(difference)));
            }
        }
    }
    return worst;
}

struct TiffSpec
{
    unsigned int width = 37;
    unsigned int height = 23;
    int bits = 8;
    int samples = 3;        // colour channels plus extra ones
    int photometric = PHOTOMETRIC_RGB;
    bool planar = false;
    bool tiled = false;
    int compression = COMPRESSION_NONE;
    bool big = false; // BigTIFF
};

// Writes the pattern with libtiff itself, so that the reader is checked
// against an independent writer.
void writePatternTiff(const QString& path, const TiffSpec& spec)
{
    TIFF* tiff = TIFFOpen(path.toUtf8().constData(), spec.big ? "w8" : "w");
    QVERIFY(tiff);
    const unsigned int maxValue = spec.bits == 8 ? 255 : 65535;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, spec.width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, spec.height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, spec.bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, spec.samples);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, spec.planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, spec.compression);
    const int colours = spec.photometric == PHOTOMETRIC_RGB || spec.photometric == PHOTOMETRIC_YCBCR ? 3 : 1;
    if (spec.samples > colours) {
        const std::uint16_t extra[] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    if (spec.compression == COMPRESSION_JPEG) {
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
        TIFFSetField(tiff, TIFFTAG_JPEGQUALITY, 95);
        TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    } else {
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, spec.photometric);
    }
    const auto value = [&](unsigned int x, unsigned int y, int c) {
        const unsigned int v = c < colours ? pattern(x, y, unsigned(c), maxValue) : maxValue;
        return spec.photometric == PHOTOMETRIC_MINISWHITE ? maxValue - v : v;
    };
    const int perBuffer = spec.planar ? 1 : spec.samples;
    const int buffers = spec.planar ? spec.samples : 1;
    const unsigned int blockWidth = spec.tiled ? 16 : spec.width;
    const unsigned int blockHeight = 16;
    if (spec.tiled) {
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, blockWidth);
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, blockHeight);
    } else {
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, blockHeight);
    }
    const unsigned int bytes = unsigned(spec.bits / 8);
    std::vector<unsigned char> block(std::size_t(blockWidth) * blockHeight * unsigned(perBuffer) * bytes);
    for (int buffer = 0; buffer < buffers; ++buffer) {
        for (unsigned int y0 = 0; y0 < spec.height; y0 += blockHeight) {
            for (unsigned int x0 = 0; x0 < spec.width; x0 += blockWidth) {
                std::fill(block.begin(), block.end(), 0);
                const unsigned int rows = spec.tiled ? blockHeight : std::min(blockHeight, spec.height - y0);
                for (unsigned int y = 0; y < rows && y0 + y < spec.height; ++y) {
                    for (unsigned int x = 0; x < blockWidth && x0 + x < spec.width; ++x) {
                        for (int s = 0; s < perBuffer; ++s) {
                            const std::size_t index = (std::size_t(y) * blockWidth + x) * unsigned(perBuffer) + unsigned(s);
                            const unsigned int v = value(x0 + x, y0 + y, spec.planar ? buffer : s);
                            if (bytes == 1)
                                block[index] = std::uint8_t(v);
                            else
                                reinterpret_cast<std::uint16_t*>(block.data())[index] = std::uint16_t(v);
                        }
                    }
                }
                const auto size = tmsize_t(std::size_t(blockWidth) * rows * unsigned(perBuffer) * bytes);
                if (spec.tiled)
                    TIFFWriteEncodedTile(tiff, TIFFComputeTile(tiff, x0, y0, 0, std::uint16_t(buffer)), block.data(), size);
                else
                    TIFFWriteEncodedStrip(tiff, TIFFComputeStrip(tiff, y0, std::uint16_t(buffer)), block.data(), size);
            }
        }
    }
    TIFFClose(tiff);
}

// An 8-bit RGB TIFF of `side` x `side` pixels, in one strip or in tiles of
// `tileSide` when that is not 0, with a few bytes of data: a file whose header
// claims far more than it holds.
void writeClaimingTiff(const QString& path, std::uint32_t side, std::uint32_t tileSide)
{
    TIFF* tiff = TIFFOpen(path.toUtf8().constData(), "w");
    QVERIFY(tiff);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, side);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, side);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    char data[16] = {};
    if (tileSide > 0) {
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, tileSide);
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, tileSide);
        TIFFWriteRawTile(tiff, 0, data, 3);
    } else {
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, side);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFWriteRawStrip(tiff, 0, data, sizeof data);
    }
    TIFFClose(tiff);
}

// exiv2's own tool reads what we wrote: "key value" per line.
QMap<QString, QString> exiv2Values(const QString& path)
{
    QProcess process;
    process.start("exiv2", {"-q", "-Pkv", path});
    process.waitForFinished(60000);
    QMap<QString, QString> values;
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
        const qsizetype space = line.indexOf(' ');
        values.insert(line.left(space), line.mid(space).trimmed());
    }
    return values;
}

QByteArray exiv2IccProfile(const QString& path)
{
    QProcess process;
    process.start("exiv2", {"-q", "-pC", path});
    process.waitForFinished(60000);
    return process.readAllStandardOutput();
}

QByteArray srgbProfile()
{
    Held<ColorSpace> profile(ColorSpace::CreateSRGB());
    return QByteArray(reinterpret_cast<const char*>(profile->GetData()), qsizetype(profile->GetSize()));
}

Image* load(const QString& path, ImageStatus* status = nullptr, Progress* progress = nullptr)
{
    return LoadFullImage(path.toStdString(), kFileFormatUnknown, metadataOptions(), status, progress);
}

} // namespace

class TestNavikImage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }

    // A small JPEG of the pattern, written by our own encoder.
    QByteArray smallJpeg()
    {
        PatternImage source(64, 48, kPixelTypeRGB, kPixelSize8);
        ImageStatus status;
        const QString file = path("small.jpg");
        Dictionary options;
        options.SetValueForKey(kImageSaveOptionJPEGQuality, Value(95));
        if (!source.image->Save(file.toStdString(), kFileFormatJPEG, options, &status))
            return {};
        return readFile(file);
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void tiffVariantsLoadExactly_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("samples");
        QTest::addColumn<int>("photometric");
        QTest::addColumn<bool>("planar");
        QTest::addColumn<bool>("tiled");
        QTest::addColumn<int>("compression");
        QTest::addColumn<uint>("width");
        QTest::addColumn<uint>("tolerance");
        QTest::newRow("RGB 8 strips") << 8 << 3 << PHOTOMETRIC_RGB << false << false << COMPRESSION_NONE << 37u << 0u;
        QTest::newRow("RGB 16 LZW") << 16 << 3 << PHOTOMETRIC_RGB << false << false << COMPRESSION_LZW << 37u << 0u;
        QTest::newRow("RGBA 8 drops alpha") << 8 << 4 << PHOTOMETRIC_RGB << false << false << COMPRESSION_LZW << 37u << 0u;
        QTest::newRow("RGB 16 planar Deflate") << 16 << 3 << PHOTOMETRIC_RGB << true << false << COMPRESSION_ADOBE_DEFLATE << 37u << 0u;
        QTest::newRow("RGB 8 planar tiles") << 8 << 3 << PHOTOMETRIC_RGB << true << true << COMPRESSION_NONE << 37u << 0u;
        QTest::newRow("RGB 16 tiles PackBits") << 16 << 3 << PHOTOMETRIC_RGB << false << true << COMPRESSION_PACKBITS << 37u << 0u;
        QTest::newRow("grey 8 tiles Deflate") << 8 << 1 << PHOTOMETRIC_MINISBLACK << false << true << COMPRESSION_ADOBE_DEFLATE << 37u << 0u;
        QTest::newRow("grey 16 white is zero") << 16 << 1 << PHOTOMETRIC_MINISWHITE << false << false << COMPRESSION_PACKBITS << 37u << 0u;
        QTest::newRow("RGB JPEG") << 8 << 3 << PHOTOMETRIC_YCBCR << false << false << COMPRESSION_JPEG << 48u << 8u;
        QTest::newRow("large, several threads") << 16 << 3 << PHOTOMETRIC_RGB << false << false << COMPRESSION_LZW << 1200u << 0u;
        // Saves of 3 GB and more are BigTIFF files; they open by their content too.
        QTest::newRow("BigTIFF") << 16 << 3 << PHOTOMETRIC_RGB << false << false << COMPRESSION_LZW << 37u << 0u;
    }

    void tiffVariantsLoadExactly()
    {
        TiffSpec spec;
        QFETCH(int, bits);
        QFETCH(uint, tolerance);
        QFETCH(uint, width);
        spec.bits = bits;
        spec.width = width;
        spec.height = width > 1000 ? 1000 : 23;
        QFETCH(int, samples);
        QFETCH(int, photometric);
        QFETCH(bool, planar);
        QFETCH(bool, tiled);
        QFETCH(int, compression);
        spec.samples = samples;
        spec.photometric = photometric;
        spec.planar = planar;
        spec.tiled = tiled;
        spec.compression = compression;
        spec.big = QByteArray(QTest::currentDataTag()) == "BigTIFF";
        const QString file = path("variant.tif");
        writePatternTiff(file, spec);

        ImageStatus status;
        Held<Image> image(load(file, &status));
        QVERIFY2(image, status.GetMessage());
        QCOMPARE(image->GetWidth(), spec.width);
        QCOMPARE(image->GetHeight(), spec.height);
        const int colours = photometric == PHOTOMETRIC_RGB || photometric == PHOTOMETRIC_YCBCR ? 3 : 1;
        QCOMPARE(int(image->GetPixelFormat().GetBufferChannelCount()), colours);
        QCOMPARE(int(image->GetPixelFormat().GetSampleSize()), bits);
        QVERIFY(patternDifference(*image.object, bits == 8 ? 255 : 65535) <= tolerance);
    }

    void damagedFilesFail_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("damage");
        for (const char* format : {"jpg", "tif"}) {
            for (const char* damage : {"empty", "header only", "truncated", "corrupt", "not an image"})
                QTest::addRow("%s %s", format, damage) << format << damage;
        }
    }

    void damagedFilesFail()
    {
        QFETCH(QString, format);
        QFETCH(QString, damage);
        QByteArray bytes;
        if (format == "jpg") {
            bytes = smallJpeg();
        } else {
            TiffSpec spec;
            spec.compression = COMPRESSION_LZW;
            writePatternTiff(path("good.tif"), spec);
            bytes = readFile(path("good.tif"));
        }
        QVERIFY(bytes.size() > 100);
        if (damage == "empty") {
            bytes.clear();
        } else if (damage == "header only") {
            bytes.truncate(12);
        } else if (damage == "truncated") {
            bytes.truncate(bytes.size() * 6 / 10);
        } else if (damage == "corrupt" && format == "jpg") {
            bytes.replace(bytes.size() / 2, 4, QByteArray("\xFF\xD9\xFF\xD9", 4)); // an end marker inside the data
        } else if (damage == "corrupt") {
            bytes.replace(4, 4, QByteArray("\xF0\xFF\xFF\x7F", 4)); // first directory far past the end
        } else {
            bytes = "P6 this is no image at all";
        }
        const QString file = path("damaged." + format);
        QVERIFY(writeFile(file, bytes));

        for (const bool headerOnly : {false, true}) {
            ImageStatus status;
            Image* image = headerOnly ? LoadInfoImage(file.toStdString(), kFileFormatUnknown, Dictionary(), &status)
                                      : load(file, &status);
            if (headerOnly && image && (damage == "truncated" || damage == "corrupt")) {
                image->Release(); // the header itself may be intact
                continue;
            }
            QVERIFY2(!image, qPrintable(damage));
            QVERIFY(status.GetCode() != kImageStatusNoError);
            QVERIFY(std::strlen(status.GetMessage()) > 0);
        }
    }

    void missingFileAndOtherFormats()
    {
        ImageStatus status;
        QVERIFY(!load(path("nowhere.jpg"), &status));
        QCOMPARE(status.GetCode(), kImageStatusFileNotFound);

        QVERIFY(writeFile(path("raw.cr2"), QByteArray("II*\0\x10\0\0\0CR\x02\0", 12) + QByteArray(100, '\0')));
        QCOMPARE(GetFileFormat(path("raw.cr2").toStdString()), kFileFormatCR2);
        QVERIFY(!load(path("raw.cr2"), &status));
        QCOMPARE(status.GetCode(), kImageStatusUnsupportedFormat);

        // CMYK is recognised in the header, then refused.
        TiffSpec spec;
        spec.samples = 4;
        spec.photometric = PHOTOMETRIC_SEPARATED;
        writePatternTiff(path("cmyk.tif"), spec);
        Held<Image> info(LoadInfoImage(path("cmyk.tif").toStdString(), kFileFormatUnknown, Dictionary(), &status));
        QVERIFY(info);
        QCOMPARE(info->GetPixelFormat().GetPixelType(), int(kPixelTypeCMYK));
        QVERIFY(!info->HasPixels());
        QVERIFY(!load(path("cmyk.tif"), &status));
        QCOMPARE(status.GetCode(), kImageStatusUnsupportedFormat);
    }

    void hugeImagesAreRefusedBeforeAllocation()
    {
        // A tiny TIFF that claims 40000 x 40000 pixels.
        writeClaimingTiff(path("huge.tif"), 40000, 0);
        // A small JPEG whose frame header claims 65000 x 65000 pixels.
        QByteArray jpeg = smallJpeg();
        const qsizetype frame = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
        QVERIFY(frame > 0);
        jpeg.replace(frame + 5, 4, QByteArray("\xFD\xE8\xFD\xE8", 4));
        QVERIFY(writeFile(path("huge.jpg"), jpeg));

        for (const char* name : {"huge.tif", "huge.jpg"}) {
            ImageStatus status;
            QVERIFY(!load(path(name), &status));
            QCOMPARE(status.GetCode(), kImageStatusImageTooLarge);
        }

        // A one-pixel TIFF whose tiles claim 65536 x 65536 pixels each.
        writeClaimingTiff(path("hugetile.tif"), 1, 65536);
        ImageStatus status;
        QVERIFY(!load(path("hugetile.tif"), &status));
        QCOMPARE(status.GetCode(), kImageStatusCorruptData);
    }

    void jpegRoundTrip()
    {
        QVERIFY(!smallJpeg().isEmpty());
        Held<Image> image(load(path("small.jpg")));
        QVERIFY(image);
        QCOMPARE(image->GetWidth(), 64u);
        QCOMPARE(image->GetPixelFormat(), PixelFormat(kPixelTypeRGB, kPixelSize8, true));
        QVERIFY(patternDifference(*image.object, 255) <= 10);

        // 16-bit pixels go into a JPEG rounded to 8 bits; low quality gives a smaller file.
        PatternImage wide(64, 48, kPixelTypeRGB, kPixelSize16);
        for (const int quality : {1, 100}) {
            Dictionary options;
            options.SetValueForKey(kImageSaveOptionJPEGQuality, Value(quality));
            QVERIFY(wide.image->Save(path(QString("q%1.jpg").arg(quality)).toStdString(), kFileFormatJPEG, options, nullptr));
        }
        QVERIFY(QFileInfo(path("q1.jpg")).size() < QFileInfo(path("q100.jpg")).size());
        Held<Image> reduced(load(path("q100.jpg")));
        QVERIFY(patternDifference(*reduced.object, 255) <= 4);

        PatternImage grey(40, 30, kPixelTypeGray, kPixelSize8);
        QVERIFY(grey.image->Save(path("grey.jpg").toStdString(), kFileFormatJPEG, Dictionary(), nullptr));
        Held<Image> greyBack(load(path("grey.jpg")));
        QCOMPARE(greyBack->GetPixelFormat().GetPixelType(), int(kPixelTypeGray));
    }

    void largeJpegIsEncodedInBandsWithTheSamePixels()
    {
        // Large enough to be encoded on all cores, with odd sizes at the edges.
        PatternImage source(1203, 1001, kPixelTypeRGB, kPixelSize8);
        Held<Image> info(LoadInfoImage((kFixtures + "/photo24.jpg").toStdString(), kFileFormatUnknown,
                                       metadataOptions(), nullptr));
        source.image->SetExif(info->GetExif());
        Dictionary options;
        options.SetValueForKey(kImageSaveOptionJPEGQuality, Value(85));
        ImageStatus status;
        QVERIFY2(source.image->Save(path("bands.jpg").toStdString(), kFileFormatJPEG, options, &status),
                 status.GetMessage());
        QVERIFY(EncodeWithPlainLibjpeg(QFile::encodeName(path("sequential.jpg")).toStdString(),
                                       source.pixels.data(), source.image->GetRowBytes(), 1203, 1001, 85));

        Held<Image> banded(load(path("bands.jpg"), &status));
        QVERIFY2(banded, status.GetMessage());
        Held<Image> sequential(load(path("sequential.jpg")));
        QCOMPARE(banded->GetHeight(), 1001u);
        for (unsigned int y = 0; y < 1001; ++y) {
            const auto* a = static_cast<const char*>(banded->GetBuffer(0)) + y * banded->GetRowBytes();
            const auto* b = static_cast<const char*>(sequential->GetBuffer(0)) + y * sequential->GetRowBytes();
            QVERIFY2(std::memcmp(a, b, 1203 * 3) == 0, qPrintable(QString("row %1").arg(y)));
        }
        QCOMPARE(exiv2Values(path("bands.jpg")).value("Exif.Image.Model"), QString("NT-24"));
    }

    void tiffRoundTripIsExact_data()
    {
        QTest::addColumn<int>("pixelType");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<bool>("compress");
        QTest::newRow("RGB 8") << int(kPixelTypeRGB) << int(kPixelSize8) << false;
        QTest::newRow("RGB 16 LZW") << int(kPixelTypeRGB) << int(kPixelSize16) << true;
        QTest::newRow("grey 16") << int(kPixelTypeGray) << int(kPixelSize16) << false;
        QTest::newRow("grey 8 LZW") << int(kPixelTypeGray) << int(kPixelSize8) << true;
    }

    void tiffRoundTripIsExact()
    {
        QFETCH(int, pixelType);
        QFETCH(int, pixelSize);
        QFETCH(bool, compress);
        PatternImage source(53, 31, pixelType, pixelSize);
        Dictionary options;
        options.SetValueForKey(kImageSaveOptionTIFFCompression, Value(compress));
        ImageStatus status;
        QVERIFY2(source.image->Save(path("exact.tif").toStdString(), kFileFormatTIFF, options, &status),
                 status.GetMessage());
        Held<Image> back(load(path("exact.tif")));
        QVERIFY(back);
        QCOMPARE(back->GetPixelFormat(), source.format);
        QCOMPARE(patternDifference(*back.object, source.format.GetMaxSampleValue()), 0u);
    }

    void hostSamplesAreSavedInFullRange()
    {
        PixelData* data = PixelData::Create(kSampleTypeUInt16Host, kSampleLayoutRGBInterleaved, 2, 1);
        auto* samples = static_cast<std::uint16_t*>(data->Buffer(0));
        const std::uint16_t values[6] = {32768, 16384, 0, 1, 2, 32767};
        std::copy(values, values + 6, samples);
        Held<Image> image(CreateImageFromPixelData(*data));
        delete data;
        QVERIFY(image->Save(path("host.tif").toStdString(), kFileFormatTIFF, Dictionary(), nullptr));
        Held<Image> back(load(path("host.tif")));
        QCOMPARE(back->GetPixelFormat().GetPixelSize(), int(kPixelSize16));
        QCOMPARE(sampleAt(*back.object, 0, 0, 0), 65535u);
        QCOMPARE(sampleAt(*back.object, 0, 0, 1), 32768u);
        QCOMPARE(sampleAt(*back.object, 1, 0, 2), 65533u);
    }

    void fixtureMetadataReads()
    {
        ImageStatus status;
        Held<Image> info(LoadInfoImage((kFixtures + "/photo24.jpg").toStdString(), kFileFormatUnknown,
                                       metadataOptions(), &status));
        QVERIFY2(info, status.GetMessage());
        QCOMPARE(info->GetWidth(), 6000u);
        QVERIFY(!info->HasPixels());
        const Exif& exif = *info->GetExif();
        QCOMPARE(exif.GetValue(Exif::kMetaDataMakerKey).AsString(), std::string("Navik Test Camera"));
        QCOMPARE(exif.GetValue(Exif::kMetaDataModelKey).AsString(), std::string("NT-24"));
        QCOMPARE(exif.GetValue(Exif::kMetaDataFocalLengthKey).AsDouble(), 24.0);
        QCOMPARE(exif.GetValue(Exif::kMetaDataExifFocalLengthIn35mmFilmKey).AsInt(), 36);
        QCOMPARE(exif.GetValue(Exif::kMetaDataApertureKey).AsDouble(), 8.0);
        QCOMPARE(exif.GetValue(Exif::kMetaDataOrientationKey).GetType(), Value::kTypeUnsignedInt);
        QVERIFY(!exif.GetValue(Exif::kMetaDataSoftwareKey).IsValid());

        Held<Exif> rotated(new Exif);
        QVERIFY(rotated->Load((kFixtures + "/photo12-orient6.jpg").toStdString(), kFileFormatUnknown,
                              metadataOptions(), &status));
        QCOMPARE(rotated->GetValue(Exif::kMetaDataOrientationKey).AsUnsignedInt(), 6u);
        Held<Exif> none(new Exif);
        QVERIFY(!none->Load(path("nowhere.jpg").toStdString(), kFileFormatUnknown, metadataOptions(), &status));
        QVERIFY(std::strlen(status.GetMessage()) > 0);
        QCOMPARE(none->GetValue(Exif::kMetaDataOrientationKey).AsUnsignedInt(), 0u);
    }

    void rationalsRefuseWhatTheyCannotHold_data()
    {
        QTest::addColumn<double>("focalLength");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("fraction") << 2.8 << true;
        QTest::newRow("negative") << -35.0 << false;
        QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << false;
        QTest::newRow("undefined") << std::numeric_limits<double>::quiet_NaN() << false;
        QTest::newRow("too large") << 5e9 << false;
    }

    void rationalsRefuseWhatTheyCannotHold()
    {
        QFETCH(double, focalLength);
        QFETCH(bool, accepted);
        Held<Exif> exif(new Exif);
        QVERIFY(exif->SetValue(Exif::kMetaDataFocalLengthKey, Value(24.0)));
        QCOMPARE(exif->SetValue(Exif::kMetaDataFocalLengthKey, Value(focalLength)), accepted);
        QCOMPARE(exif->GetValue(Exif::kMetaDataFocalLengthKey).AsDouble(), accepted ? focalLength : 24.0);
    }

    void metadataSurvivesSaving_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("JPEG") << int(kFileFormatJPEG) << "jpg";
        QTest::newRow("TIFF") << int(kFileFormatTIFF) << "tif";
    }

    void builtInSrgbProfileIsAlwaysTheSameBytes()
    {
        // The profile is embedded in saved files: it must not depend on when it was made.
        const QByteArray first = srgbProfile();
        QTest::qWait(1100);
        QCOMPARE(srgbProfile(), first);
        Held<ColorSpace> profile(ColorSpace::CreateSRGB());
        QVERIFY(profile->IsValid());
    }

    void metadataSurvivesSaving()
    {
        QFETCH(int, format);
        QFETCH(QString, suffix);
        // The camera's metadata, a caption, a thumbnail and a sidecar title on a small picture.
        const QString folder = path("Fotos für Ünal");
        QVERIFY(QDir().mkpath(folder));
        const QString source = folder + "/källa.jpg";
        Held<Image> info(LoadInfoImage((kFixtures + "/photo24.jpg").toStdString(), kFileFormatUnknown,
                                       metadataOptions(), nullptr));
        PatternImage pixels(96, 64, kPixelTypeRGB, kPixelSize8);
        pixels.image->SetExif(info->GetExif());
        QVERIFY(pixels.image->Save(source.toStdString(), kFileFormatJPEG, Dictionary(), nullptr));
        QFile::remove(folder + "/källa-thumb.jpg");
        QVERIFY(QFile::copy(source, folder + "/källa-thumb.jpg"));
        QProcess::execute("exiv2", {"-q", "-it", source});
        QProcess::execute("exiv2", {"-q", "-M", "set Iptc.Application2.Caption String Harbour at dusk", source});
        QVERIFY(exiv2Values(source).contains("Exif.Thumbnail.Compression"));
        QVERIFY(writeFile(folder + "/källa.xmp",
                          "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
                          "<rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\" xmp:Rating=\"4\"/>"
                          "</rdf:RDF></x:xmpmeta>"));

        ImageStatus status;
        Held<Image> image(load(source, &status));
        QVERIFY2(image, status.GetMessage());
        Held<ColorSpace> srgb(ColorSpace::CreateSRGB());
        image->SetICCProfile(srgb.object);
        image->GetExif()->SetValue(Exif::kMetaDataSoftwareKey, Value("Navik Quillet"));
        image->GetExif()->SetValue(Exif::kMetaDataOrientationKey, Value(0));
        const QString target = folder + "/résultat." + suffix;
        QVERIFY2(image->Save(target.toStdString(), FileFormat(format), Dictionary(), &status), status.GetMessage());

        const QMap<QString, QString> values = exiv2Values(target);
        QCOMPARE(values.value("Exif.Image.Make"), QString("Navik Test Camera"));
        QCOMPARE(values.value("Exif.Image.Software"), QString("Navik Quillet"));
        QCOMPARE(values.value("Exif.Image.Orientation"), QString("1"));
        QCOMPARE(values.value("Exif.Photo.FocalLength"), QString("24/1"));
        QCOMPARE(values.value("Exif.Photo.PixelXDimension"), QString("96"));
        QVERIFY(values.value("Xmp.dc.title").contains("Evening glow"));
        QCOMPARE(values.value("Xmp.xmp.Rating"), QString("4"));
        QCOMPARE(values.value("Iptc.Application2.Caption"), QString("Harbour at dusk"));
        QVERIFY(!values.contains("Exif.Thumbnail.Compression"));
        QCOMPARE(exiv2IccProfile(target), srgbProfile());

        Held<Image> back(load(target, &status));
        QVERIFY(back);
        QVERIFY(back->GetICCProfile() && *back->GetICCProfile() == *srgb.object);
        QVERIFY(back->GetExif()->GetICCProfile());
        QCOMPARE(back->GetExif()->GetValue(Exif::kMetaDataOrientationKey).AsUnsignedInt(), 1u);
        if (format == kFileFormatTIFF)
            QCOMPARE(patternDifference(*back.object, 255), patternDifference(*image.object, 255));
    }

    void fullFixtureDecodesAndCancels()
    {
        Progress progress;
        ImageStatus status;
        Held<Image> image(load(kFixtures + "/photo24.jpg", &status, &progress));
        QVERIFY2(image, status.GetMessage());
        QCOMPARE(image->GetWidth(), 6000u);
        QCOMPARE(image->GetHeight(), 4000u);
        QCOMPARE(progress.GetFraction(), 1.0);
        QCOMPARE(LowScaleForImage(*image.object), 2u);

        Progress cancelled;
        cancelled.Cancel();
        QVERIFY(!load(kFixtures + "/photo24.jpg", &status, &cancelled));
        QCOMPARE(status.GetCode(), kImageStatusCancelled);
    }

    void failedSaveLeavesTheOldFile()
    {
        const QString target = path("keep.tif");
        QVERIFY(writeFile(target, "the user's picture"));
        QVERIFY(chmod(QFile::encodeName(target).constData(), 0640) == 0);
        PatternImage big(400, 300, kPixelTypeRGB, kPixelSize16);

        // A full disk, as far as this process is concerned.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit previous;
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limit = previous;
        limit.rlim_cur = 64 * 1024;
        setrlimit(RLIMIT_FSIZE, &limit);
        ImageStatus status;
        const bool saved = big.image->Save(target.toStdString(), kFileFormatTIFF, Dictionary(), &status);
        setrlimit(RLIMIT_FSIZE, &previous);

        QVERIFY(!saved);
        QCOMPARE(status.GetCode(), kImageStatusWriteError);
        QCOMPARE(readFile(target), QByteArray("the user's picture"));
        QCOMPARE(QDir(m_dir.path()).entryList({".keep.tif*"}, QDir::Hidden | QDir::Files), QStringList());

        // A save that succeeds replaces the file and keeps its permissions.
        QVERIFY(big.image->Save(target.toStdString(), kFileFormatTIFF, Dictionary(), &status));
        struct stat info;
        QVERIFY(stat(QFile::encodeName(target).constData(), &info) == 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0640));

        QVERIFY(!big.image->Save(path("no/such/folder/x.jpg").toStdString(), kFileFormatJPEG, Dictionary(), &status));
        QCOMPARE(status.GetCode(), kImageStatusWriteError);
        QVERIFY(!big.image->Save(path("x.dng").toStdString(), kFileFormatDNG, Dictionary(), &status));
        QCOMPARE(status.GetCode(), kImageStatusUnsupportedFormat);
        TileImage header(10, 10, 0, PixelFormat(kPixelTypeRGB, kPixelSize8, true), {});
        QVERIFY(!header.Save(path("x.jpg").toStdString(), kFileFormatJPEG, Dictionary(), &status));
        QVERIFY(!QFile::exists(path("x.jpg")));
    }
};

QTEST_GUILESS_MAIN(TestNavikImage)
#include "tst_navikimage.moc"
