#include "view/CProgressDrawer.h"

#include "shell/ProgressIndicatorFlag.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QPainter>
#include <QStyleOption>

namespace {

void drawStyledBox(QWidget* widget)
{
    QStyleOption option;
    option.initFrom(widget);
    QPainter painter(widget);
    widget->style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, widget);
}

} // namespace

AnimatedLabel::AnimatedLabel(const QStringList& frames, QWidget* parent)
    : QLabel(parent)
{
    for (const QString& path : frames)
        m_frames.append(QPixmap::fromImage(QImage(path)));
    m_frameTimer.setInterval(200);
    connect(&m_frameTimer, &QTimer::timeout, this, &AnimatedLabel::changeImage);
    changeImage();
}

void AnimatedLabel::changeImage()
{
    // Without frames there is nothing to show.
    if (m_frames.isEmpty())
        return;
    if (m_nextFrame >= m_frames.size())
        m_nextFrame = 0;
    setPixmap(m_frames.at(m_nextFrame));
    ++m_nextFrame;
}

void AnimatedLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    drawStyledBox(this);
}

void AnimatedLabel::showEvent(QShowEvent* event)
{
    QLabel::showEvent(event);
    m_frameTimer.start(200);
}

void AnimatedLabel::hideEvent(QHideEvent* event)
{
    QLabel::hideEvent(event);
    m_frameTimer.stop();
}

CProgressDrawer::CProgressDrawer(QWidget* parent, QWidget* view)
    : QWidget(parent)
    , m_view(view)
{
    setFocusPolicy(Qt::NoFocus);
    setMinimumHeight(65);
    QSizePolicy policy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    policy.setHeightForWidth(sizePolicy().hasHeightForWidth());
    setSizePolicy(policy);
    setObjectName(QStringLiteral("processingWidget"));

    auto* layout = new QHBoxLayout(this);
    m_textLabel = new QLabel(tr("Processing"), this);
    m_textLabel->setObjectName(QStringLiteral("processLabel"));
    layout->addWidget(m_textLabel);
    m_animation = new AnimatedLabel({QStringLiteral(":/icons/processing/processing1.png"),
                                     QStringLiteral(":/icons/processing/processing2.png"),
                                     QStringLiteral(":/icons/processing/processing3.png")},
                                    this);
    m_animation->setObjectName(QStringLiteral("AnimatedLabel"));
    layout->addWidget(m_animation);
    if (sizeHint().width() < 140)
        setMinimumWidth(140);

    m_showTimer.setSingleShot(true);
    m_showTimer.setInterval(300);
    connect(&m_showTimer, &QTimer::timeout, this, &QWidget::show);
    m_hideTimer.setSingleShot(true);
    m_hideTimer.setInterval(200);
    connect(&m_hideTimer, &QTimer::timeout, this, &CProgressDrawer::onHideTimer);
    hide();
}

void CProgressDrawer::onStartProgress(bool, bool delayed)
{
    if (delayed) {
        m_hideTimer.stop();
        m_showTimer.start();
    } else {
        show();
        QCoreApplication::processEvents();
    }
}

void CProgressDrawer::onStopProgress(bool delayed)
{
    m_showTimer.stop();
    if (delayed) {
        m_hideTimer.start();
    } else {
        hide();
        QCoreApplication::processEvents();
    }
}

void CProgressDrawer::moveToCenter()
{
    if (!m_view)
        return;
    const QPoint p = parentWidget() ? m_view->mapTo(parentWidget(), QPoint(0, 0)) : QPoint(0, 0);
    const int x = p.x() + (m_view->width() - width()) / 2;
    const int y = p.y() + 3 * ((m_view->height() - height()) / 4);
    move(x, y);
    m_view->update();
}

bool CProgressDrawer::isProgressVisible()
{
    return isProgressIndicatorVisible();
}

void CProgressDrawer::onHideTimer()
{
    hide();
    QCoreApplication::processEvents();
}

void CProgressDrawer::paintEvent(QPaintEvent*)
{
    drawStyledBox(this);
}

void CProgressDrawer::showEvent(QShowEvent* event)
{
    setProgressIndicatorVisible(true);
    QWidget::showEvent(event);
    moveToCenter();
}

void CProgressDrawer::hideEvent(QHideEvent* event)
{
    setProgressIndicatorVisible(false);
    QWidget::hideEvent(event);
}
