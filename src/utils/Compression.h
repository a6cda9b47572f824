#pragma once

// Zip archives of file sets, for users of the library outside the program.

#include "utils/UtilsGlobal.h"

#include <QString>
#include <QStringList>

#include <string>

namespace NAVIK_tarl1 {

// Writes a zip archive at zipFile holding the listed files; false on failure.
NAVIK_UTILS_EXPORT bool CompressFiles(const QStringList& files, const QString& zipFile);

// Extracts the archive into destinationDir, making the folder chain first.
// Nothing is reported; failures are only logged. QuaZIP skips entries whose
// names would land outside the destination ("../x", "/etc/x").
NAVIK_UTILS_EXPORT void DecompressFiles(const QString& zipFile, const QString& destinationDir);

// The same for callers without Qt.
extern "C" NAVIK_UTILS_EXPORT void DecompressFiles(const std::wstring& zipFile,
                                                   const std::wstring& destinationDir);

} // namespace NAVIK_tarl1
