// The Photoshop round trip across processes: the host simulator writes a
// request and starts this program again as the editor, which parses the
// host's command line, reads the request, answers, and signals the host.

#include "shell/CommandLineOptions.h"
#include "utils/PluginDataStructure.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstring>

using namespace NAVIK_tarl1;

namespace {

// Set in the editor's environment: what the editor does with the request.
const char kEditorVariable[] = "QUILLET_TEST_EDITOR";

// Returns the picture without its last column and row, so that the result
// differs in size from the input.
bool answerWithCroppedPicture(PluginDataStructure& record)
{
    const int width = record.pictureWidth();
    const int height = record.pictureHeight();
    const qsizetype bytesPerPixel = 3 * record.pictureDepth() / 8;
    char* out = record.createOutputPicture(width - 1, height - 1);
    if (!out)
        return false;
    for (int y = 0; y < height - 1; ++y)
        std::memcpy(out + y * (width - 1) * bytesPerPixel, record.inputPicture() + y * width * bytesPerPixel,
                    size_t((width - 1) * bytesPerPixel));
    record.setPluginData(record.pluginData() + "+edited");
    record.setExitCode(NAVIK_QTAPP_EXIT_CODE_SUCCESS);
    return true;
}

int runEditor(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    StringsMap params;
    QStringList files;
    CommandLineOptions::parseCmdParams(params, application.arguments().mid(1), files);
    if (params.value(CommandLineOptions::pluginName) != CommandLineOptions::photoshopPlugin || !files.isEmpty())
        return 10;

    const QString behaviour = qEnvironmentVariable(kEditorVariable);
    PluginDataStructure record;
    record.setFilePath(QDir::toNativeSeparators(params.value(CommandLineOptions::processImage)));
    if (behaviour == "no answer")
        return 0;
    if (!record.deserializeMap())
        return 11;
    record.setExitCode(3);
    if (behaviour == "crop" && !answerWithCroppedPicture(record))
        return 12;
    return record.serializeMap() ? 0 : 13;
}

// The nearest 16-bit sample that the host's range (0 to 32768) keeps unchanged
// on its way there and back.
quint16 keptByHost(quint16 sample)
{
    const quint32 host = (sample * 32768u + 0xffff / 2) / 0xffff;
    return quint16(std::min<quint32>(0xffff, (host * 0xffffu + 16384) / 32768));
}

// Samples that an 8-bit round trip would not keep.
QImage sourcePicture(int depth)
{
    QImage image(7, 5, depth == 8 ? QImage::Format_RGB888 : QImage::Format_RGBX64);
    const auto sample = [depth](int value) { return depth == 8 ? quint16(value) : keptByHost(quint16(value)); };
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const quint16 base = quint16(x * 9001 + y * 127 + 3);
            image.setPixelColor(x, y, QColor::fromRgba64(sample(base), sample(base * 7), sample(base ^ 0x5a5a)));
        }
    }
    return image;
}

} // namespace

class TestHostRoundTrip : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_socketFolder;

private Q_SLOTS:
    void initTestCase()
    {
        // The host's server name lives in the temporary folder; the simulator
        // and the editor inherit this private one.
        QVERIFY(m_socketFolder.isValid());
        qputenv("TMPDIR", QFile::encodeName(m_socketFolder.path()));
    }

    void roundTrip_data()
    {
        QTest::addColumn<QString>("behaviour");
        QTest::addColumn<int>("depth");
        QTest::addColumn<int>("status");

        QTest::newRow("8 bits, picture returned") << "crop" << 8 << 0;
        QTest::newRow("16 bits, picture returned") << "crop" << 16 << 0;
        QTest::newRow("nothing saved") << "cancel" << 8 << 3;
        QTest::newRow("editor never answers") << "no answer" << 16 << 1;
    }

    void roundTrip()
    {
        QFETCH(QString, behaviour);
        QFETCH(int, depth);
        QFETCH(int, status);

        QTemporaryDir folder;
        const QImage source = sourcePicture(depth);
        QVERIFY(source.save(folder.filePath("source.png")));
        const QString pluginData = folder.filePath("plugin-data");
        QFile data(pluginData);
        QVERIFY(data.open(QIODevice::WriteOnly) && data.write("state") == 5);
        data.close();

        QProcess simulator;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(kEditorVariable, behaviour);
        simulator.setProcessEnvironment(environment);
        simulator.setProcessChannelMode(QProcess::ForwardedChannels);
        simulator.start(HOST_SIMULATOR_PATH,
                        {"--image", folder.filePath("source.png"), "--depth", QString::number(depth), "--exchange",
                         folder.filePath("exchange"), "--result", folder.filePath("result.png"), "--plugin-data",
                         pluginData, "--timeout", "120", "--program", QCoreApplication::applicationFilePath()});
        QVERIFY(simulator.waitForFinished(180000));
        QCOMPARE(simulator.exitStatus(), QProcess::NormalExit);
        QCOMPARE(simulator.exitCode(), status);

        // The host's exchange files are gone in every case.
        QStringList left = QDir(folder.path()).entryList(QDir::Files);
        left.sort();
        QStringList expected{"plugin-data", "source.png"};
        if (status == 0)
            expected.insert(1, "result.png");
        QCOMPARE(left, expected);
        if (status != 0)
            return;

        const QImage result(folder.filePath("result.png"));
        const QImage cropped = source.copy(0, 0, source.width() - 1, source.height() - 1);
        QCOMPARE(result.convertToFormat(source.format()), cropped);
        QVERIFY(data.open(QIODevice::ReadOnly));
        QCOMPARE(data.readAll(), QByteArray("state+edited"));
    }
};

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet(kEditorVariable))
        return runEditor(argc, argv);
    QCoreApplication application(argc, argv);
    TestHostRoundTrip test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hostroundtrip.moc"
