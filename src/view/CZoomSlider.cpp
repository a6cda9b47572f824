#include "view/CZoomSlider.h"

#include "view/CZoomController.h"

#include <QSignalBlocker>

CZoomSlider::CZoomSlider(QWidget* parent)
    : QSlider(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setObjectName(QStringLiteral("zoomSlider"));
    setMinimumSize(121, 16);
    setMaximumSize(121, 16);
    setFocusPolicy(Qt::StrongFocus);
    setPageStep(10);
    setOrientation(Qt::Horizontal);
    setMinimum(24);
    setMaximum(200);
    setToolTip(tr("Change Zoom"));
    setValue(0);
}

void CZoomSlider::onZoomChanged(int zoom)
{
    const QSignalBlocker blocker(this);
    setValue(zoom);
}

void CZoomSlider::onMinZoomChanged()
{
    setMinimum(CZoomController::instance()->minZoom());
    setSingleStep((maximum() - minimum()) / 20);
    setPageStep((maximum() - minimum()) / 20);
}
