// Pictures whose rows are decoded in the background: a correction renders and
// saves them while they come in, exactly as it does a picture opened whole; a
// file damaged past its header fails the save with the reason; an image let
// go of mid-decode stops its decoder. Where the system starts no more
// threads, the work is done on those that started.

#include "PixelArrival.h"
#include "Threads.h"

#include <Navik/Agent.h>
#include <Navik/Exif.h>
#include <Navik/Image.h>
#include <Navik/PixelData.h>
#include <Navik/Target.h>
#include <Navik/ThreadGraph.h>

#include <QtTest>

#include "NavikTestObjects.h"

#include "PlainJpegEncoder.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <future>
#include <mutex>
#include <system_error>
#include <thread>

using namespace Navik;

namespace {

std::string native(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

Image* load(const QString& path, bool inBackground, ImageStatus* status = nullptr)
{
    Dictionary options;
    options.SetValueForKey(kImageLoadOptionEXIFData, Value(true));
    options.SetValueForKey(kImageLoadOptionPixelsInBackground, Value(inBackground));
    ImageStatus ignored;
    return LoadFullImage(native(path), kFileFormatUnknown, options, status ? status : &ignored, nullptr);
}

// The samples of 8-bit RGB pixels, row after row, without the rows' padding
// (which no render writes).
QByteArray samplesOf(const PixelData& pixels)
{
    QByteArray samples;
    for (unsigned int y = 0; y < pixels.GetHeight(); ++y)
        samples.append(static_cast<const char*>(pixels.Buffer(0)) + std::size_t(y) * pixels.GetRowBytes(),
                       qsizetype(pixels.GetWidth()) * 3);
    return samples;
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Holds a decoder once it has published `rows` rows, until released.
class DecodeGate
{
public:
    explicit DecodeGate(unsigned int rows) : m_rows(rows)
    {
        Internal::SetPublishObserver([this](unsigned int published) {
            std::unique_lock lock(m_mutex);
            m_lastPublished = published;
            if (published < m_rows || m_released)
                return;
            m_held = true;
            m_changed.notify_all();
            // Bounded, so that a failed test cannot leave the decoder held for good.
            m_changed.wait_for(lock, std::chrono::seconds(60), [this] { return m_released; });
        });
    }
    ~DecodeGate()
    {
        release();
        Internal::SetPublishObserver(nullptr);
    }

    // False when the decoder never got there.
    bool waitUntilHeld()
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(60), [this] { return m_held; });
    }
    void release()
    {
        std::lock_guard lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }
    unsigned int lastPublished()
    {
        std::lock_guard lock(m_mutex);
        return m_lastPublished;
    }

private:
    const unsigned int m_rows;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_held = false;
    bool m_released = false;
    unsigned int m_lastPublished = 0;
};

} // namespace

class TestNavikStreaming : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void rendersAndSavesAsAWholeOpenDoes();
    void renderReadsTheTopWhileTheRestIsComingIn();
    void damagedFileFailsWhatNeedsItsPixels();
    void imageLetGoOfStopsItsDecoder();
    void mirroredPictureWaitsForAllItsRows();
    void refusedThreadsLeaveTheWorkToThoseStarted_data();
    void refusedThreadsLeaveTheWorkToThoseStarted();

private:
    QTemporaryDir m_dir;
    QString m_source;
    static constexpr unsigned int kWidth = 1536;
    static constexpr unsigned int kHeight = 1100;
};

void TestNavikStreaming::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Detail everywhere, so a row read before it was decoded would show.
    std::vector<unsigned char> pixels(std::size_t(kWidth) * kHeight * 3);
    for (unsigned int y = 0; y < kHeight; ++y)
        for (unsigned int x = 0; x < kWidth; ++x) {
            unsigned char* pixel = &pixels[(std::size_t(y) * kWidth + x) * 3];
            pixel[0] = static_cast<unsigned char>(x * 3 + y);
            pixel[1] = static_cast<unsigned char>((x ^ y) * 5);
            pixel[2] = static_cast<unsigned char>(y * 2 + (x / 7) * 11);
        }
    m_source = m_dir.filePath("source.jpg");
    QVERIFY(EncodeWithPlainLibjpeg(native(m_source), pixels.data(), kWidth * 3, kWidth, kHeight, 92));
}

void TestNavikStreaming::rendersAndSavesAsAWholeOpenDoes()
{
    // JPEG in bands and TIFF, full resolution and a reduced level (whose
    // pyramid needs every row): the same bytes either way.
    QMap<QString, QByteArray> files[2];
    QByteArray reduced[2];
    for (const bool inBackground : {false, true}) {
        Held<Image> image(load(m_source, inBackground));
        QVERIFY(image);
        auto filter = RefPtr<Filter>::Adopt(new Filter);
        Agent agent(*image);
        Target* target = agent.AddTarget(kCorrectionModeFinal, keystone(), filter.get());
        QVERIFY(target);
        for (const auto& [name, format] : {std::pair{QString("out.jpg"), kFileFormatJPEG},
                                           std::pair{QString("out.tif"), kFileFormatTIFF}}) {
            const QString path = m_dir.filePath(QString::number(inBackground) + name);
            ImageStatus status;
            QVERIFY2(target->SaveOutputImage(native(path), format, Dictionary(), kSampleTypeUInt8,
                                             kSampleLayoutRGBInterleaved, *image->GetExif(), nullptr, nullptr,
                                             &status),
                     status.GetMessage());
            files[inBackground][name] = bytesOf(path);
            QVERIFY(!files[inBackground][name].isEmpty());
        }
        int width = 0, height = 0;
        QVERIFY(target->ComputeScaledOutputSize(2, &width, &height));
        std::unique_ptr<PixelData> output(
            PixelData::Create(kSampleTypeUInt8, kSampleLayoutRGBInterleaved, unsigned(width), unsigned(height)));
        QVERIFY(target->ComputeScaledOutputImage(output.get(), 2, nullptr));
        reduced[inBackground] = samplesOf(*output);
        agent.RemoveTarget(target);
    }
    QCOMPARE(files[1].keys(), files[0].keys());
    for (const QString& name : files[0].keys())
        QVERIFY2(files[1][name] == files[0][name], qPrintable(name));
    QVERIFY(reduced[1] == reduced[0]);
}

void TestNavikStreaming::renderReadsTheTopWhileTheRestIsComingIn()
{
    // The picture opened whole: its render of the top rows and of everything.
    const auto render = [](Target& target, PixelData& output) {
        return target.ComputeScaledOutputSubImageBitShiftApprox(&output, 0, 0, 0, int(output.GetWidth()),
                                                                int(output.GetHeight()), nullptr);
    };
    auto filter = RefPtr<Filter>::Adopt(new Filter);
    int width = 0;
    int height = 0;
    QByteArray expectedTop;
    QByteArray expectedAll;
    {
        Held<Image> whole(load(m_source, false));
        Agent agent(*whole);
        Target* target = agent.AddTarget(kCorrectionModeFinal, keystone(), filter.get());
        QVERIFY(target->ComputeScaledOutputSize(0, &width, &height));
        std::unique_ptr<PixelData> top(PixelData::Create(kSampleTypeUInt8, kSampleLayoutRGBInterleaved, unsigned(width), 64));
        std::unique_ptr<PixelData> all(
            PixelData::Create(kSampleTypeUInt8, kSampleLayoutRGBInterleaved, unsigned(width), unsigned(height)));
        QVERIFY(render(*target, *top) && render(*target, *all));
        expectedTop = samplesOf(*top);
        expectedAll = samplesOf(*all);
        agent.RemoveTarget(target);
    }

    // The decoder held at the middle of the picture. The gate goes first,
    // releasing the decoder the image then waits for.
    Held<Image> image;
    DecodeGate gate(kHeight / 2);
    image.object = load(m_source, true);
    QVERIFY(image);
    QVERIFY(gate.waitUntilHeld());
    const std::shared_ptr<Internal::PixelArrival> arrival = Internal::PixelArrivalOf(*image);
    QVERIFY(!arrival->IsComplete());
    Agent agent(*image);
    Target* target = agent.AddTarget(kCorrectionModeFinal, keystone(), filter.get());

    // The top samples rows that are there: it renders while the decoder is held.
    std::unique_ptr<PixelData> top(PixelData::Create(kSampleTypeUInt8, kSampleLayoutRGBInterleaved, unsigned(width), 64));
    auto topRendered = std::async(std::launch::async, [&] { return render(*target, *top); });
    const bool renderedWhileHeld = topRendered.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    if (!renderedWhileHeld)
        gate.release();
    QVERIFY2(renderedWhileHeld, "the render waited for rows it does not sample");
    QVERIFY(topRendered.get());
    QVERIFY(samplesOf(*top) == expectedTop);

    // The whole output needs the rest: it waits for the rows, which come once
    // the decoder goes on, and renders what the whole picture gives.
    std::unique_ptr<PixelData> all(
        PixelData::Create(kSampleTypeUInt8, kSampleLayoutRGBInterleaved, unsigned(width), unsigned(height)));
    auto allRendered = std::async(std::launch::async, [&] { return render(*target, *all); });
    while (!arrival->HasWaiters() && allRendered.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
        ;
    gate.release();
    QVERIFY(allRendered.get());
    QVERIFY(samplesOf(*all) == expectedAll);
    QVERIFY(image->WaitForPixels(nullptr));
    agent.RemoveTarget(target);
}

void TestNavikStreaming::damagedFileFailsWhatNeedsItsPixels()
{
    QByteArray bytes = bytesOf(m_source);
    bytes.truncate(bytes.size() * 6 / 10);
    const QString damaged = m_dir.filePath("truncated.jpg");
    QFile file(damaged);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    // The header is whole: the open succeeds, and what needs the pixels fails.
    Held<Image> image(load(damaged, true));
    QVERIFY(image);
    ImageStatus status;
    QVERIFY(!image->WaitForPixels(&status));
    QCOMPARE(status.GetCode(), kImageStatusCorruptData);
    QVERIFY(QString(status.GetMessage()).contains("damaged or incomplete"));

    const QString copy = m_dir.filePath("copy.jpg");
    status = ImageStatus();
    QVERIFY(!image->Save(native(copy), kFileFormatJPEG, Dictionary(), &status));
    QCOMPARE(status.GetCode(), kImageStatusCorruptData);

    auto filter = RefPtr<Filter>::Adopt(new Filter);
    Agent agent(*image);
    Target* target = agent.AddTarget(kCorrectionModeFinal, keystone(), filter.get());
    const QString corrected = m_dir.filePath("corrected.jpg");
    status = ImageStatus();
    QVERIFY(!target->SaveOutputImage(native(corrected), kFileFormatJPEG, Dictionary(), kSampleTypeUInt8,
                                     kSampleLayoutRGBInterleaved, *image->GetExif(), nullptr, nullptr, &status));
    QCOMPARE(status.GetCode(), kImageStatusCorruptData);
    QVERIFY(QString(status.GetMessage()).contains("damaged or incomplete"));
    std::unique_ptr<PixelData> output(PixelData::Create(kSampleTypeUInt8, kSampleLayoutRGBInterleaved, 64, 64));
    QVERIFY(!target->ComputeScaledOutputImage(output.get(), 5, nullptr));
    agent.RemoveTarget(target);
    QVERIFY(!QFile::exists(copy));
    QVERIFY(!QFile::exists(corrected));

    // Opened whole, the same file is refused at once.
    QVERIFY(!Held<Image>(load(damaged, false)));
}

void TestNavikStreaming::imageLetGoOfStopsItsDecoder()
{
    Held<Image> image;
    DecodeGate gate(1);
    image.object = load(m_source, true);
    QVERIFY(image);
    QVERIFY(gate.waitUntilHeld());
    const unsigned int heldAt = gate.lastPublished();
    // The decoder goes on only once it has been asked to stop.
    const std::shared_ptr<Internal::PixelArrival> arrival = Internal::PixelArrivalOf(*image);
    auto releaser = std::async(std::launch::async, [&] {
        while (!arrival->StopRequested())
            std::this_thread::yield();
        gate.release();
    });
    image.reset(); // asks the decoder to stop and waits for it
    releaser.get();
    QCOMPARE(gate.lastPublished(), heldAt);
    QVERIFY(heldAt < kHeight);
    ImageStatus status;
    QVERIFY(!arrival->WaitForAll(&status));
    QCOMPARE(status.GetCode(), kImageStatusCancelled);
}

void TestNavikStreaming::mirroredPictureWaitsForAllItsRows()
{
    // A mirrored orientation moves rows: the open waits for them all and unmirrors.
    Held<Image> plain(load(m_source, false));
    plain->GetExif()->SetValue(Exif::kMetaDataOrientationKey, Value(4u));
    const QString mirrored = m_dir.filePath("mirrored.jpg");
    QVERIFY(plain->Save(native(mirrored), kFileFormatJPEG, Dictionary(), nullptr));
    Held<Image> whole(load(mirrored, false));
    Held<Image> streamed(load(mirrored, true));
    QVERIFY(whole && streamed);
    QVERIFY(!Internal::PixelArrivalOf(*streamed) || Internal::PixelArrivalOf(*streamed)->IsComplete());
    for (unsigned int y = 0; y < kHeight; ++y)
        QVERIFY(std::memcmp(static_cast<const char*>(whole->GetBuffer(0)) + y * whole->GetRowBytes(),
                            static_cast<const char*>(streamed->GetBuffer(0)) + y * streamed->GetRowBytes(),
                            kWidth * 3) == 0);
}

void TestNavikStreaming::refusedThreadsLeaveTheWorkToThoseStarted_data()
{
    QTest::addColumn<unsigned int>("firstRefused");
    QTest::newRow("not one thread") << 1u;
    QTest::newRow("the third and later") << 3u;
    QTest::newRow("every thread starts") << 100u;
}

// A limit of processes or of memory makes the system refuse a thread (as
// `ulimit -u` or `ulimit -v` do): the pool works with those that started,
// and a picture decoded in the background is decoded before the load returns.
void TestNavikStreaming::refusedThreadsLeaveTheWorkToThoseStarted()
{
    QFETCH(unsigned int, firstRefused);
    ThreadPool::Shared(); // made with every thread it wants, before the refusals
    Held<Image> whole(load(m_source, false));
    QVERIFY(whole);

    unsigned int started = 0;
    Internal::SetThreadStarter([&](std::function<void()> body) {
        if (++started >= firstRefused)
            throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again), "thread refused");
        return std::thread(std::move(body));
    });
    struct RestoreThreads
    {
        ~RestoreThreads() { Internal::SetThreadStarter(nullptr); }
    } restore;

    constexpr unsigned int kThreads = 6;
    {
        ThreadPool pool(kThreads);
        QCOMPARE(pool.GetThreadCount(), std::min(firstRefused, kThreads));
        std::vector<std::atomic<int>> hits(500);
        pool.ParallelFor(hits.size(), [&](std::size_t i) { hits[i].fetch_add(1); });
        for (const auto& hit : hits)
            QCOMPARE(hit.load(), 1);
    } // joins the workers that started

    Held<Image> streamed(load(m_source, true));
    QVERIFY(streamed);
    QVERIFY(streamed->WaitForPixels(nullptr));
    for (unsigned int y = 0; y < kHeight; ++y)
        QVERIFY(std::memcmp(static_cast<const char*>(whole->GetBuffer(0)) + y * whole->GetRowBytes(),
                            static_cast<const char*>(streamed->GetBuffer(0)) + y * streamed->GetRowBytes(), kWidth * 3)
                == 0);
}

QTEST_GUILESS_MAIN(TestNavikStreaming)
#include "tst_navikstreaming.moc"
