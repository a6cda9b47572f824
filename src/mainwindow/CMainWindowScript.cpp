// What test scripts reach of the main window: the published objects, the
// view state and the handles.

#include "mainwindow/CMainWindow.h"

#include "correction/CRectangleNode.h"
#include "correction/CUndoController.h"
#include "crop/CropGraphicsItems.h"
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

#include <algorithm>

using namespace NAVIK_tarl1;

void CMainWindow::initScripting()
{
    // Test scripts give the answers of message boxes through this object.
    CMessageBox::initializeScripting();
    const std::shared_ptr<CScripting> scripting = CScripting::getInstance();
    if (!scripting->isScriptingMode())
        return;
    scripting->makeObjectScriptable(QStringLiteral("mainWindow"), this);
    scripting->makeObjectScriptable(QStringLiteral("processEngine"), engine()->getQObject());
    scripting->makeObjectScriptable(QStringLiteral("nativeDialogs"), CNativeDialogs::getInstance().get());
    scripting->makeObjectScriptable(QStringLiteral("undoController"), CUndoController::instance().get());
    connect(scripting.get(), &CScripting::testFinished, this, &QWidget::close);
}

QVariantMap CMainWindow::windowState() const
{
    return m_windowState.values();
}

bool CMainWindow::isUndoBaselineSet() const
{
    return engine()->isPictureLoaded() && !m_firstRenderPending;
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
    return !renderPending && !engine()->isProcessingActive() && !isProgressIndicatorVisible();
}

bool CMainWindow::movePoint(QString name, int x, int y)
{
    QGraphicsScene* scene = name.startsWith(QStringLiteral("After")) ? static_cast<QGraphicsScene*>(m_afterScene)
                                                                       : static_cast<QGraphicsScene*>(m_beforeScene);
    for (QGraphicsItem* item : scene->items()) {
        auto* node = dynamic_cast<CRectangleNode*>(item);
        if (node && node->objectName() == name) {
            node->setPosByScript(QPointF(x, y));
            return true;
        }
    }
    // The crop handles live on the result.
    for (QGraphicsItem* item : m_afterScene->items()) {
        auto* point = dynamic_cast<CCropPoint*>(item);
        if (point && point->objectName() == name) {
            point->setPosByScript(QPointF(x, y));
            return true;
        }
    }
    return false;
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
