#pragma once
#include "Platform/Win32/Host.h"
#include "Platform/Movies.h"
