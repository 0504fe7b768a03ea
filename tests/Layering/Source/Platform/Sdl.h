#pragma once
#include "Platform/Clean.h"
#include <SDL2/SDL_keycode.h>
