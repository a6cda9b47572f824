// The correction modules of the stand-in main window: registered with the
// module host in the window's order, a panel frame for each in the
// correction palette (sorted by the modules' order), and the current
// correction's tool pane in a bar under the views.

#include "app/stand-ins/CMainWindow.h"

#include "correction/CCorrectionModuleHost.h"
#include "correction/CRectangleNode.h"
#include "view/CBaseGraphicsScene.h"
#include "perspective/CKeystoningCorrection.h"
#include "shell/CBaseApplication.h"
#include "view/COutsidePanelWidget.h"
#include "view/CDockWidget.h"

#include <QHBoxLayout>
#include <QStackedWidget>
#include <QVBoxLayout>

void CMainWindow::registerCorrectionModules()
{
    // Horizon (order 4) first, then keystoning (order 3), then crop (order 5).
    registerKeystoningModule();

    CCorrectionModuleHost* host = CCorrectionModuleHost::instance();
    connect(host, &CCorrectionModuleHost::correctionOrModuleStateIsChanged, this,
            &CMainWindow::onCorrectionOrModuleStateChanged);

    // The tool panes live in a bar under the views.
    m_toolPaneBar = new QWidget(this);
    m_toolPaneBar->setObjectName(QStringLiteral("toolPaneBar"));
    auto* barLayout = new QHBoxLayout(m_toolPaneBar);
    barLayout->setContentsMargins(6, 0, 6, 0);
    barLayout->setSpacing(0);
    for (const ICorrectionModuleInterfacePtr& module : host->correctionModules()) {
        // Each pane alone in its own layout, which the module is given when
        // its tool is shown.
        auto* holder = new QWidget(m_toolPaneBar);
        auto* holderLayout = new QHBoxLayout(holder);
        holderLayout->setContentsMargins(0, 0, 0, 0);
        QWidget* pane = module->createToolPaneWidget(holder);
        if (!pane) {
            delete holder;
            continue;
        }
        holderLayout->addWidget(pane);
        barLayout->addWidget(holder);
        holder->hide();
        m_toolPanes.insert(module->id(), holder);
    }
    m_toolPaneBar->hide();
    QWidget* views = takeCentralWidget();
    auto* central = new QWidget(this);
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    centralLayout->addWidget(views, 1);
    centralLayout->addWidget(m_toolPaneBar);
    setCentralWidget(central);

    addCorrectionModulePanels();
    if (m_beforeAfterAction && m_beforeAfterAction->isChecked())
        host->setSplitedMode();
    else
        host->setSingleMode();
}

void CMainWindow::registerKeystoningModule()
{
    auto* globalData = const_cast<CBaseCorrectionGlobalData*>(m_application->correctionGlobalData());
    CCorrectionModuleHost::instance()->addCorrectionModule(std::make_shared<CKeystoningCorrection>(globalData, 3));
}

void CMainWindow::addCorrectionModulePanels()
{
    CCorrectionModuleHost* host = CCorrectionModuleHost::instance();
    int index = 0;
    for (const ICorrectionModuleInterfacePtr& module : host->correctionModules()) {
        auto* panel = qobject_cast<COutsidePanelWidget*>(module->createPanelWidget(m_paletteLayout->parentWidget()));
        if (!panel)
            continue;
        panel->setProperty("GUID", panel->property("GUID").toString() + module->id());
        connect(host, &CCorrectionModuleHost::correctionOrModuleStateIsChanged, panel,
                &COutsidePanelWidget::onCorrectionOrModuleStateChanged);
        panel->setCorrectionModule(module, host);
        m_paletteLayout->insertWidget(index++, panel);
        connect(panel, &COutsidePanelWidget::heightIsChanged, m_correctionPalette,
                [this] { m_correctionPalette->onWidgetHeightChanged(m_paletteLayout->parentWidget()->sizeHint().height()); });
    }
    m_correctionPalette->onWidgetHeightChanged(m_paletteLayout->parentWidget()->sizeHint().height());
}

void CMainWindow::onCorrectionOrModuleStateChanged()
{
    const QString current = CCorrectionModuleHost::instance()->currentCorrectionName();
    bool shown = false;
    for (auto it = m_toolPanes.cbegin(); it != m_toolPanes.cend(); ++it) {
        const bool isCurrent = it.key() == current;
        if (isCurrent)
            if (const ICorrectionModuleInterfacePtr module = CCorrectionModuleHost::instance()->module(it.key()))
                module->attachToLayout(it.value()->layout());
        it.value()->setVisible(isCurrent);
        shown = shown || isCurrent;
    }
    if (m_toolPaneBar)
        m_toolPaneBar->setVisible(shown);
}

bool CMainWindow::moveCorrectionHandle(const QString& name, double x, double y)
{
    for (QGraphicsScene* scene : {static_cast<QGraphicsScene*>(m_initialScene), static_cast<QGraphicsScene*>(m_resultScene)}) {
        const QList<QGraphicsItem*> items = scene->items();
        for (QGraphicsItem* item : items) {
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
