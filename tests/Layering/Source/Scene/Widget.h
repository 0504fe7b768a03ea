#pragma once
#include "UI/Button.h"

#include <SDL2/SDL.h>
