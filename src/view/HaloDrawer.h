#pragma once

// The halo: a soft light spot painted behind the image of a view, the image
// ":/icons/halo.png" stretched over the area at 30 % opacity. Mode 0 (left
// view of a side-by-side pair) and mode 1 (right view) share one spot centred
// on their common edge; mode 2 (a single view) centres it.
//
// The start hint: "Drag & drop picture here to start editing" over an empty
// view in standalone mode.

#include <QCoreApplication>
#include <QPixmap>
#include <QRect>
#include <QWidget>

class QPaintEvent;

class CHaloDrawer
{
public:
    CHaloDrawer() = default;

    // Takes effect when the area's size next changes.
    void setMode(int mode);
    void draw(QPaintEvent* event, QRect rect, QWidget* target);

    // The prepared halo, for an area of the last size drawn.
    const QPixmap& cache() const { return m_cache; }
    // The halo scaled over an area of w × h, shown from column `offset`.
    static QPixmap buildCache(int width, int height, int offset, int* scaledWidth = nullptr);
    // The column of the scaled halo at the cache's left edge.
    static int offsetForMode(int mode, int scaledWidth, int areaWidth);

private:
    QPixmap m_cache;
    int m_mode = 0;
};

class CHaloWidget : public QWidget
{
public:
    explicit CHaloWidget(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_cache;
};

class CStartTextDrawer
{
    Q_DECLARE_TR_FUNCTIONS(CStartTextDrawer)
public:
    CStartTextDrawer() = default;

    // Paints the hint in standalone mode while no picture is loaded or the
    // scene is still empty, and then accepts the event.
    void draw(QPaintEvent* event, QWidget* target, bool sceneEmpty, bool pictureLoaded);
    void drawText(QWidget* target);
    // The grey of the text on a background of grey `background`.
    static int textGrey(int background);
};
