#pragma once

namespace Kestrin
{
class ResourceManager;
}

// The game's own resource kinds and node kinds, in their fixed order: the scene graph's (sprite
// animation lists, sprite types, scene layouts, then the node kinds), then gameplay's (random ranges,
// then its layer nodes). The application runs it first thing at start-up; a kind registered before
// keeps working.
void RegisterFactories(Kestrin::ResourceManager& manager);

// Adds the registrars of the areas above the engine to the ones a start-up runs, in area order:
// the widgets' (the engine's "layout" kind), then RegisterFactories. The data check calls it, so it
// loads the data with every factory the game has.
void AddGameResourceFactoryRegistrars();
