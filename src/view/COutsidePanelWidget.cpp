#include "view/COutsidePanelWidget.h"

#include "view/BaseUIPanelWidgetForm.h"

#include "shell/CBaseApplication.h"
#include "shell/IProcessEngine.h"
#include "utils/CSettings.h"
#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QResizeEvent>

namespace {

const QString kExpandedKey = QStringLiteral("app_correctionExpanded");
const QString kAdditionalOptionsKey = QStringLiteral("app_correctionAdditionalOptions");

const QString kCheckBoxEnabledKey = QStringLiteral("ui.checkBoxEnabled");
const QString kOptionsHiddenKey = QStringLiteral("m_isAdditionalOptionsHiden");
const QString kOptionsButtonHiddenKey = QStringLiteral("m_isAdditionalOptionsButtonHiden");
const QString kHeaderControlEnabledKey = QStringLiteral("m_isAdditionalHeaderControlEnabled");

// The look of the additional-options button; %1 is "show-options" or "hide-options".
const QString kAdditionalOptionsStyle = QStringLiteral(
    "QToolButton{background: url(:/icons/additionalOptions/%1.png);}"
    "QToolButton:hover{background: url(:/icons/additionalOptions/%1-hover.png);}"
    "QToolButton:disabled{background: url(:/icons/additionalOptions/%1-disabled.png);}"
    "QToolButton:focus{background: url(:/icons/additionalOptions/%1-focus.png);}"
    "QToolButton:pressed{background: url(:/icons/additionalOptions/%1-active.png);}");

UndoControllerProvider& undoControllerProvider()
{
    static UndoControllerProvider provider;
    return provider;
}

} // namespace

void setUndoControllerProvider(UndoControllerProvider provider)
{
    undoControllerProvider() = std::move(provider);
}

QObject* undoController()
{
    const UndoControllerProvider& provider = undoControllerProvider();
    return provider ? provider() : nullptr;
}

COutsidePanelWidget::COutsidePanelWidget(QWidget* parent, Qt::WindowFlags f)
    : QWidget(parent, f)
    , ui(std::make_unique<Ui_baseUIPanelWidget>())
{
    LOG_TRACE();
    ui->setupUi(this);
    ui->additionalHeaderControl->hide();
    ui->checkBoxEnabled->setChecked(false);
    ui->checkBoxEnabled->hide();
    ui->checkBoxExpanded->setChecked(true);
    ui->central->setVisible(true);
    ui->expandingWidget->setVisible(true);
    ui->pushButtonReset->installEventFilter(this);

    // Reset fires on press, not on release.
    connect(ui->pushButtonReset, &QPushButton::pressed, this, &COutsidePanelWidget::onReset);
    connect(ui->checkBoxExpanded, &QCheckBox::toggled, this, &COutsidePanelWidget::onSetExpanded);
    connect(ui->toolButtonAdditionalOptions, &QToolButton::clicked, this,
            &COutsidePanelWidget::onHideShowAdditionalOptions);
    connect(ui->checkBoxEnabled, &QCheckBox::clicked, this, &COutsidePanelWidget::onModuleEnabled);
    connect(ui->additionalHeaderControl, &QPushButton::clicked, this,
            &COutsidePanelWidget::additionalHeaderButtonClicked);
    if (QObject* controller = undoController())
        connect(this, SIGNAL(onCreateUndoCommand(QString)), controller, SLOT(createUndoCommand(QString)));
}

COutsidePanelWidget::~COutsidePanelWidget()
{
    saveSettings();
}

QString COutsidePanelWidget::moduleId() const
{
    return m_module ? m_module->id() : QString();
}

QWidget* COutsidePanelWidget::setCorrectionModule(ICorrectionPanelModulePtr module, ICorrectionPanelHost* host)
{
    LOG_TRACE();
    ASSERT(module);
    ASSERT(host);
    if (!module)
        return nullptr;

    setObjectName(module->id() + QStringLiteral("Pane"));
    m_host = host;
    m_module = std::move(module);

    QWidget* settings = m_module->createSettingsWidget(this);
    if (settings) {
        ui->verticalLayout->addWidget(settings);
        connect(this, SIGNAL(showAdditionalOptions(bool)), settings, SLOT(onShowAdditionalOptions(bool)));
        connect(this, SIGNAL(toolWasActivated(bool)), settings, SLOT(onToolWasActivated(bool)));
        connect(this, SIGNAL(additionalHeaderButtonClicked()), settings, SLOT(onAdditionalHeaderButtonClicked()));
        connect(settings, SIGNAL(enableAdditionalHeaderControl(bool)), this,
                SLOT(onEnableAdditionalHeaderControl(bool)));
        if (QObject* moduleObject = m_module->moduleObject())
            connect(moduleObject, SIGNAL(resetForNewImageSignal()), settings, SLOT(onResetForNewImage()));

        const QVariant controller = settings->property("ShowHideController");
        if (controller.isValid()) {
            const bool show = controller.toBool();
            ui->toolButtonAdditionalOptions->setVisible(show);
            m_isAdditionalOptionsButtonHiden = !show;
            if (settings->metaObject()->indexOfSignal("showHideAvailable(bool)") >= 0)
                connect(settings, SIGNAL(showHideAvailable(bool)), this, SLOT(showHideExpandButton(bool)));
        }
    }

    ui->labelWidgetName->setText(m_module->moduleDisplayName());
    loadSettings();
    return settings;
}

void COutsidePanelWidget::loadSettings()
{
    NAVIK_tarl1::CSettings settings;
    const QString id = moduleId();
    ui->checkBoxExpanded->setChecked(settings.value(kExpandedKey + id, true).toBool());
    m_isAdditionalOptionsHiden = !settings.value(kAdditionalOptionsKey + id, false).toBool();
    onHideShowAdditionalOptions();
}

void COutsidePanelWidget::saveSettings()
{
    NAVIK_tarl1::CSettings settings;
    const QString id = moduleId();
    settings.setValue(kExpandedKey + id, ui->checkBoxExpanded->isChecked());
    settings.setValue(kAdditionalOptionsKey + id, m_isAdditionalOptionsHiden);
}

QByteArray COutsidePanelWidget::serializeWidgetState()
{
    QMap<QString, QVariant> state;
    state.insert(kCheckBoxEnabledKey, ui->checkBoxEnabled->isChecked());
    state.insert(kOptionsHiddenKey, m_isAdditionalOptionsHiden);
    state.insert(kOptionsButtonHiddenKey, m_isAdditionalOptionsButtonHiden);
    state.insert(kHeaderControlEnabledKey, ui->additionalHeaderControl->isEnabled());
    return NAVIK_tarl1::variantMapToBytes(state);
}

void COutsidePanelWidget::deserializeWidgetState(const QByteArray& bytes)
{
    const QMap<QString, QVariant> state = NAVIK_tarl1::variantMapFromBytes(bytes);
    const auto read = [&state](const QString& key) {
        ASSERT(state.contains(key));
        return state.value(key, false).toBool();
    };
    const bool enabled = read(kCheckBoxEnabledKey);
    const bool optionsHidden = read(kOptionsHiddenKey);
    const bool buttonHidden = read(kOptionsButtonHiddenKey);
    const bool headerControlEnabled = read(kHeaderControlEnabledKey);

    {
        const QSignalBlocker blocker(ui->checkBoxEnabled);
        ui->checkBoxEnabled->setChecked(enabled && isModuleEnabledRestorable());
    }
    m_isAdditionalOptionsButtonHiden = buttonHidden || isAdditionalOptionsButtonForcedHidden();
    ui->toolButtonAdditionalOptions->setVisible(!m_isAdditionalOptionsButtonHiden);
    m_isAdditionalOptionsHiden = !optionsHidden;
    onHideShowAdditionalOptions();
    ui->additionalHeaderControl->setEnabled(headerControlEnabled);
    emit toolWasActivated(ui->checkBoxEnabled->isChecked());
}

QWidget* COutsidePanelWidget::asWidget()
{
    return this;
}

bool COutsidePanelWidget::isModuleEnabledRestorable()
{
    return true;
}

bool COutsidePanelWidget::isAdditionalOptionsButtonForcedHidden()
{
    return false;
}

void COutsidePanelWidget::onCorrectionOrModuleStateChanged()
{
    if (m_host && m_module) {
        const QSignalBlocker blocker(ui->checkBoxEnabled);
        ui->checkBoxEnabled->setChecked(m_host->isModuleActive(m_module->id()));
    }
    emit toolWasActivated(ui->checkBoxEnabled->isChecked());
}

void COutsidePanelWidget::showHideExpandButton(bool show)
{
    ui->toolButtonAdditionalOptions->setVisible(show);
    m_isAdditionalOptionsButtonHiden = !show;
}

void COutsidePanelWidget::onEnableAdditionalHeaderControl(bool enabled)
{
    ui->additionalHeaderControl->setEnabled(enabled);
}

void COutsidePanelWidget::onSetExpanded(bool expanded)
{
    if (ui->checkBoxExpanded->isChecked() != expanded) {
        const QSignalBlocker blocker(ui->checkBoxExpanded);
        ui->checkBoxExpanded->setChecked(expanded);
    }
    ui->central->setVisible(expanded);
    ui->expandingWidget->setVisible(expanded);
}

bool COutsidePanelWidget::isExpanded()
{
    return ui->checkBoxExpanded->isChecked();
}

void COutsidePanelWidget::onReset()
{
    LOG_TRACE();
    IProcessEngine* engine = CBaseApplication::processEngine();
    const bool changed = engine && engine->isPictureChanged();
    if (!m_module)
        return;
    const QString id = m_module->id();
    if (m_host)
        m_host->processModuleAction(id, QStringLiteral("ModuleReset"), QString());
    if (changed || (m_host && m_host->currentCorrectionName() == id))
        emit onCreateUndoCommand(tr("Reset module"));
}

void COutsidePanelWidget::onHideShowAdditionalOptions()
{
    const bool wasHidden = m_isAdditionalOptionsHiden;
    m_isAdditionalOptionsHiden = !wasHidden;
    emit showAdditionalOptions(wasHidden);
    ui->toolButtonAdditionalOptions->setStyleSheet(
        kAdditionalOptionsStyle.arg(m_isAdditionalOptionsHiden ? QStringLiteral("show-options")
                                                               : QStringLiteral("hide-options")));
    // Drop the hover look at once.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(ui->toolButtonAdditionalOptions, &leave);
}

void COutsidePanelWidget::onModuleEnabled(bool enabled)
{
    LOG_TRACE();
    if (m_host && m_module)
        m_host->processModuleAction(m_module->id(),
                                    enabled ? QStringLiteral("ModuleActivate") : QStringLiteral("ModuleDeactivate"),
                                    QString());
    emit onCreateUndoCommand(enabled ? tr("Module enabled") : tr("Module disabled"));
    // No engine means no picture.
    IProcessEngine* engine = m_host ? m_host->processEngine() : nullptr;
    if (engine && engine->isPictureLoaded())
        emit toolWasActivated(enabled);
}

bool COutsidePanelWidget::isModuleEnabled()
{
    return m_module && m_module->isModuleActive() && ui->checkBoxEnabled->isChecked();
}

bool COutsidePanelWidget::isAdditionalHeaderControlEnabled()
{
    return ui->additionalHeaderControl->isEnabled();
}

bool COutsidePanelWidget::isAdditionalHeaderControlVisible()
{
    return ui->additionalHeaderControl->isVisible();
}

void COutsidePanelWidget::clickAdditionalHeaderControl()
{
    ui->additionalHeaderControl->click();
}

bool COutsidePanelWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->pushButtonReset && event->type() != QEvent::Paint)
        update();
    return QWidget::eventFilter(watched, event);
}

void COutsidePanelWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (event->size().height() != event->oldSize().height())
        emit heightIsChanged();
}
