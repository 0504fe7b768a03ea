#include "Screens/ScreenTour.h"

#include "Screens/MainMenuMode.h"
#include "Screens/QuitConfirmMode.h"

#include "ScreenTestSupport.h"

using namespace Kestrin;
using namespace ScreenTest;

namespace
{

TEST(ScreenTourSwitch, TheFolderIsTheWordAfterTheSwitch)
{
    struct Case
    {
        const wchar_t* line;
        std::optional<std::string> folder;
    };
    for (const Case& c :
         {Case{L"Tanglewisp -software -tour /tmp/shots", "/tmp/shots"},
          Case{L"Tanglewisp -tour shots -software", "shots"}, Case{L"Tanglewisp -tour", std::nullopt},
          Case{L"Tanglewisp -tourist x", std::nullopt}, Case{L"Tanglewisp", std::nullopt}})
        EXPECT_EQ(ScreenTour::FolderFromCommandLine(c.line), c.folder) << ToUtf8(c.line);
    EXPECT_EQ(ScreenTour::FolderFromCommandLine(nullptr), std::nullopt);
}

class Tour : public ScreenFixture
{
protected:
    Tour() { UseCommittedData(); }

    // Update steps with a draw after each, as the main loop runs them.
    void Run(ScreenTour& tour, int steps)
    {
        for (int i = 0; i < steps; ++i)
        {
            Pass();
            tour.Update(0.02f);
            Steps(1);
            tour.OnAfterDraw();
        }
    }
};

TEST_F(Tour, FromTheMainMenuItAsksToQuitAndAnswersYes)
{
    ScreenTour tour(user.Path() + "/shots");
    PushMode(new MainMenuMode(false));
    Run(tour, 30);
    // Not before the menu has stood for its picture's time.
    EXPECT_TRUE(Requests().empty());
    EXPECT_EQ(looper->GetStack().size(), 1u);
    Run(tour, 15);
    ASSERT_EQ(looper->GetStack().size(), 2u);
    auto* question = dynamic_cast<QuitConfirmMode*>(Top());
    ASSERT_NE(question, nullptr);
    EXPECT_TRUE(question->GetQuitGame());
    EXPECT_FALSE(looper->IsQuitSet());
    Run(tour, 60);
    EXPECT_TRUE(looper->IsQuitSet());
    EXPECT_NE(log.Text().find("Tour: resident memory at the main menu: "), std::string::npos);
}

} // namespace
