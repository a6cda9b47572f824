// The stand-in main window's correction modules: each one is created, given
// to the module host (in the host's order: horizon, keystoning, crop), gets
// its panel frame in the correction palette and its tool pane in the bottom
// bar, shown while the module's tool is the current correction.

#include "app/stand-ins/CMainWindow.h"

#include "correction/CCorrectionModuleHost.h"
#include "correction/CRectangleNode.h"
#include "crop/CropGraphicsItems.h"
#include "perspective/CHorizonCorrection.h"
#include "perspective/CKeystoningCorrection.h"
#include "shell/CBaseApplication.h"
#include "view/CBaseGraphicsScene.h"
#include "view/CDockWidget.h"
#include "view/COutsidePanelWidget.h"

#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QToolBar>
#include <QVBoxLayout>

void CMainWindow::addModuleWidgets(const ICorrectionModuleInterfacePtr& module)
{
    CCorrectionModuleHost* host = CCorrectionModuleHost::instance();
    auto* column = m_correctionPalette ? m_correctionPalette->findChild<QWidget*>(QStringLiteral("settingsWidget"))
                                       : nullptr;
    auto* layout = column ? qobject_cast<QVBoxLayout*>(column->layout()) : nullptr;
    if (layout) {
        // The module's panel replaces a stand-in panel of the same id.
        for (COutsidePanelWidget* standIn : column->findChildren<COutsidePanelWidget*>())
            if (standIn->property("GUID").toString().endsWith(module->id()))
                delete standIn;
        auto* panel = new COutsidePanelWidget(column);
        panel->setProperty("GUID", panel->property("GUID").toString() + module->id());
        connect(module->moduleObject(), SIGNAL(correctionOrModuleStateIsChanged()), panel,
                SLOT(onCorrectionOrModuleStateChanged()));
        panel->setCorrectionModule(module, host);
        // Above the stretch that closes the column.
        layout->insertWidget(layout->count() - 1, panel);
        connect(panel, &COutsidePanelWidget::heightIsChanged, m_correctionPalette,
                [this, column] { m_correctionPalette->onWidgetHeightChanged(column->sizeHint().height()); });
        m_correctionPalette->onWidgetHeightChanged(column->sizeHint().height());
    }

    auto* bar = new QToolBar(this);
    bar->setObjectName(module->id() + QStringLiteral("ToolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    // The pane alone in its layout, where the module finds it to show its tool's icon.
    auto* holder = new QWidget(bar);
    auto* holderLayout = new QHBoxLayout(holder);
    holderLayout->setContentsMargins(0, 0, 0, 0);
    if (QWidget* pane = module->createToolPaneWidget(holder))
        holderLayout->addWidget(pane);
    bar->addWidget(holder);
    addToolBar(Qt::BottomToolBarArea, bar);
    bar->hide();
    const QString id = module->id();
    connect(host, &CCorrectionModuleHost::correctionOrModuleStateIsChanged, bar, [bar, host, id, module, holderLayout] {
        const bool current = host->currentCorrectionName() == id;
        if (current && holderLayout->count() == 1)
            module->attachToLayout(holderLayout);
        bar->setVisible(current);
    });
}

void CMainWindow::registerHorizonModule()
{
    auto* globalData = const_cast<CBaseCorrectionGlobalData*>(m_application->correctionGlobalData());
    const auto module = std::make_shared<CHorizonCorrection>(globalData, 4);
    CCorrectionModuleHost::instance()->addCorrectionModule(module);
    // The window opens on the single view: the module edits the result's line.
    module->setSingleMode();
    addModuleWidgets(module);
}

void CMainWindow::registerKeystoningModule()
{
    auto* globalData = const_cast<CBaseCorrectionGlobalData*>(m_application->correctionGlobalData());
    const auto module = std::make_shared<CKeystoningCorrection>(globalData, 3);
    CCorrectionModuleHost::instance()->addCorrectionModule(module);
    module->setSingleMode();
    addModuleWidgets(module);
}

bool CMainWindow::movePoint(QString name, int x, int y)
{
    QGraphicsScene* scene = name.startsWith(QStringLiteral("After")) ? static_cast<QGraphicsScene*>(m_resultScene)
                                                                       : static_cast<QGraphicsScene*>(m_initialScene);
    if (scene) {
        for (QGraphicsItem* item : scene->items()) {
            auto* node = dynamic_cast<CRectangleNode*>(item);
            if (node && node->objectName() == name) {
                node->setPosByScript(QPointF(x, y));
                return true;
            }
        }
    }
    // The crop handles live on the result.
    if (m_resultScene) {
        for (QGraphicsItem* item : m_resultScene->items()) {
            auto* point = dynamic_cast<CCropPoint*>(item);
            if (point && point->objectName() == name) {
                point->setPosByScript(QPointF(x, y));
                return true;
            }
        }
    }
    return false;
}

bool CMainWindow::moveCorrectionHandle(const QString& name, double x, double y)
{
    for (QGraphicsScene* scene : {static_cast<QGraphicsScene*>(m_initialScene), static_cast<QGraphicsScene*>(m_resultScene)}) {
        if (!scene)
            continue;
        for (QGraphicsItem* item : scene->items()) {
            auto* node = dynamic_cast<CRectangleNode*>(item);
            if (!node || node->objectName() != name)
                continue;
            const QRectF rect = scene->sceneRect();
            node->setPosByScript(QPointF(rect.left() + x * rect.width(), rect.top() + y * rect.height()));
            return true;
        }
    }
    return false;
}
