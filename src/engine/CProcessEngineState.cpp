// The engine's state for undo, and whether two states render differently.

#include "engine/CProcessEngine.h"

QByteArray CProcessEngine::serialize()
{
    // Not built yet.
    return {};
}

void CProcessEngine::deserialize(const QByteArray&, bool)
{
    // Not built yet.
}

bool CProcessEngine::isEqual(const QByteArray&, const QByteArray&)
{
    // Not built yet.
    return false;
}

QString CProcessEngine::getBeforeDictionary()
{
    // Not built yet.
    return {};
}

QString CProcessEngine::getAfterDictionary()
{
    // Not built yet.
    return {};
}

NavikNS::Dictionary CProcessEngine::getLastTransformInParams() const
{
    // Not built yet.
    return {};
}

NavikNS::Dictionary CProcessEngine::getLastTransformOutParams() const
{
    // Not built yet.
    return {};
}

void CProcessEngine::setCurrentDictionaryAsSaveDictionary()
{
    // Not built yet.
}

bool CProcessEngine::isImageProcessingNeeded(const QByteArray&, const QByteArray&)
{
    // Not built yet.
    return false;
}
