#pragma once
#include "Platform/Movies.h"
#include "Platform/Win32/Host.h"
