#pragma once
#include "Framework/Names.h"
#include "Platform/Fine.h"
