#pragma once
#include "Screens/Movie.h"
