#pragma once
#include "Shim/Audio/Out.h"
