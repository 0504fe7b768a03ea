// The built program walked through the main menu's screens by its tour, headless: the software
// renderer under SDL's dummy video driver, a fresh per-user folder, the pictures kept under the
// build folder ("tour-shots") for a look.
#include "harness/RunProgram.h"
#include "harness/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace
{

// The lines of the log that say "Tour: <folder>/NN-<screen>.png written", as the screens' names.
std::vector<std::string> ShotScreens(const std::string& log)
{
    std::vector<std::string> screens;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line))
    {
        if (line.rfind("Tour: ", 0) != 0 || line.find(".png written") == std::string::npos)
            continue;
        const size_t dash = line.find('-', line.rfind('/'));
        screens.push_back(line.substr(dash + 1, line.find(".png") - dash - 1));
    }
    return screens;
}

// Width and height from a PNG's header; 0 x 0 when it is none.
std::pair<uint32_t, uint32_t> PngSize(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    unsigned char header[24] = {};
    file.read(reinterpret_cast<char*>(header), sizeof header);
    if (!file || header[1] != 'P' || header[2] != 'N' || header[3] != 'G')
        return {0, 0};
    auto big = [&](int at)
    { return uint32_t(header[at]) << 24 | header[at + 1] << 16 | header[at + 2] << 8 | header[at + 3]; };
    return {big(16), big(20)};
}

TEST(ScreenWalk, TheTourVisitsEveryMenuScreenAndEndsAtTheMenuWithoutAnError)
{
    KestrinTest::TempFolder home;
    // The level it plays writes its play data beside the data tree: in a tree of its own.
    const KestrinTest::ProgramWithOwnData program(KESTRIN_PROGRAM, KESTRIN_SOURCE_DIR "/data");
    const std::filesystem::path shots = std::filesystem::current_path() / "tour-shots";
    std::filesystem::remove_all(shots);
    const KestrinTest::ProgramOutcome run = KestrinTest::RunProgram(
        program.Program(),
        {{"SDL_VIDEODRIVER", "dummy"}, {"SDL_AUDIODRIVER", "dummy"}, {"XDG_DATA_HOME", home.Path()}},
        std::chrono::seconds(300), {"-software", "-tour", shots.string()});
    ASSERT_TRUE(run.ended) << "the tour did not end:\n" << run.output;
    EXPECT_EQ(run.status, 0) << run.output;
    const std::string log = home.Read("Quorvane/Tanglewisp/LOG.TXT");

    const std::vector<std::string> screens = ShotScreens(log);
    for (const char* screen : {"FirstAccountMode",
                               "CreditsMode",
                               "OptionsMode",
                               "TictionaryMainMode",
                               "TictionaryProfileMode",
                               "TictionaryHelpMode",
                               "TictionaryAboutMode",
                               "AccountMode",
                               "EditAccountMode",
                               "DeleteAccountMode",
                               "LevelSelectCalendarMode",
                               "LevelSelectDayMode",
                               "LevelSelectIntroMode",
                               "LevelIntroMode",
                               "GameMode",
                               "InGameMenuMode",
                               "LevelOutroFailureMode",
                               "LevelOutroSuccessMode",
                               "EndlessLevelSelectMode",
                               "IntroMovieMode",
                               "FlashInterstitialMode",
                               "TicIntroMode",
                               "TutorialPopupMode"})
        EXPECT_NE(std::find(screens.begin(), screens.end(), screen), screens.end()) << screen << "\n" << log;
    // Back at the menu, which asks to quit.
    ASSERT_GE(screens.size(), 2u) << log;
    EXPECT_EQ(screens[screens.size() - 2], "MainMenuMode");
    EXPECT_EQ(screens.back(), "QuitConfirmMode");

    size_t pictures = 0;
    for (const auto& entry : std::filesystem::directory_iterator(shots))
    {
        EXPECT_EQ(PngSize(entry.path()), (std::pair<uint32_t, uint32_t>{800, 600})) << entry.path();
        ++pictures;
    }
    EXPECT_EQ(pictures, screens.size());

    // The session's banner, then the level lost and won again by the tour's profile.
    const std::string playData = program.Read("data/PlayData.log");
    EXPECT_TRUE(playData.starts_with(std::string(18, '=') + " Session ")) << playData;
    for (const char* won : {"FALSE", "TRUE"})
        EXPECT_TRUE(
            std::regex_search(playData, std::regex(std::string("\tTour Guide\t[^\t]+\t") + won + "\t")))
            << won << "\n"
            << playData;

    for (const char* error : {"Error box", "Missing node", " is not a ", "SetNodeText", "cannot be clicked",
                              "Unhandled", "not found"})
        EXPECT_EQ(log.find(error), std::string::npos) << error << "\n" << log;
}

} // namespace
