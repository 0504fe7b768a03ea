#pragma once
#include "Win32/Host.h"
