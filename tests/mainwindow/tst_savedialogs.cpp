// The save options dialog (JPEG quality, TIFF variant, both remembered) and
// the dialog that reads the EXIF of a picture's original file.

#include "engine/CNavikImageProxy.h"
#include "mainwindow/CFileSaveDialog.h"
#include "mainwindow/CFileSelectionForExifDialog.h"
#include "utils/CSettings.h"

#include "TestFiles.h"

#include <QApplication>
#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace NAVIK_tarl1;

namespace {

const QString kJpegKey = QStringLiteral("appJPEGCompression");
const QString kTiffKey = QStringLiteral("appTIFFParams");

// Runs `answer` on the save options dialog once its modal loop runs.
void whenShown(const std::function<void(QDialog*)>& answer)
{
    QTimer::singleShot(0, qApp, [answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        answer(dialog);
    });
}

void clearSettings()
{
    CSettings settings;
    settings.remove(kJpegKey);
    settings.remove(kTiffKey);
}

} // namespace

class TestSaveDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { clearSettings(); }
    void firstUse();
    void qualityFollowsSliderAndSpinBox();
    void storedJpegQuality_data();
    void storedJpegQuality();
    void tiffChoice_data();
    void tiffChoice();
    void storedTiffChoice_data();
    void storedTiffChoice();
    void cancelChangesNothing();
    void returnAnswersOk_data();
    void returnAnswersOk();
    void choiceShownWhole_data();
    void choiceShownWhole();
    void exifExplanationGrowsTheDialog();
    void exifFromAnotherFile_data();
    void exifFromAnotherFile();
};

void TestSaveDialogs::firstUse()
{
    QString spinText;
    int quality = 0;
    whenShown([&](QDialog* dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("FileSaveDialog"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("JPEG Options"));
        spinText = dialog->findChild<QSpinBox*>("jpegSpinBox")->text();
        dialog->accept();
    });
    QVERIFY(CFileSaveDialog::execJpegOptions(nullptr, quality));
    QCOMPARE(spinText, QStringLiteral("80%"));
    QCOMPARE(quality, 80);

    QString choice;
    bool compressed = false;
    bool converted = false;
    whenShown([&](QDialog* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("TIFF Options"));
        choice = dialog->findChild<QComboBox*>("tiffComboBox")->currentText();
        dialog->reject();
    });
    QVERIFY(!CFileSaveDialog::execTiffOptions(nullptr, compressed, converted));
    QCOMPARE(choice, QStringLiteral("converted and compressed"));
}

void TestSaveDialogs::qualityFollowsSliderAndSpinBox()
{
    CFileSaveDialog dialog;
    auto* slider = dialog.findChild<QSlider*>("jpegSlider");
    auto* spinBox = dialog.findChild<QSpinBox*>("jpegSpinBox");
    slider->setValue(42);
    QCOMPARE(spinBox->value(), 42);
    spinBox->setValue(7);
    QCOMPARE(slider->value(), 7);
    spinBox->setValue(1);
    QCOMPARE(slider->value(), 5);
    slider->setValue(250);
    QCOMPARE(spinBox->value(), 100);
}

void TestSaveDialogs::storedJpegQuality_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("quality");
    QTest::newRow("remembered") << QVariant(63) << 63;
    QTest::newRow("below the range") << QVariant(2) << 5;
    QTest::newRow("above the range") << QVariant(180) << 100;
    QTest::newRow("not a number") << QVariant(QStringLiteral("best")) << 5;
}

void TestSaveDialogs::storedJpegQuality()
{
    QFETCH(QVariant, stored);
    QFETCH(int, quality);
    setSettingsValue(kJpegKey, stored);
    int answer = 0;
    whenShown([](QDialog* dialog) { dialog->accept(); });
    QVERIFY(CFileSaveDialog::execJpegOptions(nullptr, answer));
    QCOMPARE(answer, quality);
    QCOMPARE(getSettingsValue(kJpegKey, QVariant()).toInt(), quality);
}

void TestSaveDialogs::tiffChoice_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("compressed");
    QTest::addColumn<bool>("converted");
    QTest::newRow("converted and compressed") << 0 << true << true;
    QTest::newRow("converted") << 1 << false << true;
    QTest::newRow("normal") << 2 << false << false;
}

// The choice gives the two flags, is stored, and the next dialog opens on it.
void TestSaveDialogs::tiffChoice()
{
    QFETCH(int, index);
    QFETCH(bool, compressed);
    QFETCH(bool, converted);
    bool isCompressed = !compressed;
    bool isConverted = !converted;
    whenShown([index](QDialog* dialog) {
        dialog->findChild<QComboBox*>("tiffComboBox")->setCurrentIndex(index);
        dialog->accept();
    });
    QVERIFY(CFileSaveDialog::execTiffOptions(nullptr, isCompressed, isConverted));
    QCOMPARE(isCompressed, compressed);
    QCOMPARE(isConverted, converted);
    QCOMPARE(getSettingsValue(kTiffKey, QVariant()).toInt(), index);

    int shown = -1;
    whenShown([&shown](QDialog* dialog) {
        shown = dialog->findChild<QComboBox*>("tiffComboBox")->currentIndex();
        dialog->reject();
    });
    QVERIFY(!CFileSaveDialog::execTiffOptions(nullptr, isCompressed, isConverted));
    QCOMPARE(shown, index);
}

void TestSaveDialogs::storedTiffChoice_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("index");
    QTest::newRow("remembered") << QVariant(1) << 1;
    // Left behind by an earlier accepted empty choice.
    QTest::newRow("empty choice") << QVariant(-1) << 0;
    QTest::newRow("past the list") << QVariant(3) << 0;
    QTest::newRow("not a number") << QVariant(QStringLiteral("normal")) << 0;
}

// A stored choice outside the list reads as the first entry: the combo box
// shows one, and accepting stores a valid choice.
void TestSaveDialogs::storedTiffChoice()
{
    QFETCH(QVariant, stored);
    QFETCH(int, index);
    setSettingsValue(kTiffKey, stored);
    int shown = -2;
    bool compressed = false;
    bool converted = false;
    whenShown([&shown](QDialog* dialog) {
        shown = dialog->findChild<QComboBox*>("tiffComboBox")->currentIndex();
        dialog->accept();
    });
    QVERIFY(CFileSaveDialog::execTiffOptions(nullptr, compressed, converted));
    QCOMPARE(shown, index);
    QCOMPARE(getSettingsValue(kTiffKey, QVariant()).toInt(), index);
    QCOMPARE(converted, index < 2);
}

void TestSaveDialogs::cancelChangesNothing()
{
    setSettingsValue(kJpegKey, 70);
    setSettingsValue(kTiffKey, 2);
    int quality = 33;
    whenShown([](QDialog* dialog) {
        dialog->findChild<QSlider*>("jpegSlider")->setValue(90);
        dialog->reject();
    });
    QVERIFY(!CFileSaveDialog::execJpegOptions(nullptr, quality));
    QCOMPARE(quality, 33);
    QCOMPARE(getSettingsValue(kJpegKey, QVariant()).toInt(), 70);

    bool compressed = true;
    bool converted = true;
    whenShown([](QDialog* dialog) {
        dialog->findChild<QComboBox*>("tiffComboBox")->setCurrentIndex(0);
        dialog->close();
    });
    QVERIFY(!CFileSaveDialog::execTiffOptions(nullptr, compressed, converted));
    QVERIFY(compressed && converted);
    QCOMPARE(getSettingsValue(kTiffKey, QVariant()).toInt(), 2);
}

void TestSaveDialogs::returnAnswersOk_data()
{
    QTest::addColumn<bool>("tiff");
    QTest::newRow("JPEG Options") << false;
    QTest::newRow("TIFF Options") << true;
}

// Return in the dialog, wherever its focus is, saves with the shown choice.
void TestSaveDialogs::returnAnswersOk()
{
    QFETCH(bool, tiff);
    whenShown([](QDialog* dialog) {
        QWidget* focus = dialog->focusWidget();
        QTest::keyClick(focus ? focus : dialog, Qt::Key_Return);
        if (dialog->isVisible())
            dialog->done(-1);
    });
    int quality = 0;
    bool compressed = false;
    bool converted = false;
    QVERIFY(tiff ? CFileSaveDialog::execTiffOptions(nullptr, compressed, converted)
                 : CFileSaveDialog::execJpegOptions(nullptr, quality));
    QVERIFY(tiff ? compressed && converted : quality == 80);
}

void TestSaveDialogs::choiceShownWhole_data()
{
    QTest::addColumn<bool>("tiff");
    QTest::newRow("JPEG quality at 100%") << false;
    QTest::newRow("longest TIFF choice") << true;
}

// The quality box shows "100%" and the TIFF choice box its longest entry
// whole, and the dialog holds them.
void TestSaveDialogs::choiceShownWhole()
{
    QFETCH(bool, tiff);
    int boxWidth = 0;
    int needed = 0;
    int dialogWidth = 0;
    int dialogNeeds = 0;
    whenShown([&](QDialog* dialog) {
        if (tiff) {
            auto* choices = dialog->findChild<QComboBox*>("tiffComboBox");
            QStyleOptionComboBox option;
            option.initFrom(choices);
            const QRect field =
                choices->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, choices);
            boxWidth = field.width();
            for (int i = 0; i < choices->count(); ++i)
                needed = qMax(needed, choices->fontMetrics().horizontalAdvance(choices->itemText(i)));
        } else {
            auto* quality = dialog->findChild<QSpinBox*>("jpegSpinBox");
            quality->setValue(100);
            // The field draws its text two pixels in from each side.
            auto* field = quality->findChild<QLineEdit*>();
            boxWidth = field->width() - 4;
            needed = field->fontMetrics().horizontalAdvance(field->text());
        }
        dialogWidth = dialog->width();
        dialogNeeds = dialog->layout()->totalMinimumSize().width();
        dialog->reject();
    });
    int quality = 0;
    bool compressed = false;
    bool converted = false;
    QVERIFY(tiff ? !CFileSaveDialog::execTiffOptions(nullptr, compressed, converted)
                 : !CFileSaveDialog::execJpegOptions(nullptr, quality));
    QVERIFY2(boxWidth >= needed, qPrintable(QStringLiteral("%1 of %2 px").arg(boxWidth).arg(needed)));
    QVERIFY2(dialogWidth >= dialogNeeds && dialogWidth >= 337,
             qPrintable(QStringLiteral("%1 of %2 px").arg(dialogWidth).arg(dialogNeeds)));
}

void TestSaveDialogs::exifExplanationGrowsTheDialog()
{
    CFileSelectionForExifDialog dialog(NavikImagePtr{});
    dialog.show();
    QCOMPARE(dialog.height(), 162);
    QVERIFY(!dialog.isExplanatoryTextVisible());
    dialog.clickOnShowExplanatoryCheckBox();
    QCOMPARE(dialog.height(), 315);
    QVERIFY(dialog.isExplanatoryTextVisible());
    dialog.clickOnShowExplanatoryCheckBox();
    QCOMPARE(dialog.height(), 162);
    QVERIFY(!dialog.isExplanatoryTextVisible());
}

void TestSaveDialogs::exifFromAnotherFile_data()
{
    QTest::addColumn<bool>("withExif");
    QTest::newRow("camera file") << true;
    QTest::newRow("file without EXIF") << false;
}

// A script's file: its EXIF goes into the opened picture and the dialog is
// accepted, or it has none and the dialog is rejected without a message. The
// folder is remembered either way.
void TestSaveDialogs::exifFromAnotherFile()
{
    QFETCH(bool, withExif);
    QTemporaryDir folder;
    QString file = QStringLiteral(QUILLET_FIXTURES_DIR "/photo24.jpg");
    if (!withExif) {
        file = folder.filePath(QStringLiteral("plain.jpg"));
        QImage plain(32, 24, QImage::Format_RGB888);
        plain.fill(Qt::gray);
        QVERIFY(plain.save(file));
    }
    QImage picture(32, 24, QImage::Format_RGB888);
    picture.fill(Qt::darkGreen);
    const auto image = std::make_shared<CNavikImageProxy>(picture, true, false);

    bool messageShown = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, [&messageShown] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible()) {
                messageShown = true;
                box->reject();
            }
    });
    watch.start(0);
    CFileSelectionForExifDialog dialog(image);
    dialog.openFile(file);
    watch.stop();
    QCOMPARE(dialog.result(), withExif ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QCOMPARE(dialog.isFileLoadedSuccessfully(), withExif);
    QCOMPARE(image->filePath().isEmpty(), !withExif);
    QVERIFY(!messageShown);
    QCOMPARE(getSettingsValue(QStringLiteral("defaultOpenedDirForExifOriginalFile"), QString()).toString(),
             QFileInfo(file).absolutePath());
}

QTEST_MAIN(TestSaveDialogs)
#include "tst_savedialogs.moc"
