#include "online/OrvaneStatisticSender.h"

#include "utils/CSettings.h"

using namespace NAVIK_tarl1;

namespace {

// In the order of the reset and of the report.
const char* const kCorrectionCounters[] = {
    "statistic.auto_distortion_processed",
    "statistic.manual_distortion_processed",
    "statistic.spherical_anamorphosis_processed",
    "statistic.cylindrical_anamorphosis_processed",
    "statistic.vert_keystoning_processed",
    "statistic.hor_keystoning_processed",
    "statistic.rect_keystoning_processed",
    "statistic.8pts_keystoning_processed",
    "statistic.horizon_processed",
    "statistic.manual_crop_processed",
    "statistic.auto_distortion_exif_asked",
    "statistic.auto_distortion_no_caf",
};

} // namespace

OrvaneStatisticSender::OrvaneStatisticSender() = default;

void OrvaneStatisticSender::resetCounters()
{
    CStatisticSender::resetCounters();
    CSettings settings;
    settings.beginGroup(settingsGroup());
    for (const char* key : kCorrectionCounters)
        settings.setValue(QLatin1String(key), 0);
}
