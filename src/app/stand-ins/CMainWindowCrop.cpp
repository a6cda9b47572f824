// The crop module in the window: made after the other correction modules,
// with the crop tool action (C).

#include "app/stand-ins/CMainWindow.h"

#include "correction/CCorrectionModuleHost.h"
#include "correction/CUndoController.h"
#include "crop/CCropCorrection.h"
#include "shell/CBaseApplication.h"
#include "shell/IProcessEngine.h"

#include <QMenuBar>

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

    // Its settings panel in the palette, its tool pane below the views.
    addModuleWidgets(m_cropModule);
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
