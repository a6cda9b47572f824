#pragma once

#include <vector>

namespace Navik::Geometry {

// The keystoning tool codes: what the point set means.
enum KeystoningTool : int
{
    KeystoningToolRectangle = 0, // 4 corners of a quadrilateral ("Rectangle" and any other mode)
    KeystoningToolParallel = 1,  // 2 lines of 2 points each ("Parallel")
    KeystoningToolFourLines = 2, // 4 lines of 2 points each, the first two vertical ("FourLines")
};

// The tool code of a "KeystoningMode" text.
KeystoningTool KeystoningToolForMode(const char* mode);

// Whether a keystoning point set can be corrected: points are x, y pairs in
// pixels. It refuses a wrong count, non-finite values, a line (or a side of the
// quadrilateral) shorter than 2 pixels, two lines of a pair on one line, a
// quadrilateral that crosses itself or is not convex, and sets whose correction
// would be singular or would fold the image over itself: a vanishing point or
// vanishing line that runs through the points. Apart from the 2-pixel rule the
// answer does not change when either axis is scaled, by a negative factor too.
bool IsPointsConfigurationValid(int tool, const std::vector<double>& points);

} // namespace Navik::Geometry
