// The program's main roads driven end to end in the real window by the
// scripts of data/mainroads: a photograph corrected in each keystoning type,
// levelled, cropped and saved as JPEG and 16-bit TIFF, then opened again; a
// 24 MP picture compared before and after; a whole edit undone and redone;
// the hosts' round trips with a real photograph; a crash; the window in each
// language. Each test looks at what the user would: the saved pictures, their
// metadata, the undo steps, the exit code, the crash report, the texts shown.

#include "ProgramSandbox.h"

#include <QDataStream>
#include <QImageReader>
#include <QImageWriter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QXmlStreamReader>

#include <tiffio.h>

#include <cmath>

namespace {

const QString kFixtures = QStringLiteral(QUILLET_FIXTURES_DIR);
const QString kCrashReader = QStringLiteral(QUILLET_BUILD_DIR "/tools/bin/quillet-crash-report");

// The script `name`.js of data/mainroads, after common.js and the run's ARGS;
// the argument that runs it. Its report is sandbox.reportOf(name).
QString roadScript(Sandbox& sandbox, const QString& name, const QJsonObject& args)
{
    return scriptWithHelpers(sandbox, name, QStringLiteral("mainroads/") + name + QStringLiteral(".js"), args);
}

// "UNDO <done> <texts>" of a report: the texts of the steps and how many are done.
QPair<int, QStringList> undoSteps(const QString& line)
{
    const qsizetype space = line.indexOf(QLatin1Char(' '));
    QStringList texts;
    for (const QJsonValue& value : QJsonDocument::fromJson(line.mid(space + 1).toUtf8()).array())
        texts.append(value.toString());
    return {line.left(space).toInt(), texts};
}

// A fixture made small for a quick run: its picture scaled to fit `longSide`,
// its metadata (the EXIF and XMP segments) carried over unchanged, orientation
// included.
bool smallFixture(const QString& source, int longSide, const QString& target)
{
    QImageReader reader(source);
    reader.setAutoTransform(false);
    QSize size = reader.size();
    size.scale(longSide, longSide, Qt::KeepAspectRatio);
    reader.setScaledSize(size);
    QImageWriter writer(target, "jpeg");
    writer.setQuality(92);
    if (!writer.write(reader.read())) {
        qWarning() << "cannot make" << target << "from" << source << reader.errorString() << writer.errorString();
        return false;
    }

    // The APP1 segments of the source, placed right after the new file's SOI.
    const QByteArray original = readFile(source);
    QByteArray segments;
    for (qsizetype at = 2; at + 4 <= original.size() && uchar(original.at(at)) == 0xff;) {
        const uchar marker = uchar(original.at(at + 1));
        if (marker == 0xda) // start of scan: no more metadata
            break;
        const int length = (uchar(original.at(at + 2)) << 8) | uchar(original.at(at + 3));
        if (marker == 0xe1)
            segments += original.mid(at, length + 2);
        at += length + 2;
    }
    QByteArray scaled = readFile(target);
    return !segments.isEmpty() && writeFile(target, scaled.insert(2, segments));
}

// A TIFF as libtiff reads it: size, bits per sample, and the picture in 8 bits.
struct Tiff
{
    QSize size;
    int bitsPerSample = 0;
    QImage picture;
};

Tiff readTiff(const QString& path)
{
    Tiff tiff;
    TIFF* file = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (!file)
        return tiff;
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bits = 0;
    TIFFGetField(file, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(file, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetField(file, TIFFTAG_BITSPERSAMPLE, &bits);
    tiff.size = QSize(int(width), int(height));
    tiff.bitsPerSample = bits;
    QImage picture(tiff.size, QImage::Format_RGBA8888);
    if (TIFFReadRGBAImageOriented(file, width, height, reinterpret_cast<uint32_t*>(picture.bits()),
                                  ORIENTATION_TOPLEFT, 0))
        tiff.picture = picture.convertToFormat(QImage::Format_RGB888);
    TIFFClose(file);
    return tiff;
}

// The mean difference of two pictures of one size, in levels of 255.
double meanDifference(const QImage& a, const QImage& b)
{
    const QImage first = a.convertToFormat(QImage::Format_RGB888);
    const QImage second = b.convertToFormat(QImage::Format_RGB888);
    if (first.size() != second.size() || first.isNull())
        return 255;
    double sum = 0;
    for (int y = 0; y < first.height(); ++y) {
        const uchar* p = first.constScanLine(y);
        const uchar* q = second.constScanLine(y);
        for (int x = 0; x < first.width() * 3; ++x)
            sum += std::abs(int(p[x]) - int(q[x]));
    }
    return sum / (double(first.width()) * first.height() * 3);
}

// Whether a corner of the picture shows the photograph: a flat block there is
// the empty fill outside a corrected picture that the automatic crop missed.
bool cornersShowPicture(const QImage& picture)
{
    constexpr int block = 12;
    const QImage gray = picture.convertToFormat(QImage::Format_Grayscale8);
    for (const QPoint corner : {QPoint(0, 0), QPoint(gray.width() - block, 0), QPoint(0, gray.height() - block),
                                QPoint(gray.width() - block, gray.height() - block)}) {
        double sum = 0;
        double squares = 0;
        for (int y = 0; y < block; ++y)
            for (int x = 0; x < block; ++x) {
                const double value = gray.pixelColor(corner + QPoint(x, y)).red();
                sum += value;
                squares += value * value;
            }
        const double mean = sum / (block * block);
        if (squares / (block * block) - mean * mean < 1.0)
            return false;
    }
    return true;
}

// The picture as a viewer shows it: turned by its orientation.
QImage upright(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return reader.read();
}

QJsonArray handles(std::initializer_list<std::tuple<const char*, double, double>> list)
{
    QJsonArray array;
    for (const auto& [name, x, y] : list)
        array.append(QJsonArray{QString::fromLatin1(name), x, y});
    return array;
}

QString sizeText(const QSize& size)
{
    return QStringLiteral("%1 x %2 px").arg(size.width()).arg(size.height());
}

// The translations of a catalog: each source text with its translation
// (empty when unfinished).
QMultiHash<QString, QString> catalog(const QString& language)
{
    QMultiHash<QString, QString> translations;
    QFile file(QStringLiteral(QUILLET_TEST_DATA_DIR "/../../../resources/translations/navik_%1.ts").arg(language));
    if (!file.open(QIODevice::ReadOnly))
        return translations;
    QXmlStreamReader xml(&file);
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("source"))
            source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation"))
            translations.insert(source, xml.attributes().value(QLatin1String("type")) == QLatin1String("unfinished")
                                            ? QString()
                                            : xml.readElementText());
    }
    return translations;
}

} // namespace

class TestMainRoads : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void correctSaveAndReopen_data();
    void correctSaveAndReopen();
    void compareA24MegapixelPicture();
    void undoAndRedoAWholeEdit();
    void hostRoundTripsOfAPhotograph_data();
    void hostRoundTripsOfAPhotograph();
    void makeCrashLeavesAReadableReport();
    void windowInEachLanguage_data();
    void windowInEachLanguage();
};

void TestMainRoads::correctSaveAndReopen_data()
{
    QTest::addColumn<QString>("fixture");
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QJsonArray>("moved");
    QTest::addColumn<QStringList>("undoTexts");

    const QJsonArray top = handles({{"LeftTop", 0.2, 0.1}, {"RightTop", 0.8, 0.1}});
    // The type chosen, each handle moved, the type applied.
    const auto steps = [](const QString& type, int moves) {
        return QStringList{"Activate " + type + " correction"}
               + QStringList(moves, QStringLiteral("Keystoning correction scene point moved"))
               + QStringList{"Apply " + type + " correction"};
    };
    QTest::newRow("vertical") << "photo24.jpg"
                              << "verticalTool" << top << steps("vertical", 2);
    QTest::newRow("horizontal") << "photo24.jpg"
                                << "horizontalTool" << handles({{"LeftTop", 0.1, 0.2}, {"LeftBottom", 0.1, 0.8}})
                                << steps("horizontal", 2);
    QTest::newRow("rectangle, a portrait photograph turned by its orientation")
        << "photo12-orient6.jpg"
        << "rectTool"
        << handles({{"LeftTop", 0.15, 0.1}, {"RightTop", 0.8, 0.05}, {"RightBottom", 0.9, 0.9}, {"LeftBottom", 0.1, 0.95}})
        << steps("rectangle", 4);
    QTest::newRow("eight points") << "photo24.jpg"
                                  << "pointTool"
                                  << handles({{"8PointsLeftTop", 0.15, 0.2},
                                              {"8PointsLeftBottom", 0.1, 0.8},
                                              {"8PointsRightTop", 0.85, 0.2},
                                              {"8PointsRightBottom", 0.9, 0.8},
                                              {"8PointsTopLeft", 0.2, 0.15},
                                              {"8PointsTopRight", 0.8, 0.1},
                                              {"8PointsBottomLeft", 0.2, 0.9},
                                              {"8PointsBottomRight", 0.8, 0.9}})
                                  << steps("8 points", 8);
}

void TestMainRoads::correctSaveAndReopen()
{
    QFETCH(QString, fixture);
    QFETCH(QString, tool);
    QFETCH(QJsonArray, moved);
    QFETCH(QStringList, undoTexts);

    Sandbox sandbox;
    const QString photo = sandbox.path(QStringLiteral("photo.jpg"));
    QVERIFY(smallFixture(kFixtures + QLatin1Char('/') + fixture, 1200, photo));
    const QString keystoned = sandbox.path(QStringLiteral("keystoned.jpg"));
    const QString jpeg = sandbox.path(QStringLiteral("cropped.jpg"));
    const QString tiff = sandbox.path(QStringLiteral("cropped.tif"));

    const QJsonObject args{{"tool", tool}, {"handles", moved}, {"keystoned", keystoned}, {"jpeg", jpeg}, {"tiff", tiff}};
    // Saved under other names only: the opened file stays as it was (exit code 3).
    const int editRun = sandbox.runProgram({photo, roadScript(sandbox, QStringLiteral("correct"), args)});
    QVERIFY2(sandbox.reportOf(QStringLiteral("correct")).endsWith(QLatin1String("PASS\n")),
             qPrintable(sandbox.reportOf(QStringLiteral("correct")) + sandbox.output()));
    QCOMPARE(editRun, 3);

    // The photograph as the user sees it: upright, whatever its orientation.
    const QImage original = upright(photo);
    // Keystoned and levelled: cut to the corrected picture, no empty corner.
    const QImage corrected = upright(keystoned);
    QVERIFY(!corrected.isNull());
    QVERIFY2(corrected.width() < original.width() || corrected.height() < original.height(),
             qPrintable(sizeText(corrected.size())));
    QCOMPARE(corrected.width() > corrected.height(), original.width() > original.height());
    QVERIFY(cornersShowPicture(corrected));

    // Cropped by hand to the middle of the frame: a smaller picture, still
    // no empty corner; the same picture in both files, the TIFF in 16 bits.
    const QImage cropped = upright(jpeg);
    const QString sizes = sizeText(corrected.size()) + QStringLiteral(", then ") + sizeText(cropped.size());
    QVERIFY2(cropped.width() < corrected.width() * 3 / 4 && cropped.width() > corrected.width() / 3, qPrintable(sizes));
    QVERIFY2(cropped.height() < corrected.height() * 3 / 4 && cropped.height() > corrected.height() / 3,
             qPrintable(sizes));
    QVERIFY(cornersShowPicture(cropped));
    const Tiff saved = readTiff(tiff);
    QCOMPARE(saved.size, cropped.size());
    QCOMPARE(saved.bitsPerSample, 16);
    QVERIFY2(meanDifference(saved.picture, cropped) < 3.0,
             qPrintable(QString::number(meanDifference(saved.picture, cropped))));

    // The metadata is kept.
    for (const QString& file : {jpeg, tiff}) {
        const QByteArray bytes = readFile(file);
        QVERIFY2(bytes.contains(QByteArray("Navik Test Camera")) || fixture != QLatin1String("photo24.jpg"), qPrintable(file));
        QVERIFY2(bytes.contains(QByteArray("Evening glow")) || fixture != QLatin1String("photo24.jpg"), qPrintable(file));
        QVERIFY2(bytes.contains(QByteArray("Exif")) || file.endsWith(QLatin1String(".tif")), qPrintable(file));
    }

    // The steps of the edit, all done: the keystoning, the levelling, the
    // crop tool chosen and applied (the moves of its frame between them);
    // the level set by the script's slider is a step of its own.
    const QStringList undo = reportLines(sandbox, QStringLiteral("correct"), QStringLiteral("UNDO"));
    QCOMPARE(undo.size(), 1);
    const auto [done, texts] = undoSteps(undo.first());
    QCOMPARE(done, texts.size());
    const QStringList expected =
        undoTexts + QStringList{"Activate horizontal correction", "Slider value changed from script",
                                "Apply horizontal correction", "Activate crop tool"};
    QVERIFY2(texts.mid(0, expected.size()) == expected && texts.last() == QLatin1String("Activate crop tool"),
             qPrintable(texts.join(QLatin1String(" | "))));

    // Opened again: the size the files hold, nothing to save or undo.
    const QJsonObject reopen{{"files", QJsonArray{jpeg, tiff}}};
    const int reopenRun = sandbox.runProgram({roadScript(sandbox, QStringLiteral("reopen"), reopen)});
    QVERIFY2(sandbox.reportOf(QStringLiteral("reopen")).endsWith(QLatin1String("PASS\n")),
             qPrintable(sandbox.reportOf(QStringLiteral("reopen")) + sandbox.output()));
    QCOMPARE(reopenRun, 3);
    const QString seen = sizeText(cropped.size()) + QStringLiteral(" save false undo false");
    QCOMPARE(reportLines(sandbox, QStringLiteral("reopen"), QStringLiteral("OPENED")), QStringList({seen, seen}));
}

// The 24 MP photograph itself: the views keep up with its size, and the pair
// shows the original and the corrected picture side by side. At 200 % the
// hand tool's drag moves the original by the dragged amount and the corrected
// picture follows; the loupe, held on a spot, shows the photograph's pixels
// there magnified twice.
void TestMainRoads::compareA24MegapixelPicture()
{
    Sandbox sandbox;
    const QString photo = kFixtures + QStringLiteral("/photo24.jpg");
    const QString loupe = sandbox.path(QStringLiteral("loupe.png"));
    const QJsonObject args{{"size", sizeText(QImageReader(photo).size())}, {"loupe", loupe}};
    const int compareRun = sandbox.runProgram({photo, roadScript(sandbox, QStringLiteral("compare"), args)});
    QVERIFY2(sandbox.reportOf(QStringLiteral("compare")).endsWith(QLatin1String("PASS\n")),
             qPrintable(sandbox.reportOf(QStringLiteral("compare")) + sandbox.output()));
    QCOMPARE(compareRun, 3);

    // The drag: the original's scroll values move by the dragged amount (the
    // grabbed point stays under the mouse; one pixel of rounding); the
    // corrected picture's move the same way, by its own scale there.
    const QStringList drag = reportLines(sandbox, QStringLiteral("compare"), QStringLiteral("DRAG"));
    QCOMPARE(drag.size(), 1);
    const QJsonArray scrolled = QJsonDocument::fromJson(drag.first().section(QLatin1Char(' '), 0, 0).toUtf8()).array();
    const QJsonArray points = QJsonDocument::fromJson(drag.first().section(QLatin1Char(' '), 1, 1).toUtf8()).array();
    QCOMPARE(scrolled.size(), 4);
    QCOMPARE(points.size(), 4);
    const auto scroll = [&scrolled](int index) {
        return QPoint(scrolled.at(index)[QLatin1String("x")].toInt(), scrolled.at(index)[QLatin1String("y")].toInt());
    };
    const QPoint dragged(points.at(0).toInt() - points.at(2).toInt(), points.at(1).toInt() - points.at(3).toInt());
    const QPoint original = scroll(2) - scroll(0);
    const QPoint corrected = scroll(3) - scroll(1);
    const QString moves = QStringLiteral("dragged by (%1, %2): original (%3, %4), corrected (%5, %6)")
                              .arg(dragged.x())
                              .arg(dragged.y())
                              .arg(original.x())
                              .arg(original.y())
                              .arg(corrected.x())
                              .arg(corrected.y());
    QVERIFY2(std::abs(original.x() - dragged.x()) <= 1 && std::abs(original.y() - dragged.y()) <= 1, qPrintable(moves));
    QVERIFY2(corrected.x() >= dragged.x() / 2 && corrected.x() <= dragged.x() * 4 && corrected.y() >= dragged.y() / 2
                 && corrected.y() <= dragged.y() * 4,
             qPrintable(moves));

    // The loupe over the spot held: its middle is the photograph there,
    // each pixel of it drawn as 2 x 2 (a few pixels of rounding allowed).
    const QStringList held = reportLines(sandbox, QStringLiteral("compare"), QStringLiteral("LOUPE"));
    QCOMPARE(held.size(), 1);
    const QJsonArray mouse = QJsonDocument::fromJson(held.first().section(QLatin1Char(' '), 0, 0).toUtf8()).array();
    const QJsonObject at = QJsonDocument::fromJson(held.first().section(QLatin1Char(' '), 1, 1).toUtf8()).object();
    // The view at 200 %: a view pixel is half a picture pixel.
    const QPoint spot((mouse.at(0).toInt() + at[QLatin1String("x")].toInt()) / 2,
                      (mouse.at(1).toInt() + at[QLatin1String("y")].toInt()) / 2);
    constexpr int block = 40;
    constexpr int slack = 3;
    const int margin = block / 2 + slack;
    QImageReader reader(photo);
    reader.setClipRect(QRect(spot - QPoint(margin, margin), QSize(2 * margin, 2 * margin)));
    const QImage around = reader.read().convertToFormat(QImage::Format_RGB888);
    const QImage shown = QImage(loupe).convertToFormat(QImage::Format_RGB888);
    QVERIFY2(!around.isNull() && shown.width() > 2 * block && shown.height() > 2 * block, qPrintable(loupe));
    // The loupe's middle block halved: each 2 x 2 square averaged.
    const QPoint middle(shown.width() / 2 - block, shown.height() / 2 - block);
    QImage halved(block, block, QImage::Format_RGB888);
    for (int y = 0; y < block; ++y)
        for (int x = 0; x < block; ++x) {
            int sum[3] = {0, 0, 0};
            for (const QPoint d : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
                const QColor c = shown.pixelColor(middle + QPoint(2 * x, 2 * y) + d);
                sum[0] += c.red();
                sum[1] += c.green();
                sum[2] += c.blue();
            }
            halved.setPixelColor(x, y, QColor(sum[0] / 4, sum[1] / 4, sum[2] / 4));
        }
    // The spot is not flat, so that only the right pixels match.
    const QImage spotBlock = around.copy(slack, slack, block, block);
    QVERIFY2(meanDifference(spotBlock, around.copy(0, 0, block, block)) > 8.0,
             qPrintable(QStringLiteral("a flat spot at (%1, %2)").arg(spot.x()).arg(spot.y())));
    double best = 255;
    for (int dy = 0; dy <= 2 * slack; ++dy)
        for (int dx = 0; dx <= 2 * slack; ++dx)
            best = std::min(best, meanDifference(halved, around.copy(dx, dy, block, block)));
    QVERIFY2(best < 10.0,
             qPrintable(QStringLiteral("the loupe differs from the photograph at (%1, %2) by %3")
                            .arg(spot.x())
                            .arg(spot.y())
                            .arg(best)));
}

// Every step undone gives the opened picture back; every step redone gives
// the edited one. The edit kept as the snapshot comes back whole after Reset
// All, in one step of its own that undo takes back to the reset picture.
void TestMainRoads::undoAndRedoAWholeEdit()
{
    Sandbox sandbox;
    const QString photo = sandbox.path(QStringLiteral("photo.jpg"));
    QVERIFY(smallFixture(kFixtures + QStringLiteral("/photo24.jpg"), 900, photo));
    const QJsonObject args{{"handles", handles({{"LeftTop", 0.1, 0.1}, {"RightTop", 0.85, 0.05}})},
                           {"edited", sandbox.path(QStringLiteral("edited.jpg"))},
                           {"undone", sandbox.path(QStringLiteral("undone.jpg"))},
                           {"redone", sandbox.path(QStringLiteral("redone.jpg"))},
                           {"recalled", sandbox.path(QStringLiteral("recalled.jpg"))},
                           {"unrecalled", sandbox.path(QStringLiteral("unrecalled.jpg"))}};
    const int undoRun = sandbox.runProgram({photo, roadScript(sandbox, QStringLiteral("undoredo"), args)});
    QVERIFY2(sandbox.reportOf(QStringLiteral("undoredo")).endsWith(QLatin1String("PASS\n")),
             qPrintable(sandbox.reportOf(QStringLiteral("undoredo")) + sandbox.output()));
    QCOMPARE(undoRun, 3);

    const QImage original(photo);
    const QImage edited(sandbox.path(QStringLiteral("edited.jpg")));
    const QImage undone(sandbox.path(QStringLiteral("undone.jpg")));
    const QImage redone(sandbox.path(QStringLiteral("redone.jpg")));
    QVERIFY(edited.size() != original.size());
    QCOMPARE(undone.size(), original.size());
    QVERIFY(meanDifference(undone, original) < 3.0);
    QCOMPARE(redone.size(), edited.size());
    QVERIFY(meanDifference(redone, edited) < 3.0);
    // The same steps before the undo and after the redo.
    const QStringList undo = reportLines(sandbox, QStringLiteral("undoredo"), QStringLiteral("UNDO"));
    QCOMPARE(undo.size(), 2);
    QCOMPARE(undo.at(0), undo.at(1));

    // The recalled snapshot is the edited picture; its undo gives the reset
    // picture, that is the opened one.
    const QImage recalled(sandbox.path(QStringLiteral("recalled.jpg")));
    const QImage unrecalled(sandbox.path(QStringLiteral("unrecalled.jpg")));
    QCOMPARE(recalled.size(), edited.size());
    QVERIFY2(meanDifference(recalled, edited) < 3.0, qPrintable(QString::number(meanDifference(recalled, edited))));
    QCOMPARE(unrecalled.size(), original.size());
    QVERIFY2(meanDifference(unrecalled, original) < 3.0,
             qPrintable(QString::number(meanDifference(unrecalled, original))));
    // The steps of the edit, "Reset All" and "Recall snapshot", all done,
    // after the recall and again after its undo and redo.
    const QStringList recall = reportLines(sandbox, QStringLiteral("undoredo"), QStringLiteral("RECALL"));
    QCOMPARE(recall.size(), 2);
    QCOMPARE(recall.at(1), recall.at(0));
    const auto [done, texts] = undoSteps(recall.at(0));
    const QStringList expected = undoSteps(undo.at(0)).second + QStringList{"Reset All", "Recall snapshot"};
    QCOMPARE(texts, expected);
    QCOMPARE(done, texts.size());
}

void TestMainRoads::hostRoundTripsOfAPhotograph_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("depth");

    QTest::newRow("Photoshop, 8 bits") << "photoshop" << 8;
    QTest::newRow("Photoshop, 16 bits") << "photoshop" << 16;
    QTest::newRow("Lightroom") << "lightroom" << 8;
    QTest::newRow("Aperture") << "aperture" << 8;
}

// A real photograph through each host: the host gets back the picture the
// same edit saves in the standalone program, in the host's depth, and the exit
// code file says so; a picture edited in place keeps its metadata.
void TestMainRoads::hostRoundTripsOfAPhotograph()
{
    QFETCH(QString, host);
    QFETCH(int, depth);

    Sandbox sandbox;
    const QString photo = sandbox.path(QStringLiteral("photo.jpg"));
    QVERIFY(smallFixture(kFixtures + QStringLiteral("/photo24.jpg"), 900, photo));
    const QJsonArray moved = handles({{"LeftTop", 0.1, 0.1}, {"RightTop", 0.9, 0.1}});

    // The same edit in the standalone program, saved under another name.
    const QString reference = sandbox.path(QStringLiteral("reference.png.tif"));
    const QJsonObject standalone{{"handles", moved}, {"reference", reference}};
    const int standaloneRun = sandbox.runProgram({photo, roadScript(sandbox, QStringLiteral("host"), standalone)});
    QVERIFY2(sandbox.reportOf(QStringLiteral("host")).endsWith(QLatin1String("PASS\n")),
             qPrintable(sandbox.reportOf(QStringLiteral("host")) + sandbox.output()));
    QCOMPARE(standaloneRun, 3);
    const QImage expected = readTiff(reference).picture;
    QVERIFY(!expected.isNull());

    const QString script = roadScript(sandbox, QStringLiteral("host"),
                                      {{"handles", moved}, {"saveCommand", host == QLatin1String("aperture")}});
    QImage back;
    if (host == QLatin1String("photoshop")) {
        // The host's document opened from the photograph: the request names
        // that file, and the editor takes the camera data (focal length)
        // from its EXIF. A picture without EXIF keystones with the default
        // focal length, and so to another size.
        const QString returned = sandbox.path(QStringLiteral("back.png"));
        const int status = sandbox.run(kHostSimulator, {"--image", photo, "--depth", QString::number(depth),
                                                        "--plugin-data", sandbox.path(QStringLiteral("plugin-data")),
                                                        "--result", returned, "--program", kProgram, "--timeout",
                                                        "100", "--", script});
        QVERIFY2(status == 0, qPrintable(sandbox.output()));
        back = QImage(returned);
        QCOMPARE(back.depth(), depth == 16 ? 64 : 32);
    } else {
        const QString result = sandbox.path(QStringLiteral("result.xml"));
        const int status =
            sandbox.runProgram({"--plugin-name=" + host, photo, "--app-result-xml-file-path=" + result, script});
        QVERIFY2(sandbox.reportOf(QStringLiteral("host")).endsWith(QLatin1String("PASS\n")),
                 qPrintable(sandbox.reportOf(QStringLiteral("host")) + sandbox.output()));
        QCOMPARE(status, 0);
        QVERIFY2(readFile(result).contains("<exitCode>0</exitCode>"), readFile(result).constData());
        back = QImage(photo);
        QVERIFY(readFile(photo).contains("Navik Test Camera"));
        QVERIFY(readFile(photo).contains("Evening glow"));
    }
    QVERIFY2(sandbox.reportOf(QStringLiteral("host")).endsWith(QLatin1String("PASS\n")),
             qPrintable(sandbox.reportOf(QStringLiteral("host")) + sandbox.output()));
    QCOMPARE(back.size(), expected.size());
    QVERIFY2(meanDifference(back, expected) < 4.0, qPrintable(QString::number(meanDifference(back, expected))));
}

// With the crash command shown ("--mkcrm=true") and crash reports agreed to,
// "Make Crash" ends the program with a memory fault and leaves a report; a
// test script keeps the report in the reports' temporary folder. The next
// start counts the crash. Without the option the shortcut does nothing.
void TestMainRoads::makeCrashLeavesAReadableReport()
{
    Sandbox sandbox;
    sandbox.setSetting("NavikSentCrashReport", "1");
    const QString photo = sandbox.path(QStringLiteral("photo.jpg"));
    QVERIFY(smallFixture(kFixtures + QStringLiteral("/photo24.jpg"), 600, photo));

    const int plainRun = sandbox.runProgram({photo, roadScript(sandbox, QStringLiteral("crash"), {})});
    QVERIFY2(sandbox.reportOf(QStringLiteral("crash")).endsWith(QLatin1String("PASS\n")),
             qPrintable(sandbox.reportOf(QStringLiteral("crash")) + sandbox.output()));
    QCOMPARE(plainRun, 3);
    QCOMPARE(reportLines(sandbox, QStringLiteral("crash"), QStringLiteral("no")), QStringList{"crash"});

    QCOMPARE(sandbox.runProgram({QStringLiteral("--mkcrm=true"), photo, roadScript(sandbox, QStringLiteral("crash"), {})}),
             -1000);
    QVERIFY(reportLines(sandbox, QStringLiteral("crash"), QStringLiteral("no")).isEmpty());
    const QString report =
        sandbox.path(QStringLiteral("home/Documents/Navik Quillet/CrashReports/temp/Navik Quillet.nqcrash"));
    QVERIFY2(sandbox.output().contains(QLatin1String("Saved crash report to: ")), qPrintable(sandbox.output()));
    QCOMPARE(sandbox.run(kCrashReader, {report}), 0);
    QVERIFY2(sandbox.output().contains(QLatin1String("Exception Type:  SIGSEGV\n")), qPrintable(sandbox.output()));
    QVERIFY(sandbox.output().contains(QLatin1String("Identifier:      Quillet\n")));

    sandbox.runProgram({sandbox.script()});
    QCOMPARE(sandbox.setting("crashCounter_Standalone").toInt(), 1);
    QCOMPARE(sandbox.setting("appCrashFlag").toString(), QStringLiteral("appFinished"));
}

namespace {

// What one run of the window shows: each text by its state and widget path.
struct Shown
{
    QString text;
    int width = -1;
    int needed = -1;
    bool wrap = false;
};

// Runs the window in the language of that number on a 1280 x 800 screen,
// the smallest it is laid out for; empty when the run failed.
// The texts of the window in one language: what it shows, keyed by state
// and path, and its menus' entries, keyed by menu.
struct WindowTexts
{
    QHash<QString, Shown> shown;
    QMultiMap<QString, QString> menus;
};

WindowTexts windowTexts(int number, QString* failure)
{
    Sandbox sandbox;
    const QString screen = sandbox.path(QStringLiteral("screen.json"));
    writeFile(screen, R"({"screens": [{"name": "laptop", "x": 0, "y": 0, "width": 1280, "height": 800,)"
                      R"( "logicalDpi": 96, "dpr": 1}]})");
    sandbox.setEnvironment(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen:configfile=") + screen);
    sandbox.setSetting("NavikAppLanguage", number);
    sandbox.setSetting("NavikAppFirstTime", false);
    const QString photo = sandbox.path(QStringLiteral("photo.jpg"));
    WindowTexts texts;
    if (!smallFixture(kFixtures + QStringLiteral("/photo24.jpg"), 600, photo))
        return texts;
    // The dialogs are cancelled: nothing is written to these paths.
    const QJsonObject args{{"jpeg", sandbox.path(QStringLiteral("saved.jpg"))},
                           {"tiff", sandbox.path(QStringLiteral("saved.tif"))},
                           {"addCustomRow", 10}};
    sandbox.runProgram({photo, roadScript(sandbox, QStringLiteral("languages"), args)});
    if (!sandbox.reportOf(QStringLiteral("languages")).endsWith(QLatin1String("PASS\n"))) {
        *failure = sandbox.reportOf(QStringLiteral("languages")) + sandbox.output();
        return texts;
    }
    for (const QString& line : reportLines(sandbox, QStringLiteral("languages"), QStringLiteral("TEXT"))) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() < 6)
            continue;
        texts.shown.insert(fields.at(0) + QLatin1Char(' ') + fields.at(1),
                           Shown{fields.at(2), fields.at(3).isEmpty() ? -1 : fields.at(3).toInt(), fields.at(4).toInt(),
                                 fields.at(5) == QLatin1String("true")});
    }
    for (const QString& line : reportLines(sandbox, QStringLiteral("languages"), QStringLiteral("MENU"))) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab > 0)
            texts.menus.insert(line.left(tab), line.mid(tab + 1));
    }
    return texts;
}

// The access key of a menu entry: the character after a single '&', in
// upper case; none when the entry has no access key.
QChar accessKey(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (text.at(i + 1) != QLatin1Char('&'))
            return text.at(i + 1).toUpper();
        ++i; // "&&" is a shown ampersand
    }
    return {};
}

} // namespace

void TestMainRoads::windowInEachLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("number");

    QTest::newRow("English") << "en" << 1033;
    QTest::newRow("French") << "fr" << 1036;
    QTest::newRow("German") << "de" << 1031;
    QTest::newRow("Japanese") << "ja" << 1041;
}

// The window in each language, with each tool's panel and pane, and the
// dialogs it opens: no text it shows is cut (a label, button, field, combo box
// or row of a combo box's list narrower than its text needs), in a
// translation no text is left as the English one unless the catalog keeps it
// so, and no two entries of one menu (or two menus of the menu bar) share an
// access key.
void TestMainRoads::windowInEachLanguage()
{
    QFETCH(QString, language);
    QFETCH(int, number);

    QString failure;
    const WindowTexts texts = windowTexts(number, &failure);
    const QHash<QString, Shown>& shown = texts.shown;
    QVERIFY2(shown.size() > 30, qPrintable(failure));
    QHash<QString, Shown> english;
    if (language != QLatin1String("en")) {
        english = windowTexts(1033, &failure).shown;
        QVERIFY2(english.size() > 30, qPrintable(failure));
    }
    QSet<QString> states;
    for (auto it = shown.cbegin(); it != shown.cend(); ++it)
        states.insert(it.key().section(QLatin1Char(' '), 0, 0));
    for (const char* state : {"opened", "keystoning", "horizon", "crop", "preservedRatio", "customRatio", "beforeAfter",
                              "jpegOptions", "tiffOptions", "preferences"})
        QVERIFY2(
            states.contains(QLatin1String(state)),
            qPrintable(QLatin1String(state) + QStringLiteral(" not among ") + states.values().join(QLatin1Char(' '))));
    const QMultiHash<QString, QString> translations = catalog(language);
    static const QRegularExpression words(QStringLiteral("[A-Za-z]{2}"));
    static const QRegularExpression pictureSize(QStringLiteral("^\\d+ x \\d+ px$"));
    // The recent pictures' menu entries: a number and a file name.
    static const QRegularExpression recentEntry(QStringLiteral("^\\d+\\. "));
    // The language choice names each language in that language.
    static const QRegularExpression languageChoice(QStringLiteral("/languageComboBox#\\d+/row#"));
    QStringList faults;
    // Within a menu (and the menu bar) each access key opens one entry.
    QVERIFY2(texts.menus.contains(QStringLiteral("menu_File")), qPrintable(texts.menus.keys().join(QLatin1Char(' '))));
    for (const QString& menu : texts.menus.uniqueKeys()) {
        QMultiMap<QChar, QString> entries;
        for (const QString& entry : texts.menus.values(menu))
            if (const QChar key = accessKey(entry); !key.isNull())
                entries.insert(key, entry);
        for (const QChar key : entries.uniqueKeys())
            if (entries.count(key) > 1)
                faults.append(QStringLiteral("access key %1 in %2 shared by \"%3\"")
                                  .arg(key, menu, QStringList(entries.values(key)).join(QStringLiteral("\", \""))));
    }
    for (auto it = shown.cbegin(); it != shown.cend(); ++it) {
        const Shown& entry = it.value();
        // Cut: a one-line text wider than its widget (actions have no width).
        if (entry.width >= 0 && !entry.wrap && entry.needed > entry.width)
            faults.append(QStringLiteral("cut \"%1\" (%2 of %3 px) at %4")
                              .arg(entry.text)
                              .arg(entry.width)
                              .arg(entry.needed)
                              .arg(it.key()));
        // Untranslated: the English text where the catalog has another
        // translation of it, or no entry at all.
        const auto source = english.constFind(it.key());
        if (source == english.cend() || source->text != entry.text || !entry.text.contains(words)
            || pictureSize.match(entry.text).hasMatch() || recentEntry.match(entry.text).hasMatch()
            || languageChoice.match(it.key()).hasMatch())
            continue;
        if (!translations.values(entry.text).contains(entry.text))
            faults.append(QStringLiteral("untranslated \"%1\" at %2").arg(entry.text, it.key()));
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

QTEST_GUILESS_MAIN(TestMainRoads)
#include "tst_mainroads.moc"
