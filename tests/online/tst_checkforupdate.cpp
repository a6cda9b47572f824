// The update check against a fake service on 127.0.0.1: when it asks, what
// it asks, what each answer leads to, the cancel, and the scheme check of
// the download address; then the update notice itself.

#include "FakeHttpService.h"

#include "online/CCheckForUpdateDialog.h"
#include "online/CCheckForUpdateManager.h"
#include "online/ServiceAddress.h"
#include "utils/CLanguageManager.h"
#include "utils/CSettings.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDesktopServices>
#include <QDomDocument>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>

using namespace NAVIK_tarl1;

namespace {

// Records what the user would see in place of showing it.
class RecordingManager : public CCheckForUpdateManager
{
public:
    using CCheckForUpdateManager::CCheckForUpdateManager;

    bool acceptNotice = true;
    QStringList notices; // "<version>|<notes>"
    QStringList errors;
    QStringList informations;
    QList<QUrl> opened;

protected:
    bool runUpdateNotice(const QString& releaseNotes, const QString& newVersion) override
    {
        notices.append(newVersion + QLatin1Char('|') + releaseNotes);
        return acceptNotice;
    }
    void showError(const QString& text) override { errors.append(text); }
    void showLatestVersion(const QString& text) override { informations.append(text); }
    void openUrl(const QUrl& url) override { opened.append(url); }
};

// Stands in for the desktop: records every address handed to it.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    static inline const QStringList kSchemes{QStringLiteral("http"),   QStringLiteral("https"), QStringLiteral("file"),
                                             QStringLiteral("mailto"), QStringLiteral("smb"),   QStringLiteral("run")};
    UrlRecorder()
    {
        for (const QString& scheme : kSchemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~UrlRecorder() override
    {
        for (const QString& scheme : kSchemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened.append(url); }
};

const QDateTime kNow(QDate(2026, 6, 15), QTime(10, 0));

QByteArray updateReply(const QByteArray& status, const QByteArray& version = QByteArray(),
                       const QByteArray& url = QByteArray(), const QByteArray& notes = QByteArray(),
                       const QByteArray& resultElement = "FindUpdateWithNotesResult")
{
    QByteArray body = "<FindUpdateWithNotesResponse xmlns=\"http://update.navik-labs.invalid/CheckForUpdates\">"
                      "<" + resultElement + ">" + status + "</" + resultElement + ">";
    if (!version.isEmpty())
        body += "<newVersion>" + version + "</newVersion>";
    if (!url.isEmpty())
        body += "<downloadURL>" + url + "</downloadURL>";
    body += "<releaseNotesB64>" + notes.toBase64() + "</releaseNotesB64>";
    return FakeHttpService::envelope(body + "</FindUpdateWithNotesResponse>");
}

QDateTime lastCheck()
{
    return getSettingsValue(QStringLiteral("CheckForUpdate/lastCheckDate"), QVariant()).toDateTime();
}

} // namespace

class TestCheckForUpdate : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void whenItAsks_data();
    void whenItAsks();
    void requestBody_data();
    void requestBody();
    void answers_data();
    void answers();
    void cancelLeavesNoTrace();
    void notice();
    void noticeLoadsNothing();
    void noticeLinks_data();
    void noticeLinks();

private:
    // Runs one check and waits for its answer, or for nothing to happen.
    bool check(RecordingManager& manager, bool forced);

    std::unique_ptr<FakeHttpService> m_service;
    FakeResponse m_response;
};

void TestCheckForUpdate::initTestCase()
{
    CLanguageManager::instance()->loadLanguageForApp();
}

void TestCheckForUpdate::init()
{
    CSettings().clear();
    m_response = FakeResponse();
    m_response.body = updateReply("NoUpdateFound");
    m_service = std::make_unique<FakeHttpService>([this](const FakeRequest&) { return m_response; });
    qputenv(OnlineServices::kUpdateServiceVariable, m_service->url());
}

bool TestCheckForUpdate::check(RecordingManager& manager, bool forced)
{
    manager.setClock([] { return kNow; });
    QSignalSpy ready(&manager.transport(), &CSoapHttpTransport::responseReady);
    if (forced)
        manager.onForceCheckForUpdate();
    else
        manager.onCheckForUpdate();
    if (!manager.transport().networkReply())
        return false;
    [&] { QVERIFY(ready.wait(10000)); }();
    return true;
}

void TestCheckForUpdate::whenItAsks_data()
{
    QTest::addColumn<int>("hoursAgo"); // -1: never checked
    QTest::addColumn<bool>("autoCheck");
    QTest::addColumn<bool>("forced");
    QTest::addColumn<bool>("sent");

    QTest::newRow("first check") << -1 << true << false << true;
    QTest::newRow("two hours ago") << 2 << true << false << false;
    QTest::newRow("two hours ago, forced") << 2 << true << true << true;
    QTest::newRow("a day ago") << 24 << true << false << true;
    QTest::newRow("automatic off, old date") << 100 << false << false << false;
    QTest::newRow("automatic off, first check") << -1 << false << false << false;
    QTest::newRow("automatic off, forced") << 100 << false << true << true;
}

void TestCheckForUpdate::whenItAsks()
{
    QFETCH(int, hoursAgo);
    QFETCH(bool, autoCheck);
    QFETCH(bool, forced);
    QFETCH(bool, sent);

    RecordingManager manager(nullptr);
    manager.setAutoCheck(autoCheck);
    QCOMPARE(manager.isAutoCheck(), autoCheck);
    if (hoursAgo >= 0)
        setSettingsValue(QStringLiteral("CheckForUpdate/lastCheckDate"), kNow.addSecs(-3600 * hoursAgo));

    QCOMPARE(check(manager, forced), sent);
    QCOMPARE(m_service->requests().size(), sent ? 1 : 0);
    if (sent)
        QCOMPARE(lastCheck(), kNow);
    else if (hoursAgo < 0)
        QCOMPARE(lastCheck(), kNow.addDays(-1)); // a first check always leaves a date
    else
        QCOMPARE(lastCheck(), kNow.addSecs(-3600 * hoursAgo));
}

void TestCheckForUpdate::requestBody_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("locale");
    QTest::newRow("English") << 1033 << "en";
    QTest::newRow("Japanese") << 1041 << "jp";
    QTest::newRow("French") << 1036 << "fr";
}

void TestCheckForUpdate::requestBody()
{
    QFETCH(int, language);
    QFETCH(QString, locale);
    setSettingsValue(QStringLiteral("NavikAppLanguage"), language);

    RecordingManager manager(nullptr);
    QVERIFY(check(manager, true));
    const FakeRequest& request = m_service->requests().first();
    QCOMPARE(request.method, QByteArray("POST"));
    QCOMPARE(request.path, QByteArray("/"));
    QCOMPARE(request.headers.value("soapaction"),
             QByteArray("\"http://update.navik-labs.invalid/CheckForUpdates/FindUpdateWithNotes\""));

    QDomDocument document;
    QVERIFY(document.setContent(request.body, true));
    const QDomElement method = document.documentElement().firstChildElement().firstChildElement();
    QCOMPARE(method.localName(), QStringLiteral("FindUpdateWithNotes"));
    QCOMPARE(method.namespaceURI(), QStringLiteral("http://update.navik-labs.invalid/CheckForUpdates"));
    QStringList arguments;
    for (QDomElement e = method.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        arguments.append(e.localName() + QLatin1Char('=') + e.text());
    QCOMPARE(arguments, (QStringList{QStringLiteral("locale=") + locale, QStringLiteral("product=Navik Quillet"),
                                     QStringLiteral("platform=Linux"), QStringLiteral("version=1.0.6.9434")}));
}

void TestCheckForUpdate::answers_data()
{
    QTest::addColumn<bool>("forced");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QStringList>("notices");
    QTest::addColumn<QStringList>("errors");
    QTest::addColumn<QStringList>("informations");
    QTest::addColumn<QStringList>("opened");

    const QString latest = QStringLiteral("You are using the latest version of Navik Quillet.");
    const QByteArray page = "https://www.example.invalid/get/quillet-1.1.tar.gz";
    const QByteArray notes = "<b>New:</b> straighter lines. Größer.";

    QTest::newRow("no update, automatic") << false << 200 << updateReply("NoUpdateFound") << QStringList()
                                          << QStringList() << QStringList() << QStringList();
    QTest::newRow("no update, forced") << true << 200 << updateReply("NoUpdateFound") << QStringList()
                                       << QStringList() << QStringList{latest} << QStringList();
    QTest::newRow("old result element, forced") << true << 200 << updateReply("NoUpdateFound", {}, {}, {}, "FindUpdateResult")
                                                << QStringList() << QStringList() << QStringList{latest} << QStringList();
    // An update is shown even after an automatic check.
    QTest::newRow("update, automatic") << false << 200 << updateReply("NoError", "1.1.0", page, notes)
                                       << QStringList{QStringLiteral("1.1.0|") + QString::fromUtf8(notes)}
                                       << QStringList() << QStringList() << QStringList{QString::fromLatin1(page)};
    QTest::newRow("update, empty notes") << true << 200 << updateReply("NoError", "1.1.0", "http://dl.invalid/x")
                                         << QStringList{QStringLiteral("1.1.0|")} << QStringList() << QStringList()
                                         << QStringList{QStringLiteral("http://dl.invalid/x")};
    QTest::newRow("update without address") << false << 200 << updateReply("NoError", "1.1.0") << QStringList()
                                            << QStringList() << QStringList{latest} << QStringList();
    // Only web addresses reach the browser.
    const QByteArray forged[] = {"file:///usr/bin/xterm", "quillet-helper:run", "javascript:alert(1)",
                                 "ftp://host.invalid/x", "http://", "/relative/path"};
    for (const QByteArray& url : forged)
        QTest::newRow(url.constData()) << false << 200 << updateReply("NoError", "9.9", url) << QStringList()
                                       << QStringList() << QStringList{latest} << QStringList();
    QTest::newRow("fault, forced") << true << 500 << FakeHttpService::faultEnvelope("Server", "Maintenance")
                                   << QStringList() << QStringList{QStringLiteral("Check for update error: Maintenance")}
                                   << QStringList() << QStringList();
    QTest::newRow("fault, automatic") << false << 500 << FakeHttpService::faultEnvelope("Server", "Maintenance")
                                      << QStringList() << QStringList() << QStringList() << QStringList();
    QTest::newRow("odd status, forced") << true << 200 << updateReply("Maybe") << QStringList() << QStringList()
                                        << QStringList{latest} << QStringList();
}

void TestCheckForUpdate::answers()
{
    QFETCH(bool, forced);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QStringList, notices);
    QFETCH(QStringList, errors);
    QFETCH(QStringList, informations);
    QFETCH(QStringList, opened);

    m_response.status = status;
    m_response.body = body;
    RecordingManager manager(nullptr);
    QSignalSpy completed(&manager, &CCheckForUpdateManager::checkForUpdateRequestCompleted);
    QSignalSpy stopped(&manager, &CCheckForUpdateManager::checkForUpdateStopAnimation);
    setSettingsValue(QStringLiteral("CheckForUpdate/lastCheckDate"), kNow.addDays(-3));
    QVERIFY(check(manager, forced));

    QCOMPARE(completed.count(), 1);
    QCOMPARE(lastCheck(), kNow);
    QCOMPARE(manager.notices, notices);
    QCOMPARE(manager.errors, errors);
    QCOMPARE(manager.informations, informations);
    QStringList openedTexts;
    for (const QUrl& url : manager.opened)
        openedTexts.append(url.toString());
    QCOMPARE(openedTexts, opened);
    QCOMPARE(stopped.count(), notices.size() + errors.size() + informations.size());
}

void TestCheckForUpdate::cancelLeavesNoTrace()
{
    m_response.heldAfter = 0;
    m_response.body = updateReply("NoError", "1.1.0", "http://dl.invalid/x");
    RecordingManager manager(nullptr);
    manager.setClock([] { return kNow; });
    setSettingsValue(QStringLiteral("CheckForUpdate/lastCheckDate"), kNow.addDays(-3));
    QSignalSpy completed(&manager, &CCheckForUpdateManager::checkForUpdateRequestCompleted);
    QSignalSpy received(m_service.get(), &FakeHttpService::requestReceived);
    manager.onCheckForUpdate();
    QVERIFY(received.wait(10000));

    manager.onCancelCheckForUpdate();
    m_service->release();
    QTest::qWait(0);
    QCOMPARE(completed.count(), 0);
    QVERIFY(manager.notices.isEmpty() && manager.errors.isEmpty() && manager.informations.isEmpty());
    QCOMPARE(lastCheck(), kNow.addDays(-3));
    // Cancelling with nothing in flight does nothing.
    manager.onCancelCheckForUpdate();
}

void TestCheckForUpdate::notice()
{
    const QString notes = QStringLiteral("<p>Better <a href=\"https://example.invalid\">lines</a></p>");
    CCheckForUpdateDialog dialog(nullptr, notes, QStringLiteral("1.1.0"));
    QCOMPARE(dialog.objectName(), QStringLiteral("CheckForUpdateDialog"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("New update available"));
    QCOMPARE(dialog.size(), QSize(550, 340));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("topLabel"))->text(), QStringLiteral("A NEW UPDATE IS AVAILABLE"));
    auto* description = dialog.findChild<QTextBrowser*>(QStringLiteral("description"));
    QVERIFY(description->toPlainText().contains(QLatin1String("Better lines")));
    auto* update = dialog.findChild<QPushButton*>(QStringLiteral("pbUpdate"));
    auto* later = dialog.findChild<QPushButton*>(QStringLiteral("pbRemindMeLater"));
    QVERIFY(update->isDefault());
    QCOMPARE(update->width(), update->fontMetrics().horizontalAdvance(update->text()) + 60);

    // Enter on the shown notice chooses Update.
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(QApplication::focusWidget(), update);
    QTest::keyClick(&dialog, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    CCheckForUpdateDialog empty(nullptr, QString(), QStringLiteral("2.0"));
    QVERIFY(empty.findChild<QTextBrowser*>(QStringLiteral("description"))->toPlainText().isEmpty());
    empty.show();
    QTest::mouseClick(empty.findChild<QPushButton*>(QStringLiteral("pbRemindMeLater")), Qt::LeftButton);
    QCOMPARE(empty.result(), int(QDialog::Rejected));
    Q_UNUSED(later);
}

// The notes come from the network: the notice reads no file they name.
void TestCheckForUpdate::noticeLoadsNothing()
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("picture.png"));
    QImage(7, 5, QImage::Format_RGB32).save(picture);
    const QString css = dir.filePath(QStringLiteral("style.css"));
    {
        QFile file(css);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("p { font-size: 80pt; }");
    }
    const QString notes =
        QStringLiteral("<html><head><link rel=\"stylesheet\" href=\"%1\"></head>"
                       "<body><p>New <img src=\"%2\"> <img src=\"%3\"></p></body></html>")
            .arg(QUrl::fromLocalFile(css).toString(), picture, QUrl::fromLocalFile(picture).toString());
    CCheckForUpdateDialog dialog(nullptr, notes, QStringLiteral("1.1.0"));
    auto* description = dialog.findChild<QTextBrowser*>(QStringLiteral("description"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    description->document()->documentLayout()->documentSize();

    for (const QUrl& url : {QUrl(picture), QUrl::fromLocalFile(picture)}) {
        const QVariant resource = description->document()->resource(QTextDocument::ImageResource, url);
        QVERIFY2(resource.value<QPixmap>().size() != QSize(7, 5) && resource.value<QImage>().size() != QSize(7, 5)
                     && !resource.toByteArray().startsWith("\x89PNG"),
                 qPrintable(url.toString()));
    }
    QVERIFY(!description->document()->resource(QTextDocument::StyleSheetResource, QUrl::fromLocalFile(css)).isValid());
    QVERIFY(description->toPlainText().startsWith(QLatin1String("New")));
}

void TestCheckForUpdate::noticeLinks_data()
{
    QTest::addColumn<QString>("href"); // "<file>": a local file's address, "<path>": its bare path
    QTest::addColumn<bool>("opened");
    QTest::newRow("https") << "https://example.invalid/notes" << true;
    QTest::newRow("http") << "http://example.invalid/notes" << true;
    QTest::newRow("web address without a host") << "https:notes" << false;
    QTest::newRow("file address") << "<file>" << false;
    QTest::newRow("local path") << "<path>" << false;
    QTest::newRow("relative") << "notes.html" << false;
    QTest::newRow("mail") << "mailto:someone@example.invalid" << false;
    QTest::newRow("share") << "smb://host.invalid/share" << false;
    QTest::newRow("other scheme") << "run:/usr/bin/xterm" << false;
}

// A click on a link of the notes opens web addresses in the browser and
// nothing else; the notice neither follows a link itself nor closes.
void TestCheckForUpdate::noticeLinks()
{
    QFETCH(QString, href);
    QFETCH(bool, opened);
    QTemporaryDir dir;
    const QString local = dir.filePath(QStringLiteral("local.html"));
    {
        QFile file(local);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<p>local file</p>");
    }
    if (href == QLatin1String("<file>"))
        href = QUrl::fromLocalFile(local).toString();
    else if (href == QLatin1String("<path>"))
        href = local;

    UrlRecorder desktop;
    CCheckForUpdateDialog dialog(nullptr, QStringLiteral("<p>Read <a href=\"%1\">the notes</a> first.</p>").arg(href),
                                 QStringLiteral("1.1.0"));
    auto* description = dialog.findChild<QTextBrowser*>(QStringLiteral("description"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QString text = description->toPlainText();

    QTextCursor cursor = description->document()->find(QStringLiteral("the notes"));
    QVERIFY(!cursor.isNull());
    cursor.setPosition(cursor.selectionStart() + 3);
    QTest::mouseClick(description->viewport(), Qt::LeftButton, {}, description->cursorRect(cursor).center());
    QCoreApplication::processEvents();

    QCOMPARE(desktop.opened, opened ? QList<QUrl>{QUrl(href)} : QList<QUrl>{});
    QVERIFY(description->source().isEmpty());
    QCOMPARE(description->toPlainText(), text);
    QVERIFY(dialog.isVisible());
}

QTEST_MAIN(TestCheckForUpdate)
#include "tst_checkforupdate.moc"
