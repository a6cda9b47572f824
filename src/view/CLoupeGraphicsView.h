#pragma once

// The view inside the loupe: live, it paints its scene with the overlay
// picture (the full-resolution render) over it; frozen, it paints a picture
// of what it last showed, so it keeps showing it without a scene.

#include <QGraphicsView>
#include <QPixmap>

class CLoupeGraphicsView : public QGraphicsView
{
    Q_OBJECT
public:
    explicit CLoupeGraphicsView(QWidget* parent = nullptr);

    void freeze();
    void unfreeze();
    void reset();
    void setLoupePixmap(const QPixmap& pixmap);

    bool isFrozen() const { return m_isFrozen; }
    const QPixmap& frozenPixmap() const { return m_frozenPixmap; }
    const QPixmap& overlayPixmap() const { return m_overlayPixmap; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;

private:
    QPixmap m_frozenPixmap;
    bool m_isFrozen = true;
    QPixmap m_overlayPixmap;
};
