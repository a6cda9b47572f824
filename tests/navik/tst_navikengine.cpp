// The correction engine: agents and targets, renders at every level, point
// projection, output parameters, colour, print size and the engine's pools.

#include <Navik/Agent.h>
#include <Navik/ColorSpace.h>
#include <Navik/Engine.h>
#include <Navik/Exif.h>
#include <Navik/Image.h>
#include <Navik/Keystoning.h>
#include <Navik/MemoryBlock.h>
#include <Navik/PixelData.h>
#include <Navik/Progress.h>
#include <Navik/Region.h>
#include <Navik/Target.h>
#include <Navik/ThreadGraph.h>

#include <QtTest>

#include "NavikTestObjects.h"

#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <thread>
#include <vector>

using namespace Navik;

Q_DECLARE_METATYPE(Navik::Dictionary)

namespace {

using PixelDataPtr = std::shared_ptr<PixelData>;
using ImagePtr = std::shared_ptr<Image>;

ImagePtr adopt(Image* image)
{
    return ImagePtr(image, [](Image* i) { i->Release(); });
}

PixelDataPtr pixels(SampleType type, SampleLayout layout, int width, int height)
{
    return PixelDataPtr(PixelData::Create(type, layout, unsigned(width), unsigned(height)));
}

// An image whose samples come from `value(x, y, channel)` (0..255), scaled to 16 bits when asked.
ImagePtr makeImage(int width, int height, bool sixteenBit, const std::function<int(int, int, int)>& value)
{
    const PixelDataPtr data =
        pixels(sixteenBit ? kSampleTypeUInt16 : kSampleTypeUInt8, kSampleLayoutRGBInterleaved, width, height);
    for (int y = 0; y < height; ++y) {
        auto* row = static_cast<unsigned char*>(data->Buffer(0)) + y * data->GetRowBytes();
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) {
                if (sixteenBit)
                    reinterpret_cast<std::uint16_t*>(row)[3 * x + c] = std::uint16_t(value(x, y, c) * 257);
                else
                    row[3 * x + c] = std::uint8_t(value(x, y, c));
            }
    }
    return adopt(CreateImageFromPixelData(*data));
}

// Texture that shows any misplaced sample.
ImagePtr noiseImage(int width, int height, bool sixteenBit = false)
{
    std::mt19937 random(7);
    std::vector<int> noise(std::size_t(width) * height * 3);
    for (int& v : noise)
        v = int(random() % 256);
    return makeImage(width, height, sixteenBit, [&](int x, int y, int c) { return noise[(y * width + x) * 3 + c]; });
}

template <typename Sample = std::uint8_t>
Sample sampleAt(const PixelData& data, int x, int y, int channel)
{
    const auto* row = static_cast<const unsigned char*>(data.Buffer(0)) + y * data.GetRowBytes();
    return reinterpret_cast<const Sample*>(row)[3 * x + channel];
}

Dictionary with(Dictionary d, const char* key, const Value& value)
{
    d.SetValueForKey(key, value);
    return d;
}

Dictionary keystoneHorizonCrop(int rotation)
{
    Dictionary d = with(keystone(), "KeystoningHorizon", Value(4.0));
    d.SetValueForKey("CropActive", Value(true));
    d.SetValueForKey("CropAuto", Value(true));
    d.SetValueForKey("OutputRotation", Value(rotation));
    return d;
}

Dictionary lensStage()
{
    Dictionary d;
    d.SetValueForKey("DistortionActive", Value(true));
    d.SetValueForKey("DistortionType", Value("Barrel"));
    d.SetValueForKey("DistortionIntensity", Value(80));
    return d;
}

QSize outputSize(const Target& target, unsigned int level)
{
    int width = 0, height = 0;
    if (!target.ComputeScaledOutputSize(level, &width, &height))
        return {};
    return {width, height};
}

PixelDataPtr renderWhole(Target& target, unsigned int level, SampleType type = kSampleTypeUInt8,
                         SampleLayout layout = kSampleLayoutRGBInterleaved)
{
    const QSize size = outputSize(target, level);
    PixelDataPtr output = pixels(type, layout, size.width(), size.height());
    if (!target.ComputeScaledOutputImage(output.get(), level, nullptr))
        return nullptr;
    return output;
}

// Every sample of `part` equals the one at (left, top) + (x, y) of `whole`.
bool samePixels(const PixelData& part, const PixelData& whole, int left, int top)
{
    const std::size_t bytes = std::size_t(part.GetWidth()) * 3 * (part.GetSampleType() == kSampleTypeUInt8 ? 1 : 2);
    for (unsigned int y = 0; y < part.GetHeight(); ++y) {
        const auto* a = static_cast<const unsigned char*>(part.Buffer(0)) + y * part.GetRowBytes();
        const auto* b = static_cast<const unsigned char*>(whole.Buffer(0)) + (top + y) * whole.GetRowBytes() +
                        left * bytes / part.GetWidth();
        if (std::memcmp(a, b, bytes) != 0)
            return false;
    }
    return true;
}

// Catmull-Rom weight of the tap `tap` for a position `t` past the first.
double catmullRom(double t, int tap)
{
    const double d = std::abs(t - tap);
    if (d < 1)
        return 1.5 * d * d * d - 2.5 * d * d + 1;
    if (d < 2)
        return -0.5 * d * d * d + 2.5 * d * d - 4 * d + 2;
    return 0;
}

// Bicubic sample of the full-resolution input at a continuous position
// (pixel centres on whole numbers).
double bicubicSample(const PixelData& input, double x, double y, int channel)
{
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    double value = 0;
    for (int j = -1; j <= 2; ++j) {
        const int sy = std::clamp(y0 + j, 0, int(input.GetHeight()) - 1);
        for (int i = -1; i <= 2; ++i) {
            const int sx = std::clamp(x0 + i, 0, int(input.GetWidth()) - 1);
            value += catmullRom(y - y0, j) * catmullRom(x - x0, i) * sampleAt(input, sx, sy, channel);
        }
    }
    return std::clamp(value, 0.0, 255.0);
}

// Verticals that diverge upwards made parallel, the result shrunk to 60 %:
// output pixels span from below one to above two input pixels.
Dictionary narrowingTop()
{
    Dictionary d;
    d.SetValueForKey("KeystoningActive", Value(true));
    d.SetValueForKey("KeystoningMode", Value("Parallel"));
    d.SetValueForKey("KeystoningPoints", Value(numbers({0.1, 0.1, 0.25, 0.9, 0.75, 0.9, 0.9, 0.1})));
    d.SetValueForKey("KeystoningScale", Value(60.0));
    d.SetValueForKey("OutputInterpolation", Value("Bicubic"));
    return d;
}

struct EngineSession
{
    EngineSession() { Navik::Engine::Initialize({}); }
    ~EngineSession() { Navik::Engine::Finalize(); }
};

} // namespace

class TestNavikEngine : public QObject
{
    Q_OBJECT

    std::unique_ptr<EngineSession> m_engine;
    RefPtr<Filter> m_filter = RefPtr<Filter>::Adopt(new Filter);

private slots:
    void initTestCase() { m_engine = std::make_unique<EngineSession>(); }
    void cleanupTestCase() { m_engine.reset(); }

    void fullResolutionKeepsTheDetailOfLevelZero()
    {
        // Where an output pixel spans more than one input pixel but less
        // than two, a full-resolution render samples the input itself: on
        // noise it matches a bicubic resampling of the input, where the
        // next pyramid level would have averaged the noise away.
        const PixelDataPtr input = pixels(kSampleTypeUInt8, kSampleLayoutRGBInterleaved, 480, 360);
        std::mt19937 random(11);
        for (unsigned int y = 0; y < input->GetHeight(); ++y) {
            auto* row = static_cast<unsigned char*>(input->Buffer(0)) + y * input->GetRowBytes();
            for (unsigned int i = 0; i < input->GetWidth() * 3; ++i)
                row[i] = std::uint8_t(random() % 256);
        }
        const ImagePtr image = adopt(CreateImageFromPixelData(*input));
        Agent agent(*image);
        Target* target = agent.AddTarget(kCorrectionModeFinal, narrowingTop(), m_filter.get());
        const PixelDataPtr rendered = renderWhole(*target, 0);
        QVERIFY(rendered);
        double difference = 0;
        int compared = 0;
        double largestSpan = 0;
        for (int y = 0; y < int(rendered->GetHeight()); y += 3) {
            for (int x = 0; x < int(rendered->GetWidth()); x += 3) {
                double cx = 0, cy = 0, rx = 0, ry = 0, bx = 0, by = 0;
                target->ProjectPointFromOutputToInputImage(0, x + 0.5, y + 0.5, cx, cy);
                target->ProjectPointFromOutputToInputImage(0, x + 1.5, y + 0.5, rx, ry);
                target->ProjectPointFromOutputToInputImage(0, x + 0.5, y + 1.5, bx, by);
                const double span = std::max(std::hypot(rx - cx, ry - cy), std::hypot(bx - cx, by - cy));
                // Inside the picture, away from its edges.
                if (span < 1.15 || span > 1.9 || cx < 3 || cy < 3 || cx > 477 || cy > 357)
                    continue;
                largestSpan = std::max(largestSpan, span);
                difference += std::abs(sampleAt(*rendered, x, y, 1) - bicubicSample(*input, cx - 0.5, cy - 0.5, 1));
                ++compared;
            }
        }
        QVERIFY2(compared > 200, qPrintable(QString::number(compared)));
        QVERIFY(largestSpan > 1.8);
        const double mean = difference / compared;
        QVERIFY2(mean < 4.0, qPrintable(QString("mean difference %1 over %2 pixels").arg(mean).arg(compared)));
    }

    void subImageEqualsTheSameAreaOfTheWholeRender_data()
    {
        QTest::addColumn<Dictionary>("parameters");
        QTest::addColumn<int>("mode");
        QTest::addColumn<uint>("level");
        QTest::addColumn<bool>("sixteenBit");
        QTest::addColumn<int>("width"); // of the input
        QTest::newRow("keystone, level 0") << keystone() << 3 << 0u << false << 64;
        QTest::newRow("keystone, level 1") << keystone() << 3 << 1u << false << 150;
        QTest::newRow("keystone, horizon, crop, turned, level 2") << keystoneHorizonCrop(1) << 3 << 2u << false << 301;
        QTest::newRow("bicubic") << keystoneHorizonCrop(3) << 2 << 0u << false << 64;
        QTest::newRow("bicubic, level 1") << keystone() << 2 << 1u << false << 97;
        QTest::newRow("16-bit") << keystone() << 2 << 1u << true << 120;
        QTest::newRow("lens stage") << lensStage() << 3 << 0u << false << 90;
    }

    void subImageEqualsTheSameAreaOfTheWholeRender()
    {
        QFETCH(Dictionary, parameters);
        QFETCH(int, mode);
        QFETCH(uint, level);
        QFETCH(bool, sixteenBit);
        QFETCH(int, width);
        const ImagePtr image = noiseImage(width, width * 3 / 4, sixteenBit);
        Agent agent(*image);
        Target* target = agent.AddTarget(CorrectionMode(mode), parameters, m_filter.get());
        const SampleType type = sixteenBit ? kSampleTypeUInt16 : kSampleTypeUInt8;
        const PixelDataPtr whole = renderWhole(*target, level, type);
        QVERIFY(whole);
        const QSize size = outputSize(*target, level);
        // Rectangles in level-0 pixels: inside, at the corners, and past the edges.
        const QRect level0(0, 0, size.width() << level, size.height() << level);
        for (const QRect& rect : {QRect(level0.width() / 3, level0.height() / 4, level0.width() / 2, level0.height() / 3),
                                  QRect(0, 0, 40 << level, 24 << level),
                                  QRect(level0.width() - (24 << level), level0.height() - (8 << level), 24 << level, 8 << level)}) {
            const QRect scaled(rect.x() >> level, rect.y() >> level, rect.width() >> level, rect.height() >> level);
            const QRect inside = scaled & QRect(QPoint(0, 0), size);
            const PixelDataPtr part = pixels(type, kSampleLayoutRGBInterleaved, scaled.width(), scaled.height());
            QVERIFY(target->ComputeScaledOutputSubImageBitShiftApprox(part.get(), level, rect.x(), rect.y(),
                                                                      rect.width(), rect.height(), nullptr));
            QCOMPARE(inside, scaled);
            QVERIFY2(samePixels(*part, *whole, scaled.x(), scaled.y()), qPrintable(QString("rect %1,%2 %3x%4")
                     .arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height())));
        }
    }

    void vectorAndPortableSamplingAgree_data()
    {
        QTest::addColumn<bool>("sixteenBit");
        QTest::addColumn<int>("mode");
        QTest::newRow("8-bit bicubic") << false << int(kCorrectionModeFinal);
        QTest::newRow("8-bit bilinear") << false << int(kCorrectionModePreview);
        QTest::newRow("16-bit bicubic") << true << int(kCorrectionModeFinal);
        QTest::newRow("16-bit bilinear") << true << int(kCorrectionModePreview);
    }

    void vectorAndPortableSamplingAgree()
    {
        // The vector paths run where the processor has them; the switch
        // forces the portable path, so both are compared on any machine.
        QFETCH(bool, sixteenBit);
        QFETCH(int, mode);
        const ImagePtr image = noiseImage(160, 120, sixteenBit);
        Agent agent(*image);
        const SampleType type = sixteenBit ? kSampleTypeUInt16 : kSampleTypeUInt8;
        for (const Dictionary& parameters : {keystone(), keystoneHorizonCrop(1), lensStage()}) {
            Target* target = agent.AddTarget(CorrectionMode(mode), parameters, m_filter.get());
            const PixelDataPtr vector = renderWhole(*target, 0, type);
            Engine::SetPortableRendering(true);
            const PixelDataPtr portable = renderWhole(*target, 0, type);
            Engine::SetPortableRendering(false);
            QVERIFY(vector && portable);
            int worst = 0;
            for (unsigned int y = 0; y < vector->GetHeight(); ++y)
                for (unsigned int x = 0; x < vector->GetWidth(); ++x)
                    for (int c = 0; c < 3; ++c) {
                        const int a = sixteenBit ? sampleAt<std::uint16_t>(*vector, int(x), int(y), c)
                                                 : sampleAt(*vector, int(x), int(y), c);
                        const int b = sixteenBit ? sampleAt<std::uint16_t>(*portable, int(x), int(y), c)
                                                 : sampleAt(*portable, int(x), int(y), c);
                        worst = std::max(worst, std::abs(a - b));
                    }
            // 16-bit sums are exact on both paths; the 8-bit bicubic one drops
            // three bits of its row sums to stay in 32 bits.
            QVERIFY2(worst <= (sixteenBit ? 0 : 1), qPrintable(QString("largest difference %1").arg(worst)));
        }
    }

    void streamedSaveEqualsSavingTheWholeRender_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("sampleType");
        QTest::addColumn<bool>("compress");
        QTest::newRow("JPEG") << int(kFileFormatJPEG) << int(kSampleTypeUInt8) << false;
        QTest::newRow("TIFF 8") << int(kFileFormatTIFF) << int(kSampleTypeUInt8) << false;
        QTest::newRow("TIFF 16") << int(kFileFormatTIFF) << int(kSampleTypeUInt16) << false;
        QTest::newRow("TIFF 16 LZW") << int(kFileFormatTIFF) << int(kSampleTypeUInt16) << true;
        QTest::newRow("TIFF host LZW") << int(kFileFormatTIFF) << int(kSampleTypeUInt16Host) << true;
    }

    void streamedSaveEqualsSavingTheWholeRender()
    {
        // A save renders band by band into the encoder; the file must be the
        // one the whole render would give, byte for byte (over a million
        // pixels, so JPEG bands are encoded on several threads).
        QFETCH(int, format);
        QFETCH(int, sampleType);
        QFETCH(bool, compress);
        const ImagePtr image = noiseImage(1400, 1000, sampleType != kSampleTypeUInt8);
        Agent agent(*image);
        Target* target = agent.AddTarget(kCorrectionModeFinal, keystone(), m_filter.get());
        const RefPtr<Exif> exif = RefPtr<Exif>::Adopt(new Exif);
        exif->SetValue(Exif::kMetaDataSoftwareKey, Value("Navik Quillet"));
        const RefPtr<ColorSpace> srgb = RefPtr<ColorSpace>::Adopt(ColorSpace::CreateSRGB());
        Dictionary options;
        options.SetValueForKey(kImageSaveOptionTIFFCompression, Value(compress));
        QTemporaryDir folder;
        const std::string streamed = folder.filePath("streamed").toStdString();
        const std::string whole = folder.filePath("whole").toStdString();

        ImageStatus status;
        QVERIFY2(target->SaveOutputImage(streamed, FileFormat(format), options, SampleType(sampleType),
                                         kSampleLayoutRGBInterleaved, *exif, srgb.get(), nullptr, &status),
                 status.GetMessage());
        const PixelDataPtr rendered = renderWhole(*target, 0, SampleType(sampleType));
        QVERIFY(rendered);
        const ImagePtr wholeImage = adopt(CreateImageFromPixelData(*rendered));
        wholeImage->SetExif(exif.get());
        wholeImage->SetICCProfile(srgb.get());
        QVERIFY(wholeImage->Save(whole, FileFormat(format), options, &status));
        QFile a(QString::fromStdString(streamed)), b(QString::fromStdString(whole));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QVERIFY(a.size() > 100000);
        QVERIFY(a.readAll() == b.readAll());

        // A cancelled save fails as cancelled and leaves no file behind.
        Progress cancelled;
        cancelled.Cancel();
        const std::string never = folder.filePath("never").toStdString();
        QVERIFY(!target->SaveOutputImage(never, FileFormat(format), options, SampleType(sampleType),
                                         kSampleLayoutRGBInterleaved, *exif, srgb.get(), &cancelled, &status));
        QCOMPARE(status.GetCode(), kImageStatusCancelled);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void outputSizeDependsOnTheDictionaryNotTheMode_data()
    {
        QTest::addColumn<Dictionary>("parameters");
        QTest::newRow("none") << Dictionary();
        QTest::newRow("keystone") << keystone();
        QTest::newRow("crop, turned") << keystoneHorizonCrop(1);
        QTest::newRow("lens") << with(lensStage(), "DistortionAnamorphosisKeepEntireImage", Value(true));
    }

    void outputSizeDependsOnTheDictionaryNotTheMode()
    {
        QFETCH(Dictionary, parameters);
        const ImagePtr image = noiseImage(203, 101);
        Agent agent(*image);
        const Target* preview = agent.AddTarget(kCorrectionModePreview, parameters, m_filter.get());
        const Target* final = agent.AddTarget(kCorrectionModeFinal, parameters, m_filter.get());
        const QSize full = outputSize(*preview, 0);
        for (unsigned int level = 0; level < 12; ++level) {
            QCOMPARE(outputSize(*final, level), outputSize(*preview, level));
            QCOMPARE(outputSize(*preview, level), QSize(std::max(1, int(std::ceil(full.width() / std::ldexp(1.0, int(level))))),
                                                        std::max(1, int(std::ceil(full.height() / std::ldexp(1.0, int(level)))))));
        }
    }

    void printSizeFitsTheBoxInModeTwoOnly_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<int>("resolution");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("inches, width decides") << 4.0 << 4.0 << "inches" << 100 << QSize(400, 200);
        QTest::newRow("cm, height decides") << 20.0 << 2.54 << "cm" << 300 << QSize(600, 300);
        QTest::newRow("pixels, enlarged") << 1000.0 << 900.0 << "pixels" << 72 << QSize(1000, 500);
        QTest::newRow("unknown unit: full size") << 4.0 << 4.0 << "furlongs" << 100 << QSize(200, 100);
    }

    void printSizeFitsTheBoxInModeTwoOnly()
    {
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(QString, unit);
        QFETCH(int, resolution);
        QFETCH(QSize, expected);
        const ImagePtr image = makeImage(200, 100, false, [](int x, int y, int) { return (x + y) % 256; });
        Agent agent(*image);
        Dictionary print;
        print.SetValueForKey("CropActive", Value(true));
        print.SetValueForKey("OutputWidth", Value(width));
        print.SetValueForKey("OutputHeight", Value(height));
        print.SetValueForKey("OutputSizeUnit", Value(unit.toStdString()));
        print.SetValueForKey("OutputResolution", Value(resolution));
        print.SetValueForKey("OutputResolutionUnit", Value("dpi"));
        print.SetValueForKey("OutputInterpolation", Value("Bicubic"));
        Target* target = agent.AddTarget(kCorrectionModeFinal, print, m_filter.get());
        QCOMPARE(outputSize(*target, 0), expected);
        QCOMPARE(outputSize(*agent.AddTarget(kCorrectionModePreview, print, m_filter.get()), 0), QSize(200, 100));
        const PixelDataPtr rendered = renderWhole(*target, 0);
        QVERIFY(rendered);
        // The picture is scaled, not cut: its middle shows the input's middle.
        const int middle = int(sampleAt(*rendered, expected.width() / 2, expected.height() / 2, 0));
        QVERIFY(std::abs(middle - 150) <= 3);
    }

    void projectionForwardThenBackReturnsThePoint_data()
    {
        QTest::addColumn<Dictionary>("parameters");
        QTest::addColumn<int>("mode");
        QTest::newRow("identity") << Dictionary() << 3;
        QTest::newRow("keystone") << keystone() << 3;
        for (int turn = 0; turn < 4; ++turn)
            QTest::newRow(qPrintable(QString("keystone, horizon, crop, %1 turns").arg(turn))) << keystoneHorizonCrop(turn) << 3;
        QTest::newRow("lens stage and keystone") << [] { Dictionary d = keystone(); d.AddEntriesFromDictionary(lensStage()); return d; }() << 3;
        Dictionary print = keystoneHorizonCrop(1);
        print.SetValueForKey("OutputWidth", Value(333.0));
        print.SetValueForKey("OutputHeight", Value(333.0));
        print.SetValueForKey("OutputSizeUnit", Value("pixels"));
        QTest::newRow("print size") << print << 2;
    }

    void projectionForwardThenBackReturnsThePoint()
    {
        QFETCH(Dictionary, parameters);
        QFETCH(int, mode);
        const ImagePtr image = noiseImage(240, 160);
        Agent agent(*image);
        const Target* target = agent.AddTarget(CorrectionMode(mode), parameters, m_filter.get());
        for (unsigned int level = 0; level < 3; ++level)
            for (double y = 20.5; y < 160; y += 29)
                for (double x = 30.25; x < 240; x += 37) {
                    double ox = 0, oy = 0, ix = 0, iy = 0;
                    QVERIFY(target->ProjectPointFromInputToOutputImage(level, x, y, ox, oy));
                    QVERIFY(target->ProjectPointFromOutputToInputImage(level, ox, oy, ix, iy));
                    QVERIFY2(std::hypot(ix - x, iy - y) < 1e-6, qPrintable(QString("(%1, %2) came back as (%3, %4)")
                             .arg(x).arg(y).arg(ix, 0, 'g', 12).arg(iy, 0, 'g', 12)));
                    float fx = 0, fy = 0;
                    QVERIFY(target->ProjectPointFromInputToOutputImage(level, float(x), float(y), fx, fy));
                    QVERIFY(std::abs(fx - ox) < 1e-3 && std::abs(fy - oy) < 1e-3);
                }
    }

    void aRenderedDotLandsWhereTheProjectionSays_data()
    {
        QTest::addColumn<Dictionary>("parameters");
        QTest::addColumn<int>("mode");
        for (int turn = 0; turn < 4; ++turn) {
            QTest::newRow(qPrintable(QString("turned %1").arg(turn))) << with(Dictionary(), "OutputRotation", Value(turn)) << 3;
            QTest::newRow(qPrintable(QString("keystone, horizon, crop, turned %1").arg(turn))) << keystoneHorizonCrop(turn) << 3;
        }
        QTest::newRow("bicubic keystone") << keystone() << 2;
        QTest::newRow("lens stage") << lensStage() << 3;
    }

    void aRenderedDotLandsWhereTheProjectionSays()
    {
        QFETCH(Dictionary, parameters);
        QFETCH(int, mode);
        // An 8 x 8 dot on whole cells of the first pyramid levels.
        const int left = 200, top = 136;
        const ImagePtr image = makeImage(400, 300, false, [&](int x, int y, int) {
            return x >= left && x < left + 8 && y >= top && y < top + 8 ? 255 : 0;
        });
        Agent agent(*image);
        Target* target = agent.AddTarget(CorrectionMode(mode), parameters, m_filter.get());
        for (unsigned int level = 0; level < 3; ++level) {
            const PixelDataPtr rendered = renderWhole(*target, level);
            QVERIFY(rendered);
            double mass = 0, sx = 0, sy = 0;
            for (unsigned int y = 0; y < rendered->GetHeight(); ++y)
                for (unsigned int x = 0; x < rendered->GetWidth(); ++x) {
                    const double v = sampleAt(*rendered, int(x), int(y), 1);
                    mass += v;
                    sx += v * (x + 0.5);
                    sy += v * (y + 0.5);
                }
            QVERIFY(mass > 0);
            double px = 0, py = 0;
            QVERIFY(target->ProjectPointFromInputToOutputImage(level, left + 4.0, top + 4.0, px, py));
            QVERIFY2(std::hypot(sx / mass - px, sy / mass - py) < 0.5,
                     qPrintable(QString("level %1: dot at (%2, %3), projection (%4, %5)")
                                .arg(level).arg(sx / mass).arg(sy / mass).arg(px).arg(py)));
        }
    }

    void cropAndTurnsCutTheRectangleTheCropKeysName_data()
    {
        QTest::addColumn<int>("turns");
        for (int turns = 0; turns < 4; ++turns)
            QTest::newRow(qPrintable(QString("%1 turns").arg(turns))) << turns;
    }

    // The crop is stored in the frame of the unturned image; what the user
    // sees is the turned picture cut at that rectangle turned the same way.
    void cropAndTurnsCutTheRectangleTheCropKeysName()
    {
        QFETCH(int, turns);
        const ImagePtr image = noiseImage(200, 100);
        Agent agent(*image);
        const Dictionary turned = with(Dictionary(), "OutputRotation", Value(turns));
        Dictionary cropped = turned;
        cropped.SetValueForKey("CropActive", Value(true));
        cropped.SetValueForKey("CropAuto", Value(false));
        cropped.SetValueForKey("CropRect", Value(numbers({0.1, 0.2, 0.5, 0.4})));
        const PixelDataPtr whole = renderWhole(*agent.AddTarget(kCorrectionModePreview, turned, m_filter.get()), 0);
        const PixelDataPtr cut = renderWhole(*agent.AddTarget(kCorrectionModePreview, cropped, m_filter.get()), 0);
        QVERIFY(whole && cut);
        // The displayed-frame rectangle of the crop, turned as the process engine turns it.
        const double x = 0.1, y = 0.2, w = 0.5, h = 0.4;
        const QRectF displayed[4] = {{x, y, w, h}, {1 - y - h, x, h, w}, {1 - x - w, 1 - y - h, w, h}, {y, 1 - x - w, h, w}};
        const QRectF& r = displayed[turns];
        const QRect expected(int(std::lround(r.x() * whole->GetWidth())), int(std::lround(r.y() * whole->GetHeight())),
                             int(std::lround(r.width() * whole->GetWidth())), int(std::lround(r.height() * whole->GetHeight())));
        QCOMPARE(QSize(int(cut->GetWidth()), int(cut->GetHeight())), expected.size());
        QVERIFY(samePixels(*cut, *whole, expected.x(), expected.y()));
    }

    void outsideTheInputIsBlack()
    {
        const ImagePtr image = makeImage(160, 120, false, [](int, int, int) { return 200; });
        Agent agent(*image);
        Target* target = agent.AddTarget(kCorrectionModePreview, with(with(Dictionary(), "KeystoningActive", Value(true)),
                                                                      "KeystoningHorizon", Value(20.0)), m_filter.get());
        const PixelDataPtr rendered = renderWhole(*target, 0);
        QVERIFY(rendered);
        const int w = int(rendered->GetWidth()), h = int(rendered->GetHeight());
        QCOMPARE(int(sampleAt(*rendered, 0, 0, 0)), 0);
        QCOMPARE(int(sampleAt(*rendered, w - 1, h - 1, 2)), 0);
        QCOMPARE(int(sampleAt(*rendered, w / 2, h / 2, 1)), 200);
    }

    void reducedRendersDoNotAlias_data()
    {
        QTest::addColumn<Dictionary>("parameters");
        QTest::addColumn<int>("mode");
        QTest::newRow("straight") << Dictionary() << 3;
        QTest::newRow("keystone, bilinear") << keystone() << 3;
        QTest::newRow("keystone, horizon, crop, bicubic") << keystoneHorizonCrop(1) << 2;
    }

    // One-pixel stripes seen from afar are grey, not a coarser pattern of stripes.
    void reducedRendersDoNotAlias()
    {
        QFETCH(Dictionary, parameters);
        QFETCH(int, mode);
        const ImagePtr image = makeImage(512, 384, false, [](int x, int y, int) { return (x + y) % 2 ? 255 : 0; });
        Agent agent(*image);
        Target* target = agent.AddTarget(CorrectionMode(mode), parameters, m_filter.get());
        for (unsigned int level = 2; level < 4; ++level) {
            const PixelDataPtr rendered = renderWhole(*target, level);
            QVERIFY(rendered);
            int darkest = 255, lightest = 0;
            // The middle, away from the black outside.
            const int w = int(rendered->GetWidth()), h = int(rendered->GetHeight());
            for (int y = h / 4; y < 3 * h / 4; ++y)
                for (int x = w / 4; x < 3 * w / 4; ++x) {
                    darkest = std::min(darkest, int(sampleAt(*rendered, x, y, 0)));
                    lightest = std::max(lightest, int(sampleAt(*rendered, x, y, 0)));
                }
            QVERIFY2(darkest >= 96 && lightest <= 160, qPrintable(QString("level %1: %2 to %3").arg(level).arg(darkest).arg(lightest)));
        }
    }

    void tinyImagesRenderAtEveryLevel()
    {
        for (const QSize size : {QSize(1, 1), QSize(2, 3), QSize(5, 2)}) {
            const ImagePtr image = noiseImage(size.width(), size.height());
            Agent agent(*image);
            for (const int mode : {2, 3})
                for (const Dictionary& parameters : {Dictionary(), keystoneHorizonCrop(1), lensStage()}) {
                    Target* target = agent.AddTarget(CorrectionMode(mode), parameters, m_filter.get());
                    for (unsigned int level = 0; level < 3; ++level)
                        QVERIFY(renderWhole(*target, level));
                }
        }
    }

    void sixteenBitSamplesGoInAndOut_data()
    {
        // 8-bit RGB interpolates on its own vector path where the processor
        // allows; 16-bit samples show what the portable path computes.
        QTest::addColumn<int>("mode");
        QTest::newRow("bicubic") << int(kCorrectionModeFinal);
        QTest::newRow("bilinear") << int(kCorrectionModePreview);
    }

    void sixteenBitSamplesGoInAndOut()
    {
        QFETCH(int, mode);
        const ImagePtr narrow = noiseImage(96, 64, false);
        const ImagePtr wide = noiseImage(96, 64, true); // the same values times 257
        Agent narrowAgent(*narrow), wideAgent(*wide);
        Target* identity = wideAgent.AddTarget(CorrectionMode(mode), Dictionary(), m_filter.get());
        const PixelDataPtr copy = renderWhole(*identity, 0, kSampleTypeUInt16);
        QVERIFY(copy);
        QCOMPARE(sampleAt<std::uint16_t>(*copy, 17, 9, 1), std::uint16_t(sampleAt(*renderWhole(*narrowAgent.AddTarget(
                     CorrectionMode(mode), Dictionary(), m_filter.get()), 0), 17, 9, 1) * 257));

        const PixelDataPtr wideOut = renderWhole(*wideAgent.AddTarget(CorrectionMode(mode), keystone(), m_filter.get()), 0, kSampleTypeUInt16);
        const PixelDataPtr narrowOut = renderWhole(*narrowAgent.AddTarget(CorrectionMode(mode), keystone(), m_filter.get()), 0);
        const PixelDataPtr wideToNarrow = renderWhole(*wideAgent.AddTarget(CorrectionMode(mode), keystone(), m_filter.get()), 0);
        const PixelDataPtr hostRange = renderWhole(*narrowAgent.AddTarget(CorrectionMode(mode), keystone(), m_filter.get()), 0,
                                                   kSampleTypeUInt16Host);
        const PixelDataPtr planar = renderWhole(*narrowAgent.AddTarget(CorrectionMode(mode), keystone(), m_filter.get()), 0,
                                                kSampleTypeUInt8, kSampleLayoutRGBPlanar);
        QVERIFY(wideOut && narrowOut && wideToNarrow && hostRange && planar);
        int worst = 0;
        for (unsigned int y = 0; y < narrowOut->GetHeight(); ++y)
            for (unsigned int x = 0; x < narrowOut->GetWidth(); ++x)
                for (int c = 0; c < 3; ++c) {
                    const int expected = sampleAt(*narrowOut, int(x), int(y), c);
                    worst = std::max(worst, std::abs(int(std::lround(sampleAt<std::uint16_t>(*wideOut, int(x), int(y), c) / 257.0)) - expected));
                    worst = std::max(worst, std::abs(int(sampleAt(*wideToNarrow, int(x), int(y), c)) - expected));
                    worst = std::max(worst, std::abs(int(std::lround(sampleAt<std::uint16_t>(*hostRange, int(x), int(y), c) / 128.5)) - expected));
                    const auto* plane = static_cast<const std::uint8_t*>(planar->Buffer(c)) + y * planar->GetRowBytes();
                    worst = std::max(worst, std::abs(int(plane[x]) - expected));
                }
        QVERIFY2(worst <= 1, qPrintable(QString("largest difference %1").arg(worst)));
    }

    void colourConversionMatchesLcms()
    {
        // An image in a wide-gamut profile of our own making.
        const cmsCIExyY white{0.3127, 0.3290, 1.0};
        const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
        cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
        cmsToneCurve* curves[3] = {gamma, gamma, gamma};
        cmsHPROFILE wideGamut = cmsCreateRGBProfile(&white, &primaries, curves);
        cmsFreeToneCurve(gamma);
        cmsUInt32Number size = 0;
        cmsSaveProfileToMem(wideGamut, nullptr, &size);
        std::vector<unsigned char> bytes(size);
        cmsSaveProfileToMem(wideGamut, bytes.data(), &size);
        const ImagePtr image = noiseImage(48, 32);
        image->SetICCProfile(RefPtr<ColorSpace>::Adopt(new ColorSpace(bytes.data(), bytes.size())).get());

        cmsCloseProfile(wideGamut);
        const QString profilePath = QDir::temp().filePath("navik-engine-srgb.icc");
        {
            RefPtr<ColorSpace> srgbProfile = RefPtr<ColorSpace>::Adopt(ColorSpace::CreateSRGB());
            QFile file(profilePath);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(reinterpret_cast<const char*>(srgbProfile->GetData()), qint64(srgbProfile->GetSize()));
        }
        // What lcms2 makes of the image's profile bytes and the target profile.
        auto expectedFor = [&](cmsHPROFILE target) {
            cmsHPROFILE source = cmsOpenProfileFromMem(bytes.data(), size);
            cmsHTRANSFORM transform = cmsCreateTransform(source, TYPE_RGB_8, target, TYPE_RGB_8, INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE);
            std::vector<unsigned char> expected(48 * 32 * 3);
            for (int y = 0; y < 32; ++y)
                cmsDoTransform(transform, static_cast<const unsigned char*>(image->GetBuffer(0)) + y * image->GetRowBytes(),
                               expected.data() + y * 48 * 3, 48);
            cmsDeleteTransform(transform);
            cmsCloseProfile(source);
            cmsCloseProfile(target);
            return expected;
        };
        const std::vector<unsigned char> asSRGB = expectedFor(cmsCreate_sRGBProfile());
        const std::vector<unsigned char> asFile = expectedFor(cmsOpenProfileFromFile(qPrintable(profilePath), "r"));
        const std::vector<unsigned char> unchanged = [&] {
            std::vector<unsigned char> rows(48 * 32 * 3);
            for (int y = 0; y < 32; ++y)
                std::memcpy(rows.data() + y * 48 * 3, static_cast<const unsigned char*>(image->GetBuffer(0)) + y * image->GetRowBytes(), 48 * 3);
            return rows;
        }();

        Agent agent(*image);
        struct Case { std::string profile; const std::vector<unsigned char>& expected; };
        for (const Case& c : {Case{"sRGB", asSRGB}, Case{profilePath.toStdString(), asFile}, Case{"AsShot", unchanged},
                              Case{"", unchanged}, Case{"/no/such/profile.icc", unchanged}}) {
            Target* target = agent.AddTarget(kCorrectionModeFinal, with(Dictionary(), "OutputICCProfile", Value(c.profile)), m_filter.get());
            const PixelDataPtr rendered = renderWhole(*target, 0);
            QVERIFY(rendered);
            bool same = true;
            for (int y = 0; y < 32; ++y)
                same = same && std::memcmp(static_cast<const unsigned char*>(rendered->Buffer(0)) + y * rendered->GetRowBytes(),
                                           c.expected.data() + y * 48 * 3, 48 * 3) == 0;
            QVERIFY2(same, c.profile.c_str());
        }
        QVERIFY(asSRGB != unchanged);
        QFile::remove(profilePath);
    }

    void transformOutValuesAreNeverEmpty()
    {
        const ImagePtr image = noiseImage(120, 80);
        Agent agent(*image);
        for (const Dictionary& parameters : {Dictionary(), keystoneHorizonCrop(1)}) {
            const Target* target = agent.AddTarget(kCorrectionModePreview, parameters, m_filter.get());
            Dictionary out;
            QVERIFY(target->CollectPreparedParameters(out, 0));
            const ValueArray forward = out.GetValueForKey("KeystoningUpdatedHomographyForward").AsValueArray();
            const ValueArray backward = out.GetValueForKey("KeystoningUpdatedHomographyBackward").AsValueArray();
            QCOMPARE(forward.Count(), 9u);
            QCOMPARE(backward.Count(), 9u);
            QCOMPARE(out.GetValueForKey("CropRectAuto").AsValueArray().Count(), 4u);
            // Row by row, x' = (m0 x + m1 y + m2) / (m6 x + m7 y + m8): forward then backward is the identity.
            auto map = [](const ValueArray& m, double x, double y) {
                const double w = m.GetValueAtIndex(6).AsDouble() * x + m.GetValueAtIndex(7).AsDouble() * y + m.GetValueAtIndex(8).AsDouble();
                return QPointF((m.GetValueAtIndex(0).AsDouble() * x + m.GetValueAtIndex(1).AsDouble() * y + m.GetValueAtIndex(2).AsDouble()) / w,
                               (m.GetValueAtIndex(3).AsDouble() * x + m.GetValueAtIndex(4).AsDouble() * y + m.GetValueAtIndex(5).AsDouble()) / w);
            };
            const QPointF there = map(forward, 30, 50);
            const QPointF back = map(backward, there.x(), there.y());
            QVERIFY(std::hypot(back.x() - 30, back.y() - 50) < 1e-9);
            QCOMPARE(target->GetOutputParams(0, true).GetValueForKey("CropRectAuto").AsValueArray(),
                     out.GetValueForKey("CropRectAuto").AsValueArray());
        }
        Dictionary other;
        QVERIFY(!agent.AddTarget(kCorrectionModePreview, Dictionary(), m_filter.get())->CollectPreparedParameters(other, 1));
    }

    void histogramOfPreviewsAndScheduledRenders()
    {
        const ImagePtr image = makeImage(128, 64, false, [](int x, int, int c) { return c == 0 ? 255 : x < 64 ? 0 : 100; });
        Agent agent(*image);
        Target* target = agent.AddTarget(kCorrectionModePreview, Dictionary(), m_filter.get());
        QVERIFY(renderWhole(*target, 1));
        const Dictionary histogram = target->GetOutputParams(1, false).GetValueForKey("HistogramData").AsDictionary();
        const ValueArray red = histogram.GetValueForKey("Red").AsValueArray();
        const ValueArray green = histogram.GetValueForKey("Green").AsValueArray();
        QCOMPARE(red.Count(), 256u);
        QCOMPARE(histogram.GetValueForKey("Luminance").AsValueArray().Count(), 256u);
        QCOMPARE(red.GetValueAtIndex(255).AsDouble(), 64.0 * 32);
        QCOMPARE(green.GetValueAtIndex(0).AsDouble(), 32.0 * 32);
        QCOMPARE(green.GetValueAtIndex(100).AsDouble(), 32.0 * 32);
        QCOMPARE(target->GetOutputParams(2, false).Count(), 0u); // no render at that level yet

        // The way the process engine asks for a histogram: a named target, a graph, the output parameters.
        QVERIFY(agent.AddTarget("TestHisto", kCorrectionModePreview, Dictionary(), m_filter.get()));
        ThreadGraph graph;
        Progress progress;
        const Region everything(0, 0, 32704, 32704);
        QVERIFY(!agent.ScheduleProcess("TestHisto", 2, &everything, "", graph, &progress).empty());
        QVERIFY(graph.Run(&progress, ""));
        const ValueArray blue = agent.GetOutputParameters("TestHisto", 2).GetValueForKey("HistogramData")
                                    .AsDictionary().GetValueForKey("Blue").AsValueArray();
        QCOMPARE(blue.GetValueAtIndex(0).AsDouble() + blue.GetValueAtIndex(100).AsDouble(), 32.0 * 16);
        QVERIFY(agent.UpdateParameters("TestHisto", with(Dictionary(), "OutputRotation", Value(1))));
        QVERIFY(!agent.UpdateParameters("Nothing", Dictionary()));
        QCOMPARE(agent.GetOutputParameters("TestHisto", 2).Count(), 0u); // new parameters, no histogram yet
    }

    void targetsAndPyramidsAreReleased()
    {
        const ImagePtr image = noiseImage(640, 480);
        {
            Agent agent(*image);
            Target* first = agent.AddTarget(kCorrectionModePreview, keystone(), m_filter.get());
            QVERIFY(renderWhole(*first, 2));
            QVERIFY(Navik::Engine::GetMemoryUsage().tilePoolBytes > 0);
            QVERIFY(agent.RemoveTarget(first));
            QVERIFY(!agent.RemoveTarget(first));
            QVERIFY(agent.AddTarget("named", kCorrectionModePreview, Dictionary(), m_filter.get()));
            QVERIFY(agent.AddTarget("named", kCorrectionModeFinal, Dictionary(), m_filter.get())); // replaces
            QVERIFY(agent.RemoveTarget("named"));
            QVERIFY(!agent.RemoveTarget("named"));
        }
        QCOMPARE(Navik::Engine::GetMemoryUsage().tilePoolBytes, std::uint64_t(0));
        QCOMPARE(m_filter->GetRetainCount(), 1);
    }

    void thePoolLimitsAreCaps()
    {
        Navik::Engine::Configuration small;
        small.tilePoolMaxBytes = 40'000; // room for a level of one agent, not of two
        small.algorithmPoolMaxBytes = 0;
        Navik::Engine::Initialize(small);
        const ImagePtr image = noiseImage(320, 240);
        Agent first(*image), second(*image);
        Target* a = first.AddTarget(kCorrectionModePreview, Dictionary(), m_filter.get());
        Target* b = second.AddTarget(kCorrectionModePreview, Dictionary(), m_filter.get());
        const PixelDataPtr before = renderWhole(*a, 2);
        QVERIFY(renderWhole(*b, 2));
        QVERIFY(Navik::Engine::GetMemoryUsage().tilePoolBytes <= small.tilePoolMaxBytes);
        const PixelDataPtr again = renderWhole(*a, 2); // its levels were dropped and are built again
        QVERIFY(samePixels(*again, *before, 0, 0));

        // Freed large buffers are kept for the next one of about their size, within the algorithm pool.
        const std::size_t large = 3u << 20;
        RefPtr<MemoryBlock>::Adopt(MemoryBlock::Allocate(large));
        QCOMPARE(Navik::Engine::GetMemoryUsage().algorithmPoolBytes, std::uint64_t(0));
        Navik::Engine::Initialize({});
        RefPtr<MemoryBlock>::Adopt(MemoryBlock::Allocate(large));
        QCOMPARE(Navik::Engine::GetMemoryUsage().algorithmPoolBytes, std::uint64_t(large));
        {
            const RefPtr<MemoryBlock> reused = RefPtr<MemoryBlock>::Adopt(MemoryBlock::Allocate(large - 4096));
            QVERIFY(reused);
            QCOMPARE(Navik::Engine::GetMemoryUsage().algorithmPoolBytes, std::uint64_t(0));
            std::memset(reused->GetData(), 1, reused->GetSize());
        }
        Navik::Engine::Finalize();
        QCOMPARE(Navik::Engine::GetMemoryUsage().algorithmPoolBytes, std::uint64_t(0));
        Navik::Engine::Initialize({});
    }

    void twoAgentsRenderAtOnce()
    {
        const ImagePtr image = noiseImage(400, 300);
        Agent first(*image), second(*image);
        Target* a = first.AddTarget(kCorrectionModeFinal, keystoneHorizonCrop(2), m_filter.get());
        Target* b = second.AddTarget(kCorrectionModePreview, keystone(), m_filter.get());
        const PixelDataPtr expectedA = renderWhole(*a, 1), expectedB = renderWhole(*b, 0);
        PixelDataPtr gotA, gotB;
        std::thread other([&] { for (int i = 0; i < 5; ++i) gotA = renderWhole(*a, 1); });
        for (int i = 0; i < 5; ++i)
            gotB = renderWhole(*b, 0);
        other.join();
        QVERIFY(samePixels(*gotA, *expectedA, 0, 0));
        QVERIFY(samePixels(*gotB, *expectedB, 0, 0));
    }

    void registeredLensOptionsRestrictTheStage()
    {
        const ImagePtr image = noiseImage(90, 60);
        Agent agent(*image);
        Dictionary anamorphosis;
        anamorphosis.SetValueForKey("AnamorphosisActive", Value(true));
        anamorphosis.SetValueForKey("AnamorphosisType", Value("Spherical"));
        const PixelDataPtr plain = renderWhole(*agent.AddTarget(kCorrectionModePreview, Dictionary(), m_filter.get()), 0);
        QVERIFY(!samePixels(*renderWhole(*agent.AddTarget(kCorrectionModePreview, anamorphosis, m_filter.get()), 0), *plain, 0, 0));
        Navik::Engine::RegisterCorrection(new DistortionCorrection(true, false));
        Navik::Engine::RegisterCorrection(new Keystoning);
        QVERIFY(samePixels(*renderWhole(*agent.AddTarget(kCorrectionModePreview, anamorphosis, m_filter.get()), 0), *plain, 0, 0));
        QVERIFY(samePixels(*renderWhole(*agent.AddTarget(kCorrectionModePreview, lensStage(), m_filter.get()), 0), *plain, 0, 0));
        Navik::Engine::Finalize();
        QVERIFY(!samePixels(*renderWhole(*agent.AddTarget(kCorrectionModePreview, lensStage(), m_filter.get()), 0), *plain, 0, 0));
    }

    void theCameraProfileComesFromTheExifAndCanBeDropped()
    {
        const ImagePtr image = noiseImage(300, 200);
        RefPtr<Exif> exif = RefPtr<Exif>::Adopt(new Exif);
        QVERIFY(exif->SetValue(Exif::kMetaDataExifFocalLengthIn35mmFilmKey, Value(100u)));
        image->SetExif(exif.get());
        Agent agent(*image);
        QVERIFY(agent.GetProfile());
        QCOMPARE(agent.GetProfile()->GetFocalLength35mm(), 100.0);
        const Target* target = agent.AddTarget(kCorrectionModePreview, with(keystone(), "KeystoningUpDown", Value(60)), m_filter.get());
        const QSize withProfile = outputSize(*target, 0);
        agent.SetProfile(nullptr);
        QVERIFY(!agent.GetProfile());
        QVERIFY(outputSize(*target, 0) != withProfile); // the default 28 mm lens tilts differently

        const PixelDataPtr buffer = pixels(kSampleTypeUInt8, kSampleLayoutRGBInterleaved, 64, 48);
        Agent fromPixels(*buffer, *exif);
        QCOMPARE(fromPixels.GetProfile()->GetFocalLength35mm(), 100.0);
        QVERIFY(fromPixels.AddTarget(kCorrectionModePreview, Dictionary(), m_filter.get()));
    }

    void unusableOutputsAndImagesFail()
    {
        const ImagePtr image = noiseImage(64, 48);
        Agent agent(*image);
        Target* target = agent.AddTarget(kCorrectionModePreview, Dictionary(), m_filter.get());
        const PixelDataPtr tooSmall = pixels(kSampleTypeUInt8, kSampleLayoutRGBInterleaved, 10, 10);
        QVERIFY(!target->ComputeScaledOutputImage(tooSmall.get(), 0, nullptr));
        QVERIFY(!target->ComputeScaledOutputImage(nullptr, 0, nullptr));
        const PixelDataPtr failed = pixels(kSampleTypeUInt8, kSampleLayoutRGBInterleaved, 0, 10);
        QVERIFY(!target->ComputeScaledOutputSubImageBitShiftApprox(failed.get(), 0, 0, 0, 10, 10, nullptr));
        QVERIFY(!target->ComputeScaledOutputSubImageBitShiftApprox(tooSmall.get(), 1, 0, 0, 1, 1, nullptr)); // empty at that level
        Progress cancelled;
        cancelled.Cancel();
        const PixelDataPtr output = pixels(kSampleTypeUInt8, kSampleLayoutRGBInterleaved, 64, 48);
        QVERIFY(!target->ComputeScaledOutputImage(output.get(), 0, &cancelled));

        const ImagePtr header = adopt(new TileImage(64, 48, 192, PixelFormat(kPixelTypeRGB, kPixelSize8, true), {}));
        Agent empty(*header);
        QVERIFY(!empty.AddTarget(kCorrectionModePreview, Dictionary(), m_filter.get()));
    }
};

QTEST_GUILESS_MAIN(TestNavikEngine)
#include "tst_navikengine.moc"
