#include "correction/CBaseCorrectionSettings.h"

#include "correction/CUndoController.h"
#include "correction/CorrectionIds.h"
#include "correction/CorrectionInfoWidget.h"
#include "correction/CustomUndoCommands.h"
#include "correction/ICorrectionModuleHost.h"
#include "shell/IProcessEngine.h"
#include "view/CSlider.h"

namespace {

void connectToUndo(QObject* sender)
{
    QObject* controller = CUndoController::instance().get();
    QObject::connect(sender, SIGNAL(onCreateUndoCommand(QString)), controller, SLOT(createUndoCommand(QString)));
    QObject::connect(sender, SIGNAL(onPushUndoCommand(CUndoCommand*)), controller,
                     SLOT(pushUndoCommand(CUndoCommand*)));
}

} // namespace

CBaseCorrectionSettings::CBaseCorrectionSettings(ICorrectionModuleHost* host, const QString& moduleId,
                                                 QWidget* parent)
    : QWidget(parent, Qt::WindowFlags())
    , m_host(host)
    , m_moduleId(moduleId)
{
    setObjectName(moduleId + QStringLiteral("Settings"));
    if (host && host->hostObject())
        connect(host->hostObject(), SIGNAL(correctionOrModuleStateIsChanged()), this,
                SLOT(modulesStateWasChanged()));
    connectToUndo(this);
}

CBaseCorrectionSettings::~CBaseCorrectionSettings() = default;

bool CBaseCorrectionSettings::isInfoWidgetShown()
{
    return m_infoWidget && m_infoWidget->isVisible();
}

QString CBaseCorrectionSettings::infoWidgetMessage()
{
    return m_infoWidget ? m_infoWidget->text() : QString();
}

void CBaseCorrectionSettings::resetWidgetControls()
{
    if (m_infoWidget)
        m_infoWidget->hide();
}

bool CBaseCorrectionSettings::isFieldOfViewWarningNeeded() const
{
    IProcessEngine* engine = m_host ? m_host->processEngine() : nullptr;
    return engine && !engine->isFieldOfViewWellEstimated() && !m_fieldOfViewWarningDismissed;
}

void CBaseCorrectionSettings::resetSlidersToDefault()
{
    const QList<CSlider*> sliders = findChildren<CSlider*>();
    for (CSlider* slider : sliders)
        slider->resetToDefault();
}

void CBaseCorrectionSettings::actualizeSlidersVAlue()
{
    m_isActualizingSliders = true;
    const QList<CSlider*> sliders = findChildren<CSlider*>();
    for (CSlider* slider : sliders)
        slider->actualizeSliderValue();
    m_isActualizingSliders = false;
}

void CBaseCorrectionSettings::moduleReseted()
{
    m_isResetting = true;
    resetWidgetControls();
    resetSlidersToDefault();
    m_isResetting = false;
}

void CBaseCorrectionSettings::sliderValueChanged(QString name, int value)
{
    if (!m_host)
        return;
    if (!m_isResetting && !m_isActualizingSliders)
        m_host->processModuleAction(m_moduleId, UserActivity::AdditionalControlTouched, name);
    if (name.isEmpty())
        return;
    if (IProcessEngine* engine = m_host->processEngine()) {
        Navik::Dictionary parameters;
        parameters.SetValueForKey(name.toLatin1().toStdString(), Navik::Value(value));
        engine->addCEDictionaryParameters(parameters);
    }
}

void CBaseCorrectionSettings::followMouseHold(CSlider* slider)
{
    connect(slider, &CSlider::mouseHoldStarted, this, [this] { m_heldSlider.begin(); });
    connect(slider, &CSlider::mouseHoldEnded, this, [this] { m_heldSlider.end(); });
}

void CBaseCorrectionSettings::onSliderValueChangedManually(QString name, QString)
{
    emit onPushUndoCommand(new CSliderCustomUndoCommnd(QStringLiteral("Slider value changed"), name));
}

void CBaseCorrectionSettings::onInfoLinkWasClicked()
{
    m_fieldOfViewWarningDismissed = true;
    if (m_infoWidget)
        m_infoWidget->hide();
}

void CBaseCorrectionSettings::onToolWasActivated(bool active)
{
    if (active && isFieldOfViewWarningNeeded())
        showFieldOfViewWarning();
}

void CBaseCorrectionSettings::onAdditionalHeaderButtonClicked()
{
}

void CBaseCorrectionSettings::onResetForNewImage()
{
    m_fieldOfViewWarningDismissed = false;
}

void CBaseCorrectionSettings::showFieldOfViewWarning()
{
}

CorrectionInfoWidget* CBaseCorrectionSettings::infoWidget()
{
    return m_infoWidget;
}

CBaseCorrectionToolPane::CBaseCorrectionToolPane(QWidget* parent, ICorrectionModuleHost* host, QString moduleId)
    : QFrame(parent, Qt::WindowFlags())
    , m_moduleId(moduleId)
    , m_host(host)
{
    connectToUndo(this);
}

CBaseCorrectionToolPane::~CBaseCorrectionToolPane() = default;

void CBaseCorrectionToolPane::apply()
{
    if (m_host)
        m_host->processModuleAction(m_moduleId, UserActivity::CorrectionApplyed, QString());
    emit onCreateUndoCommand(tr("Apply and close tool"));
}

void CBaseCorrectionToolPane::reset()
{
    if (m_host)
        m_host->processModuleAction(m_moduleId, UserActivity::CorrectionReset, QString());
    emit onCreateUndoCommand(tr("Reset tool"));
}
