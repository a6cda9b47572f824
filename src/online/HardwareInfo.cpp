#include "online/HardwareInfo.h"

#include "utils/Logger.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QSysInfo>
#include <QThread>

using namespace NAVIK_tarl1;

namespace {

constexpr quint64 kGiB = quint64(1) << 30;

QByteArray readSmallFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    // Files of /proc and /sys report no size: read what comes, up to a bound.
    return file.read(1 << 20);
}

// The value of the first "<key> : <value>" line of a /proc file.
QString procField(const QByteArray& text, const QString& key)
{
    const QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const int colon = line.indexOf(QLatin1Char(':'));
        if (colon > 0 && line.left(colon).trimmed() == key)
            return line.mid(colon + 1).trimmed();
    }
    return QString();
}

} // namespace

CLinuxHardwareInfo::CLinuxHardwareInfo(const QString& root) : m_root(root)
{
    m_cpuModel = procField(readSmallFile(QDir(m_root).filePath(QStringLiteral("proc/cpuinfo"))),
                           QStringLiteral("model name"));
    // 64 bits: clocks above 4.29 GHz do not fit 32.
    m_cpuSpeed = static_cast<float>(static_cast<double>(readCpuFrequencyHz(m_root)) / 1e9);
    logHardwareReport(*this);
}

quint64 CLinuxHardwareInfo::readCpuFrequencyHz(const QString& root)
{
    const QDir dir(root);
    bool ok = false;
    const quint64 kHz =
        readSmallFile(dir.filePath(QStringLiteral("sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq")))
            .trimmed()
            .toULongLong(&ok);
    if (ok && kHz > 0)
        return kHz * 1000;
    const double mHz = procField(readSmallFile(dir.filePath(QStringLiteral("proc/cpuinfo"))), QStringLiteral("cpu MHz"))
                           .toDouble(&ok);
    if (ok && mHz > 0)
        return static_cast<quint64>(mHz * 1e6 + 0.5);
    return 0;
}

quint64 CLinuxHardwareInfo::readMemInfoBytes(const QString& root, const QString& key)
{
    const QString value = procField(readSmallFile(QDir(root).filePath(QStringLiteral("proc/meminfo"))), key);
    bool ok = false;
    const quint64 kB = value.section(QLatin1Char(' '), 0, 0).toULongLong(&ok);
    return ok ? kB * 1024 : 0;
}

QString CLinuxHardwareInfo::getPlatform() const
{
    return QStringLiteral("Linux");
}

QString CLinuxHardwareInfo::getVersion() const
{
    // The distribution's name and version ("Debian GNU/Linux 12 (bookworm)").
    return QSysInfo::prettyProductName();
}

QString CLinuxHardwareInfo::getArchitecture() const
{
    return QSysInfo::currentCpuArchitecture();
}

QString CLinuxHardwareInfo::getLanguage() const
{
    return QLocale::system().name();
}

int CLinuxHardwareInfo::getCpuCount() const
{
    return QThread::idealThreadCount();
}

int CLinuxHardwareInfo::getMemorySize() const
{
    return static_cast<int>(readMemInfoBytes(m_root, QStringLiteral("MemTotal")) / kGiB);
}

int CLinuxHardwareInfo::getSwapSize() const
{
    return static_cast<int>(readMemInfoBytes(m_root, QStringLiteral("SwapTotal")) / kGiB);
}

QList<HardwareDisplayInfo> CLinuxHardwareInfo::getDisplayList() const
{
    QList<HardwareDisplayInfo> displays;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return displays;
    for (const QScreen* screen : QGuiApplication::screens()) {
        HardwareDisplayInfo display;
        display.model = screen->model().isEmpty() ? screen->name() : screen->model();
        const QSize pixels = screen->geometry().size() * screen->devicePixelRatio();
        display.width = pixels.width();
        display.height = pixels.height();
        display.resolution = static_cast<float>(screen->physicalDotsPerInchX());
        displays.append(display);
    }
    return displays;
}

std::shared_ptr<IHardwareInfo> createHardwareInfo()
{
    return std::make_shared<CLinuxHardwareInfo>();
}

QString buildHardwareReport(const IHardwareInfo& info)
{
    QString report = QStringLiteral("-----------Hardware Info begin--------------");
    report += QStringLiteral("\nSYS_Platform: ") + info.getPlatform();
    report += QStringLiteral("\nSYS_Version: ") + info.getVersion();
    report += QStringLiteral("\nSYS_Architecture: ") + info.getArchitecture();
    report += QStringLiteral("\nSYS_Language: ") + info.getLanguage();
    report += QStringLiteral("\nSYS_CPU_Model: ") + info.getCpuModel();
    report += QStringLiteral("\nSYS_CPU_Speed: ") + QString::number(info.getCpuSpeed(), 'g', 6);
    report += QStringLiteral("\nSYS_CPU_Count: ") + QString::number(info.getCpuCount());
    report += QStringLiteral("\nSYS_Memory_Size: ") + QString::number(info.getMemorySize());
    report += QStringLiteral("\nSYS_Swap_Size: ") + QString::number(info.getSwapSize());
    report += QStringLiteral("\nSYS_OpenCL_Available: ") +
              (info.isOpenCLAvailable() ? QStringLiteral("true") : QStringLiteral("false"));

    const QList<HardwareGPUInfo> gpus = info.getGpuList();
    report += QStringLiteral("\nNumber of GPUs found: ") + QString::number(gpus.size());
    for (int i = 0; i < gpus.size(); ++i) {
        report += QStringLiteral("\nGPU #%1:").arg(i + 1);
        report += QStringLiteral("\nSYS_GPU_Model: ") + gpus[i].model;
        report += QStringLiteral("\nSYS_GPU_OpenCL_Version: ") + gpus[i].openCLVersion;
        report += QStringLiteral("\nSYS_GPU_Memory: ") + QString::number(gpus[i].memory);
        report += QStringLiteral("\nSYS_GPU_PerfRank: ") + QString::number(gpus[i].perfRank);
    }

    const QList<HardwareDisplayInfo> displays = info.getDisplayList();
    report += QStringLiteral("\nNumber of displays found: ") + QString::number(displays.size());
    for (int i = 0; i < displays.size(); ++i) {
        report += QStringLiteral("\nDisplay #%1:").arg(i + 1);
        report += QStringLiteral("\nSYS_Display_Model: ") + displays[i].model;
        report += QStringLiteral("\nSYS_Display_Width: ") + QString::number(displays[i].width);
        report += QStringLiteral("\nSYS_Display_Height: ") + QString::number(displays[i].height);
        report += QStringLiteral("\nSYS_Display_Resolution: ") + QString::number(displays[i].resolution, 'g', 6);
    }
    report += QStringLiteral("\n-----------Hardware Info end--------------");
    return report;
}

void logHardwareReport(const IHardwareInfo& info)
{
    if (!g_logger)
        return;
    g_logger->log('D', (QStringLiteral("Hardware Info: \n") + buildHardwareReport(info)).toLocal8Bit().constData());
}
