#pragma once
// After two slashes a /* opens no block, nor inside a text: the include below the text is read.
inline const char* const kImages = "images/*.png";
#include "Game/Level.h"
/* where a block opened by either would end */
