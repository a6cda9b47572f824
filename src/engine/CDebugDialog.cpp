#include "engine/CDebugDialog.h"

#include <QPainter>

namespace {

constexpr double shownWidth = 500.0;
constexpr int markSide = 5;

} // namespace

CDebugDialog::CDebugDialog(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags)
{
}

void CDebugDialog::setImage(const QImage& image)
{
    m_image = image;
    // A null image has no width to scale by.
    if (m_image.isNull())
        return;
    const double factor = shownWidth / m_image.width();
    resize(int(m_image.width() * factor), int(m_image.height() * factor));
}

void CDebugDialog::setPoints(const QVector<QPointF>& points)
{
    m_points = points;
    update();
}

void CDebugDialog::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (m_image.isNull())
        return;

    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_image.scaled(size(), Qt::KeepAspectRatio, Qt::FastTransformation));
    // The marks follow the window, not the drawn picture, and are not clipped
    // to it: a point outside 0..1 lands off the picture.
    for (const QPointF& point : m_points) {
        painter.setBrush(QBrush(Qt::red, Qt::SolidPattern));
        QRect mark(0, 0, markSide, markSide);
        mark.moveCenter(QPoint(int(width() * point.x()), int(height() * point.y())));
        painter.drawRects(&mark, 1);
    }
}
