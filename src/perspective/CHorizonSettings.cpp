#include "perspective/CHorizonSettings.h"

#include "correction/CorrectionIds.h"
#include "correction/ICorrectionModuleHost.h"
#include "perspective/CHorizonCorrection.h"
#include "shell/CBaseApplication.h"
#include "shell/IProcessEngine.h"
#include "utils/DataStreamFormat.h"
#include "view/CSlider.h"

#include <QColorDialog>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QString kHToolKey = QStringLiteral("ui.horizonHTool");
const QString kVToolKey = QStringLiteral("ui.horizonVTool");
const QString kPreviewEnabledKey = QStringLiteral("PreviewButtonEnabled");
const QString kIconKey = QStringLiteral("correctionIcon");

QToolButton* toolButton(QWidget* parent, const char* name, int width, const QString& toolTip)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setFixedSize(width, 35);
    button->setIconSize(QSize(width, 35));
    button->setFocusPolicy(Qt::NoFocus);
    button->setCheckable(true);
    button->setToolTip(toolTip);
    return button;
}

void setCheckedQuietly(QToolButton* button, bool checked)
{
    const QSignalBlocker blocker(button);
    button->setChecked(checked);
}

} // namespace

CHorizonSettings::CHorizonSettings(CHorizonCorrection* module, QWidget* parent)
    : CBaseCorrectionSettings(module ? module->host() : nullptr, module ? module->id() : g_horizonCorrectionId, parent)
    , m_module(module)
{
    resize(271, 94);
    setMinimumSize(0, 0);
    setWindowTitle(QStringLiteral("Form"));
    setProperty("ShowHideController", false);
    setProperty("GUID", QStringLiteral("{9E3D2A90-051D-4364-AADF-E7E13B79FF5A}"));

    auto* verticalLayout_3 = new QVBoxLayout(this);
    verticalLayout_3->setObjectName(QStringLiteral("verticalLayout_3"));
    verticalLayout_3->setSpacing(0);
    verticalLayout_3->setContentsMargins(0, 0, 0, 0);
    auto* horizontalLayout = new QHBoxLayout;
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(0);
    horizonHTool = toolButton(this, "horizonHTool", 39, tr("Horizontal level"));
    horizonVTool = toolButton(this, "horizonVTool", 38, tr("Vertical level"));
    horizontalLayout->addWidget(horizonHTool);
    horizontalLayout->addWidget(horizonVTool);
    horizontalLayout->addSpacerItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    verticalLayout_3->addLayout(horizontalLayout);

    widget = new QWidget(this);
    widget->setObjectName(QStringLiteral("widget"));
    auto* verticalLayout = new QVBoxLayout(widget);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    const QMargins margins = verticalLayout->contentsMargins();
    verticalLayout->setContentsMargins(0, margins.top(), 0, 6);
    angleSlider = new CSlider(widget);
    angleSlider->setObjectName(QStringLiteral("angleSlider"));
    angleSlider->setStyleSheet(QString());
    angleSlider->setProperty("RegExp",
                             QStringLiteral("^((\\-?90((\\.|\\,)0)?)|(\\-?[0-8]?[0-9]?((\\.|\\,)[0-9])?))$"));
    angleSlider->setProperty("FocusOrder", QStringLiteral("24,25"));
    angleSlider->setProperty("GUID", QStringLiteral("{458CC6CE-F79A-4561-A117-E4151AE9F56D}"));
    verticalLayout->addWidget(angleSlider);
    verticalLayout_3->addWidget(widget);

    line = new QFrame(this);
    line->setObjectName(QStringLiteral("line"));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    verticalLayout_3->addWidget(line);
    verticalLayout_3->addSpacerItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));

    SSliderParams params;
    params.label = tr("Rotation");
    params.minimum = -900;
    params.maximum = 900;
    params.defaultValue = 0;
    params.step = 1;
    params.isDecimal = true;
    params.scale = 1.0;
    angleSlider->initialize(params);

    connect(horizonHTool, &QToolButton::toggled, this, &CHorizonSettings::activateHorizontalTool);
    connect(horizonVTool, &QToolButton::toggled, this, &CHorizonSettings::activateVerticalTool);
    connect(angleSlider, &CSlider::parameterChanged, this, &CHorizonSettings::rotationAngleChanged);
    connect(angleSlider, &CSlider::valueChangedManually, this, &CHorizonSettings::onSliderValueChangedManually);
    followMouseHold(angleSlider);
    if (m_module)
        connect(m_module, &CHorizonCorrection::onRotationAngleWasChanged, this, &CHorizonSettings::setRotationAngle);
}

CHorizonSettings::~CHorizonSettings() = default;

bool CHorizonSettings::isAdditionalOptionsShown()
{
    return widget->isVisible() && line->isVisible();
}

void CHorizonSettings::activateTool(QToolButton* button, QToolButton* other, bool checked, const QString& argument,
                                    const QString& activateText, const QString& applyText)
{
    IProcessEngine* engine = CBaseApplication::processEngine();
    if (!engine || !engine->isPictureLoaded()) {
        setCheckedQuietly(button, false);
        return;
    }
    if (checked) {
        setCheckedQuietly(other, false);
        if (m_host)
            m_host->processModuleAction(m_moduleId, UserActivity::SpecificCorrectionActivated, argument);
        emit onCreateUndoCommand(activateText);
    } else {
        if (m_host)
            m_host->processModuleAction(m_moduleId, UserActivity::CorrectionApplyed, QString());
        emit onCreateUndoCommand(applyText);
    }
}

void CHorizonSettings::activateHorizontalTool(bool checked)
{
    activateTool(horizonHTool, horizonVTool, checked, g_horizontalCorrectionArgument,
                 QStringLiteral("Activate horizontal correction"), QStringLiteral("Apply horizontal correction"));
}

void CHorizonSettings::activateVerticalTool(bool checked)
{
    activateTool(horizonVTool, horizonHTool, checked, g_verticalCorrectionArgument,
                 QStringLiteral("Activate vertical correction"), QStringLiteral("Apply vertical correction"));
}

void CHorizonSettings::modulesStateWasChanged()
{
    setCheckedQuietly(horizonHTool, false);
    setCheckedQuietly(horizonVTool, false);
    if (!m_host || !m_module || m_host->currentCorrectionName() != g_horizonCorrectionId)
        return;
    if (m_module->correctionMode() == CHorizonCorrection::HorizontalMode)
        setCheckedQuietly(horizonHTool, true);
    else if (m_module->correctionMode() == CHorizonCorrection::VerticalMode)
        setCheckedQuietly(horizonVTool, true);
}

void CHorizonSettings::resetWidgetControls()
{
    modulesStateWasChanged();
}

void CHorizonSettings::rotationAngleChanged(QString key, int value)
{
    sliderValueChanged(key, value);
    if (m_module)
        m_module->setRotationAngle(value / 10.0);
}

void CHorizonSettings::setRotationAngle(double angle)
{
    angleSlider->setValue(int(std::trunc(angle * 10.0)), false);
}

void CHorizonSettings::onShowAdditionalOptions(bool show)
{
    widget->setVisible(show);
    line->setVisible(false);
}

QByteArray CHorizonSettings::serializeWidgetState()
{
    QMap<QString, QVariant> state;
    state.insert(kHToolKey, horizonHTool->isChecked());
    state.insert(kVToolKey, horizonVTool->isChecked());
    return NAVIK_tarl1::variantMapToBytes(state);
}

void CHorizonSettings::deserializeWidgetState(const QByteArray& bytes)
{
    // A state that cannot be read holds no keys and changes nothing.
    const QMap<QString, QVariant> state = NAVIK_tarl1::variantMapFromBytes(bytes);
    if (state.contains(kHToolKey))
        setCheckedQuietly(horizonHTool, state.value(kHToolKey).toBool());
    if (state.contains(kVToolKey))
        setCheckedQuietly(horizonVTool, state.value(kVToolKey).toBool());
}

CHorizonToolPane::CHorizonToolPane(QWidget* parent, CHorizonCorrection* module)
    : CBaseCorrectionToolPane(parent, module ? module->host() : nullptr,
                              module ? module->id() : g_horizonCorrectionId)
{
    setObjectName(QStringLiteral("CHorizonToolPane"));
    resize(539, 39);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFixedHeight(39);
    setWindowTitle(QStringLiteral("Form"));

    auto* horizontalLayout = new QHBoxLayout(this);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(6);
    horizontalLayout->setContentsMargins(0, 0, 9, 0);
    correctionIcon = new QLabel(this);
    correctionIcon->setObjectName(QStringLiteral("correctionIcon"));
    correctionIcon->setFixedSize(35, 35);
    correctionIcon->setScaledContents(true);
    correctionIcon->setPixmap(QPixmap());
    horizontalLayout->addWidget(correctionIcon);
    auto* verticalLine = new QFrame(this);
    verticalLine->setObjectName(QStringLiteral("verticalLine"));
    verticalLine->setFrameShape(QFrame::VLine);
    verticalLine->setFrameShadow(QFrame::Sunken);
    verticalLine->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    horizontalLayout->addWidget(verticalLine);
    horizontalLayout->addSpacerItem(new QSpacerItem(12, 20, QSizePolicy::Preferred, QSizePolicy::Minimum));
    auto* label_2 = new QLabel(tr("Line Color"), this);
    label_2->setObjectName(QStringLiteral("label_2"));
    horizontalLayout->addWidget(label_2);
    colorPicker = new QLabel(this);
    colorPicker->setObjectName(QStringLiteral("colorPicker"));
    colorPicker->setFixedSize(17, 17);
    colorPicker->setToolTip(tr("Line Color") + QLatin1Char(' '));
    horizontalLayout->addWidget(colorPicker);
    horizontalLayout->addSpacerItem(new QSpacerItem(29, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    previewButton = new QPushButton(tr("Preview"), this);
    previewButton->setObjectName(QStringLiteral("previewButton"));
    horizontalLayout->addWidget(previewButton);
    resetButton = new QPushButton(tr("Reset"), this);
    resetButton->setObjectName(QStringLiteral("resetButton"));
    resetButton->setMinimumHeight(25);
    resetButton->setFocusPolicy(Qt::NoFocus);
    horizontalLayout->addWidget(resetButton);
    applyButton = new QPushButton(tr("Apply"), this);
    applyButton->setObjectName(QStringLiteral("applyButton"));
    applyButton->setMinimumHeight(25);
    applyButton->setFocusPolicy(Qt::NoFocus);
    horizontalLayout->addWidget(applyButton);

    connect(applyButton, &QPushButton::clicked, this, &CBaseCorrectionToolPane::apply);
    connect(resetButton, &QPushButton::clicked, this, &CBaseCorrectionToolPane::reset);
    connect(previewButton, &QPushButton::clicked, this, &CBaseCorrectionToolPane::preview);
    colorPicker->installEventFilter(this);
    previewButton->hide();
    previewButton->setEnabled(false);
}

CHorizonToolPane::~CHorizonToolPane() = default;

void CHorizonToolPane::setCorrectionIcon(const QPixmap& pixmap)
{
    correctionIcon->setPixmap(pixmap);
}

void CHorizonToolPane::showToolColor(const QColor& color)
{
    QPixmap swatch(14, 14);
    swatch.fill(color);
    colorPicker->setPixmap(swatch);
}

bool CHorizonToolPane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == colorPicker && event->type() == QEvent::MouseButtonPress) {
        selectToolColor();
        return true;
    }
    return CBaseCorrectionToolPane::eventFilter(watched, event);
}

void CHorizonToolPane::selectToolColor()
{
    QColorDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QColor color = dialog.selectedColor();
    showToolColor(color);
    emit onColorChanged(color);
}

void CHorizonToolPane::onSetPreviewButtonEnabled(bool enabled)
{
    previewButton->setEnabled(enabled);
}

void CHorizonToolPane::onSetPreviewButtonVisible(bool visible)
{
    previewButton->setVisible(visible);
}

void CHorizonToolPane::onSerializeToolPaneData(QMap<QString, QVariant>& data)
{
    data.insert(kPreviewEnabledKey, previewButton->isEnabled());
    data.insert(kIconKey, correctionIcon->pixmap());
}

void CHorizonToolPane::onDeserializeToolPaneData(QMap<QString, QVariant> data)
{
    if (data.contains(kPreviewEnabledKey))
        previewButton->setEnabled(data.value(kPreviewEnabledKey).toBool());
    if (data.contains(kIconKey))
        correctionIcon->setPixmap(data.value(kIconKey).value<QPixmap>());
}
