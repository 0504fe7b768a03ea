// An options screen as the game builds them: two volume sliders, two check boxes, a list of
// players and a name field from one layout, driven through the main loop's input road, with the
// screen reading the values back as the controls tell it of each change.
#include "Framework/Keys.h"
#include "Platform/Looper.h"
#include "Platform/Platform.h"
#include "Scene/CheckBoxNode.h"
#include "Scene/ListNode.h"
#include "Scene/SceneApplicationMode.h"
#include "Scene/SliderNode.h"
#include "Scene/TextEditNode.h"
#include "UI/UINames.h"

#include "Scene/NodeKindTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

using namespace Kestrin;
using namespace SceneTest;

namespace
{

const std::string kOptions = R"(
<testfont name="Font_Opt" advance="8" lineHeight="14"/>
<testimages name="Opt_Channel" count="3" width="10" height="8"/>
<testimages name="Opt_Thumb" count="5" width="20" height="16"/>
<testimages name="Opt_Check" count="8" width="20" height="20"/>
<testimages name="Opt_Frame" count="9" width="4" height="4"/>
<testimage name="Opt_Caret" width="2" height="14"/>
<scenelayout name="OptionsLayout">
  <scenenode width="800" height="600">
    <slidernode name="Music" channelImages="Opt_Channel" thumbImages="Opt_Thumb" width="220"
                initialValue="0.5" x="300" y="100"/>
    <slidernode name="Sound" channelImages="Opt_Channel" thumbImages="Opt_Thumb" width="220"
                initialValue="1" x="300" y="150"/>
    <checkboxnode name="MuteMusic" images="Opt_Check" font="Font_Opt" text="Mute music" x="300" y="200"/>
    <checkboxnode name="FullScreen" images="Opt_Check" font="Font_Opt" text="Full screen" x="300" y="240"/>
    <listnode name="Players" images="Opt_Frame" font="Font_Opt" width="200" height="56" x="300" y="290"
              color="#000000FF" selectedTextColor="#FF0000FF"/>
    <texteditnode name="PlayerName" font="Font_Opt" fieldImages="Opt_Frame" cursorImage="Opt_Caret"
                  width="200" maxCharacters="8" x="300" y="400"/>
  </scenenode>
</scenelayout>)";

// Keeps the settings as the controls report them, by the senders' names.
class OptionsScreen : public LayoutScreen
{
public:
    OptionsScreen() : LayoutScreen("OptionsLayout") {}
    void Enter() override
    {
        LayoutScreen::Enter();
        if (auto* players = Find<ListNode>("Players"))
            for (const wchar_t* name : {L"Ann", L"Bob", L"Cid", L"Dee", L"Eve"})
                players->AddItem(name);
    }
    void HandleMessage(const Message& message) override
    {
        Object* sender = GetObject(message.handle);
        const std::string name = sender && sender->GetName() ? sender->GetName().c_str() : "?";
        if (message.name == Names::SliderReleased)
            volumes[name] = dynamic_cast<SliderNode*>(sender)->GetValue();
        else if (message.name == Names::CheckBoxClick)
            flags[name] = dynamic_cast<CheckBoxNode*>(sender)->checked;
        else if (message.name == Names::ListSelectionChange)
        {
            auto* list = dynamic_cast<ListNode*>(sender);
            player = list->GetItemText(list->GetSelection());
        }
        else if (message.name == Names::TextEditChange)
            playerName = dynamic_cast<TextEditNode*>(sender)->GetText();
        else
            return;
        events.push_back(std::string(message.name.c_str()) + " " + name);
    }
    template <typename T> T* Find(const char* name) { return dynamic_cast<T*>(FindObject(MakeName(name))); }

    std::map<std::string, float> volumes;
    std::map<std::string, bool> flags;
    std::wstring player;
    std::wstring playerName;
    std::vector<std::string> events;
};

class SceneOptionsDemo : public InputRoadTest
{
protected:
    void Drag(int fromX, int toX, int y)
    {
        Send(InputEvent_MouseMove, fromX, y);
        Send(InputEvent_ButtonDown, fromX, y, 0);
        Send(InputEvent_MouseMove, (fromX + toX) / 2, y);
        Send(InputEvent_MouseMove, toX, y);
        Send(InputEvent_ButtonUp, toX, y, 0);
    }
    void Key(int key) { Send(InputEvent_KeyDown, 0, 0, key); }
    // As the window delivers a key that types: its key-down, then its character.
    void Type(const std::wstring& text)
    {
        for (wchar_t c : text)
        {
            Key(std::towupper(c));
            Send(InputEvent_Text, 0, 0, int(c));
        }
    }
};

} // namespace

TEST_F(SceneOptionsDemo, AnOptionsLayoutAnswersMouseAndKeysAndReadsBack)
{
    Resources(kOptions);
    auto* screen = Open(new OptionsScreen);
    ASSERT_NE(screen->GetRootNode(), nullptr);
    auto* music = screen->Find<SliderNode>("Music");
    auto* name = screen->Find<TextEditNode>("PlayerName");
    ASSERT_TRUE(music && name);

    // The music thumb (200 pixels of travel, at 100) grabbed and dragged 50 right; the sound thumb
    // dragged far past its left end.
    Drag(405, 455, 105);
    Drag(505, 100, 155);
    // The mute label clicked, the full-screen box clicked twice, then once more.
    Click(340, 210);
    Click(305, 245);
    Click(305, 245);
    Click(305, 245);
    // The second player's row, then the field, and a name typed with a slip mended with Backspace
    // and more letters than the field takes.
    Click(320, 315);
    Click(310, 410);
    Type(L"Kim");
    Key(VK_BACK);
    Type(L"ttycatsx");
    // The keyboard mode of the list, which no real key produces, injected: Down twice.
    screen->SetFocus(screen->Find<ListNode>("Players"));
    for (int key : {int(Key_KeyboardMode), int(VK_DOWN), int(VK_DOWN)})
        Key(key);

    EXPECT_FLOAT_EQ(screen->volumes["Music"], 0.75f);
    // Let go off the slider: its value holds, but no release was told.
    EXPECT_EQ(screen->Find<SliderNode>("Sound")->GetValue(), 0.0f);
    EXPECT_EQ(screen->volumes.count("Sound"), 0u);
    EXPECT_TRUE(screen->flags["MuteMusic"]);
    EXPECT_TRUE(screen->flags["FullScreen"]);
    EXPECT_EQ(screen->player, L"Dee");
    EXPECT_EQ(screen->playerName, L"Kittycat");
    EXPECT_EQ(name->GetText(), L"Kittycat");
    EXPECT_EQ(std::count(screen->events.begin(), screen->events.end(), "TextEditChange PlayerName"), 10);
    EXPECT_EQ(std::count(screen->events.begin(), screen->events.end(), "ListSelectionChange Players"), 3);

    // Everything shows: labels, the rows from the one scrolled to the top, and the name.
    const std::vector<std::wstring> texts = DrawnTexts(*screen);
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"Mute music", L"Full screen", L"Bob", L"Cid", L"Dee", L"Eve",
                                                L"Kittycat"}));
}
