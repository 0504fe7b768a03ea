// The family registry: one line per family. To add one, write its paint function (a
// FamilyArt with its resources) in a recipe file and list it here.
#include "Family.h"
#include "Guests.h"
#include "Title.h"
#include "UiKit.h"

namespace DataGen
{
const std::vector<Family>& Families()
{
    static const std::vector<Family> families = {
        {"CursorArrow", "resources", PaintCursorArrow},
        {"Btn_Large", "resources", PaintBtnLarge},
        {"Btn_Medium", "resources", PaintBtnMedium},
        {"Btn_Small", "resources", PaintBtnSmall},
        {"Btn_Icon", "resources", PaintIconButtons},
        {"Btn_Tab", "resources", PaintBtnTab},
        {"Btn_Wide3", "resources", PaintBtnWide3},
        {"Panel9", "resources", PaintPanel9},
        {"Popup9", "resources", PaintPopup9},
        {"Field9", "resources", PaintField9},
        {"Chk_Std", "resources", PaintChkStd},
        {"Slider", "resources", PaintSlider},
        {"SelectedRow", "resources", PaintSelectedRow},
        {"blue_sml", "resources", PaintBlueSml},
        {"Jillian_icon", "resources", PaintJillianIcon},
        {"Harley_icon", "resources", PaintHarleyIcon},
        {"Miranda_icon", "resources", PaintMirandaIcon},
        {"Zoe_icon", "resources", PaintZoeIcon},
        {"Jason_icon", "resources", PaintJasonIcon},
        {"Heather_icon", "resources", PaintHeatherIcon},
        {"Splash_BG", "Loading", PaintSplash},
        {"TitleBG", "Title_MainMenu", PaintTitleBackground},
        {"MainMenu_BG", "Title_MainMenu", PaintMainMenuBackground},
        {"TitleLogo", "Title_MainMenu", PaintTitleLogo},
        {"MenuTable", "Title_MainMenu", PaintMenuTable},
        {"titlescreen_image_odalee", "Title_MainMenu", PaintTitleTics},
    };
    return families;
}

const char* Extension(Format format)
{
    switch (format)
    {
    case Format::Png:
        return ".png";
    case Format::Jpeg:
        return ".jpg";
    case Format::Gif:
        return ".gif";
    }
    return ".png";
}
} // namespace DataGen
