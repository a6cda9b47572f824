#include "app/stand-ins/CCorrectionPanelPreview.h"

#include "view/CSlider.h"

#include <QVBoxLayout>

CPreviewSettingsWidget::CPreviewSettingsWidget(QWidget* parent)
    : QWidget(parent)
{
    setProperty("ShowHideController", false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 6);
    m_rotation = new CSlider(this);
    m_rotation->setObjectName(QStringLiteral("angleSlider"));
    m_rotation->setProperty("RegExp",
                            QStringLiteral("^((\\-?90((\\.|\\,)0)?)|(\\-?[0-8]?[0-9]?((\\.|\\,)[0-9])?))$"));
    m_rotation->setProperty("FocusOrder", QStringLiteral("24,25"));
    m_rotation->initialize({tr("Rotation"), -900, 900, 0, 1, true, 1.0});
    m_rotation->setParameterName(QStringLiteral("Rotation"));
    layout->addWidget(m_rotation);
}

void CPreviewSettingsWidget::resetRows()
{
    m_rotation->resetToDefault();
}

void CPreviewSettingsWidget::onShowAdditionalOptions(bool) {}
void CPreviewSettingsWidget::onToolWasActivated(bool) {}
void CPreviewSettingsWidget::onAdditionalHeaderButtonClicked() {}

void CPreviewSettingsWidget::onResetForNewImage()
{
    resetRows();
}

QWidget* CPreviewCorrectionModule::createSettingsWidget(QWidget* parent)
{
    m_settings = new CPreviewSettingsWidget(parent);
    return m_settings;
}

CPreviewCorrectionHost::CPreviewCorrectionHost(IProcessEngine* engine, CPreviewCorrectionModule* module)
    : m_engine(engine)
    , m_module(module)
{
}

void CPreviewCorrectionHost::processModuleAction(const QString&, const QString& activity, const QString&)
{
    if (activity == QLatin1String("ModuleReset") && m_module->settingsWidget())
        m_module->settingsWidget()->resetRows();
}
