// Render requests beyond the previews, rotation, sizes and the histogram.

#include "engine/CProcessEngine.h"

void CProcessEngine::processHiResImage(bool, const QString&, const QRect&)
{
    // Not built yet.
}

void CProcessEngine::enableProcessingHiResRect(bool, const QString&, bool)
{
    // Not built yet.
}

void CProcessEngine::processLoupeRect(bool, const QRect&)
{
    // Not built yet.
}

void CProcessEngine::processResultImageForPrinting(qreal, qreal, const QString&, int)
{
    // Not built yet.
}

void CProcessEngine::createImageForSnapshot(const QString&)
{
    // Not built yet.
}

void CProcessEngine::calculateImageSize()
{
    // Not built yet.
}

void CProcessEngine::rotateImageFromInitialState(RotationDirections::RotationDirectionsEnum)
{
    // Not built yet.
}

void CProcessEngine::rotateImageFromCurrentState(RotationDirections::RotationDirectionsEnum)
{
    // Not built yet.
}

NavikNS::Dictionary CProcessEngine::getHistogramData(bool)
{
    // Not built yet.
    return {};
}

QSize CProcessEngine::getSizeOfProcessedInitialImage()
{
    // Not built yet.
    return {-1, -1};
}

QSize CProcessEngine::getSizeOfProcessedResultImage()
{
    // Not built yet.
    return {-1, -1};
}

QSize CProcessEngine::getCashedSizeOfProcessedInitialImage()
{
    // Not built yet.
    return {-1, -1};
}

QSize CProcessEngine::getCashedSizeOfProcessedResultImage()
{
    // Not built yet.
    return {-1, -1};
}

RotationDirections::RotationDirectionsEnum CProcessEngine::getCurrentRotation() const
{
    // Not built yet.
    return RotationDirections::Rotation0;
}

QString CProcessEngine::getOpenedFilePath() const
{
    // Not built yet.
    return {};
}
