#pragma once

// Stand-in for the program's main window until the real one (views, modules,
// menus, saving) is built: a plain window that shows the corrected preview of
// the opened picture. It opens files and host images through the process
// engine, publishes itself to a test script and starts it when first shown,
// and closes when the script has finished.

#include "shell/stand-ins/CBaseMainWindow.h"
#include "shell/PixelDataPtr.h"

#include <QPixmap>
#include <QSize>

class QLabel;

class CMainWindow : public CBaseMainWindow
{
    Q_OBJECT
public:
    explicit CMainWindow(CBaseApplication* application, QWidget* parent = nullptr);
    ~CMainWindow() override;

    void setupControlsState(bool enabled) override;
    bool openFile(const QString& path, const QString& savePath) override;
    bool openImage(NavikImagePtr image, const CWindowState& state) override;
    // Opening several pictures at once is not supported: a notice, and the
    // start goes on with an empty window.
    bool openFilesInBatchMode(const QStringList& paths) override;

    // A hidden action (Ctrl+Alt+Shift+C) that crashes the program, for
    // testing crash capture.
    void addMakeCrashAction();

public Q_SLOTS:
    bool saveOldAndOpenNewFile(const QString& path) override;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private Q_SLOTS:
    void onLoResResultImageProcessed(PixelDataPtr pixels, QSize size);

private:
    bool showOpenedPicture(bool opened, const QString& name);
    void startTestScript();
    void updatePicture();

    QLabel* m_picture;
    QPixmap m_preview;
    bool m_shownOnce = false;
};
