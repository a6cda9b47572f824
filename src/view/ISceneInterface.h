#pragma once

// A graphics scene of one state of the open picture (the initial image or the
// corrected one) as the views and the loupe see it.

#include <QGraphicsScene>
#include <QPixmap>
#include <QRect>

class ISceneInterface : public QGraphicsScene
{
public:
    using QGraphicsScene::QGraphicsScene;

    // True when the scene holds neither a low- nor a high-resolution image item.
    virtual bool isEmpty() const = 0;
    // The tool items inside `rect` (scene units), painted alone on a
    // transparent pixmap of rect's size.
    virtual QPixmap getToolsPixmap(const QRect rect) = 0;
    // The scene object itself.
    virtual QGraphicsScene* graphicsScene() = 0;
};
