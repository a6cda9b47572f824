#pragma once

// Stand-in for the program's main window until the real one (views, modules,
// menus, options dialogs) is built: a plain window that shows the corrected
// preview of the opened picture, with a File menu over the base's document
// flow. It opens and saves through the process engine (saving with the
// engine's defaults, without an options dialog), hands the result back to a
// Photoshop host, follows the engine's verdict on whether the picture
// changed, publishes itself to a test script and starts it when first shown,
// and closes when the script has finished.
//
// It defines no window state of its own: it hands back the state a host
// kept, so nothing the host stored is lost.

#include "correction/ICorrectionModuleInterface.h"
#include "shell/CBaseMainWindow.h"
#include "shell/PixelDataPtr.h"

#include <QPixmap>
#include <QSize>
#include <QMap>
#include <QVariantMap>

#include <memory>

class CBaseGraphicsScene;
class CCropCorrection;
class CBaseGraphicsView;
class CBeforeAfterView;
class CDockWidget;
class CPreviewCorrectionHost;
class CPreviewCorrectionModule;
class CLoupeWidget;
class QAction;
class QMenu;
class QStackedWidget;
class QVBoxLayout;

class CMainWindow : public CBaseMainWindow
{
    Q_OBJECT
public:
    explicit CMainWindow(CBaseApplication* application, QWidget* parent = nullptr);
    ~CMainWindow() override;

    // The "Make Crash" action (Ctrl+Shift+C) in the Help menu, which crashes
    // the program for testing crash capture.
    void addMakeCrashAction();

    int getDockAvailableHeight() override;
    void setExitEnabled(bool enabled) override;
    bool isCropToolInactive() override;
    QList<IViewInterface*> getViews() override;
    bool isHandToolActive() override;
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
    bool doSaveImageToPS() override;
    bool doSaveFile(const QString& path, const QString& extension) override;
    void setPictureChanged(bool changed) override;
    bool isPictureChanged() const override;
    void changeCaption(const QString& caption) override;
    CWindowState doGetWindowState() const override;
    void doSetWindowState(const CWindowState& state) override;
    void saveSettings() override;

    // For test scripts: the window state the host kept.
    Q_INVOKABLE QVariantMap windowState() const;
    // For test scripts: the opened picture has been rendered and undo starts
    // from there.
    Q_INVOKABLE bool isUndoBaselineSet() const;

    // ---- image views: the single view and the before/after pair
    // For test scripts: "single" or "beforeAfter"; the zoom of the views.
    Q_INVOKABLE QString viewMode() const;
    Q_INVOKABLE int viewZoom() const;
    Q_INVOKABLE void setViewZoom(int percent);
    Q_INVOKABLE void fitViews();
    Q_INVOKABLE void setBeforeAfterMode(bool beforeAfter);
    Q_INVOKABLE void setGridOverlayShown(bool shown);
    Q_INVOKABLE bool hasViewImage() const;
    // Test scripts move a correction handle as a user would: the node of
    // that object name goes to (x, y), fractions of its scene's rectangle,
    // and its module takes the move. False when no such handle exists.
    Q_INVOKABLE bool moveCorrectionHandle(const QString& name, double x, double y);

public Q_SLOTS:
    // Test scripts move a handle: a keystoning or horizon handle in the after
    // scene when the name starts with "After", else in the before scene, or
    // else a crop handle of that name; x and y in scene coordinates. False
    // when there is no such handle.
    bool movePoint(QString name, int x, int y);
    // A quarter turn clockwise, recorded as an undo step.
    void onRotateRight();
    void onUndo();
    void onRedo();
    // The crop tool (C): applies the crop when it is the current tool,
    // chooses it otherwise.
    void onCropTool();

Q_SIGNALS:
    // The size label redraws in the units of the moment.
    void updateCropSizeLabelUnits();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private Q_SLOTS:
    // Ends the process with a memory-access fault.
    void onMakeCrash();
    void onStartImageProcessing();
    void onFinishImageProcessing();
    // ---- image views
    void onViewParametersChanged();
    void onViewsProcessingFinished();

private:
    QAction* addFileAction(QMenu* menu, const QString& name, const QString& text, const QKeySequence& shortcut,
                           const char* slot);
    // Runs the engine's open call and waits until the open has finished; true
    // when the picture is open.
    template<typename Open>
    bool openAndWait(Open open);
    void startTestScript();
    // Undo: the objects every step records, the Edit menu's Undo and Redo,
    // the steps of an open and the baseline after its first render.
    void registerUndoForPanels();
    void setupUndo();
    void resetUndoBeforeOpen();
    void recordOpenedImage();
    void recordFirstRender();

    // ---- image views (CMainWindowViews.cpp)
    void createViews();
    void createViewMenu();
    void resetViewsBeforeOpen();
    // The view that flips to the initial image on Ctrl+D: the single view
    // or the after view, whichever page is shown.
    CBeforeAfterView* flippingView() const;
    QList<CBaseGraphicsView*> allViews() const;

    // ---- correction palette (CMainWindowPanels.cpp): a panel frame around
    // a slider row until the correction modules exist.
    void createCorrectionPalette();
    // The horizon module, registered with the host before the keystoning module.
    void registerHorizonModule();
    void addModuleWidgets(const ICorrectionModuleInterfacePtr& module);

    // ---- correction modules (CMainWindowModules.cpp): each registered with
    // the module host in the window's order (horizon, keystoning, crop), its
    // panel frame in the palette and its tool pane in the bar under the views.
    void registerKeystoningModule();

    // ---- crop (CMainWindowCrop.cpp): the crop module and its tool action.
    void registerCropModule();

    CBaseGraphicsScene* m_resultScene = nullptr;
    CBaseGraphicsScene* m_initialScene = nullptr;
    CBeforeAfterView* m_singleView = nullptr;
    CBeforeAfterView* m_afterView = nullptr;
    CBaseGraphicsView* m_beforeView = nullptr;
    QStackedWidget* m_viewPages = nullptr;
    QAction* m_beforeAfterAction = nullptr;
    QAction* m_gridAction = nullptr;
    CDockWidget* m_correctionPalette = nullptr;
    std::shared_ptr<CCropCorrection> m_cropModule;
    std::shared_ptr<CPreviewCorrectionModule> m_previewModule;
    std::unique_ptr<CPreviewCorrectionHost> m_previewHost;
    CLoupeWidget* m_loupe = nullptr;
    bool m_loupeCentred = false;
    QAction* m_saveAction;
    QAction* m_saveAsAction;
    QAction* m_closeAction;
    QAction* m_exitAction;
    bool m_pictureChanged = false;
    CWindowState m_windowState;
    bool m_shownOnce = false;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    // The opened picture has not been rendered yet.
    bool m_firstRenderPending = false;
};
