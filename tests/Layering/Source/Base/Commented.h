#pragma once
// #include "Screens/Game.h" is what a comment may say.
#include <string>
