#include "correction/stand-ins/COutsidePanelWidget.h"

#include "correction/CUndoController.h"

#include <QLabel>
#include <QVBoxLayout>

COutsidePanelWidget::COutsidePanelWidget(QWidget* parent, Qt::WindowFlags flags)
    : QFrame(parent, flags)
    , m_title(new QLabel(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    connect(this, SIGNAL(onCreateUndoCommand(QString)), CUndoController::instance().get(),
            SLOT(createUndoCommand(QString)));
}

void COutsidePanelWidget::setCorrectionModule(ICorrectionModuleInterfacePtr module, ICorrectionModuleHost*)
{
    m_module = module;
    if (!module)
        return;
    setObjectName(module->id() + QStringLiteral("Pane"));
    m_title->setText(module->moduleDisplayName());
    QWidget* settings = module->createSettingsWidget(this);
    if (!settings)
        return;
    layout()->addWidget(settings);
    connect(module->moduleObject(), SIGNAL(resetForNewImageSignal()), settings, SLOT(onResetForNewImage()));
}
