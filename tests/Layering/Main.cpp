#include "Screens/Application.h"
