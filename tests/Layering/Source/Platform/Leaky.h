#pragma once
#include "Platform/Fine.h"
#include "Inner.h"
