#pragma once
// The movie host: the one Win32 class the areas above Platform may include.
#include "Base/Geometry.h"
