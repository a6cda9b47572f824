// The crop rectangle of the after image. The parameters keep it normalised to
// the unrotated image; callers see it in the displayed frame, turned by the
// current rotation.

#include "engine/CProcessEngine.h"
#include "engine/EngineParameterKeys.h"
#include "engine/ParameterGroups.h"
#include "engine/PreviewProcessEngineTasks.h"
#include "utils/Logger.h"

#include <QMutexLocker>

#include <optional>

namespace Keys = EngineParameterKeys;

namespace {

// Left, top, width and height, when `value` holds exactly these four.
std::optional<QRectF> rectFromValue(const Navik::Value& value)
{
    const Navik::ValueArray& values = value.AsValueArray();
    if (values.Count() != 4)
        return std::nullopt;
    return QRectF(values.GetValueAtIndex(0).AsDouble(), values.GetValueAtIndex(1).AsDouble(),
                  values.GetValueAtIndex(2).AsDouble(), values.GetValueAtIndex(3).AsDouble());
}

} // namespace

QRectF CProcessEngine::rotateNormalizedRect(const QRectF& rect, int quarterTurns)
{
    const double x = rect.x();
    const double y = rect.y();
    const double w = rect.width();
    const double h = rect.height();
    switch (RotationDirections::normalized(quarterTurns)) {
    case RotationDirections::Rotation0:
        return rect;
    case RotationDirections::Rotation90:
        return QRectF(1.0 - y - h, x, h, w);
    case RotationDirections::Rotation180:
        return QRectF(1.0 - x - w, 1.0 - y - h, w, h);
    case RotationDirections::Rotation270:
        return QRectF(y, 1.0 - x - w, h, w);
    }
    return rect;
}

void CProcessEngine::setCropParameters(const Navik::ValueArray& rect)
{
    LOG_TRACE();
    // Anything but four values would be stored as a crop nobody can read.
    if (rect.Count() != 4) {
        ASSERT(rect.Count() == 4);
        return;
    }
    const Navik::Value storedRect = resultParameter(Keys::CropRect);
    if (isFullFrameRect(rect)) {
        ASSERT(storedRect.IsValid() == resultParameter(Keys::CropAuto).IsValid());
        if (!storedRect.IsValid())
            return;
        QMutexLocker lock(&m_parameterLock);
        m_resultParameters.RemoveValueForKey(Keys::CropAuto);
        m_resultParameters.RemoveValueForKey(Keys::CropRect);
    } else {
        if (storedRect.IsValid() && storedRect.AsValueArray() == rect)
            return;
        QMutexLocker lock(&m_parameterLock);
        m_resultParameters.SetValueForKey(Keys::CropAuto, false);
        m_resultParameters.SetValueForKey(Keys::CropRect, rect);
    }
    queueTask(new CLoResProcessEngineTask(*this, false, true));
}

QRectF CProcessEngine::getCropParameters() const
{
    LOG_TRACE();
    const QRectF none(0.0, 0.0, 0.0, 0.0);
    if (!resultParameter(Keys::CropActive).AsBool())
        return none;
    // Until a render reports the automatic rectangle, there is none.
    const std::optional<QRectF> rect =
        rectFromValue(resultParameter(Keys::CropAuto).AsBool()
                          ? getLastTransformOutParams().GetValueForKey(Keys::CropRectAuto)
                          : resultParameter(Keys::CropRect));
    return rect ? rotateNormalizedRect(*rect, m_currentRotation) : none;
}

QRectF CProcessEngine::getCropRect() const
{
    LOG_TRACE();
    const std::optional<QRectF> rect = rectFromValue(resultParameter(Keys::CropRect));
    return rect ? rotateNormalizedRect(*rect, m_currentRotation) : QRectF(0.0, 0.0, 1.0, 1.0);
}

QRectF CProcessEngine::getCropRectAuto() const
{
    LOG_TRACE();
    const std::optional<QRectF> rect =
        rectFromValue(getLastTransformOutParams().GetValueForKey(Keys::CropRectAuto));
    return rect ? rotateNormalizedRect(*rect, m_currentRotation) : QRectF(0.0, 0.0, 0.0, 0.0);
}

void CProcessEngine::setCropRect(const QRectF& rect)
{
    LOG_TRACE();
    const QRectF stored = rotateNormalizedRect(rect, 4 - m_currentRotation);
    Navik::ValueArray values;
    values.Append(stored.x());
    values.Append(stored.y());
    values.Append(stored.width());
    values.Append(stored.height());
    // The next render picks it up.
    QMutexLocker lock(&m_parameterLock);
    m_resultParameters.SetValueForKey(Keys::CropRect, values);
}

double CProcessEngine::getCropLeft()
{
    return getCropRect().x();
}

double CProcessEngine::getCropTop()
{
    return getCropRect().y();
}

double CProcessEngine::getCropWidth()
{
    return getCropRect().width();
}

double CProcessEngine::getCropHeight()
{
    return getCropRect().height();
}
