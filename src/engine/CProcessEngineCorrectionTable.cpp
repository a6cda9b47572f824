// Filtering a parameter dictionary by correction groups.

#include "engine/CProcessEngine.h"

Navik::Dictionary CProcessEngine::removeCorrectionParams(const Navik::Dictionary&, const CorrectionTypesFlags&)
{
    // Not built yet.
    return {};
}

Navik::Dictionary CProcessEngine::extractCorrectionParams(const Navik::Dictionary&, const CorrectionTypesFlags&)
{
    // Not built yet.
    return {};
}
