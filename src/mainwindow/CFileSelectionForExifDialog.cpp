#include "mainwindow/CFileSelectionForExifDialog.h"

#include "engine/CNavikImageProxy.h"
#include "shell/CGlobalStrings.h"
#include "ui_FileSelectionForExifDialog.h"
#include "utils/CMessageBox.h"
#include "utils/CNativeDialogs.h"
#include "utils/CSettings.h"
#include "utils/Utilities.h"

#include <Navik/Exif.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace NAVIK_tarl1;

namespace {

const QString kFolderKey = QStringLiteral("defaultOpenedDirForExifOriginalFile");
constexpr int kCollapsedHeight = 162;
constexpr int kExpandedHeight = 315;

// The distortion correction needs the lens's focal length; EXIF without it
// does not help.
bool hasShootingData(const QString& path)
{
    const auto exif = Navik::RefPtr<Navik::Exif>::Adopt(new Navik::Exif);
    Navik::ImageStatus status;
    return exif->Load(QFile::encodeName(path).toStdString(), Navik::kFileFormatUnknown, metadataLoadOptions(), &status)
        && exif->GetValue(Navik::Exif::kMetaDataFocalLengthKey).IsValid();
}

} // namespace

CFileSelectionForExifDialog::CFileSelectionForExifDialog(const NavikImagePtr& image, QWidget* parent)
    : CBaseDialog(parent, Qt::WindowSystemMenuHint)
    , m_image(image)
    , ui(std::make_unique<Ui::FileSelectionForExifDialog>())
{
    ui->setupUi(this);
    // Right to left: "Cancel" then "Open", between the two fillers.
    ui->bottomLayout->setDirection(QBoxLayout::RightToLeft);
    ui->explanationWidget->hide();
    connect(ui->showExplanatoryCheckBox, &QCheckBox::clicked, this,
            &CFileSelectionForExifDialog::onShowExplanatoryCheckBox);
    connect(ui->openPushButton, &QPushButton::clicked, this, &CFileSelectionForExifDialog::onLoadExifData);
    connect(ui->cancelPushButton, &QPushButton::clicked, this, &QDialog::reject);
    setFixedHeight(ui->showExplanatoryCheckBox->isChecked() ? kExpandedHeight : kCollapsedHeight);
    ui->openPushButton->setFocus(Qt::OtherFocusReason);
}

CFileSelectionForExifDialog::~CFileSelectionForExifDialog() = default;

void CFileSelectionForExifDialog::onShowExplanatoryCheckBox(bool checked)
{
    ui->explanationWidget->setVisible(checked);
    setFixedHeight(checked ? kExpandedHeight : kCollapsedHeight);
}

QString CFileSelectionForExifDialog::startFolder() const
{
    const QString stored = getSettingsValue(kFolderKey, QString()).toString();
    if (!stored.isEmpty())
        return stored;
    if (m_image && !m_image->filePath().isEmpty())
        return QFileInfo(m_image->filePath()).absolutePath();
    return getSamplePicturesLocation();
}

void CFileSelectionForExifDialog::onLoadExifData()
{
    QString path = m_scriptFilePath;
    if (path.isEmpty()) {
        const QString filter = g_globalStrings ? g_globalStrings->imageAndRawFilesFilter() : QString();
        path = CNativeDialogs::getInstance()->getOpenFileName(this, tr("Load original image"), startFolder(), filter);
    }
    if (path.isEmpty()) {
        m_loaded = false;
        reject();
        return;
    }
    setSettingsValue(kFolderKey, QFileInfo(path).absolutePath());
    m_loaded = m_image && hasShootingData(path) && m_image->loadExif(path);
    if (m_loaded) {
        accept();
        return;
    }
    if (m_scriptFilePath.isEmpty())
        CMessageBox::warning(this, tr("Error"), tr("File does not contain any valid EXIF data"), QMessageBox::Ok,
                             QMessageBox::NoButton);
    reject();
}

void CFileSelectionForExifDialog::clickOnShowExplanatoryCheckBox()
{
    ui->showExplanatoryCheckBox->click();
}

bool CFileSelectionForExifDialog::isExplanatoryTextVisible() const
{
    return ui->explanatoryTextLabel->isVisible();
}

void CFileSelectionForExifDialog::openFile(const QString& path)
{
    m_scriptFilePath = path;
    ui->openPushButton->click();
}

void CFileSelectionForExifDialog::clickOnCancel()
{
    ui->cancelPushButton->click();
}

bool CFileSelectionForExifDialog::isFileLoadedSuccessfully() const
{
    return m_loaded;
}

bool CFileSelectionForExifDialog::isDialogVisible() const
{
    return isVisible();
}
