#pragma once

// The slider of the zoom bar: the zoom in percent, from the views' minimum
// zoom to 200.

#include <QSlider>

class CZoomSlider : public QSlider
{
    Q_OBJECT
public:
    explicit CZoomSlider(QWidget* parent = nullptr);

public Q_SLOTS:
    // Shows a zoom without emitting anything.
    void onZoomChanged(int zoom);
    // Takes over the zoom controller's minimum zoom.
    void onMinZoomChanged();
};
