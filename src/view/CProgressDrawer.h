#pragma once

// The "Processing" badge that floats over the lower part of an image view
// while the engine renders: shown only when a render takes longer than
// 300 ms, hidden 200 ms after it ends, so quick renders do not flash it.

#include <QLabel>
#include <QList>
#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <QWidget>

// A label that cycles through its frames every 200 ms while it is visible.
class AnimatedLabel : public QLabel
{
    Q_OBJECT
public:
    AnimatedLabel(const QStringList& frames, QWidget* parent);

    // For tests: the index of the frame the next step shows.
    int nextFrame() const { return m_nextFrame; }

public Q_SLOTS:
    void changeImage();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QList<QPixmap> m_frames;
    int m_nextFrame = 0;
    QTimer m_frameTimer;
};

class CProgressDrawer : public QWidget
{
    Q_OBJECT
public:
    CProgressDrawer(QWidget* parent, QWidget* view);

    // `ignored` has no effect. Delayed: shown after 300 ms unless stopped
    // first; otherwise shown and painted at once.
    void onStartProgress(bool ignored, bool delayed);
    // Delayed: hidden after 200 ms unless started again; otherwise at once.
    void onStopProgress(bool delayed);
    // Centred horizontally, three quarters down the free height of the view.
    void moveToCenter();
    // Whether the last indicator shown or hidden is on screen.
    static bool isProgressVisible();

public Q_SLOTS:
    void onHideTimer();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QTimer m_showTimer;
    QTimer m_hideTimer;
    QWidget* m_view;
    AnimatedLabel* m_animation;
    QLabel* m_textLabel;
};
