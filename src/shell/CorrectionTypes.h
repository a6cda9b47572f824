#pragma once

// The groups of correction parameters that point projection and the
// keystoning stage filter a parameter dictionary by.

#include <QFlags>

namespace CorrectionTypes {

enum CorrectionTypesEnum
{
    None = 0,
    Anamorphosis = 1,
    Distortion = 2,
    Unassigned4 = 4,
    Unassigned8 = 8,
    Unassigned16 = 16,
};

} // namespace CorrectionTypes

using CorrectionTypesFlags = QFlags<CorrectionTypes::CorrectionTypesEnum>;
Q_DECLARE_OPERATORS_FOR_FLAGS(CorrectionTypesFlags)
