// Saving the corrected picture, the batch task, the host render, file formats
// by suffix and thumbnails, through the real thread pool and imaging framework.

#include "EngineTestSupport.h"
#include "FileSizeLimit.h"
#include "RecordingLogger.h"
#include "TestFiles.h"

#include "engine/CProcessEngine.h"
#include "engine/EngineParameterKeys.h"
#include "engine/SaveProcessEngineTasks.h"

#include <Navik/ColorSpace.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTest>

#include <csignal>
#include <cerrno>
#include <cstring>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

namespace Keys = EngineParameterKeys;

namespace {

// A file read back through the imaging framework, metadata included.
Navik::RefPtr<Navik::Image> loadBack(const QString& path)
{
    Navik::Dictionary options;
    options.SetValueForKey(Navik::kImageLoadOptionEXIFData, true);
    Navik::ImageStatus status;
    return Navik::RefPtr<Navik::Image>::Adopt(
        Navik::LoadFullImage(QFile::encodeName(path).toStdString(), Navik::kFileFormatUnknown, options, &status, nullptr));
}

QImage pixelsOf(const Navik::RefPtr<Navik::Image>& image)
{
    image->Retain();
    return CNavikImageProxy(image.get(), true, false, QString()).toQImage();
}

// A save task that makes a change on the main thread right after it took the
// parameters it renders: a user who goes on editing while the file is written.
class EditedDuringSaveTask : public CSaveProcessEngineTask
{
public:
    EditedDuringSaveTask(CProcessEngine& engine, const QString& path, std::function<void()> edit)
        : CSaveProcessEngineTask(engine, path, 90, false, true, Navik::kFileFormatJPEG), m_edit(std::move(edit))
    {
    }

protected:
    Navik::Dictionary buildDictionary() override
    {
        const Navik::Dictionary parameters = CSaveProcessEngineTask::buildDictionary();
        runOnEngineThread(m_edit);
        return parameters;
    }

private:
    std::function<void()> m_edit;
};

// A change the user has not saved: a tilt of the perspective.
void tilt(CProcessEngine& engine, float upDown)
{
    engine.onCEPropertyBoolChanged(Keys::KeystoningActive, true);
    engine.onCEPropertyFloatChanged(Keys::KeystoningUpDown, upDown);
}

} // namespace

class TestProcessEngineSaving : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void savesTheCorrectedPicture_data();
    void savesTheCorrectedPicture();
    void savedStateIsWhatWasWritten();
    void failedSaveKeepsTheOriginal_data();
    void failedSaveKeepsTheOriginal();
    void savingWithoutAPicture();
    void waitEndsWhenTheSaveIsDropped_data();
    void waitEndsWhenTheSaveIsDropped();
    void hostRenderBytesAndStride_data();
    void hostRenderBytesAndStride();
    void failedHostRenderHandsOverNothing();
    void pictureOpenedMeanwhileGetsNothingOfTheSave();
    void fileFormatsBySuffix_data();
    void fileFormatsBySuffix();
    void batchLeavesTheOpenedPictureAlone_data();
    void batchLeavesTheOpenedPictureAlone();
    void thumbnail_data();
    void thumbnail();
    void everyOrientationSavesUpright_data();
    void everyOrientationSavesUpright();

private:
    QTemporaryDir m_dir;
    RecordingLogger* m_logger = nullptr;
};

void TestProcessEngineSaving::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_logger = &RecordingLogger::install();
    SPatternFile source;
    source.orientation = 6;
    source.withProfile = true;
    QVERIFY(writePatternFile(m_dir.filePath("source.jpg"), 320, 240, source));
}

void TestProcessEngineSaving::init()
{
    m_logger->clear();
}

// ---------------------------------------------------------------- saving

void TestProcessEngineSaving::savesTheCorrectedPicture_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Navik::FileFormat>("format");
    QTest::addColumn<bool>("eightBits");
    QTest::addColumn<unsigned int>("sampleSize");

    QTest::newRow("JPEG") << "saved.jpg" << Navik::kFileFormatJPEG << true << 8u;
    QTest::newRow("TIFF") << "saved.tif" << Navik::kFileFormatTIFF << true << 8u;
    QTest::newRow("16-bit TIFF named by its suffix") << "saved16.TIFF" << Navik::kFileFormatUnknown << false << 16u;
}

void TestProcessEngineSaving::savesTheCorrectedPicture()
{
    QFETCH(QString, name);
    QFETCH(Navik::FileFormat, format);
    QFETCH(bool, eightBits);

    // Turned upright by its orientation tag, then cropped to the middle.
    CProcessEngine engine;
    QVERIFY(engine.openFile(m_dir.filePath("source.jpg")));
    QCOMPARE(engine.getCurrentRotation(), RotationDirections::Rotation90);
    engine.onCEPropertyBoolChanged(Keys::CropActive, true);
    engine.onCEPropertyBoolChanged(Keys::CropAuto, false);
    engine.onCEPropertyValueArrayChanged(Keys::CropRect, Navik::ValueArray{0.25, 0.25, 0.5, 0.5});
    QVERIFY(engine.isPictureChanged());

    const QString path = m_dir.filePath(name);
    QVERIFY(engine.saveOpenedFileSync(path, 95, true, eightBits, format));
    QVERIFY(!engine.isPictureChanged());
    QVERIFY(waitUntilEngineIdle(engine));

    const Navik::RefPtr<Navik::Image> saved = loadBack(path);
    QVERIFY(saved);
    QTEST(saved->GetPixelFormat().GetSampleSize(), "sampleSize");
    // The 160 x 120 crop of the unturned picture, turned a quarter clockwise.
    const QImage pixels = pixelsOf(saved);
    QCOMPARE(pixels.size(), QSize(120, 160));
    for (const QPoint& at : {QPoint(10, 10), QPoint(100, 150), QPoint(60, 40)}) {
        const QPoint source(80 + at.y(), 60 + 119 - at.x());
        QVERIFY2(colorsClose(pixels.pixelColor(at), patternColor(source.x(), source.y(), 320, 240), 16),
                 qPrintable(QString("at %1,%2").arg(at.x()).arg(at.y())));
    }

    // The pixels are upright now; the software is ours; the colours are those
    // of the source's profile.
    Navik::Exif* exif = saved->GetExif();
    QCOMPARE(exif->GetValue(Navik::Exif::kMetaDataOrientationKey).AsUnsignedInt(), 1u);
    QCOMPARE(exif->GetValue(Navik::Exif::kMetaDataSoftwareKey).AsString(), std::string("Navik Quillet"));
    const auto sRGB = Navik::RefPtr<Navik::ColorSpace>::Adopt(Navik::ColorSpace::CreateSRGB());
    QVERIFY(saved->GetICCProfile());
    QVERIFY(*saved->GetICCProfile() == *sRGB);
}

void TestProcessEngineSaving::savedStateIsWhatWasWritten()
{
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(320, 240)));
    QVERIFY(!engine.isPictureChanged());
    tilt(engine, 10.0f);
    QVERIFY(engine.isPictureChanged());

    // The user goes on while the file is being written: the file lacks those
    // changes, so they stay unsaved.
    const QVector<QPointF> points = {{0.1, 0.1}, {0.1, 0.9}, {0.9, 0.9}, {0.9, 0.1}};
    QSignalSpy completed(&engine, &CProcessEngine::fileSaveCompleated);
    engine.queueTask(new EditedDuringSaveTask(engine, m_dir.filePath("edited.jpg"), [&engine, &points] {
        tilt(engine, 30.0f);
        engine.setNormolizedKeystoningPointsOnOriginalImage(points);
    }));
    QVERIFY(completed.wait(renderTimeout));
    QCOMPARE(completed.at(0).at(0).toBool(), true);
    QVERIFY(engine.isPictureChanged());
    QVERIFY(engine.isKeystoningPointsChanged());

    // Undoing them comes back to exactly what was saved.
    tilt(engine, 10.0f);
    engine.setNormolizedKeystoningPointsOnOriginalImage({});
    QVERIFY(!engine.isPictureChanged());
    QVERIFY(!engine.isKeystoningPointsChanged());
    QVERIFY(waitUntilEngineIdle(engine));
}

void TestProcessEngineSaving::failedSaveKeepsTheOriginal_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Navik::FileFormat>("format");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<FileFailure>("failure");

    const QString onlyJpegOrTiff = "can be saved only as JPEG or TIFF";
    QTest::newRow("folder that does not exist")
        << "missing/picture.jpg" << Navik::kFileFormatJPEG << QString(std::strerror(ENOENT)) << FileFailure::NotFound;
    // The file size limit stands in for a full disk: the writes fail with EFBIG.
    QTest::newRow("full disk") << "full/picture.jpg" << Navik::kFileFormatJPEG
                               << QString("The JPEG file could not be written") << FileFailure::FileTooLarge;
    QTest::newRow("full disk, TIFF") << "full/picture.tif" << Navik::kFileFormatTIFF
                                     << QString("The TIFF file could not be written") << FileFailure::FileTooLarge;
    QTest::newRow("read-only folder") << "read-only/picture.jpg" << Navik::kFileFormatJPEG
                                      << QString(std::strerror(EACCES)) << FileFailure::NoPermission;
    QTest::newRow("write-protected file") << "protected/picture.jpg" << Navik::kFileFormatJPEG
                                          << QString("is write-protected") << FileFailure::WriteProtected;
    QTest::newRow("name too long") << "long/" + QString(300, 'n') + ".jpg" << Navik::kFileFormatJPEG
                                   << QString(std::strerror(ENAMETOOLONG)) << FileFailure::NameTooLong;
    QTest::newRow("suffix of no format we write")
        << "other/picture.png" << Navik::kFileFormatUnknown << onlyJpegOrTiff << FileFailure::UnknownFormat;
    QTest::newRow("raw format") << "raw/picture.dng" << Navik::kFileFormatDNG << onlyJpegOrTiff
                                << FileFailure::UnknownFormat;
}

void TestProcessEngineSaving::failedSaveKeepsTheOriginal()
{
    QFETCH(QString, name);
    QFETCH(Navik::FileFormat, format);
    QFETCH(QString, reason);
    QFETCH(FileFailure, failure);
    const bool readOnly = name.startsWith("read-only");
    const bool writeProtected = name.startsWith("protected");
    if (readOnly && geteuid() == 0)
        QSKIP("Root writes into read-only folders");

    const QString path = m_dir.filePath(name);
    const QString folder = QFileInfo(path).path();
    const QByteArray original("the picture saved before");
    if (!name.startsWith("missing"))
        QVERIFY(QDir().mkpath(folder));
    if (!name.startsWith("missing") && !name.startsWith("long"))
        QVERIFY(writeFile(path, original));
    if (readOnly)
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    // Write-protected for everyone, the superuser included: whoever may
    // write the file, its mode says to keep it.
    if (writeProtected)
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const QStringList before = QDir(folder).entryList(QDir::Files | QDir::Hidden);

    m_logger->clear();
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(640, 480)));
    tilt(engine, 10.0f);
    QSignalSpy completed(&engine, &CProcessEngine::fileSaveCompleated);
    bool saved = true;
    {
        std::unique_ptr<FileSizeLimit> fullDisk;
        if (name.startsWith("full"))
            fullDisk = std::make_unique<FileSizeLimit>(4096);
        saved = engine.saveOpenedFileSync(path, 90, false, true, format);
    }
    if (readOnly)
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (writeProtected)
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);

    QVERIFY(!saved);
    QCOMPARE(completed.size(), 1);
    QCOMPARE(completed.at(0).at(0).toBool(), false);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), before);
    if (!before.isEmpty())
        QCOMPARE(readFile(path), original);
    QVERIFY(engine.isPictureChanged());
    QVERIFY(waitUntilEngineIdle(engine));
    // The reason, for the message's details and the log.
    QVERIFY2(engine.getLastSaveError().contains(reason), qPrintable(engine.getLastSaveError()));
    QVERIFY2(m_logger->linesAt('W').filter(reason).size() == 1, qPrintable(m_logger->allLines().join('\n')));
    // Its cause, for the user.
    QCOMPARE(engine.getLastSaveFailure(), failure);

    // The next save that works forgets the reason.
    QVERIFY(engine.saveOpenedFileSync(m_dir.filePath("works.jpg"), 90, false, true, Navik::kFileFormatJPEG));
    QCOMPARE(engine.getLastSaveError(), QString());
    QCOMPARE(engine.getLastSaveFailure(), FileFailure::None);
}

void TestProcessEngineSaving::savingWithoutAPicture()
{
    // Nothing would ever run a save without a picture: both forms answer at once.
    CProcessEngine engine;
    QSignalSpy completed(&engine, &CProcessEngine::fileSaveCompleated);
    QVERIFY(!engine.saveOpenedFileSync(m_dir.filePath("nothing.jpg"), 90, false, true, Navik::kFileFormatJPEG));
    QVERIFY(completed.isEmpty());
    engine.saveOpenedFile(m_dir.filePath("nothing.jpg"), 90, false, true, Navik::kFileFormatJPEG);
    QCOMPARE(completed.size(), 1);
    QCOMPARE(completed.at(0).at(0).toBool(), false);
    QVERIFY(!engine.processOpenedImageForPS());
    QVERIFY(!engine.hasTasksForProcessing());
    QVERIFY(!QFile::exists(m_dir.filePath("nothing.jpg")));
}

void TestProcessEngineSaving::waitEndsWhenTheSaveIsDropped_data()
{
    QTest::addColumn<bool>("hostRender");
    QTest::addColumn<QString>("interruption");

    for (const bool host : {false, true}) {
        const char* form = host ? "host render" : "save";
        for (const char* interruption : {"reset", "open another", "turn"})
            QTest::addRow("%s, %s", form, interruption) << host << QString(interruption);
    }
}

void TestProcessEngineSaving::waitEndsWhenTheSaveIsDropped()
{
    QFETCH(bool, hostRender);
    QFETCH(QString, interruption);

    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(160, 120)));
    QVERIFY(engine.processOpenedImageForPS());
    const QString other = m_dir.filePath("other.jpg");
    QVERIFY(writePatternJpeg(other, 64, 48));

    // While the caller waits, and before the render timer fires, the user
    // does what empties the queue.
    QTimer::singleShot(0, &engine, [&] {
        if (interruption == "reset")
            engine.resetBeforeOpen();
        else if (interruption == "open another")
            engine.openFile(other);
        else
            engine.rotateImageFromCurrentState(RotationDirections::Rotation90);
    });
    // Should the wait not end, this ends it and the test fails.
    bool stuck = false;
    QTimer::singleShot(renderTimeout, &engine, [&] {
        stuck = true;
        emit engine.fileSaveCompleated(true);
    });
    QSignalSpy completed(&engine, &CProcessEngine::fileSaveCompleated);
    const QString path = m_dir.filePath("dropped.jpg");
    if (hostRender)
        QVERIFY(!engine.processOpenedImageForPS());
    else
        QVERIFY(!engine.saveOpenedFileSync(path, 90, false, true, Navik::kFileFormatJPEG));
    QVERIFY(!stuck);
    QCOMPARE(completed.size(), 1);
    QCOMPARE(completed.at(0).at(0).toBool(), false);
    QVERIFY(waitUntilEngineIdle(engine));
    QVERIFY(!QFile::exists(path));
}

// ---------------------------------------------------------------- host render

void TestProcessEngineSaving::hostRenderBytesAndStride_data()
{
    QTest::addColumn<bool>("sixteenBits");
    QTest::addColumn<int>("sampleType");
    QTest::addColumn<int>("fullScale");

    QTest::newRow("8-bit source") << false << int(Navik::kSampleTypeUInt8) << 255;
    QTest::newRow("16-bit source, the host's range") << true << int(Navik::kSampleTypeUInt16Host) << 32768;
}

void TestProcessEngineSaving::hostRenderBytesAndStride()
{
    QFETCH(bool, sixteenBits);
    QFETCH(int, fullScale);
    // 200 pixels of three samples are no whole number of 64-byte rows.
    const int width = 200;
    const int height = 150;
    const QString path = m_dir.filePath(sixteenBits ? "host16.tif" : "host8.tif");
    SPatternFile source;
    source.format = Navik::kFileFormatTIFF;
    source.sixteenBits = sixteenBits;
    QVERIFY(writePatternFile(path, width, height, source));

    CProcessEngine engine;
    QVERIFY(engine.openFile(path));
    QSignalSpy completed(&engine, &CProcessEngine::fileSaveCompleated);
    const PixelDataPtr pixels = engine.processOpenedImageForPS();
    QVERIFY(pixels);
    // The host form writes nothing and says so.
    QCOMPARE(completed.size(), 1);
    QCOMPARE(completed.at(0).at(0).toBool(), false);

    QTEST(int(pixels->GetSampleType()), "sampleType");
    QCOMPARE(pixels->GetSampleLayout(), Navik::kSampleLayoutRGBInterleaved);
    QCOMPARE(QSize(int(pixels->GetWidth()), int(pixels->GetHeight())), QSize(width, height));
    const std::size_t sampleBytes = sixteenBits ? 2 : 1;
    QVERIFY(pixels->GetRowBytes() >= width * 3 * sampleBytes);

    // Every row starts a stride after the one before.
    const auto* bytes = static_cast<const unsigned char*>(pixels->Buffer(0));
    const auto sample = [&](int x, int y, int channel) -> int {
        const unsigned char* at = bytes + y * pixels->GetRowBytes() + (x * 3 + channel) * sampleBytes;
        return sixteenBits ? *reinterpret_cast<const quint16*>(at) : *at;
    };
    for (const QPoint& at : {QPoint(0, 0), QPoint(199, 1), QPoint(77, 100), QPoint(150, 149)}) {
        const QColor expected = patternColor(at.x(), at.y(), width, height);
        const int channels[] = {expected.red(), expected.green(), expected.blue()};
        for (int channel = 0; channel < 3; ++channel) {
            const int wanted = qRound(channels[channel] * fullScale / 255.0);
            QVERIFY2(qAbs(sample(at.x(), at.y(), channel) - wanted) <= 2,
                     qPrintable(QString("at %1,%2 channel %3: %4, not %5")
                                    .arg(at.x()).arg(at.y()).arg(channel).arg(sample(at.x(), at.y(), channel)).arg(wanted)));
        }
    }
    QVERIFY(waitUntilEngineIdle(engine));
}

void TestProcessEngineSaving::failedHostRenderHandsOverNothing()
{
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(160, 120)));
    QVERIFY(engine.processOpenedImageForPS());

    // Four points on one line cannot be corrected: the render fails, and the
    // host must not get the previous render's pixels.
    engine.onCEPropertyStringChanged(Keys::KeystoningMode, "Rectangle");
    engine.onCEPropertyBoolChanged(Keys::KeystoningActive, true);
    engine.setNormolizedKeystoningPointsOnOriginalImage({{0.1, 0.1}, {0.2, 0.2}, {0.3, 0.3}, {0.4, 0.4}});
    QVERIFY(!engine.processOpenedImageForPS());
    QVERIFY(waitUntilEngineIdle(engine));
}

void TestProcessEngineSaving::pictureOpenedMeanwhileGetsNothingOfTheSave()
{
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(320, 240)));
    tilt(engine, 10.0f);

    // Another picture opens while the file is written, without a reset: it
    // keeps the edits, but it was not saved with them.
    QSignalSpy completed(&engine, &CProcessEngine::fileSaveCompleated);
    engine.queueTask(new EditedDuringSaveTask(engine, m_dir.filePath("meanwhile.jpg"),
                                              [&engine] { engine.openImage(imageInMemory(160, 120)); }));
    QVERIFY(completed.wait(renderTimeout));
    QCOMPARE(completed.at(0).at(0).toBool(), true);
    QVERIFY(engine.isPictureChanged());
    QVERIFY(waitUntilEngineIdle(engine));

    // The host's render has finished when another picture opens, before the
    // host's wait returns: the host gets none of the closed picture's pixels.
    bool reopened = false;
    connect(&engine, &CProcessEngine::fileSaveCompleated, &engine, [&] {
        if (!std::exchange(reopened, true))
            QVERIFY(engine.openImage(imageInMemory(64, 48)));
    });
    QVERIFY(!engine.processOpenedImageForPS());
    QVERIFY(reopened);
    QVERIFY(waitUntilEngineIdle(engine));
}

// ---------------------------------------------------------------- formats

void TestProcessEngineSaving::fileFormatsBySuffix_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<Navik::FileFormat>("format");

    QTest::newRow("upper-case TIFF") << "/pictures/a.TIFF" << Navik::kFileFormatTIFF;
    QTest::newRow("tif") << "a.tif" << Navik::kFileFormatTIFF;
    QTest::newRow("upper-case NEF") << "a.NEF" << Navik::kFileFormatNEF;
    QTest::newRow("dng") << "a.dng" << Navik::kFileFormatDNG;
    QTest::newRow("rw2") << "a.Rw2" << Navik::kFileFormatRW2;
    QTest::newRow("jpeg") << "a.jpeg" << Navik::kFileFormatJPEG;
    QTest::newRow("png") << "a.png" << Navik::kFileFormatJPEG;
    QTest::newRow("tif.bak") << "a.tif.bak" << Navik::kFileFormatJPEG;
    QTest::newRow("empty") << "" << Navik::kFileFormatJPEG;
}

void TestProcessEngineSaving::fileFormatsBySuffix()
{
    QFETCH(QString, path);
    CProcessEngine engine;
    QTEST(engine.generateFileFormat(path), "format");
}

// ---------------------------------------------------------------- batch

void TestProcessEngineSaving::batchLeavesTheOpenedPictureAlone_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("truncated");
    QTest::addColumn<bool>("written");

    QTest::newRow("32 x 32") << QSize(32, 32) << false << true;
    QTest::newRow("64 x 48") << QSize(64, 48) << false << true;
    QTest::newRow("31 x 4000") << QSize(31, 4000) << false << false;
    QTest::newRow("missing file") << QSize() << false << false;
    // The header opens; the rows, decoded as the task goes, end early.
    QTest::newRow("damaged past its header") << QSize(640, 480) << true << false;
}

void TestProcessEngineSaving::batchLeavesTheOpenedPictureAlone()
{
    QFETCH(QSize, size);
    QFETCH(bool, truncated);
    QFETCH(bool, written);
    const QString input = m_dir.filePath(QString("batch-in-%1x%2.jpg").arg(size.width()).arg(size.height()));
    const QString output = m_dir.filePath(QString("batch-out-%1x%2.jpg").arg(size.width()).arg(size.height()));
    if (size.isValid()) {
        SPatternFile source;
        source.orientation = 6;
        QVERIFY(writePatternFile(input, size.width(), size.height(), source));
        if (truncated)
            QVERIFY(QFile::resize(input, QFileInfo(input).size() * 6 / 10));
    }

    // The user's picture, changed and not saved.
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(160, 120)));
    tilt(engine, 10.0f);
    QSignalSpy batchCompleted(&engine, &CProcessEngine::fileBatchCompleated);
    QSignalSpy saveCompleted(&engine, &CProcessEngine::fileSaveCompleated);
    QSignalSpy rotated(&engine, &CProcessEngine::rotationProcessed);

    Navik::Dictionary settings;
    settings.SetValueForKey(Keys::OutputRotation, 2);
    engine.queueTask(new CBatchProcessEngineTask(engine, settings, input, output, 95, false, true,
                                                 Navik::kFileFormatUnknown));
    QVERIFY(batchCompleted.wait(renderTimeout));
    QCOMPARE(batchCompleted.at(0).at(0).toBool(), written);
    QVERIFY(waitUntilEngineIdle(engine));

    QCOMPARE(engine.getCurrentRotation(), RotationDirections::Rotation0);
    QVERIFY(rotated.isEmpty());
    QVERIFY(saveCompleted.isEmpty());
    QVERIFY(engine.isPictureChanged());
    QCOMPARE(QFile::exists(output), written);
    if (!written)
        return;

    // Turned by the settings; the source's orientation tag stays.
    const Navik::RefPtr<Navik::Image> saved = loadBack(output);
    QVERIFY(saved);
    QCOMPARE(saved->GetExif()->GetValue(Navik::Exif::kMetaDataOrientationKey).AsUnsignedInt(), 6u);
    QCOMPARE(saved->GetExif()->GetValue(Navik::Exif::kMetaDataSoftwareKey).AsString(), std::string("Navik Quillet"));
    const QImage pixels = pixelsOf(saved);
    QCOMPARE(pixels.size(), size);
    const QPoint at(3, 5);
    QVERIFY(colorsClose(pixels.pixelColor(at),
                        patternColor(size.width() - 1 - at.x(), size.height() - 1 - at.y(), size.width(), size.height()),
                        20));
}

// ---------------------------------------------------------------- thumbnails

void TestProcessEngineSaving::thumbnail_data()
{
    QTest::addColumn<QSize>("buffer");
    QTest::addColumn<QVariant>("radius");
    QTest::addColumn<QVariant>("rendered");

    // The opened picture is 400 x 300.
    QTest::newRow("a tenth: 25 becomes 2") << QSize(40, 30) << QVariant(25) << QVariant(2);
    QTest::newRow("a tenth: 5 becomes 0") << QSize(40, 30) << QVariant(5) << QVariant(0);
    QTest::newRow("negative radius unchanged") << QSize(40, 30) << QVariant(-3) << QVariant(-3);
    QTest::newRow("full size: unchanged") << QSize(400, 300) << QVariant(25) << QVariant(25);
    QTest::newRow("no radius") << QSize(40, 30) << QVariant() << QVariant();
}

void TestProcessEngineSaving::thumbnail()
{
    QFETCH(QSize, buffer);
    QFETCH(QVariant, radius);
    CProcessEngine engine;
    QVERIFY(engine.openImage(imageInMemory(400, 300)));
    const PixelDataPtr pixels(Navik::PixelData::Create(Navik::kSampleTypeUInt8, Navik::kSampleLayoutRGBInterleaved,
                                                       unsigned(buffer.width()), unsigned(buffer.height())));
    std::memset(pixels->Buffer(0), 90, pixels->GetRowBytes() * pixels->GetHeight());

    Navik::Dictionary parameters;
    parameters.SetValueForKey(Keys::OutputRotation, 1);
    parameters.SetValueForKey(Keys::KeystoningKeepOriginalSize, true);
    if (radius.isValid())
        parameters.SetValueForKey(Keys::VignettedBlurRadius, radius.toInt());
    const Navik::Dictionary given = parameters;

    const PixelDataPtr thumbnail = engine.processThumbnailImage(parameters, pixels);
    QVERIFY(thumbnail);
    QCOMPARE(QSize(int(thumbnail->GetWidth()), int(thumbnail->GetHeight())), buffer.transposed());
    QCOMPARE(*static_cast<const unsigned char*>(thumbnail->Buffer(0)), static_cast<unsigned char>(90));
    QVERIFY(parameters == given);

    // Rendered with what the log shows.
    const QString logged = m_logger->linesAt('D').filter("Processing thumbnail using dictionary: ").value(0);
    QVERIFY2(logged.contains("KeystoningKeepOriginalSize = false"), qPrintable(logged));
    const QRegularExpressionMatch match = QRegularExpression("VignettedBlurRadius = (-?\\d+)").match(logged);
    QTEST(match.hasMatch() ? QVariant(match.captured(1).toInt()) : QVariant(), "rendered");
}

void TestProcessEngineSaving::everyOrientationSavesUpright_data()
{
    QTest::addColumn<unsigned int>("orientation");
    QTest::addColumn<QSize>("shownSize");
    for (const QSize& size : {QSize(96, 64), QSize(64, 96)})
        for (unsigned int orientation = 1; orientation <= 8; ++orientation)
            QTest::addRow("%u, %s", orientation, size.width() > size.height() ? "landscape" : "portrait")
                << orientation << size;
}

void TestProcessEngineSaving::everyOrientationSavesUpright()
{
    QFETCH(unsigned int, orientation);
    QFETCH(QSize, shownSize);
    const QImage shown = quadrantPicture(shownSize.width(), shownSize.height());
    const QString source = m_dir.filePath(QString("oriented-%1-%2.jpg").arg(orientation).arg(shownSize.width()));
    SPatternFile options;
    options.orientation = orientation;
    QVERIFY(writeImageFile(source, storedForOrientation(shown, orientation), options));

    CProcessEngine engine;
    QVERIFY(engine.openFile(source));
    QCOMPARE(engine.getOriginalImageSize(), orientation >= 5 ? shownSize.transposed() : shownSize);
    const QString saved = m_dir.filePath(QString("upright-%1-%2.jpg").arg(orientation).arg(shownSize.width()));
    QVERIFY(engine.saveOpenedFileSync(saved, 95, false, true, Navik::kFileFormatJPEG));

    // The saved picture is the one a viewer shows, upright, with orientation 1.
    const Navik::RefPtr<Navik::Image> back = loadBack(saved);
    QVERIFY(back);
    QCOMPARE(back->GetExif()->GetValue(Navik::Exif::kMetaDataOrientationKey).AsUnsignedInt(), 1u);
    const QImage pixels = pixelsOf(back);
    QCOMPARE(pixels.size(), shownSize);
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        const QPoint centre((quadrant % 2 * 2 + 1) * shownSize.width() / 4, (quadrant / 2 * 2 + 1) * shownSize.height() / 4);
        QVERIFY2(colorsClose(pixels.pixelColor(centre), kQuadrantColors[quadrant], 24),
                 qPrintable(QString("quadrant %1 is %2").arg(quadrant).arg(pixels.pixelColor(centre).name())));
    }
}

QTEST_MAIN(TestProcessEngineSaving)
#include "tst_processenginesaving.moc"
