#include "Graphics/Canvas.h"
#include "Platform/Display.h"
#include "Shim/Audio/Out.h"

#include <SDL2/SDL.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>
