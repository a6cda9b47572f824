#pragma once

// The groups of correction parameters that point projection and the
// keystoning stage filter a parameter dictionary by, and the table that tags
// each engine key with its groups.

#include <QFlags>
#include <QList>
#include <QPair>
#include <QString>

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

// Engine keys and the groups they belong to, in table order. The two shared
// keys carry both flags; keys not listed belong to no group.
extern const QList<QPair<QString, CorrectionTypesFlags>> correctionParameterTable;
