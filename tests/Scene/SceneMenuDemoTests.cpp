// A small menu screen as the game builds them: a title, a meter and three buttons from one layout,
// clicked through the main loop's input road.
#include "Framework/Keys.h"
#include "Platform/Looper.h"
#include "Platform/Platform.h"
#include "Scene/ButtonNode.h"
#include "Scene/MeterNodes.h"
#include "Scene/SceneApplicationMode.h"
#include "Scene/TextSpriteNode.h"
#include "UI/UINames.h"

#include "Scene/NodeKindTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Kestrin;
using namespace SceneTest;

namespace
{

const std::string kMenu = R"(
<testfont name="Font_Menu" advance="8" lineHeight="16"/>
<testimages name="Menu_Meter" count="2" width="20" height="6"/>
<testimages name="Menu_Button" count="4" width="120" height="30"/>
<scenelayout name="MenuLayout">
  <scenenode width="800" height="600">
    <textspritenode nodeName="title" font="Font_Menu" text="Tanglewisp" x="360" y="40"/>
    <meterbarnode nodeName="progress" images="Menu_Meter" size="200" max="10" start="4" x="300" y="80"/>
    <nodegridnode nodeName="buttons" gridGrowBehavior="verticalFirst" vSpacing="10" x="340" y="200">
      <buttonnode name="play_tanglewisp" images="Menu_Button" font="Font_Menu" text="Play"/>
      <buttonnode name="Options" images="Menu_Button" font="Font_Menu" text="Options"/>
      <buttonnode name="Quit" images="Menu_Button" font="Font_Menu" text="Quit" keyCode="Escape"/>
    </nodegridnode>
  </scenenode>
</scenelayout>)";

// Reacts to the buttons by name, as the game's screens do.
class MenuScreen : public LayoutScreen
{
public:
    MenuScreen() : LayoutScreen("MenuLayout") {}
    void HandleMessage(const Message& message) override
    {
        if (message.name != Names::ButtonClick)
            return;
        Object* sender = GetObject(message.handle);
        const NameId name = sender ? sender->GetName() : NameId();
        if (name == ControlNames::PlayTanglewisp)
            clicks.push_back("play");
        else if (name == ControlNames::Options)
            clicks.push_back("options");
        else if (name == ControlNames::Quit)
            clicks.push_back("quit");
        else
            clicks.push_back("?");
    }
    std::vector<std::string> clicks;
};

using SceneMenuDemo = InputRoadTest;

} // namespace

TEST_F(SceneMenuDemo, AMenuBuiltFromALayoutAnswersClicksAndItsHotKeyInOrder)
{
    Resources(kMenu);
    auto* screen = Open(new MenuScreen);
    ASSERT_NE(screen->GetRootNode(), nullptr);

    // The buttons stand in a column from (340, 200), 40 pixels apart.
    SceneNode* menu = screen->GetRootNode()->GetFirstChild();
    ASSERT_NE(menu, nullptr);
    auto* quit = dynamic_cast<ButtonNode*>(menu->FindNode({"buttons", 2}));
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(quit->GetWorldRect(), Rect<float>(340, 280, 120, 30));

    Click(400, 250); // Options
    Click(350, 205); // Play
    // Quit pressed, dragged off and let go: nothing.
    Send(InputEvent_ButtonDown, 400, 290);
    Send(InputEvent_MouseMove, 600, 290);
    Send(InputEvent_ButtonUp, 600, 290);
    // Between the buttons: nothing.
    Click(400, 235);
    Send(InputEvent_KeyDown, 0, 0, VK_ESCAPE);
    EXPECT_EQ(screen->clicks, (std::vector<std::string>{"options", "play", "quit"}));

    // The meter follows the game: 4 of 10 is 80 of its 200 pixels.
    auto* meter = dynamic_cast<MeterBarNode*>(menu->FindNode({"progress"}));
    ASSERT_NE(meter, nullptr);
    EXPECT_EQ(MeterFill(meter->GetValue(), meter->GetMax(), meter->GetLength()), 80);
    SetNodeText(menu->FindNode({"title"}), L"Paused");

    const std::vector<std::wstring> texts = DrawnTexts(*screen);
    EXPECT_EQ(texts, (std::vector<std::wstring>{L"Paused", L"Play", L"Options", L"Quit"}));
    // The empty bar's 10 tiles and the fill's 4, then one image per button.
    EXPECT_EQ(Calls("Image").size(), 10u + 4u + 3u);
}
