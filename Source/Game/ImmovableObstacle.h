#pragma once
// A fixed obstacle placed by the level file: an image over its drop shadow, with invisible
// collision blocks chosen by the image's name. It flashes when looped and scatters sparks when
// the level is won.
#include "Game/HeldObject.h"
#include "Game/PlayfieldTypes.h"
#include "Scene/SceneLayoutController.h"

#include <memory>
#include <string>
#include <vector>

class GameObstacle;

class ImmovableObstacle : public SceneLayoutController, public HeldObject<ImmovableObstacle>
{
public:
    // position: the image's top-left corner. The image and image + "_shadow" are image resources;
    // images outside the block table also need the float values image + "_xscale" and "_yscale"
    // (a missing one counts as 1.0).
    ImmovableObstacle(Vector2f position, const std::string& image);
    ~ImmovableObstacle() override;

    // Starts the loop flash when a block was looped.
    void Update(float dt) override;
    // Hides the shadow, fades the image and scatters sparks from its centre.
    void Disappear();

    std::vector<std::unique_ptr<GameObstacle>> blocks;
    SceneNode* root = nullptr;
    bool looped = false;

protected:
    SceneNode* CreateNode() override;
};
