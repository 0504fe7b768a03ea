#pragma once
#include "Base/Geometry.h"
#include <vector>
