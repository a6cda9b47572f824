#include "engine/CProcessEngine.h"
#include "view/CBaseGraphicsView.h"
#include "crop/CCropRect.h"
