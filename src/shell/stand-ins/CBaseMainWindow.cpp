#include "shell/stand-ins/CBaseMainWindow.h"

CBaseMainWindow::CBaseMainWindow(CBaseApplication* application, QWidget* parent)
    : QMainWindow(parent)
    , m_application(application)
{
}

CBaseMainWindow::~CBaseMainWindow() = default;
