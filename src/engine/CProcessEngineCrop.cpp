// The crop rectangle of the after image, in the displayed frame.

#include "engine/CProcessEngine.h"

void CProcessEngine::setCropParameters(const Navik::ValueArray&)
{
    // Not built yet.
}

QRectF CProcessEngine::getCropParameters() const
{
    // Not built yet.
    return {};
}

void CProcessEngine::setCropRect(const QRectF&)
{
    // Not built yet.
}

QRectF CProcessEngine::getCropRect() const
{
    // Not built yet.
    return {};
}

QRectF CProcessEngine::getCropRectAuto() const
{
    // Not built yet.
    return {};
}

double CProcessEngine::getCropLeft()
{
    // Not built yet.
    return 0.0;
}

double CProcessEngine::getCropTop()
{
    // Not built yet.
    return 0.0;
}

double CProcessEngine::getCropWidth()
{
    // Not built yet.
    return 0.0;
}

double CProcessEngine::getCropHeight()
{
    // Not built yet.
    return 0.0;
}
