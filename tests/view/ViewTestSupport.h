#pragma once

// What the view tests share: rendered buffers of one colour, an engine whose
// point projection and crop the test chooses, a tool item, and a scene with
// a low-resolution image of a given size.

#include "engine/CProcessEngine.h"
#include "shell/PixelDataPtr.h"
#include "view/CBaseGraphicsScene.h"
#include "view/ISceneItemInterface.h"

#include <QColor>
#include <QGraphicsRectItem>
#include <QGraphicsSceneMouseEvent>
#include <QList>
#include <QPointF>
#include <QRectF>

#include <cstring>
#include <functional>

// A buffer as the engine delivers it: 8-bit RGB, red first.
inline PixelDataPtr solidPixels(int width, int height, const QColor& color = Qt::red)
{
    PixelDataPtr data(Navik::PixelData::Create(Navik::kSampleTypeUInt8, Navik::kSampleLayoutRGBInterleaved,
                                               unsigned(width), unsigned(height)));
    auto* rows = static_cast<unsigned char*>(data->Buffer(0));
    for (int y = 0; y < height; ++y) {
        unsigned char* row = rows + y * data->GetRowBytes();
        for (int x = 0; x < width; ++x) {
            row[3 * x] = uchar(color.red());
            row[3 * x + 1] = uchar(color.green());
            row[3 * x + 2] = uchar(color.blue());
        }
    }
    return data;
}

// An engine without a picture whose projection shifts points by a chosen
// offset (mode 0 adds it, mode 1 removes it) and whose crop is chosen.
class FakeProjectionEngine : public CProcessEngine
{
public:
    QPointF projectPoint(const QPointF& point, int mode) override
    {
        projected.append(point);
        return mode == 0 ? point + shift : point - shift;
    }
    QRectF getCropParameters() const override { return crop; }

    QPointF shift;
    QRectF crop;
    QList<QPointF> projected;
};

// A tool item as the correction modules make them.
class ToolItem : public QGraphicsRectItem, public ISceneItemInterface
{
public:
    ToolItem(const QRectF& rect, bool transparent, bool reportsPress)
        : QGraphicsRectItem(rect)
        , m_transparent(transparent)
        , m_reportsPress(reportsPress)
    {
        setZValue(1001);
        setBrush(Qt::green);
    }
    bool isTransparentForView() const override { return m_transparent; }
    bool reportsPressPosition() const override { return m_reportsPress; }
    QString itemName() const override { return QStringLiteral("Tool"); }

    int presses = 0;
    int releases = 0;
    std::function<void()> onPress;

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override
    {
        ++presses;
        event->accept();
        if (onPress)
            onPress();
    }
    void mouseReleaseEvent(QGraphicsSceneMouseEvent*) override { ++releases; }

private:
    bool m_transparent;
    bool m_reportsPress;
};

// Shows a low-resolution image of `size` in a scene connected to `engine`.
inline void showImage(CProcessEngine& engine, bool initial, const QSize& size)
{
    const PixelDataPtr pixels = solidPixels(std::max(1, size.width() / 10), std::max(1, size.height() / 10));
    if (initial) {
        emit engine.initialImageSizeChanged(size);
        emit engine.loResInitialImageProcessed(pixels, size);
    } else {
        emit engine.resultImageSizeChanged(size);
        emit engine.loResResultImageProcessed(pixels, size);
    }
}
