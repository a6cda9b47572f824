// What test scripts reach of the main window: the published objects, the
// view state and the handles.

#include "mainwindow/CMainWindow.h"

#include "correction/CCorrectionModuleHost.h"
#include "correction/CRectangleNode.h"
#include "correction/CUndoController.h"
#include "correction/CustomUndoCommands.h"
#include "crop/CropGraphicsItems.h"
#include "shell/CBaseApplication.h"
#include "shell/CPerformanceLogger.h"
#include "engine/CProcessEngine.h"
#include "shell/IProcessEngine.h"
#include "shell/ProgressIndicatorFlag.h"
#include "ui_MainWindow.h"
#include "utils/CMessageBox.h"
#include "utils/CNativeDialogs.h"
#include "utils/CScripting.h"
#include "view/CBaseGraphicsScene.h"
#include "view/CZoomController.h"

#include <QGraphicsScene>
#include <QJSEngine>

#include <algorithm>

using namespace NAVIK_tarl1;

void CMainWindow::initScripting()
{
    const std::shared_ptr<CScripting> scripting = CScripting::getInstance();
    connect(scripting.get(), &CScripting::testFinished, this, &QWidget::close);
    connect(scripting.get(), &CScripting::createUndoCommandForSlider, this, &CMainWindow::scriptSliderUndoHelper);
    // Test scripts give the answers of message boxes through this object.
    CMessageBox::initializeScripting();

    // Published in every run: until a script runs, the harness only notes
    // the objects.
    scripting->makeObjectScriptable(QStringLiteral("mainWindow"), this);
    scripting->makeObjectScriptable(QStringLiteral("processEngine"), engine()->getQObject());
    scripting->makeObjectScriptable(QStringLiteral("undoController"), CUndoController::instance().get());
    scripting->makeObjectScriptable(QStringLiteral("nativeDialogs"), CNativeDialogs::getInstance().get());
    scripting->makeObjectScriptable(QStringLiteral("performanceLogger"), CPerformanceLogger::instance().get());
    const QList<QWidget*> widgets = findChildren<QWidget*>();
    const auto publishWidgets = [&scripting, &widgets] {
        for (QWidget* widget : widgets)
            scripting->makeObjectScriptable(widget->objectName(), widget);
    };
    publishWidgets();
    for (const ICorrectionModuleInterfacePtr& module : CCorrectionModuleHost::instance()->correctionModules())
        scripting->makeObjectScriptable(module->id(), module->moduleObject());
    // Once more, so that a widget named like a module or one of the objects
    // above is the one a script sees under that name.
    publishWidgets();
}

QVariantMap CMainWindow::windowState() const
{
    return doGetWindowState().values();
}

bool CMainWindow::isUndoBaselineSet() const
{
    return engine()->isPictureLoaded() && m_imageProcessedOnce;
}

QString CMainWindow::viewMode() const
{
    return ui->stackedWidget->currentIndex() == 1 ? QStringLiteral("beforeAfter") : QStringLiteral("single");
}

int CMainWindow::viewZoom() const
{
    const CBeforeAfterView* view = m_currentView ? m_currentView : ui->graphicsViewSingle;
    return view->currentViewZoom();
}

void CMainWindow::setViewZoom(int percent)
{
    CZoomController* zoom = CZoomController::instance();
    zoom->onZoomChanged(std::clamp(percent, zoom->minZoom(), zoom->maxZoom()));
}

void CMainWindow::fitViews()
{
    CZoomController::instance()->onFit();
}

void CMainWindow::setBeforeAfterMode(bool beforeAfter)
{
    if (beforeAfter)
        onViewDouble();
    else
        onViewSingle();
}

void CMainWindow::setGridOverlayShown(bool shown)
{
    if (ui->actionToggleGridOverlay->isChecked() != shown)
        ui->actionToggleGridOverlay->trigger();
}

bool CMainWindow::hasViewImage() const
{
    return m_afterScene->hasLoResImage() && m_beforeScene->hasLoResImage();
}

bool CMainWindow::isIdle() const
{
    // A change asks for a render that starts only after the engine's
    // coalescing delay: until then the window is not idle either.
    const auto* processEngine = dynamic_cast<const CProcessEngine*>(engine());
    const bool renderPending = processEngine && processEngine->isRenderPending();
    return !renderPending && !engine()->isProcessingActive() && !isProgressIndicatorVisible() && m_controlsEnabled;
}

namespace {

// The handle a script names: a keystoning or horizon node in the scene its
// name designates (the after scene for "After..."), else a crop handle,
// which is always on the result.
template <typename Node, typename Crop>
bool findScriptHandle(const QString& name, QGraphicsScene* before, QGraphicsScene* after, Node onNode, Crop onCrop)
{
    QGraphicsScene* first = name.startsWith(QStringLiteral("After")) ? after : before;
    for (QGraphicsItem* item : first->items()) {
        auto* node = dynamic_cast<CRectangleNode*>(item);
        if (node && node->objectName() == name) {
            onNode(node);
            return true;
        }
    }
    for (QGraphicsItem* item : after->items()) {
        auto* point = dynamic_cast<CCropPoint*>(item);
        if (point && point->objectName() == name) {
            onCrop(point);
            return true;
        }
    }
    return false;
}

} // namespace

int CMainWindow::getAppStartupTime()
{
    if (m_shownTime.isNull())
        return 0;
    return m_application->startupTime().msecsTo(m_shownTime);
}

bool CMainWindow::movePoint(QString name, int x, int y)
{
    const QPointF point(x, y);
    return findScriptHandle(
        name, m_beforeScene, m_afterScene, [&point](CRectangleNode* node) { node->setPosByScript(point); },
        [&point](CCropPoint* handle) { handle->moveByDelta(point); });
}

QJSValue CMainWindow::getPointPosition(QString name)
{
    QPointF position;
    const auto take = [&position](QGraphicsItem* item) { position = item->pos(); };
    if (!findScriptHandle(name, m_beforeScene, m_afterScene, take, take))
        return QJSValue();
    QJSValue result = CScripting::getInstance()->engine()->newObject();
    result.setProperty(QStringLiteral("x"), position.x());
    result.setProperty(QStringLiteral("y"), position.y());
    return result;
}

void CMainWindow::scriptSliderUndoHelper(QString key)
{
    CUndoController::instance()->pushUndoCommand(
        new CSliderCustomUndoCommnd(QStringLiteral("Slider value changed from script"), key));
}

bool CMainWindow::moveCorrectionHandle(const QString& name, double x, double y)
{
    for (QGraphicsScene* scene :
         {static_cast<QGraphicsScene*>(m_beforeScene), static_cast<QGraphicsScene*>(m_afterScene)}) {
        for (QGraphicsItem* item : scene->items()) {
            auto* node = dynamic_cast<CRectangleNode*>(item);
            if (!node || node->objectName() != name)
                continue;
            const QRectF rect = scene->sceneRect();
            node->setPosByScript(QPointF(rect.left() + x * rect.width(), rect.top() + y * rect.height()));
            return true;
        }
    }
    // The crop handles live on the result.
    for (QGraphicsItem* item : m_afterScene->items()) {
        auto* point = dynamic_cast<CCropPoint*>(item);
        if (!point || point->objectName() != name)
            continue;
        const QRectF rect = m_afterScene->sceneRect();
        point->setPosByScript(QPointF(rect.left() + x * rect.width(), rect.top() + y * rect.height()));
        return true;
    }
    return false;
}

QJSValue CMainWindow::itemInView(const QString& name)
{
    for (QGraphicsView* view :
         {static_cast<QGraphicsView*>(ui->graphicsViewSingle), static_cast<QGraphicsView*>(ui->graphicsViewDBefore),
          static_cast<QGraphicsView*>(ui->graphicsViewDAfter)}) {
        if (!view->isVisible() || !view->scene())
            continue;
        for (QGraphicsItem* item : view->scene()->items()) {
            // The crop's items are QObjects beside their item class.
            const auto* object = dynamic_cast<const QObject*>(item);
            if (!object || object->objectName() != name || !item->isVisible())
                continue;
            // A handle keeps its size on screen: its position is its centre.
            const QPointF centre = item->flags().testFlag(QGraphicsItem::ItemIgnoresTransformations)
                ? item->scenePos()
                : item->sceneBoundingRect().center();
            const QPoint point = view->viewport()->mapTo(view, view->mapFromScene(centre));
            QJSValue result = CScripting::getInstance()->engine()->newObject();
            result.setProperty(QStringLiteral("view"), view->objectName());
            result.setProperty(QStringLiteral("x"), point.x());
            result.setProperty(QStringLiteral("y"), point.y());
            return result;
        }
    }
    return QJSValue();
}

QString CMainWindow::shownToolPane() const
{
    if (!ui->correctionToolPane->isVisible())
        return QString();
    // A closed tool's pane may wait for its deletion beside the open one's.
    for (const QWidget* pane : ui->correctionToolPane->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (pane->isVisible())
            return pane->objectName();
    return QString();
}
