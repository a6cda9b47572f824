#include "online/OrvaneStatisticSender.h"

#include "engine/DefaultParameters.h"
#include "shell/IProcessEngine.h"
#include "utils/CSettings.h"

#include <Navik/Value.h>

#include <strings.h>

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

const char* const kCorrectionElements[] = {
    "OVN_Auto_Distortion_Processed",
    "OVN_Manual_Distortion_Processed",
    "OVN_Spherical_Anamorphosis_Processed",
    "OVN_Cylindrical_Anamorphosis_Processed",
    "OVN_Vert_Keystoning_Processed",
    "OVN_Hor_Keystoning_Processed",
    "OVN_Rect_Keystoning_Processed",
    "OVN_8PTS_Keystoning_Processed",
    "OVN_Horizon_Processed",
    "OVN_Manual_Crop_Processed",
    "OVN_Auto_Distortion_EXIF_Asked",
    "OVN_Auto_Distortion_No_CAF",
};

enum Counter {
    AutoDistortion,
    ManualDistortion,
    SphericalAnamorphosis,
    CylindricalAnamorphosis,
    VerticalKeystoning,
    HorizontalKeystoning,
    RectangleKeystoning,
    EightPointKeystoning,
    Horizon,
    ManualCrop,
    ExifAsked,
    NoCameraProfile,
};

// Flags and texts of the parameters; a missing key or another type reads as
// false or "not present".
class Parameters
{
public:
    explicit Parameters(const Navik::Dictionary& dict) : m_dict(dict) {}

    bool flag(const char* key) const { return m_dict.GetValueForKey(key).AsBool(); }
    bool present(const char* key) const { return m_dict.GetValueForKey(key).IsValid(); }
    // The value's text, empty when it is not a text.
    std::string text(const char* key) const
    {
        const Navik::Value value = m_dict.GetValueForKey(key);
        bool ok = false;
        const char* chars = value.AsCStr(&ok);
        return ok && chars ? std::string(chars) : std::string();
    }
    bool textIs(const char* key, const char* expected) const
    {
        return present(key) && strcasecmp(text(key).c_str(), expected) == 0;
    }
    Navik::ValueArray points() const
    {
        const Navik::Value value = m_dict.GetValueForKey("KeystoningPoints");
        bool ok = false;
        const Navik::ValueArray& array = value.AsValueArray(&ok);
        return ok ? array : Navik::ValueArray();
    }

private:
    const Navik::Dictionary& m_dict;
};

} // namespace

OrvaneStatisticSender::OrvaneStatisticSender() = default;

OrvaneStatisticSender::OrvaneStatisticSender(std::shared_ptr<IHardwareInfo> hardwareInfo)
    : CStatisticSender(std::move(hardwareInfo))
{
}

QStringList OrvaneStatisticSender::correctionCounterKeys()
{
    QStringList keys;
    for (const char* key : kCorrectionCounters)
        keys.append(QLatin1String(key));
    return keys;
}

void OrvaneStatisticSender::resetCounters()
{
    CStatisticSender::resetCounters();
    CSettings settings;
    settings.beginGroup(settingsGroup());
    for (const char* key : kCorrectionCounters)
        settings.setValue(QLatin1String(key), 0);
}

QString OrvaneStatisticSender::getSoapAction()
{
    return getMethodNamespace() + QStringLiteral("/SendOrvaneUserInfo");
}

QString OrvaneStatisticSender::getMethodName()
{
    return QStringLiteral("SendOrvaneUserInfo");
}

void OrvaneStatisticSender::addExtraInfo(CSoapMessage& message, int revision, bool consent)
{
    const bool blank = !consent;
    auto info = std::make_unique<CSoapStruct>(CSoapQName(QStringLiteral("orvaneInfo")));
    addIntItem(*info, QStringLiteral("revision"), revision, blank);
    CSettings settings;
    settings.beginGroup(settingsGroup());
    for (size_t i = 0; i < std::size(kCorrectionCounters); ++i)
        addIntItem(*info, QLatin1String(kCorrectionElements[i]),
                   readCounter(settings, QLatin1String(kCorrectionCounters[i])), blank);
    message.addMethodArgument(std::move(info));
}

void OrvaneStatisticSender::countSavedImage(int mode, IProcessEngine* engine)
{
    CStatisticSender::countSavedImage(mode, engine);
    updateCorrectionStatistics(engine);
}

void incrementStatisticCounter(CSettings& settings, const QString& key)
{
    settings.setValue(key, settings.value(key, 0).toInt() + 1);
}

void updateCorrectionStatistics(IProcessEngine* engine)
{
    if (!engine)
        return;
    const Navik::Dictionary parameters = engine->getKeystoningDictionary(engine->getLastTransformInParams(), nullptr);
    updateCorrectionStatistics(parameters, !engine->getOpenedFilePath().isEmpty());
}

void updateCorrectionStatistics(const Navik::Dictionary& dict, bool exifFromOtherFile)
{
    CSettings settings;
    settings.beginGroup(CStatisticSender::settingsGroup());
    const auto count = [&settings](Counter counter) {
        incrementStatisticCounter(settings, QLatin1String(kCorrectionCounters[counter]));
    };
    const Parameters p(dict);

    if (p.flag("DistortionActive") && p.textIs("DistortionType", "Auto"))
        count(AutoDistortion);
    if (p.flag("DistortionActive") && p.present("DistortionType") && !p.textIs("DistortionType", "Auto") &&
        !p.text("DistortionType").empty())
        count(ManualDistortion);
    if (p.flag("AnamorphosisActive") && p.textIs("AnamorphosisType", "Spherical"))
        count(SphericalAnamorphosis);
    if (p.flag("AnamorphosisActive") && p.textIs("AnamorphosisType", "Cylindrical"))
        count(CylindricalAnamorphosis);

    const bool keystoning = p.flag("KeystoningActive");
    // Points of another type than a list make no keystoning rule hold.
    const bool hasPoints = p.present("KeystoningPoints") &&
                           dict.GetValueForKey("KeystoningPoints").GetType() == Navik::Value::kTypeValueArray;
    const Navik::ValueArray points = p.points();
    if (keystoning && p.textIs("KeystoningMode", "Parallel") && hasPoints &&
        points != defaultVerticalKeystoningPoints())
        count(VerticalKeystoning);
    if (keystoning && p.textIs("KeystoningMode", "Rectangle") && hasPoints &&
        points != defaultHorizontalKeystoningPoints() && points != defaultVerticalKeystoningPoints())
        count(RectangleKeystoning);
    if (keystoning && p.textIs("KeystoningMode", "FourLines") && hasPoints &&
        points != default8PointsKeystoningPoints())
        count(EightPointKeystoning);
    if (keystoning && p.present("KeystoningHorizon"))
        count(Horizon);
    if (p.flag("CropActive") && p.present("CropRect"))
        count(ManualCrop);
    if (exifFromOtherFile)
        count(ExifAsked);
}
