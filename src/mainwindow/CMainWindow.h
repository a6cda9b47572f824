#pragma once

// The program's one top-level window: the single view and the before/after
// pair over the two scenes, the start page, the tool bar with the zoom
// controls, the "Correction" palette with the modules' panels and the
// "Visualization" palette with the loupe, the bottom bar of the host modes,
// and the menus and shortcuts. The application object creates it once.
//
// The class is split by concern:
//   CMainWindow.cpp          construction and wiring, view switching, the
//                            window's own undo state
//   CMainWindowActions.cpp   actions, menus, shortcuts
//   CMainWindowSettings.cpp  layout settings, palettes, first show, the
//                            application-wide event filter
//   CMainWindowDisplay.cpp   full screen, showing and hiding the palettes,
//                            the views' notifications
//   CMainWindowWorkflow.cpp  open, save, the host hand-back
//   CMainWindowCommands.cpp  tool state, window commands
//   CMainWindowPreferences.cpp  the preferences dialog and its aftermath
//   CMainWindowScript.cpp    what test scripts reach
//   CMainWindowStyle.cpp     style sheet reloading, pane clearing

#include "correction/ICorrectionModuleInterface.h"
#include "shell/CBaseMainWindow.h"
#include "utils/MacOSNativeGlue.h"

#include <QIcon>
#include <QJSValue>
#include <QTime>
#include <QVariantMap>

#include <memory>

class CBaseGraphicsScene;
class CBeforeAfterView;
class CCropCorrection;
class CRecentFiles;
class CDockWidget;
class IProcessEngine;
class QMouseEvent;
class QShortcut;
class QToolButton;

namespace Ui {
class MainWindow;
}

class CMainWindow : public CBaseMainWindow, public CWindowFullScreenModeSwitchHandler_Abstract
{
    Q_OBJECT
    Q_INTERFACES(ISerializableUiInterface ISerializableInterface)
public:
    explicit CMainWindow(CBaseApplication* app, QWidget* parent = nullptr);
    ~CMainWindow() override;

    // IMainWindowInterface
    int getDockAvailableHeight() override;
    void setExitEnabled(bool enabled) override;
    bool isCropToolInactive() override;
    // Single, after, before.
    QList<IViewInterface*> getViews() override;
    bool isHandToolActive() override;
    // The window's own undo state: the page shown and the focused control.
    QByteArray serializeWidgetState() override;
    void deserializeWidgetState(const QByteArray& state) override;
    QWidget* asWidget() override;
    void setupControlsState(bool pictureOpen) override;
    void doSetControlsEnabled(bool allControls, bool enabled) override;
    void doResetBeforeOpen() override;
    // Opening several pictures at once is not supported: a notice, and the
    // start goes on with an empty window.
    bool doOpenFilesInBatchMode(const QStringList& paths) override;
    bool doOpenFile(const QString& path) override;
    bool doOpenImage(NavikImagePtr image, const CWindowState& state) override;
    void showRecentFilesPage() override;
    PhotoshopSaveResult doSaveImageToPS() override;
    bool doSaveFile(const QString& path, const QString& extension) override;
    void setPictureChanged(bool changed) override;
    bool isPictureChanged() const override;
    void changeCaption(const QString& caption) override;
    // The window keeps no state for the host: an empty state out, and a
    // restored one is ignored.
    CWindowState doGetWindowState() const override;
    void doSetWindowState(const CWindowState& state) override;
    void saveSettings() override;
    void applyCurrentTool() override;

    // ISerializableInterface: "MainWindow"; a restore lays the palette's
    // scroll area out again when its scroll bar came back.
    QString id() const override;
    void deserialize(const QByteArray& data, bool flag) override;

    // CWindowFullScreenModeSwitchHandler_Abstract
    void fullScreenModeEntered() override;
    void fullScreenModeExited() override;

    // The "Make Crash" action in the Help menu, before About.
    void addMakeCrashAction();
    // True while the single view is shown.
    bool isSingleMode() const;
    // Re-applies the view background from the settings.
    void setBackgroundColor(int);

    // ---- for test scripts (CMainWindowScript.cpp)
    Q_INVOKABLE QVariantMap windowState() const;
    // The opened picture has been rendered and undo starts from there.
    Q_INVOKABLE bool isUndoBaselineSet() const;
    // "single" or "beforeAfter"; the zoom of the views.
    Q_INVOKABLE QString viewMode() const;
    Q_INVOKABLE int viewZoom() const;
    Q_INVOKABLE void setViewZoom(int percent);
    Q_INVOKABLE void fitViews();
    Q_INVOKABLE void setBeforeAfterMode(bool beforeAfter);
    Q_INVOKABLE void setGridOverlayShown(bool shown);
    Q_INVOKABLE bool hasViewImage() const;
    // No rendering runs or waits to start, no view shows its processing
    // notice and the window's controls take input again: the window takes a
    // save and the user's next command.
    Q_INVOKABLE bool isIdle() const;
    // A save to a file is waiting for the engine; the window refuses the
    // user's input meanwhile.
    Q_INVOKABLE bool isSaveRunning() const;
    // Moves the keystoning, horizon or crop handle of that object name to
    // (x, y), fractions of its scene's rectangle, as a user would; false when
    // there is none.
    Q_INVOKABLE bool moveCorrectionHandle(const QString& name, double x, double y);
    // Where a user takes hold of the shown scene item of that object name (a
    // handle, the crop rectangle): {view, x, y}, the view's object name and
    // the item's centre in that view's coordinates, for the harness's mouse
    // commands; undefined when no shown view shows it.
    Q_INVOKABLE QJSValue itemInView(const QString& name);
    // The object name of the tool pane the bottom bar shows (the open tool's),
    // or an empty text when no tool is open.
    Q_INVOKABLE QString shownToolPane() const;

public Q_SLOTS:
    // The slots test scripts reach (CMainWindowScript.cpp, the commands in
    // CMainWindowCommands.cpp), in this order.
    void onViewSingle();
    void onViewDouble();
    void onRotateLeft();
    void onRotateRight();
    // Milliseconds from the application's start to the window's first show;
    // 0 before it.
    int getAppStartupTime();
    // A keystoning or horizon handle (in the after scene when the name
    // starts with "After", else in the before scene) goes to (x, y); failing
    // that, a crop handle of that name is moved by (x, y). False when no
    // handle has the name.
    bool movePoint(QString name, int x, int y);
    // {x, y} of that handle in its parent's coordinates, found as movePoint
    // finds it; undefined when there is none.
    QJSValue getPointPosition(QString name);
    // One undo step for a slider a script moved; a burst of moves of one
    // slider merges into it.
    void scriptSliderUndoHelper(QString key);
    void onResetAll();
    // Recalls the state kept in the snapshot file; nothing without a picture.
    void onRestoreSnapshot();
    // Keeps the whole correction state in the snapshot file, replacing the
    // previous one only once the new one is written whole.
    void onTakeSnapshot();

    void onUndo();
    void onRedo();
    // Applies the crop when it is the current tool, chooses it otherwise.
    void onCropTool();
    void onCorrectionOrModuleStateIsChanged();
    // Shows or hides both palettes together.
    void onShowOrHideDockWidget();
    // Every docked palette toggles its visibility.
    void onPinUnpinDockWidget();

Q_SIGNALS:
    void keyPressedSignal(QKeyEvent* event);
    void keyReleasedSignal(QKeyEvent* event);
    void resizeSignal();
    void toolStateIsChanged(bool active);
    void updateCropSizeLabelUnits();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    void onShowImageSizePropertyIsChanged();
    void onStartImageProcessing();
    void onImageProcessingError(int error);
    void onFinishImageProcessing();
    void onInitialImageSizeChanged(const QSize& size);
    void onMakeCrash();
    // The preferences dialog; afterwards the background, the grid overlay
    // and the size labels follow the settings again.
    void onPreferences();
    // One about box at a time.
    void on_actionAbout_triggered();
    void onOnlineUserGuide();
    void onGettingStarted();
    void onVisitWebSite();
    void onToggleGridOverlay();
    void onRecentFileClick(QString path);
    void onViewSingleManually();
    void onViewDoubleManually();
    void onChangeScreenMode();
    void onExitFullScreenModeShortcut();
    void onFullScreenMode();
    void onNormalScreenMode();
    void onScreenModeChanged();
    void onDockTopLevelChanged();
    void onAfterSceneRectChanged(const QRectF& rect);
    void onAfterViewIsSwithedToOtherScene();
    void onAfterViewIsSwithedToThisScene();
    void onMousePressInView(QMouseEvent* event, IViewInterface* view);
    void onMouseReleaseInView(QMouseEvent* event, IViewInterface* view);
    void onCEParamsChanged();
    void onUpdate_qss();

private:
    // ---- construction (CMainWindow.cpp)
    void initResetAllButton();
    void initFullScreenButton();
    void loadViewBackground();
    void initGraphicsViews();
    void initLoupe();
    void initRecentFiles();
    void initViewToolBar();
    void initDocks();
    void initScripting();
    void showRecentFilesPageInternal();
    void updateImageSizeLabels();
    void layOutSizeStrip(QWidget* container, QWidget* view, QWidget* strip, bool showStrip);

    // ---- actions (CMainWindowActions.cpp)
    void setupActions();

    // ---- settings and palettes (CMainWindowSettings.cpp)
    void loadSettings();
    QList<CDockWidget*> getAllDocks() const;
    QList<QWidget*> getNonFloatingDocks() const;
    QList<QWidget*> getVisibleDocks() const;
    void setupDockWidgetsWidth();
    void adjustShowOrHideSettingsButtonAndActionsState();
    void setupAppModeUI();
    bool hasFullScreenButton() const;
    void adjustFullScreenButtonPos();
    // The window fits the screen it is shown on.
    void fitToScreen();

    // ---- display modes (CMainWindowDisplay.cpp)
    bool isInFullScreen() const;
    void updateFullScreenActionText();

    // ---- workflow (CMainWindowWorkflow.cpp)
    template<typename Open>
    bool openAndWait(Open open);
    bool doImageRotation(bool clockwise);
    // After an open: the sizes known so far and the first renders asked for.
    void takeOpenedImageSize();
    void requestFirstRenders();
    // The first render with the before image: the panels and the hand tool
    // take input, undo starts from here, the loupe shows the centre.
    void onFirstImageProcessed();
    // Says that the file at `path` was not saved, with its cause under the
    // notice, and logs the image framework's `reason`.
    void warnNotSaved(const QString& path, FileFailure failure, const QString& reason);

    IProcessEngine* engine() const;

    std::unique_ptr<Ui::MainWindow> ui;

    bool m_pictureChanged = false;
    QString m_currentCorrectionName;
    QList<IViewInterface*> m_views;
    CBaseGraphicsScene* m_beforeScene = nullptr;
    CBaseGraphicsScene* m_afterScene = nullptr;
    QSize m_initialImageSize = QSize(-1, -1);
    QSize m_resultImageSize = QSize(-1, -1);
    bool m_afterViewShowsOtherScene = false;
    CBeforeAfterView* m_currentView = nullptr;
    QToolButton* m_fullScreenButton = nullptr;
    QIcon m_minimizeIcon;
    QIcon m_fullScreenIcon;
    bool m_firstShow = true;
    bool m_toolActive = false;
    bool m_mousePressedInView = false;
    // A render has finished with the before image since the last reset.
    bool m_imageProcessedOnce = false;
    // The notice that the picture could not be opened was given for it.
    bool m_openErrorShown = false;
    // A rendering error's message is open: errors arriving meanwhile show nothing.
    bool m_processingErrorShown = false;
    QByteArray m_normalGeometry;
    bool m_wasMaximized = false;
    int m_handToolState = 2;
    bool m_spaceHandToolActive = false;
    QTime m_shownTime;
    QShortcut* m_exitFullScreenShortcut = nullptr;
    CRecentFiles* m_recentFiles = nullptr;

    std::shared_ptr<CCropCorrection> m_cropModule;
    bool m_saveRunning = false;
    // The last enabled state applied to the controls.
    bool m_controlsEnabled = true;
};
