#include "utils/MacOSNativeGlue.h"
#include "utils/RecentDocuments.h"

#include <QApplication>
#include <QDomDocument>
#include <QFile>
#include <QTest>
#include <QWidget>

#include <memory>

using namespace NAVIK_tarl1;

namespace {

struct FullScreenCounter : CWindowFullScreenModeSwitchHandler_Abstract
{
    int entered = 0;
    int exited = 0;
    void fullScreenModeEntered() override { ++entered; }
    void fullScreenModeExited() override { ++exited; }
};

long idOf(QWidget& widget)
{
    return static_cast<long>(widget.winId());
}

QDomElement firstElement(const QDomElement& parent, const char* namespaceUri, const char* name)
{
    return parent.elementsByTagNameNS(QLatin1String(namespaceUri), QLatin1String(name)).item(0).toElement();
}

QDomElement onlyBookmark(int& count)
{
    QFile file(recentDocumentsFilePath());
    QDomDocument document;
    if (!file.open(QIODevice::ReadOnly) || !document.setContent(&file, true))
        return QDomElement();
    const QDomNodeList bookmarks = document.documentElement().elementsByTagName("bookmark");
    count = bookmarks.size();
    return bookmarks.item(0).toElement();
}

} // namespace

class TestMacOSGlue : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void resolution_data()
    {
        QTest::addColumn<QSize>("points");
        QTest::addColumn<QSizeF>("millimetres");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        // 1440 points over 381 mm is 96 dots per inch; the result is cut, not rounded.
        QTest::newRow("real display") << QSize(1440, 900) << QSizeF(381, 238.125) << 95 << 95;
        QTest::newRow("fractional") << QSize(1000, 1000) << QSizeF(250, 300) << 101 << 84;
        // Virtual displays report no physical size: the logical 96 dpi stands in.
        QTest::newRow("no physical size") << QSize(1440, 900) << QSizeF(0, 0) << 96 << 96;
        QTest::newRow("no height") << QSize(1440, 900) << QSizeF(381, 0) << 95 << 96;
    }

    void resolution()
    {
        QFETCH(QSize, points);
        QFETCH(QSizeF, millimetres);
        QFETCH(int, x);
        QFETCH(int, y);
        int dpiX = -1;
        int dpiY = -1;
        screenDpiFromSize(points, millimetres, 96.0, 96.0, &dpiX, &dpiY);
        QCOMPARE(dpiX, x);
        QCOMPARE(dpiY, y);
        screenDpiFromSize(points, millimetres, 96.0, 96.0, nullptr, &dpiY); // Either may be null.
    }

    void primaryScreenResolutionIsUsable()
    {
        int x = 0;
        int y = 0;
        getScreenDpi(&x, &y);
        QVERIFY(x > 0 && x < 1000);
        QVERIFY(y > 0 && y < 1000);
    }

    void languageNumber_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::newRow("fr") << "fr" << 1036;
        QTest::newRow("fr_FR.UTF-8") << "fr_FR.UTF-8" << 1036;
        QTest::newRow("de-DE") << "de-DE" << 1031;
        QTest::newRow("ja_JP") << "ja_JP" << 1041;
        QTest::newRow("French of Canada") << "fr-CA" << 1033;
        QTest::newRow("German of Austria") << "de_AT" << 1033;
        QTest::newRow("English of Britain") << "en-GB" << 1033;
        QTest::newRow("Italian") << "it_IT" << 1033;
        QTest::newRow("C") << "C" << 1033;
    }

    void languageNumber()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        QCOMPARE(languageNumberForLocaleName(name), number);
    }

    void fullScreenSwitchesAreReported()
    {
        QWidget window;
        window.show();
        FullScreenCounter handler;
        MacOSSetFullscreenCapable(idOf(window), &handler);
        QVERIFY(g_pMainWindowDelegate);

        MacOSToggleFullScreenMode(idOf(window));
        QVERIFY(MacOSIsFullScreenMode(idOf(window)));
        MacOSToggleFullScreenMode(idOf(window));
        QVERIFY(!MacOSIsFullScreenMode(idOf(window)));
        QCOMPARE(handler.entered, 1);
        QCOMPARE(handler.exited, 1);

        MacOSOnFullScreenModeSwitchHandlerDeleted();
        QVERIFY(!g_pMainWindowDelegate);
        MacOSToggleFullScreenMode(idOf(window));
        QCOMPARE(handler.entered, 1);
    }

    void fullScreenCapableWithoutHandler()
    {
        QWidget window;
        window.show();
        FullScreenCounter handler;
        MacOSSetFullscreenCapable(idOf(window), &handler);
        MacOSSetFullscreenCapable(idOf(window), nullptr); // Replaces the delegate with none.
        QVERIFY(!g_pMainWindowDelegate);
        MacOSToggleFullScreenMode(idOf(window));
        QVERIFY(MacOSIsFullScreenMode(idOf(window)));
        QCOMPARE(handler.entered, 0);
    }

    void windowIdZeroDoesNothing()
    {
        MacOSToggleFullScreenMode(0);
        MacOSBringToTop(0, true);
        MacOSBringToBottom(0, false);
        MacOSSetClosingWindowEnabled(0, false);
        MacOSDeminituarize(0);
        QVERIFY(!MacOSIsFullScreenMode(0));
        bool ok = true;
        QCOMPARE(MacOSGetDisplayID(0, ok), 0L);
        QVERIFY(!ok);
    }

    void displayOfAWindow()
    {
        QWidget window;
        window.show();
        bool ok = false;
        const long display = MacOSGetDisplayID(idOf(window), ok);
        QVERIFY(ok);
        QCOMPARE(display, static_cast<long>(QGuiApplication::screens().indexOf(window.screen())));
        // The offscreen display publishes no colour profile.
        QByteArray profile("stale");
        QVERIFY(!getDisplayColorProfile(display, profile));
        QVERIFY(profile.isEmpty());
    }

    void windowLevelsAndCloseButton()
    {
        QWidget window;
        window.show();
        MacOSBringToTop(idOf(window), true);
        QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(window.isVisible()); // Changing the level must not hide the window.
        MacOSBringToBottom(idOf(window), false);
        QVERIFY(!window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

        MacOSSetClosingWindowEnabled(idOf(window), false);
        QVERIFY(!window.windowHandle()->flags().testFlag(Qt::WindowCloseButtonHint));
        MacOSSetClosingWindowEnabled(idOf(window), true);
        QVERIFY(window.windowHandle()->flags().testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(window.isVisible());
    }

    void deminiaturize()
    {
        QWidget window;
        window.show();
        window.setWindowState(Qt::WindowMinimized);
        MacOSDeminituarize(idOf(window));
        QVERIFY(!window.isMinimized());
    }

    void oneResponderPerWidget()
    {
        QWidget box;
        MacOSSetupNSApplicationNotificationResponder(box);
        MacOSSetupNSApplicationNotificationResponder(box);
        QCOMPARE(g_cNSAppNotificationResponderMap.count(&box), size_t(1));
        MacOSRemoveNSApplicationNotificationResponder(box);
        QCOMPARE(g_cNSAppNotificationResponderMap.count(&box), size_t(0));

        // A widget that goes without detaching takes its entry with it.
        auto other = std::make_unique<QWidget>();
        MacOSSetupNSApplicationNotificationResponder(*other);
        const QWidget* key = other.get();
        other.reset();
        QCOMPARE(g_cNSAppNotificationResponderMap.count(key), size_t(0));
    }

    void recentDocumentsList()
    {
        QFile::remove(recentDocumentsFilePath());
        MacOSInitRecentDocuments();
        MacOSAddDocument("/photos/boats 1.jpg");
        MacOSAddDocument("/photos/boats 1.jpg");
        waitForRecentDocuments();
        int count = 0;
        const QDomElement bookmark = onlyBookmark(count);
        QCOMPARE(count, 1);
        QCOMPARE(bookmark.attribute("href"), QStringLiteral("file:///photos/boats%201.jpg"));
        const QDomElement application =
            firstElement(bookmark, "http://www.freedesktop.org/standards/desktop-bookmarks", "application");
        QCOMPARE(application.attribute("name"), QStringLiteral("Navik Quillet"));
        QCOMPARE(application.attribute("count"), QStringLiteral("2"));
        const QDomElement mimeType =
            firstElement(bookmark, "http://www.freedesktop.org/standards/shared-mime-info", "mime-type");
        QCOMPARE(mimeType.attribute("type"), QStringLiteral("image/jpeg"));
    }

    void unreadableRecentDocumentsListIsLeftAlone()
    {
        const QByteArray broken("<xbel><bookmark href=");
        QFile file(recentDocumentsFilePath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(broken);
        file.close();
        MacOSAddDocument("/photos/boats.jpg");
        waitForRecentDocuments();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), broken);
    }
};

QTEST_MAIN(TestMacOSGlue)
#include "tst_macosglue.moc"
