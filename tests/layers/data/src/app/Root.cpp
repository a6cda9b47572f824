#include "crop/CCropCorrection.h"
#include "crash/CCrashWatcher.h"
