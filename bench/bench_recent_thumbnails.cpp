// The start page's thumbnails of large photographs: the time of one decode
// at the page's size, and a whole pass over eight pictures as the page runs
// it (the arrival of each thumbnail after the reload, the time the reload
// itself holds the GUI thread, and the longest the GUI thread went without
// serving its timer while the thumbnails came in).
//
//   bench_recent_thumbnails [photo.jpg]   (default: the 24 MP fixture)

#include "engine/ImageConversion.h"
#include "mainwindow/CRecentFilesModel.h"
#include "mainwindow/IRecentFilesProviderInterface.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

class ListProvider : public IRecentFilesProviderInterface
{
public:
    const QStringList* recentFiles() const override { return &list; }
    bool openRecentFile(const QString&) override { return false; }
    void removeRecentFile(int index) override { list.removeAt(index); }
    QObject* object() override { return nullptr; }

    QStringList list;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QString photo =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(QUILLET_FIXTURES_DIR "/photo24.jpg");
    if (!QFile::exists(photo)) {
        std::fprintf(stderr, "no picture at %s\n", qPrintable(photo));
        return 1;
    }

    ListProvider provider;
    QTemporaryDir folder;
    for (int i = 0; i < 8; ++i) {
        const QString copy = folder.filePath(QStringLiteral("photo%1.jpg").arg(i));
        if (!QFile::copy(photo, copy))
            return 1;
        provider.list.append(copy);
    }
    CRecentFilesModel model(&provider, nullptr);
    const QSize box = model.thumbnailSize();
    std::printf("picture %s, thumbnail box %dx%d\n", qPrintable(photo), box.width(), box.height());

    // One decode on this thread.
    QList<qint64> decodes;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        bool readOk = false;
        const QImage image = CRecentFilesModel::loadThumbnail(provider.list.at(i), box, &readOk);
        decodes.append(timer.elapsed());
        if (!readOk)
            return 1;
        if (i == 0)
            std::printf("thumbnail %dx%d\n", image.width(), image.height());
    }
    std::sort(decodes.begin(), decodes.end());
    std::printf("one thumbnail: min %lld ms, median %lld ms, max %lld ms\n", decodes.first(), decodes.at(2),
                decodes.last());

    // Its parts: the scaled read alone, and the EXIF orientation alone.
    {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 5; ++i) {
            QImageReader reader(provider.list.at(i));
            reader.setScaledSize(CRecentFilesModel::thumbnailReadSize(reader.size(), box));
            reader.read();
        }
        std::printf("scaled read alone: %.1f ms\n", timer.nsecsElapsed() / 5e6);
        timer.restart();
        QImage pixel(1, 1, QImage::Format_RGB32);
        for (int i = 0; i < 5; ++i)
            rotateImageAccordingToExifData(pixel, provider.list.at(i));
        std::printf("EXIF orientation alone: %.1f ms\n", timer.nsecsElapsed() / 5e6);
    }

    // What turning a thumbnail into a pixmap costs the GUI thread.
    {
        bool readOk = false;
        const QImage image = CRecentFilesModel::loadThumbnail(provider.list.first(), box, &readOk);
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 8; ++i)
            QPixmap::fromImage(image);
        std::printf("pixmap from thumbnail: %.1f ms\n", timer.nsecsElapsed() / 8e6);
    }

    // The GUI thread's timer when nothing is read, to compare the stall with.
    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longestStall = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longestStall = std::max(longestStall, now - lastTick);
        lastTick = now;
    });
    clock.start();
    ticker.start();
    QTimer::singleShot(400, &app, &QCoreApplication::quit);
    app.exec();
    ticker.stop();
    std::printf("longest GUI-thread stall while idle: %lld ms\n", longestStall);
    longestStall = 0;

    // A pass as the page runs it.
    QList<qint64> arrivals;
    QObject::connect(&model, &QAbstractItemModel::dataChanged, [&] { arrivals.append(clock.elapsed()); });
    QObject::connect(&model, &CRecentFilesModel::loadingFinished, &app, &QCoreApplication::quit);
    clock.start();
    model.reloadData();
    const qint64 reloadTime = clock.elapsed();
    lastTick = reloadTime;
    ticker.start();
    app.exec();
    const qint64 total = clock.elapsed();

    std::printf("reload returned after %lld ms\n", reloadTime);
    for (int i = 0; i < arrivals.size(); ++i)
        std::printf("thumbnail %d after %lld ms (%lld ms after the one before)\n", i + 1, arrivals.at(i),
                    arrivals.at(i) - (i ? arrivals.at(i - 1) : 0));
    std::printf("pass of %lld thumbnails: %lld ms; longest GUI-thread stall %lld ms\n", qint64(arrivals.size()), total,
                longestStall);
    return arrivals.size() == 8 ? 0 : 1;
}
