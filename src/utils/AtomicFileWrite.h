#pragma once

// Replacing a whole file so that a reader finds either the old file or the
// whole new one: never an empty or cut file, also when the disk is full.

#include "utils/UtilsGlobal.h"

#include <QByteArray>
#include <QString>

namespace NAVIK_tarl1 {

// Writes the data beside the file and moves it into place only once every
// byte reached the disk. On failure the file is left as it was (or absent, as
// it was) and `error`, when given, receives the reason.
NAVIK_UTILS_EXPORT bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);

} // namespace NAVIK_tarl1
