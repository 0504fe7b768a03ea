#include "Platform/Clean.h"
#include "Platform/Leaky.h"
#include "Platform/Sdl.h"
