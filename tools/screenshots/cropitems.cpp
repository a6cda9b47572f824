// quillet-cropitems: the crop items over a photograph at a given zoom (handles,
// dashed outline, grid, mask and size label) above the crop tool pane, written
// to a PNG, to judge the look. Not part of the product.
//
//   quillet-cropitems <photo> <zoom> <png>

#include "crop/CropGraphicsItems.h"
#include "crop/CropToolPane.h"
#include "shell/CustomWindowsStyle.h"
#include "utils/CLanguageManager.h"
#include "utils/StyleSheets.h"

#include <QApplication>
#include <QGraphicsItemGroup>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImageReader>
#include <QTimer>
#include <QVBoxLayout>

int main(int argc, char** argv)
{
    QApplication::setStyle(new CustomWindowsStyle);
    QApplication app(argc, argv);
    if (argc < 4) {
        qWarning("usage: quillet-cropitems <photo> <zoom> <png>");
        return 2;
    }
    NAVIK_tarl1::CLanguageManager::instance()->loadLanguageForApp();
    const qreal zoom = QString::fromLocal8Bit(argv[2]).toDouble();

    // The after scene holds the picture at 1500 x 1000, as a render would.
    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    reader.setScaledSize(QSize(1500, 1000));
    QGraphicsScene scene(0, 0, 1500, 1000);
    scene.addPixmap(QPixmap::fromImage(reader.read()));
    auto* group = new QGraphicsItemGroup;
    group->setHandlesChildEvents(false);
    group->setZValue(1000);  // as the module host puts its groups
    scene.addItem(group);

    auto* mask = new CCropOverlayRect(QStringLiteral("overlayRect"), nullptr);
    scene.addItem(mask);
    mask->setBackgroundOpacity(CropOverlayOpacitySlider::savedValue());
    auto* rect = new CCropRect(group, QStringLiteral("CropMainRect"), nullptr);
    const char* names[] = {"CropLeftTop",    "CropMidleTop",   "CropRightTop",    "CropLeftMidle",
                           "CropRightMidle", "CropLeftBottom", "CropMidleBottom", "CropRightBottom"};
    QList<CCropPoint*> points;
    for (const char* name : names)
        points.append(new CCropPoint(group, *rect, QString::fromLatin1(name), nullptr));
    QList<CLine*> lines;
    QPen gridPen(QColor(255, 255, 255, 200), 0, Qt::DashLine);
    for (int i = 0; i < 4; ++i) {
        lines.append(new CLine);
        lines.last()->setPen(gridPen);
        group->addToGroup(lines.last());
    }
    auto* label = new CCropSizeLabel(group, QStringLiteral("CropSizeLabel"));

    const QRectF crop(250, 180, 1000, 640);
    rect->setPos(crop.topLeft());
    rect->setRect(0, 0, crop.width(), crop.height());
    const QPointF at[] = {crop.topLeft(),
                          QPointF(crop.center().x(), crop.top()),
                          crop.topRight(),
                          QPointF(crop.left(), crop.center().y()),
                          QPointF(crop.right(), crop.center().y()),
                          crop.bottomLeft(),
                          QPointF(crop.center().x(), crop.bottom()),
                          crop.bottomRight()};
    for (int i = 0; i < 8; ++i) {
        points[i]->setPos(at[i].x(), at[i].y());
        points[i]->setHighlighted(false);
    }
    for (int i = 1; i <= 2; ++i) {
        const qreal x = crop.left() + crop.width() * i / 3;
        const qreal y = crop.top() + crop.height() * i / 3;
        lines[i - 1]->setLine(x, crop.top(), x, crop.bottom());
        lines[i + 1]->setLine(crop.left(), y, crop.right(), y);
    }

    QWidget window;
    window.setObjectName(QStringLiteral("correctionToolPane"));
    NAVIK_tarl1::setCustomStyleSheet(&window);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* view = new QGraphicsView(&scene);
    view->setBackgroundBrush(QColor(60, 60, 60));
    view->setTransform(QTransform::fromScale(zoom, zoom));
    view->setMinimumSize(900, 560);
    layout->addWidget(view, 1);
    auto* pane = new CCropToolPane(&window, nullptr, QStringLiteral("Crop"));
    pane->restoreShowGrid();
    QObject::connect(pane, &CCropToolPane::backgroundOpacityChanged, mask, &CCropOverlayRect::setBackgroundOpacity);
    layout->addWidget(pane);
    window.resize(900, 600);
    window.show();

    mask->onCropRectChanged(crop);
    label->onCropRectChanged(crop);
    // At high zoom look at the bottom-right corner with its handle and label.
    view->centerOn(zoom > 1 ? crop.bottomRight() : crop.center());
    label->updateLabelPosition();

    const QString out = QString::fromLocal8Bit(argv[3]);
    QTimer::singleShot(500, &app, [&] {
        window.grab().save(out);
        app.quit();
    });
    return app.exec();
}
