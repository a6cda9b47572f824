// The halo's cache per mode and size, the start hint's colour and when it
// is drawn, the shadow page's image rectangle and the shadow item's
// placement at a zoom.

#include "view/CShadowPage.h"
#include "view/HaloDrawer.h"

#include "TestApplication.h"

#include "utils/CSettings.h"

#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPaintEvent>
#include <QPainter>
#include <QTest>

#include <limits>

namespace {

class HaloTarget : public QWidget
{
public:
    CHaloDrawer drawer;

protected:
    void paintEvent(QPaintEvent* event) override { drawer.draw(event, rect(), this); }
};

class HintTarget : public QWidget
{
public:
    CStartTextDrawer drawer;
    bool sceneEmpty = true;
    bool pictureLoaded = false;
    bool accepted = false;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter(this).fillRect(rect(), QColor(68, 68, 68));
        event->ignore();
        drawer.draw(event, this, sceneEmpty, pictureLoaded);
        accepted = event->isAccepted();
    }
};

QPixmap scaledHalo(int width, int height)
{
    return QPixmap(QStringLiteral(":/icons/halo.png"))
        .scaled(width, height, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
}

bool hasGrey(const QImage& image, int grey)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == QColor(grey, grey, grey))
                return true;
    return false;
}

} // namespace

class TestHalo : public QObject
{
    Q_OBJECT
private slots:
    void haloCache_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QSize>("cacheSize");
        QTest::addColumn<QSize>("scaled");
        QTest::addColumn<int>("offset");
        QTest::newRow("single view") << 2 << QSize(800, 600) << QSize(878, 600) << 39;
        QTest::newRow("before view") << 0 << QSize(1600, 600) << QSize(1600, 1092) << 0;
        QTest::newRow("after view") << 1 << QSize(1600, 600) << QSize(1600, 1092) << 800;
        QTest::newRow("other") << 7 << QSize(1600, 600) << QSize(1600, 1092) << 0;
    }
    void haloCache()
    {
        QFETCH(int, mode);
        QFETCH(QSize, cacheSize);
        QFETCH(QSize, scaled);
        QFETCH(int, offset);
        HaloTarget target;
        target.resize(800, 600);
        target.drawer.setMode(mode);
        target.grab();
        const QPixmap& cache = target.drawer.cache();
        QCOMPARE(cache.size(), cacheSize);
        const QPixmap halo = scaledHalo(cacheSize.width(), cacheSize.height());
        QCOMPARE(halo.size(), scaled);
        QCOMPARE(CHaloDrawer::offsetForMode(mode, scaled.width(), cacheSize.width()), offset);
        const QImage cached = cache.toImage();
        const QImage source = halo.toImage();
        for (const int x : {0, 100, 399}) {
            for (const int y : {0, 300, 599})
                QCOMPARE(cached.pixelColor(x, y), source.pixelColor(x + offset, y));
        }
    }

    void modeChangeKeepsTheCacheUntilTheSizeChanges()
    {
        HaloTarget target;
        target.resize(400, 300);
        target.drawer.setMode(0);
        target.grab();
        const qint64 key = target.drawer.cache().cacheKey();
        // Mode 1 needs the same double-width area: the mode-0 cache stays.
        target.drawer.setMode(1);
        target.grab();
        QCOMPARE(target.drawer.cache().cacheKey(), key);
        target.resize(401, 300);
        target.grab();
        QVERIFY(target.drawer.cache().cacheKey() != key);
        QCOMPARE(target.drawer.cache().width(), 802);
        const QImage source = scaledHalo(802, 300).toImage();
        QCOMPARE(target.drawer.cache().toImage().pixelColor(0, 0), source.pixelColor(source.width() / 2, 0));
    }

    void haloWidgetIsCentred()
    {
        CHaloWidget widget;
        widget.resize(800, 600);
        const QImage shown = widget.grab().toImage();
        QCOMPARE(shown.size(), QSize(800, 600));
    }

    void hintGrey()
    {
        QCOMPARE(CStartTextDrawer::textGrey(68), 176);
        QCOMPARE(CStartTextDrawer::textGrey(200), 53);
        QCOMPARE(CStartTextDrawer::textGrey(147), 0);
    }

    void hintWhen_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("pictureLoaded");
        QTest::addColumn<bool>("sceneEmpty");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("standalone, nothing open") << 1 << false << true << true;
        QTest::newRow("standalone, first image pending") << 1 << true << true << true;
        QTest::newRow("standalone, image shown") << 1 << true << false << false;
        QTest::newRow("Photoshop") << 2 << false << true << false;
        QTest::newRow("Lightroom") << 3 << false << true << false;
    }
    void hintWhen()
    {
        QFETCH(int, mode);
        QFETCH(bool, pictureLoaded);
        QFETCH(bool, sceneEmpty);
        QFETCH(bool, drawn);
        application()->setMode(mode);
        HintTarget target;
        target.resize(500, 200);
        target.pictureLoaded = pictureLoaded;
        target.sceneEmpty = sceneEmpty;
        const QImage shown = target.grab().toImage();
        QCOMPARE(target.accepted, drawn);
        QCOMPARE(hasGrey(shown, 176), drawn);
    }

    void hintFollowsTheBackgroundSetting_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("grey");
        QTest::newRow("200") << QVariant(200) << 53;
        // No grey level: the default background, 68.
        QTest::newRow("256") << QVariant(256) << 176;
        QTest::newRow("-200") << QVariant(-200) << 176;
        QTest::newRow("largest int") << QVariant(std::numeric_limits<int>::max()) << 176;
        QTest::newRow("words") << QVariant(QStringLiteral("dark")) << 176;
    }
    void hintFollowsTheBackgroundSetting()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, grey);
        application()->setMode(1);
        NAVIK_tarl1::CSettings().setValue(QStringLiteral("sceneBackgroundColor"), stored);
        HintTarget target;
        target.resize(500, 200);
        const QImage shown = target.grab().toImage();
        NAVIK_tarl1::CSettings().remove(QStringLiteral("sceneBackgroundColor"));
        QVERIFY(hasGrey(shown, grey));
    }

    void shadowRect_data()
    {
        QTest::addColumn<QRectF>("visible");
        QTest::addColumn<QRectF>("scene");
        QTest::addColumn<QRect>("view");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("10 %") << QRectF(-2000, -1500, 8000, 6000) << QRectF(0, 0, 4000, 3000)
                              << QRect(20, 10, 800, 600) << QRect(220, 160, 400, 300);
        QTest::newRow("100 %") << QRectF(0, 0, 800, 600) << QRectF(0, 0, 4000, 3000) << QRect(20, 10, 800, 600)
                               << QRect(20, 10, 800, 600);
        QTest::newRow("narrow image") << QRectF(0, 0, 1000, 600) << QRectF(0, 0, 500, 3000)
                                      << QRect(0, 0, 800, 600) << QRect(200, 0, 400, 600);
        QTest::newRow("empty scene") << QRectF(0, 0, 800, 600) << QRectF() << QRect(0, 0, 800, 600) << QRect();
        QTest::newRow("nothing visible") << QRectF() << QRectF(0, 0, 10, 10) << QRect(0, 0, 800, 600) << QRect();
    }
    void shadowRect()
    {
        QFETCH(QRectF, visible);
        QFETCH(QRectF, scene);
        QFETCH(QRect, view);
        QFETCH(QRect, expected);
        QCOMPARE(CShadowPage::imageRect(visible, scene, view), expected);
    }

    void pageWithoutViewPaintsOnlyItsBackground()
    {
        CShadowPage page;
        page.resize(100, 100);
        page.grab();  // reports the missing view and goes on
    }

    void shadowItemAtZoom_data()
    {
        QTest::addColumn<bool>("anchorRight");
        QTest::addColumn<QRect>("drawn");
        QTest::newRow("top left anchor") << false << QRect(0, 0, 10, 10);
        QTest::newRow("bottom right anchor") << true << QRect(10, 10, 10, 10);
    }
    void shadowItemAtZoom()
    {
        QFETCH(bool, anchorRight);
        QFETCH(QRect, drawn);
        QPixmap pixmap(10, 10);
        pixmap.fill(Qt::red);
        QGraphicsScene scene(0, 0, 100, 100);
        auto* item = new CShadowGraphicsItem(pixmap);
        item->setAnchorRight(anchorRight);
        item->setAnchorBottom(anchorRight);
        scene.addItem(item);
        QImage image(200, 200, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        scene.render(&painter, QRectF(0, 0, 200, 200), QRectF(0, 0, 100, 100));
        painter.end();
        QRect red;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                if (image.pixelColor(x, y) == QColor(Qt::red))
                    red |= QRect(x, y, 1, 1);
        QCOMPARE(red, drawn);
    }

    void stretchingItemFollowsTheZoom()
    {
        QPixmap pixmap(10, 4);
        pixmap.fill(Qt::blue);
        QGraphicsScene scene(0, 0, 100, 100);
        auto* item = new CShadowGraphicsItem(pixmap);
        item->setFixedWidth(false);
        scene.addItem(item);
        QImage image(200, 200, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        scene.render(&painter, QRectF(0, 0, 200, 200), QRectF(0, 0, 100, 100));
        painter.end();
        QRect blue;
        for (int y = 0; y < 200; ++y)
            for (int x = 0; x < 200; ++x)
                if (image.pixelColor(x, y) == QColor(Qt::blue))
                    blue |= QRect(x, y, 1, 1);
        QCOMPARE(blue, QRect(0, 0, 20, 4));
    }
};

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestHalo test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_halo.moc"
