#include "perspective/CKeystoningSettings.h"

#include "correction/CorrectionIds.h"
#include "correction/CorrectionInfoWidget.h"
#include "correction/CustomUndoCommands.h"
#include "correction/ICorrectionModuleHost.h"
#include "engine/ParameterGroups.h"
#include "perspective/CKeystoningCorrection.h"
#include "shell/CBaseApplication.h"
#include "shell/IProcessEngine.h"
#include "utils/DataStreamFormat.h"
#include "view/CSlider.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <optional>

namespace {

const QString kIntensityKey = QStringLiteral("KeystoningBlendingIntensity");
constexpr int kNaturalIntensity = 75;
constexpr int kFullIntensity = 100;
constexpr int kFullButtonWidth = 77;
constexpr int kNaturalButtonWidth = 76;

QToolButton* typeButton(QWidget* parent, const QString& name, int width, QSize iconSize)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setFixedSize(width, 35);
    if (iconSize.isValid())
        button->setIconSize(iconSize);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCheckable(true);
    return button;
}

QToolButton* presetButton(QWidget* parent, const QString& name, int width, const QString& text,
                          const char* focusNumber)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setFixedSize(width, 25);
    button->setFocusPolicy(Qt::ClickFocus);
    button->setCheckable(true);
    button->setText(text);
    button->setProperty("settingsFocusNumber", QString::fromLatin1(focusNumber));
    return button;
}

CSlider* slider(QWidget* parent, QVBoxLayout* layout, const QString& name, const SSliderParams& params,
                const char* key, const char* guid, const char* focusOrder)
{
    auto* row = new CSlider(parent);
    row->setObjectName(name);
    row->setStyleSheet(QString());
    row->initialize(params);
    row->setParameterName(QString::fromLatin1(key));
    row->setProperty("GUID", QString::fromLatin1(guid));
    row->setProperty("FocusOrder", QString::fromLatin1(focusOrder));
    layout->addWidget(row);
    return row;
}

// A read of the engine's last input that has no engine reads as nothing set.
bool isKeystoningInEffect(ICorrectionModuleHost* host)
{
    IProcessEngine* engine = host ? host->processEngine() : nullptr;
    return engine && engine->isKeystoningPointsChanged() && isKeystoningSet(engine->getLastTransformInParams());
}

} // namespace

CKeystoningSettings::CKeystoningSettings(CKeystoningCorrection* module, QWidget* parent)
    : CBaseCorrectionSettings(module ? module->host() : nullptr,
                              module ? module->id() : QStringLiteral("Keystoning"), parent)
    , m_moduleId(module ? module->id() : QStringLiteral("Keystoning"))
    , m_module(module)
{
    resize(327, 135);
    setMinimumSize(0, 0);
    setWindowTitle(QStringLiteral("Form"));
    setProperty("ShowHideController", false);
    setProperty("GUID", QStringLiteral("{29BF2760-C65B-4834-95DC-34C98D54025B}"));

    auto* mainLayout = new QVBoxLayout(this);
    mainLayout->setObjectName(QStringLiteral("verticalLayout_2"));
    mainLayout->setSpacing(0);
    mainLayout->setContentsMargins(0, 0, 0, 0);

    auto* toolRow = new QHBoxLayout;
    toolRow->setObjectName(QStringLiteral("horizontalLayout"));
    toolRow->setSpacing(0);
    m_verticalTool = typeButton(this, QStringLiteral("verticalTool"), 39, QSize(39, 35));
    m_horizontalTool = typeButton(this, QStringLiteral("horizontalTool"), 38, QSize(38, 35));
    m_rectTool = typeButton(this, QStringLiteral("rectTool"), 38, QSize(39, 35));
    m_pointTool = typeButton(this, QStringLiteral("pointTool"), 38, QSize());
    m_verticalTool->setToolTip(tr("Force vertical parallel"));
    m_horizontalTool->setToolTip(tr("Force horizontal parallel"));
    m_rectTool->setToolTip(tr("Force Rectangle"));
    m_pointTool->setToolTip(tr("8 points"));
    for (QToolButton* button : typeButtons())
        toolRow->addWidget(button);
    toolRow->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    mainLayout->addLayout(toolRow);

    m_keystoningShortcuts = new QWidget(this);
    m_keystoningShortcuts->setObjectName(QStringLiteral("keystoningShortcuts"));
    auto* presetRow = new QHBoxLayout(m_keystoningShortcuts);
    presetRow->setObjectName(QStringLiteral("horizontalLayout_2"));
    presetRow->setSpacing(0);
    const QMargins margins = presetRow->contentsMargins();
    presetRow->setContentsMargins(margins.left(), 6, margins.right(), margins.bottom());
    m_toolButtonFull =
        presetButton(m_keystoningShortcuts, QStringLiteral("toolButtonFull"), kFullButtonWidth, tr("Full"), "14");
    m_toolButtonNatural = presetButton(m_keystoningShortcuts, QStringLiteral("toolButtonNatural"), kNaturalButtonWidth,
                                       tr("Natural"), "15");
    presetRow->addWidget(m_toolButtonFull);
    presetRow->addWidget(m_toolButtonNatural);
    presetRow->addSpacerItem(new QSpacerItem(40, 1, QSizePolicy::Expanding, QSizePolicy::Minimum));
    mainLayout->addWidget(m_keystoningShortcuts);

    m_keystoningInfoContainer = new QWidget(this);
    m_keystoningInfoContainer->setObjectName(QStringLiteral("keystoningInfoContainer"));
    m_infoLayout = new QVBoxLayout(m_keystoningInfoContainer);
    m_infoLayout->setObjectName(QStringLiteral("verticalLayout_4"));
    m_infoLayout->setSpacing(0);
    m_infoLayout->setContentsMargins(0, 0, 0, 0);
    mainLayout->addWidget(m_keystoningInfoContainer);

    m_sliderArea = new QWidget(this);
    m_sliderArea->setObjectName(QStringLiteral("widget"));
    auto* sliderLayout = new QVBoxLayout(m_sliderArea);
    sliderLayout->setObjectName(QStringLiteral("verticalLayout"));
    sliderLayout->setSpacing(0);
    sliderLayout->setContentsMargins(0, 0, 0, 6);
    m_sliderUpDown = slider(m_sliderArea, sliderLayout, QStringLiteral("sliderUpDown"),
                            {tr("Up / Down"), -125, 125, 0, 1, false, 1.0}, "KeystoningUpDown",
                            "{4AF511D8-2266-496C-B94E-D5B821F36D71}", "16,17");
    m_sliderLeftRight = slider(m_sliderArea, sliderLayout, QStringLiteral("sliderLeftRight"),
                               {tr(" Left / Right"), -125, 125, 0, 1, false, 1.0}, "KeystoningLeftRight",
                               "{0A2CB85E-2C2E-4C11-B509-A83EB75BFDB6}", "18,19");
    m_sliderHorizontalVerticalRatio =
        slider(m_sliderArea, sliderLayout, QStringLiteral("sliderHorizontalVerticalRatio"),
               {tr("Horizontal / Vertical Ratio"), -100, 100, 0, 1, false, 1.0}, "KeystoningHVRatio",
               "{60EB1476-43AE-435F-81AC-EFCC139420A6}", "20,21");
    m_keystoningSliderIntensity = slider(m_sliderArea, sliderLayout, QStringLiteral("keystoningSliderIntensity"),
                                         {tr("Intensity"), 0, 100, 100, 1, false, 1.0}, "KeystoningBlendingIntensity",
                                         "{AA0878D1-300A-4C8F-809B-B13CF149BB1F}", "22,23");
    mainLayout->addWidget(m_sliderArea);

    m_line = new QFrame(this);
    m_line->setObjectName(QStringLiteral("line"));
    m_line->setFrameShape(QFrame::HLine);
    m_line->setFrameShadow(QFrame::Sunken);
    mainLayout->addWidget(m_line);
    mainLayout->addSpacerItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));

    m_sliderUpDown->hide();
    m_sliderLeftRight->hide();
    m_sliderHorizontalVerticalRatio->hide();
    m_reservedWidget = m_sliderHorizontalVerticalRatio;

    connect(m_verticalTool, &QToolButton::toggled, this, &CKeystoningSettings::activateVerticalTool);
    connect(m_horizontalTool, &QToolButton::toggled, this, &CKeystoningSettings::activateHorizontalTool);
    connect(m_rectTool, &QToolButton::toggled, this, &CKeystoningSettings::activateRectTool);
    connect(m_pointTool, &QToolButton::toggled, this, &CKeystoningSettings::activate8pointsTool);
    for (CSlider* row : {m_sliderUpDown, m_sliderLeftRight, m_sliderHorizontalVerticalRatio,
                         m_keystoningSliderIntensity}) {
        connect(row, &CSlider::parameterChanged, this, &CKeystoningSettings::sliderValueChanged);
        connect(row, &CSlider::valueChangedManually, this, &CKeystoningSettings::onSliderValueChangedManually);
        followMouseHold(row);
    }

    m_toolButtonNatural->installEventFilter(this);
    connect(m_toolButtonNatural, &QToolButton::clicked, this, &CKeystoningSettings::onNaturalIntensity);
    m_toolButtonNatural->setChecked(m_keystoningSliderIntensity->value() == kNaturalIntensity);
    m_toolButtonFull->installEventFilter(this);
    connect(m_toolButtonFull, &QToolButton::clicked, this, &CKeystoningSettings::onFullIntensity);
    m_toolButtonFull->setChecked(m_keystoningSliderIntensity->value() == kFullIntensity);

    if (m_module)
        connect(m_module, &CKeystoningCorrection::checkIntensityControlsVisibility, this,
                &CKeystoningSettings::onCheckIntensityControlsVisibility);

    auto* natural = new QAction(tr("Natural"), this);
    natural->setObjectName(QStringLiteral("actionNaturalIntensity"));
    natural->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_1));
    natural->setStatusTip(tr("Move intensity to natural value"));
    connect(natural, &QAction::triggered, this, &CKeystoningSettings::onNaturalIntensity);
    addAction(natural);
    auto* full = new QAction(tr("Full"), this);
    full->setObjectName(QStringLiteral("actionFullIntensity"));
    full->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_2));
    full->setStatusTip(tr("Move intensity to full value"));
    connect(full, &QAction::triggered, this, &CKeystoningSettings::onFullIntensity);
    addAction(full);

    m_pointTool->setToolTip(m_pointTool->toolTip() + QLatin1Char(' '));
    m_keystoningInfoContainer->setStyleSheet(QStringLiteral("background: transparent;"));

    onCheckIntensityControlsVisibility();
}

CKeystoningSettings::~CKeystoningSettings() = default;

QList<QToolButton*> CKeystoningSettings::typeButtons() const
{
    return {m_verticalTool, m_horizontalTool, m_rectTool, m_pointTool};
}

bool CKeystoningSettings::eventFilter(QObject* watched, QEvent* event)
{
    // A preset button keeps its plate's width unless its name needs more
    // (the style sheet lays the name out right of the plate's glyph).
    if (event->type() == QEvent::Show || event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange) {
        if (watched == m_toolButtonFull)
            m_toolButtonFull->setFixedWidth(qMax(kFullButtonWidth, m_toolButtonFull->sizeHint().width()));
        else if (watched == m_toolButtonNatural)
            m_toolButtonNatural->setFixedWidth(qMax(kNaturalButtonWidth, m_toolButtonNatural->sizeHint().width()));
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return) {
        if (watched == m_toolButtonFull)
            m_toolButtonFull->click();
        else if (watched == m_toolButtonNatural)
            m_toolButtonNatural->click();
    }
    return CBaseCorrectionSettings::eventFilter(watched, event);
}

void CKeystoningSettings::activateTool(QToolButton* button, bool checked, const QString& argument,
                                       const QString& activateText, const QString& applyText)
{
    std::vector<std::unique_ptr<QSignalBlocker>> blockers;
    for (QToolButton* type : typeButtons())
        blockers.push_back(std::make_unique<QSignalBlocker>(type));

    IProcessEngine* engine = CBaseApplication::processEngine();
    if (!engine || !engine->isPictureLoaded()) {
        button->setChecked(false);
        return;
    }
    if (checked) {
        for (QToolButton* type : typeButtons())
            if (type != button)
                type->setChecked(false);
        if (m_host)
            m_host->processModuleAction(m_moduleId, UserActivity::SpecificCorrectionActivated, argument);
        emit onCreateUndoCommand(activateText);
    } else {
        if (m_host)
            m_host->processModuleAction(m_moduleId, UserActivity::CorrectionApplyed, QString());
        onCheckIntensityControlsVisibility();
        emit onCreateUndoCommand(applyText);
    }
}

void CKeystoningSettings::activateHorizontalTool(bool checked)
{
    activateTool(m_horizontalTool, checked, QStringLiteral("HorizontalCorrection"),
                 tr("Activate horizontal correction"), tr("Apply horizontal correction"));
}

void CKeystoningSettings::activateVerticalTool(bool checked)
{
    activateTool(m_verticalTool, checked, QStringLiteral("VerticalCorrection"), tr("Activate vertical correction"),
                 tr("Apply vertical correction"));
}

void CKeystoningSettings::activateRectTool(bool checked)
{
    activateTool(m_rectTool, checked, QStringLiteral("RectangleCorrection"), tr("Activate rectangle correction"),
                 tr("Apply rectangle correction"));
}

void CKeystoningSettings::activate8pointsTool(bool checked)
{
    activateTool(m_pointTool, checked, QStringLiteral("8PointsCorrection"), tr("Activate 8 points correction"),
                 tr("Apply 8 points correction"));
}

void CKeystoningSettings::modulesStateWasChanged()
{
    std::vector<std::unique_ptr<QSignalBlocker>> blockers;
    for (QToolButton* type : typeButtons()) {
        blockers.push_back(std::make_unique<QSignalBlocker>(type));
        type->setChecked(false);
    }
    if (!m_host || !m_module || m_host->currentCorrectionName() != m_moduleId)
        return;
    switch (m_module->correctionMode()) {
    case 1:
        m_horizontalTool->setChecked(true);
        break;
    case 2:
        m_verticalTool->setChecked(true);
        break;
    case 3:
        m_rectTool->setChecked(true);
        break;
    case 4:
        m_pointTool->setChecked(true);
        break;
    default:
        break;
    }
}

void CKeystoningSettings::sliderValueChanged(QString name, int value)
{
    if (name != kIntensityKey) {
        CBaseCorrectionSettings::sliderValueChanged(name, value);
        return;
    }
    if (m_host)
        m_host->processModuleAction(m_moduleId, UserActivity::AdditionalControlTouched, QStringLiteral("slider"));
    if (m_module)
        m_module->setCEProperty(name, value);
    checkPresetButtons(value);
}

void CKeystoningSettings::checkPresetButtons(int value)
{
    m_toolButtonNatural->setChecked(value == kNaturalIntensity);
    m_toolButtonFull->setChecked(value == kFullIntensity);
}

void CKeystoningSettings::applyPreset(int value, const QString& undoText, QToolButton* own, QToolButton* other)
{
    if (m_keystoningSliderIntensity->value() != value) {
        emit onPushUndoCommand(new CSliderCustomUndoCommnd(undoText, kIntensityKey));
        m_keystoningSliderIntensity->setValue(value, true);
    }
    own->setChecked(true);
    other->setChecked(false);
}

void CKeystoningSettings::onNaturalIntensity()
{
    applyPreset(kNaturalIntensity, tr("Natural intensity applied"), m_toolButtonNatural, m_toolButtonFull);
}

void CKeystoningSettings::onFullIntensity()
{
    applyPreset(kFullIntensity, tr("Full intensity applied"), m_toolButtonFull, m_toolButtonNatural);
}

void CKeystoningSettings::onCheckIntensityControlsVisibility()
{
    const bool inEffect = isKeystoningInEffect(m_host);
    for (QWidget* widget : {static_cast<QWidget*>(m_keystoningSliderIntensity),
                            static_cast<QWidget*>(m_toolButtonNatural), static_cast<QWidget*>(m_toolButtonFull),
                            m_keystoningShortcuts})
        widget->setVisible(inEffect);
    if (m_infoWidget) {
        m_infoWidget->setVisible(inEffect && isFieldOfViewWarningNeeded());
        m_reservedWidget->setVisible(inEffect);
    }
}

void CKeystoningSettings::resetWidgetControls()
{
    CBaseCorrectionSettings::resetWidgetControls();
    modulesStateWasChanged();
    onCheckIntensityControlsVisibility();
}

void CKeystoningSettings::showFieldOfViewWarning()
{
    // Called on each activation of the tool while the message is needed.
    if (m_infoWidget) {
        m_infoWidget->show();
        return;
    }
    auto* info = new CorrectionInfoWidget(this);
    m_infoWidget = info;
    m_infoLayout->addWidget(info);
    info->setText(tr("EXIF data present in this image did not allow for a fully automated correction. Please use "
                     "the \"Ratio\" slider to more accurately recover the proportions of the image."));
    info->setLink(QPixmap(QStringLiteral(":/icons/correctionInfo/palette-message-ic-choose.png")),
                  QPixmap(QStringLiteral(":/icons/correctionInfo/palette-message-ic-choose-hover.png")), tr("OK"));
    connect(info, &CorrectionInfoWidget::linkActivated, this, &CKeystoningSettings::onInfoLinkWasClicked);
    info->show();
}

void CKeystoningSettings::onShowAdditionalOptions(bool show)
{
    m_sliderArea->setVisible(show);
    m_line->hide();
}

bool CKeystoningSettings::isAdditionalOptionsShown()
{
    return m_sliderArea->isVisible() && m_line->isVisible();
}

bool CKeystoningSettings::isKeystoningSliderIntensityShown()
{
    return m_keystoningSliderIntensity->isVisible();
}

bool CKeystoningSettings::isRatioSliderShown()
{
    return m_sliderHorizontalVerticalRatio->isVisible();
}

bool CKeystoningSettings::isToolButtonNaturalShown()
{
    return m_toolButtonNatural->isVisible();
}

bool CKeystoningSettings::isToolButtonFullShown()
{
    return m_toolButtonFull->isVisible();
}

QByteArray CKeystoningSettings::serializeWidgetState()
{
    QMap<QString, QVariant> state;
    state.insert(QStringLiteral("ui.verticalTool"), m_verticalTool->isChecked());
    state.insert(QStringLiteral("ui.horizontalTool"), m_horizontalTool->isChecked());
    state.insert(QStringLiteral("ui.rectTool"), m_rectTool->isChecked());
    state.insert(QStringLiteral("ui.pointTool"), m_pointTool->isChecked());
    state.insert(QStringLiteral("ui.toolButtonFull"), m_toolButtonFull->isChecked());
    state.insert(QStringLiteral("ui.toolButtonNatural"), m_toolButtonNatural->isChecked());
    state.insert(QStringLiteral("ui.toolButtonFullVisible"), m_toolButtonFull->isVisible());
    state.insert(QStringLiteral("ui.toolButtonNaturalVisible"), m_toolButtonNatural->isVisible());
    state.insert(QStringLiteral("ui.keystoningShortcuts"), m_keystoningShortcuts->isVisible());
    if (m_infoWidget)
        state.insert(QStringLiteral("infoWidgetVisible"), m_infoWidget->isVisible());
    return NAVIK_tarl1::variantMapToBytes(state);
}

void CKeystoningSettings::deserializeWidgetState(const QByteArray& data)
{
    const QMap<QString, QVariant> state = NAVIK_tarl1::variantMapFromBytes(data);
    std::vector<std::unique_ptr<QSignalBlocker>> blockers;
    for (QToolButton* type : typeButtons())
        blockers.push_back(std::make_unique<QSignalBlocker>(type));
    const auto check = [&state](const char* key, QToolButton* button, bool block) {
        const QString name = QString::fromLatin1(key);
        if (!state.contains(name))
            return;
        std::optional<QSignalBlocker> blocker;
        if (block)
            blocker.emplace(button);
        button->setChecked(state.value(name).toBool());
    };
    const auto show = [&state](const char* key, QWidget* widget) {
        const QString name = QString::fromLatin1(key);
        if (state.contains(name))
            widget->setVisible(state.value(name).toBool());
    };
    check("ui.verticalTool", m_verticalTool, false);
    check("ui.horizontalTool", m_horizontalTool, false);
    check("ui.rectTool", m_rectTool, false);
    check("ui.pointTool", m_pointTool, false);
    check("ui.toolButtonFull", m_toolButtonFull, true);
    check("ui.toolButtonNatural", m_toolButtonNatural, true);
    show("ui.toolButtonFullVisible", m_toolButtonFull);
    show("ui.toolButtonNaturalVisible", m_toolButtonNatural);
    show("ui.keystoningShortcuts", m_keystoningShortcuts);
    if (m_infoWidget)
        show("infoWidgetVisible", m_infoWidget);
}

QWidget* CKeystoningSettings::asWidget()
{
    return this;
}
