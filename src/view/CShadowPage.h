#pragma once

// CShadowPage hosts a view in the window's layout and paints the thin drop
// shadow around the part of the view that the image occupies: along the
// view's edges where the image is larger than the view, hugging the image
// where it is smaller.
//
// CShadowGraphicsItem is a pixmap item drawn at a fixed size in screen
// pixels whatever the zoom, anchored at one of its corners.

#include <QGraphicsPixmapItem>
#include <QRect>
#include <QRectF>
#include <QWidget>

class IViewInterface;

class CShadowPage : public QWidget
{
    Q_OBJECT
public:
    explicit CShadowPage(QWidget* parent = nullptr);

    // The view whose image the shadow follows; a child of the page.
    void setView(IViewInterface* view);

    // The image's rectangle on the page for a view at `viewGeometry` (page
    // coordinates) showing `visibleSceneRect` of a scene of `sceneRect`; an
    // empty rectangle when there is nothing to shadow.
    static QRect imageRect(const QRectF& visibleSceneRect, const QRectF& sceneRect, const QRect& viewGeometry);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    IViewInterface* m_view = nullptr;
};

class CShadowGraphicsItem : public QGraphicsPixmapItem
{
public:
    explicit CShadowGraphicsItem(const QPixmap& pixmap);

    void setFixedWidth(bool fixed) { m_fixedWidth = fixed; }
    void setFixedHeight(bool fixed) { m_fixedHeight = fixed; }
    void setAnchorRight(bool right) { m_anchorRight = right; }
    void setAnchorBottom(bool bottom) { m_anchorBottom = bottom; }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    bool m_fixedWidth = true;
    bool m_fixedHeight = true;
    bool m_anchorRight = false;
    bool m_anchorBottom = false;
};
