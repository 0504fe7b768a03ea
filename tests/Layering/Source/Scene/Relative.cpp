#include "../UI/Button.h"
#include "Widget.h"
#include "../Screens/Movie.h"
#include "../Platform/Shim/Audio/Out.h"
