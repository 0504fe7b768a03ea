#pragma once
// The power-up creature: spearing it freezes, shrinks or recolours the field, or gives the line a
// deep clean or damage for its loop.
#include "Game/Gremlin.h"

class PowerUpGremlin : public Gremlin, public HeldObject<PowerUpGremlin>
{
public:
    // x, y: the top-left corner of the creature's box.
    PowerUpGremlin(float x, float y, const TypeSettings& settings);
    ~PowerUpGremlin() override;

    // Stands still while its entry animation plays.
    void Update(float dt) override;
    Kestrin::NameId GetStateAnimation() const override;
    void OnSpeared(Line* line) override;
    void Enter() override;
    void PlaySpearedSound() override;
    void PlayActionSound() override;

    // Freeze, Shrink or UnifyColors act on the field now.
    void ApplyEffect();
    // The level was won: fades out under five sparkles.
    void OnLevelWon();
};
