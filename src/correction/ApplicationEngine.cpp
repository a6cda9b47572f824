#include "correction/ApplicationEngine.h"

#include "shell/IApplicationInterface.h"
#include "utils/Logger.h"

#include <QCoreApplication>

IProcessEngine* applicationProcessEngine()
{
    auto* application = dynamic_cast<IApplicationInterface*>(QCoreApplication::instance());
    ASSERT(application);
    if (!application)
        return nullptr;
    IProcessEngine* engine = application->getProcessEngine();
    ASSERT(engine);
    return engine;
}
