#pragma once
// The runs stand above the screens they drive.
#include "Screens/Movie.h"
