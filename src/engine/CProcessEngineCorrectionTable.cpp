// Filtering a parameter dictionary by correction groups.

#include "engine/CProcessEngine.h"

#include "engine/CorrectionParameterTable.h"

#include "engine/EngineParameterKeys.h"
#include "engine/NavikStrings.h"
#include "engine/ParameterGroups.h"
#include "utils/Logger.h"

using namespace CorrectionTypes;
namespace Keys = EngineParameterKeys;

const QList<QPair<QString, CorrectionTypesFlags>> correctionParameterTable = {
    {QLatin1String(Keys::AnamorphosisActive), Anamorphosis},
    {QLatin1String(Keys::AnamorphosisType), Anamorphosis},
    {QLatin1String(Keys::AnamorphosisHorizontal), Anamorphosis},
    {QLatin1String(Keys::AnamorphosisVertical), Anamorphosis},
    {QLatin1String(Keys::AnamorphosisRadial), Anamorphosis},
    {QLatin1String(Keys::DistortionKeepRatio), Anamorphosis | Distortion},
    {QLatin1String(Keys::DistortionAnamorphosisKeepEntireImage), Anamorphosis | Distortion},
    {QLatin1String(Keys::DistortionActive), Distortion},
    {QLatin1String(Keys::DistortionType), Distortion},
    {QLatin1String(Keys::DistortionIntensity), Distortion},
};

namespace {

// The groups 4, 8 and 16 have no keys: asking for them is a caller's mistake.
void assertOnlyAssignedGroups(const CorrectionTypesFlags& types)
{
    ASSERT_X(!types.testFlag(Unassigned8), "correction groups", "no keys in group 8");
    ASSERT_X(!types.testFlag(Unassigned4), "correction groups", "no keys in group 4");
    ASSERT_X(!types.testFlag(Unassigned16), "correction groups", "no keys in group 16");
}

} // namespace

Navik::Dictionary CProcessEngine::removeCorrectionParams(const Navik::Dictionary& parameters,
                                                         const CorrectionTypesFlags& types)
{
    assertOnlyAssignedGroups(types);
    Navik::Dictionary result = parameters;
    // A shared key goes only when every group it belongs to is removed.
    for (const auto& [key, groups] : correctionParameterTable) {
        if ((types & groups) == groups)
            result.RemoveValueForKey(toNavikString(key));
    }
    return result;
}

Navik::Dictionary CProcessEngine::extractCorrectionParams(const Navik::Dictionary& parameters,
                                                          const CorrectionTypesFlags& types)
{
    assertOnlyAssignedGroups(types);
    Navik::Dictionary result;
    // A shared key comes along with any of its groups.
    for (const auto& [key, groups] : correctionParameterTable) {
        if (types & groups)
            copyKeyIfPresent(result, parameters, key);
    }
    return result;
}
