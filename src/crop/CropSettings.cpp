#include "crop/CropSettings.h"

#include "correction/CorrectionIds.h"
#include "correction/ICorrectionModuleHost.h"
#include "crop/AspectRatioComboBox.h"
#include "engine/ParameterGroups.h"
#include "shell/IProcessEngine.h"
#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDataStream>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char g_cropToolKey[] = "ui.cropTool";
const char g_aspectRatioKey[] = "ui.comboBoxAspectRatio";
const char g_correctionTypeKey[] = "ui.comboBoxCorrectionType";
const char g_constrainKey[] = "ui.cbConstrainToImage";
const char g_currentIndexKey[] = "current index";

void setFixedPolicy(QWidget* widget, QSizePolicy::Policy horizontal, QSizePolicy::Policy vertical)
{
    QSizePolicy policy(horizontal, vertical);
    policy.setHorizontalStretch(0);
    policy.setVerticalStretch(0);
    policy.setHeightForWidth(widget->sizePolicy().hasHeightForWidth());
    widget->setSizePolicy(policy);
}

} // namespace

void Ui_CCropSettings::setupUi(QWidget* form)
{
    if (form->objectName().isEmpty())
        form->setObjectName(QStringLiteral("CCropSettings"));
    form->resize(357, 137);
    form->setProperty("ShowHideController", QVariant(false));
    form->setProperty("GUID", QVariant(QStringLiteral("{102A7329-383D-42DC-91DD-B7CF9E0C6E5D}")));

    verticalLayout_3 = new QVBoxLayout(form);
    verticalLayout_3->setSpacing(0);
    verticalLayout_3->setObjectName(QStringLiteral("verticalLayout_3"));
    verticalLayout_3->setContentsMargins(0, 0, 0, 0);

    horizontalLayout = new QHBoxLayout();
    horizontalLayout->setSpacing(0);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    cropTool = new QToolButton(form);
    cropTool->setObjectName(QStringLiteral("cropTool"));
    cropTool->setMinimumSize(QSize(39, 35));
    cropTool->setMaximumSize(QSize(39, 35));
    cropTool->setFocusPolicy(Qt::NoFocus);
    cropTool->setIconSize(QSize(39, 35));
    cropTool->setCheckable(true);
    horizontalLayout->addWidget(cropTool);
    horizontalLayout->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    verticalLayout_3->addLayout(horizontalLayout);

    widget = new QWidget(form);
    widget->setObjectName(QStringLiteral("widget"));
    gridLayout = new QGridLayout(widget);
    gridLayout->setObjectName(QStringLiteral("gridLayout"));
    gridLayout->setHorizontalSpacing(8);
    const int top = widget->style()->pixelMetric(QStyle::PM_LayoutTopMargin);
    gridLayout->setContentsMargins(0, top, 0, 0);

    label = new QLabel(widget);
    label->setObjectName(QStringLiteral("label"));
    label->setMinimumSize(QSize(0, 0));
    label->setMaximumSize(QSize(16777215, 16777215));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    gridLayout->addWidget(label, 0, 1);

    label_2 = new QLabel(widget);
    label_2->setObjectName(QStringLiteral("label_2"));
    setFixedPolicy(label_2, QSizePolicy::Preferred, QSizePolicy::Fixed);
    label_2->setMinimumSize(QSize(0, 0));
    label_2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    gridLayout->addWidget(label_2, 1, 1);

    comboBoxCorrectionType = new QComboBox(widget);
    comboBoxCorrectionType->setObjectName(QStringLiteral("comboBoxCorrectionType"));
    setFixedPolicy(comboBoxCorrectionType, QSizePolicy::Preferred, QSizePolicy::Fixed);
    comboBoxCorrectionType->setFocusPolicy(Qt::WheelFocus);
    comboBoxCorrectionType->setProperty("settingsFocusNumber", QVariant(QStringLiteral("26")));
    gridLayout->addWidget(comboBoxCorrectionType, 0, 2);

    gridLayout->addItem(new QSpacerItem(0, 0, QSizePolicy::Preferred, QSizePolicy::Minimum), 1, 0);

    comboBoxAspectRatio = new AspectRatioComboBox(widget);
    comboBoxAspectRatio->setObjectName(QStringLiteral("comboBoxAspectRatio"));
    setFixedPolicy(comboBoxAspectRatio, QSizePolicy::Preferred, QSizePolicy::Preferred);
    comboBoxAspectRatio->setFocusPolicy(Qt::ClickFocus);
    comboBoxAspectRatio->setProperty("FocusOrder", QVariant(QStringLiteral("27")));
    gridLayout->addWidget(comboBoxAspectRatio, 1, 2);
    gridLayout->setColumnStretch(0, 1);
    gridLayout->setColumnStretch(2, 5);
    verticalLayout_3->addWidget(widget);

    horizontalLayout_2 = new QHBoxLayout();
    horizontalLayout_2->setObjectName(QStringLiteral("horizontalLayout_2"));
    const int margin = form->style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    horizontalLayout_2->setContentsMargins(margin, 6, margin, margin);
    cbConstrainToImage = new QCheckBox(form);
    cbConstrainToImage->setObjectName(QStringLiteral("cbConstrainToImage"));
    cbConstrainToImage->setFocusPolicy(Qt::NoFocus);
    horizontalLayout_2->addWidget(cbConstrainToImage);
    horizontalLayout_2->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    verticalLayout_3->addLayout(horizontalLayout_2);
    verticalLayout_3->addItem(new QSpacerItem(20, 0, QSizePolicy::Minimum, QSizePolicy::Expanding));

    retranslateUi(form);
    QMetaObject::connectSlotsByName(form);
}

void Ui_CCropSettings::retranslateUi(QWidget* form)
{
    form->setWindowTitle(QCoreApplication::translate("CCropSettings", "Form"));
    cropTool->setToolTip(QCoreApplication::translate("CCropSettings", "Crop (C)"));
    cropTool->setText(QString());
    label->setText(QCoreApplication::translate("CCropSettings", "Correction"));
    label_2->setText(QCoreApplication::translate("CCropSettings", "Aspect Ratio"));
    comboBoxCorrectionType->clear();
    comboBoxCorrectionType->insertItems(0, {QCoreApplication::translate("CCropSettings", "Auto"),
                                            QCoreApplication::translate("CCropSettings", "Manual")});
    cbConstrainToImage->setText(QCoreApplication::translate("CCropSettings", "Constrain to image"));
}

CCropSettings::CCropSettings(ICropModuleState* module, ICorrectionModuleHost* host, QWidget* parent)
    : CBaseCorrectionSettings(host, module ? module->id() : g_cropCorrectionId, parent)
    , m_moduleId(module ? module->id() : g_cropCorrectionId)
    , m_module(module)
{
    unlock();
    m_ui.setupUi(this);
    m_ui.comboBoxAspectRatio->applyFocusOrder();

    connect(m_ui.comboBoxAspectRatio, SIGNAL(aspectRatioChanged(qreal)), this,
            SLOT(onAspectRationChangedManually(qreal)));
    connect(m_ui.comboBoxCorrectionType, SIGNAL(activated(int)), this, SLOT(onCorrectionTypeChangedManually(int)));
    connect(m_ui.cropTool, SIGNAL(toggled(bool)), this, SLOT(onActivateCropTool(bool)));
    connect(m_ui.cbConstrainToImage, SIGNAL(toggled(bool)), this, SLOT(onConstrainToImageChangedManually(bool)));
}

CCropSettings::~CCropSettings() = default;

bool CCropSettings::isPictureLoaded() const
{
    // Without an engine there is no picture.
    IProcessEngine* engine = m_host ? m_host->processEngine() : nullptr;
    return engine && engine->isPictureLoaded();
}

bool CCropSettings::isDistortionActive() const
{
    IProcessEngine* engine = m_host ? m_host->processEngine() : nullptr;
    if (!engine)
        return false;
    const Navik::Dictionary params = engine->getLastTransformInParams();
    return isAutoDistortionActive(params) || isBarrelDistortionActive(params)
           || isFisheyeDistortionActive(params);
}

bool CCropSettings::updateCropToolState()
{
    const QString current = m_host ? m_host->currentCorrectionName() : g_emptyCorrectionId;
    {
        const QSignalBlocker blocker(m_ui.cropTool);
        m_ui.cropTool->setChecked(current == g_cropCorrectionId);
    }
    if (current == g_cropCorrectionId) {
        m_ui.comboBoxCorrectionType->setEnabled(true);
        m_ui.cbConstrainToImage->setEnabled(true);
        return true;
    }
    if (current == g_keystoningCorrectionId || current == g_horizonCorrectionId) {
        if (m_module && m_module->cropType() == g_manualCropArgument && m_host)
            m_host->processModuleAction(m_moduleId, QStringLiteral("AdditionalControlTouched"), g_autoCropArgument);
        m_ui.comboBoxCorrectionType->setEnabled(false);
        m_ui.cbConstrainToImage->setEnabled(false);
        return false;
    }
    ASSERT(current == g_emptyCorrectionId);
    m_ui.comboBoxCorrectionType->setEnabled(true);
    m_ui.cbConstrainToImage->setEnabled(true);
    return true;
}

void CCropSettings::modulesStateWasChanged()
{
    const bool enabled = updateCropToolState();
    if (isDistortionActive()) {
        if (m_module && m_module->isConstrainToImage() && m_host)
            m_host->processModuleAction(m_moduleId, QStringLiteral("AdditionalControlTouched"),
                                        QStringLiteral("freeToImage"));
        m_ui.cbConstrainToImage->setEnabled(false);
    } else {
        m_ui.cbConstrainToImage->setEnabled(enabled);
    }
    if (!m_module)
        return;
    {
        const QSignalBlocker blocker(m_ui.comboBoxCorrectionType);
        m_ui.comboBoxCorrectionType->setCurrentIndex(m_module->cropType() == g_autoCropArgument ? 0 : 1);
    }
    m_ui.comboBoxAspectRatio->blockComboSignals(true);
    m_ui.comboBoxAspectRatio->setCurrentAspectRatio(m_module->isPreserveImageRatio() ? 0.0 : m_module->cropRatio());
    m_ui.comboBoxAspectRatio->blockComboSignals(false);
    {
        const QSignalBlocker blocker(m_ui.cbConstrainToImage);
        m_ui.cbConstrainToImage->setChecked(m_module->isConstrainToImage());
    }
}

void CCropSettings::resetWidgetControls()
{
    {
        const QSignalBlocker blocker(m_ui.cropTool);
        m_ui.cropTool->setChecked(false);
    }
    m_ui.comboBoxCorrectionType->setEnabled(true);
    m_ui.cbConstrainToImage->setEnabled(true);
}

bool CCropSettings::isAdditionalOptionsShown()
{
    return m_ui.widget->isVisible();
}

void CCropSettings::onShowAdditionalOptions(bool)
{
}

void CCropSettings::onActivateCropTool(bool checked)
{
    if (!isPictureLoaded()) {
        const QSignalBlocker blocker(m_ui.cropTool);
        m_ui.cropTool->setChecked(false);
        return;
    }
    if (checked) {
        m_host->processModuleAction(m_moduleId, QStringLiteral("SpecificCorrectionActivated"), QString());
        Q_EMIT onCreateUndoCommand(tr("Crop correction is activated"));
    } else {
        m_host->processModuleAction(m_moduleId, QStringLiteral("CorrectionApplyed"), QString());
        Q_EMIT onCreateUndoCommand(tr("Crop correction is applyed"));
    }
}

void CCropSettings::onAspectRationChangedManually(qreal ratio)
{
    LOG_TRACE();
    if (m_host)
        m_host->processModuleAction(m_moduleId, QStringLiteral("AdditionalControlTouched"),
                                    QString::number(ratio, 'g', 6));
    Q_EMIT onCreateUndoCommand(tr("Aspect ration changed"));
}

void CCropSettings::onCorrectionTypeChangedManually(int index)
{
    LOG_TRACE();
    if (m_host)
        m_host->processModuleAction(m_moduleId, QStringLiteral("AdditionalControlTouched"),
                                    index == 0 ? g_autoCropArgument : g_manualCropArgument);
    Q_EMIT onCreateUndoCommand(tr("Correction type changed"));
}

void CCropSettings::onConstrainToImageChangedManually(bool checked)
{
    LOG_TRACE();
    if (m_host)
        m_host->processModuleAction(m_moduleId, QStringLiteral("AdditionalControlTouched"),
                                    checked ? QStringLiteral("constrainToImage") : QStringLiteral("freeToImage"));
    Q_EMIT onCreateUndoCommand(checked ? tr("Crop constrain to image - on") : tr("Crop constrain to image - off"));
}

QByteArray CCropSettings::serializeWidgetState()
{
    QMap<QString, QVariant> state;
    state.insert(QLatin1String(g_cropToolKey), m_ui.cropTool->isChecked());
    state.insert(QLatin1String(g_aspectRatioKey), double(m_ui.comboBoxAspectRatio->currentAspectRatio()));
    QMap<QString, QVariant> type;
    type.insert(QLatin1String(g_currentIndexKey), m_ui.comboBoxCorrectionType->currentIndex());
    state.insert(QLatin1String(g_correctionTypeKey), type);
    state.insert(QLatin1String(g_constrainKey), m_ui.cbConstrainToImage->isChecked());
    return NAVIK_tarl1::variantMapToBytes(state);
}

void CCropSettings::deserializeWidgetState(const QByteArray& bytes)
{
    const QMap<QString, QVariant> state = NAVIK_tarl1::variantMapFromBytes(bytes);
    if (state.contains(QLatin1String(g_cropToolKey))) {
        const QSignalBlocker blocker(m_ui.cropTool);
        m_ui.cropTool->setChecked(state.value(QLatin1String(g_cropToolKey)).toBool());
    }
    if (state.contains(QLatin1String(g_aspectRatioKey))) {
        const double ratio = state.value(QLatin1String(g_aspectRatioKey)).toDouble();
        m_ui.comboBoxAspectRatio->blockComboSignals(true);
        m_ui.comboBoxAspectRatio->setCurrentAspectRatio(ratio);
        m_ui.comboBoxAspectRatio->blockComboSignals(false);
        // The module keeps that choice only in memory: without this, the next
        // synchronisation would show the choice made last instead of the one
        // the restored state holds.
        if (m_module)
            m_module->restorePreserveImageRatio(ratio == 0.0);
    }
    if (state.contains(QLatin1String(g_correctionTypeKey))) {
        const QMap<QString, QVariant> type = state.value(QLatin1String(g_correctionTypeKey)).toMap();
        const QSignalBlocker blocker(m_ui.comboBoxCorrectionType);
        m_ui.comboBoxCorrectionType->setCurrentIndex(type.value(QLatin1String(g_currentIndexKey), 0).toInt());
    }
    if (state.contains(QLatin1String(g_constrainKey))) {
        const QSignalBlocker blocker(m_ui.cbConstrainToImage);
        m_ui.cbConstrainToImage->setChecked(state.value(QLatin1String(g_constrainKey)).toBool());
    }
}

QWidget* CCropSettings::asWidget()
{
    return this;
}
