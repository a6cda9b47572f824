// The before and after parameter dictionaries: the change handlers, the
// dependent keys, clearing, "OutputRotation", and what changed since the save.

#include "engine/CProcessEngine.h"
#include "engine/ExifRotation.h"
#include "engine/DefaultParameters.h"
#include "engine/EngineParameterKeys.h"
#include "engine/NavikStrings.h"
#include "utils/Logger.h"

#include <QMap>
#include <QMutexLocker>

namespace Keys = EngineParameterKeys;

// ---------------------------------------------------------------- change handlers

Navik::Value CProcessEngine::resultParameter(const QString& key) const
{
    return m_resultParameters.GetValueForKey(toNavikString(key));
}

void CProcessEngine::setResultParameter(const QString& key, const Navik::Value& value, bool changed,
                                        bool applyDependencies)
{
    if (!changed)
        return;
    {
        QMutexLocker lock(&m_parameterLock);
        m_resultParameters.SetValueForKey(toNavikString(key), value);
    }
    requestRenderAfterChange(applyDependencies);
}

void CProcessEngine::requestRenderAfterChange(bool applyDependencies)
{
    // Queued even without an image: it waits for one.
    queueLoResTask(false);
    if (applyDependencies)
        applyParameterDependencies();
    emit ceParamsChanged();
}

void CProcessEngine::onCEPropertyIntChanged(const QString& key, int value)
{
    LOG_TRACE();
    const Navik::Value stored = resultParameter(key);
    setResultParameter(key, Navik::Value(value), !stored.IsValid() || stored.AsInt() != value, false);
}

void CProcessEngine::onCEPropertyFloatChanged(const QString& key, float value)
{
    LOG_TRACE();
    const double widened = value;
    const Navik::Value stored = resultParameter(key);
    // A NaN on either side never compares equal.
    setResultParameter(key, Navik::Value(widened), !stored.IsValid() || stored.AsDouble() != widened, false);
}

void CProcessEngine::onCEPropertyStringChanged(const QString& key, const QString& value)
{
    LOG_TRACE();
    const std::string converted = toNavikString(value);
    const Navik::Value stored = resultParameter(key);
    setResultParameter(key, Navik::Value(converted), !stored.IsValid() || converted.compare(stored.AsCStr()) != 0,
                       true);
}

void CProcessEngine::onCEPropertyBoolChanged(const QString& key, bool value)
{
    LOG_TRACE();
    const Navik::Value stored = resultParameter(key);
    setResultParameter(key, Navik::Value(value), !stored.IsValid() || stored.AsBool() != value, true);
}

void CProcessEngine::onCEPropertyValueArrayChanged(const QString& key, const Navik::ValueArray& value)
{
    LOG_TRACE();
    const Navik::Value stored = resultParameter(key);
    setResultParameter(key, Navik::Value(value), !stored.IsValid() || !(stored.AsValueArray() == value), false);
}

bool CProcessEngine::addCEDictionaryParameters(NavikNS::Dictionary params)
{
    LOG_TRACE();
    // Collects a dictionary's entries by key, in Qt's key order.
    class CustomApplier : public Navik::Dictionary::Applier
    {
    public:
        bool applyEntry(const std::string& key, const Navik::Value& value) override
        {
            m_entries.insert(QString::fromLatin1(key.data(), qsizetype(key.size())), value);
            return true;
        }
        QMap<QString, Navik::Value> m_entries;
    };

    CustomApplier given;
    CustomApplier current;
    params.Apply(given);
    m_resultParameters.Apply(current);
    bool changed = false;
    for (auto entry = given.m_entries.cbegin(); entry != given.m_entries.cend() && !changed; ++entry) {
        const auto stored = current.m_entries.constFind(entry.key());
        changed = stored == current.m_entries.cend() || *stored != entry.value();
    }
    if (!changed)
        return false;

    {
        QMutexLocker lock(&m_parameterLock);
        m_resultParameters.AddEntriesFromDictionary(params);
    }
    requestRenderAfterChange(true);
    return isPictureLoaded();
}

void CProcessEngine::setNormolizedKeystoningPointsOnOriginalImage(QVector<QPointF> points)
{
    LOG_TRACE();
    if (isSamePointSet(points, m_normalizedKeystoningPoints))
        return;
    // Points off the image are kept as given; a NaN fails both checks.
    for (const QPointF& point : points) {
        ASSERT(point.x() >= 0.0 && point.x() <= 1.0);
        ASSERT(point.y() >= 0.0 && point.y() <= 1.0);
    }
    {
        QMutexLocker lock(&m_parameterLock);
        m_normalizedKeystoningPoints = points;
    }
    requestRenderAfterChange(true);
}

QVector<QPointF> CProcessEngine::getNormolizedKeystoningPointsOnOriginalImage()
{
    LOG_TRACE();
    return m_normalizedKeystoningPoints;
}

void CProcessEngine::applyParameterDependencies()
{
    Navik::Dictionary parameters = m_resultParameters;
    completeKeystoningParameters(parameters);
    bool anamorphosisKeepsImage = false;
    applyAnamorphosisRules(parameters, &anamorphosisKeepsImage);
    bool distortionKeepsImage = false;
    applyDistortionRules(parameters, &distortionKeepsImage);
    if (!anamorphosisKeepsImage && !distortionKeepsImage)
        parameters.RemoveValueForKey(Keys::DistortionAnamorphosisKeepEntireImage);
    if (parameters.GetValueForKey(Keys::DistortionActive).AsBool())
        parameters.SetValueForKey(Keys::DistortionKeepRatio, false);

    QMutexLocker lock(&m_parameterLock);
    m_resultParameters = parameters;
}

// ---------------------------------------------------------------- clearing and rotation

void CProcessEngine::clearAllParams()
{
    LOG_TRACE();
    {
        QMutexLocker lock(&m_parameterLock);
        m_resultParameters.RemoveAllValues();
        m_initialParameters.RemoveAllValues();
    }
    updateOutputRotation();
}

void CProcessEngine::clearResultParams(bool dropCrop)
{
    LOG_TRACE();
    const Navik::Value cropRect = m_resultParameters.GetValueForKey(Keys::CropRect);
    const Navik::Value cropAuto = m_resultParameters.GetValueForKey(Keys::CropAuto);
    {
        QMutexLocker lock(&m_parameterLock);
        m_resultParameters.RemoveAllValues();
        if (!dropCrop && cropRect.IsValid() && cropAuto.IsValid()) {
            m_resultParameters.SetValueForKey(Keys::CropRect, cropRect);
            m_resultParameters.SetValueForKey(Keys::CropAuto, cropAuto);
        }
    }
    updateOutputRotation();
}

void CProcessEngine::updateOutputRotation()
{
    const int rotation = RotationDirections::normalized(m_currentRotation);
    const auto follow = [rotation](Navik::Dictionary& parameters) {
        if (rotation != 0)
            parameters.SetValueForKey(Keys::OutputRotation, rotation);
        else
            parameters.RemoveValueForKey(Keys::OutputRotation);
    };
    QMutexLocker lock(&m_parameterLock);
    follow(m_initialParameters);
    follow(m_resultParameters);
    for (Navik::Dictionary& snapshot : m_snapshots)
        follow(snapshot);
}

// ---------------------------------------------------------------- questions

bool CProcessEngine::isKeystoningPointsChanged() const
{
    if (isSamePointSet(m_normalizedKeystoningPoints, m_savedPoints))
        return false;
    return !isDefaultKeystoningPointSet(m_normalizedKeystoningPoints);
}

bool CProcessEngine::isPictureChanged() const
{
    LOG_TRACE();
    if (!isPictureLoaded())
        return false;
    if (isKeystoningPointsChanged())
        return true;

    const Navik::Dictionary saved = removeDefaultPropertiesFromDictionary(m_savedParameters);
    Navik::Dictionary current = removeDefaultPropertiesFromDictionary(m_resultParameters);
    const Navik::Value none(-1);
    const int savedRotation = saved.GetValueForKey(Keys::OutputRotation, none).AsInt();
    const int currentRotation = current.GetValueForKey(Keys::OutputRotation, none).AsInt();
    if (savedRotation != -1 || currentRotation == -1)
        return saved != current;

    // Only the current state is turned: no change when the turn merely
    // follows the photograph's own orientation tag.
    if (rotationFromExifOrientation(unsigned(m_imageOrientation)) != currentRotation)
        return true;
    current.RemoveValueForKey(Keys::OutputRotation);
    return saved != current;
}

bool CProcessEngine::isAnyCorrectionApplyed(bool ignoreRotation) const
{
    LOG_TRACE();
    Navik::Dictionary applied = removeDefaultPropertiesFromDictionary(m_resultParameters);
    if (ignoreRotation)
        applied.RemoveValueForKey(Keys::OutputRotation);
    return applied.Count() > 0 || !m_normalizedKeystoningPoints.isEmpty();
}
