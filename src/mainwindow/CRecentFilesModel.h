#pragma once

// The start page's grid of three by three cells: the thumbnails of the first
// eight readable recent files, row by row, and "Open other file" in the last
// cell. Every reload starts a new pass over the list. The pictures are
// decoded on worker threads, several at once, and shown in the order of the
// list as they come in; a file that cannot be read leaves the recent list, a
// file that was read but gave no picture is passed over.

#include <QAbstractTableModel>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QStringList>
#include <QThreadPool>

#include <functional>
#include <memory>

class IRecentFilesProviderInterface;

class CRecentFilesModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum EItemType
    {
        eRecentFile = 0,
        eOpenOtherFile = 1
    };
    Q_ENUM(EItemType)

    struct SVignette
    {
        QString path;
        QPixmap pixmap;
    };

    // Decodes the thumbnail of one file for the given box; runs on a worker
    // thread. `readOk` tells whether the file could be read at all.
    using ThumbnailReader = std::function<QImage(const QString& path, const QSize& box, bool* readOk)>;

    CRecentFilesModel(IRecentFilesProviderInterface* provider, QObject* parent);
    // Waits a little for the reads still running; a read stuck in the system
    // (a hung network path) is left to finish on its own, its result unused.
    ~CRecentFilesModel() override;

    // How long the destructor waits for the reads still running.
    static constexpr int exitWaitMs = 2000;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    static int maxVignetteCount();
    // The thumbnail of the file at `path`, upright: at the smallest size of
    // its aspect ratio that covers `box` (an invalid box keeps the file's own
    // size), within a bounded number of pixels. Only a regular file is read:
    // anything else (a pipe, a socket, a device) counts as unreadable. Safe on
    // any thread.
    static QImage loadThumbnail(const QString& path, const QSize& box, bool* readOk);
    // The size asked of the reader for a picture of `imageSize`: covering
    // `box`, but never more pixels than four boxes hold, so that a long thin
    // picture does not ask for a huge one.
    static QSize thumbnailReadSize(const QSize& imageSize, const QSize& box);

    // 30 % of the largest screen width and height.
    QSize thumbnailSize() const;
    QList<SVignette> vignettes() const;
    // Replaces the reader (tests); the default is loadThumbnail.
    void setThumbnailReader(ThumbnailReader reader);
    // Blocks until the reads under way have ended; their results are still
    // to be delivered by the event loop.
    void waitForReads();

public Q_SLOTS:
    void reloadData();

Q_SIGNALS:
    // The pass has ended: the list is exhausted or the grid is full.
    void loadingFinished();

private Q_SLOTS:
    void onModelReset();
    void loadCurrentVignette();

private:
    struct SRead
    {
        quint64 id = 0;
        QString path;
        bool done = false;
        bool readOk = false;
        QImage image;
    };

    void startReads();
    void onThumbnailRead(quint64 pass, quint64 id, const QImage& image, bool readOk);
    // Results still under way are dropped; reading goes on from the next index.
    void restartReads();

    IRecentFilesProviderInterface* m_provider = nullptr;
    const QStringList* m_list = nullptr;
    QList<SVignette> m_vignettes;
    int m_nextIndex = 0;
    QSize m_thumbnailSize;
    ThumbnailReader m_reader;
    // The reads started for the entries from the next index on, in list order.
    QList<SRead> m_reads;
    quint64 m_pass = 0;
    quint64 m_nextReadId = 0;
    bool m_loading = false;
    // Owned, but left alive by the destructor while a read is stuck in it.
    std::unique_ptr<QThreadPool> m_pool;
    // Shared with the reads: through it a read delivers its result while the
    // model lives, and drops it afterwards.
    struct SDelivery;
    std::shared_ptr<SDelivery> m_delivery;
};

Q_DECLARE_METATYPE(CRecentFilesModel::EItemType)
