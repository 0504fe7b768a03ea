#pragma once
// The normal creature the factory spawns on its timer, with the behaviours of its kinds: Shy keeps
// away from the cursor, Protected alternates phases, Indecisive changes colour, Pairing seeks its
// like.
#include "Game/Gremlin.h"

#include <boost/signals2/connection.hpp>

class BasicGremlin : public Gremlin, public HeldObject<BasicGremlin>
{
public:
    // x, y: the top-left corner of the creature's box.
    BasicGremlin(float x, float y, const TypeSettings& settings);
    ~BasicGremlin() override;

    void Update(float dt) override;
    void OnBehaviourTimer() override;
    void AdjustWalk(float& walkSpeed, float& walkLength) override;
    void Enter() override;
    void PlaySpearedSound() override;
    // A flash cut short leaves the creature showing its own colour.
    void OnSpeared(Line* line) override;

    // Turns the creature into the colour: a basic one of that colour unless it is Indecisive or the
    // colour is Black or Any, which only recolour it.
    void SetColor(GremlinColorType colour);
    // Shows the sprite of the creature's kind in the colour.
    void ShowColorSprite(GremlinColorType colour);
    void ApplyColorTask(GremlinColorType colour) { SetColor(colour); }
    // "SFX_TicSpeared-" and this.
    std::string SpearedSoundSuffix() const;

    // How long the cursor has stayed near a Shy creature.
    float shyTimer = 0.0f;
    // To the factory's colour signal; ended when the creature leaves its screen, or with it.
    boost::signals2::scoped_connection colorConnection;

protected:
    void OnRemoving() override;
};
