#pragma once

// Whether a processing indicator of the image views is on screen, as one
// application-wide flag: the indicator sets it when it is shown and clears it
// when it is hidden. Save As does not start while it is set.

bool isProgressIndicatorVisible();
void setProgressIndicatorVisible(bool visible);
