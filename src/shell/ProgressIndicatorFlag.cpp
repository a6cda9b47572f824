#include "shell/ProgressIndicatorFlag.h"

namespace {

// Main thread only, like the widgets that set it.
bool s_progressIndicatorVisible = false;

} // namespace

bool isProgressIndicatorVisible()
{
    return s_progressIndicatorVisible;
}

void setProgressIndicatorVisible(bool visible)
{
    s_progressIndicatorVisible = visible;
}
