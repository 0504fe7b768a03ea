#pragma once
#include "Base/Geometry.h"
