#include "online/CStatisticSender.h"

#include "shell/CBaseApplication.h"
#include "utils/CSettings.h"
#include "utils/SharedConstants.h"
#include "utils/Utilities.h"

using namespace NAVIK_tarl1;

namespace {

const QString kVersionKey = QStringLiteral("version_of_product");
const QString kSingleLaunches = QStringLiteral("statistic.single_launch_count");
const QString kPhotoshopLaunches = QStringLiteral("statistic.ps_launch_count");
const QString kLightroomLaunches = QStringLiteral("statistic.lr_launch_count");
const QString kApertureLaunches = QStringLiteral("statistic.aperture_launch_count");
const QString k32BitLaunches = QStringLiteral("statistic.32_launch_count");
const QString k64BitLaunches = QStringLiteral("statistic.64_launch_count");

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

void incrementCounter(CSettings& settings, const QString& key)
{
    settings.setValue(key, settings.value(key, 0).toInt() + 1);
}

} // namespace

CStatisticSender::CStatisticSender() = default;

CStatisticSender::~CStatisticSender() = default;

QString CStatisticSender::productVersion()
{
    return QStringLiteral(QUILLET_VERSION_STRING);
}

QString CStatisticSender::settingsGroup()
{
    return QStringLiteral("UsageStatistic");
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

void CStatisticSender::sendStatistic()
{
    // The report goes out once its request to the statistics service is
    // built; until then the counters only accumulate.
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
