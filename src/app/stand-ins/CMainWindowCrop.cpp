// The crop module in the window: made after the other correction modules,
// the crop tool action (C) and the area below the views that shows the
// current tool's pane.

#include "app/stand-ins/CMainWindow.h"

#include "correction/CCorrectionModuleHost.h"
#include "correction/CUndoController.h"
#include "crop/CCropCorrection.h"
#include "crop/CropGraphicsItems.h"
#include "view/CBaseGraphicsScene.h"
#include "shell/CBaseApplication.h"
#include "shell/IProcessEngine.h"

#include <QDockWidget>
#include <QLayout>
#include <QMenuBar>
#include <QVBoxLayout>

void CMainWindow::registerCropModule()
{
    CCorrectionModuleHost* host = CCorrectionModuleHost::instance();
    m_cropModule = std::make_shared<CCropCorrection>(5);
    connect(this, &CMainWindow::updateCropSizeLabelUnits, m_cropModule.get(),
            &CCropCorrection::onUpdateCropSizeLabelUnits);
    host->addCorrectionModule(m_cropModule);

    QMenu* tools = menuBar()->addMenu(tr("&Tools"));
    QAction* crop = tools->addAction(tr("Crop"));
    crop->setObjectName(QStringLiteral("actionCrop"));
    crop->setShortcut(QKeySequence(Qt::Key_C));
    addAction(crop);
    connect(crop, &QAction::triggered, this, &CMainWindow::onCropTool);

    // The current tool's pane, below the views.
    auto* dock = new QDockWidget(this);
    dock->setObjectName(QStringLiteral("toolPaneArea"));
    dock->setTitleBarWidget(new QWidget(dock));
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    m_toolPaneArea = new QWidget(dock);
    auto* layout = new QVBoxLayout(m_toolPaneArea);
    layout->setContentsMargins(0, 0, 0, 0);
    dock->setWidget(m_toolPaneArea);
    addDockWidget(Qt::BottomDockWidgetArea, dock);
    dock->hide();
    connect(host, &CCorrectionModuleHost::correctionOrModuleStateIsChanged, this, &CMainWindow::updateToolPaneArea);
}

void CMainWindow::updateToolPaneArea()
{
    CCorrectionModuleHost* host = CCorrectionModuleHost::instance();
    QWidget* dock = m_toolPaneArea->parentWidget();
    QLayout* layout = m_toolPaneArea->layout();
    const QString current = host->currentCorrectionName();
    const ICorrectionModuleInterfacePtr module = host->currentCorrectionModule();
    if (!module) {
        while (QLayoutItem* item = layout->takeAt(0)) {
            delete item->widget();
            delete item;
        }
        m_toolPaneModule.clear();
        dock->hide();
        return;
    }
    if (current == m_toolPaneModule) {
        module->attachToLayout(layout);
        return;
    }
    while (QLayoutItem* item = layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_toolPaneModule = current;
    if (QWidget* pane = module->createToolPaneWidget(this)) {
        pane->setParent(m_toolPaneArea);
        layout->addWidget(pane);
    }
    dock->show();
}

void CMainWindow::onCropTool()
{
    IProcessEngine* processEngine = CBaseApplication::processEngine();
    if (!processEngine || !processEngine->isPictureLoaded())
        return;
    CCorrectionModuleHost* host = CCorrectionModuleHost::instance();
    const bool cropCurrent = host->currentCorrectionName() == QLatin1String("Crop");
    host->processModuleAction(QStringLiteral("Crop"),
                              cropCurrent ? QStringLiteral("CorrectionApplyed")
                                          : QStringLiteral("SpecificCorrectionActivated"),
                              QString());
    CUndoController::instance()->createUndoCommand(QStringLiteral("Activate crop tool"));
}

bool CMainWindow::movePoint(const QString& name, int x, int y)
{
    if (!m_resultScene)
        return false;
    for (QGraphicsItem* item : m_resultScene->items()) {
        auto* point = dynamic_cast<CCropPoint*>(item);
        if (point && point->objectName() == name) {
            point->setPosByScript(QPointF(x, y));
            return true;
        }
    }
    return false;
}
