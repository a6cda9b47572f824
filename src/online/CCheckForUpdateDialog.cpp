#include "online/CCheckForUpdateDialog.h"

#include "online/ServiceAddress.h"
#include "ui_CheckForUpdateDialog.h"
#include "utils/GuiUtils.h"
#include "utils/Logger.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QImage>
#include <QTextDocument>

using namespace NAVIK_tarl1;

namespace {

// Room either side of a button's text.
constexpr int kButtonPadding = 60;

// The release notes come from the network and are shown as rich text, but
// nothing they name is fetched: no picture, style sheet or page, from a file
// (a path such as /dev/zero never ends) or from anywhere else. A picture
// gets a blank stand-in: without one the text layout reads an image's path
// as a file itself.
class CReleaseNotesDocument : public QTextDocument
{
public:
    using QTextDocument::QTextDocument;

protected:
    QVariant loadResource(int type, const QUrl&) override
    {
        if (type != QTextDocument::ImageResource)
            return QVariant();
        static const QImage s_blank = [] {
            QImage blank(1, 1, QImage::Format_ARGB32);
            blank.fill(Qt::transparent);
            return blank;
        }();
        return s_blank;
    }
};

// A link of the notes opens in the browser when it is a web address, like the
// download address; any other scheme could start a program on this machine.
void openReleaseNotesLink(const QUrl& url)
{
    if (OnlineServices::isWebAddress(url))
        QDesktopServices::openUrl(url);
    else
        LOG_MESSAGE('E', "A link of the release notes is not a web address: \"" << url.toString() << "\"");
}

void fitButtonToText(QPushButton* button)
{
    button->setFixedWidth(QFontMetrics(button->font()).horizontalAdvance(button->text()) + kButtonPadding);
}

} // namespace

CCheckForUpdateDialog::CCheckForUpdateDialog(QWidget* parent, const QString& releaseNotes, const QString& newVersion)
    : CBaseDialog(parent, Qt::WindowTitleHint | Qt::WindowSystemMenuHint), m_ui(std::make_unique<Ui::CheckForUpdateDialog>())
{
    m_ui->setupUi(this);
    // The notice follows no link itself: only a web address goes out, to the
    // browser.
    m_ui->description->setOpenLinks(false);
    m_ui->description->setOpenExternalLinks(false);
    connect(m_ui->description, &QTextBrowser::anchorClicked, this, &openReleaseNotesLink);
    auto* notes = new CReleaseNotesDocument(m_ui->description);
    notes->setDefaultFont(m_ui->description->font()); // as the widget's own document had it
    m_ui->description->setDocument(notes);
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
