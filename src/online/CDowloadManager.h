#pragma once

// Downloads files into given target paths, several at a time. Each download
// has an id of its own; progress comes per download and over all of them.
// A receiver of any signal may call the manager back (the lock is
// recursive). Lives on the main thread; nothing in the program uses it yet.

#include <QMap>
#include <QMetaType>
#include <QNetworkReply>
#include <QObject>
#include <QRecursiveMutex>
#include <QString>
#include <QUrl>

class QNetworkAccessManager;
class CNetworkMapper;

class CDowloadManager : public QObject
{
    Q_OBJECT
public:
    enum DownloadError {
        DownloadCanceled = 0,     // the reply ended as cancelled
        DownloadNetworkError = 1, // any other reply error
        DownloadFileError = 2,    // the body could not be written to the target
    };
    Q_ENUM(DownloadError)

    struct DowloadInfo
    {
        QNetworkReply* reply = nullptr;
        CNetworkMapper* mapper = nullptr;
        qint64 received = 0;
        qint64 total = 0; // as the reply reports it; -1 when unknown
        QString targetPath;
    };

    // Less free space than this on the target's volume refuses a download.
    static constexpr qint64 kMinimumFreeSpace = 0x1400000;

    explicit CDowloadManager(QObject* parent = nullptr);
    ~CDowloadManager() override;

    // The id of the new download, or a null string when it was refused (an
    // empty or invalid address, no target, a target that is a folder or
    // cannot be written, too little free space, an immediate error).
    QString startDownload(const QUrl& url, const QString& targetPath);
    // Percent of one download: 0 until its total is known; -1 for an unknown id.
    int progress(const QString& id);
    // Percent over the downloads whose total is known; 0 when none is.
    int totalProgress();
    int downloadCount();
    // Stops the download: `error` with DownloadCanceled, then the new total.
    bool cancelDownload(const QString& id);
    bool cancelAll();

    QNetworkAccessManager* networkAccessManager() const { return m_network; }

Q_SIGNALS:
    void downloaded(const QString& id);
    void error(const QString& id, CDowloadManager::DownloadError error);
    void progressChanged(const QString& id, qint64 received, qint64 total);
    void totalProgressChanged(int percent);

protected:
    // Bytes free on the volume that holds `folder`; -1 when unknown.
    virtual qint64 freeSpace(const QString& folder) const;

private Q_SLOTS:
    void onError(const QString& id, QNetworkReply::NetworkError code);
    void onFinished(const QString& id);
    void onDownloadProgress(const QString& id, qint64 received, qint64 total);

private:
    bool prepareTarget(const QString& targetPath);
    bool writeToFile(const QString& targetPath, QNetworkReply* reply);
    int computeTotalProgress() const;
    void removeDownload(const QString& id, bool erase);

    QNetworkAccessManager* m_network = nullptr;
    QMap<QString, DowloadInfo> m_downloads;
    QRecursiveMutex m_mutex;
    QString m_cancelingId;
};

Q_DECLARE_METATYPE(CDowloadManager::DownloadError)

// Follows one reply and passes its signals on with the download id in front.
class CNetworkMapper : public QObject
{
    Q_OBJECT
public:
    explicit CNetworkMapper(QObject* parent = nullptr);
    explicit CNetworkMapper(CDowloadManager* manager);

    void setDownloadId(const QString& id) { m_downloadId = id; }
    const QString& downloadId() const { return m_downloadId; }

public Q_SLOTS:
    void onError(QNetworkReply::NetworkError code);
    void onFinished();
    void onDownloadProgress(qint64 received, qint64 total);

Q_SIGNALS:
    void error(const QString& id, QNetworkReply::NetworkError code);
    void finished(const QString& id);
    void downloadProgress(const QString& id, qint64 received, qint64 total);

private:
    QString m_downloadId;
};
