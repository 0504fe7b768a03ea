#pragma once
// The sparkle effects of the level's results: a word revealed with a burst of sparkles, and the
// fireworks of a record or an expert result. Every node goes into the screen's database and ends
// itself; the functions keep nothing. Draws come from the current random stream in a fixed order,
// so a scripted stream gives a scripted show.
#include "Scene/SceneApplicationMode.h"

class SceneNode;
class StaticSpriteNode;

// How many sparkles one reveal and one fireworks burst make, and how many bursts.
inline constexpr int kSparklesPerBurst = 15;
inline constexpr int kFireworksBursts = 15;
// How far a sparkle flies, along a direction that is not normalised.
inline constexpr float kSparkleFlight = 50.0f;

// One of the ten "blue_sml" sparkles, drawn from the current stream (the first when there is none).
StaticSpriteNode* MakeSparkle();

// The text fades in over 1 s after `delay` while fifteen sparkles fly out of its middle for 0.5 s.
// The caller sets the text's alpha to 0 first; the sparkles are its children, so they fade with it.
void RevealTextWithSparkles(SceneApplicationMode* screen, SceneNode* text, float delay);

// Fifteen bursts of fifteen sparkles, each burst appearing 5 to 6 s after the call; bursts in the
// lower part of the window keep out of the results panel in the middle.
void LaunchFireworks(SceneApplicationMode* screen);
