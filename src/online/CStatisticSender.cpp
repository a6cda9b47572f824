#include "online/CStatisticSender.h"

#include "online/HardwareInfo.h"
#include "online/ServiceAddress.h"
#include "shell/CBaseApplication.h"
#include "utils/CLanguageManager.h"
#include "utils/CSettings.h"
#include "utils/InstalledComponents.h"
#include "utils/Logger.h"
#include "utils/SharedConstants.h"
#include "utils/Utilities.h"

#include <QDebug>
#include <QTimer>

using namespace NAVIK_tarl1;

namespace {

const QString kVersionKey = QStringLiteral("version_of_product");
const QString kLastSendDateKey = QStringLiteral("lastSendDate");
const QString kSendDisabledKey = QStringLiteral("sendDisabledStat");
const QString kSingleLaunches = QStringLiteral("statistic.single_launch_count");
const QString kPhotoshopLaunches = QStringLiteral("statistic.ps_launch_count");
const QString kLightroomLaunches = QStringLiteral("statistic.lr_launch_count");
const QString kApertureLaunches = QStringLiteral("statistic.aperture_launch_count");
const QString k32BitLaunches = QStringLiteral("statistic.32_launch_count");
const QString k64BitLaunches = QStringLiteral("statistic.64_launch_count");
const QString kSingleImages = QStringLiteral("statistic.single_image_count");
const QString kPhotoshopImages = QStringLiteral("statistic.ps_image_count");
const QString kLightroomImages = QStringLiteral("statistic.lr_image_count");
const QString kApertureImages = QStringLiteral("statistic.aperture_image_count");
const QString kServicePath = QStringLiteral("/Information/WSStat.asmx");

// While the hardware description is busy, the report waits this long.
constexpr int kBusyRetryMs = 2000;

QString launchCounterKey(int mode)
{
    switch (mode) {
    case CBaseApplication::PhotoshopMode:
        return kPhotoshopLaunches;
    case CBaseApplication::LightroomMode:
        return kLightroomLaunches;
    case CBaseApplication::ApertureMode:
        return kApertureLaunches;
    default:
        return kSingleLaunches;
    }
}

QString imageCounterKey(int mode)
{
    switch (mode) {
    case CBaseApplication::PhotoshopMode:
        return kPhotoshopImages;
    case CBaseApplication::LightroomMode:
        return kLightroomImages;
    case CBaseApplication::ApertureMode:
        return kApertureImages;
    default:
        return kSingleImages;
    }
}

void incrementCounter(CSettings& settings, const QString& key)
{
    settings.setValue(key, settings.value(key, 0).toInt() + 1);
}

QString prefixed(const char* suffix)
{
    return QStringLiteral("QLT_") + QLatin1String(suffix);
}

} // namespace

CStatisticSender::CStatisticSender() : CStatisticSender(nullptr) {}

CStatisticSender::CStatisticSender(std::shared_ptr<IHardwareInfo> hardwareInfo)
{
    connect(&m_transport, &CSoapHttpTransport::responseReady, this, &CStatisticSender::responseSuccess);
    m_hardwareInfo = hardwareInfo ? std::move(hardwareInfo) : createHardwareInfo();
}

CStatisticSender::~CStatisticSender() = default;

QString CStatisticSender::productVersion()
{
    return QStringLiteral("%1.%2.%3.%4").arg(1).arg(0).arg(6).arg(9434);
}

QString CStatisticSender::settingsGroup()
{
    return QStringLiteral("UsageStatistic");
}

void CStatisticSender::setClock(std::function<QDateTime()> clock)
{
    m_clock = std::move(clock);
}

QDateTime CStatisticSender::now() const
{
    return m_clock ? m_clock() : QDateTime::currentDateTime();
}

int CStatisticSender::readCounter(CSettings& settings, const QString& key)
{
    return settings.value(key).toInt();
}

void CStatisticSender::countLaunch(int mode)
{
    if (getSettingsValue(settingsGroup() + QLatin1Char('/') + kVersionKey, QString()).toString() != productVersion())
        resetCounters();
    CSettings settings;
    settings.beginGroup(settingsGroup());
    settings.setValue(kVersionKey, productVersion());
    incrementCounter(settings, launchCounterKey(mode));
    incrementCounter(settings, k64BitLaunches);
}

void CStatisticSender::countProcessedImage(int mode)
{
    CSettings settings;
    settings.beginGroup(settingsGroup());
    incrementCounter(settings, imageCounterKey(mode));
}

void CStatisticSender::countSavedImage(int mode, IProcessEngine*)
{
    if (mode >= CBaseApplication::StandaloneMode && mode <= CBaseApplication::ApertureMode)
        countProcessedImage(mode);
}

void CStatisticSender::resetCounters()
{
    {
        CSettings settings;
        settings.beginGroup(settingsGroup());
        for (const QString& key : {kApertureLaunches, kLightroomLaunches, kPhotoshopLaunches, kSingleLaunches,
                                   k32BitLaunches, k64BitLaunches}) {
            settings.setValue(key, 0);
            settings.remove(key);
        }
    }
    for (const QString& mode : {g_lrMode, g_photoshopMode, g_apertureMode, g_standaloneMode})
        crashCounterReset(mode);
}

void CStatisticSender::sendStatistic()
{
    if (m_hardwareInfo->isBusy()) {
        QTimer::singleShot(kBusyRetryMs, this, &CStatisticSender::sendStatistic);
        return;
    }
    CSettings settings;
    settings.beginGroup(settingsGroup());
    const QDateTime last = QDateTime::fromString(settings.value(kLastSendDateKey).toString(), Qt::ISODate);
    if (last.isNull() || !(now() < last.addDays(1)))
        send();
}

void CStatisticSender::send()
{
    const bool consent = isStatisticSent();
    {
        CSettings settings;
        settings.beginGroup(settingsGroup());
        if (!settings.value(kSendDisabledKey, true).toBool() && !consent)
            return;
        settings.setValue(kSendDisabledKey, true);
    }

    CSoapMessage message;
    message.setMethod(CSoapQName(getMethodName(), getMethodNamespace()));
    message.addMethodArgument(QStringLiteral("userID"), QString(), getUserID());
    const QString version = productVersion();
    addProductInfo(message, version, consent);
    addSystemInfo(message, 0, consent);
    addExtraInfo(message, 0, consent);
    addPluginInfo(message, 0, consent);

    OnlineServices::setTransportAddress(
        m_transport,
        OnlineServices::serviceAddress(OnlineServices::kStatisticsServiceVariable,
                                       OnlineServices::kStatisticsServiceAddress));
    m_transport.setAction(getSoapAction());
    m_transport.submitRequest(message, kServicePath);
}

void CStatisticSender::responseSuccess()
{
    CSettings settings;
    settings.beginGroup(settingsGroup());
    settings.setValue(kLastSendDateKey, now().toString(Qt::ISODate));
    const CSoapMessage& response = m_transport.getResponse();
    if (response.isFault()) {
        LOG_MESSAGE('D', "Error: " << response.faultString().text());
        return;
    }
    if (!isStatisticSent())
        settings.setValue(kSendDisabledKey, false);
}

QString CStatisticSender::getSoapAction()
{
    return getMethodNamespace() + QStringLiteral("/SendPluginUserInfo");
}

QString CStatisticSender::getMethodName()
{
    return QStringLiteral("SendPluginUserInfo");
}

QString CStatisticSender::getMethodNamespace()
{
    return QStringLiteral("http://") + OnlineServices::kStatisticsNamespaceHost + QStringLiteral("/Stat");
}

void CStatisticSender::addIntItem(CSoapStruct& parent, const QString& name, int value, bool blank)
{
    parent.insert(name, blank ? 0 : value);
}

void CStatisticSender::addNumberItem(CSoapStruct& parent, const QString& name, double value, bool blank)
{
    if (blank)
        parent.insert(name, 0);
    else
        parent.insert(name, QString::number(value, 'g', 6));
}

void CStatisticSender::addStringItem(CSoapStruct& parent, const QString& name, const QString& value, bool blank)
{
    if (blank)
        parent.insert(std::make_unique<CSoapSimpleType>(CSoapQName(name)));
    else
        parent.insert(name, value);
}

void CStatisticSender::addBoolItem(CSoapStruct& parent, const QString& name, bool value, bool blank)
{
    parent.insert(name, blank ? false : value);
}

void CStatisticSender::addProductInfo(CSoapMessage& message, const QString& version, bool consent)
{
    auto product = std::make_unique<CSoapStruct>(CSoapQName(QStringLiteral("productInfo")));
    addIntItem(*product, QStringLiteral("revision"), 0, false);
    addStringItem(*product, QStringLiteral("NAVIK_Product_Name"), g_appTitle, false);
    addStringItem(*product, QStringLiteral("NAVIK_Product_Version"), version, false);
    addBoolItem(*product, QStringLiteral("NAVIK_Feedback_Enabled"), consent, false);
    message.addMethodArgument(std::move(product));
}

void CStatisticSender::addSystemInfo(CSoapMessage& message, int revision, bool consent)
{
    const bool blank = !consent;
    const IHardwareInfo& info = *m_hardwareInfo;
    auto system = std::make_unique<CSoapStruct>(CSoapQName(QStringLiteral("systemInfo")));
    addIntItem(*system, QStringLiteral("revision"), revision, blank);
    addStringItem(*system, QStringLiteral("SYS_Platform"), info.getPlatform(), blank);
    addStringItem(*system, QStringLiteral("SYS_Version"), info.getVersion(), blank);
    addStringItem(*system, QStringLiteral("SYS_Architecture"), info.getArchitecture(), blank);
    addStringItem(*system, QStringLiteral("SYS_Language"), info.getLanguage(), blank);
    addStringItem(*system, QStringLiteral("SYS_CPU_Model"), info.getCpuModel(), blank);
    addNumberItem(*system, QStringLiteral("SYS_CPU_Speed"), info.getCpuSpeed(), blank);
    addIntItem(*system, QStringLiteral("SYS_CPU_Count"), info.getCpuCount(), blank);
    addIntItem(*system, QStringLiteral("SYS_Memory_Size"), info.getMemorySize(), blank);
    addIntItem(*system, QStringLiteral("SYS_Swap_Size"), info.getSwapSize(), blank);
    addBoolItem(*system, QStringLiteral("SYS_OpenCL_Available"), info.isOpenCLAvailable(), blank);

    const QList<HardwareGPUInfo> gpus = info.getGpuList();
    if (!gpus.isEmpty()) {
        auto list = std::make_unique<CSoapStruct>(CSoapQName(QStringLiteral("SYS_GPU_List")));
        for (const HardwareGPUInfo& gpu : gpus) {
            auto entry = std::make_unique<CSoapStruct>(CSoapQName(QStringLiteral("GPUInfo")));
            addIntItem(*entry, QStringLiteral("revision"), revision, blank);
            addStringItem(*entry, QStringLiteral("SYS_GPU_Model"), gpu.model, blank);
            addStringItem(*entry, QStringLiteral("SYS_GPU_OpenCL_Version"), gpu.openCLVersion, blank);
            addIntItem(*entry, QStringLiteral("SYS_GPU_Memory"), gpu.memory, blank);
            addIntItem(*entry, QStringLiteral("SYS_GPU_PerfRank"), gpu.perfRank, blank);
            list->insert(std::move(entry));
        }
        system->insert(std::move(list));
    }
    const QList<HardwareDisplayInfo> displays = info.getDisplayList();
    if (!displays.isEmpty()) {
        auto list = std::make_unique<CSoapStruct>(CSoapQName(QStringLiteral("SYS_Display_List")));
        for (const HardwareDisplayInfo& display : displays) {
            auto entry = std::make_unique<CSoapStruct>(CSoapQName(QStringLiteral("DisplayInfo")));
            addIntItem(*entry, QStringLiteral("revision"), revision, blank);
            addStringItem(*entry, QStringLiteral("SYS_Display_Model"), display.model, blank);
            addIntItem(*entry, QStringLiteral("SYS_Display_Width"), display.width, blank);
            addIntItem(*entry, QStringLiteral("SYS_Display_Height"), display.height, blank);
            addNumberItem(*entry, QStringLiteral("SYS_Display_Resolution"), display.resolution, blank);
            list->insert(std::move(entry));
        }
        system->insert(std::move(list));
    }
    message.addMethodArgument(std::move(system));
}

void CStatisticSender::addExtraInfo(CSoapMessage&, int, bool) {}

void CStatisticSender::addPluginInfo(CSoapMessage& message, int revision, bool consent)
{
    const bool blank = !consent;
    auto plugin = std::make_unique<CSoapStruct>(CSoapQName(QStringLiteral("pluginInfo")));
    addIntItem(*plugin, QStringLiteral("revision"), revision, blank);
    addStringItem(*plugin, prefixed("App_Language"), CLanguageManager::instance()->currentLanguageAbbrv(), blank);

    CSettings settings;
    settings.beginGroup(settingsGroup());
    const int lrLaunches = readCounter(settings, kLightroomLaunches);
    const int psLaunches = readCounter(settings, kPhotoshopLaunches);
    const int apLaunches = readCounter(settings, kApertureLaunches);
    const int singleLaunches = readCounter(settings, kSingleLaunches);
    addIntItem(*plugin, prefixed("Lightroom_Launches"), lrLaunches, blank);
    addIntItem(*plugin, prefixed("Photoshop_Launches"), psLaunches, blank);
    addIntItem(*plugin, prefixed("Aperture_Launches"), apLaunches, blank);
    addIntItem(*plugin, prefixed("Standalone_Launches"), singleLaunches, blank);
    addIntItem(*plugin, prefixed("Total_Launches"), lrLaunches + psLaunches + apLaunches + singleLaunches, blank);

    const int lrCrashes = crashCounterForPlugin(g_lrMode);
    const int psCrashes = crashCounterForPlugin(g_photoshopMode);
    const int apCrashes = crashCounterForPlugin(g_apertureMode);
    const int singleCrashes = crashCounterForPlugin(g_standaloneMode);
    addIntItem(*plugin, prefixed("Lightroom_Crashes"), lrCrashes, blank);
    addIntItem(*plugin, prefixed("Photoshop_Crashes"), psCrashes, blank);
    addIntItem(*plugin, prefixed("Aperture_Crashes"), apCrashes, blank);
    addIntItem(*plugin, prefixed("Standalone_Crashes"), singleCrashes, blank);
    addIntItem(*plugin, prefixed("Total_Crashes"), lrCrashes + psCrashes + apCrashes + singleCrashes, blank);

    addIntItem(*plugin, prefixed("32bits_Launches"), readCounter(settings, k32BitLaunches), blank);
    addIntItem(*plugin, prefixed("64bits_Launches"), readCounter(settings, k64BitLaunches), blank);
    addIntItem(*plugin, prefixed("Lightroom_Processed"), readCounter(settings, kLightroomImages), blank);
    addIntItem(*plugin, prefixed("Photoshop_Processed"), readCounter(settings, kPhotoshopImages), blank);
    addIntItem(*plugin, prefixed("Aperture_Processed"), readCounter(settings, kApertureImages), blank);
    addIntItem(*plugin, prefixed("Standalone_Processed"), readCounter(settings, kSingleImages), blank);

    SInstalledComponents installed;
    GetInstalledComponents(installed);
    const std::pair<bool, QString> hosts[] = {
        {installed.cs3_32, QStringLiteral("CS3 32bit")},   {installed.cs4_32, QStringLiteral("CS4 32 bit")},
        {installed.cs4_64, QStringLiteral("CS4 64 bit")},  {installed.cs5_32, QStringLiteral("CS5 32 bit")},
        {installed.cs5_64, QStringLiteral("CS5 64 bit")},  {installed.cs6_32, QStringLiteral("CS6 32 bit")},
        {installed.cs6_64, QStringLiteral("CS6 64 bit")},  {installed.cc_32, QStringLiteral("CC 32 bit")},
        {installed.cc_64, QStringLiteral("CC 64 bit")},
    };
    std::vector<std::pair<QString, QString>> entries;
    for (const auto& [present, version] : hosts) {
        if (present)
            entries.emplace_back(QStringLiteral("Photoshop"), version);
    }
    if (!installed.lrVersionList.isEmpty())
        entries.emplace_back(QStringLiteral("Lightroom"), installed.lrVersionList);
    if (installed.el9_32)
        entries.emplace_back(QStringLiteral("PSE"), QStringLiteral("PSE9"));
    if (installed.el10_32)
        entries.emplace_back(QStringLiteral("PSE"), QStringLiteral("PSE10"));
    if (installed.el11_32)
        entries.emplace_back(QStringLiteral("PSE"), QStringLiteral("PSE11"));
    if (!installed.apertureVersion.isEmpty())
        entries.emplace_back(QStringLiteral("Aperture"), installed.apertureVersion);

    auto hostList = std::make_unique<CSoapStruct>(CSoapQName(prefixed("Host_Version_List")));
    for (const auto& [name, version] : entries) {
        auto entry = std::make_unique<CSoapStruct>(CSoapQName(prefixed("HostInfo")));
        addStringItem(*entry, QStringLiteral("name"), name, blank);
        addStringItem(*entry, QStringLiteral("version"), version, blank);
        hostList->insert(std::move(entry));
    }
    plugin->insert(std::move(hostList));
    message.addMethodArgument(std::move(plugin));
}
