#pragma once
// The playing screen's words: the banners ("bannerMSG_<name>"), the loop and power-up pop-up
// words ("FeedbackWords", one frame per animation of "feedbackPopupLayout") and the endless
// sessions' names ("TextImage_<Guest>").
#include "Family.h"

#include <string>
#include <vector>

namespace DataGen
{
class TextTable;

// The banners' names after "bannerMSG_", in the order of their frames on the contact sheet.
const std::vector<std::string>& BannerNames();
// The pop-up animations in frame order of "FeedbackWords".
const std::vector<std::string>& FeedbackAnimations();

FamilyArt PaintBanners(const TextTable& text);
FamilyArt PaintFeedbackWords(const TextTable& text);
FamilyArt PaintSessionNames(const TextTable& text);
} // namespace DataGen
