#include "utils/Logger.h"
