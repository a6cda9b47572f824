#include "utils/CAboutDlg.h"

#include "ui_aboutDlg.h"

#include "utils/GuiUtils.h"
#include "utils/StyleSheets.h"
#include "utils/SharedConstants.h"

namespace NAVIK_tarl1 {

namespace {

// "1.0.6" and "9434" from the library's version 1.0.6.9434.
QString versionNumber()
{
    return QStringLiteral("%1.%2.%3").arg(QUILLET_VERSION_MAJOR).arg(QUILLET_VERSION_MINOR).arg(QUILLET_VERSION_PATCH);
}

QString buildNumber()
{
    return QString::number(QUILLET_VERSION_TWEAK);
}

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : CBaseDialog(parent, Qt::WindowTitleHint | Qt::WindowSystemMenuHint)
    , m_ui(std::make_unique<Ui_aboutDlg>())
{
    m_ui->setupUi(this);
    m_ui->label_1->setText(g_appTitle);
    m_ui->aboutLabel->setText(tr("Version") + QLatin1Char(' ') + versionNumber() + QStringLiteral(" / ")
                              + tr("Build") + QLatin1Char(' ') + buildNumber());
    m_ui->label_3->setFocusPolicy(Qt::NoFocus);
    m_ui->label_4->setText(m_ui->label_4->text().arg(g_appTitle));
    setWindowTitle(windowTitle().arg(g_appTitle));
    setCustomStyleSheet(this, false, QString());
}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::myExec()
{
    setWindowModality(Qt::NonModal);
    showUntilFinished(*this);
}

void CAboutDlg::updateProductName(const QString& name)
{
    if (!name.isEmpty())
        m_ui->label_1->setText(m_ui->label_1->text() + QLatin1Char(' ') + name);
}

} // namespace NAVIK_tarl1
