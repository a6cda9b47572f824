#include <Navik/Image.h>
