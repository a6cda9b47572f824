// The main window's actions: shortcuts, tool tips, initial states and the
// connections to the window's slots. The form creates them, names them and
// places them in the menus and the tool bar.

#include "mainwindow/CMainWindow.h"

#include "correction/CUndoController.h"
#include "ui_MainWindow.h"
#include "utils/Utilities.h"

#include <QShortcut>
#include <QUndoStack>

using namespace NAVIK_tarl1;

namespace {

QString withShortcut(const QString& toolTip, const QKeySequence& shortcut)
{
    return toolTip + QStringLiteral(" (") + shortcut.toString(QKeySequence::NativeText) + QLatin1Char(')');
}

} // namespace

void CMainWindow::setupActions()
{
    ui->action_Preferences->setShortcut(QKeySequence(QStringLiteral("Ctrl+,")));
    ui->actionFit->setShortcut(QKeySequence(QStringLiteral("Ctrl+0")));
    ui->actionZoom_Default->setShortcut(QKeySequence(QStringLiteral("Ctrl+1")));
    ui->actionOnline_User_Guide->setShortcut(QKeySequence(QStringLiteral("Ctrl+/")));
    ui->actionUndo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
    ui->actionRedo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+Y")));
    ui->actionFull_Screen->setShortcut(QKeySequence(Qt::META | Qt::CTRL | Qt::Key_F));

    auto* guide = new QShortcut(QKeySequence(QStringLiteral("Ctrl+?")), this);
    guide->setObjectName(QStringLiteral("userGuideShortcut"));
    guide->setContext(Qt::WindowShortcut);
    connect(guide, &QShortcut::activated, ui->actionOnline_User_Guide, &QAction::trigger);
    ui->action_Exit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    m_exitFullScreenShortcut = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_exitFullScreenShortcut->setObjectName(QStringLiteral("exitFullScreenShortcut"));
    m_exitFullScreenShortcut->setContext(Qt::WindowShortcut);
    connect(m_exitFullScreenShortcut, &QShortcut::activated, this, &CMainWindow::onExitFullScreenModeShortcut);
    // Escape belongs to the window only while it is in full screen; until
    // then it reaches the focused control as usual.
    m_exitFullScreenShortcut->setEnabled(false);

    ui->actionToolBarOpen->setToolTip(withShortcut(ui->action_Open->toolTip(), ui->action_Open->shortcut()));
    ui->actionToolBarSaveAs->setToolTip(withShortcut(ui->actionSave_As->toolTip(), ui->actionSave_As->shortcut()));

    ui->action_Exit->setText(tr("&Exit"));
    ui->actionAbout->setText(tr("&About"));
    ui->action_Preferences->setText(tr("&Preferences"));

    for (QAction* action : {ui->actionFit, ui->actionZoom_Default, ui->actionFastPreview, ui->actionHandTool,
                            ui->actionGridOverlay, ui->actionRotate_Left, ui->actionRotate_Right})
        appendShortcutToActionToolTip(*action);
    ui->actionToggleGridOverlay->setToolTip(ui->actionGridOverlay->toolTip());
    appendShortcutToActionToolTip(*ui->actionCrop);
    ui->actionViewSingle->setToolTip(
        ui->actionViewSingle->toolTip() + QStringLiteral(" (")
        + tr("Press \"%1\" to toggle").arg(QKeySequence(QStringLiteral("Ctrl+D")).toString(QKeySequence::NativeText))
        + QLatin1Char(')'));

    ui->actionViewSingle->setVisible(false);
    ui->actionViewDouble->setVisible(false);
    ui->action_Save->setEnabled(false);
    ui->saveButton->setEnabled(false);
    ui->action_Close->setEnabled(false);
    ui->actionTake_Snapshot->setVisible(false);
    ui->actionRestore_Snapshot->setVisible(false);
    ui->actionTake_Snapshot->setEnabled(false);
    ui->actionRestore_Snapshot->setEnabled(false);

    // On the window itself, so that the shortcuts work without the menu bar.
    addActions(ui->menuBar->actions());
    addAction(ui->actionCrop);
    addAction(ui->actionUndo);

    QUndoStack* stack = CUndoController::instance()->undoStack();
    connect(stack, &QUndoStack::canUndoChanged, ui->actionUndo, &QAction::setEnabled);
    ui->actionUndo->setEnabled(false);
    addAction(ui->actionRedo);
    connect(stack, &QUndoStack::canRedoChanged, ui->actionRedo, &QAction::setEnabled);
    ui->actionRedo->setEnabled(false);
    ui->actionGetting_started->setVisible(false);

    connect(ui->action_Save, SIGNAL(triggered()), this, SLOT(saveOpenedFile()));
    connect(ui->actionSave_As, SIGNAL(triggered()), this, SLOT(saveOpenedFileAs()));
    connect(ui->action_Close, SIGNAL(triggered()), this, SLOT(closeOpenedFile()));
    connect(ui->actionToolBarSaveAs, &QAction::triggered, ui->actionSave_As, &QAction::trigger);
    connect(ui->action_Open, SIGNAL(triggered()), this, SLOT(saveOldAndOpenNewFile()));
    connect(ui->actionToolBarOpen, &QAction::triggered, ui->action_Open, &QAction::trigger);
    connect(ui->action_Exit, SIGNAL(triggered()), this, SLOT(closeApp()));
    connect(ui->actionFull_Screen, &QAction::triggered, this, &CMainWindow::onChangeScreenMode);
    connect(ui->actionHide_Controls, &QAction::triggered, this, &CMainWindow::onShowOrHideDockWidget);

    connect(ui->pushButtonHelp, &QPushButton::clicked, ui->actionOnline_User_Guide, &QAction::trigger);
    connect(ui->pushButtonPreferences, &QPushButton::clicked, ui->action_Preferences, &QAction::trigger);
    connect(ui->cancelButton, &QPushButton::clicked, ui->action_Exit, &QAction::trigger);
    connect(ui->saveButton, &QPushButton::clicked, ui->action_Save, &QAction::trigger);

    connect(ui->actionToggleGridOverlay, &QAction::triggered, this, &CMainWindow::onToggleGridOverlay);
    connect(ui->actionUndo, &QAction::triggered, this, &CMainWindow::onUndo);
    connect(ui->actionRedo, &QAction::triggered, this, &CMainWindow::onRedo);
    connect(ui->actionCrop, &QAction::triggered, this, &CMainWindow::onCropTool);
    connect(ui->action_Preferences, &QAction::triggered, this, &CMainWindow::onPreferences);
    connect(ui->actionOnline_User_Guide, &QAction::triggered, this, &CMainWindow::onOnlineUserGuide);
    connect(ui->actionGetting_started, &QAction::triggered, this, &CMainWindow::onGettingStarted);
    connect(ui->actionVisit_web_site, &QAction::triggered, this, &CMainWindow::onVisitWebSite);
    connect(ui->actionTake_Snapshot, &QAction::triggered, this, &CMainWindow::onTakeSnapshot);
    connect(ui->actionRestore_Snapshot, &QAction::triggered, this, &CMainWindow::onRestoreSnapshot);
}

void CMainWindow::addMakeCrashAction()
{
    ui->actionMake_Crash->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    connect(ui->actionMake_Crash, &QAction::triggered, this, &CMainWindow::onMakeCrash);
    addAction(ui->actionMake_Crash);
    ui->menu_Help->insertAction(ui->actionAbout, ui->actionMake_Crash);
    ui->menu_Help->insertSeparator(ui->actionAbout);
}

// A real memory-access fault, for the crash capture to catch; the sanitizers'
// own check of the null write is left out so the signal is the real one.
__attribute__((no_sanitize("undefined"))) void CMainWindow::onMakeCrash()
{
    // A volatile pointer: the compiler cannot see the null and drop the write.
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}
