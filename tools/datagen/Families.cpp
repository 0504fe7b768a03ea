// The family registry: one line per family. To add one, write its paint function (a
// FamilyArt with its resources) in a recipe file and list it here.
#include "Agenda.h"
#include "CaseFile.h"
#include "Creatures.h"
#include "Encyclopedia.h"
#include "Endless.h"
#include "Family.h"
#include "Framing.h"
#include "GameText.h"
#include "Guests.h"
#include "Playfield.h"
#include "Posters.h"
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
        {"MoviePosters", "Title_MainMenu", PaintMoviePosters},
        {"CaseFileBG", "Level_Select_Introduction", nullptr, PaintCaseFileBackground},
        {"GuestPhotos", "Level_Select_Introduction", PaintGuestPhotos},
        {"GuestForms", "Level_Select_Introduction", nullptr, PaintGuestForms},
        {"CaseFileLabels", "Level_Select_Introduction", nullptr, PaintCaseFileLabels},
        {"SessionIcons", "Level_Select_Introduction", PaintSessionIcons},
        {"StylusGlare", "Level_Select_Introduction", PaintStylusGlare},
        {"TictionaryBG", "Encyclopedia", PaintTictionaryBackground},
        {"TicButtons", "Encyclopedia", nullptr, PaintTicButtons},
        {"TicProfiles", "Encyclopedia_Tics", nullptr, PaintTicProfiles},
        {"IntroPanel", "Tic_Intro", PaintIntroPanel},
        {"TicIntros", "Tic_Intro", nullptr, PaintTicIntros},
        {"LessonPosters", "Tic_Intro", PaintLessonPosters},
        {"AgendaBG", "Level_Select_Month", nullptr, PaintAgendaBackground},
        {"DayButtons", "Level_Select_Month", PaintDayButtons},
        {"GuestIconImages", "Level_Select_Month", PaintGuestIconImages},
        {"StoryPosters", "Level_Select_Month", PaintStoryPosters},
        {"DaySheet", "Level_Select_Day", PaintDaySheet},
        {"ApptTimeImages", "Level_Select_Day", nullptr, PaintApptTimes},
        {"ApptMarks", "Level_Select_Day", nullptr, PaintApptMarks},
        {"ApptButtons", "Level_Select_Day", nullptr, PaintApptButtons},
        {"EndlessBG", "Level_Select_EndlessMode", PaintEndlessBackground},
        {"EndlessButtons", "Level_Select_EndlessMode", PaintEndlessButtons},
        {"EndlessOverlays", "Level_Select_EndlessMode", PaintEndlessOverlays},
        {"EndlessTexts", "Level_Select_EndlessMode", nullptr, PaintEndlessTexts},
        {"RecordPlates", "Level_Select_EndlessMode", nullptr, PaintRecordPlates},
        {"LevelIntroCard", "LevelIntroMode", PaintLevelIntroCard},
        {"ResultPanel", "Level_Outro_NormalWin", PaintResultPanel},
        {"ResultPanelE", "Level_Outro_Endless", PaintResultPanelE},
        {"CreditsBG", "Credits", PaintCreditsBackground},
        {"CreditsPages", "Credits", nullptr, PaintCreditsPages},
        {"TutorialImages", "Tutorial_Window", nullptr, PaintTutorialImages},
        {"Tut_Arrow", "Tutorial_Window", PaintTutorialArrows},
        {"Banners", "Game", nullptr, PaintBanners},
        {"FeedbackWords", "Game", nullptr, PaintFeedbackWords},
        {"SessionNames", "Game_Interface_EndlessMode", nullptr, PaintSessionNames},
        {"Rooms", "Game", PaintRooms},
        {"PlayfieldPieces", "Game", PaintPlayfieldPieces},
        {"Gunk", "Game", PaintGunk},
        {"Obstacles", "Game", PaintObstacles},
        {"Meter", "Game_Interface_EndlessMode", PaintMeter},
        {"Tics", "Game-AnimationImages", PaintTics},
        {"TicsAny", "Game-AnimationImages", PaintTicsAny},
        {"Kings", "Game-AnimationImages", PaintKings},
        {"PosiTics", "Game-AnimationImages", PaintPosiTics},
        {"Effects", "Game-AnimationImages", PaintEffects},
        {"Traps", "Game-AnimationImages", PaintTraps},
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
