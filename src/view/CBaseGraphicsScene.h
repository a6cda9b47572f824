#pragma once

// The scene of one state of the open picture. It shows the image as at most
// two pixmap items: a low-resolution render of the whole image stretched over
// the scene (z 100) and the last high-resolution tile of what a view shows
// (z 200); the tool items of the correction modules lie above both. Scene
// units are pixels of the full-size image of that state. The scene paints a
// thin drop shadow around the image in device pixels and delivers a left
// release a second time to the item that took the press.

#include "shell/PixelDataPtr.h"
#include "view/ISceneInterface.h"

#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QSize>

class QGraphicsPixmapItem;
class IProcessEngine;

class CBaseGraphicsScene : public ISceneInterface
{
    Q_OBJECT
public:
    // Connects to the results of the state `isInitial` names of the
    // application's process engine.
    CBaseGraphicsScene(bool isInitial, QObject* parent);
    // The same with an explicit engine (null: no connection).
    CBaseGraphicsScene(bool isInitial, IProcessEngine* engine, QObject* parent);
    ~CBaseGraphicsScene() override;

    bool isInitial() const { return m_isInitial; }
    // A low-resolution image arrived since the last reset.
    bool hasLoResImage() const { return m_loResReceived; }
    // Empties the scene for another picture; the tool items stay.
    void doResetBeforeOpen();

    bool isEmpty() const override;
    QPixmap getToolsPixmap(const QRect rect) override;
    QGraphicsScene* graphicsScene() override { return this; }

    // For tests and benchmarks: the image items, null when absent.
    QGraphicsPixmapItem* loResItem() const { return m_loResItem; }
    QGraphicsPixmapItem* hiResItem() const { return m_hiResItem; }

public Q_SLOTS:
    void changeSceneSize(const QSize& size);

private Q_SLOTS:
    void onLoResImageProcessed(const PixelDataPtr& data, QSize size);
    void onHiResImageProcessed(const PixelDataPtr& data, QRect rect, QSize size);
    void onRemoveHiResRect();
    void onRemoveLowResRect();

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent* event) override;
    void drawBackground(QPainter* painter, const QRectF& rect) override;

private:
    void connectToEngine(IProcessEngine* engine);
    void dropItem(QGraphicsPixmapItem*& item);

    QGraphicsPixmapItem* m_loResItem = nullptr;
    QGraphicsPixmapItem* m_hiResItem = nullptr;
    QSize m_sceneSize{-1, -1};
    bool m_isInitial;
    bool m_loResReceived = false;
    QList<QPixmap> m_shadowPieces;
    // The item that held the grab at the last left press; the second
    // delivery of the release reaches it only while it is still in this scene.
    QGraphicsItem* m_pressGrabber = nullptr;
};
