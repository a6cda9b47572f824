// The engine's state for undo, and whether two states render differently.

#include "engine/CProcessEngine.h"
#include "engine/DefaultParameters.h"
#include "engine/EngineParameterKeys.h"
#include "engine/EngineStateFormat.h"
#include "engine/ExifRotation.h"
#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"

#include <QDataStream>
#include <QIODevice>
#include <QMutexLocker>

namespace Keys = EngineParameterKeys;
using namespace EngineStateFormat;

namespace {

// A dictionary of a state; one whose text yields nothing is reported and
// counts as empty.
Navik::Dictionary dictionaryOrEmpty(Navik::LuaSerializer& serializer, const QVariant& text, const char* name)
{
    const std::optional<Navik::Dictionary> dictionary = readDictionary(serializer, text, name);
    ASSERT(dictionary);
    return dictionary.value_or(Navik::Dictionary());
}

// The initial and the result dictionaries of a state, each as far as present.
QList<Navik::Dictionary> parameterDictionaries(Navik::LuaSerializer& serializer,
                                               const QMap<QString, QVariant>& entries)
{
    QList<Navik::Dictionary> dictionaries;
    if (entries.contains(initialKey))
        dictionaries << dictionaryOrEmpty(serializer, entries.value(initialKey), initialName);
    if (entries.contains(resultKey))
        dictionaries << dictionaryOrEmpty(serializer, entries.value(resultKey), resultName);
    return dictionaries;
}

bool hasParameterKeys(const QMap<QString, QVariant>& entries)
{
    return entries.contains(initialKey) && entries.contains(resultKey) && entries.contains(rotationKey);
}

// The automatic lens correction finds its type and intensity again for the
// photograph at hand, so a restored state does not carry the old ones.
void dropAutomaticDistortion(Navik::Dictionary& parameters)
{
    if (!parameters.GetValueForKey(Keys::DistortionActive).AsBool())
        return;
    const Navik::Value type = parameters.GetValueForKey(Keys::DistortionType);
    if (!type.IsValid() || type.AsString() != "Auto")
        return;
    parameters.RemoveValueForKey(Keys::DistortionType);
    parameters.RemoveValueForKey(Keys::DistortionIntensity);
}

QMap<QString, Navik::Dictionary> readSnapshots(const QMap<QString, QVariant>& entries)
{
    ASSERT_X(entries.contains(snapshotsKey), "CProcessEngine::deserialize", "no snapshots");
    QMap<QString, Navik::Dictionary> snapshots;
    const QMap<QString, QVariant> texts = entries.value(snapshotsKey).toMap();
    for (auto text = texts.cbegin(); text != texts.cend(); ++text) {
        // An unreadable snapshot is dropped; the others come back.
        Navik::LuaSerializer serializer;
        if (const std::optional<Navik::Dictionary> snapshot = readDictionary(serializer, text.value(), snapshotName))
            snapshots.insert(text.key(), *snapshot);
    }
    return snapshots;
}

} // namespace

QByteArray CProcessEngine::serialize()
{
    LOG_TRACE();
    QMap<QString, QVariant> entries;
    Navik::LuaSerializer serializer;
    entries.insert(initialKey, dictionaryText(serializer, parameters(true), initialName));
    entries.insert(resultKey, dictionaryText(serializer, parameters(false), resultName));
    entries.insert(rotationKey, int(m_currentRotation));
    QMap<QString, QVariant> snapshots;
    for (auto snapshot = m_snapshots.cbegin(); snapshot != m_snapshots.cend(); ++snapshot) {
        Navik::LuaSerializer snapshotSerializer;
        snapshots.insert(snapshot.key(), dictionaryText(snapshotSerializer, snapshot.value(), snapshotName));
    }
    entries.insert(snapshotsKey, snapshots);
    entries.insert(orientationKey, m_imageOrientation);

    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(NAVIK_tarl1::g_dataStreamVersion);
    NAVIK_tarl1::writeVariantMap(stream, entries);
    stream << m_normalizedKeystoningPoints;
    return bytes;
}

void CProcessEngine::deserialize(const QByteArray& data, bool render)
{
    LOG_TRACE();
    const EngineState state = readEngineState(data);
    const QMap<QString, QVariant>& entries = state.entries;

    Navik::LuaSerializer serializer;
    std::optional<Navik::Dictionary> initial;
    if (entries.contains(initialKey))
        initial = dictionaryOrEmpty(serializer, entries.value(initialKey), initialName);
    std::optional<Navik::Dictionary> result;
    if (entries.contains(resultKey)) {
        result = dictionaryOrEmpty(serializer, entries.value(resultKey), resultName);
        dropAutomaticDistortion(*result);
    }
    {
        QMutexLocker lock(&m_parameterLock);
        m_normalizedKeystoningPoints = state.points;
        if (initial)
            m_initialParameters = *initial;
        if (result)
            m_resultParameters = *result;
    }
    m_snapshots = readSnapshots(entries);

    restoreRotation(entries);
    if (render)
        forceProcessImage();
}

void CProcessEngine::restoreRotation(const QMap<QString, QVariant>& entries)
{
    ASSERT_X(entries.contains(orientationKey), "CProcessEngine::deserialize", "no orientation");
    const int savedOrientation = entries.value(orientationKey, 0).toInt();
    if (!entries.contains(rotationKey))
        return;
    const int rotation = entries.value(rotationKey).toInt();
    if (savedOrientation == m_imageOrientation) {
        // The same photograph: the turn is taken as it was, without a render.
        // A turn out of range comes from a damaged state.
        ASSERT(isQuarterTurn(rotation));
        if (isQuarterTurn(rotation))
            m_currentRotation = RotationDirections::RotationDirectionsEnum(rotation);
        return;
    }
    const auto turned = rotationUnderOtherOrientation(rotation, savedOrientation, m_imageOrientation);
    ASSERT(turned);
    rotateImageFromInitialState(turned.value_or(m_currentRotation));
}

bool CProcessEngine::isEqual(const QByteArray& first, const QByteArray& second)
{
    LOG_TRACE();
    Navik::LuaSerializer serializer;
    return parameterDictionaries(serializer, readEngineStateEntries(first)) ==
           parameterDictionaries(serializer, readEngineStateEntries(second));
}

QString CProcessEngine::getBeforeDictionary()
{
    Navik::LuaSerializer serializer;
    return dictionaryText(serializer, removeDefaultPropertiesFromDictionary(parameters(true)), "dictionary");
}

QString CProcessEngine::getAfterDictionary()
{
    Navik::LuaSerializer serializer;
    return dictionaryText(serializer, removeDefaultPropertiesFromDictionary(parameters(false)), "dictionary");
}

NavikNS::Dictionary CProcessEngine::getLastTransformInParams() const
{
    LOG_TRACE();
    return parameters(false);
}

NavikNS::Dictionary CProcessEngine::getLastTransformOutParams() const
{
    LOG_TRACE();
    QMutexLocker lock(&m_parameterLock);
    return m_lastTransformOutParameters;
}

void CProcessEngine::setCurrentDictionaryAsSaveDictionary()
{
    LOG_TRACE();
    QMutexLocker lock(&m_parameterLock);
    m_savedParameters = m_resultParameters;
    m_savedPoints = m_normalizedKeystoningPoints;
}

bool CProcessEngine::isImageProcessingNeeded(const QByteArray& first, const QByteArray& second)
{
    LOG_TRACE();
    const EngineState before = readEngineState(first);
    if (!hasParameterKeys(before.entries))
        return true;
    const EngineState after = readEngineState(second);
    if (!isSamePointSet(before.points, after.points) || !hasParameterKeys(after.entries))
        return true;
    // Only what the after image shows is compared: a step that changes the
    // before image or the snapshots alone needs no new render.
    Navik::LuaSerializer serializer;
    if (dictionaryOrEmpty(serializer, before.entries.value(resultKey), resultName) !=
        dictionaryOrEmpty(serializer, after.entries.value(resultKey), resultName))
        return true;
    return before.entries.value(rotationKey).toInt() != after.entries.value(rotationKey).toInt();
}
