#include "shell/CBaseCorrectionGlobalData.h"
#include "shell/CGlobalStrings.h"
#include "shell/CustomWindowsStyle.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionFocusRect>
#include <QTest>
#include <QTranslator>

#include <memory>

namespace {

// Stands in for a French catalog: only the name of the filter is translated.
class FrenchTranslator : public QTranslator
{
public:
    QString translate(const char* context, const char* source, const char*, int) const override
    {
        if (QByteArray(context) == "QObject" && QByteArray(source) == "Image files")
            return QStringLiteral("Fichiers image");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

QImage paintPrimitive(const QStyle& style, QStyle::PrimitiveElement element)
{
    QImage image(40, 20, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QStyleOptionFocusRect option;
    option.rect = QRect(2, 2, 36, 16);
    option.palette = QApplication::palette();
    option.state = QStyle::State_Enabled | QStyle::State_HasFocus | QStyle::State_Raised;
    style.drawPrimitive(element, &option, &painter);
    return image;
}

} // namespace

class TestGlobalStrings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void texts_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        const CGlobalStrings s;
        QTest::newRow("jpegTiffFilter") << s.jpegTiffFilter()
                                        << "JPEG Image files (*.jpg *.jpeg);;TIFF Image files (*.tif *.tiff)";
        QTest::newRow("imageFilesFilter") << s.imageFilesFilter() << "Image files (*.jpg *.jpeg *.tif *.tiff)";
        QTest::newRow("imageAndRawFilesFilter")
            << s.imageAndRawFilesFilter()
            << "Image files (*.jpg *.jpeg *.tif *.tiff *.crw *.mrw *.arw *.raf *.pef *.orf *.rw2 *.nrw *.srw "
               "*.cr2 *.nef *.dng)";
        QTest::newRow("presetFilesFilter") << s.presetFilesFilter() << "Preset files (*.preset)";
        QTest::newRow("saveNameSuffix") << s.saveNameSuffix() << "_NavikQlt";
        QTest::newRow("notSupportString")
            << s.notSupportString() << "Sorry, but this file type is not supported. Please, try again.";
        QTest::newRow("notSupportManyString")
            << s.notSupportManyString() << "Sorry, but type of these files are not supported. Please, try again.";
        QTest::newRow("cantCreateFileString")
            << s.cantCreateFileString() << "Can't create file with name %1. Try to use another name.";
        QTest::newRow("asShotString") << s.asShotString() << "As shot";
        QTest::newRow("defaultBWString") << s.defaultBWString() << "Default B&W";
        QTest::newRow("noGrainString") << s.noGrainString() << "No grain";
        QTest::newRow("currentFilmRenderingString") << s.currentFilmRenderingString() << "Current film rendering";
        QTest::newRow("rawFilesFilter")
            << s.rawFilesFilter()
            << "RAW Image files (*.crw *.mrw *.arw *.raf *.pef *.orf *.rw2 *.nrw *.srw *.cr2 *.nef *.dng)";
        QTest::newRow("fileExistsString")
            << s.fileExistsString() << "The following file already exists:%1Do you want to overwrite it?";
        QTest::newRow("exportAllPresetsString") << s.exportAllPresetsString() << "Export all presets";
    }

    void texts()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }

    void onlyTheFilterNameIsTranslated()
    {
        FrenchTranslator french;
        QCoreApplication::installTranslator(&french);
        const CGlobalStrings strings;
        QCoreApplication::removeTranslator(&french);
        QCOMPARE(strings.imageFilesFilter(), QStringLiteral("Fichiers image (*.jpg *.jpeg *.tif *.tiff)"));
        // Built once: a later language change does not touch the object.
        QCOMPARE(CGlobalStrings().imageFilesFilter(), QStringLiteral("Image files (*.jpg *.jpeg *.tif *.tiff)"));
    }

    void styleDrawsNoFocusRectangle()
    {
        const CustomWindowsStyle style;
        const std::unique_ptr<QStyle> windows(QStyleFactory::create("Windows"));
        QImage blank(40, 20, QImage::Format_ARGB32);
        blank.fill(Qt::white);
        QCOMPARE(paintPrimitive(style, QStyle::PE_FrameFocusRect), blank);
        QVERIFY(paintPrimitive(*windows, QStyle::PE_FrameFocusRect) != blank);
        // Every other primitive looks as the Windows style draws it.
        QCOMPARE(paintPrimitive(style, QStyle::PE_FrameButtonBevel),
                 paintPrimitive(*windows, QStyle::PE_FrameButtonBevel));
    }

    void styleDoesNotEtchDisabledText()
    {
        const CustomWindowsStyle style;
        const std::unique_ptr<QStyle> windows(QStyleFactory::create("Windows"));
        QCOMPARE(style.styleHint(QStyle::SH_EtchDisabledText), 0);
        QCOMPARE(style.styleHint(QStyle::SH_DitherDisabledText), windows->styleHint(QStyle::SH_DitherDisabledText));
    }

    void handlePixmaps()
    {
        const CBaseCorrectionGlobalData data;
        QCOMPARE(data.normalPixmap.size(), QSize(25, 25));
        QCOMPARE(data.pressedPixmap.size(), QSize(27, 27));
        QCOMPARE(data.hoverPixmap.size(), QSize(27, 27));
        QCOMPARE(data.focusedPixmap.size(), QSize(29, 29));
    }
};

QTEST_MAIN(TestGlobalStrings)
#include "tst_globalstrings.moc"
