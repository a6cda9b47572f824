#include "engine/CProcessEngine.h"
#include "utils/CSettings.h"
