// The image views' speed and memory: the GUI-thread cost of showing a
// delivered preview, the repaint rate while scrolling and zooming a 24 MP
// picture at 100 %, whether the high-resolution requests cover just the
// visible rectangle, and the largest pixmap the scenes keep.
//
//   bench_view [photo]       (run under Xvfb with QT_QPA_PLATFORM=xcb for the raster engine on X)

#include "engine/CProcessEngine.h"
#include "engine/IZoomLevelSource.h"
#include "view/CBaseGraphicsScene.h"
#include "view/CBaseGraphicsView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsPixmapItem>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

// The zoom the engine renders for, as the views' zoom controller tells it.
class BenchZoom : public IZoomLevelSource
{
public:
    int currentZoom() const override { return zoom; }
    int zoom = 100;
};

BenchZoom g_zoom;

PixelDataPtr noisePixels(int width, int height, unsigned seed)
{
    PixelDataPtr data(Navik::PixelData::Create(Navik::kSampleTypeUInt8, Navik::kSampleLayoutRGBInterleaved,
                                               unsigned(width), unsigned(height)));
    std::mt19937 random(seed);
    auto* rows = static_cast<unsigned char*>(data->Buffer(0));
    for (int y = 0; y < height; ++y) {
        unsigned char* row = rows + y * data->GetRowBytes();
        for (int x = 0; x < 3 * width; ++x)
            row[x] = static_cast<unsigned char>(random());
    }
    return data;
}

struct Stats
{
    double median;
    double p95;
    double mean;
};

Stats statsOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    double sum = 0;
    for (double v : values)
        sum += v;
    return {values[values.size() / 2], values[values.size() * 95 / 100], sum / values.size()};
}

double msSince(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// The delivered 1600-pixel preview: the scene's slot and the repaint that shows it.
void previewDelivery(CProcessEngine& engine, CBaseGraphicsScene& scene, CBaseGraphicsView& view)
{
    emit engine.resultImageSizeChanged(QSize(6000, 4000));
    std::vector<double> slot;
    std::vector<double> withPaint;
    for (int i = 0; i < 40; ++i) {
        const PixelDataPtr preview = noisePixels(1600, 1067, unsigned(i));
        QElapsedTimer timer;
        timer.start();
        emit engine.loResResultImageProcessed(preview, QSize(6000, 4000));
        slot.push_back(msSince(timer));
        view.viewport()->repaint();
        withPaint.push_back(msSince(timer));
    }
    const Stats s = statsOf(slot);
    const Stats p = statsOf(withPaint);
    std::printf("preview 1600 x 1067 delivered: scene slot median %.2f ms, p95 %.2f ms; with the repaint at fit "
                "median %.2f ms, p95 %.2f ms (target 5 ms)\n",
                s.median, s.p95, p.median, p.p95);
    std::printf("  scene pixmap after delivery: %d x %d\n", scene.loResItem()->pixmap().width(),
                scene.loResItem()->pixmap().height());
}

// Scrolling and zooming at 100 % with the preview below and a tile of the viewport above.
void scrollAndZoom(CProcessEngine& engine, CBaseGraphicsScene& scene, CBaseGraphicsView& view)
{
    view.setCurrentViewZoom(100);
    view.changePreviewPosition(0.5, 0.5);
    const QRect tile = view.visibleRect();
    emit engine.hiResResultImageProcessed(noisePixels(tile.width(), tile.height(), 99), tile, tile.size());
    QApplication::processEvents();

    std::vector<double> frames;
    double x = 0.5;
    for (int i = 0; i < 240; ++i) {
        x += (i / 60) % 2 ? -0.004 : 0.004;
        QElapsedTimer timer;
        timer.start();
        view.changePreviewPosition(x, 0.5);
        view.viewport()->repaint();
        frames.push_back(msSince(timer));
    }
    Stats s = statsOf(frames);
    std::printf("scroll at 100 %% (viewport %d x %d, 24 MP scene): frame median %.2f ms, p95 %.2f ms, mean %.2f ms "
                "= %.0f frames per second (target 60)\n",
                view.viewport()->width(), view.viewport()->height(), s.median, s.p95, s.mean, 1000.0 / s.mean);

    frames.clear();
    const int stops[] = {13, 25, 33, 50, 66, 75, 100, 133, 150, 200};
    for (int round = 0; round < 10; ++round) {
        for (int zoom : stops) {
            QElapsedTimer timer;
            timer.start();
            view.setCurrentViewZoom(zoom);
            view.viewport()->repaint();
            frames.push_back(msSince(timer));
        }
    }
    s = statsOf(frames);
    std::printf("zoom through 13..200 %%: frame median %.2f ms, p95 %.2f ms, mean %.2f ms = %.0f frames per second\n",
                s.median, s.p95, s.mean, 1000.0 / s.mean);
    (void)scene;
}

// The real engine on a photograph: what the view asks for and what the scene keeps.
int realPicture(const QString& photo)
{
    CProcessEngine engine;
    CBaseGraphicsScene scene(false, &engine, nullptr);
    CBaseGraphicsView view;
    view.initialize(false, nullptr, &engine);
    view.setAndConnectScene(&scene);
    view.resize(1280, 800);
    view.show();
    QTest::qWaitForWindowExposed(&view);
    QSignalSpy opened(&engine, &CProcessEngine::fileOpenCompleated);
    if (!engine.openFile(photo) || (opened.isEmpty() && !opened.wait(60000)) || !opened.first().at(0).toBool()) {
        std::printf("cannot open %s\n", qPrintable(photo));
        return 1;
    }
    QSignalSpy tiles(&engine, &CProcessEngine::hiResResultImageProcessed);
    QSignalSpy requests(&view, &CBaseGraphicsView::visibleRectChanged);
    engine.forceProcessImage();
    const auto settle = [&] {
        QTest::qWaitFor([&] { return scene.hasLoResImage(); }, 60000);
        QTest::qWait(300);
        QTest::qWaitFor([&] { return !engine.hasTasksForProcessing() && !engine.isProcessingActive(); }, 60000);
        QTest::qWait(300);
    };
    qint64 largest = 0;
    const auto report = [&](const char* what) {
        settle();
        const QRectF shown = view.mapToScene(view.viewport()->rect()).boundingRect() & scene.sceneRect();
        const QRect asked = requests.isEmpty() ? QRect() : requests.last().at(2).toRect();
        const QRect inside = asked & scene.sceneRect().toRect();
        QString tile = QStringLiteral("none");
        if (QGraphicsPixmapItem* item = scene.hiResItem()) {
            const QRectF at = item->sceneBoundingRect();
            tile = QStringLiteral("%1,%2 %3x%4 scene units from a %5 x %6 pixmap")
                       .arg(at.x()).arg(at.y()).arg(at.width()).arg(at.height())
                       .arg(item->pixmap().width()).arg(item->pixmap().height());
            largest = std::max(largest, qint64(item->pixmap().width()) * item->pixmap().height());
        }
        if (QGraphicsPixmapItem* item = scene.loResItem())
            largest = std::max(largest, qint64(item->pixmap().width()) * item->pixmap().height());
        std::printf("%s: zoom %d %%, shown %.0f,%.0f %.0fx%.0f, asked inside the picture %d,%d %dx%d "
                    "(%.1f %% more area than shown), tile %s\n",
                    what, view.currentViewZoom(), shown.x(), shown.y(), shown.width(), shown.height(), inside.x(),
                    inside.y(), inside.width(), inside.height(),
                    100.0 * (double(inside.width()) * inside.height() / (shown.width() * shown.height()) - 1.0),
                    qPrintable(tile));
    };
    // As the program does: the engine renders at the level the shared zoom asks for.
    const auto zoomTo = [&](int percent) {
        g_zoom.zoom = percent;
        view.setCurrentViewZoom(percent);
    };
    settle();
    zoomTo(view.fitToViewZoom());
    report("fit");
    zoomTo(100);
    view.changePreviewPosition(0.3, 0.6);
    report("100 %");
    zoomTo(200);
    view.changePreviewPosition(0.8, 0.2);
    report("200 %");
    std::printf("largest pixmap kept by the scene: %lld pixels (the picture has %d x %d = %lld)\n", largest,
                int(scene.sceneRect().width()), int(scene.sceneRect().height()),
                qint64(scene.sceneRect().width()) * qint64(scene.sceneRect().height()));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    registerZoomLevelSource(&g_zoom);
    const QString photo = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                   : QStringLiteral(QUILLET_FIXTURES_DIR "/photo24.jpg");
    std::printf("platform %s\n", qPrintable(QGuiApplication::platformName()));
    {
        CProcessEngine engine;
        CBaseGraphicsScene scene(false, &engine, nullptr);
        CBaseGraphicsView view;
        view.initialize(false, nullptr, nullptr);
        view.setAndConnectScene(&scene);
        view.resize(1280, 800);
        view.show();
        QTest::qWaitForWindowExposed(&view);
        previewDelivery(engine, scene, view);
        view.setCurrentViewZoom(view.fitToViewZoom());
        scrollAndZoom(engine, scene, view);
    }
    return realPicture(photo);
}
