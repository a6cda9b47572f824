// Dragging a keystoning handle over a 24 MP picture: each mouse move moves
// the handle (its sides re-fit to the scene) and the view repaints, as it
// does on screen. Prints the frames per second; the target is 60 or more.
//
//     bench_handle_drag [photograph] [moves]

#include "correction/CCorrectionItems.h"
#include "correction/CEdge.h"
#include "correction/CRectangleNode.h"
#include "shell/CBaseCorrectionGlobalData.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QImageReader>
#include <QWindow>

#include <algorithm>

#include <cstdio>

namespace {

// Counts the view's paints, to be sure each move was drawn.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

void sendMouse(QGraphicsScene& scene, QGraphicsItem* item, QEvent::Type type, const QPointF& scenePos,
               Qt::MouseButtons buttons)
{
    QGraphicsSceneMouseEvent event(type);
    event.setScenePos(scenePos);
    event.setButton(type == QEvent::GraphicsSceneMouseMove ? Qt::NoButton : Qt::LeftButton);
    event.setButtons(buttons);
    scene.sendEvent(item, &event);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QString path = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                  : QStringLiteral(QUILLET_FIXTURES_DIR "/photo24.jpg");
    const int moves = argc > 2 ? std::atoi(argv[2]) : 600;
    QImageReader reader(path);
    reader.setAllocationLimit(0);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return 1;
    }

    QGraphicsScene scene;
    scene.addPixmap(QPixmap::fromImage(picture));
    QGraphicsView view(&scene);
    view.resize(1280, 860);
    view.show();
    scene.setSceneRect(0, 0, 1, 1);
    scene.setSceneRect(0, 0, picture.width(), picture.height());
    view.fitInView(scene.sceneRect(), Qt::KeepAspectRatio);

    CBaseCorrectionGlobalData images;
    QObject owner;
    auto* group = new QGraphicsItemGroup;
    group->setHandlesChildEvents(false);
    group->setZValue(1000);
    scene.addItem(group);
    CCorrectionItems set;
    const QSizeF size = picture.size();
    const auto node = [&](const char* name, qreal x, qreal y) {
        auto* item = new CRectangleNode(nullptr, &images, QLatin1String(name));
        group->addToGroup(item);
        item->setPos(x * size.width(), y * size.height());
        return item;
    };
    set.leftTop = node("LeftTop", 0.2, 0.2);
    set.rightTop = node("RightTop", 0.8, 0.2);
    set.leftBottom = node("LeftBottom", 0.2, 0.8);
    set.rightBottom = node("RightBottom", 0.8, 0.8);
    const auto edge = [&](CRectangleNode* a, CRectangleNode* b, const char* name) {
        auto* item = new CEdge(a, b, QLatin1String(name));
        group->addToGroup(item);
        return item;
    };
    set.leftEdge = edge(set.leftTop, set.leftBottom, "Left");
    set.rightEdge = edge(set.rightTop, set.rightBottom, "Right");
    set.topEdge = edge(set.leftTop, set.rightTop, "Top");
    set.bottomEdge = edge(set.leftBottom, set.rightBottom, "Bottom");
    set.eightPointsItems = new Ckeystoning8PointsItems(&owner, &images, QStringLiteral("Bench"));
    set.eightPointsItems->addToGroup(group);
    set.setRectangleCorrectionMode();
    for (CEdge* item : set.edges())
        item->adjustToSceneRect(scene.sceneRect());
    for (int i = 0; i < 20 && !view.windowHandle()->isExposed(); ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    PaintCounter counter;
    view.viewport()->installEventFilter(&counter);
    view.viewport()->repaint();

    CRectangleNode* dragged = set.leftTop;
    QPointF pointer = dragged->pos();
    sendMouse(scene, dragged, QEvent::GraphicsSceneMousePress, pointer, Qt::LeftButton);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < moves; ++i) {
        // Back and forth over a quarter of the picture, a few screen pixels a step.
        const qreal t = (i % 200) / 200.0;
        pointer = QPointF(size.width() * (0.1 + 0.3 * (t < 0.5 ? 2 * t : 2 - 2 * t)), size.height() * 0.25);
        sendMouse(scene, dragged, QEvent::GraphicsSceneMouseMove, pointer, Qt::LeftButton);
        view.viewport()->repaint();
    }
    const qint64 elapsed = timer.nsecsElapsed();
    const int paints = counter.paints - 1;
    sendMouse(scene, dragged, QEvent::GraphicsSceneMouseRelease, pointer, Qt::NoButton);

    const double seconds = elapsed / 1e9;
    std::printf("picture %dx%d, view %dx%d, %d moves, %d paints in %.3f s: %.1f frames per second "
                "(%.2f ms a frame); target 60; handle at (%.0f, %.0f)\n",
                picture.width(), picture.height(), view.viewport()->width(), view.viewport()->height(), moves,
                paints, seconds, paints / seconds, 1000 * seconds / std::max(paints, 1), dragged->pos().x(),
                dragged->pos().y());
    return paints == moves && paints / seconds >= 60 ? 0 : 2;
}
