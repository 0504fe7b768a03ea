// Escape leaves every page and pop-up that has a Back, Close or Cancel button, as the button does.
#include "Framework/Keys.h"
#include "Screens/AccountModes.h"
#include "Screens/CreditsMode.h"
#include "Screens/OptionsMode.h"
#include "Screens/QuitConfirmMode.h"
#include "Screens/TictionaryModes.h"

#include "RealDataFixture.h"

#include <functional>

using namespace Kestrin;
using namespace ScreenTest;

namespace
{

using Escape = RealDataFixture;

TEST_F(Escape, LeavesEveryPageAndPopUpWithAWayBack)
{
    ASSERT_NE(AccountManager::Instance()->CreateAccount(L"Ann"), nullptr);
    const std::pair<const char*, std::function<ApplicationMode*()>> screens[] = {
        {"credits", [] { return new CreditsMode; }},
        {"collection", [] { return new TictionaryMainMode; }},
        {"kind", [] { return new TictionaryProfileMode(0); }},
        {"about", [] { return new TictionaryAboutMode; }},
        {"help", [] { return new TictionaryHelpMode; }},
        {"profiles", [] { return new AccountMode; }},
        {"new player", [] { return new EditAccountMode; }},
        {"delete player", [] { return new DeleteAccountMode(L"Ann"); }},
        {"options", [] { return new OptionsMode({.slide = true}); }},
        {"quit", [] { return new QuitConfirmMode({.slide = true, .quitGame = true}); }},
    };
    ApplicationMode* opener = Show(new SceneApplicationMode);
    // The profile pop-ups use the group their list loaded.
    ScreenGroup profiles(L"Account");
    ASSERT_TRUE(profiles.Load());
    for (const auto& [name, make] : screens)
    {
        SCOPED_TRACE(name);
        Show(make());
        Steps(30); // a pop-up has slid in
        Send(InputEvent_KeyDown, 0, 0, VK_ESCAPE);
        Steps(30); // and out again
        Pass();
        ASSERT_EQ(Top(), opener);
    }
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(AccountManager::Instance()->GetAccounts().size(), 2u);
    ResourceManager::Instance()->UnloadFile(L"Account");
}

} // namespace
