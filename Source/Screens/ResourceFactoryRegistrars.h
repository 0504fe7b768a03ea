#pragma once

// Adds the registrars of the areas above the engine to the ones start-up runs, in area order:
// widgets, scene graph, gameplay. The program calls it before the engine starts; the data check
// calls it too, so it loads the data with the factories the game has.
void AddGameResourceFactoryRegistrars();
