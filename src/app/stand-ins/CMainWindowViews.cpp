// The image views of the stand-in main window: the result and the initial
// scene, the single view and the before/after pair, fed by the process engine.

#include "app/stand-ins/CMainWindow.h"

#include "correction/CCorrectionModuleHost.h"
#include "shell/CBaseApplication.h"
#include "shell/IProcessEngine.h"
#include "view/CBaseGraphicsScene.h"
#include "view/CBaseGraphicsView.h"
#include "view/CBeforeAfterView.h"
#include "view/CHandTool.h"
#include "view/CLoupeWidget.h"
#include "view/CZoomComboBox.h"
#include "view/CZoomController.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QToolBar>

#include <algorithm>

namespace {

IProcessEngine* viewEngine()
{
    return CBaseApplication::processEngine();
}

} // namespace

void CMainWindow::createViews()
{
    IProcessEngine* engine = viewEngine();
    m_resultScene = new CBaseGraphicsScene(false, this);
    m_initialScene = new CBaseGraphicsScene(true, this);

    m_viewPages = new QStackedWidget(this);
    m_viewPages->setStyleSheet(QStringLiteral("QGraphicsView { background: #3c3c3c; }"));
    m_viewPages->setMinimumSize(320, 240);

    // The views ask the module host which correction is current (a press
    // shows the initial image only outside some corrections).
    CBeforeAfterView::setCorrectionNameQuery(
        [](ICorrectionModuleHost* host) { return host->currentCorrectionName(); });
    m_singleView = new CBeforeAfterView(m_viewPages);
    m_singleView->setObjectName(QStringLiteral("singleView"));
    m_singleView->initialize(false, CCorrectionModuleHost::instance(), this, engine);
    m_singleView->setAndConnectScene(m_resultScene);
    m_singleView->setOtherScene(m_initialScene);
    m_singleView->setHaloMode(2);
    m_viewPages->addWidget(m_singleView);

    auto* pair = new QWidget(m_viewPages);
    auto* layout = new QHBoxLayout(pair);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    m_beforeView = new CBaseGraphicsView(pair);
    m_beforeView->setObjectName(QStringLiteral("beforeView"));
    m_beforeView->initialize(false, this, engine);
    m_beforeView->setAndConnectScene(m_initialScene);
    m_beforeView->setShowsInitialImage(true);
    m_beforeView->setShowBeforeAfterCaption(true);
    m_beforeView->setHaloMode(0);
    m_afterView = new CBeforeAfterView(pair);
    m_afterView->setObjectName(QStringLiteral("afterView"));
    m_afterView->initialize(false, CCorrectionModuleHost::instance(), this, engine);
    m_afterView->setAndConnectScene(m_resultScene);
    m_afterView->setOtherScene(m_initialScene);
    m_afterView->setShowBeforeAfterCaption(true);
    m_afterView->setHaloMode(1);
    layout->addWidget(m_beforeView);
    layout->addWidget(m_afterView);
    m_viewPages->addWidget(pair);
    setCentralWidget(m_viewPages);

    QObject* processEngine = engine->getQObject();
    for (CBaseGraphicsView* view : allViews()) {
        connect(processEngine, SIGNAL(processingStarted()), view, SLOT(onProcessingStarted()));
        connect(processEngine, SIGNAL(processingFinished()), view, SLOT(onProcessingFinished()));
    }

    // One zoom for every view, with its zoom bar.
    CZoomController* zoom = CZoomController::instance();
    zoom->setProcessEngine(engine);
    zoom->addView(m_singleView, CZoomController::PrimaryView);
    zoom->addView(m_beforeView, CZoomController::PrimaryView);
    zoom->addView(m_afterView, CZoomController::SecondaryView);

    // The hand tool: drag the picture, every view following.
    CHandTool* hand = CHandTool::instance();
    hand->setProcessEngine(engine);
    for (CBaseGraphicsView* view : allViews()) {
        hand->addView(view);
        connect(view, &CBaseGraphicsView::moveCentersToPointOfScene, hand, &CHandTool::onMoveCentersToPointOfScene);
    }
    connect(processEngine, SIGNAL(processingFinished()), this, SLOT(onViewsProcessingFinished()));

    // The loupe, in a palette at the right.
    auto* loupeDock = new QDockWidget(QStringLiteral("Loupe"), this);
    loupeDock->setObjectName(QStringLiteral("dockWidgetLoupe"));
    m_loupe = new CLoupeWidget(loupeDock);
    loupeDock->setWidget(m_loupe);
    loupeDock->setMaximumWidth(330);
    addDockWidget(Qt::RightDockWidgetArea, loupeDock);
    m_loupe->setBeforeScene(m_initialScene);
    m_loupe->setAfterScene(m_resultScene);
    for (CBaseGraphicsView* view : allViews())
        m_loupe->connectToView(view);
    connect(processEngine, SIGNAL(loupeResultImageProcessed(PixelDataPtr,QRect)), m_loupe,
            SLOT(onLoupeImageProcessed(PixelDataPtr,QRect)));
    connect(processEngine, SIGNAL(loupeInitialImageProcessed(PixelDataPtr,QRect)), m_loupe,
            SLOT(onLoupeImageProcessed(PixelDataPtr,QRect)));
    connect(m_loupe, SIGNAL(processLoupeRect(bool,QRect)), processEngine, SLOT(processLoupeRect(bool,QRect)));
    connect(hand, SIGNAL(handToolActivated()), m_loupe, SLOT(onEnterHandTool()));
    connect(hand, SIGNAL(handToolDeactivated()), m_loupe, SLOT(onLeaveHandTool()));
    // A changed correction makes the shown views ask for sharp renders again.
    connect(processEngine, SIGNAL(ceParamsChanged()), this, SLOT(onViewParametersChanged()));
    qApp->installEventFilter(this);
}

void CMainWindow::createViewMenu()
{
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    m_beforeAfterAction = view->addAction(QStringLiteral("&Before and After"));
    m_beforeAfterAction->setObjectName(QStringLiteral("actionBeforeAfter"));
    m_beforeAfterAction->setCheckable(true);
    connect(m_beforeAfterAction, &QAction::toggled, this, &CMainWindow::setBeforeAfterMode);
    m_gridAction = view->addAction(QStringLiteral("&Grid Overlay"));
    m_gridAction->setObjectName(QStringLiteral("actionToggleGridOverlay"));
    m_gridAction->setCheckable(true);
    connect(m_gridAction, &QAction::toggled, this, &CMainWindow::setGridOverlayShown);
    view->addSeparator();
    QAction* fit = view->addAction(QStringLiteral("&Fit"));
    fit->setObjectName(QStringLiteral("actionFit"));
    connect(fit, &QAction::triggered, CZoomController::instance(), &CZoomController::onFit);
    QAction* actual = view->addAction(QStringLiteral("&Actual Pixels"));
    actual->setObjectName(QStringLiteral("actionZoom_Default"));
    connect(actual, &QAction::triggered, CZoomController::instance(), &CZoomController::onZoomDefault);
    view->addSeparator();
    QAction* handTool = view->addAction(QStringLiteral("&Hand Tool"));
    handTool->setObjectName(QStringLiteral("actionHandTool"));
    handTool->setCheckable(true);
    QAction* fastPreview = view->addAction(QStringLiteral("Fast &Preview"));
    fastPreview->setObjectName(QStringLiteral("actionFastPreview"));
    fastPreview->setCheckable(true);
    fastPreview->setChecked(true);
    CHandTool::instance()->setActions(handTool, fastPreview);

    // The view tool bar: the mode buttons and the zoom bar.
    QToolBar* bar = addToolBar(QStringLiteral("View"));
    bar->setObjectName(QStringLiteral("viewToolBar"));
    bar->setMovable(false);
    bar->addAction(fastPreview);
    bar->addAction(handTool);
    bar->addAction(m_beforeAfterAction);
    bar->addAction(m_gridAction);
    bar->addSeparator();
    CZoomController* zoom = CZoomController::instance();
    bar->addWidget(zoom->zoomComboWidget());
    bar->addWidget(zoom->zoomSliderWidget());
    CZoomComboBox* combo = zoom->zoomComboBox();
    connect(combo, &CZoomComboBox::handToolAction, handTool, &QAction::trigger);
    connect(combo, &CZoomComboBox::fastPreviewAction, fastPreview, &QAction::trigger);
    connect(combo, &CZoomComboBox::toggleGridOverlayAction, m_gridAction, &QAction::trigger);
}

QList<CBaseGraphicsView*> CMainWindow::allViews() const
{
    return {m_singleView, m_afterView, m_beforeView};
}

CBeforeAfterView* CMainWindow::flippingView() const
{
    return m_viewPages->currentIndex() == 0 ? m_singleView : m_afterView;
}

void CMainWindow::resetViewsBeforeOpen()
{
    m_initialScene->doResetBeforeOpen();
    m_resultScene->doResetBeforeOpen();
    for (CBaseGraphicsView* view : allViews())
        view->doResetBeforeOpen();
    CZoomController::instance()->onFit();
    CZoomController::instance()->resetDoubleClickZoom();
    CHandTool::instance()->setDisabled(true);
    m_loupe->resetBeforeOpen();
    m_loupeCentred = false;
}

void CMainWindow::onViewsProcessingFinished()
{
    if (!m_initialScene->hasLoResImage())
        return;
    CHandTool::instance()->setDisabled(false);
    if (!m_loupeCentred) {
        m_loupeCentred = true;
        m_loupe->showImageCenter();
    }
}

QString CMainWindow::viewMode() const
{
    return m_viewPages->currentIndex() == 0 ? QStringLiteral("single") : QStringLiteral("beforeAfter");
}

int CMainWindow::viewZoom() const
{
    return flippingView()->currentViewZoom();
}

bool CMainWindow::hasViewImage() const
{
    return m_resultScene->hasLoResImage() && m_initialScene->hasLoResImage();
}

void CMainWindow::setBeforeAfterMode(bool beforeAfter)
{
    if (m_beforeAfterAction->isChecked() != beforeAfter) {
        m_beforeAfterAction->setChecked(beforeAfter);
        return;
    }
    m_viewPages->setCurrentIndex(beforeAfter ? 1 : 0);
    // The modules edit their handles on the scene shown: the result alone, or
    // the initial image beside it.
    if (CCorrectionModuleHost::exists()) {
        if (beforeAfter)
            CCorrectionModuleHost::instance()->setSplitedMode();
        else
            CCorrectionModuleHost::instance()->setSingleMode();
    }
    for (CBaseGraphicsView* view : allViews())
        if (view->isViewVisible())
            view->requestVisibleRectProcessing(true);
}

void CMainWindow::setGridOverlayShown(bool shown)
{
    if (m_gridAction->isChecked() != shown) {
        m_gridAction->setChecked(shown);
        return;
    }
    for (CBaseGraphicsView* view : allViews())
        view->showGridOverlay(shown);
}

void CMainWindow::fitViews()
{
    CZoomController::instance()->onFit();
}

void CMainWindow::setViewZoom(int percent)
{
    CZoomController::instance()->onZoomChanged(std::clamp(percent, CZoomController::instance()->minZoom(), 200));
    emit updateCropSizeLabelUnits();
}

void CMainWindow::onViewParametersChanged()
{
    for (CBaseGraphicsView* view : allViews())
        if (view->isViewVisible())
            view->requestVisibleRectProcessing(true);
}

bool CMainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The space bar holds the hand tool while this window is active.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) && isActiveWindow()
        && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space)
        return CHandTool::instance()->onSpacebarEvent(static_cast<QKeyEvent*>(event));
    // Ctrl+D held shows the initial image in the flipping view.
    if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) && isActiveWindow()
        && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat()) {
            if (event->type() == QEvent::KeyPress)
                flippingView()->processKeyPress(key);
            else
                flippingView()->processKeyRelease(key);
        }
    }
    return CBaseMainWindow::eventFilter(watched, event);
}
