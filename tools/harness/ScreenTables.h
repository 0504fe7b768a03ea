#pragma once

// What the game's screens look up in the committed data: the names of each group with their
// kinds and sizes, the nodes and objects of each scene layout with the kinds the screens cast them
// to, and the text keys. Built from the game's own constant tables where it has them.

#include "harness/DataCheck.h"

#include <string>
#include <vector>

namespace DataCheck
{

const std::vector<NameRule>& ScreenNameRules();
const std::vector<LayoutRule>& ScreenLayoutRules();
// Keys the code looks up in the text table.
const std::vector<std::string>& RequiredTextKeys();
// Keys whose text a time or a number follows directly.
const std::vector<std::string>& LabelTextKeys();
// Texts that tell the player how a session or an endless session is won, with their rule's words.
const std::vector<GoalTextRule>& GoalTextRules();
// Text the screens draw on a highlight.
const std::vector<ContrastRule>& ScreenContrastRules();
// Every movie the screens and levels play, with the group loaded while it plays.
const std::vector<MovieRule>& ScreenMovieRules();
// The creatures a spool takes by their colour, whose every frame keeps that colour.
const std::vector<HueRule>& CreatureHueRules();

} // namespace DataCheck
