#include "crop/CropToolPane.h"

#include "utils/CSettings.h"
#include "utils/GuiUtils.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QSpacerItem>

namespace {

const QString kOpacityKey = QStringLiteral("CropOverlayOpacity");
const QString kShowGridKey = QStringLiteral("cropPanelShowGrid");
constexpr int kDefaultOpacity = 100;

} // namespace

// -------------------------------------------------- CropOverlayOpacitySlider

CropOverlayOpacitySlider::CropOverlayOpacitySlider(QWidget* parent)
    : QWidget(parent)
    , m_slider(new QPointer<QSlider>)
{
    setFixedWidth(111);
    *m_slider = new QSlider(Qt::Horizontal, this);
    QSlider* slider = *m_slider;
    slider->setRange(0, 255);
    slider->setValue(savedValue());
    slider->installEventFilter(this);
    slider->setToolTip(toolTipText());
    slider->setTickPosition(QSlider::NoTicks);
    slider->setTickInterval(0);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(slider);
    connect(slider, &QSlider::valueChanged, this, &CropOverlayOpacitySlider::onValueChanged);
}

CropOverlayOpacitySlider::~CropOverlayOpacitySlider()
{
    delete m_slider;
}

int CropOverlayOpacitySlider::savedValue()
{
    NAVIK_tarl1::CSettings settings(nullptr);
    if (!settings.contains(kOpacityKey))
        return kDefaultOpacity;
    bool ok = false;
    const int value = settings.value(kOpacityKey, QVariant()).toInt(&ok);
    return ok ? value : kDefaultOpacity;
}

void CropOverlayOpacitySlider::setValue(int value)
{
    if (*m_slider)
        (*m_slider)->setValue(value);
}

int CropOverlayOpacitySlider::value() const
{
    return *m_slider ? (*m_slider)->value() : kDefaultOpacity;
}

QSlider* CropOverlayOpacitySlider::slider() const
{
    return *m_slider;
}

QString CropOverlayOpacitySlider::toolTipText() const
{
    if (!*m_slider)
        return QString();
    const int percent = static_cast<int>(static_cast<float>((*m_slider)->value() * 100) / 255.0);
    return QStringLiteral(" %1% ").arg(percent);
}

void CropOverlayOpacitySlider::onValueChanged(int value)
{
    if (*m_slider)
        (*m_slider)->setToolTip(toolTipText());
    NAVIK_tarl1::CSettings(nullptr).setValue(kOpacityKey, value);
    emit valueChanged(value);
}

bool CropOverlayOpacitySlider::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick && *m_slider && watched == *m_slider) {
        (*m_slider)->setValue(kDefaultOpacity);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

// ----------------------------------------------------------- the pane's form

void Ui_CCropToolPane::setupUi(QFrame* pane)
{
    if (pane->objectName().isEmpty())
        pane->setObjectName(QStringLiteral("CCropToolPane"));
    pane->resize(803, 39);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(pane->sizePolicy().hasHeightForWidth());
    pane->setSizePolicy(policy);
    pane->setMinimumSize(0, 39);
    pane->setMaximumSize(16777215, 39);
    pane->setStyleSheet(QString());
    pane->setFrameShadow(QFrame::Sunken);

    horizontalLayout = new QHBoxLayout(pane);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(6);
    horizontalLayout->setSizeConstraint(QLayout::SetMinimumSize);
    horizontalLayout->setContentsMargins(0, 0, 9, 0);

    correctionIcon = new QLabel(pane);
    correctionIcon->setObjectName(QStringLiteral("correctionIcon"));
    correctionIcon->setMinimumSize(35, 35);
    correctionIcon->setMaximumSize(35, 35);
    correctionIcon->setPixmap(QPixmap(QStringLiteral(":/icons/crop/crop-no-border.png")));
    correctionIcon->setAlignment(Qt::AlignCenter);
    horizontalLayout->addWidget(correctionIcon);

    verticalLine = new QFrame(pane);
    verticalLine->setObjectName(QStringLiteral("verticalLine"));
    verticalLine->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    verticalLine->setFrameShape(QFrame::VLine);
    verticalLine->setFrameShadow(QFrame::Sunken);
    horizontalLayout->addWidget(verticalLine);

    horizontalLayout->addItem(new QSpacerItem(12, 20, QSizePolicy::Fixed, QSizePolicy::Minimum));

    checkBoxShowGrid = new QCheckBox(pane);
    checkBoxShowGrid->setObjectName(QStringLiteral("checkBoxShowGrid"));
    checkBoxShowGrid->setLayoutDirection(Qt::RightToLeft);
    checkBoxShowGrid->setChecked(true);
    horizontalLayout->addWidget(checkBoxShowGrid);

    // Gives way before the buttons when a long translation needs the room.
    horizontalLayout->addItem(new QSpacerItem(40, 20, QSizePolicy::Preferred, QSizePolicy::Minimum));

    label = new QLabel(pane);
    label->setObjectName(QStringLiteral("label"));
    horizontalLayout->addWidget(label);

    slBackgroundOpacity = new CropOverlayOpacitySlider(pane);
    slBackgroundOpacity->setObjectName(QStringLiteral("slBackgroundOpacity"));
    horizontalLayout->addWidget(slBackgroundOpacity);

    horizontalLayout->addItem(new QSpacerItem(12, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));

    resetButton = new QPushButton(pane);
    resetButton->setObjectName(QStringLiteral("resetButton"));
    resetButton->setMinimumSize(0, 25);
    resetButton->setFocusPolicy(Qt::NoFocus);
    horizontalLayout->addWidget(resetButton);

    applyButton = new QPushButton(pane);
    applyButton->setObjectName(QStringLiteral("applyButton"));
    applyButton->setMinimumSize(0, 25);
    applyButton->setFocusPolicy(Qt::NoFocus);
    horizontalLayout->addWidget(applyButton);

    retranslateUi(pane);
    NAVIK_tarl1::keepWholeText(resetButton);
    NAVIK_tarl1::keepWholeText(applyButton);
    QMetaObject::connectSlotsByName(pane);
}

void Ui_CCropToolPane::retranslateUi(QFrame* pane)
{
    pane->setWindowTitle(QCoreApplication::translate("CCropToolPane", "Form"));
    checkBoxShowGrid->setText(QCoreApplication::translate("CCropToolPane", "Show grid"));
    label->setText(QCoreApplication::translate("CCropToolPane", "Mask opacity"));
    resetButton->setText(QCoreApplication::translate("CCropToolPane", "Reset"));
    applyButton->setText(QCoreApplication::translate("CCropToolPane", "Apply"));
}

// -------------------------------------------------------------- CCropToolPane

CCropToolPane::CCropToolPane(QWidget* parent, ICorrectionModuleHost* host, QString moduleName)
    : CBaseCorrectionToolPane(parent, host, moduleName)
{
    m_ui.setupUi(this);
    connect(m_ui.checkBoxShowGrid, &QCheckBox::toggled, this, &CCropToolPane::showGrid);
    connect(m_ui.checkBoxShowGrid, &QCheckBox::toggled, this, &CCropToolPane::setShowGrid);
    connect(m_ui.applyButton, &QPushButton::clicked, this, &CCropToolPane::apply);
    connect(m_ui.resetButton, &QPushButton::clicked, this, &CCropToolPane::reset);
    connect(m_ui.slBackgroundOpacity, &CropOverlayOpacitySlider::valueChanged, this,
            &CCropToolPane::backgroundOpacityChanged);
}

void CCropToolPane::setShowGrid(bool show)
{
    m_ui.checkBoxShowGrid->setChecked(show);
    NAVIK_tarl1::CSettings(nullptr).setValue(kShowGridKey, m_ui.checkBoxShowGrid->isChecked());
}

void CCropToolPane::restoreShowGrid()
{
    const bool show =
        NAVIK_tarl1::CSettings(nullptr).value(kShowGridKey, m_ui.checkBoxShowGrid->isChecked()).toBool();
    m_ui.checkBoxShowGrid->setChecked(show);
}
