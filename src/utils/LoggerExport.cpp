#include "utils/Logger.h"

namespace NAVIK_tarl1 {

// Only the library has this entry: it hands the program's logger to the
// library's own copy of the glue.
ILoggerInterface* initLoggerForUtilsDll(ILoggerInterface* logger, const QString& name)
{
    return initLogger(logger, name);
}

} // namespace NAVIK_tarl1
