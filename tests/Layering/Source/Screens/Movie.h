#pragma once
#include "Game/Level.h"
#include "Platform/Shim/Audio/Out.h"
#include "Platform/Win32/FlashPlayer.h"
#include "Runs/Tour.h"
