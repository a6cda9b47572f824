#pragma once

// Small reusable controls of the panels and the main window's side column.

#include <QGroupBox>
#include <QPushButton>
#include <QScrollArea>
#include <QWidget>

// A scroll area that the mouse wheel and the Up and Down keys do not scroll
// (the page keys and Left and Right still do).
class CScrollArea : public QScrollArea
{
    Q_OBJECT
public:
    explicit CScrollArea(QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// A checkable group box that collapses to its title row (33 pixels) while
// unchecked; a release over the indicator column (x up to 23) toggles it.
// The form makes it checkable.
class CGroupBox : public QGroupBox
{
    Q_OBJECT
public:
    explicit CGroupBox(QWidget* parent = nullptr);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private slots:
    void onToggled(bool checked);
};

// A push button drawn with its focus look while the pointer is over it, and
// without it otherwise. Hover events reach it only with Qt::WA_Hover set,
// which the owner decides.
class CHoveredButton : public QPushButton
{
    Q_OBJECT
public:
    explicit CHoveredButton(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_hovered = false;
};

// A progress bar painted from an image, with "done/total    percent%" centred
// on it, the sizes in B, kB or MB.
class CProgressBar : public QWidget
{
    Q_OBJECT
public:
    explicit CProgressBar(QWidget* parent = nullptr);

    // 0 while the total is 0; otherwise done × 100 / total, truncated.
    int percent() const;
    QString percentText() const;
    // A byte count as "1024B", "1.0kB" or "1.0MB".
    static QString sizeText(qint64 bytes);

public slots:
    void setProgress(qint64 done, qint64 total);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qint64 m_done = 0;
    qint64 m_total = 0;
};
