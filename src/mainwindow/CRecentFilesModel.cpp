#include "mainwindow/CRecentFilesModel.h"

#include "engine/CNavikImageProxy.h"
#include "engine/ImageConversion.h"
#include "engine/NavikStrings.h"
#include "mainwindow/IRecentFilesProviderInterface.h"
#include "utils/Logger.h"
#include "utils/MacOSNativeGlue.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QMutex>
#include <QScreen>
#include <QThread>
#include <QTransform>
#include <QtMath>

using namespace NAVIK_tarl1;

namespace {

constexpr int kGridSide = 3;
constexpr int kMaxVignettes = 8;
constexpr qreal kScreenFraction = 0.3;
// A thumbnail holds at most as many pixels as this many boxes.
constexpr qint64 kMaxThumbnailBoxes = 4;

bool isValidBox(const QSize& box)
{
    return box.width() > 0 && box.height() > 0;
}

// The whole picture through the program's own decoders, for the formats the
// toolkit has no reader for (TIFF).
QImage readWithFramework(const QString& path)
{
    Navik::ImageStatus status;
    Navik::Image* image =
        Navik::LoadFullImage(toNavikPath(path), Navik::kFileFormatUnknown, Navik::Dictionary(), &status, nullptr);
    if (!image)
        return {};
    const CNavikImageProxy proxy(image, true, false, QString());
    return proxy.toQImage();
}

} // namespace

// A read that ends after the model is gone must not reach it.
struct CRecentFilesModel::SDelivery
{
    QMutex mutex;
    CRecentFilesModel* model = nullptr;
};

CRecentFilesModel::CRecentFilesModel(IRecentFilesProviderInterface* provider, QObject* parent)
    : QAbstractTableModel(parent)
    , m_provider(provider)
    , m_reader(&CRecentFilesModel::loadThumbnail)
    , m_pool(std::make_unique<QThreadPool>())
    , m_delivery(std::make_shared<SDelivery>())
{
    m_delivery->model = this;
    qRegisterMetaType<CRecentFilesModel::EItemType>("CRecentFilesModel::EItemType");
    int width = 0;
    int height = 0;
    for (const QScreen* screen : QGuiApplication::screens()) {
        width = qMax(width, screen->geometry().width());
        height = qMax(height, screen->geometry().height());
    }
    m_thumbnailSize = QSize(qRound(kScreenFraction * width), qRound(kScreenFraction * height));
    // Decoding is bounded by the disk and the cores: a few files at once.
    m_pool->setMaxThreadCount(qBound(2, QThread::idealThreadCount() / 2, 4));
    reloadData();
    connect(this, &QAbstractItemModel::modelReset, this, &CRecentFilesModel::onModelReset);
}

CRecentFilesModel::~CRecentFilesModel()
{
    {
        const QMutexLocker lock(&m_delivery->mutex);
        m_delivery->model = nullptr;
    }
    m_pool->clear();
    if (!m_pool->waitForDone(exitWaitMs)) {
        // The pool's destructor would wait for the stuck read without end,
        // and with it the program's exit: it is left to the process's end.
        LOG_MESSAGE('E', "A recent file's thumbnail is still being read; the read is left behind");
        (void)m_pool.release();
    }
}

int CRecentFilesModel::rowCount(const QModelIndex&) const
{
    return kGridSide;
}

int CRecentFilesModel::columnCount(const QModelIndex&) const
{
    return kGridSide;
}

int CRecentFilesModel::maxVignetteCount()
{
    return kMaxVignettes;
}

QVariant CRecentFilesModel::data(const QModelIndex& index, int role) const
{
    const int linear = index.row() * kGridSide + index.column();
    const bool lastCell = linear == kGridSide * kGridSide - 1;
    const bool hasVignette = !lastCell && linear >= 0 && linear < m_vignettes.size();
    switch (role) {
    case Qt::DecorationRole:
        return hasVignette ? QVariant(m_vignettes.at(linear).pixmap) : QVariant();
    case Qt::UserRole:
        return QVariant::fromValue(lastCell ? eOpenOtherFile : eRecentFile);
    case Qt::UserRole + 1:
        return hasVignette ? QVariant(m_vignettes.at(linear).path) : QVariant();
    default:
        return {};
    }
}

QSize CRecentFilesModel::thumbnailSize() const
{
    return m_thumbnailSize;
}

QList<CRecentFilesModel::SVignette> CRecentFilesModel::vignettes() const
{
    return m_vignettes;
}

void CRecentFilesModel::waitForReads()
{
    m_pool->waitForDone();
}

void CRecentFilesModel::setThumbnailReader(ThumbnailReader reader)
{
    m_reader = std::move(reader);
}

QSize CRecentFilesModel::thumbnailReadSize(const QSize& imageSize, const QSize& box)
{
    if (!isValidBox(box) || imageSize.isEmpty())
        return imageSize;
    QSize size = imageSize.scaled(box, Qt::KeepAspectRatioByExpanding);
    const qint64 maxPixels = kMaxThumbnailBoxes * box.width() * box.height();
    const qint64 pixels = qint64(size.width()) * size.height();
    if (pixels > maxPixels) {
        const qreal factor = std::sqrt(qreal(maxPixels) / qreal(pixels));
        size = QSize(qMax(1, int(size.width() * factor)), qMax(1, int(size.height() * factor)));
    }
    return size;
}

QImage CRecentFilesModel::loadThumbnail(const QString& path, const QSize& box, bool* readOk)
{
    // Opening a pipe blocks until someone writes to it, and a device may
    // never end: only a regular file is opened.
    *readOk = false;
    if (!QFileInfo(path).isFile())
        return {};
    // A picture stored turned a quarter is read against the box turned the
    // same way, so that upright it covers the box without being enlarged.
    const qreal angle = exifRotationAngle(path);
    const QSize storedBox = angle == 90 || angle == 270 ? box.transposed() : box;
    QImageReader reader(path);
    if (isValidBox(box)) {
        // JPEG files are then decoded at a fraction of their size.
        const QSize size = reader.size();
        if (size.isValid())
            reader.setScaledSize(thumbnailReadSize(size, storedBox));
    }
    QImage image = reader.read();
    if (image.isNull() && reader.error() == QImageReader::UnsupportedFormatError) {
        image = readWithFramework(path);
        if (!image.isNull() && isValidBox(box))
            image = image.scaled(thumbnailReadSize(image.size(), storedBox), Qt::IgnoreAspectRatio,
                                 Qt::SmoothTransformation);
    }
    *readOk = !image.isNull();
    if (image.isNull())
        return image;
    if (angle != 0)
        image = image.transformed(QTransform().rotate(angle, Qt::ZAxis), Qt::FastTransformation);
    // Whatever the reader gave, a thumbnail is never more than the box needs
    // and never enlarged.
    if (isValidBox(box) && (image.width() > box.width() || image.height() > box.height())) {
        const QSize size = thumbnailReadSize(image.size(), box);
        if (size.width() < image.width() && size.height() < image.height())
            image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

void CRecentFilesModel::reloadData()
{
    beginResetModel();
    m_list = m_provider ? m_provider->recentFiles() : nullptr;
    ASSERT(m_list);
    m_nextIndex = 0;
    m_vignettes.clear();
    restartReads();
    m_loading = true;
    endResetModel();
}

void CRecentFilesModel::onModelReset()
{
    loadCurrentVignette();
}

void CRecentFilesModel::restartReads()
{
    // Reads not yet begun are dropped; those under way end on their own and
    // their results, from an earlier pass, are not taken.
    m_pool->clear();
    m_reads.clear();
    ++m_pass;
}

void CRecentFilesModel::loadCurrentVignette()
{
    MacOSInitRecentDocuments();
    if (!m_list)
        return;
    // Results are taken in list order: a file read early waits for those
    // before it.
    while (!m_reads.isEmpty() && m_reads.first().done && m_nextIndex < m_list->size()
           && m_vignettes.size() < kMaxVignettes) {
        const SRead read = m_reads.takeFirst();
        if (m_list->at(m_nextIndex) != read.path) {
            // The list changed under the pass: read again from here.
            restartReads();
            break;
        }
        if (!read.readOk) {
            LOG_MESSAGE('D', "Error loading file for recent files widget: " << read.path);
            m_provider->removeRecentFile(m_nextIndex);
        } else if (read.image.isNull()) {
            // Read but without a picture: passed over, not tried again.
            ++m_nextIndex;
        } else {
            m_vignettes.append({read.path, QPixmap::fromImage(read.image)});
            const int n = int(m_vignettes.size()) - 1;
            const QModelIndex cell = index(n / kGridSide, n % kGridSide);
            Q_EMIT dataChanged(cell, cell);
            ++m_nextIndex;
        }
    }
    if (m_nextIndex >= m_list->size() || m_vignettes.size() >= kMaxVignettes) {
        if (!m_reads.isEmpty())
            restartReads();
    } else {
        startReads();
    }
    if (m_reads.isEmpty() && m_loading) {
        m_loading = false;
        Q_EMIT loadingFinished();
    }
}

void CRecentFilesModel::startReads()
{
    const int wanted = qMin(int(kMaxVignettes - m_vignettes.size()), m_pool->maxThreadCount());
    while (m_reads.size() < wanted && m_nextIndex + m_reads.size() < m_list->size()) {
        SRead read;
        read.id = ++m_nextReadId;
        read.path = m_list->at(m_nextIndex + m_reads.size());
        m_reads.append(read);
        const quint64 pass = m_pass;
        const quint64 id = read.id;
        const QString path = read.path;
        const QSize box = m_thumbnailSize;
        const ThumbnailReader reader = m_reader;
        const std::shared_ptr<SDelivery> delivery = m_delivery;
        m_pool->start([delivery, reader, path, box, pass, id] {
            bool readOk = false;
            const QImage image = reader(path, box, &readOk);
            // Posting under the lock: the model cannot be destroyed meanwhile,
            // and its destruction removes what is still posted.
            const QMutexLocker lock(&delivery->mutex);
            if (CRecentFilesModel* model = delivery->model)
                QMetaObject::invokeMethod(
                    model, [model, pass, id, image, readOk] { model->onThumbnailRead(pass, id, image, readOk); },
                    Qt::QueuedConnection);
        });
    }
}

void CRecentFilesModel::onThumbnailRead(quint64 pass, quint64 id, const QImage& image, bool readOk)
{
    if (pass != m_pass)
        return;
    for (SRead& read : m_reads) {
        if (read.id == id) {
            read.done = true;
            read.readOk = readOk;
            read.image = image;
            break;
        }
    }
    loadCurrentVignette();
}
