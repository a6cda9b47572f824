// A photograph opened, turned and saved through the options dialog as JPEG
// at a chosen quality and as 16-bit TIFF, then read back; saves that fail
// (a read-only folder, a full disk) keep the file they would have replaced
// and say why.

#include "ProgramSandbox.h"

#include <QImageReader>
#include <QTest>
#include <QtEndian>

#include <unistd.h>

namespace {

const QString kPhoto = QStringLiteral(QUILLET_FIXTURES_DIR "/photo12-orient6.jpg");
// The photograph as shown (its EXIF turns it upright), then turned a quarter.
const QSize kTurnedSize(4000, 3000);

const QByteArray kScriptHelpers = R"(
function waitFor(condition, what) {
    for (var i = 0; i < 2400 && !condition(); ++i)
        scripting.wait(50);
    if (!condition())
        scripting.fail("no " + what);
}
function idle() {
    waitFor(function () { return mainWindow.isIdle(); }, "idle window");
}
function edit() {
    waitFor(function () { return mainWindow.isUndoBaselineSet(); }, "first render");
    idle();
    mainWindow.onRotateRight();
    waitFor(function () { return scripting.isItemEnabled(mainWindow, "action_Save"); }, "change");
}
// What the save options dialog is to answer; the JPEG quality and the TIFF
// choice as the user leaves them.
var options = { quality: -1, tiff: -1, shown: [] };
scripting.resendSignal.connect(function (dialog) {
    if (dialog.getObjectName() !== "FileSaveDialog")
        return;
    options.shown.push(dialog.windowTitle);
    if (options.quality >= 0)
        scripting.setSlider(dialog, "jpegSlider", options.quality);
    if (options.tiff >= 0)
        scripting.getSubObject(dialog, "tiffComboBox").currentIndex = options.tiff;
    dialog.accept();
});
function saveAs(path, expected) {
    idle();
    nativeDialogs.setSaveFileName(path);
    scripting.compare(mainWindow.saveOpenedFileAs(), expected);
}
)";

QByteArray test(const QString& body)
{
    return kScriptHelpers + "scripting.startTest.connect(function () {\n" + body.toUtf8()
        + "messageBoxes.setSaveDiscardCancelMessage(1);\n});\n";
}

// The first quantisation value of a JPEG (DC of the first table), which
// libjpeg derives from the quality: 16 scaled by 5000/q below 50, by 200-2q
// from 50 on.
int firstQuantisationValue(const QByteArray& jpeg)
{
    const int marker = jpeg.indexOf("\xff\xdb");
    return marker < 0 || marker + 5 >= jpeg.size() ? -1 : static_cast<unsigned char>(jpeg.at(marker + 5));
}

int libjpegFirstValue(int quality)
{
    const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    return qBound(1, (16 * scale + 50) / 100, 255);
}

// Width, height, bits of the first sample and compression of a little-endian
// TIFF's first directory.
struct TiffInfo
{
    int width = 0;
    int height = 0;
    int bits = 0;
    int compression = 0;
};

// Reads only the header and the directory: the file is large.
TiffInfo readTiffInfo(const QString& path)
{
    TiffInfo info;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.read(3) != "II*")
        return info;
    const auto read = [&file](qint64 at, int size) {
        char bytes[4] = {};
        return file.seek(at) && file.read(bytes, size) == size ? qFromLittleEndian<quint32>(bytes) : 0u;
    };
    const auto u16 = [&read](qint64 at) { return static_cast<int>(read(at, 2)); };
    const auto u32 = [&read](qint64 at) { return read(at, 4); };
    const quint32 directory = u32(4);
    const int entries = u16(directory);
    for (int i = 0; i < entries; ++i) {
        const qint64 entry = directory + 2 + 12 * i;
        const int type = u16(entry + 2);
        const quint32 count = u32(entry + 4);
        const int value = type == 3 ? u16(entry + 8) : static_cast<int>(u32(entry + 8));
        switch (u16(entry)) {
        case 256:
            info.width = value;
            break;
        case 257:
            info.height = value;
            break;
        case 258:
            info.bits = count == 1 ? value : u16(u32(entry + 8));
            break;
        case 259:
            info.compression = value;
            break;
        }
    }
    return info;
}

} // namespace

class TestOpenAndSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void saveJpegAndTiff();
    void failedSaveKeepsTheFile_data();
    void failedSaveKeepsTheFile();
    void saveFromTheQuestionAppliesTheOpenTool_data();
    void saveFromTheQuestionAppliesTheOpenTool();
};

void TestOpenAndSave::saveJpegAndTiff()
{
    Sandbox sandbox;
    const QString jpeg = sandbox.path(QStringLiteral("turned.JPEG"));
    const QString tiff = sandbox.path(QStringLiteral("turned.tif"));
    const QString script = QStringLiteral("edit();\n"
                                          "options.quality = 35;\n"
                                          "saveAs('%1', true);\n"
                                          "options.tiff = 2;\n"
                                          "saveAs('%2', true);\n"
                                          "scripting.compare(options.shown.join(), 'JPEG Options,TIFF Options');\n")
                               .arg(jpeg, tiff);
    sandbox.runProgram({kPhoto, sandbox.script(QStringLiteral("save"), test(script))});
    const QString report = sandbox.reportOf(QStringLiteral("save"));
    QVERIFY2(report.endsWith(QLatin1String("PASS\n")), qPrintable(report + sandbox.output()));

    QCOMPARE(QImageReader(jpeg).size(), kTurnedSize);
    QCOMPARE(firstQuantisationValue(readFile(jpeg).left(4096)), libjpegFirstValue(35));
    const TiffInfo info = readTiffInfo(tiff);
    QCOMPARE(QSize(info.width, info.height), kTurnedSize);
    QCOMPARE(info.bits, 16);
    QCOMPARE(info.compression, 1);

    // Both answers are remembered, and both pictures counted.
    QCOMPARE(sandbox.setting(QStringLiteral("appJPEGCompression")).toInt(), 35);
    QCOMPARE(sandbox.setting(QStringLiteral("appTIFFParams")).toInt(), 2);
    QCOMPARE(sandbox.setting(QStringLiteral("UsageStatistic/statistic.single_image_count")).toInt(), 2);
}

void TestOpenAndSave::failedSaveKeepsTheFile_data()
{
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cause");
    QTest::newRow("read-only folder")
        << true << "The file could not be saved. Please check that you have the required permissions."
        << "You have no permission to write in this folder.";
    // The program may write files of at most 1 MB: the TIFF does not fit.
    QTest::newRow("full disk") << false << "The file could not be saved."
                               << "The file would be larger than the disk or the file format allows.";
}

void TestOpenAndSave::failedSaveKeepsTheFile()
{
    QFETCH(bool, readOnlyFolder);
    QFETCH(QString, text);
    QFETCH(QString, cause);
    if (readOnlyFolder && geteuid() == 0)
        QSKIP("the superuser writes into read-only folders");

    Sandbox sandbox;
    const QString folder = sandbox.path(QStringLiteral("album"));
    QVERIFY(QDir().mkpath(folder));
    const QString target = folder + QStringLiteral("/turned.tif");
    const QByteArray original("an earlier picture");
    QVERIFY(writeFile(target, original));
    if (readOnlyFolder)
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));

    const QString script =
        QStringLiteral("edit();\n"
                       "options.tiff = 2;\n"
                       "saveAs('%1', false);\n"
                       "scripting.compare(scripting.isMessageBoxShown('%2'), true);\n"
                       "scripting.compare(scripting.isMessageReasonShown('%3'), true);\n"
                       "scripting.compare(scripting.isItemEnabled(mainWindow, \"action_Save\"), true);\n")
            .arg(target, text, cause);
    const QStringList arguments{kPhoto, sandbox.script(QStringLiteral("failed"), test(script))};
    if (readOnlyFolder) {
        sandbox.runProgram(arguments);
    } else {
        // A full disk without a small file system of our own: the file size
        // limit makes a write past 1 MB fail as the disk would (the signal
        // it raises is ignored, so the write reports the error).
        sandbox.run(QStringLiteral("/bin/sh"),
                    QStringList{QStringLiteral("-c"),
                                QStringLiteral("trap '' XFSZ; ulimit -f 2048; exec \"$0\" \"$@\""), kProgram}
                        + arguments);
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString report = sandbox.reportOf(QStringLiteral("failed"));
    QVERIFY2(report.endsWith(QLatin1String("PASS\n")), qPrintable(report + sandbox.output()));
    QCOMPARE(readFile(target), original);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("turned.tif")});
    // The log says why.
    const QStringList reasons = sandbox.logLines().filter(QStringLiteral("could not be saved: "));
    QCOMPARE(reasons.size(), 1);
    QVERIFY2(!reasons.first().endsWith(QLatin1String("could not be saved: ")), qPrintable(reasons.first()));
}

void TestOpenAndSave::saveFromTheQuestionAppliesTheOpenTool_data()
{
    // How the question comes, given the picture `photo`, and how the run
    // comes back to that picture with no changes.
    QTest::addColumn<QString>("question");
    QTest::newRow("open another picture")
        << QStringLiteral("nativeDialogs.setOpenFileName(photo);\n"
                          "scripting.compare(mainWindow.saveOldAndOpenNewFile(), true);\n");
    QTest::newRow("close the picture") << QStringLiteral(
        "mainWindow.closeOpenedFile();\n"
        "nativeDialogs.setOpenFileName(photo);\n"
        "scripting.compare(mainWindow.saveOldAndOpenNewFile(), true);\n");
    // What closing the window asks before it closes (2048: its Save); the
    // saved picture then opens without a question.
    QTest::newRow("quit") << QStringLiteral("scripting.compare(Number(mainWindow.saveImageBeforeClosing()), 2048);\n"
                                            "nativeDialogs.setOpenFileName(photo);\n"
                                            "scripting.compare(mainWindow.saveOldAndOpenNewFile(), true);\n");
}

void TestOpenAndSave::saveFromTheQuestionAppliesTheOpenTool()
{
    QFETCH(QString, question);
    Sandbox sandbox;
    // A small picture with a gradient, so that a wrong cut shows.
    const QString photo = sandbox.path(QStringLiteral("photo.jpg"));
    QImage picture(640, 480, QImage::Format_RGB888);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixelColor(x, y, QColor(x * 255 / 639, y * 255 / 479, 128));
    QVERIFY(picture.save(photo, "JPEG", 95));
    const QString fromQuestion = sandbox.path(QStringLiteral("question.jpg"));
    const QString applied = sandbox.path(QStringLiteral("applied.jpg"));

    // A picture turned, then the crop tool open with its rectangle moved in:
    // the question's Save, then the same edit applied and saved as the user
    // does it.
    const QString script =
        QStringLiteral("var photo = '%1';\n"
                       "function cropInside() {\n"
                       "    edit();\n"
                       "    idle();\n"
                       "    mainWindow.onCropTool();\n"
                       "    idle();\n"
                       "    scripting.compare(mainWindow.moveCorrectionHandle('CropLeftTop', 0.25, 0.25), true);\n"
                       "    scripting.compare(mainWindow.moveCorrectionHandle('CropRightBottom', 0.75, 0.5), true);\n"
                       "    idle();\n"
                       "}\n"
                       "cropInside();\n"
                       "messageBoxes.setSaveDiscardCancelMessage(0);\n"
                       "nativeDialogs.setSaveFileName('%2');\n"
                       "%3"
                       "cropInside();\n"
                       "mainWindow.onCropTool();\n"
                       "saveAs('%4', true);\n"
                       "scripting.compare(scripting.isEqualImages('%2', '%4'), true);\n")
            .arg(photo, fromQuestion, question, applied);
    sandbox.runProgram({photo, sandbox.script(QStringLiteral("question"), test(script))});
    const QString report = sandbox.reportOf(QStringLiteral("question"));
    QVERIFY2(report.endsWith(QLatin1String("PASS\n")), qPrintable(report + sandbox.output()));
    // The picture turned is 480 x 640; the crop keeps half its width and a quarter of its height.
    const QSize cut = QImageReader(applied).size();
    QVERIFY2(cut.width() < 300 && cut.height() < 400,
             qPrintable(QStringLiteral("%1x%2").arg(cut.width()).arg(cut.height())));
    QCOMPARE(QImageReader(fromQuestion).size(), cut);
}

QTEST_GUILESS_MAIN(TestOpenAndSave)
#include "tst_openandsave.moc"
