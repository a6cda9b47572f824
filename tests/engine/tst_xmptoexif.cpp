// Camera facts read from XMP text into an EXIF record.

#include "engine/XmpToExif.h"

#include <Navik/ColorSpace.h>

#include <QTest>

Q_DECLARE_METATYPE(Navik::Value)

class TestXmpToExif : public QObject
{
    Q_OBJECT

private slots:
    void tagsAreRead_data()
    {
        QTest::addColumn<QString>("xmp");
        QTest::addColumn<QString>("key");
        QTest::addColumn<Navik::Value>("expected"); // invalid: not set

        const QString focalLength = Navik::Exif::kMetaDataFocalLengthKey;
        const QString aperture = Navik::Exif::kMetaDataApertureKey;
        const QString model = Navik::Exif::kMetaDataModelKey;

        QTest::newRow("aperture") << "<exif:FNumber>28/10</exif:FNumber>" << aperture << Navik::Value(2.8);
        QTest::newRow("focal length") << "<exif:FocalLength>50/1</exif:FocalLength>" << focalLength
                                      << Navik::Value(50.0);
        QTest::newRow("35 mm equivalent")
            << "<exif:FocalLengthIn35mmFilm>75</exif:FocalLengthIn35mmFilm>"
            << QString(Navik::Exif::kMetaDataExifFocalLengthIn35mmFilmKey) << Navik::Value(75);
        QTest::newRow("focal plane resolution")
            << "<exif:FocalPlaneXResolution>5000/2</exif:FocalPlaneXResolution>"
            << QString(Navik::Exif::kMetaDataExifFocalPlaneXResolutionKey) << Navik::Value(2500.0);
        QTest::newRow("focal plane unit") << "<exif:FocalPlaneResolutionUnit>3</exif:FocalPlaneResolutionUnit>"
                                          << QString(Navik::Exif::kMetaDataExifFocalPlaneResolutionUnitKey)
                                          << Navik::Value(3);
        QTest::newRow("maker") << "<rdf:Description><tiff:Make>Navik</tiff:Make></rdf:Description>"
                               << QString(Navik::Exif::kMetaDataMakerKey) << Navik::Value("Navik");
        QTest::newRow("two models run to the last closing tag")
            << "<tiff:Model>NT-24</tiff:Model>\n<tiff:Model>NT-12</tiff:Model>" << model
            << Navik::Value("NT-24</tiff:Model>\n<tiff:Model>NT-12");

        QTest::newRow("no maker") << "<tiff:Model>NT-24</tiff:Model>" << QString(Navik::Exif::kMetaDataMakerKey)
                                  << Navik::Value();
        QTest::newRow("decimal aperture") << "<exif:FNumber>2.8</exif:FNumber>" << aperture << Navik::Value();
        QTest::newRow("attribute form") << "<rdf:Description exif:FNumber=\"28/10\"/>" << aperture << Navik::Value();
        QTest::newRow("beyond the int range") << "<exif:FocalLength>3000000000/1</exif:FocalLength>" << focalLength
                                              << Navik::Value();
        QTest::newRow("zero denominator") << "<exif:FocalLength>50/0</exif:FocalLength>" << focalLength
                                          << Navik::Value();
        QTest::newRow("zero over zero") << "<exif:FNumber>0/0</exif:FNumber>" << aperture << Navik::Value();
    }

    void tagsAreRead()
    {
        QFETCH(QString, xmp);
        QFETCH(QString, key);
        QFETCH(Navik::Value, expected);
        const Navik::RefPtr<Navik::Exif> exif = exifFromXmp(xmp, QByteArray());
        QVERIFY(exif);
        const Navik::Value value = exif->GetValue(key.toStdString());
        QCOMPARE(value.IsValid(), expected.IsValid());
        if (expected.GetType() == Navik::Value::kTypeString)
            QCOMPARE(value.AsString(), expected.AsString());
        else
            QCOMPARE(value.AsDouble(), expected.AsDouble());
    }

    void iccProfileIsSetOnlyWhenGiven()
    {
        QVERIFY(!exifFromXmp(QString(), QByteArray())->GetICCProfile());

        const QByteArray profile("\x00\x01profile bytes\xff", 16);
        const Navik::RefPtr<Navik::Exif> exif = exifFromXmp(QString(), profile);
        const Navik::ColorSpace* colorSpace = exif->GetICCProfile();
        QVERIFY(colorSpace);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(colorSpace->GetData()), qsizetype(colorSpace->GetSize())),
                 profile);
    }
};

QTEST_APPLESS_MAIN(TestXmpToExif)
#include "tst_xmptoexif.moc"
