#include "Scene/Level.hh"
