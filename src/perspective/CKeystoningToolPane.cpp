#include "perspective/CKeystoningToolPane.h"

#include "correction/ICorrectionModuleHost.h"
#include "perspective/CKeystoningCorrection.h"
#include "utils/GuiUtils.h"

#include <QColorDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>

namespace {

CKeystoningToolPane::ColorPicker& colorPicker()
{
    static CKeystoningToolPane::ColorPicker picker;
    return picker;
}

QLabel* swatch(QWidget* parent, const QString& name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFixedSize(17, 17);
    // The application style sheet frames the swatch; its content stays 13 x 13.
    label->setStyleSheet(QStringLiteral("min-width: 13px; min-height: 13px;"));
    return label;
}

QPixmap filled(const QColor& color)
{
    QPixmap pixmap(14, 14);
    pixmap.fill(color);
    return pixmap;
}

} // namespace

CKeystoningToolPane::CKeystoningToolPane(QWidget* parent, CKeystoningCorrection* module)
    : CBaseCorrectionToolPane(parent, module ? module->host() : nullptr,
                              module ? module->id() : QStringLiteral("Keystoning"))
{
    setObjectName(QStringLiteral("CKeystoningToolPane"));
    resize(1012, 39);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFixedHeight(39);
    setFrameShape(QFrame::NoFrame);
    setWindowTitle(QStringLiteral("Form"));

    auto* layout = new QHBoxLayout(this);
    layout->setObjectName(QStringLiteral("horizontalLayout"));
    layout->setSpacing(6);
    layout->setContentsMargins(0, 0, 9, 0);

    m_correctionIcon = new QLabel(this);
    m_correctionIcon->setObjectName(QStringLiteral("correctionIcon"));
    m_correctionIcon->setFixedSize(35, 35);
    layout->addWidget(m_correctionIcon);

    auto* verticalLine = new QFrame(this);
    verticalLine->setObjectName(QStringLiteral("verticalLine"));
    verticalLine->setFrameShape(QFrame::VLine);
    verticalLine->setFrameShadow(QFrame::Sunken);
    verticalLine->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    layout->addWidget(verticalLine);

    m_stack = new QStackedWidget(this);
    m_stack->setObjectName(QStringLiteral("keystoningToolStackWidget"));
    m_stack->setStyleSheet(QString());
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("page"));
    auto* pageLayout = new QHBoxLayout(page);
    pageLayout->setObjectName(QStringLiteral("horizontalLayout_2"));
    pageLayout->setSpacing(6);
    pageLayout->setContentsMargins(9, 0, 9, 0);
    auto* textLabel = new QLabel(tr("Line Color"), page);
    textLabel->setObjectName(QStringLiteral("textLabel"));
    pageLayout->addWidget(textLabel);
    m_colorPicker = swatch(page, QStringLiteral("colorPicker"));
    m_colorPicker->setToolTip(tr("Line Color") + QLatin1Char(' '));
    pageLayout->addWidget(m_colorPicker);
    pageLayout->addSpacerItem(new QSpacerItem(613, 18, QSizePolicy::Expanding, QSizePolicy::Minimum));
    m_stack->addWidget(page);

    auto* page2 = new QWidget;
    page2->setObjectName(QStringLiteral("page_2"));
    auto* page2Layout = new QHBoxLayout(page2);
    page2Layout->setObjectName(QStringLiteral("horizontalLayout_3"));
    page2Layout->setSpacing(6);
    page2Layout->setContentsMargins(9, 0, 9, 0);
    auto* textLabel2 = new QLabel(tr("Line Color"), page2);
    textLabel2->setObjectName(QStringLiteral("textLabel_2"));
    page2Layout->addWidget(textLabel2);
    page2Layout->addSpacerItem(new QSpacerItem(10, 20, QSizePolicy::Fixed, QSizePolicy::Minimum));
    QLabel* verticalImage = swatch(page2, QStringLiteral("verticalLinesColorImage"));
    verticalImage->setPixmap(QPixmap(QStringLiteral(":/icons/perspective/8-points-bar-ic-vertical-lines.png")));
    verticalImage->setToolTip(tr("Vertical lines") + QLatin1Char(' '));
    page2Layout->addWidget(verticalImage);
    m_verticalColorPicker = swatch(page2, QStringLiteral("verticalColorPicker"));
    m_verticalColorPicker->setToolTip(tr("Vertical lines") + QLatin1Char(' '));
    page2Layout->addWidget(m_verticalColorPicker);
    page2Layout->addSpacerItem(new QSpacerItem(10, 20, QSizePolicy::Fixed, QSizePolicy::Minimum));
    QLabel* horizontalImage = swatch(page2, QStringLiteral("horizontalLinesColorImage"));
    horizontalImage->setPixmap(QPixmap(QStringLiteral(":/icons/perspective/8-points-bar-ic-horizontal-lines.png")));
    horizontalImage->setToolTip(tr("Horizontal lines") + QLatin1Char(' '));
    page2Layout->addWidget(horizontalImage);
    m_horizontalColorPicker = swatch(page2, QStringLiteral("horizontalColorPicker"));
    m_horizontalColorPicker->setToolTip(tr("Horizontal lines") + QLatin1Char(' '));
    page2Layout->addWidget(m_horizontalColorPicker);
    page2Layout->addSpacerItem(new QSpacerItem(512, 18, QSizePolicy::Expanding, QSizePolicy::Minimum));
    m_stack->addWidget(page2);
    m_stack->setCurrentIndex(1);
    layout->addWidget(m_stack);

    const auto button = [this, layout](const QString& name, const QString& text, bool focus) {
        auto* pushButton = new QPushButton(text, this);
        pushButton->setObjectName(name);
        pushButton->setMinimumHeight(25);
        if (!focus)
            pushButton->setFocusPolicy(Qt::NoFocus);
        NAVIK_tarl1::keepWholeText(pushButton);
        layout->addWidget(pushButton);
        return pushButton;
    };
    m_previewButton = button(QStringLiteral("previewButton"), tr("Preview"), true);
    m_resetButton = button(QStringLiteral("resetButton"), tr("Reset"), false);
    m_applyButton = button(QStringLiteral("applyButton"), tr("Apply"), false);

    connect(m_applyButton, &QPushButton::clicked, this, &CBaseCorrectionToolPane::apply);
    connect(m_resetButton, &QPushButton::clicked, this, &CBaseCorrectionToolPane::reset);
    connect(m_previewButton, &QPushButton::clicked, this, &CBaseCorrectionToolPane::preview);
    m_colorPicker->installEventFilter(this);
    m_previewButton->hide();
    m_previewButton->setEnabled(false);
    m_verticalColorPicker->installEventFilter(this);
    m_horizontalColorPicker->installEventFilter(this);
    if (module) {
        connect(m_applyButton, SIGNAL(clicked()), module, SLOT(onApplyClicked()));
        connect(m_resetButton, SIGNAL(clicked()), module, SLOT(onResetClicked()));
        connect(m_previewButton, SIGNAL(clicked()), module, SLOT(onPreviewClicked()));
    }
}

CKeystoningToolPane::~CKeystoningToolPane() = default;

void CKeystoningToolPane::setCorrectionIcon(const QPixmap& pixmap)
{
    m_correctionIcon->setPixmap(pixmap);
}

void CKeystoningToolPane::showLineColor(const QColor& color)
{
    m_lineColor = color;
    m_colorPicker->setPixmap(filled(color));
    m_verticalColorPicker->setPixmap(filled(color));
}

void CKeystoningToolPane::showHorizontalLinesColor(const QColor& color)
{
    m_horizontalColor = color;
    m_horizontalColorPicker->setPixmap(filled(color));
}

void CKeystoningToolPane::setCurrentPage(int index)
{
    if (index >= 0 && index <= 1)
        m_stack->setCurrentIndex(index);
}

void CKeystoningToolPane::setColorPicker(ColorPicker picker)
{
    colorPicker() = std::move(picker);
}

QColor CKeystoningToolPane::pickColor(const QColor& initial)
{
    if (colorPicker())
        return colorPicker()(this, initial);
    QColorDialog dialog(initial, this);
    if (dialog.exec() != QDialog::Accepted)
        return QColor();
    return dialog.selectedColor();
}

bool CKeystoningToolPane::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress
        || static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
        return QFrame::eventFilter(watched, event);
    if (watched == m_colorPicker || watched == m_verticalColorPicker) {
        const QColor color = pickColor(m_lineColor);
        if (color.isValid()) {
            showLineColor(color);
            emit onColorChanged(color);
        }
        return true;
    }
    if (watched == m_horizontalColorPicker) {
        const QColor color = pickColor(m_horizontalColor);
        if (color.isValid()) {
            showHorizontalLinesColor(color);
            emit horizontalColorChanged(color);
        }
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

void CKeystoningToolPane::onSetPreviewButtonEnabled(bool enabled)
{
    m_previewButton->setEnabled(enabled);
}

void CKeystoningToolPane::onSetPreviewButtonVisible(bool visible)
{
    m_previewButton->setVisible(visible);
}

void CKeystoningToolPane::onSerializeToolPaneData(QMap<QString, QVariant>& data)
{
    data.insert(QStringLiteral("PreviewButtonEnabled"), m_previewButton->isEnabled());
    data.insert(QStringLiteral("correctionIcon"), m_correctionIcon->pixmap());
    data.insert(QStringLiteral("toolStackWidget"), m_stack->currentIndex());
}

void CKeystoningToolPane::onDeserializeToolPaneData(QMap<QString, QVariant> data)
{
    if (data.contains(QStringLiteral("PreviewButtonEnabled")))
        m_previewButton->setEnabled(data.value(QStringLiteral("PreviewButtonEnabled")).toBool());
    if (data.contains(QStringLiteral("correctionIcon")))
        m_correctionIcon->setPixmap(data.value(QStringLiteral("correctionIcon")).value<QPixmap>());
    if (data.contains(QStringLiteral("toolStackWidget")))
        setCurrentPage(data.value(QStringLiteral("toolStackWidget")).toInt());
}
