#pragma once
#include "Game/Level.h"
#include "Platform/Shim/Audio/Out.h"
#include "Runs/Tour.h"
