#pragma once

// The desktop's list of recently used files ("recently-used.xbel" in the
// user's data folder, shared with every other desktop program).

#include "utils/UtilsGlobal.h"

#include <QString>

namespace NAVIK_tarl1 {

// Records the file as used now by this program. The list is rewritten on a
// thread of its own and the call returns at once; the application object
// waits for the pending additions when it goes. A list that cannot be read as
// XML is left untouched: it belongs to the whole desktop.
void addRecentDocument(const QString& path);

// Returns once every addition asked for so far is in the list.
NAVIK_UTILS_EXPORT void waitForRecentDocuments();

// Where the list lives.
NAVIK_UTILS_EXPORT QString recentDocumentsFilePath();

} // namespace NAVIK_tarl1
