#include "view/CShadowPage.h"

#include "view/CBaseGraphicsView.h"
#include "view/IViewInterface.h"

#include "utils/GuiUtils.h"
#include "utils/Logger.h"

#include <QPainter>

namespace {

// The eight pieces of the scene's shadow, in drawShadowRect's order; loaded
// at the first paint of any page.
const QList<QPixmap>& shadowPieces()
{
    static const QList<QPixmap> pieces = [] {
        QList<QPixmap> list;
        for (const char* name : {"left-top", "left", "left-bottom", "bottom", "right-bottom", "right", "right-top",
                                 "top"})
            list.append(QPixmap(QStringLiteral(":/icons/previewShadow/preview-shadow-%1.png")
                                    .arg(QLatin1String(name))));
        return list;
    }();
    return pieces;
}

} // namespace

CShadowPage::CShadowPage(QWidget* parent)
    : QWidget(parent)
{
}

void CShadowPage::setView(IViewInterface* view)
{
    m_view = view;
}

QRect CShadowPage::imageRect(const QRectF& visible, const QRectF& scene, const QRect& viewGeometry)
{
    if (visible.width() <= 0 || visible.height() <= 0 || scene.width() <= 0 || scene.height() <= 0)
        return QRect();
    const double viewWidth = viewGeometry.width();
    const double viewHeight = viewGeometry.height();
    const double w = scene.width() < visible.width() ? scene.width() * viewWidth / visible.width() : viewWidth;
    const double h = scene.height() < visible.height() ? scene.height() * viewHeight / visible.height() : viewHeight;
    const double x = viewGeometry.x() + viewWidth * 0.5 - w * 0.5;
    const double y = viewGeometry.y() + viewHeight * 0.5 - h * 0.5;
    return QRect(qRound(x), qRound(y), qRound(w), qRound(h));
}

void CShadowPage::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    ASSERT(m_view);
    if (!m_view)
        return;
    const auto* view = dynamic_cast<CBaseGraphicsView*>(m_view);
    if (view && view->isWaitingForResult())
        return;
    const QRect rect = imageRect(m_view->visibleSceneRect(), m_view->sceneRect(), m_view->geometry());
    if (rect.isEmpty())
        return;
    QPainter painter(this);
    NAVIK_tarl1::drawShadowRect(&painter, rect, shadowPieces());
}

CShadowGraphicsItem::CShadowGraphicsItem(const QPixmap& pixmap)
    : QGraphicsPixmapItem(pixmap)
{
}

void CShadowGraphicsItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    painter->save();
    const QTransform transform = painter->worldTransform();
    painter->resetTransform();
    QPixmap image = pixmap();
    QPointF anchor = offset();
    if (m_anchorRight)
        anchor.rx() += image.width();
    if (m_anchorBottom)
        anchor.ry() += image.height();
    QPointF mapped = transform.map(anchor);
    if (!m_fixedHeight) {
        const int height = int(transform.map(QPointF(0, image.height())).y() - mapped.y() + 0.5);
        image = image.scaled(image.width(), height, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    if (!m_fixedWidth) {
        const int width = int(transform.map(QPointF(image.width(), 0)).x() - mapped.x() + 0.5);
        image = image.scaled(width, image.height(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    if (m_anchorRight)
        mapped.rx() -= image.width();
    if (m_anchorBottom)
        mapped.ry() -= image.height();
    painter->drawPixmap(mapped, image);
    painter->restore();
}
