#pragma once

// Stand-in for the base of the main window until the window's document flow
// (open, save, close, batch, drag and drop, hand-back) is built. It offers
// exactly what the application object calls at start-up; the concrete window
// implements it.

#include "shell/CWindowState.h"
#include "shell/NavikImagePtr.h"

#include <QMainWindow>
#include <QString>
#include <QStringList>

class CBaseApplication;

class CBaseMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    CBaseMainWindow(CBaseApplication* application, QWidget* parent = nullptr);
    ~CBaseMainWindow() override;

    // Enables (a picture is open) or disables the correction controls.
    virtual void setupControlsState(bool enabled) = 0;
    // Opens the picture file; true when it is open. Reports its own failures.
    virtual bool openFile(const QString& path, const QString& savePath) = 0;
    // Opens a picture already in memory with the window state the host kept.
    virtual bool openImage(NavikImagePtr image, const CWindowState& state) = 0;
    // Opens several pictures at once; true when the start may go on.
    virtual bool openFilesInBatchMode(const QStringList& paths) = 0;

public Q_SLOTS:
    // Opens another picture in the running window (a file-open event).
    virtual bool saveOldAndOpenNewFile(const QString& path) = 0;

protected:
    CBaseApplication* m_application;
};
