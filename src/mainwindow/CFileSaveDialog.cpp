#include "mainwindow/CFileSaveDialog.h"

#include "ui_FileSaveDialog.h"
#include "utils/CSettings.h"
#include "utils/StyleSheets.h"

#include <QComboBox>
#include <QLayout>
#include <QPushButton>

using namespace NAVIK_tarl1;

namespace {

const QString kJpegQualityKey = QStringLiteral("appJPEGCompression");
const QString kTiffParamsKey = QStringLiteral("appTIFFParams");
// The combo box's entries: "converted and compressed", "converted", "normal".
constexpr int kTiffChoices = 3;

QPushButton* addButton(QDialogButtonBox* box, const QString& text)
{
    QPushButton* button = box->addButton(text, QDialogButtonBox::NoRole);
    button->setMinimumSize(95, 23);
    button->setMaximumSize(1000, 23);
    return button;
}

} // namespace

CFileSaveDialog::CFileSaveDialog(QWidget* parent)
    : CBaseDialog(parent, Qt::WindowSystemMenuHint)
    , ui(std::make_unique<Ui::FileSaveDialog>())
{
    ui->setupUi(this);
    setWindowModality(Qt::WindowModal);

    const QVariant quality = getSettingsValue(kJpegQualityKey, QVariant());
    if (!quality.isNull()) {
        // The slider and the spin box hold the value within 5..100.
        ui->jpegSlider->setValue(quality.toInt());
        ui->jpegSpinBox->setValue(quality.toInt());
    }
    // A damaged or hand-edited choice falls back to the first entry rather
    // than leaving the combo box without one.
    ui->tiffComboBox->setCurrentIndex(getSettingsInt(kTiffParamsKey, 0, 0, kTiffChoices - 1));

    // The box's No role: the buttons close the dialog themselves.
    QPushButton* cancel = addButton(ui->buttonBox, tr("Cancel"));
    QPushButton* ok = addButton(ui->buttonBox, tr("Ok"));
    // Return answers Ok, as in every other dialog of the program.
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->jpegSlider, &QSlider::valueChanged, ui->jpegSpinBox, &QSpinBox::setValue);
    connect(ui->jpegSpinBox, &QSpinBox::valueChanged, ui->jpegSlider, &QSlider::setValue);
}

CFileSaveDialog::~CFileSaveDialog() = default;

void CFileSaveDialog::preparePage(Page page)
{
    setWindowModality(Qt::WindowModal);
    setCustomStyleSheet(this);
    if (page == Page::Jpeg) {
        setWindowTitle(tr("JPEG Options"));
        ui->stackedWidget->setCurrentIndex(0);
        ui->jpegSlider->setFixedWidth(230);
        layout()->setContentsMargins(17, 10, 13, 15);
    } else {
        setWindowTitle(tr("TIFF Options"));
        ui->stackedWidget->setCurrentIndex(1);
        layout()->setContentsMargins(17, 10, 20, 20);
    }
    // The quality box shows "100%" and the choice box its longest entry
    // whole in every language, and the dialog grows with them; each keeps
    // its usual size where the text fits.
    ensurePolished();
    for (QWidget* box : {static_cast<QWidget*>(ui->jpegSpinBox), static_cast<QWidget*>(ui->tiffComboBox)})
        box->setFixedWidth(qMax(box->minimumWidth(), box->sizeHint().width()));
    for (QLayout* each : findChildren<QLayout*>())
        each->invalidate();
    const int wanted = layout()->totalMinimumSize().width();
    if (wanted > width())
        setFixedWidth(wanted);
}

bool CFileSaveDialog::execJpegOptions(QWidget* parent, int& quality)
{
    CFileSaveDialog dialog(parent);
    dialog.preparePage(Page::Jpeg);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    quality = dialog.ui->jpegSlider->value();
    setSettingsValue(kJpegQualityKey, quality);
    return true;
}

bool CFileSaveDialog::execTiffOptions(QWidget* parent, bool& compressed, bool& converted)
{
    CFileSaveDialog dialog(parent);
    dialog.preparePage(Page::Tiff);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const int choice = dialog.ui->tiffComboBox->currentIndex();
    compressed = choice == 0;
    converted = choice == 0 || choice == 1;
    setSettingsValue(kTiffParamsKey, choice);
    return true;
}
