// The download manager against a fake server on 127.0.0.1: finished
// downloads with their progress, unknown lengths, cancels, refusals, network
// and file errors, and receivers that call the manager back.

#include "FakeHttpService.h"
#include "FileSizeLimit.h"

#include "online/CDowloadManager.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <csignal>

namespace {

// Free space as the test says, in place of the volume's.
class SpaceManager : public CDowloadManager
{
public:
    QList<qint64> spaces; // one per question; the last one repeats
    mutable int asked = 0;

protected:
    qint64 freeSpace(const QString& folder) const override
    {
        if (spaces.isEmpty())
            return CDowloadManager::freeSpace(folder);
        const qint64 space = spaces.value(asked, spaces.last());
        ++asked;
        return space;
    }
};

QByteArray payload(int size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        data[i] = char('a' + i % 26);
    return data;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestDownloadManager : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void downloadWithProgress();
    void unknownLengthCountsNothingInTheTotal();
    void cancelReportsOnce();
    void cancelAllAndReentrantReceivers();
    void refusals_data();
    void refusals();
    void tooLittleSpace();
    void networkError();
    void fullDisk_data();
    void fullDisk();
    void replacesAnExistingReadOnlyFile();

private:
    QString target(const QString& name) const { return QDir(m_dir->path()).filePath(name); }
    QUrl url(const QByteArray& path) const { return QUrl(QString::fromLatin1(m_service->url() + path)); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<FakeHttpService> m_service;
    QMap<QByteArray, FakeResponse> m_responses; // by path
};

void TestDownloadManager::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_responses.clear();
    m_service = std::make_unique<FakeHttpService>([this](const FakeRequest& request) {
        if (m_responses.contains(request.path))
            return m_responses.value(request.path);
        FakeResponse missing;
        missing.status = 404;
        missing.reason = "Not Found";
        return missing;
    });
}

void TestDownloadManager::downloadWithProgress()
{
    const QByteArray body = payload(300000);
    m_responses["/file.bin"].body = body;
    CDowloadManager manager;
    QSignalSpy progress(&manager, &CDowloadManager::progressChanged);
    QSignalSpy total(&manager, &CDowloadManager::totalProgressChanged);
    QSignalSpy downloaded(&manager, &CDowloadManager::downloaded);
    QSignalSpy errors(&manager, &CDowloadManager::error);

    const QString id = manager.startDownload(url("/file.bin"), target(QStringLiteral("file.bin")));
    QVERIFY(!id.isNull());
    QVERIFY(id.startsWith(QLatin1Char('{')));
    QCOMPARE(manager.downloadCount(), 1);
    QCOMPARE(manager.progress(id), 0);
    QCOMPARE(progress.first(), (QVariantList{id, qint64(0), qint64(0)}));

    QVERIFY(downloaded.wait(10000));
    QCOMPARE(downloaded.first().first().toString(), id);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(readAll(target(QStringLiteral("file.bin"))), body);
    QCOMPARE(progress.last(), (QVariantList{id, qint64(body.size()), qint64(body.size())}));
    // The total rises to 100 and never goes past it.
    int highest = 0;
    for (const QList<QVariant>& args : total) {
        QVERIFY(args.first().toInt() >= 0 && args.first().toInt() <= 100);
        highest = qMax(highest, args.first().toInt());
    }
    QCOMPARE(highest, 100);
    QCOMPARE(manager.downloadCount(), 0);
    QCOMPARE(manager.progress(id), -1);
    QCOMPARE(manager.totalProgress(), 0);
}

// The received count of the last progress report of `id`; -1 before any.
qint64 lastReceived(const QSignalSpy& progress, const QString& id)
{
    qint64 received = -1;
    for (const QList<QVariant>& args : progress) {
        if (args.at(0).toString() == id)
            received = args.at(1).toLongLong();
    }
    return received;
}

void TestDownloadManager::unknownLengthCountsNothingInTheTotal()
{
    FakeResponse known;
    known.body = payload(1000);
    known.heldAfter = 0;
    m_responses["/known"] = known;
    FakeResponse unknown;
    unknown.body = payload(4000);
    unknown.withLength = false;
    unknown.heldAfter = 0;
    m_responses["/unknown"] = unknown;

    CDowloadManager manager;
    QSignalSpy progress(&manager, &CDowloadManager::progressChanged);
    const QString unknownId = manager.startDownload(url("/unknown"), target(QStringLiteral("u")));
    QVERIFY(!unknownId.isNull());
    // The network reports progress now and then: feed bytes until it does.
    QTRY_VERIFY_WITH_TIMEOUT((m_service->trickle("/unknown", 10), lastReceived(progress, unknownId) > 0), 10000);
    // Part of nothing known: neither a negative share nor a full one.
    QCOMPARE(manager.progress(unknownId), 0);
    QCOMPARE(manager.totalProgress(), 0);

    const QString knownId = manager.startDownload(url("/known"), target(QStringLiteral("k")));
    QTRY_VERIFY_WITH_TIMEOUT((m_service->trickle("/known", 10), lastReceived(progress, knownId) > 0), 10000);
    const int share = int(lastReceived(progress, knownId) * 100 / 1000);
    QCOMPARE(manager.progress(knownId), share);
    // The unknown download has no part in the whole.
    QCOMPARE(manager.totalProgress(), share);
    QCOMPARE(manager.progress(unknownId), 0);

    QVERIFY(manager.cancelAll());
    QCOMPARE(manager.downloadCount(), 0);
    m_service->release();
}

void TestDownloadManager::cancelReportsOnce()
{
    FakeResponse held;
    held.body = payload(1000);
    held.heldAfter = 0;
    m_responses["/slow"] = held;
    CDowloadManager manager;
    QSignalSpy progress(&manager, &CDowloadManager::progressChanged);
    QSignalSpy errors(&manager, &CDowloadManager::error);
    QSignalSpy total(&manager, &CDowloadManager::totalProgressChanged);
    QSignalSpy downloaded(&manager, &CDowloadManager::downloaded);
    const QString id = manager.startDownload(url("/slow"), target(QStringLiteral("slow")));
    QTRY_VERIFY_WITH_TIMEOUT((m_service->trickle("/slow", 10), manager.progress(id) > 0), 10000);

    total.clear();
    QVERIFY(manager.cancelDownload(id));
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.first().at(0).toString(), id);
    QCOMPARE(errors.first().at(1).value<CDowloadManager::DownloadError>(), CDowloadManager::DownloadCanceled);
    QCOMPARE(total.last().first().toInt(), 0);
    QCOMPARE(manager.downloadCount(), 0);
    QVERIFY(!manager.cancelDownload(id));
    m_service->release();
    QTest::qWait(0);
    QCOMPARE(errors.count(), 1);
    QCOMPARE(downloaded.count(), 0);
    QVERIFY(!QFile::exists(target(QStringLiteral("slow"))));
}

void TestDownloadManager::cancelAllAndReentrantReceivers()
{
    FakeResponse held;
    held.body = payload(1000);
    held.heldAfter = 10;
    m_responses["/a"] = held;
    m_responses["/b"] = held;
    CDowloadManager manager;
    // Receivers that ask the manager again, or cancel another download, from
    // inside its signals.
    QStringList seen;
    QString second;
    connect(&manager, &CDowloadManager::totalProgressChanged, this, [&](int) {
        seen.append(QStringLiteral("%1/%2").arg(manager.totalProgress()).arg(manager.downloadCount()));
    });
    connect(&manager, &CDowloadManager::error, this, [&](const QString& id, CDowloadManager::DownloadError) {
        if (id != second)
            manager.cancelDownload(second);
    });
    const QString first = manager.startDownload(url("/a"), target(QStringLiteral("a")));
    second = manager.startDownload(url("/b"), target(QStringLiteral("b")));
    QVERIFY(!first.isNull() && !second.isNull());

    QSignalSpy errors(&manager, &CDowloadManager::error);
    QVERIFY(manager.cancelAll());
    QCOMPARE(manager.downloadCount(), 0);
    QCOMPARE(manager.totalProgress(), 0);
    // Each download reported its cancel once.
    QStringList cancelled;
    for (const QList<QVariant>& args : errors)
        cancelled.append(args.first().toString());
    cancelled.sort();
    QStringList expected{first, second};
    expected.sort();
    QCOMPARE(cancelled, expected);
    QVERIFY(!seen.isEmpty());
    QCOMPARE(seen.last(), QStringLiteral("0/0"));
}

void TestDownloadManager::refusals_data()
{
    QTest::addColumn<QUrl>("address");
    QTest::addColumn<QString>("targetName"); // "<dir>" for the folder itself
    QTest::newRow("empty address") << QUrl() << "x";
    QTest::newRow("invalid address") << QUrl(QStringLiteral("http://[::1"), QUrl::StrictMode) << "x";
    QTest::newRow("no target") << QUrl(QStringLiteral("http://127.0.0.1:1/x")) << "";
    QTest::newRow("folder target") << QUrl(QStringLiteral("http://127.0.0.1:1/x")) << "<dir>";
    QTest::newRow("target in a missing folder") << QUrl(QStringLiteral("http://127.0.0.1:1/x")) << "no/such/x";
}

void TestDownloadManager::refusals()
{
    QFETCH(QUrl, address);
    QFETCH(QString, targetName);
    const QString path = targetName == QLatin1String("<dir>") ? m_dir->path()
                         : targetName.isEmpty()                 ? QString()
                                                                : target(targetName);
    CDowloadManager manager;
    QSignalSpy progress(&manager, &CDowloadManager::progressChanged);
    QVERIFY(manager.startDownload(address, path).isNull());
    QCOMPARE(manager.downloadCount(), 0);
    QCOMPARE(progress.count(), 0);
    QVERIFY(QFileInfo(m_dir->path()).isDir());
}

void TestDownloadManager::tooLittleSpace()
{
    m_responses["/f"].body = payload(2000);
    {
        SpaceManager manager;
        manager.spaces = {CDowloadManager::kMinimumFreeSpace - 1};
        QVERIFY(manager.startDownload(url("/f"), target(QStringLiteral("f"))).isNull());
    }
    // Enough at the start, too little when the body arrives: a file error
    // and no partial file.
    SpaceManager manager;
    manager.spaces = {CDowloadManager::kMinimumFreeSpace * 2, CDowloadManager::kMinimumFreeSpace + 1000};
    QSignalSpy errors(&manager, &CDowloadManager::error);
    QSignalSpy downloaded(&manager, &CDowloadManager::downloaded);
    const QString id = manager.startDownload(url("/f"), target(QStringLiteral("f")));
    QVERIFY(!id.isNull());
    QVERIFY(errors.wait(10000));
    QCOMPARE(errors.first().at(1).value<CDowloadManager::DownloadError>(), CDowloadManager::DownloadFileError);
    QCOMPARE(downloaded.count(), 0);
    QVERIFY(!QFile::exists(target(QStringLiteral("f"))));
    QCOMPARE(manager.downloadCount(), 0);
}

void TestDownloadManager::networkError()
{
    CDowloadManager manager;
    QSignalSpy errors(&manager, &CDowloadManager::error);
    QSignalSpy downloaded(&manager, &CDowloadManager::downloaded);
    const QString missing = manager.startDownload(url("/missing"), target(QStringLiteral("m")));
    const QString refused = manager.startDownload(QUrl(QString::fromLatin1(FakeHttpService::refusingUrl() + "/x")),
                                                  target(QStringLiteral("r")));
    QVERIFY(!missing.isNull() && !refused.isNull());
    QTRY_COMPARE_WITH_TIMEOUT(errors.count(), 2, 10000);
    for (const QList<QVariant>& args : errors)
        QCOMPARE(args.at(1).value<CDowloadManager::DownloadError>(), CDowloadManager::DownloadNetworkError);
    QTest::qWait(0);
    QCOMPARE(errors.count(), 2);
    QCOMPARE(downloaded.count(), 0);
    QCOMPARE(manager.downloadCount(), 0);
}

void TestDownloadManager::fullDisk_data()
{
    QTest::addColumn<int>("size");
    // Held in the file's buffer until it is flushed.
    QTest::newRow("fails when flushed") << 2000;
    // Written at once, and cut short.
    QTest::newRow("fails when written") << 300000;
}

// The disk fills while the body is written: a file error, and nothing left
// under the target's name.
void TestDownloadManager::fullDisk()
{
    QFETCH(int, size);
    m_responses["/full"].body = payload(size);
    CDowloadManager manager;
    QSignalSpy errors(&manager, &CDowloadManager::error);
    QSignalSpy downloaded(&manager, &CDowloadManager::downloaded);
    const QString path = target(QStringLiteral("full.bin"));
    {
        FileSizeLimit limit(1024);
        QVERIFY(!manager.startDownload(url("/full"), path).isNull());
        QTRY_VERIFY_WITH_TIMEOUT(errors.count() + downloaded.count() > 0, 10000);
    }
    QCOMPARE(errors.count(), 1);
    QCOMPARE(errors.first().at(1).value<CDowloadManager::DownloadError>(), CDowloadManager::DownloadFileError);
    QCOMPARE(downloaded.count(), 0);
    QVERIFY(!QFile::exists(path));
    QCOMPARE(manager.downloadCount(), 0);
}

void TestDownloadManager::replacesAnExistingReadOnlyFile()
{
    const QString path = target(QStringLiteral("old.bin"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents");
    }
    QFile::setPermissions(path, QFile::ReadOwner);
    m_responses["/new"].body = "new contents";
    CDowloadManager manager;
    QSignalSpy downloaded(&manager, &CDowloadManager::downloaded);
    QVERIFY(!manager.startDownload(url("/new"), path).isNull());
    QVERIFY(downloaded.wait(10000));
    QCOMPARE(readAll(path), QByteArray("new contents"));
}

QTEST_GUILESS_MAIN(TestDownloadManager)
#include "tst_downloadmanager.moc"
