// Named snapshots of the after parameters.

#include "engine/CProcessEngine.h"

bool CProcessEngine::createSnaphot(const QString&)
{
    // Not built yet.
    return false;
}

void CProcessEngine::deleteSnapshot(const QString&)
{
    // Not built yet.
}

void CProcessEngine::renameSnapshot(const QString&, const QString&)
{
    // Not built yet.
}

void CProcessEngine::updateSnapshot(const QString&, bool)
{
    // Not built yet.
}

void CProcessEngine::recallSnapshot(const QString&)
{
    // Not built yet.
}

void CProcessEngine::reprocessSnapshot(const QString&, bool)
{
    // Not built yet.
}
