// quillet-handles: the keystoning handles over a photograph, to judge their
// look: the four-corner set, the same with a highlighted side, the eight
// points, and a settings panel's information widget. Writes one PNG per
// picture into the given folder.
//
//     quillet-handles <photograph> <output folder>

#include "correction/CCorrectionItems.h"
#include "correction/CEdge.h"
#include "correction/CRectangleNode.h"
#include "correction/CorrectionInfoWidget.h"
#include "shell/CBaseCorrectionGlobalData.h"

#include <QApplication>
#include <QDir>
#include <QGraphicsItemGroup>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImageReader>
#include <QVBoxLayout>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: quillet-handles <photograph> <output folder>\n");
        return 1;
    }
    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    reader.setAllocationLimit(0);
    reader.setAutoTransform(true);
    QImage picture = reader.read();
    if (picture.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    picture = picture.scaled(1500, 1000, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const QDir out(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(out.path());

    QGraphicsScene scene;
    scene.setBackgroundBrush(QColor(0x3c, 0x3c, 0x3c));
    scene.addPixmap(QPixmap::fromImage(picture));
    scene.setSceneRect(0, 0, 1, 1);
    QGraphicsView view(&scene);
    view.setFrameShape(QFrame::NoFrame);
    view.resize(900, 620);
    view.show();
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
    set.leftTop = node("LeftTop", 0.22, 0.18);
    set.rightTop = node("RightTop", 0.74, 0.22);
    set.leftBottom = node("LeftBottom", 0.18, 0.84);
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
    set.eightPointsItems = new Ckeystoning8PointsItems(&owner, &images, QStringLiteral("After"));
    set.eightPointsItems->addToGroup(group);
    set.eightPointsItems->setColors(Qt::blue, Qt::red);
    const auto refit = [&] {
        for (CEdge* item : set.edges())
            item->adjustToSceneRect(scene.sceneRect());
        for (CEdge* item : {set.eightPointsItems->leftLine, set.eightPointsItems->rightLine,
                            set.eightPointsItems->topLine, set.eightPointsItems->bottomLine})
            item->adjustToSceneRect(scene.sceneRect());
    };
    const auto shoot = [&](const char* name) {
        refit();
        QApplication::processEvents();
        view.grab().save(out.filePath(QLatin1String(name)));
    };

    set.setRectangleCorrectionMode();
    shoot("handles-four-corners.png");
    set.rightEdge->setHighlighted(true);
    shoot("handles-highlighted-side.png");
    set.rightEdge->setHighlighted(false);
    set.setVerticalCorrectionMode();
    shoot("handles-vertical.png");
    set.set8PointsCorrectionMode();
    set.eightPointsItems->setDefaultPositions();
    shoot("handles-eight-points.png");
    view.scale(3, 3);
    view.centerOn(set.eightPointsItems->leftTop);
    shoot("handles-eight-points-zoomed.png");

    QWidget panel;
    panel.setStyleSheet(QStringLiteral("background: #323232;"));
    panel.resize(260, 160);
    auto* layout = new QVBoxLayout(&panel);
    auto* info = new CorrectionInfoWidget(&panel);
    layout->addWidget(info);
    info->setText(QStringLiteral("The field of view of this picture could not be estimated well. "
                                 "The correction may be less accurate."));
    const QPixmap icon(QStringLiteral(":/icons/keystoning/line-point.png"));
    const QPixmap hover(QStringLiteral(":/icons/keystoning/line-point-hover.png"));
    info->setLink(icon, hover, QStringLiteral("Don't show again"));
    info->show();
    panel.show();
    QApplication::processEvents();
    panel.grab().save(out.filePath(QStringLiteral("info-widget.png")));
    return 0;
}
