#include "Game/Level.h"
