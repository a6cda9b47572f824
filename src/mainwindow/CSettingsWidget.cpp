#include "mainwindow/CSettingsWidget.h"

#include "correction/FocusController.h"
#include "correction/ICorrectionModuleHost.h"
#include "ui_settingsWidget.h"
#include "view/COutsidePanelWidget.h"

#include <QSpacerItem>
#include <QVBoxLayout>

namespace {

void collectNumbered(QObject* parent, QMap<int, QWidget*>& controls)
{
    for (QObject* child : parent->children()) {
        if (auto* widget = qobject_cast<QWidget*>(child)) {
            const QVariant number = widget->property("settingsFocusNumber");
            if (number.isValid())
                controls.insert(number.toInt(), widget);
        }
        collectNumbered(child, controls);
    }
}

} // namespace

CSettingsWidget::CSettingsWidget(QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
    , m_ui(std::make_unique<Ui::settingsWidget>())
{
    m_ui->setupUi(this);
}

CSettingsWidget::~CSettingsWidget() = default;

void CSettingsWidget::addCorrectionModules(const QList<ICorrectionModuleInterfacePtr>& modules,
                                           ICorrectionModuleHost* host)
{
    for (const ICorrectionModuleInterfacePtr& module : modules) {
        if (!module || !module->isModuleAvailable())
            continue;
        QWidget* panel = module->createPanelWidget(this);
        panel->setProperty("GUID", panel->property("GUID").toString() + module->id());
        connect(panel, SIGNAL(heightIsChanged()), this, SLOT(onChildWidgetHeightIsChanged()));
        connect(module->moduleObject(), SIGNAL(correctionOrModuleStateIsChanged()), panel,
                SLOT(onCorrectionOrModuleStateChanged()));
        if (auto* frame = qobject_cast<COutsidePanelWidget*>(panel))
            frame->setCorrectionModule(module, host);
        m_ui->verticalLayout_2->addWidget(panel);
    }
    m_ui->verticalLayout_2->addItem(new QSpacerItem(20, 800, QSizePolicy::Fixed, QSizePolicy::Expanding));

    const QMap<int, QWidget*> controls = numberedControls();
    QList<QPointer<QObject>> chain;
    for (QWidget* control : controls)
        chain.append(control);
    m_focusController = new FocusController(this, chain);
}

QMap<int, QWidget*> CSettingsWidget::numberedControls() const
{
    QMap<int, QWidget*> controls;
    collectNumbered(const_cast<CSettingsWidget*>(this), controls);
    return controls;
}

void CSettingsWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    for (COutsidePanelWidget* panel : findChildren<COutsidePanelWidget*>())
        panel->setMinimumWidth(width());
}

void CSettingsWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    const QMap<int, QWidget*> controls = numberedControls();
    for (QWidget* control : controls)
        if (control->hasFocus())
            return;
    for (QWidget* control : controls) {
        if (control->isVisible()) {
            control->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void CSettingsWidget::onChildWidgetHeightIsChanged()
{
    int height = 2;
    for (COutsidePanelWidget* panel : findChildren<COutsidePanelWidget*>())
        height += panel->height();
    emit heightIsChanged(height);
}
