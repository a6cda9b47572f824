// Where a saved file goes and what a save leaves behind: unnamed temporary
// files, temporaries of killed saves, symbolic links, files that are no
// regular files, names as long as a folder takes, the owner of a replaced
// file, the reasons a save gives, before it starts too; and mirrored EXIF
// orientations, whose pixels load unmirrored.

#include "AtomicFile.h"
#include "RowSource.h"

#include <Navik/Exif.h>
#include <Navik/FileFormat.h>
#include <Navik/Image.h>
#include <Navik/PixelData.h>

#include <QtTest>

#include "NavikTestObjects.h"

#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Navik;

namespace {

std::string native(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// Every entry of a folder, hidden ones included, sorted.
QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// An 8-bit RGB picture whose pixel (x, y) is (x, y, 7 * x + 3 * y), with
// the orientation tag given (0: none).
struct RampPicture
{
    std::vector<std::uint8_t> pixels;
    Held<TileImage> image;

    RampPicture(unsigned int width, unsigned int height, unsigned int orientation = 0)
    {
        pixels.resize(std::size_t(width) * height * 3);
        for (unsigned int y = 0; y < height; ++y)
            for (unsigned int x = 0; x < width; ++x) {
                std::uint8_t* pixel = &pixels[(std::size_t(y) * width + x) * 3];
                pixel[0] = std::uint8_t(x);
                pixel[1] = std::uint8_t(y);
                pixel[2] = std::uint8_t(7 * x + 3 * y);
            }
        image.object = new TileImage(width, height, width * 3, PixelFormat(kPixelTypeRGB, kPixelSize8, true),
                                     {pixels.data()});
        if (orientation != 0)
            image->GetExif()->SetValue(Exif::kMetaDataOrientationKey, Value(orientation));
    }
};

bool save(const Image& image, const QString& path, FileFormat format, ImageStatus* status = nullptr)
{
    ImageStatus ignored;
    return image.Save(native(path), format, Dictionary(), status ? status : &ignored);
}

Image* load(const QString& path, bool withMetadata = true)
{
    Dictionary options;
    options.SetValueForKey(kImageLoadOptionEXIFData, Value(withMetadata));
    ImageStatus status;
    return LoadFullImage(native(path), kFileFormatUnknown, options, &status, nullptr);
}

// The red and green samples at (x, y): the coordinates the pixel had when written.
QPoint rampAt(const Image& image, unsigned int x, unsigned int y)
{
    const auto* row = static_cast<const std::uint8_t*>(image.GetBuffer(0)) + std::size_t(y) * image.GetRowBytes();
    return QPoint(row[x * 3], row[x * 3 + 1]);
}

// A process that has ended: its number is free.
pid_t endedProcess()
{
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    return child;
}

} // namespace

class TestNavikFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void killedSaveLeavesNothing_data();
    void killedSaveLeavesNothing();
    void staleTemporariesOfEndedProcessesGo();
    void savingThroughALink_data();
    void savingThroughALink();
    void linkLoopIsRefused();
    void failedSavesSayWhy();
    void savesToldBeforehand_data();
    void savesToldBeforehand();
    void filesThatAreNoRegularFiles();
    void longestNamesSave_data();
    void longestNamesSave();
    void replacedFileKeepsItsOwner_data();
    void replacedFileKeepsItsOwner();
    void rowsThatFailHalfWayFailTheSave();
    void saveOutOfMemorySaysSo();
    void mirroredOrientationsLoadUnmirrored_data();
    void mirroredOrientationsLoadUnmirrored();

private:
    QTemporaryDir m_dir;
};

void TestNavikFiles::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestNavikFiles::cleanup()
{
    AtomicFile::SetUnnamedFilesAllowed(true);
}

void TestNavikFiles::killedSaveLeavesNothing_data()
{
    QTest::addColumn<bool>("unnamed");
    QTest::newRow("unnamed temporary file") << true;
    QTest::newRow("named temporary file, removed at the next save") << false;
}

void TestNavikFiles::killedSaveLeavesNothing()
{
    QFETCH(bool, unnamed);
    AtomicFile::SetUnnamedFilesAllowed(unnamed);
    const QString folder = m_dir.filePath(unnamed ? "killed-unnamed" : "killed-named");
    QVERIFY(QDir().mkpath(folder));
    const QString target = folder + "/picture.jpg";
    RampPicture picture(64, 48);
    QVERIFY(save(*picture.image, target, kFileFormatJPEG));
    QFile original(target);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray saved = original.readAll();
    original.close();

    // A save killed halfway through its file.
    const pid_t child = fork();
    if (child == 0) {
        AtomicFile file(native(target));
        if (!file.Create(nullptr))
            _exit(1);
        const std::vector<char> half(1 << 20, 'x');
        std::fwrite(half.data(), 1, half.size(), file.GetStream());
        std::fflush(file.GetStream());
        raise(SIGKILL);
        _exit(2);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    QFile after(target);
    QVERIFY(after.open(QIODevice::ReadOnly));
    QCOMPARE(after.readAll(), saved);
    if (unnamed) {
        QCOMPARE(entries(folder), QStringList{"picture.jpg"});
        return;
    }
    // The killed process's temporary is there until the next save of the picture.
    QCOMPARE(entries(folder).size(), 2);
    QVERIFY(entries(folder).at(0).startsWith(".picture.jpg." + QString::number(child) + "."));
    QVERIFY(save(*picture.image, target, kFileFormatJPEG));
    QCOMPARE(entries(folder), QStringList{"picture.jpg"});
}

void TestNavikFiles::staleTemporariesOfEndedProcessesGo()
{
    const QString folder = m_dir.filePath("stale");
    QVERIFY(QDir().mkpath(folder));
    const auto touch = [&folder](const QString& name) {
        QFile file(folder + "/" + name);
        return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
    };
    const QString ended = QString::number(endedProcess());
    const QString running = QString::number(getppid());
    QVERIFY(touch(".picture.jpg." + ended + ".12345.tmp"));         // ours, left by a killed save
    QVERIFY(touch(".picture.jpg." + running + ".12345.tmp"));       // a save that still runs
    QVERIFY(touch(".other.jpg." + ended + ".12345.tmp"));           // another picture's
    QVERIFY(touch(".picture.jpg.notes.tmp"));                       // not a name we make
    QVERIFY(QFile::link(folder + "/picture.jpg", folder + "/.picture.jpg." + ended + ".999.tmp"));

    RampPicture picture(40, 30);
    QVERIFY(save(*picture.image, folder + "/picture.jpg", kFileFormatJPEG));
    QStringList kept = {".other.jpg." + ended + ".12345.tmp", ".picture.jpg." + ended + ".999.tmp",
                        ".picture.jpg." + running + ".12345.tmp", ".picture.jpg.notes.tmp", "picture.jpg"};
    kept.sort();
    QCOMPARE(entries(folder), kept);
}

void TestNavikFiles::savingThroughALink_data()
{
    QTest::addColumn<FileFormat>("format");
    QTest::addColumn<bool>("unnamed");
    QTest::newRow("JPEG") << kFileFormatJPEG << true;
    QTest::newRow("TIFF") << kFileFormatTIFF << true;
    QTest::newRow("TIFF, named temporary") << kFileFormatTIFF << false;
}

void TestNavikFiles::savingThroughALink()
{
    QFETCH(FileFormat, format);
    QFETCH(bool, unnamed);
    AtomicFile::SetUnnamedFilesAllowed(unnamed);
    const QString suffix = format == kFileFormatJPEG ? ".jpg" : ".tif";
    const QString root = m_dir.filePath(QString("link-%1-%2").arg(format).arg(unnamed));
    QVERIFY(QDir().mkpath(root + "/pictures"));
    QVERIFY(QDir().mkpath(root + "/album"));
    const QString real = root + "/pictures/real" + suffix;
    QVERIFY(QFile(real).open(QIODevice::WriteOnly));
    QVERIFY(QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    // album/shown -> ../pictures/middle -> real (both relative)
    QVERIFY(symlink(("real" + suffix).toUtf8().constData(), (root + "/pictures/middle" + suffix).toUtf8().constData()) == 0);
    QVERIFY(symlink(("../pictures/middle" + suffix).toUtf8().constData(), (root + "/album/shown" + suffix).toUtf8().constData()) == 0);

    RampPicture picture(50, 40, 6);
    ImageStatus status;
    QVERIFY2(save(*picture.image, root + "/album/shown" + suffix, format, &status), status.GetMessage());

    QCOMPARE(QFileInfo(root + "/album/shown" + suffix).canonicalFilePath(), QFileInfo(real).canonicalFilePath());
    QVERIFY(QFileInfo(root + "/pictures/middle" + suffix).isSymLink());
    QVERIFY(QFileInfo(root + "/album/shown" + suffix).isSymLink());
    QCOMPARE(entries(root + "/album"), QStringList{"shown" + suffix});
    QCOMPARE(entries(root + "/pictures"), QStringList({"middle" + suffix, "real" + suffix}));
    QCOMPARE(QFile::permissions(real) & QFileDevice::Permissions(0x7077),
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    // The target holds the whole picture with its metadata.
    Held<Image> back(load(real));
    QVERIFY(back);
    QCOMPARE(back->GetWidth(), 50u);
    QCOMPARE(back->GetExif()->GetValue(Exif::kMetaDataOrientationKey).AsUnsignedInt(), 6u);

    // A link to a file not there yet makes that file.
    QVERIFY(symlink(("new" + suffix).toUtf8().constData(), (root + "/album/dangling" + suffix).toUtf8().constData()) == 0);
    QVERIFY(save(*picture.image, root + "/album/dangling" + suffix, format));
    QVERIFY(QFileInfo(root + "/album/dangling" + suffix).isSymLink());
    QVERIFY(QFileInfo(root + "/album/new" + suffix).isFile());
}

void TestNavikFiles::linkLoopIsRefused()
{
    const QString folder = m_dir.filePath("loop");
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(symlink("b.jpg", (folder + "/a.jpg").toUtf8().constData()) == 0);
    QVERIFY(symlink("a.jpg", (folder + "/b.jpg").toUtf8().constData()) == 0);
    RampPicture picture(40, 30);
    ImageStatus status;
    QVERIFY(!save(*picture.image, folder + "/a.jpg", kFileFormatJPEG, &status));
    QVERIFY2(QString(status.GetMessage()).contains(std::strerror(ELOOP)), status.GetMessage());
    QCOMPARE(status.GetCause(), kImageCauseLinkLoop);
    QVERIFY(QFileInfo(folder + "/a.jpg").isSymLink());
    QCOMPARE(entries(folder), QStringList({"a.jpg", "b.jpg"}));
}

void TestNavikFiles::failedSavesSayWhy()
{
    RampPicture picture(40, 30);
    ImageStatus status;
    QVERIFY(!save(*picture.image, m_dir.filePath("no-such-folder/picture.jpg"), kFileFormatJPEG, &status));
    QCOMPARE(status.GetCode(), kImageStatusWriteError);
    QCOMPARE(status.GetCause(), kImageCauseNotFound);
    QVERIFY2(QString(status.GetMessage()).contains(std::strerror(ENOENT)), status.GetMessage());
    QVERIFY(QString(status.GetMessage()).contains("no-such-folder/picture.jpg"));

    // A folder where the file should be.
    QVERIFY(QDir().mkpath(m_dir.filePath("in-the-way.jpg")));
    QVERIFY(!save(*picture.image, m_dir.filePath("in-the-way.jpg"), kFileFormatJPEG, &status));
    QCOMPARE(status.GetCause(), kImageCauseNotAFile);
    QVERIFY2(QString(status.GetMessage()).contains(std::strerror(EISDIR)), status.GetMessage());
    QVERIFY(QFileInfo(m_dir.filePath("in-the-way.jpg")).isDir());

    QVERIFY(!save(*picture.image, m_dir.filePath("picture.png"), kFileFormatDNG, &status));
    QCOMPARE(status.GetCode(), kImageStatusUnsupportedFormat);
    QCOMPARE(status.GetCause(), kImageCauseUnknownFormat);
    QVERIFY(!QFile::exists(m_dir.filePath("picture.png")));

    // Wider than a JPEG may be; a TIFF takes it.
    RampPicture wide(70000, 20);
    QVERIFY(!save(*wide.image, m_dir.filePath("wide.jpg"), kFileFormatJPEG, &status));
    QCOMPARE(status.GetCause(), kImageCauseFileTooLarge);
    QVERIFY(!QFile::exists(m_dir.filePath("wide.jpg")));
    QVERIFY(save(*wide.image, m_dir.filePath("wide.tif"), kFileFormatTIFF, &status));
}

void TestNavikFiles::savesToldBeforehand_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("cause"); // -1: the save may go ahead
    QTest::newRow("a new file") << "new.jpg" << -1;
    QTest::newRow("a file that may be written") << "writable.jpg" << -1;
    QTest::newRow("a write-protected file") << "protected.jpg" << int(kImageCauseWriteProtected);
    QTest::newRow("a folder that does not exist") << "missing/new.jpg" << int(kImageCauseNotFound);
    QTest::newRow("a name too long") << QString(256, 'n') << int(kImageCauseNameTooLong);
    QTest::newRow("a folder in the way") << "folder.jpg" << int(kImageCauseNotAFile);
    QTest::newRow("a named pipe") << "pipe.jpg" << int(kImageCauseNotARegularFile);
    QTest::newRow("a loop of links") << "loop.jpg" << int(kImageCauseLinkLoop);
}

// What refuses a save is told before anything is written, with the cause the
// save would give.
void TestNavikFiles::savesToldBeforehand()
{
    QFETCH(QString, name);
    QFETCH(int, cause);
    const QString folder = m_dir.filePath("beforehand");
    if (!QDir(folder).exists()) {
        QVERIFY(QDir().mkpath(folder + "/folder.jpg"));
        for (const QString& file : {QString("writable.jpg"), QString("protected.jpg")}) {
            QFile written(folder + "/" + file);
            QVERIFY(written.open(QIODevice::WriteOnly));
        }
        QVERIFY(QFile::setPermissions(folder + "/protected.jpg", QFile::ReadOwner | QFile::ReadGroup));
        QVERIFY(mkfifo(native(folder + "/pipe.jpg").c_str(), 0600) == 0);
        QVERIFY(symlink("loop.jpg", native(folder + "/loop.jpg").c_str()) == 0);
    }
    const QStringList before = entries(folder);
    ImageStatus status;
    QCOMPARE(CanSaveTo(native(folder + "/" + name), &status), cause < 0);
    if (cause >= 0)
        QCOMPARE(int(status.GetCause()), cause);
    QCOMPARE(entries(folder), before);

    // The save itself says the same.
    RampPicture picture(16, 12);
    QCOMPARE(save(*picture.image, folder + "/" + name, kFileFormatJPEG, &status), cause < 0);
    if (cause >= 0)
        QCOMPARE(int(status.GetCause()), cause);
}

namespace {

// Noise that does not compress (so an encoder's buffers grow), whose rows
// from `failingRow` on cannot be had, as a render's whose picture turns out
// damaged.
class FailingRows : public RowSource
{
public:
    FailingRows(unsigned int width, unsigned int height, unsigned int failingRow)
        : m_width(width), m_height(height), m_failingRow(failingRow)
    {
    }
    unsigned int Width() const override { return m_width; }
    unsigned int Height() const override { return m_height; }
    PixelFormat Format() const override { return PixelFormat(kPixelTypeRGB, kPixelSize8, true); }
    bool Fill(unsigned int first, unsigned int count, unsigned int, RowBand& band, ImageStatus* status) override
    {
        if (first + count > m_failingRow) {
            status->Set(kImageStatusCorruptData, "The rows never came.");
            return false;
        }
        // Each caller keeps its own band: the rows are made in its storage.
        if (!band.storage || band.storage->GetHeight() < count)
            band.storage.reset(PixelData::Create(kSampleTypeUInt8, kSampleLayoutRGBInterleaved, m_width, count));
        std::uint32_t state = first * 2654435761u + 1;
        for (unsigned int y = 0; y < count; ++y) {
            auto* row = static_cast<std::uint8_t*>(band.storage->Buffer(0)) + std::size_t(y) * band.storage->GetRowBytes();
            for (unsigned int x = 0; x < m_width * 3; ++x) {
                state = state * 1664525u + 1013904223u;
                row[x] = std::uint8_t(state >> 24);
            }
        }
        band.firstRow = first;
        band.rowCount = count;
        band.rowBytes = band.storage->GetRowBytes();
        band.planes[0] = static_cast<const unsigned char*>(band.storage->Buffer(0));
        band.planes[1] = band.planes[2] = nullptr;
        return true;
    }

private:
    unsigned int m_width;
    unsigned int m_height;
    unsigned int m_failingRow;
};

} // namespace

void TestNavikFiles::rowsThatFailHalfWayFailTheSave()
{
    // The last rows fail after many have been encoded: the JPEG bands have
    // grown their buffers by then (a crash once, freeing one of them twice).
    for (const auto& [name, format] : {std::pair{QString("noise.jpg"), kFileFormatJPEG},
                                       std::pair{QString("noise.tif"), kFileFormatTIFF}}) {
        FailingRows rows(2048, 2560, 2559);
        const QString path = m_dir.filePath(name);
        ImageStatus status;
        Held<Exif> exif(new Exif);
        QVERIFY(!SaveRows(rows, *exif, nullptr, native(path), format, Dictionary(), &status));
        QCOMPARE(status.GetCode(), kImageStatusCorruptData);
        QCOMPARE(QString(status.GetMessage()), QString("The rows never came."));
        QVERIFY(!QFile::exists(path));
    }
}

// A save that runs out of memory (while it encodes the metadata, or the
// rows) says so, and leaves nothing.
void TestNavikFiles::saveOutOfMemorySaysSo()
{
    class NoMemory : public RowSource
    {
    public:
        unsigned int Width() const override { return 32; }
        unsigned int Height() const override { return 24; }
        PixelFormat Format() const override { return PixelFormat(kPixelTypeRGB, kPixelSize8, true); }
        bool Fill(unsigned int, unsigned int, unsigned int, RowBand&, ImageStatus*) override { throw std::bad_alloc(); }
    };
    const QString folder = m_dir.filePath("no-memory");
    QVERIFY(QDir().mkpath(folder));
    for (const auto& [name, format] :
         {std::pair{QString("a.jpg"), kFileFormatJPEG}, std::pair{QString("a.tif"), kFileFormatTIFF}}) {
        NoMemory rows;
        Held<Exif> exif(new Exif);
        ImageStatus status;
        QVERIFY(!SaveRows(rows, *exif, nullptr, native(folder + "/" + name), format, Dictionary(), &status));
        QCOMPARE(status.GetCode(), kImageStatusOutOfMemory);
        QCOMPARE(status.GetCause(), kImageCauseOutOfMemory);
        QCOMPARE(entries(folder), QStringList());
    }
}

void TestNavikFiles::filesThatAreNoRegularFiles()
{
    const QString fifo = m_dir.filePath("fifo.jpg");
    QVERIFY(mkfifo(fifo.toUtf8().constData(), 0600) == 0);
    // A save does not put a file in the FIFO's place.
    {
        RampPicture picture(16, 12);
        ImageStatus status;
        QVERIFY(!save(*picture.image, fifo, kFileFormatJPEG, &status));
        QCOMPARE(status.GetCause(), kImageCauseNotARegularFile);
        struct stat info;
        QVERIFY(lstat(native(fifo).c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
    }
    // Nothing writes into the FIFO: a read of it would never end.
    QCOMPARE(GetFileFormat(native(fifo)), kFileFormatUnknown);
    QCOMPARE(GetFileFormat(native(m_dir.path())), kFileFormatUnknown);
    for (const QString& path : {fifo, m_dir.path()}) {
        ImageStatus status;
        Held<Image> info(LoadInfoImage(native(path), kFileFormatUnknown, Dictionary(), &status));
        QVERIFY(!info);
        QVERIFY2(QString(status.GetMessage()).contains("is not a file"), status.GetMessage());
        Held<Image> full(LoadFullImage(native(path), kFileFormatJPEG, Dictionary(), &status, nullptr));
        QVERIFY(!full);
    }
}

void TestNavikFiles::longestNamesSave_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("unnamed");
    const QString ascii235 = QString(231, 'a') + ".jpg";
    const QString ascii255 = QString(251, 'b') + ".jpg";
    // 255 bytes of two-byte characters and one ASCII one: the temporary's
    // name is cut between two characters.
    const QString utf8 = QString(125, QChar(0xE9)) + "c.jpg";
    QTest::newRow("235 bytes") << ascii235 << true;
    QTest::newRow("255 bytes") << ascii255 << true;
    QTest::newRow("255 bytes, named temporary") << ascii255 << false;
    QTest::newRow("255 bytes of UTF-8, named temporary") << utf8 << false;
}

// Every name the file system takes can be saved to, in place of a file of
// that name too: the temporary file beside it is named to fit.
void TestNavikFiles::longestNamesSave()
{
    QFETCH(QString, name);
    QFETCH(bool, unnamed);
    QVERIFY(QFile::encodeName(name).size() >= 235 && QFile::encodeName(name).size() <= 255);
    AtomicFile::SetUnnamedFilesAllowed(unnamed);
    const QString folder = m_dir.filePath(QString("long-%1").arg(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(folder));
    RampPicture picture(40, 30);
    for (int time = 0; time < 2; ++time) {
        ImageStatus status;
        QVERIFY2(save(*picture.image, folder + "/" + name, kFileFormatJPEG, &status), status.GetMessage());
        QCOMPARE(entries(folder), QStringList{name});
    }
    Held<Image> back(load(folder + "/" + name));
    QVERIFY(back);
    QCOMPARE(back->GetWidth(), 40u);

    // A killed save's temporary of such a name goes at the next save.
    AtomicFile::SetUnnamedFilesAllowed(false);
    const pid_t child = fork();
    if (child == 0) {
        AtomicFile file(native(folder + "/" + name));
        _exit(file.Create(nullptr) ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    QCOMPARE(entries(folder).size(), 2);
    QVERIFY(save(*picture.image, folder + "/" + name, kFileFormatJPEG));
    QCOMPARE(entries(folder), QStringList{name});
}

void TestNavikFiles::replacedFileKeepsItsOwner_data()
{
    QTest::addColumn<bool>("unnamed");
    QTest::newRow("unnamed temporary file") << true;
    QTest::newRow("named temporary file") << false;
}

// A picture of another user saved by the superuser stays that user's, with
// its group and permissions.
void TestNavikFiles::replacedFileKeepsItsOwner()
{
    QFETCH(bool, unnamed);
    if (geteuid() != 0)
        QSKIP("only the superuser gives a file to another user");
    AtomicFile::SetUnnamedFilesAllowed(unnamed);
    const QString path = m_dir.filePath(QString("owned-%1.jpg").arg(unnamed));
    RampPicture picture(40, 30);
    QVERIFY(save(*picture.image, path, kFileFormatJPEG));
    constexpr uid_t kUser = 4321;
    constexpr gid_t kGroup = 5432;
    QVERIFY(chown(native(path).c_str(), kUser, kGroup) == 0);
    QVERIFY(chmod(native(path).c_str(), 0664) == 0);

    ImageStatus status;
    QVERIFY2(save(*picture.image, path, kFileFormatTIFF, &status), status.GetMessage());
    struct stat info;
    QVERIFY(stat(native(path).c_str(), &info) == 0);
    QCOMPARE(info.st_uid, kUser);
    QCOMPARE(info.st_gid, kGroup);
    QCOMPARE(info.st_mode & 07777, mode_t(0664));
    QCOMPARE(GetFileFormat(native(path)), kFileFormatTIFF);
}

void TestNavikFiles::mirroredOrientationsLoadUnmirrored_data()
{
    QTest::addColumn<unsigned int>("orientation");
    QTest::addColumn<bool>("leftToRight");
    QTest::addColumn<bool>("topToBottom");
    for (unsigned int orientation = 1; orientation <= 8; ++orientation)
        QTest::addRow("%u", orientation) << orientation << (orientation == 2 || orientation == 4)
                                         << (orientation == 5 || orientation == 7);
}

void TestNavikFiles::mirroredOrientationsLoadUnmirrored()
{
    QFETCH(unsigned int, orientation);
    QFETCH(bool, leftToRight);
    QFETCH(bool, topToBottom);
    const QString path = m_dir.filePath(QString("oriented-%1.tif").arg(orientation));
    constexpr unsigned int width = 37;
    constexpr unsigned int height = 23;
    RampPicture picture(width, height, orientation);
    QVERIFY(save(*picture.image, path, kFileFormatTIFF));

    Held<Image> loaded(load(path));
    QVERIFY(loaded);
    QCOMPARE(loaded->GetWidth(), width);
    QCOMPARE(loaded->GetHeight(), height);
    // The tag stays as the file has it.
    QCOMPARE(loaded->GetExif()->GetValue(Exif::kMetaDataOrientationKey).AsUnsignedInt(), orientation);
    for (unsigned int y = 0; y < height; ++y)
        for (unsigned int x = 0; x < width; ++x) {
            const QPoint written(leftToRight ? width - 1 - x : x, topToBottom ? height - 1 - y : y);
            if (rampAt(*loaded, x, y) != written)
                QFAIL(qPrintable(QString("(%1, %2) holds the pixel written at (%3, %4)")
                                     .arg(x).arg(y).arg(rampAt(*loaded, x, y).x()).arg(rampAt(*loaded, x, y).y())));
        }

    // Without the metadata nothing says the pixels are mirrored: they stay as stored.
    Held<Image> plain(load(path, false));
    QVERIFY(plain);
    QCOMPARE(rampAt(*plain, 0, 0), QPoint(0, 0));
    QCOMPARE(rampAt(*plain, width - 1, height - 1), QPoint(width - 1, height - 1));
}

QTEST_GUILESS_MAIN(TestNavikFiles)
#include "tst_navikfiles.moc"
