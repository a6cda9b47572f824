#include "online/CDowloadManager.h"

#include "utils/Logger.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QUuid>

#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>

using namespace NAVIK_tarl1;

namespace {

using Locker = QMutexLocker<QRecursiveMutex>;

int percent(qint64 received, qint64 total)
{
    if (total <= 0 || received < 1)
        return 0;
    return static_cast<int>(received * 100 / total);
}

QString folderOf(const QString& targetPath)
{
    return QFileInfo(targetPath).absolutePath();
}

} // namespace

CDowloadManager::CDowloadManager(QObject* parent) : QObject(parent), m_network(new QNetworkAccessManager(this))
{
    qRegisterMetaType<CDowloadManager::DownloadError>();
}

CDowloadManager::~CDowloadManager()
{
    ASSERT(m_downloads.isEmpty());
}

qint64 CDowloadManager::freeSpace(const QString& folder) const
{
    struct statfs info {};
    if (statfs(QFile::encodeName(folder).constData(), &info) != 0)
        return -1;
    return static_cast<qint64>(info.f_bavail) * static_cast<qint64>(info.f_bsize);
}

QString CDowloadManager::startDownload(const QUrl& url, const QString& targetPath)
{
    Locker lock(&m_mutex);
    if (url.isEmpty() || !url.isValid() || targetPath.isEmpty())
        return QString();
    if (!prepareTarget(targetPath))
        return QString();
    const qint64 space = freeSpace(folderOf(targetPath));
    if (space < 0 || space < kMinimumFreeSpace)
        return QString();

    QNetworkRequest request(url);
    const QString id = QUuid::createUuid().toString();
    Q_EMIT progressChanged(id, 0, 0);

    QNetworkReply* reply = m_network->get(request);
    if (reply->error() != QNetworkReply::NoError) {
        reply->deleteLater();
        return QString();
    }

    auto* mapper = new CNetworkMapper(this);
    mapper->setDownloadId(id);
    connect(reply, &QNetworkReply::errorOccurred, mapper, &CNetworkMapper::onError);
    connect(mapper, &CNetworkMapper::error, this, &CDowloadManager::onError);
    connect(reply, &QNetworkReply::finished, mapper, &CNetworkMapper::onFinished);
    connect(mapper, &CNetworkMapper::finished, this, &CDowloadManager::onFinished);
    connect(reply, &QNetworkReply::downloadProgress, mapper, &CNetworkMapper::onDownloadProgress);
    connect(mapper, &CNetworkMapper::downloadProgress, this, &CDowloadManager::onDownloadProgress);

    m_downloads.insert(id, DowloadInfo{reply, mapper, 0, 0, targetPath});
    return id;
}

bool CDowloadManager::prepareTarget(const QString& targetPath)
{
    const QFileInfo info(targetPath);
    if (info.isDir())
        return false;
    if (info.exists()) {
        QFile::setPermissions(targetPath, QFile::ReadUser | QFile::WriteUser);
        QFile::remove(targetPath);
    }
    QFile file(targetPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.close();
    QFile::setPermissions(targetPath, QFile::ReadUser | QFile::WriteUser);
    return QFile::remove(targetPath);
}

bool CDowloadManager::writeToFile(const QString& targetPath, QNetworkReply* reply)
{
    const qint64 space = qMax<qint64>(freeSpace(folderOf(targetPath)), 0);
    if (space - reply->size() < kMinimumFreeSpace)
        return false;
    QFile file(targetPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // The download is complete only when every byte is on the disk: a full
    // disk may cut a write short, or fail only when the file's buffer is
    // flushed or the file is closed. A failed file does not stay behind
    // under the target's name.
    const QByteArray body = reply->readAll();
    QString failure;
    if (file.write(body) != body.size() || !file.flush())
        failure = file.errorString();
    else if (::fsync(file.handle()) != 0)
        failure = qt_error_string(errno);
    file.close();
    if (failure.isEmpty() && file.error() != QFileDevice::NoError)
        failure = file.errorString();
    if (failure.isEmpty())
        return true;
    LOG_MESSAGE('E', "Writing the download to \"" << targetPath << "\" failed: " << failure);
    QFile::remove(targetPath);
    return false;
}

int CDowloadManager::progress(const QString& id)
{
    Locker lock(&m_mutex);
    const auto it = m_downloads.constFind(id);
    if (it == m_downloads.constEnd())
        return -1;
    return percent(it->received, it->total);
}

int CDowloadManager::totalProgress()
{
    Locker lock(&m_mutex);
    return computeTotalProgress();
}

int CDowloadManager::computeTotalProgress() const
{
    // Downloads of unknown length have no share in the whole yet.
    qint64 received = 0;
    qint64 total = 0;
    for (const DowloadInfo& info : m_downloads) {
        if (info.total > 0) {
            received += info.received;
            total += info.total;
        }
    }
    return percent(received, total);
}

int CDowloadManager::downloadCount()
{
    Locker lock(&m_mutex);
    return static_cast<int>(m_downloads.size());
}

bool CDowloadManager::cancelDownload(const QString& id)
{
    Locker lock(&m_mutex);
    const auto it = m_downloads.constFind(id);
    if (it == m_downloads.constEnd())
        return false;
    QNetworkReply* reply = it->reply;
    // A receiver may cancel another download while one is being cancelled.
    const QString outerCancelingId = m_cancelingId;
    m_cancelingId = id;
    // Delivers the reply's error and finished signals before it returns.
    if (reply)
        reply->abort();
    removeDownload(id, true);
    Q_EMIT totalProgressChanged(computeTotalProgress());
    m_cancelingId = outerCancelingId;
    return true;
}

bool CDowloadManager::cancelAll()
{
    Locker lock(&m_mutex);
    // A receiver may cancel or start downloads meanwhile: walk the ids there
    // were, and leave the new ones alone.
    const QStringList ids = m_downloads.keys();
    for (const QString& id : ids) {
        const auto it = m_downloads.constFind(id);
        if (it == m_downloads.constEnd())
            continue;
        QNetworkReply* reply = it->reply;
        m_cancelingId = id;
        if (reply)
            reply->abort();
        // Gone at once, so a receiver never finds a download half cancelled.
        removeDownload(id, true);
        m_cancelingId.clear();
    }
    Q_EMIT totalProgressChanged(computeTotalProgress());
    return true;
}

void CDowloadManager::removeDownload(const QString& id, bool erase)
{
    const auto it = m_downloads.find(id);
    if (it == m_downloads.end())
        return;
    if (it->mapper)
        it->mapper->deleteLater();
    if (it->reply)
        it->reply->deleteLater();
    it->mapper = nullptr;
    it->reply = nullptr;
    if (erase)
        m_downloads.erase(it);
}

void CDowloadManager::onError(const QString& id, QNetworkReply::NetworkError code)
{
    Locker lock(&m_mutex);
    if (!m_downloads.contains(id)) {
        ASSERT(false);
        return;
    }
    if (id != m_cancelingId)
        removeDownload(id, true);
    Q_EMIT error(id, code == QNetworkReply::OperationCanceledError ? DownloadCanceled : DownloadNetworkError);
    Q_EMIT totalProgressChanged(computeTotalProgress());
}

void CDowloadManager::onFinished(const QString& id)
{
    Locker lock(&m_mutex);
    const auto it = m_downloads.constFind(id);
    if (it == m_downloads.constEnd())
        return;
    const DowloadInfo info = *it;
    Q_EMIT progressChanged(id, info.received, info.total);
    if (info.reply && info.reply->error() == QNetworkReply::NoError) {
        if (writeToFile(info.targetPath, info.reply))
            Q_EMIT downloaded(id);
        else
            Q_EMIT error(id, DownloadFileError);
    }
    if (id != m_cancelingId)
        removeDownload(id, true);
    Q_EMIT totalProgressChanged(computeTotalProgress());
}

void CDowloadManager::onDownloadProgress(const QString& id, qint64 received, qint64 total)
{
    Locker lock(&m_mutex);
    const auto it = m_downloads.find(id);
    if (it == m_downloads.end())
        return;
    it->received = received;
    it->total = total;
    Q_EMIT progressChanged(id, received, total);
    Q_EMIT totalProgressChanged(computeTotalProgress());
}

CNetworkMapper::CNetworkMapper(QObject* parent) : QObject(parent) {}

CNetworkMapper::CNetworkMapper(CDowloadManager* manager) : QObject(manager) {}

void CNetworkMapper::onError(QNetworkReply::NetworkError code)
{
    Q_EMIT error(m_downloadId, code);
}

void CNetworkMapper::onFinished()
{
    Q_EMIT finished(m_downloadId);
}

void CNetworkMapper::onDownloadProgress(qint64 received, qint64 total)
{
    Q_EMIT downloadProgress(m_downloadId, received, total);
}
