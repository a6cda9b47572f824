#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"
#include "utils/PSDataStructure.h"
#include "utils/PluginDataStructure.h"

#include "RecordingLogger.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <functional>

using namespace NAVIK_tarl1;
namespace Keys = PhotoshopDataKeys;

namespace {

using Parameters = QMap<QString, QVariant>;

QByteArray pattern(qsizetype size, int seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    quint32 state = quint32(seed) * 2654435761u + 1;
    for (qsizetype i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        bytes[i] = char(state >> 24);
    }
    return bytes;
}

Parameters readParameters(const QString& path)
{
    return variantMapFromBytes(readFile(path));
}

Parameters pictureParameters(int width, int height, int depth)
{
    return {{Keys::width, width},
            {Keys::height, height},
            {Keys::depth, depth},
            {Keys::pictureSize, qlonglong(pictureByteSize(width, height, depth))}};
}

// Which of the exchange files exist, e.g. "P image-tmp".
QString existingFiles(const QString& base)
{
    QStringList names;
    if (QFile::exists(base))
        names << "P";
    if (QFile::exists(base + "-image"))
        names << "image";
    if (QFile::exists(base + "-image-tmp"))
        names << "image-tmp";
    return names.join(' ');
}

// Every file in the folder with its content.
QMap<QString, QByteArray> snapshot(const QString& folder)
{
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot))
        files[name] = readFile(folder + '/' + name);
    return files;
}

} // namespace

class TestHostExchange : public QObject
{
    Q_OBJECT

private:
    RecordingLogger m_logger;
    QTemporaryDir m_socketFolder;
    QString m_folder;
    QString m_base;
    std::unique_ptr<QTemporaryDir> m_exchangeFolder;

    // The host's server, under a temporary folder of this test's own.
    std::unique_ptr<QLocalServer> listenAsHost()
    {
        auto server = std::make_unique<QLocalServer>();
        if (!server->listen(QString::fromLatin1(g_photoshopServerName)))
            qFatal("cannot listen: %s", qPrintable(server->errorString()));
        return server;
    }

    int errorLines() const { return m_logger.linesAt('E').size(); }

private Q_SLOTS:
    void initTestCase()
    {
        initLogger(&m_logger, "test");
        // Local server names live in the temporary folder; a private one keeps
        // tests that run side by side from seeing each other's host.
        QVERIFY(m_socketFolder.isValid());
        qputenv("TMPDIR", QFile::encodeName(m_socketFolder.path()));
    }

    void init()
    {
        m_exchangeFolder = std::make_unique<QTemporaryDir>();
        m_folder = m_exchangeFolder->path();
        m_base = m_folder + "/request";
        m_logger.lines.clear();
    }

    void requestBytesAreTheGoldenDump()
    {
        QByteArray pixels("abcdef");
        PSDataStructure host(m_base);
        host.setInputPicture(pixels.data(), 6, 2, 1, 8);
        host.setShowUI(true);
        host.setImageFileName("a\xe9.jpg");
        host.setPluginData("xy", 2);
        QVERIFY(host.serializeMap());

        // Qt 4.8 stream, big-endian, keys from the greatest down; each value
        // is a variant: type, null flag, data.
        const QByteArray expected = QByteArray::fromHex(
            "00000007"                                                  // entries
            "0000000a 00770069006400740068"                             // "width"
            "00000002 00 00000002"                                      //   int 2
            "0000000c 00730068006f00770055 0049"                        // "showUI"
            "00000001 00 01"                                            //   bool true
            "00000016 0070006900630074007500720065 00530069007a0065"    // "pictureSize"
            "00000004 00 0000000000000006"                              //   long long 6
            "00000016 00700050006c007500670069006e 0044006100740061"    // "pPluginData"
            "0000000c 00 00000002 7879"                                 //   byte array "xy"
            "00000016 0069006d006700460069006c0065 004e0061006d0065"    // "imgFileName"
            "0000000a 00 0000000c 006100e9002e006a00700067"             //   string "a\u00e9.jpg"
            "0000000c 006800650069006700680074"                         // "height"
            "00000002 00 00000001"                                      //   int 1
            "0000000a 0064006500700074 0068"                            // "depth"
            "00000002 00 00000008");                                    //   int 8
        QCOMPARE(readFile(m_base).toHex(' '), expected.toHex(' '));
        QCOMPARE(readFile(m_base + "-image"), pixels);
    }

    void roundTripInOneProcess_data()
    {
        QTest::addColumn<bool>("hostListens");
        QTest::addColumn<bool>("resultMade");
        QTest::addColumn<QString>("filesAfterEditor");

        QTest::newRow("host present, result") << true << true << "P image";
        QTest::newRow("host present, nothing saved") << true << false << "P";
        QTest::newRow("host gone") << false << true << "";
    }

    // The exchange files after each step of one run.
    void roundTripInOneProcess()
    {
        QFETCH(bool, hostListens);
        QFETCH(bool, resultMade);
        QFETCH(QString, filesAfterEditor);

        QByteArray input = pattern(4 * 3 * 6, 1);
        PSDataStructure host(m_base);
        host.setInputPicture(input.data(), input.size(), 4, 3, 16);
        host.setShowUI(false);
        host.setExif("kept as it is");
        QVERIFY(host.serializeMap());
        QCOMPARE(existingFiles(m_base), QString("P image"));

        const auto server = hostListens ? listenAsHost() : nullptr;
        const QByteArray result = pattern(2 * 3 * 6, 2);
        {
            PluginDataStructure editor(m_base);
            QVERIFY(editor.deserializeMap());
            QCOMPARE(existingFiles(m_base), QString("P image-tmp"));
            QCOMPARE(QByteArray(editor.inputPicture(), input.size()), input);
            QCOMPARE(editor.pictureDepth(), 16);
            QVERIFY(!editor.showUI());
            editor.setExitCode(3);

            if (resultMade) {
                char* out = editor.createOutputPicture(3, 2);
                QVERIFY(out);
                QCOMPARE(existingFiles(m_base), QString("P image image-tmp"));
                memcpy(out, result.constData(), size_t(result.size()));
                editor.setPluginData(QByteArray("window state"));
                editor.setExitCode(NAVIK_QTAPP_EXIT_CODE_SUCCESS);
            }
            QVERIFY(editor.serializeMap());
            QCOMPARE(existingFiles(m_base), QString(resultMade ? "P image" : "P"));
            QVERIFY(!editor.inputPicture());
            QCOMPARE(readParameters(m_base).value(Keys::exitCode), QVariant(resultMade ? 0 : 3));
        }
        QCOMPARE(existingFiles(m_base), filesAfterEditor);
        if (!hostListens)
            return;

        QVERIFY(host.deserializeMap());
        QCOMPARE(host.exitCode(), resultMade ? 0 : 3);
        QCOMPARE(host.exif(), QString("kept as it is"));
        if (resultMade) {
            QCOMPARE(host.pictureWidth(), 3);
            QCOMPARE(host.pictureHeight(), 2);
            QCOMPARE(host.pictureSize(), 36ull);
            QCOMPARE(QByteArray(host.inputPicture(), result.size()), result);
            QCOMPARE(host.pluginData(), QByteArray("window state"));
        } else {
            // Nothing was mapped: the pointer is still the host's own buffer.
            QCOMPARE(host.inputPicture(), input.data());
        }
        host.clear();
        QCOMPARE(existingFiles(m_base), QString());
    }

    void damagedRequestFailsCleanly_data()
    {
        QTest::addColumn<QByteArray>("parameterFile");
        QTest::addColumn<QByteArray>("pixelFile");

        const QByteArray good = variantMapToBytes(pictureParameters(3, 2, 8));
        const QByteArray pixels = pattern(18, 3);
        auto parameters = [](Parameters map, const QString& key, const QVariant& value) {
            map[key] = value;
            return variantMapToBytes(map);
        };
        QTest::newRow("truncated parameter file") << good.left(good.size() / 2) << pixels;
        QTest::newRow("garbage parameter file") << pattern(200, 4) << pixels;
        QTest::newRow("empty parameter file") << QByteArray("") << pixels;
        QTest::newRow("no parameter file") << QByteArray() << pixels;
        QTest::newRow("no pixel file") << good << QByteArray();
        QTest::newRow("pixel file one byte short") << good << pixels.left(17);
        QTest::newRow("pixel file one byte long") << good << pixels + 'x';
        QTest::newRow("size disagrees with dimensions")
            << parameters(pictureParameters(3, 2, 8), Keys::pictureSize, 17) << pixels.left(17);
        QTest::newRow("depth other than 8 or 16")
            << parameters(pictureParameters(3, 2, 8), Keys::depth, 12) << pixels;
        Parameters negative = pictureParameters(3, 2, 8);
        negative[Keys::width] = -3; // the product of the dimensions is still 6
        negative[Keys::height] = -2;
        QTest::newRow("negative dimensions") << variantMapToBytes(negative) << pixels;
        QTest::newRow("no size") << parameters(pictureParameters(3, 2, 8), Keys::pictureSize, QVariant()) << pixels;
        // A list that claims two billion texts: read as a list, its count is
        // reserved before a single entry is read.
        QByteArray hugeList = parameters(pictureParameters(3, 2, 8), "names", QStringList{"a"});
        const QByteArray oneText = QByteArray::fromHex("00000001" "00000002" "0061");
        QVERIFY(hugeList.contains(oneText));
        hugeList.replace(oneText, QByteArray::fromHex("7fffffff" "00000002" "0061"));
        QTest::newRow("list of two billion texts") << hugeList << pixels;
        // A value of a picture type (65 in this stream version), which only a
        // program with a GUI can make.
        QByteArray picture = good;
        picture.replace(0, 4, QByteArray::fromHex("00000005")); // one entry more than the four
        picture += QByteArray::fromHex("00000002" "0078" "00000041" "00" "00000000");
        QTest::newRow("picture value") << picture << pixels;
    }

    // The record is input from another process: nothing on disk may change
    // when it does not describe the pixel file that is there.
    void damagedRequestFailsCleanly()
    {
        QFETCH(QByteArray, parameterFile);
        QFETCH(QByteArray, pixelFile);
        if (!parameterFile.isNull())
            QVERIFY(writeFile(m_base, parameterFile));
        if (!pixelFile.isNull())
            QVERIFY(writeFile(m_base + "-image", pixelFile));
        const auto before = snapshot(m_folder);

        const auto server = listenAsHost();
        {
            PluginDataStructure editor(m_base);
            QVERIFY(!editor.deserializeMap());
            QVERIFY(!editor.inputPicture());
            QCOMPARE(snapshot(m_folder), before);
        }
        QCOMPARE(snapshot(m_folder), before);
    }

    void leftoverInputInUse_data()
    {
        QTest::addColumn<bool>("removable");
        QTest::newRow("file left by a crashed run") << true;
        QTest::newRow("folder that cannot be removed") << false;
    }

    // A crashed run leaves its input under P + "-image-tmp"; the next run must
    // neither fail on it nor use the input under the result's name.
    void leftoverInputInUse()
    {
        QFETCH(bool, removable);
        const QByteArray pixels = pattern(18, 5);
        QVERIFY(writeFile(m_base, variantMapToBytes(pictureParameters(3, 2, 8))));
        QVERIFY(writeFile(m_base + "-image", pixels));
        if (removable) {
            QVERIFY(writeFile(m_base + "-image-tmp", pattern(18, 6)));
        } else {
            QVERIFY(QDir().mkpath(m_base + "-image-tmp"));
            QVERIFY(writeFile(m_base + "-image-tmp/inside", "x"));
        }

        PluginDataStructure editor(m_base);
        QCOMPARE(editor.deserializeMap(), removable);
        if (removable) {
            QCOMPARE(QByteArray(editor.inputPicture(), 18), pixels);
            QVERIFY(!QFile::exists(m_base + "-image"));
        } else {
            QVERIFY(!editor.inputPicture());
            QCOMPARE(readFile(m_base + "-image"), pixels);
        }
    }

    // 65536 x 5462 pixels of 16 bits: the product of the dimensions and the
    // depth overflows 32 bits, and the true size exceeds them. The file is
    // sparse: only the two bytes written take space.
    void largeResultIsSizedIn64Bits()
    {
        const qint64 expectedSize = 65536LL * 5462 * 6;
        QByteArray input = pattern(6, 7);
        {
            PSDataStructure host(m_base);
            host.setInputPicture(input.data(), input.size(), 1, 1, 16);
            QVERIFY(host.serializeMap());
            const auto server = listenAsHost();
            {
                PluginDataStructure editor(m_base);
                QVERIFY(editor.deserializeMap());
                char* out = editor.createOutputPicture(65536, 5462);
                QVERIFY(out);
                QCOMPARE(editor.pictureSize(), quint64(expectedSize));
                QCOMPARE(QFileInfo(m_base + "-image").size(), expectedSize);
                out[0] = 'a';
                out[expectedSize - 1] = 'z';
                editor.setExitCode(NAVIK_QTAPP_EXIT_CODE_SUCCESS);
                QVERIFY(editor.serializeMap());
            }
            QVERIFY(host.deserializeMap());
            QCOMPARE(host.pictureSize(), quint64(expectedSize));
            QCOMPARE(host.inputPicture()[expectedSize - 1], 'z');
        }
        QCOMPARE(existingFiles(m_base), QString());
    }

    void resultThatCannotBeCreated_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QVariant>("depth");
        QTest::addColumn<bool>("folderMissing");

        QTest::newRow("no depth") << 3 << 2 << QVariant() << false;
        QTest::newRow("zero width") << 0 << 2 << QVariant(8) << false;
        QTest::newRow("negative dimensions") << -3 << -2 << QVariant(8) << false;
        QTest::newRow("beyond 64 bits") << INT_MAX << INT_MAX << QVariant(16) << false;
        QTest::newRow("folder gone") << 3 << 2 << QVariant(8) << true;
    }

    // No result picture means exit code 3 at the write-back, and no file of
    // the wrong size for the host to read.
    void resultThatCannotBeCreated()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QVariant, depth);
        QFETCH(bool, folderMissing);

        const QString base = folderMissing ? m_folder + "/gone/request" : m_base;
        PluginDataStructure editor(base);
        if (depth.isValid())
            editor.setInputPicture(nullptr, 0, 1, 1, depth.toInt());
        QVERIFY(!editor.createOutputPicture(width, height));
        if (folderMissing)
            return;
        editor.setExitCode(NAVIK_QTAPP_EXIT_CODE_SUCCESS);
        QVERIFY(editor.serializeMap());
        QCOMPARE(existingFiles(m_base), QString("P"));
        QCOMPARE(readParameters(m_base).value(Keys::exitCode), QVariant(3));
        QCOMPARE(readParameters(m_base).value(Keys::pictureSize).toLongLong(), 0);
        QCOMPARE(m_logger.linesAt('D').filter("unmap").size(), 1);
    }

    void hostReadBack_data()
    {
        QTest::addColumn<QVariant>("exitCode");
        QTest::addColumn<int>("pixelBytes");
        QTest::addColumn<bool>("expectedResult");
        QTest::addColumn<int>("expectedExitCode");
        QTest::addColumn<bool>("resultMapped");

        QTest::newRow("result") << QVariant(0) << 18 << true << 0 << true;
        QTest::newRow("nothing saved") << QVariant(3) << 18 << true << 3 << false;
        QTest::newRow("result of another size") << QVariant(0) << 17 << false << -1 << false;
        QTest::newRow("no result file") << QVariant(0) << -1 << false << -1 << false;
        // The request itself, never answered by the editor.
        QTest::newRow("no answer") << QVariant() << 18 << false << -1 << false;
    }

    void hostReadBack()
    {
        QFETCH(QVariant, exitCode);
        QFETCH(int, pixelBytes);
        QFETCH(bool, expectedResult);
        QFETCH(int, expectedExitCode);
        QFETCH(bool, resultMapped);

        Parameters answer = pictureParameters(3, 2, 8);
        if (exitCode.isValid())
            answer[Keys::exitCode] = exitCode;
        QVERIFY(writeFile(m_base, variantMapToBytes(answer)));
        const QByteArray pixels = pattern(18, 8);
        if (pixelBytes >= 0)
            QVERIFY(writeFile(m_base + "-image", pixels.left(pixelBytes)));

        QByteArray own = pattern(18, 9);
        PSDataStructure host;
        host.setInputPicture(own.data(), own.size(), 3, 2, 8);
        host.setFilePath(m_base);
        QCOMPARE(host.deserializeMap(), expectedResult);
        QCOMPARE(host.exitCode(), expectedExitCode);
        if (resultMapped)
            QCOMPARE(QByteArray(host.inputPicture(), 18), pixels);
        else if (expectedResult)
            QCOMPARE(host.inputPicture(), own.data());
        else {
            QVERIFY(!host.inputPicture());
            QCOMPARE(host.pictureSize(), 0ull);
        }
    }

    void hostRequestThatCannotBeWritten()
    {
        QByteArray pixels = pattern(18, 10);
        {
            PSDataStructure host(m_folder + "/gone/request");
            host.setInputPicture(pixels.data(), pixels.size(), 3, 2, 8);
            QVERIFY(!host.serializeMap());
        }
        PSDataStructure host(m_base);
        host.setInputPicture(nullptr, pixels.size(), 3, 2, 8);
        QVERIFY(!host.serializeMap());
    }

    void recordSignalsTheHostOnlyWithAPath_data()
    {
        QTest::addColumn<bool>("withPath");
        QTest::newRow("standalone, no path") << false;
        QTest::newRow("Photoshop run") << true;
    }

    void recordSignalsTheHostOnlyWithAPath()
    {
        QFETCH(bool, withPath);
        const auto server = listenAsHost();
        {
            PluginDataStructure record;
            if (withPath)
                record.setFilePath(m_base);
        }
        QCOMPARE(server->waitForNewConnection(withPath ? 5000 : 200), withPath);
    }

    void gettersOnAbsentKeys()
    {
        struct Getter {
            const char* key;
            std::function<QVariant(PSDataStructure&)> call;
            QVariant expected;
            bool reported;
            bool added;
        };
        const QList<Getter> getters = {
            {"width", [](auto& r) { return QVariant(r.pictureWidth()); }, 0, true, true},
            {"pictureSize", [](auto& r) { return QVariant(r.pictureSize()); }, 0ull, true, true},
            {"exitCode", [](auto& r) { return QVariant(r.exitCode()); }, 0, true, true},
            {"exif", [](auto& r) { return QVariant(r.exif()); }, QString(), true, true},
            {"showUI", [](auto& r) { return QVariant(r.showUI()); }, false, true, true},
            {"IccProfile", [](auto& r) { return QVariant(r.iccProfile()); }, QByteArray(), false, true},
            {"pPluginData", [](auto& r) { return QVariant(r.pluginData()); }, QByteArray(), false, false},
            {"imgFileName", [](auto& r) { return QVariant(r.imageFileName()); }, QString(), true, false},
        };
        for (const Getter& getter : getters) {
            const QString base = m_folder + '/' + getter.key;
            PSDataStructure record(base);
            const int errorsBefore = errorLines();
            QCOMPARE(getter.call(record), getter.expected);
            QVERIFY2(errorLines() - errorsBefore == (getter.reported ? 1 : 0), getter.key);
            QVERIFY(record.serializeMap());
            const Parameters written = readParameters(base);
            // An added key is written back with an empty value.
            QVERIFY2(written.contains(getter.key) == getter.added, getter.key);
            QVERIFY(!written.value(getter.key).isValid());
        }
    }

    void settersKeepTheirTypes()
    {
        PluginDataStructure record(m_base);
        record.setPluginData("ignored", 0);
        record.setImageFileName("caf\xe9.tif");
        QByteArray profile("icc");
        record.setIccProfile(profile.data(), profile.size());
        QVERIFY(record.serializeMap());
        const Parameters written = readParameters(m_base);
        QCOMPARE(written.value(Keys::pluginData).typeId(), QMetaType::QByteArray);
        QVERIFY(written.value(Keys::pluginData).toByteArray().isEmpty());
        QCOMPARE(written.value(Keys::imageFileName), QVariant(QString::fromUtf8("caf\u00e9.tif")));
        QCOMPARE(written.value(Keys::iccProfile), QVariant(profile));
    }
};

QTEST_GUILESS_MAIN(TestHostExchange)
#include "tst_hostexchange.moc"
