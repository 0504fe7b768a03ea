#include "Graphics/Canvas.h"
#include "Platform/Display.h"

#include <SDL2/SDL.h>
