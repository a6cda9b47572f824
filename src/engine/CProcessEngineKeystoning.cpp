// The keystoning points as the correction engine reads them, and the rules
// that keep dependent parameters of the after image consistent.

#include "engine/CProcessEngine.h"
#include "engine/EngineParameterKeys.h"
#include "utils/Logger.h"

#include <QMutexLocker>

namespace Keys = EngineParameterKeys;

Navik::Dictionary CProcessEngine::getKeystoningDictionary(const Navik::Dictionary& parameters, QSize* outputSize)
{
    QVector<QPointF> points;
    {
        QMutexLocker lock(&m_parameterLock);
        points = m_normalizedKeystoningPoints;
    }
    return keystoningDictionaryForPoints(parameters, points, outputSize);
}

Navik::Dictionary CProcessEngine::keystoningDictionaryForPoints(const Navik::Dictionary& parameters,
                                                                QVector<QPointF> points, QSize* outputSize)
{
    Navik::Dictionary result = parameters;
    if (points.isEmpty() || isDefaultKeystoningPointSet(points)) {
        result.RemoveValueForKey(Keys::KeystoningPoints);
        result.RemoveValueForKey(Keys::KeystoningMode);
        return result;
    }

    // The points lie on the original image; the keystoning works on the
    // output of the lens stage when anamorphosis or distortion is on.
    const bool lensStageActive = parameters.GetValueForKey(Keys::AnamorphosisActive).AsBool() ||
                                 parameters.GetValueForKey(Keys::DistortionActive).AsBool();
    if (lensStageActive) {
        points = projectKeystoningPoints(parameters, points, outputSize);
    } else if (outputSize) {
        *outputSize = cachedSize(true);
    }

    Navik::ValueArray values;
    for (const QPointF& point : points) {
        values.Append(point.x());
        values.Append(point.y());
    }
    result.SetValueForKey(Keys::KeystoningPoints, values);
    return result;
}

QVector<QPointF> CProcessEngine::projectKeystoningPoints(const Navik::Dictionary& parameters, QVector<QPointF> points,
                                                         QSize* outputSize)
{
    QMutexLocker engineLock(&m_engineMutex);
    const Navik::Dictionary stage =
        extractCorrectionParams(parameters, CorrectionTypes::Anamorphosis | CorrectionTypes::Distortion);
    const std::shared_ptr<Navik::Agent> agent = this->agent();
    // Without an image there is nothing to project through.
    if (!agent) {
        ASSERT(agent);
        return points;
    }

    Navik::Target* target = nullptr;
    {
        QMutexLocker lock(&m_parameterLock);
        if (!m_keystoningTarget)
            m_keystoningTarget = agent->AddTarget(Navik::kCorrectionModePreview, stage, m_filter.get());
        target = m_keystoningTarget;
    }
    if (!target) {
        ASSERT(target);
        return points;
    }
    if (target->GetParameters() != stage)
        target->SetParameters(stage);

    int width = 0;
    int height = 0;
    if (!target->ComputeScaledOutputSize(0, &width, &height)) {
        ASSERT(false);
        return points;
    }
    if (outputSize)
        *outputSize = QSize(width, height);

    const QSize original = getOriginalImageSize();
    for (QPointF& point : points) {
        const float inputX = float(point.x() * original.width());
        const float inputY = float(point.y() * original.height());
        float outputX = 0.0f;
        float outputY = 0.0f;
        target->ProjectPointFromInputToOutputImage(0u, inputX, inputY, outputX, outputY);
        point = QPointF(double(outputX / float(width)), double(outputY / float(height)));
    }
    return points;
}

void CProcessEngine::completeKeystoningParameters(Navik::Dictionary& parameters)
{
    if (!parameters.GetValueForKey(Keys::KeystoningActive).AsBool())
        return;
    const std::pair<const char*, Navik::Value> defaults[] = {
        {Keys::KeystoningBlendingIntensity, 100.0},
        {Keys::OutputImageMaxSize, 300.0},
        {Keys::KeystoningMode, ""},
        {Keys::KeystoningKeepCenter, true},
        {Keys::CropActive, false},
        {Keys::CropAuto, true},
        {Keys::CropRatio, -1},
        {Keys::KeystoningPreviousHomographyBackward, Navik::ValueArray{1, 0, 0, 0, 1, 0, 0, 0, 1}},
    };
    for (const auto& [key, value] : defaults) {
        if (!parameters.GetValueForKey(key).IsValid())
            parameters.SetValueForKey(key, value);
    }
}

void CProcessEngine::applyAnamorphosisRules(Navik::Dictionary& parameters, bool* keepEntireImageSet)
{
    *keepEntireImageSet = false;
    if (!parameters.GetValueForKey(Keys::AnamorphosisActive).AsBool()) {
        parameters.RemoveValueForKey(Keys::AnamorphosisType);
        return;
    }
    parameters.SetValueForKey(Keys::DistortionKeepRatio, false);
    if (parameters.GetValueForKey(Keys::AnamorphosisType).AsString() == "Spherical") {
        parameters.SetValueForKey(Keys::DistortionAnamorphosisKeepEntireImage, true);
        *keepEntireImageSet = true;
    }
}

void CProcessEngine::applyDistortionRules(Navik::Dictionary& parameters, bool* keepEntireImageSet)
{
    *keepEntireImageSet = false;
    if (parameters.GetValueForKey(Keys::DistortionActive).AsBool() &&
        !parameters.GetValueForKey(Keys::DistortionType).AsString().empty()) {
        parameters.SetValueForKey(Keys::DistortionAnamorphosisKeepEntireImage, true);
        *keepEntireImageSet = true;
    }
}
