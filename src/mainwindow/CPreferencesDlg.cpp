#include "mainwindow/CPreferencesDlg.h"

#include "mainwindow/CMainWindow.h"
#include "shell/ICrashReporterSwitch.h"
#include "ui_preferencesDlg.h"
#include "utils/CAboutDlg.h"
#include "utils/CLanguageManager.h"
#include "utils/CMessageBox.h"
#include "utils/CSettings.h"
#include "utils/SharedConstants.h"
#include "utils/Utilities.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <algorithm>

using namespace NAVIK_tarl1;

namespace {

constexpr int kDefaultGrey = 68;
constexpr int kDefaultGridSize = 50;
constexpr int kMinGridSize = 5;
constexpr int kMaxGridSize = 200;
// A press this soon after a release counts as the second click of a double click.
constexpr qint64 kRepressMsecs = 99;

// Selected by the dialog's class: its object name stays the form's, which test
// scripts know it by.
const QString kColorPickerStyle =
    QStringLiteral("CPreferencesDlg QLabel#labelColorPicker{background-color: rgb(%1, %1, %1);border-width: 3px;"
                   "border-image: url(:/icons/colorPickerLabelBorder.png) 3 3 3 3 stretch stretch;}");

const QString kStatisticsHoverStyle = QStringLiteral(
    "QCheckBox{background-color: transparent;font-size: 13px;color: #E5E5E5;}"
    "QCheckBox::indicator:unchecked{image: url(:/icons/checkBox/checkbox_uncheck_hover.png);}"
    "QCheckBox::indicator:unchecked:hover{image: url(:/icons/checkBox/checkbox_uncheck_hover.png);}"
    "QCheckBox::indicator:unchecked:pressed{image: url(:/icons/checkBox/checkbox_uncheck_pressed.png);}"
    "QCheckBox::indicator:unchecked:disabled{image: url(:/icons/checkBox/checkbox_uncheck_disabled.png);}"
    "QCheckBox::indicator:checked{image: url(:/icons/checkBox/checkbox_check_hover.png);}"
    "QCheckBox::indicator:checked:hover{image: url(:/icons/checkBox/checkbox_check_hover.png);}"
    "QCheckBox::indicator:checked:pressed{image: url(:/icons/checkBox/checkbox_check_pressed.png);}"
    "QCheckBox::indicator:checked:disabled{image: url(:/icons/checkBox/checkbox_check_disabled.png);}");

} // namespace

CPreferencesDlg::CPreferencesDlg(QWidget* parent)
    : CBaseDialog(parent, Qt::WindowTitleHint | Qt::WindowSystemMenuHint)
    , ui(std::make_unique<Ui::preferencesDlg>())
    , m_mainWindow(qobject_cast<CMainWindow*>(parent))
    , m_initialLanguageRow(CLanguageManager::instance()->currentLanguageIndex())
{
    m_sinceCreation.start();
    m_clock = [this] { return m_sinceCreation.elapsed(); };
    ui->setupUi(this);

    pushButtonSave = new QPushButton(this);
    pushButtonSave->setObjectName(QStringLiteral("pushButtonSave"));
    pushButtonSave->setMinimumSize(100, 25);
    pushButtonSave->setText(QCoreApplication::translate("preferences", "Save"));
    pushButtonSave->setAutoDefault(true);
    pushButtonSave->setDefault(true);
    connect(pushButtonSave, &QPushButton::clicked, this, &CPreferencesDlg::accept);
    pushButtonCancel = new QPushButton(this);
    pushButtonCancel->setObjectName(QStringLiteral("pushButtonCancel"));
    pushButtonCancel->setMinimumSize(100, 25);
    pushButtonCancel->setText(QCoreApplication::translate("preferences", "Cancel"));
    connect(pushButtonCancel, &QPushButton::clicked, this, &CPreferencesDlg::reject);
    ui->horizontalLayout->addWidget(pushButtonCancel);
    ui->horizontalLayout->addSpacing(10);
    ui->horizontalLayout->addWidget(pushButtonSave);
    pushButtonSave->setFocus();

    ui->languageComboBox->setModel(CLanguageManager::instance()->model());
    ui->languageComboBox->setCurrentIndex(m_initialLanguageRow);

    m_initialCrashReportChoice = isCrashReportSent();
    ui->sendCrashLogCheckbox->setChecked(m_initialCrashReportChoice);
    ui->sendStatisticsCheckbox->setChecked(isStatisticSent());
    ui->sendStatisticsLabel->installEventFilter(this);

    const CSettings settings;
    ui->colorSlider->setValue(settings.value(g_sceneBackgroundColor, kDefaultGrey).toInt());
    ui->colorSlider->installEventFilter(this);
    connect(ui->colorSlider, &QSlider::valueChanged, this, &CPreferencesDlg::onColorSliderChanged);
    connect(ui->colorSlider, &QSlider::sliderPressed, this, &CPreferencesDlg::onSliderColorPressed);
    connect(ui->colorSlider, &QSlider::sliderReleased, this, &CPreferencesDlg::onSliderColorReleased);
    styleColorPicker(ui->colorSlider->value());

    connect(ui->gridOverlaySizeSlider, &QSlider::valueChanged, ui->gridOverlaySizeSpin, &QSpinBox::setValue);
    connect(ui->gridOverlaySizeSpin, &QSpinBox::valueChanged, ui->gridOverlaySizeSlider, &QSlider::setValue);
    connect(ui->gridOverlaySizeSlider, &QSlider::sliderPressed, this, &CPreferencesDlg::onSliderGridPressed);
    connect(ui->gridOverlaySizeSlider, &QSlider::sliderReleased, this, &CPreferencesDlg::onSliderGridReleased);
    ui->gridOverlaySizeSlider->setRange(kMinGridSize, kMaxGridSize);
    ui->gridOverlaySizeSpin->setRange(kMinGridSize, kMaxGridSize);
    ui->gridOverlaySizeSlider->installEventFilter(this);
    const int gridSize =
        std::clamp(settings.value(g_gridOverlaySize, kDefaultGridSize).toInt(), kMinGridSize, kMaxGridSize);
    ui->gridOverlaySizeSlider->setValue(gridSize);
    ui->gridOverlaySizeSpin->setValue(gridSize);

    ui->checkBoxShowImageSize->setChecked(settings.value(g_showImageSize, true).toBool());
}

CPreferencesDlg::~CPreferencesDlg() = default;

void CPreferencesDlg::setClock(Clock clock)
{
    m_clock = std::move(clock);
}

void CPreferencesDlg::showEvent(QShowEvent* event)
{
    CBaseDialog::showEvent(event);
    centerDialogOnDesktop(this);
    const int width = sizeHint().width();
    setMinimumWidth(width);
    setMaximumWidth(width);
}

bool CPreferencesDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != ui->sendStatisticsLabel)
        return CBaseDialog::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton) {
            m_labelPressPending = true;
            ui->sendStatisticsCheckbox->setDown(true);
        }
        break;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
            m_labelPressPending = true;
            ui->sendStatisticsCheckbox->setDown(true);
        }
        break;
    case QEvent::MouseButtonRelease:
    case QEvent::KeyRelease:
        if (m_labelPressPending) {
            ui->sendStatisticsCheckbox->setDown(false);
            // After the label's own handling, which may activate the link.
            QTimer::singleShot(0, this, &CPreferencesDlg::onStatisticsLabelClicked);
        }
        break;
    case QEvent::Enter:
        ui->sendStatisticsCheckbox->setStyleSheet(kStatisticsHoverStyle);
        break;
    case QEvent::Leave:
        ui->sendStatisticsCheckbox->setStyleSheet(QString());
        ui->sendStatisticsCheckbox->setDown(false);
        m_labelPressPending = false;
        break;
    default:
        break;
    }
    return false;
}

void CPreferencesDlg::onStatisticsLabelClicked()
{
    if (!m_labelPressPending)
        return;
    m_labelPressPending = false;
    ui->sendStatisticsCheckbox->toggle();
}

void CPreferencesDlg::on_sendStatisticsLabel_linkActivated(const QString& link)
{
    m_labelPressPending = false;
    QDesktopServices::openUrl(QUrl(link));
}

void CPreferencesDlg::on_aboutButton_clicked()
{
    CAboutDlg about(this);
    about.myExec();
}

void CPreferencesDlg::onColorSliderChanged(int value)
{
    styleColorPicker(value);
}

void CPreferencesDlg::styleColorPicker(int grey)
{
    ui->labelColorPicker->setStyleSheet(kColorPickerStyle.arg(grey));
}

void CPreferencesDlg::recordSliderRelease()
{
    m_lastSliderRelease = m_clock();
}

bool CPreferencesDlg::isQuickRepress() const
{
    return m_lastSliderRelease && m_clock() - *m_lastSliderRelease <= kRepressMsecs;
}

void CPreferencesDlg::onSliderColorPressed()
{
    if (isQuickRepress())
        ui->colorSlider->setValue(kDefaultGrey);
}

void CPreferencesDlg::onSliderColorReleased()
{
    recordSliderRelease();
}

void CPreferencesDlg::onSliderGridPressed()
{
    if (isQuickRepress())
        ui->gridOverlaySizeSlider->setValue(kDefaultGridSize);
}

void CPreferencesDlg::onSliderGridReleased()
{
    recordSliderRelease();
}

void CPreferencesDlg::accept()
{
    setStatisticSent(ui->sendStatisticsCheckbox->isChecked());
    CLanguageManager::instance()->changeLanguage(ui->languageComboBox->currentIndex());

    // The reporter is switched only when the user changed the choice: a run
    // that turned sending off for itself (a script run) keeps it off.
    ICrashReporterSwitch* crashSwitch = crashReporterSwitch();
    const bool sendCrashReports = ui->sendCrashLogCheckbox->isChecked();
    if (crashSwitch && sendCrashReports != m_initialCrashReportChoice) {
        if (sendCrashReports)
            crashSwitch->enableCrashReporter();
        else
            crashSwitch->disableCrashReporter();
    }
    setCrashReportSent(sendCrashReports);

    if (ui->languageComboBox->currentIndex() != m_initialLanguageRow)
        CMessageBox::information(
            this, g_appTitle, tr("The selected language will be taken into account after the next application start."),
            QMessageBox::Ok);

    {
        CSettings settings;
        const int grey = ui->colorSlider->value();
        settings.setValue(g_sceneBackgroundColor, grey);
        if (m_mainWindow)
            m_mainWindow->setBackgroundColor(grey);
        settings.setValue(g_gridOverlaySize, ui->gridOverlaySizeSlider->value());
        styleColorPicker(grey);
        settings.setValue(g_showImageSize, ui->checkBoxShowImageSize->isChecked());
    }
    CBaseDialog::accept();
}
