#pragma once

// The main window as the rest of the program sees it. CBaseMainWindow owns
// the document flow (questions, file dialogs, remembered folders, the host
// hand-back) and calls these operations in a fixed order; the concrete window
// implements them with its views, actions and the engine calls.
//
// The order of the operations is part of the interface; add new ones at the end.

#include "shell/CWindowState.h"
#include "shell/NavikImagePtr.h"

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QString>
#include <QStringList>

class IViewInterface;

// How a hand-back to the Photoshop host ended.
enum class PhotoshopSaveResult
{
    // The rendered picture and the window state wait with the application for the host.
    HandedBack,
    // The host is gone; the user declined to save to a file, or saved to one.
    NotHandedBack,
    // Nothing was handed back and the edits stay: the user cancelled the
    // file save offered instead, or the picture could not be rendered. The
    // window stays open.
    Cancelled,
};

class IMainWindowInterface : public QMainWindow
{
    Q_OBJECT
public:
    using QMainWindow::QMainWindow;

    // Height in pixels left for a docked palette (the central area less the bars).
    virtual int getDockAvailableHeight() = 0;
    // The Exit action and the window's close button together.
    virtual void setExitEnabled(bool enabled) = 0;
    virtual bool isCropToolInactive() = 0;
    // Single, before and after view, in this order.
    virtual QList<IViewInterface*> getViews() = 0;
    virtual bool isHandToolActive() = 0;
    // The window's own state; the same operations serve its serialisation
    // as a widget (ISerializableUiInterface).
    virtual QByteArray serializeWidgetState() = 0;
    virtual void deserializeWidgetState(const QByteArray& state) = 0;
    virtual QWidget* asWidget() = 0;
    // Enables (a picture is open) or disables the correction controls.
    virtual void setupControlsState(bool pictureOpen) = 0;
    // Applies an enabled state; only CBaseMainWindow::setControlsEnabled calls it.
    virtual void doSetControlsEnabled(bool allControls, bool enabled) = 0;
    // Clears engine, scenes, views and labels before another picture.
    virtual void doResetBeforeOpen() = 0;
    virtual bool doOpenFilesInBatchMode(const QStringList& paths) = 0;
    // Opens the file and returns when the open has finished; true when the
    // picture is open. Reports its own failures to the user.
    virtual bool doOpenFile(const QString& path) = 0;
    // Opens a picture already in memory and applies the window state.
    virtual bool doOpenImage(NavikImagePtr image, const CWindowState& state) = 0;
    // The start page, after a picture was closed.
    virtual void showRecentFilesPage() = 0;
    // Renders the corrected picture and leaves it, with the window state,
    // with the application for the Photoshop host. Reports its own failures
    // to the user.
    virtual PhotoshopSaveResult doSaveImageToPS() = 0;
    // Saves the corrected picture (in standalone mode after its options
    // dialog); true when the file was written.
    virtual bool doSaveFile(const QString& path, const QString& extension) = 0;
    // The window's modified flag.
    virtual void setPictureChanged(bool changed) = 0;
    virtual bool isPictureChanged() const = 0;
    virtual void changeCaption(const QString& caption) = 0;
    virtual CWindowState doGetWindowState() const = 0;
    virtual void doSetWindowState(const CWindowState& state) = 0;
    // Writes the window layout to the settings.
    virtual void saveSettings() = 0;
    // Applies the correction tool in use, as its Apply button does, and
    // closes it; nothing without one. A save asked for while a tool is open
    // then writes the picture the tool leads to, not the uncut canvas it shows.
    virtual void applyCurrentTool() {}
};
