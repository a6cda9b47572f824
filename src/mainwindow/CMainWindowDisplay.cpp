// How the main window presents itself while it runs: the undoable view
// switch, full screen and the re-layout after it, Escape, showing and hiding
// the palettes, a click in an empty view, and the views' notifications.

#include "mainwindow/CMainWindow.h"

#include "correction/CUndoController.h"
#include "shell/CBaseApplication.h"
#include "shell/IProcessEngine.h"
#include "ui_MainWindow.h"
#include "view/CDockWidget.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QShortcut>
#include <QToolButton>

namespace {

void auxSendMouseTrackingEvent(const QObjectList& objects)
{
    for (QObject* object : objects) {
        if (object->isWidgetType()) {
            QEvent event(QEvent::MouseTrackingChange);
            QCoreApplication::sendEvent(object, &event);
        }
        auxSendMouseTrackingEvent(object->children());
    }
}

} // namespace

void CMainWindow::onViewSingleManually()
{
    onViewSingle();
    CUndoController::instance()->createUndoCommand(tr("Switch to Single view"));
}

void CMainWindow::onViewDoubleManually()
{
    onViewDouble();
    CUndoController::instance()->createUndoCommand(tr("Switch to Double view"));
}

bool CMainWindow::isInFullScreen() const
{
    return isFullScreen();
}

void CMainWindow::onChangeScreenMode()
{
    if (isFullScreen()) {
        if (m_wasMaximized) {
            showMaximized();
        } else {
            showNormal();
            if (!m_normalGeometry.isEmpty())
                restoreGeometry(m_normalGeometry);
        }
        onNormalScreenMode();
    } else {
        onFullScreenMode();
        showFullScreen();
    }
    ui->dockWidgetSettings->adjustDockHeight();
    ui->dockWidgetLoupe->move(ui->dockWidgetSettings->x() + ui->dockWidgetSettings->width(),
                              ui->dockWidgetSettings->y());
}

void CMainWindow::onFullScreenMode()
{
    m_normalGeometry = saveGeometry();
    m_wasMaximized = isMaximized();
    if (!m_application->isPluginMode())
        ui->menuBar->hide();
    QMetaObject::invokeMethod(this, "onScreenModeChanged", Qt::QueuedConnection);
}

void CMainWindow::onNormalScreenMode()
{
    if (!m_application->isPluginMode())
        ui->menuBar->show();
    m_normalGeometry.clear();
    QMetaObject::invokeMethod(this, "onScreenModeChanged", Qt::QueuedConnection);
}

void CMainWindow::fullScreenModeEntered()
{
    onFullScreenMode();
}

void CMainWindow::fullScreenModeExited()
{
    onNormalScreenMode();
}

void CMainWindow::onExitFullScreenModeShortcut()
{
    if (isInFullScreen())
        onChangeScreenMode();
}

void CMainWindow::onScreenModeChanged()
{
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(ui->toolBar, &leave);
    QEvent resize(QEvent::Resize);
    QCoreApplication::sendEvent(ui->toolBar, &resize);
    QCoreApplication::processEvents();
    updateFullScreenActionText();
    auxSendMouseTrackingEvent(ui->toolBar->children());
}

void CMainWindow::updateFullScreenActionText()
{
    QString text;
    if (isInFullScreen()) {
        if (m_fullScreenButton)
            m_fullScreenButton->setIcon(m_minimizeIcon);
        text = QStringLiteral("&") + tr("Standard Display");
        m_exitFullScreenShortcut->setEnabled(true);
    } else {
        if (m_fullScreenButton)
            m_fullScreenButton->setIcon(m_fullScreenIcon);
        text = QStringLiteral("&") + tr("Full Screen");
        m_exitFullScreenShortcut->setEnabled(false);
    }
    ui->actionFull_Screen->setText(text + QStringLiteral("     "));
    if (m_fullScreenButton)
        m_fullScreenButton->setToolTip(ui->actionFull_Screen->toolTip() + QStringLiteral(" (")
                                       + ui->actionFull_Screen->shortcut().toString(QKeySequence::PortableText)
                                       + QLatin1Char(')'));
}

void CMainWindow::onShowOrHideDockWidget()
{
    const QList<CDockWidget*> docks = getAllDocks();
    bool anyHidden = false;
    for (CDockWidget* dock : docks)
        anyHidden = anyHidden || !dock->isVisibleTo(this);
    for (CDockWidget* dock : docks)
        dock->setVisible(anyHidden);
    adjustShowOrHideSettingsButtonAndActionsState();
}

void CMainWindow::onDockTopLevelChanged()
{
    const QList<QWidget*> docked = getNonFloatingDocks();
    if (docked.isEmpty()) {
        ui->settingsWidgetWithButton->hide();
    } else {
        ui->settingsWidgetWithButton->show();
        for (QWidget* dock : docked)
            dock->show();
    }
    adjustShowOrHideSettingsButtonAndActionsState();
}

void CMainWindow::onAfterSceneRectChanged(const QRectF& rect)
{
    m_resultImageSize = QSize(qRound(rect.width()), qRound(rect.height()));
    updateImageSizeLabels();
}

void CMainWindow::onAfterViewIsSwithedToOtherScene()
{
    m_afterViewShowsOtherScene = true;
    updateImageSizeLabels();
}

void CMainWindow::onAfterViewIsSwithedToThisScene()
{
    m_afterViewShowsOtherScene = false;
    updateImageSizeLabels();
}

void CMainWindow::onMousePressInView(QMouseEvent* event, IViewInterface*)
{
    m_mousePressedInView = true;
    IProcessEngine* processEngine = engine();
    if (processEngine && !processEngine->isPictureLoaded() && m_application->getMode() == CBaseApplication::StandaloneMode
        && event->button() == Qt::LeftButton) {
        event->accept();
        saveOldAndOpenNewFile(QString());
        m_mousePressedInView = false;
    }
}

void CMainWindow::onMouseReleaseInView(QMouseEvent*, IViewInterface*)
{
    m_mousePressedInView = false;
}

void CMainWindow::onCEParamsChanged()
{
    CBaseGraphicsView* view = m_currentView == ui->graphicsViewSingle ? static_cast<CBaseGraphicsView*>(ui->graphicsViewSingle)
                                                                      : ui->graphicsViewDAfter;
    view->requestVisibleRectProcessing(true);
    // The other shown view (the before view of the pair follows a rotation).
    for (IViewInterface* other : m_views)
        if (other != view)
            static_cast<CBaseGraphicsView*>(other)->requestVisibleRectProcessing(false);
}
