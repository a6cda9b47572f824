// The Photoshop side of the main window: the host's pixels wrapped as an
// image and a result copied into the host's output only when their layout is
// the one the host reads, and the window's hand-back with the host listening,
// gone, or a render that fails.

#include "correction/CCorrectionModuleHost.h"
#include "engine/CNavikImageProxy.h"
#include "engine/CProcessEngine.h"
#include "mainwindow/CMainWindow.h"
#include "mainwindow/PSHelper.h"
#include "shell/IStatisticSender.h"
#include "utils/CMessageBox.h"
#include "utils/CNativeDialogs.h"
#include "utils/CScripting.h"
#include "utils/PhotoshopDataStructure.h"

#include "TestWindow.h"

#include <Navik/Image.h>
#include <Navik/PixelData.h>

#include <QApplication>
#include <QFileDialog>
#include <QLocalServer>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QFileInfo>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace NAVIK_tarl1;

namespace {

// The editor's end of the exchange without the files of a real request: the
// test sets the entries and the input buffer itself.
class Record : public PhotoshopDataStructure
{
public:
    explicit Record(const QString& path) : PhotoshopDataStructure(path) { setImageFileName({}); }
    bool serializeMap() override { return true; }
    bool deserializeMap() override { return true; }
};

class RecordingStatistics : public IStatisticSender
{
public:
    void countLaunch(int) override {}
    void sendStatistic() override {}
    void countSavedImage(int mode, IProcessEngine* engine) override
    {
        savedModes.append(mode);
        engines.append(engine);
    }

    QList<int> savedModes;
    QList<IProcessEngine*> engines;
};

// A result of w×h pixels whose byte i of row y is (y * 31 + i) & 0xff, rows
// `padding` bytes longer than their samples.
struct Result
{
    QByteArray bytes;
    PixelDataPtr pixels;
};

Result makeResult(Navik::SampleType type, Navik::SampleLayout layout, int width, int height, int padding = 0)
{
    const int sampleBytes = type == Navik::kSampleTypeUInt8 ? 1 : 2;
    const int channels = layout == Navik::kSampleLayoutGray ? 1 : 3;
    const bool planar = layout == Navik::kSampleLayoutRGBPlanar;
    const std::size_t rowBytes = std::size_t(width) * (planar ? 1 : channels) * sampleBytes + padding;
    const int planeCount = planar ? 3 : 1;
    Result result;
    result.bytes.resize(qsizetype(rowBytes) * height * planeCount);
    for (qsizetype i = 0; i < result.bytes.size(); ++i)
        result.bytes[i] = char(((i / qsizetype(rowBytes)) * 31 + i % qsizetype(rowBytes)) & 0xff);
    void* planes[3] = {};
    for (int plane = 0; plane < planeCount; ++plane)
        planes[plane] = result.bytes.data() + plane * qsizetype(rowBytes) * height;
    result.pixels.reset(Navik::PixelData::CreateNoOwnership(planes, unsigned(planeCount), type, layout, unsigned(width),
                                                            unsigned(height), rowBytes));
    return result;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the next window-modal message box, and then the next file dialog,
// as a user would.
void whenModalShows(std::function<bool(QWidget&)> answer)
{
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && answer(*modal))
            poll->deleteLater();
    });
    poll->start(10);
}

} // namespace

class TestPhotoshop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void inputImage_data();
    void inputImage();
    void outputImage_data();
    void outputImage();
    void outputCopy_data();
    void outputCopy();
    // The window's hand-back; the last ones open a picture.
    void renderFailureKeepsTheWindow();
    void hostGone_data();
    void hostGone();
    void hostGoneSaveAsCancelled();
    void handedBack();

private:
    void setScriptMode(bool on);

    QTemporaryDir m_folder;
    QString m_script;
    QString m_emptyScript;
    QString m_photo;
    CProcessEngine* m_engine = nullptr;
    CMainWindow* m_window = nullptr;
    std::shared_ptr<RecordingStatistics> m_statistics = std::make_shared<RecordingStatistics>();
};

void TestPhotoshop::initTestCase()
{
    // The host's server name lives in the temporary folder: away from other tests.
    qputenv("TMPDIR", QFile::encodeName(m_folder.filePath(QString())));
    m_script = m_folder.filePath(QStringLiteral("test.js"));
    m_emptyScript = m_folder.filePath(QStringLiteral("empty.js"));
    QFile script(m_script);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("scripting.startTest.connect(function () {});\n");
    script.close();
    QFile empty(m_emptyScript);
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    m_photo = m_folder.filePath(QStringLiteral("photo.jpg"));
    QImage picture(160, 120, QImage::Format_RGB888);
    picture.fill(QColor(90, 140, 60));
    QVERIFY(picture.save(m_photo));

    application()->setStatisticSender(m_statistics);
    m_window = makeTestWindow(CBaseApplication::PhotoshopMode, &m_engine);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestPhotoshop::cleanupTestCase()
{
    destroyTestWindow(m_window, m_engine);
}

void TestPhotoshop::init()
{
    setScriptMode(true);
    application()->setResultPixelDataForPS({});
    application()->setPluginWindowState(QByteArray("kept"));
    m_statistics->savedModes.clear();
    m_statistics->engines.clear();
}

void TestPhotoshop::setScriptMode(bool on)
{
    CScripting::getInstance()->setPathToScript(on ? m_script : m_emptyScript);
}

void TestPhotoshop::inputImage_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("depth");
    QTest::addColumn<qint64>("inputBytes"); // -1: no input mapped
    QTest::addColumn<bool>("wrapped");

    QTest::newRow("8 bits") << 5 << 3 << 8 << qint64(45) << true;
    QTest::newRow("16 bits") << 5 << 3 << 16 << qint64(90) << true;
    QTest::newRow("no width") << 0 << 3 << 8 << qint64(45) << false;
    QTest::newRow("negative width") << -5 << 3 << 8 << qint64(45) << false;
    QTest::newRow("no height") << 5 << 0 << 8 << qint64(45) << false;
    QTest::newRow("depth 12") << 5 << 3 << 12 << qint64(90) << false;
    QTest::newRow("depth 4") << 5 << 3 << 4 << qint64(45) << false;
    QTest::newRow("depth 24") << 5 << 3 << 24 << qint64(135) << false;
    QTest::newRow("input one byte short of the rows") << 5 << 3 << 8 << qint64(44) << false;
    QTest::newRow("16-bit rows in an 8-bit input's bytes") << 5 << 3 << 16 << qint64(45) << false;
    QTest::newRow("no input") << 5 << 3 << 8 << qint64(-1) << false;
    // The rows are claimed, not there: the wrapper must refuse before reading.
    QTest::newRow("more pixels than a file may have") << 20000 << 12501 << 8 << qint64(20000) * 12501 * 3 << false;
    QTest::newRow("a square picture of ten billion pixels") << 100000 << 100000 << 16 << qint64(6e10) << false;
}

void TestPhotoshop::inputImage()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, depth);
    QFETCH(qint64, inputBytes);
    QFETCH(bool, wrapped);

    // Sized for the largest row above, so that nothing but the checks stands
    // between a wrong record and reading beyond its numbers.
    QByteArray input(256, '\x11');
    Record record(m_folder.filePath(QStringLiteral("request")));
    record.setInputPicture(inputBytes < 0 ? nullptr : input.data(), qMax<qint64>(inputBytes, 0), width, height, depth);
    const NavikImagePtr image = PSHelper::createInputImage(record);
    QCOMPARE(bool(image), wrapped);
    if (!wrapped)
        return;
    QCOMPARE(int(image->image()->GetWidth()), width);
    QCOMPARE(int(image->image()->GetHeight()), height);
    QCOMPARE(int(image->image()->GetPixelFormat().GetSampleSize()), depth);
}

void TestPhotoshop::outputImage_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<bool>("wrapped");

    QTest::newRow("8 bits") << 8 << true;
    QTest::newRow("16 bits") << 16 << true;
    QTest::newRow("depth 12") << 12 << false;
}

// A new output area at the record's size, wrapped as an image of it.
void TestPhotoshop::outputImage()
{
    QFETCH(int, depth);
    QFETCH(bool, wrapped);

    QByteArray input(256, '\x11');
    const QString request = m_folder.filePath(QStringLiteral("output-request"));
    Record record(request);
    record.setInputPicture(input.data(), 5 * 3 * 3 * depth / 8, 5, 3, depth);
    const NavikImagePtr image = PSHelper::createOutputImage(record);
    QCOMPARE(bool(image), wrapped);
    if (!wrapped)
        return;
    QCOMPARE(int(image->image()->GetWidth()), 5);
    QCOMPARE(int(image->image()->GetHeight()), 3);
    QCOMPARE(int(image->image()->GetPixelFormat().GetSampleSize()), depth);
    QCOMPARE(QFileInfo(request + QStringLiteral("-image")).size(), qint64(5 * 3 * 3 * depth / 8));
}

void TestPhotoshop::outputCopy_data()
{
    QTest::addColumn<int>("recordDepth");
    QTest::addColumn<int>("sampleType");
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("padding");
    QTest::addColumn<bool>("copied");

    const int rgb = Navik::kSampleLayoutRGBInterleaved;
    QTest::newRow("8 bits") << 8 << int(Navik::kSampleTypeUInt8) << rgb << 0 << true;
    QTest::newRow("8 bits, padded rows") << 8 << int(Navik::kSampleTypeUInt8) << rgb << 7 << true;
    QTest::newRow("16 bits of the host's range, padded rows")
        << 16 << int(Navik::kSampleTypeUInt16Host) << rgb << 4 << true;
    QTest::newRow("16 bits of the full range") << 16 << int(Navik::kSampleTypeUInt16) << rgb << 0 << true;
    QTest::newRow("8-bit result, 16-bit host") << 16 << int(Navik::kSampleTypeUInt8) << rgb << 0 << false;
    QTest::newRow("16-bit result, 8-bit host") << 8 << int(Navik::kSampleTypeUInt16Host) << rgb << 0 << false;
    QTest::newRow("grey") << 8 << int(Navik::kSampleTypeUInt8) << int(Navik::kSampleLayoutGray) << 0 << false;
    QTest::newRow("planar RGB") << 8 << int(Navik::kSampleTypeUInt8) << int(Navik::kSampleLayoutRGBPlanar) << 0
                                << false;
    QTest::newRow("depth 12") << 12 << int(Navik::kSampleTypeUInt16Host) << rgb << 0 << false;
    QTest::newRow("depth 4") << 4 << int(Navik::kSampleTypeUInt8) << rgb << 0 << false;
}

void TestPhotoshop::outputCopy()
{
    QFETCH(int, recordDepth);
    QFETCH(int, sampleType);
    QFETCH(int, layout);
    QFETCH(int, padding);
    QFETCH(bool, copied);

    const QString request = m_folder.filePath(QStringLiteral("copy"));
    QFile::remove(request + QStringLiteral("-image"));
    QByteArray input(64, '\0');
    Record record(request);
    record.setInputPicture(input.data(), input.size(), 4, 4, recordDepth);
    const int width = 7;
    const int height = 5;
    const Result result =
        makeResult(Navik::SampleType(sampleType), Navik::SampleLayout(layout), width, height, padding);
    QVERIFY(result.pixels);

    QCOMPARE(PSHelper::copyToOutputBuffer(result.pixels, record), copied);
    if (!copied) {
        // A refused result leaves the record describing the input.
        QCOMPARE(record.pictureWidth(), 4);
        QCOMPARE(record.pictureHeight(), 4);
        return;
    }
    QCOMPARE(record.pictureWidth(), width);
    QCOMPARE(record.pictureHeight(), height);
    const int rowBytes = width * 3 * recordDepth / 8;
    QCOMPARE(record.pictureSize(), qulonglong(rowBytes * height));
    QByteArray expected;
    for (int y = 0; y < height; ++y)
        expected += result.bytes.mid(qsizetype(y) * (rowBytes + padding), rowBytes);
    // The output file shares its pages with the mapping.
    QCOMPARE(readFile(request + QStringLiteral("-image")), expected);
}

// A render that gives nothing is said, hands nothing over and keeps the edits.
void TestPhotoshop::renderFailureKeepsTheWindow()
{
    QLocalServer host;
    QVERIFY(host.listen(QString::fromLatin1(g_photoshopServerName)));
    const QString notice = QStringLiteral("The corrected picture could not be prepared for Photoshop. Nothing was "
                                          "handed back; your changes are kept.");
    QVERIFY(!CScripting::getInstance()->isMessageBoxShown(notice));

    // No picture is open: nothing to render.
    QCOMPARE(m_window->doSaveImageToPS(), PhotoshopSaveResult::Cancelled);
    QVERIFY(CScripting::getInstance()->isMessageBoxShown(notice));
    QVERIFY(!application()->resultPixelDataForPS());
    QCOMPARE(application()->pluginWindowState(), QByteArray("kept"));
    QVERIFY(m_statistics->savedModes.isEmpty());
}

void TestPhotoshop::hostGone_data()
{
    QTest::addColumn<bool>("saveToFile");
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("result");

    QTest::newRow("No") << false << QString() << int(PhotoshopSaveResult::NotHandedBack);
    QTest::newRow("Yes, saved") << true << QStringLiteral("saved.jpg") << int(PhotoshopSaveResult::NotHandedBack);
    QTest::newRow("Yes, the save fails") << true << QStringLiteral("missing/saved.jpg")
                                         << int(PhotoshopSaveResult::Cancelled);
}

void TestPhotoshop::hostGone()
{
    QFETCH(bool, saveToFile);
    QFETCH(QString, file);
    QFETCH(int, result);

    if (!m_engine->isPictureLoaded())
        QVERIFY(m_window->openFile(m_photo, QString()));
    QTRY_VERIFY_WITH_TIMEOUT(m_window->hasViewImage() && m_window->isIdle(), 60000);
    CMessageBox::sp_instance->setYesNoMessage(saveToFile);
    if (!file.isEmpty())
        CNativeDialogs::getInstance()->setSaveFileName(m_folder.filePath(file));

    QCOMPARE(int(m_window->doSaveImageToPS()), result);
    if (!file.isEmpty())
        QCOMPARE(QFile::exists(m_folder.filePath(file)), result == int(PhotoshopSaveResult::NotHandedBack));
    QVERIFY(!application()->resultPixelDataForPS());
    QCOMPARE(application()->pluginWindowState(), QByteArray("kept"));
    // Nothing went back to the host; a picture saved to a file counts as one.
    const bool saved = !file.isEmpty() && result == int(PhotoshopSaveResult::NotHandedBack);
    QCOMPARE(m_statistics->savedModes, saved ? QList<int>{int(CBaseApplication::PhotoshopMode)} : QList<int>{});
}

// The user answers the real question and closes the real file dialog.
void TestPhotoshop::hostGoneSaveAsCancelled()
{
    QTRY_VERIFY_WITH_TIMEOUT(m_window->isIdle(), 60000);
    setScriptMode(false);
    bool asked = false;
    bool dialogShown = false;
    whenModalShows([&](QWidget& modal) {
        if (auto* box = qobject_cast<QMessageBox*>(&modal)) {
            // Save As refuses while a render runs or its notice shows: answer
            // once the window is idle, as a user who sees the notice would.
            if (!m_window->isIdle())
                return false;
            for (QAbstractButton* button : box->buttons())
                if (button->text() == QLatin1String("Yes")) {
                    asked = true;
                    button->click();
                }
            return false;
        }
        if (auto* dialog = qobject_cast<QFileDialog*>(&modal)) {
            dialogShown = true;
            dialog->reject();
            return true;
        }
        return false;
    });

    QCOMPARE(m_window->doSaveImageToPS(), PhotoshopSaveResult::Cancelled);
    QVERIFY(asked);
    QVERIFY(dialogShown);
    QVERIFY(!application()->resultPixelDataForPS());
}

void TestPhotoshop::handedBack()
{
    QLocalServer host;
    QVERIFY(host.listen(QString::fromLatin1(g_photoshopServerName)));
    QTRY_VERIFY_WITH_TIMEOUT(m_window->isIdle(), 60000);

    QCOMPARE(m_window->doSaveImageToPS(), PhotoshopSaveResult::HandedBack);
    const PixelDataPtr result = application()->resultPixelDataForPS();
    QVERIFY(result);
    QCOMPARE(QSize(int(result->GetWidth()), int(result->GetHeight())), QSize(160, 120));
    // The window keeps no state of its own for the host: the empty one.
    QCOMPARE(application()->pluginWindowState(), QByteArray(4, '\0'));
    QVERIFY(!m_engine->isPictureChanged());
    QCOMPARE(m_statistics->savedModes, QList<int>{CBaseApplication::PhotoshopMode});
    QCOMPARE(m_statistics->engines, QList<IProcessEngine*>{m_engine});
    // The host saw the probe connection come and go.
    QVERIFY(host.waitForNewConnection(1000));
}

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    CMessageBox::initializeScripting();
    TestPhotoshop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_photoshop.moc"
