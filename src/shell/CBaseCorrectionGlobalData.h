#pragma once

// The images of a draggable point handle, loaded once for the application and
// shared by every point item of the perspective and horizon corrections. Point
// items only refer to it, so it must outlive them.

#include <QPixmap>

class CBaseCorrectionGlobalData
{
public:
    CBaseCorrectionGlobalData();

    // An image that cannot be loaded stays a null pixmap.
    QPixmap normalPixmap;
    QPixmap pressedPixmap;
    QPixmap hoverPixmap;
    QPixmap focusedPixmap;
};
