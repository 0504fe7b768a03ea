#include "Screens/Movie.h"
