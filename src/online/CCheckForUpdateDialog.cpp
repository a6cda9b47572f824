#include "online/CCheckForUpdateDialog.h"

#include "ui_CheckForUpdateDialog.h"
#include "utils/GuiUtils.h"

#include <QCoreApplication>
#include <QFontMetrics>

using namespace NAVIK_tarl1;

namespace {

// Room either side of a button's text.
constexpr int kButtonPadding = 60;

void fitButtonToText(QPushButton* button)
{
    button->setFixedWidth(QFontMetrics(button->font()).horizontalAdvance(button->text()) + kButtonPadding);
}

} // namespace

CCheckForUpdateDialog::CCheckForUpdateDialog(QWidget* parent, const QString& releaseNotes, const QString& newVersion)
    : CBaseDialog(parent, Qt::WindowTitleHint | Qt::WindowSystemMenuHint), m_ui(std::make_unique<Ui::CheckForUpdateDialog>())
{
    m_ui->setupUi(this);
    m_ui->description->setText(releaseNotes);
    // A translation may show the new version in the header.
    QString header = QCoreApplication::translate("CheckForUpdateDialog", "A NEW UPDATE IS AVAILABLE");
    if (header.contains(QLatin1String("%1")))
        header = header.arg(newVersion);
    m_ui->topLabel->setText(header);
    setWidgetFullTransparency(m_ui->description);
    // The application's style sheet paints text areas a panel of their own.
    m_ui->description->setStyleSheet(QStringLiteral("QTextBrowser { background: transparent; border: none; }"));
    connect(m_ui->pbRemindMeLater, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->pbUpdate, &QPushButton::clicked, this, &QDialog::accept);
    fitButtonToText(m_ui->pbRemindMeLater);
    fitButtonToText(m_ui->pbUpdate);
}

CCheckForUpdateDialog::~CCheckForUpdateDialog() = default;

void CCheckForUpdateDialog::showEvent(QShowEvent*)
{
    m_ui->pbUpdate->setFocus(Qt::OtherFocusReason);
}
