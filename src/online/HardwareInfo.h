#pragma once

// What machine the program runs on, for the usage statistics: platform,
// system version, architecture, locale, CPU, memory, the GPUs OpenCL sees and
// the displays. CLinuxHardwareInfo reads them from /proc, /sys and Qt's
// screens; the CPU's model and clock are read once, the rest at every call.
// Creating the description logs it at debug level.

#include <QList>
#include <QString>

#include <memory>

struct HardwareGPUInfo
{
    QString model;
    QString openCLVersion;
    int memory = 0; // MiB
    int perfRank = 0;
};

struct HardwareDisplayInfo
{
    QString model;
    int width = 0;
    int height = 0;
    float resolution = 0; // dots per inch
};

class IHardwareInfo
{
public:
    virtual ~IHardwareInfo() = default;

    virtual bool isAvailable() const = 0;
    // While busy, the statistics wait before asking again.
    virtual bool isBusy() const = 0;
    virtual QString getPlatform() const = 0;
    virtual QString getVersion() const = 0;
    virtual QString getArchitecture() const = 0;
    virtual QString getLanguage() const = 0;
    virtual QString getCpuModel() const = 0;
    virtual float getCpuSpeed() const = 0; // GHz
    virtual int getCpuCount() const = 0;
    virtual int getMemorySize() const = 0; // whole GiB
    virtual int getSwapSize() const = 0;   // whole GiB
    virtual bool isOpenCLAvailable() const = 0;
    virtual QList<HardwareGPUInfo> getGpuList() const = 0;
    virtual QList<HardwareDisplayInfo> getDisplayList() const = 0;
};

class CLinuxHardwareInfo : public IHardwareInfo
{
public:
    // `root` is where /proc and /sys are found; "/" on a running system.
    explicit CLinuxHardwareInfo(const QString& root = QStringLiteral("/"));

    bool isAvailable() const override { return true; }
    bool isBusy() const override { return false; }
    QString getPlatform() const override;
    QString getVersion() const override;
    QString getArchitecture() const override;
    QString getLanguage() const override;
    QString getCpuModel() const override { return m_cpuModel; }
    float getCpuSpeed() const override { return m_cpuSpeed; }
    int getCpuCount() const override;
    int getMemorySize() const override;
    int getSwapSize() const override;
    // This platform offers the statistics no OpenCL: never available, no GPUs.
    bool isOpenCLAvailable() const override { return false; }
    QList<HardwareGPUInfo> getGpuList() const override { return {}; }
    QList<HardwareDisplayInfo> getDisplayList() const override;

    // The CPU clock in Hz as the system states it (the highest clock of the
    // first CPU, else the current one of /proc/cpuinfo); 0 when unknown.
    static quint64 readCpuFrequencyHz(const QString& root);
    // A "<key>: <value> kB" line of /proc/meminfo in bytes; 0 when absent.
    static quint64 readMemInfoBytes(const QString& root, const QString& key);

private:
    QString m_root;
    QString m_cpuModel;
    float m_cpuSpeed = 0;
};

std::shared_ptr<IHardwareInfo> createHardwareInfo();

// The text report of the description, one "name: value" line each.
QString buildHardwareReport(const IHardwareInfo& info);
// Writes "Hardware Info: \n" and the report at debug level, when there is a logger.
void logHardwareReport(const IHardwareInfo& info);
