// The hardware description on Linux, read from a made-up /proc and /sys,
// and the text report the log keeps.

#include "online/HardwareInfo.h"

#include "RecordingLogger.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestHardwareInfo : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cpuAndMemory_data();
    void cpuAndMemory();
    void reportText();
    void constructionLogsTheReport();
};

namespace {

void writeFile(const QString& root, const QString& path, const QByteArray& text)
{
    const QString full = QDir(root).filePath(path);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile file(full);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

class FixedHardware : public IHardwareInfo
{
public:
    bool isAvailable() const override { return true; }
    bool isBusy() const override { return false; }
    QString getPlatform() const override { return QStringLiteral("Linux"); }
    QString getVersion() const override { return QStringLiteral("Debian GNU/Linux 12 (bookworm)"); }
    QString getArchitecture() const override { return QStringLiteral("x86_64"); }
    QString getLanguage() const override { return QStringLiteral("de_DE"); }
    QString getCpuModel() const override { return QStringLiteral("Model X"); }
    float getCpuSpeed() const override { return 2.66f; }
    int getCpuCount() const override { return 4; }
    int getMemorySize() const override { return 16; }
    int getSwapSize() const override { return 1; }
    bool isOpenCLAvailable() const override { return false; }
    QList<HardwareGPUInfo> getGpuList() const override { return {}; }
    QList<HardwareDisplayInfo> getDisplayList() const override
    {
        return {{QStringLiteral("Left"), 1920, 1080, 96.5f}, {QStringLiteral("Right"), 3840, 2160, 163.18f}};
    }
};

} // namespace

void TestHardwareInfo::cpuAndMemory_data()
{
    QTest::addColumn<QByteArray>("maxFreqKHz"); // empty: no cpufreq file
    QTest::addColumn<QByteArray>("cpuMHz");
    QTest::addColumn<QByteArray>("memTotalKB");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<int>("memory");

    // Above 4.29 GHz the clock no longer fits 32 bits.
    QTest::newRow("4.5 GHz") << QByteArray("4500000\n") << QByteArray("800.000") << QByteArray("16777216") << "4.5" << 16;
    QTest::newRow("2.66 GHz") << QByteArray("2660000") << QByteArray() << QByteArray("8912896") << "2.66" << 8;
    QTest::newRow("no cpufreq") << QByteArray() << QByteArray("3700.000") << QByteArray("1048575") << "3.7" << 0;
    QTest::newRow("nothing known") << QByteArray() << QByteArray() << QByteArray() << "0" << 0;
}

void TestHardwareInfo::cpuAndMemory()
{
    QFETCH(QByteArray, maxFreqKHz);
    QFETCH(QByteArray, cpuMHz);
    QFETCH(QByteArray, memTotalKB);
    QFETCH(QString, speed);
    QFETCH(int, memory);

    QTemporaryDir root;
    QByteArray cpuinfo = "processor\t: 0\nvendor_id\t: Test\nmodel name\t: Test CPU @ 2.66GHz\n";
    if (!cpuMHz.isEmpty())
        cpuinfo += "cpu MHz\t\t: " + cpuMHz + "\n";
    writeFile(root.path(), QStringLiteral("proc/cpuinfo"), cpuinfo + "\nprocessor\t: 1\nmodel name\t: Other\n");
    if (!maxFreqKHz.isEmpty())
        writeFile(root.path(), QStringLiteral("sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq"), maxFreqKHz);
    if (!memTotalKB.isEmpty())
        writeFile(root.path(), QStringLiteral("proc/meminfo"),
                  "MemTotal:       " + memTotalKB + " kB\nMemFree:         1000 kB\nSwapTotal:       2097152 kB\n");

    const CLinuxHardwareInfo info(root.path());
    QCOMPARE(info.getPlatform(), QStringLiteral("Linux"));
    QCOMPARE(info.getCpuModel(), QStringLiteral("Test CPU @ 2.66GHz"));
    QCOMPARE(QString::number(info.getCpuSpeed(), 'g', 6), speed);
    QCOMPARE(info.getMemorySize(), memory);
    QCOMPARE(info.getSwapSize(), memTotalKB.isEmpty() ? 0 : 2);
    QVERIFY(!info.isOpenCLAvailable());
    QVERIFY(info.getGpuList().isEmpty());
    QVERIFY(!info.getArchitecture().isEmpty());
    if (!maxFreqKHz.isEmpty())
        QCOMPARE(CLinuxHardwareInfo::readCpuFrequencyHz(root.path()), maxFreqKHz.trimmed().toULongLong() * 1000);
}

void TestHardwareInfo::reportText()
{
    const QString expected = QStringLiteral("-----------Hardware Info begin--------------\n"
                                            "SYS_Platform: Linux\n"
                                            "SYS_Version: Debian GNU/Linux 12 (bookworm)\n"
                                            "SYS_Architecture: x86_64\n"
                                            "SYS_Language: de_DE\n"
                                            "SYS_CPU_Model: Model X\n"
                                            "SYS_CPU_Speed: 2.66\n"
                                            "SYS_CPU_Count: 4\n"
                                            "SYS_Memory_Size: 16\n"
                                            "SYS_Swap_Size: 1\n"
                                            "SYS_OpenCL_Available: false\n"
                                            "Number of GPUs found: 0\n"
                                            "Number of displays found: 2\n"
                                            "Display #1:\n"
                                            "SYS_Display_Model: Left\n"
                                            "SYS_Display_Width: 1920\n"
                                            "SYS_Display_Height: 1080\n"
                                            "SYS_Display_Resolution: 96.5\n"
                                            "Display #2:\n"
                                            "SYS_Display_Model: Right\n"
                                            "SYS_Display_Width: 3840\n"
                                            "SYS_Display_Height: 2160\n"
                                            "SYS_Display_Resolution: 163.18\n"
                                            "-----------Hardware Info end--------------");
    QCOMPARE(buildHardwareReport(FixedHardware()), expected);
}

void TestHardwareInfo::constructionLogsTheReport()
{
    QTemporaryDir root;
    // Without a logger nothing is written and nothing breaks.
    NAVIK_tarl1::g_logger = nullptr;
    { const CLinuxHardwareInfo silent(root.path()); }

    RecordingLogger& logger = RecordingLogger::install();
    logger.clear();
    const CLinuxHardwareInfo info(root.path());
    const QStringList lines = logger.linesAt('D');
    QCOMPARE(lines.size(), 1);
    QVERIFY(lines.first().startsWith(QLatin1String("Hardware Info: \n-----------Hardware Info begin")));
    QVERIFY(lines.first().contains(QLatin1String("\nSYS_Platform: Linux\n")));
    // The screens of the running application are listed.
    QVERIFY(lines.first().contains(QStringLiteral("Number of displays found: %1").arg(info.getDisplayList().size())));
}

QTEST_MAIN(TestHardwareInfo)
#include "tst_hardwareinfo.moc"
