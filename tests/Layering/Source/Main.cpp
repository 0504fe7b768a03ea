#include "Platform/Leaky.h"
#include "Platform/Shim/Audio/Out.h"
#include "Platform/Win32/Host.h"
#include "Screens/Application.h"
