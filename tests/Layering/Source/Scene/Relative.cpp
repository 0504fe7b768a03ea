#include "../Platform/Shim/Audio/Out.h"
#include "../Screens/Movie.h"
#include "../UI/Button.h"
#include "Widget.h"
