#pragma once

// A main window as the application makes it before a picture is opened, with
// a real process engine of its own, in the test application; and its
// take-down in the order the application keeps.

#include "correction/CCorrectionModuleHost.h"
#include "engine/CProcessEngine.h"
#include "mainwindow/CMainWindow.h"

#include "TestApplication.h"

// Shown, not yet exposed: the caller waits for that where a test can fail.
inline CMainWindow* makeTestWindow(CBaseApplication::RunMode mode, CProcessEngine** engine)
{
    application()->setMode(mode);
    *engine = new CProcessEngine;
    application()->engine = *engine;
    auto* window = new CMainWindow(application());
    window->setupControlsState(false);
    window->show();
    return window;
}

// The window and its scenes go before the module host that still holds
// groups in them, the engine last.
inline void destroyTestWindow(CMainWindow* window, CProcessEngine* engine)
{
    delete window;
    CCorrectionModuleHost::resetInstance();
    application()->engine = nullptr;
    delete engine;
}
