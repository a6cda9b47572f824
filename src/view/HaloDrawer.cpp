#include "view/HaloDrawer.h"

#include "shell/IApplicationInterface.h"
#include "utils/CSettings.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QPainter>

namespace {

constexpr double kHaloOpacity = 0.3;
constexpr int kStandaloneMode = 1;

} // namespace

void CHaloDrawer::setMode(int mode)
{
    m_mode = mode;
}

int CHaloDrawer::offsetForMode(int mode, int scaledWidth, int areaWidth)
{
    switch (mode) {
    case 0:
    case 2:
        return scaledWidth / 2 - areaWidth / 2;
    case 1:
        return scaledWidth / 2;
    default:
        return 0;
    }
}

QPixmap CHaloDrawer::buildCache(int width, int height, int offset, int* scaledWidth)
{
    const QPixmap halo = QPixmap(QStringLiteral(":/icons/halo.png"))
                             .scaled(width, height, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
    if (scaledWidth)
        *scaledWidth = halo.width();
    QPixmap cache(width, height);
    cache.fill(QColor(QRgb(0)));
    QPainter painter(&cache);
    painter.translate(-offset, 0);
    painter.drawPixmap(0, 0, halo);
    painter.resetTransform();
    return cache;
}

void CHaloDrawer::draw(QPaintEvent*, QRect rect, QWidget* target)
{
    const int height = rect.height();
    const int width = m_mode == 2 ? rect.width() : 2 * rect.width();
    if (width <= 0 || height <= 0)
        return;
    if (m_cache.size() != QSize(width, height)) {
        const QSize scaled = QPixmap(QStringLiteral(":/icons/halo.png"))
                                 .size()
                                 .scaled(width, height, Qt::KeepAspectRatioByExpanding);
        m_cache = buildCache(width, height, offsetForMode(m_mode, scaled.width(), width));
    }
    QPainter painter(target);
    painter.setOpacity(kHaloOpacity);
    painter.drawPixmap(0, 0, m_cache);
}

CHaloWidget::CHaloWidget(QWidget* parent)
    : QWidget(parent)
{
}

void CHaloWidget::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    if (width() <= 0 || height() <= 0)
        return;
    if (m_cache.size() != size()) {
        const QSize scaled =
            QPixmap(QStringLiteral(":/icons/halo.png")).size().scaled(size(), Qt::KeepAspectRatioByExpanding);
        m_cache = CHaloDrawer::buildCache(width(), height(), scaled.width() / 2 - width() / 2);
    }
    QPainter painter(this);
    painter.setOpacity(kHaloOpacity);
    painter.drawPixmap(0, 0, m_cache);
}

int CStartTextDrawer::textGrey(int background)
{
    return (background + 108) % 255;
}

void CStartTextDrawer::draw(QPaintEvent* event, QWidget* target, bool sceneEmpty, bool pictureLoaded)
{
    int mode = 0;
    if (auto* application = qobject_cast<IApplicationInterface*>(QCoreApplication::instance())) {
        try {
            mode = application->getMode();
        } catch (...) {
            // The run mode is not decided yet: no hint.
        }
    }
    if (mode != kStandaloneMode || (pictureLoaded && !sceneEmpty))
        return;
    drawText(target);
    event->accept();
}

void CStartTextDrawer::drawText(QWidget* target)
{
    QPainter painter(target);
    painter.setClipRect(QRect(0, 0, target->width(), target->height()), Qt::ReplaceClip);
    const int background = NAVIK_tarl1::getSettingsInt(QStringLiteral("sceneBackgroundColor"), 68, 0, 255);
    painter.setFont(QFont(QStringLiteral("Lucida Grande"), 23));
    const int grey = textGrey(background);
    painter.setPen(QColor(grey, grey, grey));
    painter.drawText(QRect(0, 0, target->width(), target->height()),
                     Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap,
                     tr("Drag & drop picture here to start editing"));
}
