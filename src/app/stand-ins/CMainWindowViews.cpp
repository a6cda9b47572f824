// The image views of the stand-in main window: the result and the initial
// scene, the single view and the before/after pair, fed by the process engine.

#include "app/stand-ins/CMainWindow.h"

#include "engine/IZoomLevelSource.h"
#include "shell/CBaseApplication.h"
#include "shell/IProcessEngine.h"
#include "view/CBaseGraphicsScene.h"
#include "view/CBaseGraphicsView.h"
#include "view/CBeforeAfterView.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>

#include <algorithm>

namespace {

IProcessEngine* viewEngine()
{
    return CBaseApplication::processEngine();
}

// The zoom the engine renders high-resolution requests for, until the views'
// zoom controller registers itself in its place.
class WindowZoom : public IZoomLevelSource
{
public:
    int currentZoom() const override { return percent; }
    int percent = 100;
};

WindowZoom& windowZoom()
{
    static WindowZoom zoom;
    static const bool registered = [] {
        if (!zoomLevelSource())
            registerZoomLevelSource(&zoom);
        return true;
    }();
    Q_UNUSED(registered);
    return zoom;
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

    m_singleView = new CBeforeAfterView(m_viewPages);
    m_singleView->setObjectName(QStringLiteral("singleView"));
    m_singleView->initialize(false, nullptr, this, engine);
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
    m_afterView->initialize(false, nullptr, this, engine);
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
        connect(view, &CBaseGraphicsView::fitToViewZoomIsChanged, this, &CMainWindow::onViewFitChanged);
        connect(view, &CBaseGraphicsView::viewActivityChanged, this, &CMainWindow::onViewFitChanged);
    }
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
    connect(fit, &QAction::triggered, this, &CMainWindow::fitViews);
    QAction* actual = view->addAction(QStringLiteral("&Actual Pixels"));
    actual->setObjectName(QStringLiteral("actionZoom_Default"));
    connect(actual, &QAction::triggered, this, [this] { setViewZoom(100); });
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
    fitViews();
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
    if (m_zoomIsFit)
        fitViews();
    else
        applyZoom(m_zoom);
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
    m_zoomIsFit = true;
    int fit = 100;
    for (CBaseGraphicsView* view : allViews())
        if (view->isViewVisible())
            fit = std::min(fit, view->fitToViewZoom());
    applyZoom(fit);
}

void CMainWindow::setViewZoom(int percent)
{
    m_zoomIsFit = false;
    applyZoom(std::clamp(percent, 1, 200));
}

void CMainWindow::applyZoom(int percent)
{
    m_zoom = percent;
    windowZoom().percent = percent;
    for (CBaseGraphicsView* view : allViews())
        if (view->currentViewZoom() != percent)
            view->setCurrentViewZoom(percent);
    emit updateCropSizeLabelUnits();
}

void CMainWindow::onViewFitChanged()
{
    if (m_zoomIsFit)
        fitViews();
}

void CMainWindow::onViewParametersChanged()
{
    for (CBaseGraphicsView* view : allViews())
        if (view->isViewVisible())
            view->requestVisibleRectProcessing(true);
}

bool CMainWindow::eventFilter(QObject* watched, QEvent* event)
{
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
