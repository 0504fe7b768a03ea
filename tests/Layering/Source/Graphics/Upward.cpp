// Only the checker reads these files: each breaks the area order one way, or keeps it.
#include "Framework/Names.h"
#include "Platform/Display.h"
