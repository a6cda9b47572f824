// The recent-files list and its menu, and the start page's grid: the list's
// rules and stored form, the entry texts, a missing file, the thumbnails read
// on worker threads in list order, a reload during a pass, a pipe in the list
// and a read that never ends, the size asked of the reader, and what
// activating a cell does.

#include "mainwindow/CRecentFiles.h"
#include "mainwindow/CRecentFilesModel.h"
#include "mainwindow/CRecentFilesWidget.h"
#include "mainwindow/IRecentFilesProviderInterface.h"
#include "utils/CSettings.h"

#include "EngineTestImages.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTransform>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <tiffio.h>

#include <atomic>
#include <memory>
#include <thread>

#include <sys/stat.h>

using namespace NAVIK_tarl1;

namespace {

const QString kRecentFilesKey = QStringLiteral("recent-files");
const QString kSamplesOfferedKey = QStringLiteral("RecentFilesSampleImagesFirstStartup");

bool writePicture(const QString& path, const QSize& size, const char* format = "PNG")
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    return picture.save(path, format);
}

bool writeTiff(const QString& path)
{
    TIFF* tiff = TIFFOpen(path.toUtf8().constData(), "w");
    if (!tiff)
        return false;
    constexpr unsigned int width = 60;
    constexpr unsigned int height = 30;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, height);
    QByteArray row(int(width) * 3, '\x70');
    bool written = true;
    for (unsigned int y = 0; y < height; ++y)
        written = written && TIFFWriteScanline(tiff, row.data(), y, 0) == 1;
    TIFFClose(tiff);
    return written;
}

// A list of paths as the start page sees it, recording the removals.
class FakeProvider : public QObject, public IRecentFilesProviderInterface
{
public:
    const QStringList* recentFiles() const override { return &list; }
    bool openRecentFile(const QString& path) override
    {
        opened.append(path);
        return true;
    }
    void removeRecentFile(int index) override
    {
        removed.append(index);
        if (index >= 0 && index < list.size())
            list.removeAt(index);
    }
    QObject* object() override { return this; }

    QStringList list;
    QList<int> removed;
    QStringList opened;
};

QStringList vignettePaths(const CRecentFilesModel& model)
{
    QStringList paths;
    for (const CRecentFilesModel::SVignette& vignette : model.vignettes())
        paths.append(vignette.path);
    return paths;
}

QStringList menuTexts(const QMenu& menu)
{
    QStringList texts;
    for (const QAction* action : menu.actions())
        texts.append(action->text());
    return texts;
}

// Reloads and waits until the pass has ended.
bool reloadAndWait(CRecentFilesModel& model)
{
    QSignalSpy finished(&model, &CRecentFilesModel::loadingFinished);
    model.reloadData();
    return !finished.isEmpty() || finished.wait(20000);
}

// Answers the next message box with Ok, keeping its text.
void whenMessageBoxShows(QObject* owner, QString* text)
{
    auto* poll = new QTimer(owner);
    QObject::connect(poll, &QTimer::timeout, owner, [poll, text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        poll->stop();
        poll->deleteLater();
        *text = box->text();
        box->accept();
    });
    poll->start(10);
}

} // namespace

class TestRecentFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void addFile_data();
    void addFile();
    void storedAcrossRuns();
    void samplesOnFirstStartOnly();
    void entryText();
    void missingFileWarnsAndStays();
    void menuOpensEntry();
    void gridWithFewPictures();
    void unreadableFileLeavesList();
    void orderKeptWhenLaterFileIsFaster();
    void reloadDropsResultsOfEarlierPass();
    void readButEmptyIsPassedOver();
    void pipeIsNotOpened();
    void stuckReadDoesNotHoldTheEnd();
    void readSizeIsBounded_data();
    void readSizeIsBounded();
    void tallThinFileGetsSmallThumbnail();
    void turnedAndTiffPictures();
    void turnedPictureIsNotEnlarged();
    void activatingCells();

private:
    QTemporaryDir m_folder;
};

void TestRecentFiles::init()
{
    CSettings().clear();
}

void TestRecentFiles::addFile_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QString>("added");
    QTest::addColumn<QStringList>("expected");

    const QStringList eight{"/p/1.jpg", "/p/2.jpg", "/p/3.jpg", "/p/4.jpg",
                            "/p/5.jpg", "/p/6.jpg", "/p/7.jpg", "/p/8.jpg"};
    QStringList ten = eight;
    ten << "/p/9.jpg"
        << "/p/10.jpg";
    QTest::newRow("first") << QStringList() << "/p/a.jpg" << QStringList{"/p/a.jpg"};
    QTest::newRow("third moves up") << QStringList{"/p/a.jpg", "/p/b.jpg", "/p/c.jpg", "/p/d.jpg"} << "/p/c.jpg"
                                    << QStringList{"/p/c.jpg", "/p/a.jpg", "/p/b.jpg", "/p/d.jpg"};
    QTest::newRow("ninth drops oldest") << eight << "/p/new.jpg" << (QStringList{"/p/new.jpg"} + eight.mid(0, 7));
    QTest::newRow("stored ten stay ten") << ten << "/p/new.jpg" << (QStringList{"/p/new.jpg"} + ten.mid(0, 9));
    QTest::newRow("case differs") << QStringList{"/p/A.jpg"} << "/p/a.jpg" << QStringList{"/p/a.jpg", "/p/A.jpg"};
    QTest::newRow("ampersand in the name")
        << QStringList{"/p/a.jpg"} << "/p/a&b.jpg" << QStringList{"/p/a&b.jpg", "/p/a.jpg"};
}

void TestRecentFiles::addFile()
{
    QFETCH(QStringList, stored);
    QFETCH(QString, added);
    QFETCH(QStringList, expected);

    CSettings().setValue(kRecentFilesKey, stored);
    QWidget window;
    CRecentFiles recent(&window, &window);
    QAction action(QStringLiteral("Recent images"));
    recent.setMenuAction(&action);
    QCOMPARE(*recent.recentFiles(), stored);

    recent.addFile(added);
    QCOMPARE(*recent.recentFiles(), expected);
    QVERIFY(action.isEnabled());
    // At most eight entries, numbered from 1 in list order, each shown as
    // its entry text: no character of a file name becomes a shortcut mark.
    const QStringList texts = menuTexts(recent);
    QCOMPARE(texts.size(), qMin(8, int(expected.size())));
    for (int i = 0; i < texts.size(); ++i) {
        QCOMPARE(recent.actions().at(i)->iconText(), recent.getEntryText(i));
        QVERIFY2(QKeySequence::mnemonic(texts.at(i)).isEmpty(), qPrintable(texts.at(i)));
    }
    QVERIFY(texts.first().startsWith(QStringLiteral("1.  ")));
    // Nothing is stored before the end.
    QCOMPARE(CSettings().value(kRecentFilesKey).toStringList(), stored);
}

void TestRecentFiles::storedAcrossRuns()
{
    {
        QWidget window;
        CRecentFiles recent(&window, &window);
        recent.addFile(QStringLiteral("/p/b.jpg"));
        recent.addFile(QStringLiteral("/p/a.jpg"));
    }
    CSettings settings;
    QCOMPARE(settings.value(kRecentFilesKey).toStringList(), (QStringList{"/p/a.jpg", "/p/b.jpg"}));
    QVERIFY(settings.contains(kSamplesOfferedKey));

    // Every entry dropped: the next start lists nothing and the menu is off.
    settings.setValue(kRecentFilesKey, QStringList());
    settings.sync();
    QWidget window;
    CRecentFiles recent(&window, &window);
    QAction action(QStringLiteral("Recent images"));
    recent.setMenuAction(&action);
    QVERIFY(recent.recentFiles()->isEmpty());
    QVERIFY(!action.isEnabled());
    QVERIFY(recent.actions().isEmpty());
}

void TestRecentFiles::samplesOnFirstStartOnly()
{
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::PicturesLocation) + QStringLiteral("/Navik Quillet Samples/");
    QVERIFY(QDir().mkpath(folder));
    for (int i = 0; i < 9; ++i)
        QVERIFY(writePicture(folder + QStringLiteral("sample%1.JPG").arg(i), QSize(8, 8), "JPEG"));
    QVERIFY(writePicture(folder + QStringLiteral("other.png"), QSize(8, 8)));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("folder.jpg")));

    QStringList samples;
    {
        QWidget window;
        CRecentFiles recent(&window, &window);
        samples = *recent.recentFiles();
    }
    QCOMPARE(samples.size(), 8);
    for (const QString& path : samples) {
        QVERIFY2(path.startsWith(folder) && path.endsWith(QStringLiteral(".JPG")), qPrintable(path));
        QVERIFY(QFileInfo(path).isFile());
    }
    QCOMPARE(CSettings().value(kRecentFilesKey).toStringList(), samples);

    // Once offered, never again.
    CSettings().remove(kRecentFilesKey);
    QWidget window;
    CRecentFiles recent(&window, &window);
    QVERIFY(recent.recentFiles()->isEmpty());
}

void TestRecentFiles::entryText()
{
    const QString longStem(200, QLatin1Char('w'));
    CSettings().setValue(kRecentFilesKey,
                         QStringList{QStringLiteral("/p/photo.tif"), QStringLiteral("/p/") + longStem + ".jpeg",
                                     QStringLiteral("/p/README")});
    QWidget window;
    CRecentFiles recent(&window, &window);
    QCOMPARE(recent.getEntryText(0), QStringLiteral("1.  photo.tif"));
    QCOMPARE(recent.getEntryText(3), QString());
    QCOMPARE(recent.getEntryText(-1), QString());

    // The stem is cut, the extension stays, within 400 - 45 pixels.
    const QString elided = recent.getEntryText(1);
    QVERIFY2(elided.startsWith(QStringLiteral("2.  www")) && elided.endsWith(QStringLiteral("\u2026.jpeg")),
             qPrintable(elided));
    QVERIFY(QFontMetrics(recent.font()).horizontalAdvance(elided) <= 355);
    // Without a period in the name the whole name is the tail.
    QCOMPARE(recent.getEntryText(2), QStringLiteral("3.  README"));
}

void TestRecentFiles::missingFileWarnsAndStays()
{
    const QString gone = m_folder.filePath(QStringLiteral("gone.jpg"));
    CSettings().setValue(kRecentFilesKey, QStringList{gone});
    QWidget window;
    CRecentFiles recent(&window, &window);
    QSignalSpy opened(&recent, &CRecentFiles::openFile);

    QString text;
    whenMessageBoxShows(this, &text);
    QVERIFY(!recent.openRecentFile(gone));
    QCOMPARE(text,
             QStringLiteral("The selected image could not be found. Please check that the file was not moved "
                            "and that the disk is connected."));
    QVERIFY(opened.isEmpty());
    QCOMPARE(*recent.recentFiles(), QStringList{gone});
}

void TestRecentFiles::menuOpensEntry()
{
    const QString first = m_folder.filePath(QStringLiteral("first.png"));
    const QString second = m_folder.filePath(QStringLiteral("second.png"));
    QVERIFY(writePicture(first, QSize(4, 4)));
    QVERIFY(writePicture(second, QSize(4, 4)));
    CSettings().setValue(kRecentFilesKey, QStringList{first, second});
    QWidget window;
    CRecentFiles recent(&window, &window);
    QAction action(QStringLiteral("Recent images"));
    recent.setMenuAction(&action);
    QSignalSpy opened(&recent, &CRecentFiles::openFile);

    recent.actions().at(1)->trigger();
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened.first().first().toString(), second);

    // Removing rebuilds the menu; an index out of range removes nothing.
    recent.removeRecentFile(0);
    recent.removeRecentFile(5);
    QCOMPARE(*recent.recentFiles(), QStringList{second});
    QCOMPARE(menuTexts(recent), QStringList{QStringLiteral("1.  second.png")});
}

void TestRecentFiles::gridWithFewPictures()
{
    FakeProvider provider;
    for (const char* name : {"wide.png", "tall.png", "small.jpg"}) {
        const QString path = m_folder.filePath(QString::fromLatin1(name));
        const QSize size = QByteArray(name) == "wide.png" ? QSize(900, 300)
            : QByteArray(name) == "tall.png"              ? QSize(300, 900)
                                                          : QSize(30, 20);
        QVERIFY(writePicture(path, size, QByteArray(name).endsWith("jpg") ? "JPEG" : "PNG"));
        provider.list.append(path);
    }
    CRecentFilesModel model(&provider, nullptr);
    const QSize box = model.thumbnailSize();
    QVERIFY(box.width() > 0 && box.height() > 0);
    QVERIFY(reloadAndWait(model));

    QCOMPARE(vignettePaths(model), provider.list);
    for (int cell = 0; cell < 9; ++cell) {
        const QModelIndex index = model.index(cell / 3, cell % 3);
        const QVariant pixmap = model.data(index, Qt::DecorationRole);
        QCOMPARE(model.data(index, Qt::UserRole).value<CRecentFilesModel::EItemType>(),
                 cell == 8 ? CRecentFilesModel::eOpenOtherFile : CRecentFilesModel::eRecentFile);
        if (cell < 3) {
            QCOMPARE(model.data(index, Qt::UserRole + 1).toString(), provider.list.at(cell));
            // Each covers the box, one side equal to it, small ones enlarged.
            const QSize size = pixmap.value<QPixmap>().size();
            QVERIFY2(size.width() >= box.width() && size.height() >= box.height()
                         && (size.width() == box.width() || size.height() == box.height()),
                     qPrintable(QStringLiteral("%1x%2").arg(size.width()).arg(size.height())));
        } else {
            QVERIFY(!pixmap.isValid());
            QVERIFY(!model.data(index, Qt::UserRole + 1).isValid());
        }
    }
    QVERIFY(provider.removed.isEmpty());
}

void TestRecentFiles::unreadableFileLeavesList()
{
    FakeProvider provider;
    const QString a = m_folder.filePath(QStringLiteral("a.png"));
    const QString b = m_folder.filePath(QStringLiteral("b.png"));
    const QString garbage = m_folder.filePath(QStringLiteral("garbage.jpg"));
    QVERIFY(writePicture(a, QSize(10, 10)));
    QVERIFY(writePicture(b, QSize(10, 10)));
    QFile file(garbage);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a picture") > 0);
    file.close();
    provider.list = {a, m_folder.filePath(QStringLiteral("deleted.jpg")), garbage, b};

    CRecentFilesModel model(&provider, nullptr);
    QVERIFY(reloadAndWait(model));
    // The next file takes the cell; both unreadable entries leave the list.
    QCOMPARE(vignettePaths(model), (QStringList{a, b}));
    QCOMPARE(provider.list, (QStringList{a, b}));
    QCOMPARE(provider.removed, (QList<int>{1, 1}));
}

void TestRecentFiles::orderKeptWhenLaterFileIsFaster()
{
    FakeProvider provider;
    provider.list = {QStringLiteral("/slow.jpg"), QStringLiteral("/fast.jpg")};
    CRecentFilesModel model(&provider, nullptr);
    QSemaphore fastDone;
    QSemaphore slowGate;
    // A failing check must not leave a read blocked: the model waits for it.
    const auto unblock = qScopeGuard([&] { slowGate.release(); });
    model.setThumbnailReader([&](const QString& path, const QSize&, bool* readOk) {
        if (path == QStringLiteral("/slow.jpg"))
            slowGate.acquire();
        *readOk = true;
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        if (path == QStringLiteral("/fast.jpg"))
            fastDone.release();
        return image;
    });
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy finished(&model, &CRecentFilesModel::loadingFinished);
    model.reloadData();

    // The second file is read first; its vignette waits for the first one's.
    QVERIFY(fastDone.tryAcquire(1, 20000));
    QCoreApplication::processEvents();
    QVERIFY(model.vignettes().isEmpty());

    slowGate.release();
    QVERIFY(finished.wait(20000));
    QCOMPARE(vignettePaths(model), provider.list);
    QCOMPARE(changed.size(), 2);
    QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(0, 0));
    QCOMPARE(changed.at(1).at(0).toModelIndex(), model.index(0, 1));
}

void TestRecentFiles::reloadDropsResultsOfEarlierPass()
{
    FakeProvider provider;
    provider.list = {QStringLiteral("/photo.jpg")};
    CRecentFilesModel model(&provider, nullptr);
    // The first read of the pass that is reloaded fails late; the read of the
    // new pass succeeds.
    QSemaphore firstGate;
    QSemaphore firstStarted;
    const auto unblock = qScopeGuard([&] { firstGate.release(); });
    std::atomic<int> calls{0};
    model.setThumbnailReader([&](const QString&, const QSize&, bool* readOk) {
        if (calls.fetch_add(1) == 0) {
            firstStarted.release();
            firstGate.acquire();
            *readOk = false;
            return QImage();
        }
        *readOk = true;
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::blue);
        return image;
    });
    QSignalSpy finished(&model, &CRecentFilesModel::loadingFinished);
    model.reloadData();
    QVERIFY(firstStarted.tryAcquire(1, 20000));
    model.reloadData();
    QVERIFY(finished.wait(20000));
    QCOMPARE(vignettePaths(model), provider.list);

    firstGate.release();
    model.waitForReads();
    QCoreApplication::processEvents();
    QCOMPARE(vignettePaths(model), provider.list);
    QCOMPARE(provider.list, QStringList{QStringLiteral("/photo.jpg")});
    QVERIFY(provider.removed.isEmpty());
}

void TestRecentFiles::readButEmptyIsPassedOver()
{
    FakeProvider provider;
    provider.list = {QStringLiteral("/a.jpg"), QStringLiteral("/empty.jpg"), QStringLiteral("/b.jpg")};
    CRecentFilesModel model(&provider, nullptr);
    std::atomic<int> emptyReads{0};
    model.setThumbnailReader([&](const QString& path, const QSize&, bool* readOk) {
        *readOk = true;
        if (path == QStringLiteral("/empty.jpg")) {
            ++emptyReads;
            return QImage();
        }
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::green);
        return image;
    });
    QVERIFY(reloadAndWait(model));
    QCOMPARE(vignettePaths(model), (QStringList{"/a.jpg", "/b.jpg"}));
    QCOMPARE(provider.list.size(), 3);
    QCOMPARE(emptyReads.load(), 1);
}

void TestRecentFiles::pipeIsNotOpened()
{
    FakeProvider provider;
    const QString pipe = m_folder.filePath(QStringLiteral("pipe.jpg"));
    const QString picture = m_folder.filePath(QStringLiteral("picture.png"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QVERIFY(writePicture(picture, QSize(10, 10)));
    provider.list = {pipe, picture};

    // A read blocked in the pipe would hold the model's destructor for good:
    // on failure the model is left alive.
    auto model = std::make_unique<CRecentFilesModel>(&provider, nullptr);
    auto leaveModel = qScopeGuard([&] { (void)model.release(); });
    QVERIFY(reloadAndWait(*model));
    QCOMPARE(vignettePaths(*model), QStringList{picture});
    QCOMPARE(provider.list, QStringList{picture});
    leaveModel.dismiss();
}

void TestRecentFiles::stuckReadDoesNotHoldTheEnd()
{
    FakeProvider provider;
    provider.list = {QStringLiteral("/hung-share/photo.jpg")};
    auto model = std::make_unique<CRecentFilesModel>(&provider, nullptr);
    auto started = std::make_shared<QSemaphore>();
    auto gate = std::make_shared<QSemaphore>();
    // Released when the last copy of the reader is gone: the read has ended
    // and whatever it does with its result is done.
    auto ended = std::make_shared<QSemaphore>();
    std::shared_ptr<void> endToken(nullptr, [ended](void*) { ended->release(); });
    model->setThumbnailReader([started, gate, endToken](const QString&, const QSize&, bool* readOk) {
        started->release();
        gate->acquire();
        *readOk = false;
        return QImage();
    });
    endToken.reset();
    model->reloadData();
    QVERIFY(started->tryAcquire(1, 20000));

    // Should the destructor wait for the read, a watchdog frees the read after
    // a long while, so that the test ends, and tells.
    QSemaphore destroyed;
    std::atomic<bool> freedByWatchdog{false};
    std::thread watchdog([&] {
        if (!destroyed.tryAcquire(1, 60000)) {
            freedByWatchdog = true;
            gate->release();
        }
    });
    model.reset();
    destroyed.release();
    watchdog.join();
    QVERIFY(!freedByWatchdog);

    // The read that was left behind ends later and reaches nothing.
    gate->release();
    QVERIFY(ended->tryAcquire(1, 20000));
    QCoreApplication::processEvents();
    QVERIFY(provider.removed.isEmpty());
}

void TestRecentFiles::readSizeIsBounded_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<QSize>("expected");
    // An invalid expected size: bounded, not a plain cover of the box.
    QTest::newRow("photo") << QSize(6000, 4000) << QSize(768, 432) << QSize(768, 512);
    QTest::newRow("small enlarged") << QSize(60, 30) << QSize(768, 432) << QSize(864, 432);
    QTest::newRow("panorama") << QSize(12000, 2000) << QSize(768, 432) << QSize(2592, 432);
    QTest::newRow("no box") << QSize(6000, 4000) << QSize(0, 0) << QSize(6000, 4000);
    QTest::newRow("tall thin") << QSize(20, 20000) << QSize(768, 432) << QSize();
    QTest::newRow("wide thin") << QSize(20000, 1) << QSize(240, 180) << QSize();
}

void TestRecentFiles::readSizeIsBounded()
{
    QFETCH(QSize, image);
    QFETCH(QSize, box);
    QFETCH(QSize, expected);
    const QSize size = CRecentFilesModel::thumbnailReadSize(image, box);
    if (expected.isValid()) {
        QCOMPARE(size, expected);
        return;
    }
    QVERIFY(size.width() >= 1 && size.height() >= 1);
    QVERIFY(qint64(size.width()) * size.height() <= 4 * qint64(box.width()) * box.height());
    // Still the picture's shape, where whole pixels allow it.
    const qreal aspect = qreal(image.width()) / image.height();
    const qreal got = qreal(size.width()) / size.height();
    if (qMin(size.width(), size.height()) >= 10)
        QVERIFY2(qMax(aspect, got) / qMin(aspect, got) < 1.05,
                 qPrintable(QStringLiteral("%1x%2").arg(size.width()).arg(size.height())));
}

void TestRecentFiles::tallThinFileGetsSmallThumbnail()
{
    const QString path = m_folder.filePath(QStringLiteral("tall.png"));
    QVERIFY(writePicture(path, QSize(20, 20000)));
    const QSize box(768, 432);
    bool readOk = false;
    const QImage image = CRecentFilesModel::loadThumbnail(path, box, &readOk);
    QVERIFY(readOk);
    QVERIFY(!image.isNull());
    QVERIFY2(qint64(image.width()) * image.height() <= 4 * qint64(box.width()) * box.height(),
             qPrintable(QStringLiteral("%1x%2").arg(image.width()).arg(image.height())));
}

void TestRecentFiles::turnedAndTiffPictures()
{
    const QSize box(240, 180);
    bool readOk = false;
    // Taken with the camera turned: upright, so taller than wide.
    const QString turned = QStringLiteral(QUILLET_FIXTURES_DIR "/photo12-orient6.jpg");
    QVERIFY2(QFileInfo::exists(turned), qPrintable(turned));
    const QImage upright = CRecentFilesModel::loadThumbnail(turned, box, &readOk);
    QVERIFY(readOk);
    QVERIFY2(upright.height() > upright.width(),
             qPrintable(QStringLiteral("%1x%2").arg(upright.width()).arg(upright.height())));
    QVERIFY(upright.width() >= box.width() && upright.height() >= box.height());

    // A TIFF, which the toolkit here has no reader for, still has its thumbnail.
    const QString tiff = m_folder.filePath(QStringLiteral("picture.tif"));
    QVERIFY(writeTiff(tiff));
    readOk = false;
    const QImage image = CRecentFilesModel::loadThumbnail(tiff, box, &readOk);
    QVERIFY(readOk);
    QCOMPARE(image.size(), QSize(360, 180));
}

// A picture stored turned a quarter is read against the box turned the same
// way: its thumbnail is the picture itself, not a smaller read enlarged.
void TestRecentFiles::turnedPictureIsNotEnlarged()
{
    QImage stored(400, 300, QImage::Format_RGB888);
    for (int y = 0; y < stored.height(); ++y)
        for (int x = 0; x < stored.width(); ++x)
            stored.setPixelColor(x, y, (x / 2 + y / 2) % 2 ? Qt::white : Qt::black);
    const QString path = m_folder.filePath(QStringLiteral("turned.jpg"));
    SPatternFile options;
    options.orientation = 6;
    QVERIFY(writeImageFile(path, stored, options));

    bool readOk = false;
    const QImage thumbnail =
        CRecentFilesModel::loadThumbnail(path, QSize(300, 200), &readOk).convertToFormat(QImage::Format_RGB888);
    QVERIFY(readOk);
    QCOMPARE(thumbnail.size(), QSize(300, 400));
    const QImage upright = stored.transformed(QTransform().rotate(90));
    qint64 difference = 0;
    for (int y = 0; y < upright.height(); ++y)
        for (int x = 0; x < upright.width() * 3; ++x)
            difference += qAbs(int(thumbnail.constScanLine(y)[x]) - int(upright.constScanLine(y)[x]));
    const double mean = double(difference) / (upright.width() * 3.0 * upright.height());
    QVERIFY2(mean < 12, qPrintable(QString::number(mean)));
}

void TestRecentFiles::activatingCells()
{
    const QString path = m_folder.filePath(QStringLiteral("cell.png"));
    QVERIFY(writePicture(path, QSize(40, 30)));
    FakeProvider provider;
    provider.list = {path};
    CRecentFilesWidget widget;
    widget.setRecentFilesProvider(&provider);
    CRecentFilesModel* model = widget.recentFilesModel();
    QVERIFY(reloadAndWait(*model));
    QSignalSpy other(&widget, &CRecentFilesWidget::openOtherFile);

    Q_EMIT widget.activated(model->index(0, 1));
    QVERIFY(provider.opened.isEmpty());
    QVERIFY(other.isEmpty());
    Q_EMIT widget.activated(model->index(0, 0));
    QCOMPARE(provider.opened, QStringList{path});
    Q_EMIT widget.activated(model->index(2, 2));
    QCOMPARE(other.size(), 1);

    // One click opens a thumbnail; showing the grid reads the list again.
    provider.opened.clear();
    QSignalSpy loaded(model, &CRecentFilesModel::loadingFinished);
    widget.resize(600, 450);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QVERIFY(!loaded.isEmpty() || loaded.wait(20000));
    QTest::mouseClick(widget.viewport(), Qt::LeftButton, {}, widget.visualRect(model->index(0, 0)).center());
    QCOMPARE(provider.opened, QStringList{path});
}

QTEST_MAIN(TestRecentFiles)
#include "tst_recentfiles.moc"
