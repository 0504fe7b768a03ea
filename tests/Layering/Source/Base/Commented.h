#pragma once
// #include "Screens/Game.h" is what a comment may say.
/* So may a block:
#include "Screens/Game.h"
*/
#include <string>
