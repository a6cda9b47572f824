#pragma once

// A diagnostic window of the engine: a picture shown 500 pixels wide with red
// marks at points given as fractions (0..1) of the window's width and height.
// Nothing in the program opens it; it is there to look at what a render or a
// projection produced while working on the engine.

#include <QDialog>
#include <QImage>
#include <QPointF>
#include <QVector>

class CDebugDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CDebugDialog(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    // Shows `image` and sizes the window to it at 500 pixels of width; a null
    // image is kept (nothing is drawn) and leaves the size alone.
    void setImage(const QImage& image);
    // The points to mark, in fractions of the window; marked at the next paint.
    void setPoints(const QVector<QPointF>& points);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
    QVector<QPointF> m_points;
};
