#include "utils/GuiUtils.h"

#include "utils/Logger.h"
#include "utils/MacOSNativeGlue.h"

#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QPainter>
#include <QPalette>
#include <QRect>
#include <QWidget>

namespace NAVIK_tarl1 {

void drawRoundedImageBorder(QPainter* painter, const QRect& rect, const QPixmap& image, int corner, int outset)
{
    const int c = corner;
    // Edges of the grown rectangle; right and bottom are its last column and row.
    const int left = rect.left() - outset;
    const int top = rect.top() - outset;
    const int right = rect.right() + outset;
    const int bottom = rect.bottom() + outset;
    const int width = right - left + 1;
    const int height = bottom - top + 1;
    // Where the right column and the bottom row of pieces start.
    const int farX = right + 1 - c;
    const int farY = bottom + 1 - c;

    painter->drawPixmap(QPoint(left, top), image, QRect(0, 0, c, c));
    painter->drawPixmap(QRect(left + c, top, width - 2 * c, c), image, QRect(c, 0, 1, c));
    painter->drawPixmap(QPoint(farX, top), image, QRect(c + 1, 0, c, c));
    painter->drawPixmap(QRect(left, top + c, c, height - 2 * c), image, QRect(0, c, c, 1));
    painter->drawPixmap(QRect(farX, top + c, c, height - 2 * c), image, QRect(c + 1, c, c, 1));
    painter->drawPixmap(QPoint(left, farY), image, QRect(0, c + 1, c, c));
    painter->drawPixmap(QRect(left + c, farY, width - 2 * c, c), image, QRect(c, c + 1, 1, c));
    painter->drawPixmap(QPoint(farX, farY), image, QRect(c + 1, c + 1, c, c));
}

void drawShadowRect(QPainter* painter, const QRect& rect, const QList<QPixmap>& images)
{
    if (images.size() < 8) {
        ASSERT_X(images.size() >= 8, "drawShadowRect", "a shadow takes eight pieces");
        return;
    }
    const int left = rect.left();
    const int top = rect.top();
    const int outerRight = rect.right() + 1;
    const int outerBottom = rect.bottom() + 1;
    const int width = outerRight - left;
    const int height = outerBottom - top;

    const QPixmap& topLeft = images.at(0);
    const QPixmap& leftSide = images.at(1);
    const QPixmap& bottomLeft = images.at(2);
    const QPixmap& bottomSide = images.at(3);
    const QPixmap& bottomRight = images.at(4);
    const QPixmap& rightSide = images.at(5);
    const QPixmap& topRight = images.at(6);
    const QPixmap& topSide = images.at(7);

    painter->drawPixmap(QPoint(left - topLeft.width(), top - topLeft.height()), topLeft);
    painter->drawPixmap(QRect(left - leftSide.width(), top, leftSide.width(), height), leftSide);
    painter->drawPixmap(QPoint(left - bottomLeft.width(), outerBottom), bottomLeft);
    painter->drawPixmap(QRect(left, outerBottom, width, bottomSide.height()), bottomSide);
    painter->drawPixmap(QPoint(outerRight, outerBottom), bottomRight);
    painter->drawPixmap(QRect(outerRight, top, rightSide.width(), height), rightSide);
    painter->drawPixmap(QRect(outerRight, top - topRight.height(), topRight.width(), topRight.height()), topRight);
    painter->drawPixmap(QRect(left, top - topSide.height(), width, topSide.height()), topSide);
}

namespace {

// Sets the watched widget's minimum width to its size hint whenever what the
// hint depends on may have changed: the style sheet only applies once the
// widget sits in its final window, and a font may come from there too.
class CWholeTextKeeper : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Polish:
        case QEvent::Show:
        case QEvent::StyleChange:
        case QEvent::FontChange:
        case QEvent::LanguageChange: {
            auto* widget = static_cast<QWidget*>(watched);
            widget->setMinimumWidth(0);
            widget->setMinimumWidth(widget->sizeHint().width());
            break;
        }
        default:
            break;
        }
        return false;
    }
};

} // namespace

void keepWholeText(QWidget* widget)
{
    if (!widget)
        return;
    widget->installEventFilter(new CWholeTextKeeper(widget));
}

void setWidgetFullTransparency(QWidget* widget)
{
    if (!widget)
        return;
    static const QPalette::ColorRole backgroundRoles[] = {
        QPalette::Window, QPalette::Button, QPalette::Base, QPalette::Light,
        QPalette::Midlight, QPalette::Dark, QPalette::Mid, QPalette::Shadow};
    QPalette palette = widget->palette();
    for (QPalette::ColorRole role : backgroundRoles)
        palette.setBrush(QPalette::All, role, QBrush(Qt::transparent, Qt::SolidPattern));
    widget->setPalette(palette);
}

void showUntilFinished(QDialog& dialog)
{
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, &QEventLoop::quit);
    dialog.show();
    const bool topLevel = !dialog.parentWidget();
    if (topLevel) {
        MacOSSetupNSApplicationNotificationResponder(dialog);
        MacOSBringToTop(static_cast<long>(dialog.winId()), true);
    }
    loop.exec();
    if (topLevel)
        MacOSRemoveNSApplicationNotificationResponder(dialog);
}

} // namespace NAVIK_tarl1
