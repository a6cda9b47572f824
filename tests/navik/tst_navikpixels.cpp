// Pixel buffers, images over them, pixel conversion, the thread pool, the
// camera's field of view and the logging hooks.

#include <Navik/CameraBody.h>
#include <Navik/Exif.h>
#include <Navik/FileFormat.h>
#include <Navik/Image.h>
#include <Navik/Logging.h>
#include <Navik/PixelData.h>
#include <Navik/Progress.h>
#include <Navik/ThreadGraph.h>

#include <QtTest>

#include <sched.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <stdexcept>

using namespace Navik;

namespace {

using PixelDataPtr = std::shared_ptr<PixelData>;

PixelDataPtr create(SampleType type, SampleLayout layout, unsigned int width, unsigned int height)
{
    return PixelDataPtr(PixelData::Create(type, layout, width, height));
}

} // namespace

class TestNavikPixels : public QObject
{
    Q_OBJECT

private slots:
    void createGivesAlignedRowsOrAFailedStatus_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("layout");
        QTest::addColumn<uint>("width");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("planes");
        QTest::newRow("8-bit RGB") << 1 << 6 << 100u << 0 << 1;
        QTest::newRow("16-bit RGB") << 2 << 6 << 3u << 0 << 1;
        QTest::newRow("host 16-bit planar") << 3 << 5 << 7u << 0 << 3;
        QTest::newRow("grey") << 1 << 1 << 1u << 0 << 1;
        QTest::newRow("zero width") << 1 << 6 << 0u << 1 << 0;
        QTest::newRow("unknown layout") << 1 << 4 << 10u << 1 << 0;
        QTest::newRow("unknown type") << 9 << 6 << 10u << 1 << 0;
    }

    void createGivesAlignedRowsOrAFailedStatus()
    {
        QFETCH(int, type);
        QFETCH(int, layout);
        QFETCH(uint, width);
        QFETCH(int, status);
        QFETCH(int, planes);
        const PixelDataPtr data = create(SampleType(type), SampleLayout(layout), width, 5);
        QVERIFY(data);
        QCOMPARE(int(data->GetStatus()), status);
        // The status is the object's leading byte.
        QCOMPARE(int(*reinterpret_cast<const std::uint8_t*>(data.get())), status);
        QCOMPARE(int(data->GetPlaneCount()), planes);
        for (int plane = 0; plane < planes; ++plane) {
            QCOMPARE(reinterpret_cast<std::uintptr_t>(data->Buffer(plane)) % 64, std::uintptr_t(0));
            QCOMPARE(data->GetRowBytes() % 64, std::size_t(0));
        }
        QVERIFY(!data->Buffer(planes));
    }

    void impossibleSizesFailWithoutCrashing()
    {
        const PixelDataPtr data = create(kSampleTypeUInt16, kSampleLayoutRGBPlanar, 4000000000u, 4000000000u);
        QCOMPARE(int(data->GetStatus()), int(PixelData::kStatusOutOfMemory));
    }

    void imageOverPixelDataOutlivesIt()
    {
        PixelDataPtr data = create(kSampleTypeUInt16, kSampleLayoutRGBInterleaved, 4, 2);
        static_cast<std::uint16_t*>(data->Buffer(0))[0] = 1234;
        Image* image = CreateImageFromPixelData(*data);
        QVERIFY(image);
        QCOMPARE(image->GetPixelFormat(), PixelFormat(kPixelTypeRGB, kPixelSize16, true));
        QCOMPARE(image->GetRowBytes(), data->GetRowBytes());
        data.reset();
        // The memory is shared, not freed: the sanitizer would catch a read after free.
        QCOMPARE(static_cast<const std::uint16_t*>(image->GetBuffer(0))[0], std::uint16_t(1234));
        QVERIFY(image->GetExif());
        image->Release();
    }

    void noOwnershipWrapsWithoutCopying()
    {
        std::vector<std::uint8_t> host(3 * 4 * 2 + 8);
        void* plane = host.data();
        PixelDataPtr data(PixelData::CreateNoOwnership(&plane, 1, kSampleTypeUInt8, kSampleLayoutRGBInterleaved, 4, 2,
                                                       16));
        QCOMPARE(int(data->GetStatus()), 0);
        QCOMPARE(data->Buffer(0), plane);
        Image* image = CreateImageFromPixelData(*data);
        host[16] = 77;
        QCOMPARE(static_cast<const std::uint8_t*>(image->GetBuffer(0))[16], std::uint8_t(77));
        image->Release();

        PixelDataPtr tooNarrow(
            PixelData::CreateNoOwnership(&plane, 1, kSampleTypeUInt8, kSampleLayoutRGBInterleaved, 4, 2, 11));
        QCOMPARE(int(tooNarrow->GetStatus()), int(PixelData::kStatusInvalidArgument));
        QVERIFY(!CreateImageFromPixelData(*tooNarrow));
        PixelDataPtr wrongPlanes(
            PixelData::CreateNoOwnership(&plane, 1, kSampleTypeUInt8, kSampleLayoutRGBPlanar, 4, 2, 16));
        QCOMPARE(int(wrongPlanes->GetStatus()), int(PixelData::kStatusInvalidArgument));
    }

    void copyConvertsBetweenFormats()
    {
        // Planar 16-bit (three samples per pixel) into the 32-bit layout a toolkit image uses.
        std::uint16_t planes[3][2] = {{65535, 0}, {32896, 257}, {0, 65535}};
        TileImage source(2, 1, 4, PixelFormat(kPixelTypeRGB, kPixelSize16, false), {planes[0], planes[1], planes[2]});
        std::uint32_t words[2] = {};
        TileImage xrgb(2, 1, 8, PixelFormat(kPixelTypeXRGB32, kPixelSize8, true), {words});
        QVERIFY(xrgb.Copy(source));
        QCOMPARE(words[0], 0xffff8000u);
        QCOMPARE(words[1], 0xff0001ffu);

        // 8 -> 16 -> 8 gives every value back; the host's range tops out at 32768.
        std::uint8_t bytes[256];
        for (int i = 0; i < 256; ++i)
            bytes[i] = std::uint8_t(i);
        TileImage grey8(256, 1, 256, PixelFormat(kPixelTypeGray, kPixelSize8, true), {bytes});
        std::uint16_t wide[256];
        TileImage host(256, 1, 512, PixelFormat(kPixelTypeGray, kPixelSize16Host, true), {wide});
        QVERIFY(host.Copy(grey8));
        QCOMPARE(wide[255], std::uint16_t(32768));
        QCOMPARE(wide[0], std::uint16_t(0));
        std::uint8_t back[256];
        TileImage grey8Again(256, 1, 256, PixelFormat(kPixelTypeGray, kPixelSize8, true), {back});
        QVERIFY(grey8Again.Copy(host));
        QCOMPARE(QByteArray(reinterpret_cast<char*>(back), 256), QByteArray(reinterpret_cast<char*>(bytes), 256));
        // Host samples beyond its range are white, not wrapped round.
        std::uint16_t beyond[3] = {32769, 40000, 65535};
        TileImage hostBeyond(3, 1, 6, PixelFormat(kPixelTypeGray, kPixelSize16Host, true), {beyond});
        TileImage grey8Beyond(3, 1, 3, PixelFormat(kPixelTypeGray, kPixelSize8, true), {back});
        QVERIFY(grey8Beyond.Copy(hostBeyond));
        QCOMPARE(QByteArray(reinterpret_cast<char*>(back), 3), QByteArray(3, char(255)));

        TileImage smaller(1, 1, 4, PixelFormat(kPixelTypeXRGB32, kPixelSize8, true), {words});
        QVERIFY(!smaller.Copy(source));
        TileImage cmyk(2, 1, 8, PixelFormat(kPixelTypeCMYK, kPixelSize8, true), {words});
        QVERIFY(!cmyk.Copy(source));
    }

    void lowScale_data()
    {
        QTest::addColumn<uint>("width");
        QTest::addColumn<uint>("height");
        QTest::addColumn<uint>("level");
        QTest::newRow("small") << 640u << 480u << 0u;
        QTest::newRow("exactly 2048") << 2048u << 100u << 0u;
        QTest::newRow("2049") << 2049u << 100u << 1u;
        QTest::newRow("24 MP") << 6000u << 4000u << 2u;
        QTest::newRow("portrait") << 3000u << 8200u << 3u;
        QTest::newRow("8193 rounds down") << 3000u << 8193u << 2u;
    }

    void lowScale()
    {
        QFETCH(uint, width);
        QFETCH(uint, height);
        QFETCH(uint, level);
        TileImage image(width, height, 0, PixelFormat(kPixelTypeRGB, kPixelSize8, true), {});
        QCOMPARE(LowScaleForImage(image), level);
    }

    void formatFromPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("format");
        QTest::newRow("jpg") << "a/b.JPG" << 0;
        QTest::newRow("jpeg") << "b.jpeg" << 0;
        QTest::newRow("tif") << "c.Tif" << 1;
        QTest::newRow("tiff") << "c.tiff" << 1;
        QTest::newRow("nef") << "d.NEF" << 7;
        QTest::newRow("rw2") << "d.rw2" << 13;
        QTest::newRow("png") << "e.png" << -1;
        QTest::newRow("no suffix") << "jpg" << -1;
    }

    void formatFromPath()
    {
        QFETCH(QString, path);
        QFETCH(int, format);
        QCOMPARE(int(GetFileFormatFromPath(path.toStdString())), format);
    }

    void parallelForRunsEveryIndexOnce()
    {
        ThreadPool& pool = ThreadPool::Shared();
        QVERIFY(pool.GetThreadCount() >= 1);
        std::vector<std::atomic<int>> hits(1000);
        pool.ParallelFor(hits.size(), [&](std::size_t i) {
            // Nested work must not deadlock, even with every thread busy.
            pool.ParallelFor(3, [&](std::size_t) { hits[i].fetch_add(1); });
        });
        for (const auto& hit : hits)
            QCOMPARE(hit.load(), 3);

        QVERIFY_THROWS_EXCEPTION(std::runtime_error, pool.ParallelFor(8, [](std::size_t i) {
            if (i == 5)
                throw std::runtime_error("band failed");
        }));
    }

    void availableCpusFollowTheAffinityMask()
    {
        // The pools are sized from the CPUs the process may run on (taskset),
        // not from the machine's.
        cpu_set_t previous;
        QVERIFY(sched_getaffinity(0, sizeof previous, &previous) == 0);
        QCOMPARE(ThreadPool::AvailableCpuCount() <= unsigned(CPU_COUNT(&previous)), true);
        int first = 0;
        while (!CPU_ISSET(first, &previous))
            ++first;
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(first, &one);
        QVERIFY(sched_setaffinity(0, sizeof one, &one) == 0);
        const unsigned int available = ThreadPool::AvailableCpuCount();
        QVERIFY(sched_setaffinity(0, sizeof previous, &previous) == 0);
        QCOMPARE(available, 1u);
    }

    void threadGraphHonoursDependencies()
    {
        ThreadGraph graph;
        std::atomic<int> step{0};
        int firstAt = -1;
        int secondAt = -1;
        const auto first = graph.AddTask([&] { firstAt = step++; });
        graph.AddTask([&] { secondAt = step++; }, {first});
        Progress progress;
        QVERIFY(graph.Run(&progress, "test"));
        QCOMPARE(firstAt, 0);
        QCOMPARE(secondAt, 1);
        QCOMPARE(progress.GetFraction(), 1.0);

        progress.Cancel();
        QVERIFY(!graph.Run(&progress, "cancelled"));
        QCOMPARE(step.load(), 2);
    }

    void fieldOfView_data()
    {
        QTest::addColumn<double>("focal35");
        QTest::addColumn<double>("focal");
        QTest::addColumn<double>("planeResolution");
        QTest::addColumn<uint>("unit");
        QTest::addColumn<bool>("estimated");
        QTest::addColumn<double>("degrees");
        // A 3:2 frame at 36 mm equivalent spans 36 mm of film: 2 atan(18/36).
        QTest::newRow("35 mm equivalent") << 36.0 << 0.0 << 0.0 << 0u << true << 53.13;
        QTest::newRow("focal plane in cm") << 0.0 << 24.0 << 1666.6667 << 3u << true << 73.74;
        QTest::newRow("focal plane in inches") << 0.0 << 50.0 << 25.4 * 166.6667 << 2u << true << 39.60;
        QTest::newRow("focal length only") << 0.0 << 24.0 << 0.0 << 0u << false << 0.0;
        QTest::newRow("nothing") << 0.0 << 0.0 << 0.0 << 0u << false << 0.0;
    }

    void fieldOfView()
    {
        QFETCH(double, focal35);
        QFETCH(double, focal);
        QFETCH(double, planeResolution);
        QFETCH(uint, unit);
        QFETCH(bool, estimated);
        QFETCH(double, degrees);
        const RefPtr<Exif> exif = RefPtr<Exif>::Adopt(new Exif);
        if (focal35 > 0)
            exif->SetValue(Exif::kMetaDataExifFocalLengthIn35mmFilmKey, Value(int(focal35)));
        if (focal > 0)
            exif->SetValue(Exif::kMetaDataFocalLengthKey, Value(focal));
        if (planeResolution > 0) {
            exif->SetValue(Exif::kMetaDataExifFocalPlaneXResolutionKey, Value(planeResolution));
            exif->SetValue(Exif::kMetaDataExifFocalPlaneResolutionUnitKey, Value(unit));
        }
        QCOMPARE(CameraBody::IsFieldOfViewWellEstimated(*exif), estimated);
        float fieldOfView = 0;
        QCOMPARE(CameraBody::GetFieldOfView(*exif, 6000, 4000, nullptr, fieldOfView), estimated);
        if (estimated)
            QVERIFY2(std::abs(fieldOfView - degrees) < 0.05, qPrintable(QString::number(fieldOfView)));
    }

    void loggingReachesLoggerAndCallback()
    {
        struct Logger : ILogger
        {
            QStringList lines;
            LogLevel getMinimumLevel() override { return kLogLevelInfo; }
            void logMessage(const char* category, LogLevel, const char* format, va_list arguments) override
            {
                lines << QString(category) + ":" + QString::vasprintf(format, arguments);
            }
        } logger;
        static QStringList callbackLines;
        SetCurrentLogger(&logger);
        SetLoggingToUseCallback([](const char*, LogLevel, const char* format, va_list arguments) {
            callbackLines << QString::vasprintf(format, arguments);
        });
        SetDefaultLoggerMinimumLevel(kLogLevelDebug);
        Log("Test", kLogLevelDebug, "debug %d", 1);
        Log("Test", kLogLevelError, "error %s", "two");
        SetDefaultLoggerMinimumLevel(kLogLevelError);
        Log("Test", kLogLevelWarning, "dropped");
        SetCurrentLogger(nullptr);
        SetLoggingToUseCallback(nullptr);
        QCOMPARE(logger.lines, QStringList({"Test:error two"}));
        QCOMPARE(callbackLines, QStringList({"debug 1", "error two"}));
    }
};

QTEST_GUILESS_MAIN(TestNavikPixels)
#include "tst_navikpixels.moc"
