#include "view/CDockWidget.h"

#include "shell/IMainWindowInterface.h"
#include "utils/CSettings.h"
#include "utils/Logger.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMoveEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleOption>
#include <QToolButton>

namespace {

const QString kFloatingKey = QStringLiteral("app_floating");
const QString kPositionKey = QStringLiteral("app_pos");

// Whichever palette first enabled size adjusting holds it.
bool s_sizeAdjustingTaken = false;

const QString kFloatButtonStyle = QStringLiteral(
    "QToolButton#float_button{background: url(:icons/pin/%1.png);}"
    "QToolButton#float_button:hover{background: url(:icons/pin/%1-hover.png);}"
    "QToolButton#float_button:disabled{background: url(:icons/pin/%1-disabled.png);}"
    "QToolButton#float_button:pressed{background: url(:icons/pin/%1-active.png);}");

// The title bar's height, added to the content's.
constexpr int kTitleHeight = 23;
// How much of a floating palette stays on the screens.
constexpr int kKeepOnScreen = 69;
// Room between a palette floated by its pin button and the palettes beside it.
constexpr int kPaletteGap = 8;

} // namespace

CDockTitle::CDockTitle(CDockWidget* dock)
    : QWidget(dock)
    , m_dock(dock)
{
    setObjectName(QStringLiteral("dockTitleWidget"));
    setFixedSize(320, kTitleHeight);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 4, 13, 4);
    m_title = new QLabel(this);
    layout->addWidget(m_title);
    m_buttons = new QHBoxLayout;
    m_buttons->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(m_buttons);

    m_floatButton = addToolButton(QSize(11, 13), tr("Unpin palette") + QStringLiteral("  "),
                                  QStringLiteral("float_button"), Qt::NoFocus);
    setPinState(true);
    connect(m_floatButton, &QToolButton::clicked, this, &CDockTitle::onFloatButton);
}

QSize CDockTitle::sizeHint() const
{
    return QSize(320, kTitleHeight);
}

QSize CDockTitle::minimumSizeHint() const
{
    return QSize(320, kTitleHeight);
}

QToolButton* CDockTitle::addToolButton(const QSize& size, const QString& toolTip, const QString& objectName,
                                       Qt::FocusPolicy focus)
{
    if (!m_buttons)
        return nullptr;
    auto* button = new QToolButton(this);
    button->setFixedSize(size);
    button->setFocusPolicy(focus);
    button->setToolTip(toolTip);
    button->setObjectName(objectName);
    m_buttons->insertWidget(0, button);
    return button;
}

void CDockTitle::setTitle(const QString& title)
{
    m_title->setText(title);
}

void CDockTitle::setFloatButtonToolTip(const QString& toolTip)
{
    m_floatButton->setToolTip(toolTip);
}

void CDockTitle::setPinState(bool pinned)
{
    m_floatButton->setStyleSheet(kFloatButtonStyle.arg(pinned ? QStringLiteral("pin") : QStringLiteral("unpined")));
}

void CDockTitle::onFloatButton()
{
    m_dock->toggleFloating();
}

void CDockTitle::paintEvent(QPaintEvent*)
{
    // Lets the application style sheet paint the background.
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

CDockWidget::CDockWidget(QWidget* parent, Qt::WindowFlags)
    : QDockWidget(parent, Qt::FramelessWindowHint)
{
    m_maskTimer.setSingleShot(true);
    m_maskTimer.setInterval(200);
    connect(&m_maskTimer, &QTimer::timeout, this, &CDockWidget::doSetWindowMask);
    connect(this, &QDockWidget::topLevelChanged, this, &CDockWidget::onTopLevelChanged);
    m_title = new CDockTitle(this);
    setTitleBarWidget(m_title);
    installEventFilter(this);
}

void CDockWidget::loadState()
{
    LOG_TRACE();
    NAVIK_tarl1::CSettings settings;
    if (!settings.value(kFloatingKey + objectName(), false).toBool()) {
        setFloating(false);
        return;
    }
    // Wayland lets no window choose its place: a palette could not come
    // back where it was, so it stays docked.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        setFloating(false);
        return;
    }
    const QPoint position = settings.value(kPositionKey + objectName(), QPoint(0, 0)).toPoint();
    // No screen holds a point off every screen: the palette then docks.
    const QScreen* screen = QGuiApplication::screenAt(position);
    const QRect available = screen ? screen->availableGeometry() : QRect();
    if (screen && available.contains(position) && available.bottom() - position.y() >= 24) {
        setFloating(true);
        LOG_MESSAGE('D', "Move floating dock widget to: " << position.x() << ", " << position.y());
        // The restored place may lie nearer the bottom than a drag may go.
        m_restoredPosition = position;
        move(position);
        return;
    }
    setFloating(false);
}

void CDockWidget::saveState()
{
    NAVIK_tarl1::CSettings settings;
    settings.setValue(kFloatingKey + objectName(), isFloating());
    settings.setValue(kPositionKey + objectName(), pos());
}

void CDockWidget::enableSizeAdjusting(bool enable)
{
    if (s_sizeAdjustingTaken && enable)
        return;
    m_sizeAdjusting = enable;
    s_sizeAdjustingTaken = enable;
}

void CDockWidget::setAdjustSizeWidget(IMainWindowInterface* mainWindow)
{
    m_adjustSizeWidget = mainWindow;
}

QToolButton* CDockWidget::addTitleButton(const QSize& size, const QString& toolTip, const QString& objectName)
{
    return m_title ? m_title->addToolButton(size, toolTip, objectName, Qt::NoFocus) : nullptr;
}

void CDockWidget::toggleFloating()
{
    if (isFloating()) {
        setFloating(false);
        return;
    }
    // A palette floats where it was docked, and the palettes docked below it
    // move up into its place: it would cover them. It goes to the left of
    // the column instead, and further left past any floating palette there.
    const QPoint docked = mapToGlobal(QPoint(0, 0));
    setFloating(true);
    QList<QRect> others;
    if (parentWidget())
        for (const CDockWidget* other : parentWidget()->findChildren<CDockWidget*>(Qt::FindDirectChildrenOnly))
            if (other != this && other->isVisible())
                others.append(QRect(other->mapToGlobal(QPoint(0, 0)), other->size()));
    QRect place(docked, size());
    place.moveRight(docked.x() - kPaletteGap - 1);
    for (bool moved = true; moved;) {
        moved = false;
        for (const QRect& other : others) {
            if (other.intersects(place)) {
                place.moveRight(other.left() - kPaletteGap - 1);
                moved = true;
            }
        }
    }
    move(place.topLeft());
}

void CDockWidget::onWidgetHeightChanged(int height)
{
    m_contentHeight = height + kTitleHeight;
    adjustDockHeight();
}

void CDockWidget::adjustDockHeight()
{
    int height = m_contentHeight;
    if (m_sizeAdjusting && !isFloating()) {
        const int available = m_adjustSizeWidget ? m_adjustSizeWidget->getDockAvailableHeight() - 5 : 20;
        height = qMin(available, m_contentHeight);
    }
    setMinimumHeight(height);
    setMaximumHeight(height);
}

void CDockWidget::onTopLevelChanged(bool floating)
{
    adjustDockHeight();
    m_isFloatingPalette = floating;
    m_title->setFloatButtonToolTip((floating ? tr("Pin palette") : tr("Unpin palette")) + QStringLiteral("  "));
    m_title->setPinState(!floating);
    scheduleWindowMask();
}

void CDockWidget::scheduleWindowMask()
{
    clearMask();
    m_maskTimer.stop();
    m_maskTimer.start();
}

void CDockWidget::doSetWindowMask()
{
    if (!m_isFloatingPalette) {
        clearMask();
        return;
    }
    ASSERT(isVisible());
    hide();
    const int w = width();
    const int h = height();
    QBitmap bitmap(w, h);
    {
        QPainter painter(&bitmap);
        painter.setPen(Qt::color0);
        painter.setBrush(Qt::color0);
        painter.drawRect(0, 0, w - 1, h - 1);
        painter.setBrush(Qt::color1);
        painter.drawRoundedRect(QRectF(0, 0, w - 5, h - 10), 3.0, 3.0, Qt::AbsoluteSize);
        painter.setPen(Qt::color1);
        painter.drawRect(QRect(QPoint(1, 3), QPoint(w - 7, h - 4)));
    }
    setMask(bitmap);
    show();
}

void CDockWidget::resizeEvent(QResizeEvent* event)
{
    QDockWidget::resizeEvent(event);
    scheduleWindowMask();
    m_title->setTitle(windowTitle());
}

void CDockWidget::moveEvent(QMoveEvent* event)
{
    // A docked palette is placed by the window's layout, in its coordinates.
    if (m_inMoveCheck || !isFloating()) {
        QDockWidget::moveEvent(event);
        return;
    }
    m_inMoveCheck = true;
    QRect bounds;
    for (const QScreen* screen : QGuiApplication::screens())
        bounds = bounds.united(screen->availableGeometry());
    if (!(m_adjustSizeWidget && m_adjustSizeWidget->isFullScreen())) {
        bounds.setLeft(bounds.left() + kKeepOnScreen - width());
        bounds.setRight(bounds.right() - kKeepOnScreen);
        bounds.setBottom(bounds.bottom() - kKeepOnScreen);
    }
    if (m_restoredPosition && *m_restoredPosition == event->pos()) {
        m_restoredPosition.reset();
        QDockWidget::moveEvent(event);
    } else if (bounds.contains(event->pos())) {
        QDockWidget::moveEvent(event);
    } else {
        event->ignore();
        move(event->oldPos());
    }
    m_inMoveCheck = false;
}

bool CDockWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == this && event->type() == QEvent::CursorChange) {
        const Qt::CursorShape shape = cursor().shape();
        if (shape == Qt::SizeHorCursor || shape == Qt::SizeVerCursor)
            setCursor(Qt::ArrowCursor);
    }
    return QDockWidget::eventFilter(watched, event);
}
