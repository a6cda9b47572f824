// The stand-in main window's correction palette: the palette of the
// correction panels, docked on the right or floating where the user left it,
// holding one panel frame around a rotation row.

#include "app/stand-ins/CMainWindow.h"

#include "app/stand-ins/CCorrectionPanelPreview.h"
#include "shell/CBaseApplication.h"
#include "view/COutsidePanelWidget.h"
#include "view/CDockWidget.h"
#include "view/SmallControls.h"

#include <QVBoxLayout>

void CMainWindow::createCorrectionPalette()
{
    m_correctionPalette = new CDockWidget(this);
    m_correctionPalette->setObjectName(QStringLiteral("dockWidgetSettings"));
    m_correctionPalette->setWindowTitle(tr("Correction"));
    m_correctionPalette->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    m_correctionPalette->setAllowedAreas(Qt::RightDockWidgetArea);

    auto* scrollArea = new CScrollArea(m_correctionPalette);
    scrollArea->setObjectName(QStringLiteral("scrollArea_2"));
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setFocusPolicy(Qt::NoFocus);
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea->setWidgetResizable(true);

    auto* column = new QWidget;
    column->setObjectName(QStringLiteral("settingsWidget"));
    auto* layout = new QVBoxLayout(column);
    m_paletteLayout = layout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_previewModule = std::make_shared<CPreviewCorrectionModule>();
    m_previewHost = std::make_unique<CPreviewCorrectionHost>(CBaseApplication::processEngine(), m_previewModule.get());
    auto* panel = new COutsidePanelWidget(column);
    panel->setProperty("GUID", panel->property("GUID").toString() + m_previewModule->id());
    connect(m_previewModule.get(), &CPreviewCorrectionModule::correctionOrModuleStateIsChanged, panel,
            &COutsidePanelWidget::onCorrectionOrModuleStateChanged);
    panel->setCorrectionModule(m_previewModule, m_previewHost.get());
    layout->addWidget(panel);
    layout->addStretch(1);
    scrollArea->setWidget(column);
    m_correctionPalette->setWidget(scrollArea);

    // The palette is as tall as its panels.
    connect(panel, &COutsidePanelWidget::heightIsChanged, m_correctionPalette,
            [this, panel] { m_correctionPalette->onWidgetHeightChanged(panel->sizeHint().height()); });
    addDockWidget(Qt::RightDockWidgetArea, m_correctionPalette);
    m_correctionPalette->setAdjustSizeWidget(this);
    m_correctionPalette->enableSizeAdjusting(true);
    m_correctionPalette->onWidgetHeightChanged(panel->sizeHint().height());
    m_correctionPalette->loadState();
}
