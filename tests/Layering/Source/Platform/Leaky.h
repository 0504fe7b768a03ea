#pragma once
#include "Inner.h"
#include "Platform/Fine.h"
