#include "Screens/OptionsMode.h"

#include "Framework/AccountManager.h"
#include "Framework/AudioControls.h"
#include "Platform/AudioPlatform.h"
#include "Platform/Display.h"
#include "Platform/GraphicsPlatform.h"
#include "Scene/CheckBoxNode.h"
#include "Scene/SliderNode.h"
#include "Scene/StyledTextSpriteNode.h"
#include "UI/UINames.h"

#include "RealDataFixture.h"

using namespace Kestrin;
using namespace ScreenTest;

namespace
{

class Opener : public SceneApplicationMode
{
};

// Counts the display changes that went through.
class ModeChanges : public IWindowModeChangeHandler
{
public:
    void OnWindowModeChanged() override { ++count; }
    int count = 0;
};

class Options : public RealDataFixture
{
protected:
    Options()
    {
        Music()->SetVolume(0.8f);
        Effects()->SetVolume(0.6f);
        GetWindowModeChangeHandlers().push_back(&changes);
    }
    ~Options() override { GetWindowModeChangeHandlers().remove(&changes); }

    static IAudioControls* Music() { return GetAudioPlatform()->GetCategoryControls(2); }
    static IAudioControls* Effects() { return GetAudioPlatform()->GetCategoryControls(0); }
    OptionsMode* Open(bool slide = true)
    {
        Show(new Opener);
        auto* options = Show(new OptionsMode({.slide = slide}));
        Steps(30); // slid in
        return options;
    }
    template <typename T> T* Control(const char* name)
    {
        return dynamic_cast<T*>(Top()->FindObject(MakeName(name)));
    }
    // Through the slide out and the pop.
    void Close(const char* button)
    {
        ASSERT_TRUE(Click(button));
        Steps(30);
        Pass();
        ASSERT_NE(dynamic_cast<Opener*>(Top()), nullptr);
    }

    ModeChanges changes;
};

TEST_F(Options, TheControlsShowTheSettingsAndTheLabelsTheirTexts)
{
    Music()->SetMuted(true);
    Open();
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_FLOAT_EQ(Control<SliderNode>("Music")->GetValue(), 0.8f);
    EXPECT_FLOAT_EQ(Control<SliderNode>("Sound")->GetValue(), 0.6f);
    EXPECT_TRUE(Control<CheckBoxNode>("MuteMusic")->checked);
    EXPECT_FALSE(Control<CheckBoxNode>("MuteSound")->checked);
    EXPECT_FALSE(Control<CheckBoxNode>("FullScreen")->checked);
    EXPECT_EQ(Control<CheckBoxNode>("UseCustomCursor")->checked,
              GetGraphicsPlatform()->IsCustomCursorEnabled());
    auto* root = dynamic_cast<SceneApplicationMode*>(Top())->GetRootNode();
    for (auto [node, key] : {std::pair{"title_options", "Options.title"},
                             {"text_mute_music", "Options.mute"},
                             {"text_sound_volume", "Options.soundvolume"},
                             {"text_full_screen", "Options.fullscreen"}})
    {
        auto* text = dynamic_cast<StyledTextSpriteNode*>(root->FindNode({"optionsRoot", node}));
        ASSERT_NE(text, nullptr) << node;
        EXPECT_EQ(text->GetText(), GetGameText(key)) << node;
    }
}

TEST_F(Options, ChangesTakeEffectAtOnceCancelPutsThemBackAndOkStoresThemInTheProfile)
{
    Account& profile = *AccountManager::Instance()->GetCurrentAccount();
    for (bool ok : {false, true})
    {
        SCOPED_TRACE(ok ? "ExitOk" : "ExitCancel");
        Music()->SetVolume(0.8f);
        Music()->SetMuted(false);
        Effects()->SetMuted(false);
        GetGraphicsPlatform()->SetCustomCursorEnabled(true);
        Open();
        Control<SliderNode>("Music")->SetValue(0.3f, true);
        Control<CheckBoxNode>("MuteSound")->Toggle();
        Control<CheckBoxNode>("MuteMusic")->Toggle();
        Control<CheckBoxNode>("UseCustomCursor")->Toggle();
        Control<CheckBoxNode>("FullScreen")->Toggle();
        EXPECT_FLOAT_EQ(Music()->GetVolume(), 0.3f);
        EXPECT_TRUE(Effects()->IsMuted());
        EXPECT_TRUE(Music()->IsMuted());
        EXPECT_FALSE(GetGraphicsPlatform()->IsCustomCursorEnabled());
        Close(ok ? "ExitOk" : "ExitCancel");
        EXPECT_FLOAT_EQ(Music()->GetVolume(), ok ? 0.3f : 0.8f);
        EXPECT_EQ(Effects()->IsMuted(), ok);
        EXPECT_EQ(Music()->IsMuted(), ok);
        EXPECT_FLOAT_EQ(Effects()->GetVolume(), 0.6f);
        EXPECT_EQ(GetGraphicsPlatform()->IsCustomCursorEnabled(), !ok);
        // Stored by OK at once, not only when the program ends; Cancel stores nothing.
        EXPECT_FLOAT_EQ(profile.GetFloat(L"Kestrin::Audio::MusicControls::Volume", -1.0f), ok ? 0.3f : -1.0f);
        EXPECT_EQ(profile.HasRecord(L"Kestrin::Audio::SfxControls::IsMuted"), ok);
        EXPECT_EQ(profile.GetBool(L"Kestrin::Audio::SfxControls::IsMuted", false), ok);
        EXPECT_EQ(profile.HasRecord(L"Kestrin::Window::IsCustomCursorEnabled"), ok);
        EXPECT_EQ(profile.GetBool(L"Kestrin::Window::IsCustomCursorEnabled", true), !ok);
        EXPECT_EQ(profile.GetInt(L"Kestrin::Window::Mode", -1), ok ? 1 : -1);
        PopMode();
        Pass();
    }
}

TEST_F(Options, FullScreenIsAppliedByOkOnly)
{
    Open();
    Control<CheckBoxNode>("FullScreen")->Toggle();
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 0);
    Close("ExitCancel");
    EXPECT_EQ(changes.count, 0);
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 0);

    PopMode();
    Pass();
    Open();
    EXPECT_FALSE(Control<CheckBoxNode>("FullScreen")->checked);
    Control<CheckBoxNode>("FullScreen")->Toggle();
    Close("ExitOk");
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(GetCurrentDisplaySettings().windowMode, 1);
}

TEST_F(Options, AModeChangeWhileOpenShowsInTheBoxAndNoneReachesTheClosedScreen)
{
    OptionsMode* options = Open(false);
    ToggleWindowMode();
    EXPECT_EQ(changes.count, 1);
    EXPECT_TRUE(Control<CheckBoxNode>("FullScreen")->checked);
    // OK with the box as the window is: no further change.
    ASSERT_TRUE(Click("ExitOk"));
    EXPECT_EQ(Requests(), (std::vector<Queued>{{3, ""}})); // no slide: pops at once
    Pass();
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(std::count(GetWindowModeChangeHandlers().begin(), GetWindowModeChangeHandlers().end(),
                         static_cast<IWindowModeChangeHandler*>(options)),
              0);
    ToggleWindowMode(); // the deleted screen is not called
    EXPECT_EQ(changes.count, 2);
}

TEST_F(Options, AChangeMessageFromAnotherKindOfControlIsIgnored)
{
    OptionsMode* options = Open();
    options->HandleMessage(Message(Button("ExitOk")->GetHandle(), Names::SliderValueChange.Get()));
    options->HandleMessage(Message(Control<SliderNode>("Music")->GetHandle(), Names::CheckBoxClick.Get()));
    options->HandleMessage(
        Message(Control<CheckBoxNode>("MuteMusic")->GetHandle(), Names::ButtonClick.Get()));
    EXPECT_FLOAT_EQ(Music()->GetVolume(), 0.8f);
    EXPECT_FALSE(Music()->IsMuted());
    EXPECT_TRUE(Requests().empty());
}

using BrokenOptions = ScreenFixture;

TEST_F(BrokenOptions, WithoutItsGroupItRestoresNothingAndAClickCloses)
{
    AddBrokenGroup("Options");
    IAudioControls* music = GetAudioPlatform()->GetCategoryControls(2);
    music->SetVolume(0.4f);
    music->SetMuted(true);
    auto* options = new OptionsMode({.slide = true});
    PushMode(options);
    Pass();
    EXPECT_EQ(boxes.boxes.size(), 1u);
    music->SetVolume(0.7f); // changed elsewhere while the broken pop-up is open
    EXPECT_TRUE(options->OnMouseDown(MouseButton::Left, 10, 10));
    EXPECT_EQ(Requests(), (std::vector<Queued>{{3, ""}}));
    Pass();
    EXPECT_FLOAT_EQ(music->GetVolume(), 0.7f);
    EXPECT_TRUE(music->IsMuted());
}

} // namespace
