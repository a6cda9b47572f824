#include "utils/RecentDocuments.h"

#include "utils/AtomicFileWrite.h"
#include "utils/Logger.h"

#include "Navik/SignalStack.h"
#include "utils/SharedConstants.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QPointer>
#include <QStandardPaths>
#include <QThreadPool>
#include <QUrl>

namespace NAVIK_tarl1 {

namespace {

const QString kBookmarkNamespace = QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks");
const QString kMimeNamespace = QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info");

// What one addition writes, gathered on the calling thread.
struct RecentUse
{
    QString listPath;
    QString absolutePath;
    QString href;
    QString exec; // how the desktop starts this program on the file
};

QString timestamp()
{
    return QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
}

QDomDocument emptyList()
{
    QDomDocument document;
    document.appendChild(document.createProcessingInstruction(
        QStringLiteral("xml"), QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
    QDomElement root = document.createElement(QStringLiteral("xbel"));
    root.setAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    root.setAttribute(QStringLiteral("xmlns:bookmark"), kBookmarkNamespace);
    root.setAttribute(QStringLiteral("xmlns:mime"), kMimeNamespace);
    document.appendChild(root);
    return document;
}

// False when the file exists but is not a list we can safely rewrite.
bool readList(const QString& filePath, QDomDocument& document)
{
    QFile file(filePath);
    if (!file.exists()) {
        document = emptyList();
        return true;
    }
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return document.setContent(&file, true) && document.documentElement().tagName() == QLatin1String("xbel");
}

QDomElement findBookmark(const QDomElement& root, const QString& href)
{
    for (QDomElement bookmark = root.firstChildElement(QStringLiteral("bookmark")); !bookmark.isNull();
         bookmark = bookmark.nextSiblingElement(QStringLiteral("bookmark"))) {
        if (bookmark.attribute(QStringLiteral("href")) == href)
            return bookmark;
    }
    return QDomElement();
}

QDomElement newBookmark(QDomDocument& document, const QString& href, const QString& path)
{
    QDomElement bookmark = document.createElement(QStringLiteral("bookmark"));
    bookmark.setAttribute(QStringLiteral("href"), href);
    bookmark.setAttribute(QStringLiteral("added"), timestamp());
    QDomElement info = document.createElement(QStringLiteral("info"));
    QDomElement metadata = document.createElement(QStringLiteral("metadata"));
    metadata.setAttribute(QStringLiteral("owner"), QStringLiteral("http://freedesktop.org"));
    QDomElement mimeType = document.createElementNS(kMimeNamespace, QStringLiteral("mime:mime-type"));
    mimeType.setAttribute(QStringLiteral("type"), QMimeDatabase().mimeTypeForFile(path).name());
    metadata.appendChild(mimeType);
    metadata.appendChild(document.createElementNS(kBookmarkNamespace, QStringLiteral("bookmark:applications")));
    info.appendChild(metadata);
    bookmark.appendChild(info);
    return bookmark;
}

// The program's entry among the bookmark's applications, made when missing.
void countUse(QDomDocument& document, QDomElement& bookmark, const QString& exec)
{
    QDomElement applications =
        bookmark.elementsByTagNameNS(kBookmarkNamespace, QStringLiteral("applications")).item(0).toElement();
    if (applications.isNull())
        return;
    const QDomNodeList entries = applications.elementsByTagNameNS(kBookmarkNamespace, QStringLiteral("application"));
    QDomElement entry;
    for (int i = 0; i < entries.size() && entry.isNull(); ++i) {
        if (entries.item(i).toElement().attribute(QStringLiteral("name")) == g_appTitle)
            entry = entries.item(i).toElement();
    }
    if (entry.isNull()) {
        entry = document.createElementNS(kBookmarkNamespace, QStringLiteral("bookmark:application"));
        entry.setAttribute(QStringLiteral("name"), g_appTitle);
        entry.setAttribute(QStringLiteral("exec"), exec);
        entry.setAttribute(QStringLiteral("count"), 0);
        applications.appendChild(entry);
    }
    entry.setAttribute(QStringLiteral("modified"), timestamp());
    entry.setAttribute(QStringLiteral("count"), entry.attribute(QStringLiteral("count")).toInt() + 1);
}

bool writeList(const QString& filePath, const QDomDocument& document)
{
    QDir().mkpath(QFileInfo(filePath).path());
    return writeFileAtomically(filePath, document.toByteArray(2));
}

// Adds one use of the file to the list, or leaves a list it cannot read alone.
void recordUse(const RecentUse& use)
{
    QDomDocument document;
    if (!readList(use.listPath, document)) {
        LOG_MESSAGE('E', "The list of recent documents cannot be read and is left as it is: " << use.listPath);
        return;
    }
    QDomElement root = document.documentElement();
    QDomElement bookmark = findBookmark(root, use.href);
    if (bookmark.isNull())
        bookmark = root.appendChild(newBookmark(document, use.href, use.absolutePath)).toElement();
    const QString now = timestamp();
    bookmark.setAttribute(QStringLiteral("modified"), now);
    bookmark.setAttribute(QStringLiteral("visited"), now);
    countUse(document, bookmark, use.exec);

    if (!writeList(use.listPath, document))
        LOG_MESSAGE('E', "The list of recent documents cannot be written: " << use.listPath);
}

// The list is shared by the whole desktop and may be large, and its rewrite
// waits for the disk: it is done off the GUI thread, by one thread so that
// additions never overlap. The pool belongs to the application object, whose
// end waits for the additions still queued. Null without an application.
QThreadPool* listWriter()
{
    static QPointer<QThreadPool> pool;
    if (!pool && QCoreApplication::instance()) {
        pool = new QThreadPool(QCoreApplication::instance());
        pool->setMaxThreadCount(1);
    }
    return pool;
}

} // namespace

QString recentDocumentsFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/recently-used.xbel");
}

void addRecentDocument(const QString& path)
{
    const QString absolutePath = QFileInfo(path).absoluteFilePath();
    const RecentUse use{recentDocumentsFilePath(), absolutePath,
                        QUrl::fromLocalFile(absolutePath).toString(QUrl::FullyEncoded),
                        QStringLiteral("'%1 %u'").arg(QCoreApplication::applicationFilePath())};
    QThreadPool* writer = listWriter();
    if (!writer) {
        recordUse(use);
        return;
    }
    writer->start([use] {
        Navik::EnsureSignalStack();
        recordUse(use);
    });
}

void waitForRecentDocuments()
{
    if (QThreadPool* writer = listWriter())
        writer->waitForDone();
}

} // namespace NAVIK_tarl1
