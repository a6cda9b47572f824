#pragma once

// The palettes beside the image (the correction panels, the loupe): a dock
// widget with its own title bar whose pin button docks or floats it. A
// palette remembers whether it floated and where ("app_floating" and
// "app_pos" followed by its object name) and floats there again only when the
// place is still on a screen; it keeps a floating palette from being dragged
// off the screens, sizes itself to its content (and, while docked, to the
// height the main window can give it), and while floating cuts its window to
// a rounded shape. Where the platform cannot place a floating window
// (Wayland), the palette stays where the window system puts it.

#include <QDockWidget>
#include <QTimer>

#include <optional>

class CDockWidget;
class IMainWindowInterface;
class QHBoxLayout;
class QLabel;
class QToolButton;

class CDockTitle : public QWidget
{
    Q_OBJECT
public:
    explicit CDockTitle(CDockWidget* dock);

    // A button inserted to the left of the earlier ones.
    QToolButton* addToolButton(const QSize& size, const QString& toolTip, const QString& objectName,
                               Qt::FocusPolicy focus);
    void setTitle(const QString& title);
    void setFloatButtonToolTip(const QString& toolTip);
    void setPinState(bool pinned);
    QToolButton* floatButton() const { return m_floatButton; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void onFloatButton();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CDockWidget* m_dock = nullptr;
    QLabel* m_title = nullptr;
    QToolButton* m_floatButton = nullptr;
    QHBoxLayout* m_buttons = nullptr;
};

class CDockWidget : public QDockWidget
{
    Q_OBJECT
public:
    // The flags are not used: the palette is always frameless.
    explicit CDockWidget(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    void loadState();
    void saveState();
    // Only one palette at a time follows the main window's height.
    void enableSizeAdjusting(bool enable);
    void setAdjustSizeWidget(IMainWindowInterface* mainWindow);
    QToolButton* addTitleButton(const QSize& size, const QString& toolTip, const QString& objectName);
    CDockTitle* dockTitle() const { return m_title; }
    bool isFloatingPalette() const { return m_isFloatingPalette; }
    // Floats a docked palette beside the column of docked palettes it
    // leaves, clear of every other palette; docks a floating one.
    void toggleFloating();

public slots:
    void onWidgetHeightChanged(int height);
    void adjustDockHeight();
    void onTopLevelChanged(bool floating);
    void doSetWindowMask();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scheduleWindowMask();

    QTimer m_maskTimer;
    bool m_sizeAdjusting = false;
    IMainWindowInterface* m_adjustSizeWidget = nullptr;
    bool m_isFloatingPalette = false;
    int m_contentHeight = 0;
    CDockTitle* m_title = nullptr;
    bool m_inMoveCheck = false;
    // The place loadState restored, until the palette arrives there.
    std::optional<QPoint> m_restoredPosition;
};
