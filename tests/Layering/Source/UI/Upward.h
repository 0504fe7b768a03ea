#pragma once
#include "Framework/Names.h"
#include "Scene/SceneNode.h"
