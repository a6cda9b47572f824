#include <Navik/Image.h>
#include "Warp.h"
