#pragma once

#include "shell/CorrectionTypes.h"

#include <QList>
#include <QPair>
#include <QString>

// Engine keys and the groups they belong to, in table order. The two shared
// keys carry both flags; keys not listed belong to no group.
extern const QList<QPair<QString, CorrectionTypesFlags>> correctionParameterTable;
