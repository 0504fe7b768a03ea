#include "Screens/OptionsMode.h"

#include "Framework/Audio.h"
#include "Framework/AudioControls.h"
#include "Framework/Keys.h"
#include "Game/GameText.h"
#include "Platform/AudioPlatform.h"
#include "Platform/AudioSettings.h"
#include "Platform/GraphicsPlatform.h"
#include "Platform/Looper.h"
#include "Platform/WindowSettings.h"
#include "Scene/CheckBoxNode.h"
#include "Scene/SliderNode.h"
#include "Scene/StyledTextSpriteNode.h"
#include "UI/UINames.h"

#include <algorithm>

namespace
{
constexpr const char* DialogSound = "SFX_UI_dialog";

Kestrin::IAudioControls* Category(int category)
{
    Kestrin::IAudioPlatform* audio = Kestrin::GetAudioPlatform();
    return audio ? audio->GetCategoryControls(category) : nullptr;
}

bool IsFullScreen()
{
    return Kestrin::GetCurrentDisplaySettings().windowMode == Kestrin::WindowMode_FullScreen;
}

// The control of the message's handle in the current screen, when it is of that kind.
template <typename T> T* ControlOf(const Kestrin::Message& message)
{
    return dynamic_cast<T*>(Kestrin::GetObjectByHandle(message.handle));
}

void SetVolume(int category, float volume)
{
    if (Kestrin::IAudioControls* controls = Category(category))
        controls->SetVolume(std::clamp(volume, 0.0f, 1.0f));
}

void SetMuted(int category, bool muted)
{
    if (Kestrin::IAudioControls* controls = Category(category))
        controls->SetMuted(muted);
}
} // namespace

OptionsMode::OptionsMode(Options options) : m_slide(options.slide) {}

OptionsMode::~OptionsMode()
{
    Unregister();
}

OptionsMode::AudioState OptionsMode::ReadAudioState()
{
    AudioState state;
    if (Kestrin::IAudioControls* music = Category(Kestrin::AudioCategory_Music))
    {
        state.musicMuted = music->IsMuted();
        state.musicVolume = music->GetVolume();
    }
    if (Kestrin::IAudioControls* effects = Category(Kestrin::AudioCategory_Effects))
    {
        state.effectsMuted = effects->IsMuted();
        state.effectsVolume = effects->GetVolume();
    }
    return state;
}

void OptionsMode::Enter()
{
    if (!m_group.Enter(*this, "Options", true))
    {
        LetInputClose();
        return;
    }
    struct Label
    {
        ScreenNode node;
        const char* key;
    };
    for (const Label& label : {Label{ScreenNode::OptionsTitle, "Options.title"},
                               Label{ScreenNode::OptionsMuteMusicText, "Options.mute"},
                               Label{ScreenNode::OptionsMusicVolumeText, "Options.musicvolume"},
                               Label{ScreenNode::OptionsMuteSoundText, "Options.mute"},
                               Label{ScreenNode::OptionsSoundVolumeText, "Options.soundvolume"},
                               Label{ScreenNode::OptionsFullScreenText, "Options.fullscreen"}})
        SetNodeText(m_group.FindNode(label.node), GetGameText(label.key));

    m_savedState = ReadAudioState();
    if (Kestrin::IGraphicsPlatform* graphics = Kestrin::GetGraphicsPlatform())
        m_savedState.customCursor = graphics->IsCustomCursorEnabled();
    m_saved = true;

    if (auto* box = m_group.FindObjectAs<CheckBoxNode>(ControlNames::FullScreen.Get()))
        box->checked = IsFullScreen();
    if (auto* box = m_group.FindObjectAs<CheckBoxNode>(ControlNames::UseCustomCursor.Get()))
    {
        Kestrin::IGraphicsPlatform* graphics = Kestrin::GetGraphicsPlatform();
        box->checked = graphics && graphics->IsCustomCursorEnabled();
    }
    if (auto* box = m_group.FindObjectAs<CheckBoxNode>(ControlNames::MuteSound.Get()))
        box->checked = m_savedState.effectsMuted;
    if (auto* box = m_group.FindObjectAs<CheckBoxNode>(ControlNames::MuteMusic.Get()))
        box->checked = m_savedState.musicMuted;
    if (auto* slider = m_group.FindObjectAs<SliderNode>(ControlNames::Sound.Get()))
        slider->SetValue(m_savedState.effectsVolume, false);
    if (auto* slider = m_group.FindObjectAs<SliderNode>(ControlNames::Music.Get()))
        slider->SetValue(m_savedState.musicVolume, false);

    Kestrin::GetWindowModeChangeHandlers().push_back(this);
    m_registered = true;

    if (m_slide)
        SlideIn(kAbove, kResting, DialogSound);
}

void OptionsMode::Exit()
{
    Unregister();
    if (!m_saved)
        return;
    if (m_cancelled)
    {
        SetVolume(Kestrin::AudioCategory_Effects, m_savedState.effectsVolume);
        SetVolume(Kestrin::AudioCategory_Music, m_savedState.musicVolume);
        SetMuted(Kestrin::AudioCategory_Effects, m_savedState.effectsMuted);
        SetMuted(Kestrin::AudioCategory_Music, m_savedState.musicMuted);
        if (Kestrin::IGraphicsPlatform* graphics = Kestrin::GetGraphicsPlatform())
            graphics->SetCustomCursorEnabled(m_savedState.customCursor);
        return;
    }
    int windowMode = Kestrin::GetCurrentDisplaySettings().windowMode;
    // Looked up in this screen itself: it may no longer be the current one.
    if (auto* box = dynamic_cast<CheckBoxNode*>(FindObject(ControlNames::FullScreen.Get())))
        if (box->checked != IsFullScreen())
        {
            windowMode = box->checked ? Kestrin::WindowMode_FullScreen : Kestrin::WindowMode_Windowed;
            Kestrin::SetWindowMode(windowMode);
        }
    // Into the profile at once: a crash before the program ends must not lose what OK confirmed.
    Kestrin::SaveWindowSettings(windowMode);
    Kestrin::SaveAudioSettings();
}

void OptionsMode::Unregister()
{
    if (!m_registered)
        return;
    Kestrin::GetWindowModeChangeHandlers().remove(this);
    m_registered = false;
}

void OptionsMode::HandleMessage(const Kestrin::Message& message)
{
    if (message.name == Kestrin::Names::ButtonClick.Get())
    {
        const Kestrin::NameId clicked = GetClickedName(message);
        if (clicked == ControlNames::ExitCancel.Get())
            Close(true);
        else if (clicked == ControlNames::ExitOk.Get())
            Close(false);
    }
    else if (message.name == Kestrin::Names::SliderValueChange.Get())
    {
        auto* slider = ControlOf<SliderNode>(message);
        if (!slider)
            return;
        if (slider->GetName() == ControlNames::Sound.Get())
            SetVolume(Kestrin::AudioCategory_Effects, slider->GetValue());
        else if (slider->GetName() == ControlNames::Music.Get())
            SetVolume(Kestrin::AudioCategory_Music, slider->GetValue());
    }
    else if (message.name == Kestrin::Names::CheckBoxClick.Get())
    {
        auto* box = ControlOf<CheckBoxNode>(message);
        if (!box)
            return;
        if (box->GetName() == ControlNames::UseCustomCursor.Get())
        {
            if (Kestrin::IGraphicsPlatform* graphics = Kestrin::GetGraphicsPlatform())
                graphics->SetCustomCursorEnabled(box->checked);
        }
        else if (box->GetName() == ControlNames::MuteSound.Get())
            SetMuted(Kestrin::AudioCategory_Effects, box->checked);
        else if (box->GetName() == ControlNames::MuteMusic.Get())
            SetMuted(Kestrin::AudioCategory_Music, box->checked);
    }
}

bool OptionsMode::OnKeyDown(int key)
{
    if (AbstractSlidingMode::OnKeyDown(key))
        return true;
    if (key != Kestrin::VK_ESCAPE || m_group.HasShownError())
        return false;
    Close(true);
    return true;
}

void OptionsMode::Close(bool cancelled)
{
    // One close: a second click before the pop-up goes would pop twice.
    if (m_closing)
        return;
    m_closing = true;
    m_cancelled = cancelled;
    if (m_slide)
        SlideOut(kResting, kAbove, DialogSound);
    else
        Kestrin::PopMode();
}

void OptionsMode::OnWindowModeChanged()
{
    if (auto* box = dynamic_cast<CheckBoxNode*>(FindObject(ControlNames::FullScreen.Get())))
        box->checked = IsFullScreen();
}
