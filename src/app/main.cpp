#include "utils/CSettings.h"
#include "utils/Logger.h"
#include "utils/SharedConstants.h"

#include <QCoreApplication>

using namespace NAVIK_tarl1;

int main(int argc, char* argv[])
{
    // Mark the run as started; a clean exit marks it finished.
    setSettingsValue(g_appFlag, g_appStarted);

    initLoggerForUtilsDll(initLogger(nullptr, QStringLiteral("NavikLogger")), QStringLiteral("NavikLogger"));
    LOG_TRACE();

    QCoreApplication application(argc, argv);
    int result = 0;
    LOG_MESSAGE('D', "Exit with result code: " << result);

    setSettingsValue(g_appFlag, g_appFinished);
    return result;
}
