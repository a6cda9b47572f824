#include "view/CLoupeGraphicsView.h"

#include "view/ISceneInterface.h"

#include <QPaintEvent>
#include <QPainter>

CLoupeGraphicsView::CLoupeGraphicsView(QWidget* parent)
    : QGraphicsView(parent)
{
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
}

void CLoupeGraphicsView::freeze()
{
    if (!isVisible() || m_isFrozen)
        return;
    m_isFrozen = true;
    const auto* shown = dynamic_cast<const ISceneInterface*>(scene());
    if (shown && !shown->isEmpty()) {
        QPixmap picture(viewport()->size());
        picture.fill(QColor(83, 83, 83));
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing, true);
        render(&painter, QRectF(picture.rect()), viewport()->rect(), Qt::KeepAspectRatio);
        painter.end();
        m_frozenPixmap = picture;
    }
}

void CLoupeGraphicsView::unfreeze()
{
    if (!isVisible() || !m_isFrozen)
        return;
    m_isFrozen = false;
    m_frozenPixmap = QPixmap();
}

void CLoupeGraphicsView::reset()
{
    m_isFrozen = true;
    m_frozenPixmap = QPixmap();
    m_overlayPixmap = QPixmap();
}

void CLoupeGraphicsView::setLoupePixmap(const QPixmap& pixmap)
{
    if (!pixmap.isNull() && m_isFrozen)
        m_frozenPixmap = pixmap;
    else
        m_overlayPixmap = pixmap;
    viewport()->repaint();
}

void CLoupeGraphicsView::paintEvent(QPaintEvent* event)
{
    if (scene() && !m_isFrozen) {
        QGraphicsView::paintEvent(event);
        return;
    }
    if (m_frozenPixmap.isNull())
        return;
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setClipRect(event->rect());
    painter.drawPixmap(event->rect().topLeft(), m_frozenPixmap, event->rect());
    event->accept();
}

void CLoupeGraphicsView::drawForeground(QPainter* painter, const QRectF& rect)
{
    QGraphicsView::drawForeground(painter, rect);
    if (m_overlayPixmap.isNull())
        return;
    painter->save();
    painter->resetTransform();
    painter->drawPixmap(0, 0, m_overlayPixmap);
    painter->restore();
}
