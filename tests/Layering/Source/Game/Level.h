#include "Scene/Widget.h"
