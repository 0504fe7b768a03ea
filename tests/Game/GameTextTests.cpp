#include "Game/GameText.h"

#include "Base/Strings.h"
#include "Framework/ErrorBox.h"
#include "Framework/ValueResources.h"
#include "Platform/Win32/Win32FileSystem.h"

#include "Support/ResourceTestSupport.h"

#include <utility>
#include <vector>

namespace
{
class GameText : public KestrinTest::ResourceTest
{
protected:
    GameText()
    {
        Kestrin::RegisterValueResourceFactories(*manager);
        Kestrin::SetErrorBoxSink([this](const std::wstring& caption, const std::wstring& text)
                                 { boxes.emplace_back(text, caption); });
    }
    ~GameText() override { Kestrin::SetErrorBoxSink(nullptr); }

    std::vector<std::pair<std::wstring, std::wstring>> boxes;
};
} // namespace

TEST_F(GameText, KeysFindTheirTextsWhateverTheirCase)
{
    AddGroup(L"AllGameText_Export",
             "<AllGameText_Export>\n"
             "  <string name=\"UI.expert\" value=\"Expert!\"/>\n"
             "  <string name=\"GuestFullName.Harley\" value=\"Harley Quinby\"/>\n"
             "  <string name=\"GuestFullName.\" value=\"Nobody\"/>\n"
             "  <string name=\"1-06 Harley.dateandtime\" value=\"Tuesday &#xe9;t&#xe9; 10:00\"/>\n"
             "  <float name=\"Options.mute\" value=\"1\"/>\n"
             "</AllGameText_Export>\n");
    LoadGameText();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(GetGameText("UI.expert"), L"Expert!");
    EXPECT_EQ(GetGameText("ui.EXPERT"), L"Expert!");
    EXPECT_EQ(GetGuestFullName(GuestID::Harley), L"Harley Quinby");
    EXPECT_EQ(GetGuestFullName(GuestID::None), L"Nobody");
    EXPECT_EQ(GetDateAndTimeText("1-06 Harley"), L"Tuesday \u00e9t\u00e9 10:00");
    // Missing keys, and a resource of another kind under the key.
    EXPECT_EQ(GetGameText("UI.novice"), L"Text not Found");
    EXPECT_EQ(GetGuestFullName(GuestID::Zoe), L"Text not Found");
    EXPECT_EQ(GetGameText("Options.mute"), L"Text not Found");
    EXPECT_EQ(GetGameText(""), L"Text not Found");
}

TEST_F(GameText, AMissingGroupIsNoErrorAndABrokenOneIsReported)
{
    LoadGameText();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(GetGameText("UI.expert"), L"Text not Found");

    AddGroup(L"AllGameText_Export",
             "<AllGameText_Export><string name=\"UI.expert\" value=\"x\"></AllGameText_Export>");
    LoadGameText();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].second,
              L"There was an error loading AllGameText_Export.xml. Fix the problem and press F5 to reload");
    EXPECT_FALSE(boxes[0].first.empty());
    EXPECT_EQ(GetGameText("UI.expert"), L"Text not Found");
}

TEST(GameTextData, TheCommittedTableNamesEveryGuest)
{
    Kestrin::Win32FileSystem fs;
    fs.AddPartition(1,
                    new Kestrin::Win32FileSystemPartition(Kestrin::WidenString(KESTRIN_SOURCE_DIR "/data")));
    Kestrin::RegisterValueResourceFactories(*Kestrin::ResourceManager::Instance());
    LoadGameText();
    for (int guest = 0; guest < 6; ++guest)
        EXPECT_NE(GetGuestFullName(GuestID(guest)), L"Text not Found") << NameOf(GuestID(guest));
    EXPECT_EQ(GetGuestFullName(GuestID::None), L"");
    delete Kestrin::ResourceManager::Instance();
}
