#include "engine/stand-ins/CZoomController.h"

CZoomController* CZoomController::instance()
{
    static CZoomController controller;
    return &controller;
}
