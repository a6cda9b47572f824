#include "Navik/Keystoning.h"

#include <Navik/Geometry/PointsValidity.h>

namespace Navik {

bool Keystoning::IsPointsConfigurationValid(KeystoningTool tool, const std::vector<double>& points)
{
    return Geometry::IsPointsConfigurationValid(static_cast<int>(tool), points);
}

} // namespace Navik
