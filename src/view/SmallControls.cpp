#include "view/SmallControls.h"

#include <QFont>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QWheelEvent>

CScrollArea::CScrollArea(QWidget* parent)
    : QScrollArea(parent)
{
}

void CScrollArea::wheelEvent(QWheelEvent* event)
{
    event->accept();
}

void CScrollArea::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        event->accept();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

CGroupBox::CGroupBox(QWidget* parent)
    : QGroupBox(parent)
{
    connect(this, &QGroupBox::toggled, this, &CGroupBox::onToggled);
    setChecked(false);
    onToggled(false);
}

void CGroupBox::onToggled(bool checked)
{
    setMaximumHeight(checked ? QWIDGETSIZE_MAX : 33);
}

void CGroupBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->position().x() <= 23) {
        setChecked(!isChecked());
        return;
    }
    QGroupBox::mouseReleaseEvent(event);
}

CHoveredButton::CHoveredButton(QWidget* parent)
    : QPushButton(parent)
{
}

bool CHoveredButton::event(QEvent* event)
{
    if (event->type() == QEvent::HoverEnter)
        m_hovered = true;
    else if (event->type() == QEvent::HoverLeave)
        m_hovered = false;
    return QPushButton::event(event);
}

void CHoveredButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    if (m_hovered)
        option.state |= QStyle::State_HasFocus;
    else
        option.state &= ~QStyle::State_HasFocus;
    painter.drawControl(QStyle::CE_PushButton, option);
}

namespace {

// The bar image, loaded on the first paint and shared by all bars.
const QPixmap& barImage()
{
    static const QPixmap image(QStringLiteral(":/icons/cafDialog/progressbar.png"));
    return image;
}

} // namespace

CProgressBar::CProgressBar(QWidget* parent)
    : QWidget(parent)
{
}

void CProgressBar::setProgress(qint64 done, qint64 total)
{
    m_done = done;
    m_total = total;
    update();
}

int CProgressBar::percent() const
{
    if (m_total == 0)
        return 0;
    return int(m_done * 100.0 / m_total);
}

QString CProgressBar::percentText() const
{
    return QString::number(double(percent()), 'f', 0);
}

QString CProgressBar::sizeText(qint64 bytes)
{
    if (bytes <= 1024)
        return QString::number(double(bytes), 'g', 6) + tr("B");
    if (bytes <= 1048576)
        return QString::number(bytes / 1024.0, 'f', 1) + tr("kB");
    return QString::number(bytes / 1024.0 / 1024.0, 'f', 1) + tr("MB");
}

void CProgressBar::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    const QPixmap& image = barImage();
    const int fill = percent() * (width() - 4) / 100;
    if (fill > 0 && !image.isNull())
        painter.drawPixmap(QPointF(2.0, 2.0),
                           image.scaled(fill, image.height(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
    painter.setPen(Qt::white);
    painter.setFont(QFont(QStringLiteral("Lucida Grande"), 12));
    const QString text =
        QStringLiteral("%1/%2    %3%").arg(sizeText(m_done), sizeText(m_total), percentText());
    painter.drawText(QRect(0, 0, width(), height()), Qt::AlignHCenter | Qt::AlignVCenter, text);
}
