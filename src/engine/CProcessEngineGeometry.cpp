// Point projection between the opened image and the rendered pictures, and
// questions about the camera's geometry.

#include "engine/CProcessEngine.h"

QVector<QPointF> CProcessEngine::projectPoints(const QVector<QPointF>&, int)
{
    // Not built yet.
    return {};
}

QVector<QPointF> CProcessEngine::projectPointsWithoutCorrections(const QVector<QPointF>&, int,
                                                                 const CorrectionTypesFlags&)
{
    // Not built yet.
    return {};
}

QVector<QPointF> CProcessEngine::projectPointsWithCorrections(const QVector<QPointF>&, int,
                                                              const CorrectionTypesFlags&)
{
    // Not built yet.
    return {};
}

QPointF CProcessEngine::projectPoint(const QPointF&, int)
{
    // Not built yet.
    return {};
}

QPointF CProcessEngine::projectPointWithoutCorrections(const QPointF&, int, const CorrectionTypesFlags&)
{
    // Not built yet.
    return {};
}

QPointF CProcessEngine::projectPointWithCorrections(const QPointF&, int, const CorrectionTypesFlags&)
{
    // Not built yet.
    return {};
}

QSize CProcessEngine::getOriginalImageSize() const
{
    // Not built yet.
    return {-1, -1};
}

QPointF CProcessEngine::getImageBorderIntersection(const QPointF&)
{
    // Not built yet.
    return {};
}

bool CProcessEngine::isFieldOfViewWellEstimated()
{
    // Not built yet.
    return false;
}

bool CProcessEngine::isWideFieldOfView()
{
    // Not built yet.
    return false;
}

void CProcessEngine::removeCameraProfile()
{
    // Not built yet.
}
