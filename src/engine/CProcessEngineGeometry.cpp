// Point projection between the opened image and the rendered pictures, and
// questions about the camera's geometry.
//
// Three spaces, in full-resolution pixels: the input (the opened image as
// loaded), the before output (rendered with the initial parameters, which
// turn it) and the after output (rendered with every correction). The modes:
//   0 before output -> after output    1 after output -> before output
//   2 before output -> input           3 input -> before output
//   4 after output -> input            5 input -> after output

#include "engine/CProcessEngine.h"
#include "utils/Logger.h"

#include <Navik/CameraBody.h>
#include <Navik/Exif.h>

#include <QLineF>
#include <QMutexLocker>
#include <QRectF>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace {

enum ProjectionMode
{
    BeforeToAfter = 0,
    AfterToBefore = 1,
    BeforeToInput = 2,
    InputToBefore = 3,
    AfterToInput = 4,
    InputToAfter = 5,
};

// A point within this distance of a border counts as on it.
constexpr double nearBorder = 6.0;
constexpr double degenerateExtent = 1e-07;
constexpr float wideFieldOfView = 50.0f;

// The perpendicular foot of `point` on the infinite line through `edge`.
QPointF footOnLine(const QPointF& point, const QLineF& edge)
{
    if (std::abs(edge.dy()) < degenerateExtent)
        return {point.x(), edge.y2()};
    if (std::abs(edge.dx()) < degenerateExtent)
        return {edge.x2(), point.y()};
    const QPointF direction(edge.dx(), edge.dy());
    const QPointF offset = point - edge.p1();
    const double t = QPointF::dotProduct(offset, direction) / QPointF::dotProduct(direction, direction);
    return edge.p1() + t * direction;
}

double distance(const QPointF& a, const QPointF& b)
{
    return QLineF(a, b).length();
}

// Whether `point` lies within the edge's extent, widened by `margin`.
bool withinExtent(const QPointF& point, const QLineF& edge, double margin)
{
    return point.x() >= std::min(edge.x1(), edge.x2()) - margin && point.x() <= std::max(edge.x1(), edge.x2()) + margin &&
           point.y() >= std::min(edge.y1(), edge.y2()) - margin && point.y() <= std::max(edge.y1(), edge.y2()) + margin;
}

bool isNearEdge(const QPointF& point, const QLineF& edge)
{
    const QPointF foot = footOnLine(point, edge);
    return distance(point, foot) < nearBorder && withinExtent(foot, edge, nearBorder);
}

// Whether the perpendicular from `point` to edge `index` reaches it without
// first crossing another edge away from that one.
bool reachesEdgeDirectly(const QPointF& point, const std::array<QLineF, 4>& edges, std::size_t index)
{
    const QLineF& edge = edges[index];
    const QPointF foot = footOnLine(point, edge);
    const QLineF perpendicular(foot, point);
    if (perpendicular.intersects(edge, nullptr) == QLineF::NoIntersection || !withinExtent(foot, edge, 0.0))
        return false;
    for (std::size_t other = 0; other < edges.size(); ++other) {
        QPointF crossing;
        if (other != index && perpendicular.intersects(edges[other], &crossing) == QLineF::BoundedIntersection &&
            !isNearEdge(crossing, edge))
            return false;
    }
    return true;
}

// The point of the rectangle's border that stands for `point`, which lies
// outside it: the foot on an edge it is near, else the nearest foot it
// reaches directly, else the nearest corner.
QPointF borderPoint(const QPointF& point, double width, double height)
{
    const std::array<QPointF, 4> corners = {QPointF(0, height), QPointF(0, 0), QPointF(width, 0),
                                            QPointF(width, height)};
    // Left, top, right, bottom.
    const std::array<QLineF, 4> edges = {QLineF(corners[0], corners[1]), QLineF(corners[1], corners[2]),
                                         QLineF(corners[2], corners[3]), QLineF(corners[0], corners[3])};

    std::optional<QPointF> border;
    for (const QLineF& edge : edges) {
        if (isNearEdge(point, edge)) {
            border = footOnLine(point, edge);
            break;
        }
    }
    if (!border) {
        for (std::size_t index = 0; index < edges.size(); ++index) {
            if (!reachesEdgeDirectly(point, edges, index))
                continue;
            const QPointF foot = footOnLine(point, edges[index]);
            if (!border || distance(point, foot) < distance(point, *border))
                border = foot;
        }
    }
    // No foot found (or the top-left corner found) stands for the nearest corner.
    if (!border || *border == QPointF(0, 0)) {
        border = *std::min_element(corners.begin(), corners.end(), [&point](const QPointF& a, const QPointF& b) {
            return distance(point, a) < distance(point, b);
        });
    }
    return *border;
}

} // namespace

// ---------------------------------------------------------------- projection

QVector<QPointF> CProcessEngine::projectPoints(const QVector<QPointF>& points, int mode)
{
    LOG_TRACE();
    return projectPointsFiltered(points, mode, ProjectionFilter::AllCorrections, {});
}

QVector<QPointF> CProcessEngine::projectPointsWithoutCorrections(const QVector<QPointF>& points, int mode,
                                                                 const CorrectionTypesFlags& types)
{
    LOG_TRACE();
    return projectPointsFiltered(points, mode, ProjectionFilter::WithoutCorrections, types);
}

QVector<QPointF> CProcessEngine::projectPointsWithCorrections(const QVector<QPointF>& points, int mode,
                                                              const CorrectionTypesFlags& types)
{
    LOG_TRACE();
    return projectPointsFiltered(points, mode, ProjectionFilter::OnlyCorrections, types);
}

QPointF CProcessEngine::projectPoint(const QPointF& point, int mode)
{
    LOG_TRACE();
    return projectPoints({point}, mode).value(0, point);
}

QPointF CProcessEngine::projectPointWithoutCorrections(const QPointF& point, int mode,
                                                       const CorrectionTypesFlags& types)
{
    LOG_TRACE();
    return projectPointsWithoutCorrections({point}, mode, types).value(0, point);
}

QPointF CProcessEngine::projectPointWithCorrections(const QPointF& point, int mode, const CorrectionTypesFlags& types)
{
    LOG_TRACE();
    return projectPointsWithCorrections({point}, mode, types).value(0, point);
}

Navik::Dictionary CProcessEngine::filterForProjection(const Navik::Dictionary& parameters, ProjectionFilter filter,
                                                      const CorrectionTypesFlags& types)
{
    switch (filter) {
    case ProjectionFilter::WithoutCorrections: return removeCorrectionParams(parameters, types);
    case ProjectionFilter::OnlyCorrections: return extractCorrectionParams(parameters, types);
    case ProjectionFilter::AllCorrections: break;
    }
    return parameters;
}

QVector<QPointF> CProcessEngine::projectPointsFiltered(const QVector<QPointF>& points, int mode,
                                                       ProjectionFilter filter, const CorrectionTypesFlags& types)
{
    if (mode < BeforeToAfter || mode > InputToAfter) {
        ASSERT_X(false, "projection", "no such projection mode");
        return points;
    }
    // Before and after are joined through the input.
    QVector<QPointF> projected = points;
    if (mode == BeforeToAfter)
        projected = projectPointsFiltered(points, BeforeToInput, filter, types);
    else if (mode == AfterToBefore)
        projected = projectPointsFiltered(points, AfterToInput, filter, types);

    const bool initial = mode == AfterToBefore || mode == BeforeToInput || mode == InputToBefore;
    const bool toInput = mode == BeforeToInput || mode == AfterToInput;
    // Asked before the engine mutex: the keystoning stage takes it itself.
    const Navik::Dictionary parameters = initial ? this->parameters(true) : getKeystoningDictionary(this->parameters(false));
    return projectThroughTarget(projected, initial, toInput, filterForProjection(parameters, filter, types));
}

QVector<QPointF> CProcessEngine::projectThroughTarget(const QVector<QPointF>& points, bool initial, bool toInput,
                                                      const Navik::Dictionary& parameters)
{
    QMutexLocker engineLock(&m_engineMutex);
    // Before the first render of that side, there is nothing to project through.
    Navik::Target* target = previewTarget(initial);
    if (!target)
        return points;
    // The next render of that side sets its own parameters again.
    if (target->GetParameters() != parameters)
        target->SetParameters(parameters);

    QVector<QPointF> result;
    result.reserve(points.size());
    for (const QPointF& point : points) {
        float x = 0.0f;
        float y = 0.0f;
        if (toInput)
            target->ProjectPointFromOutputToInputImage(0u, float(point.x()), float(point.y()), x, y);
        else
            target->ProjectPointFromInputToOutputImage(0u, float(point.x()), float(point.y()), x, y);
        result.append(QPointF(double(x), double(y)));
    }
    return result;
}

// ---------------------------------------------------------------- geometry queries

QSize CProcessEngine::getOriginalImageSize() const
{
    LOG_TRACE();
    const NavikImagePtr image = openedImage();
    if (!image)
        return {-1, -1};
    return QSize(int(image->width()), int(image->height()));
}

QPointF CProcessEngine::getImageBorderIntersection(const QPointF& point)
{
    LOG_TRACE();
    if (!isPictureLoaded())
        return point;
    const QPointF input = projectPoint(point, AfterToInput);
    const QSize size = getOriginalImageSize();
    if (QRectF(0, 0, size.width(), size.height()).contains(input))
        return point;
    return projectPoint(borderPoint(input, size.width(), size.height()), InputToAfter);
}

bool CProcessEngine::isFieldOfViewWellEstimated()
{
    LOG_TRACE();
    const NavikImagePtr image = openedImage();
    return image && Navik::CameraBody::IsFieldOfViewWellEstimated(*image->image()->GetExif());
}

bool CProcessEngine::isWideFieldOfView()
{
    LOG_TRACE();
    const NavikImagePtr image = openedImage();
    if (!image)
        return false;
    const unsigned int longSide = std::max(image->width(), image->height());
    const unsigned int shortSide = std::min(image->width(), image->height());
    float fieldOfView = 0.0f;
    return Navik::CameraBody::GetFieldOfView(*image->image()->GetExif(), longSide, shortSide, m_agent->GetProfile(),
                                             fieldOfView) &&
           fieldOfView > wideFieldOfView;
}

void CProcessEngine::removeCameraProfile()
{
    LOG_TRACE();
    if (!m_agent || !m_agent->GetProfile())
        return;
    m_agent->SetProfile(nullptr);
    queueLoResTask(false);
}
