#pragma once

// A main window that records which of its operations the base's flows call,
// in order, and answers them as the test sets: every open, save and hand-back
// succeeds unless told otherwise.

#include "shell/CBaseMainWindow.h"

#include <QElapsedTimer>
#include <QStringList>

#include <utility>

class RecordingMainWindow : public CBaseMainWindow
{
public:
    using CBaseMainWindow::CBaseMainWindow;
    using CBaseMainWindow::dragEnterEvent;
    using CBaseMainWindow::dropEvent;

    // The flows' calls, e.g. "doOpenFile /p/a.jpg" or "setPictureChanged false".
    QStringList calls;
    // Paths given to doOpenFile and to the batch open.
    QStringList opened;
    bool openSucceeds = true;
    bool saveSucceeds = true;
    bool handBackSucceeds = true;
    // The hand-back ends without handing back and keeps the window (before handBackSucceeds).
    bool handBackCancelled = false;
    bool pictureChanged = false;
    // A correction tool is open until it is applied.
    bool toolOpen = false;
    CWindowState windowState;
    // Each applied enabled state (all controls, enabled) with the time since `clock` started.
    QList<std::pair<std::pair<bool, bool>, qint64>> controlStates;
    QElapsedTimer clock;

    int getDockAvailableHeight() override { return 0; }
    void setExitEnabled(bool) override {}
    bool isCropToolInactive() override { return true; }
    QList<IViewInterface*> getViews() override { return {}; }
    bool isHandToolActive() override { return false; }
    QByteArray serializeWidgetState() override { return {}; }
    void deserializeWidgetState(const QByteArray&) override {}
    QWidget* asWidget() override { return this; }
    void setupControlsState(bool pictureOpen) override { record("setupControlsState", pictureOpen); }
    void doSetControlsEnabled(bool allControls, bool enabled) override
    {
        controlStates.append({{allControls, enabled}, clock.isValid() ? clock.elapsed() : 0});
    }
    void doResetBeforeOpen() override { record("doResetBeforeOpen"); }
    bool doOpenFilesInBatchMode(const QStringList& paths) override
    {
        opened += paths;
        record("doOpenFilesInBatchMode", paths.join(QLatin1Char(' ')));
        return true;
    }
    bool doOpenFile(const QString& path) override
    {
        opened.append(path);
        record("doOpenFile", path);
        return openSucceeds;
    }
    bool doOpenImage(NavikImagePtr, const CWindowState& state) override
    {
        windowState = state;
        record("doOpenImage");
        return openSucceeds;
    }
    void showRecentFilesPage() override { record("showRecentFilesPage"); }
    PhotoshopSaveResult doSaveImageToPS() override
    {
        record("doSaveImageToPS");
        if (handBackCancelled)
            return PhotoshopSaveResult::Cancelled;
        return handBackSucceeds ? PhotoshopSaveResult::HandedBack : PhotoshopSaveResult::NotHandedBack;
    }
    bool doSaveFile(const QString& path, const QString& extension) override
    {
        record("doSaveFile", path + QStringLiteral(" '") + extension + QLatin1Char('\''));
        return saveSucceeds;
    }
    void setPictureChanged(bool changed) override
    {
        pictureChanged = changed;
        record("setPictureChanged", changed);
    }
    bool isPictureChanged() const override { return pictureChanged; }
    void changeCaption(const QString& caption) override { record("changeCaption", caption); }
    CWindowState doGetWindowState() const override { return windowState; }
    void doSetWindowState(const CWindowState& state) override { windowState = state; }
    void saveSettings() override { record("saveSettings"); }
    void applyCurrentTool() override
    {
        if (!std::exchange(toolOpen, false))
            return;
        record("applyCurrentTool");
    }

private:
    void record(const char* call, const QString& argument = QString())
    {
        calls.append(argument.isEmpty() ? QLatin1String(call) : QLatin1String(call) + QLatin1Char(' ') + argument);
    }
    void record(const char* call, bool argument)
    {
        record(call, argument ? QStringLiteral("true") : QStringLiteral("false"));
    }
};
