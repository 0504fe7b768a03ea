#pragma once
#include "Framework/ResourceManager.h"

#include <vector>

// The resource and node kinds of the areas above the engine, as one list in area order: the
// widgets' (the "layout" kind), the scene graph's, then gameplay's. The program, the data check and
// the screen tests all take their factories from it.
const std::vector<Kestrin::ResourceFactoryRegistrar>& GameResourceFactoryRegistrars();

// Adds the list to the registrars the engine's start-up runs after its own kinds (values, images,
// sounds), so everything is registered before the application's Initialize. The program calls it
// before it starts the engine.
void AddGameResourceFactoryRegistrars();
