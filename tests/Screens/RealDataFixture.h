#pragma once
// The screens over the committed data tree with the text table and "resources" loaded. Clicks go
// through the top screen's input, so a disabled or hidden button takes none.
#include "Framework/ObjectDatabase.h"
#include "Scene/ButtonNode.h"

#include "ScreenTestSupport.h"

#include <string>

namespace ScreenTest
{

class RealDataFixture : public ScreenFixture
{
protected:
    RealDataFixture() { UseCommittedData(); }

    // Pushed and entered.
    template <typename T> T* Show(T* screen)
    {
        Kestrin::PushMode(screen);
        Pass();
        return screen;
    }

    // The top screen's button of that object name; null when there is none.
    ButtonNode* Button(const char* name) const
    {
        Kestrin::ApplicationMode* top = Top();
        return top ? dynamic_cast<ButtonNode*>(top->FindObject(Kestrin::MakeName(name))) : nullptr;
    }
    bool IsEnabled(const char* name) const
    {
        ButtonNode* button = Button(name);
        return button && button->IsEnabled();
    }
    // A press and release at the button's centre; false when the button is missing or the click
    // did not reach it.
    bool Click(const char* name)
    {
        ButtonNode* button = Button(name);
        if (!button)
            return false;
        const auto rect = button->GetWorldRect();
        const int x = int(rect.x + rect.w / 2);
        const int y = int(rect.y + rect.h / 2);
        // Through the main loop's input road, which drops input while a screen request waits.
        Send(Kestrin::InputEvent_MouseMove, x, y);
        Send(Kestrin::InputEvent_ButtonDown, x, y, 0);
        bool clicked = false;
        const auto connection = button->clickSignal.Connect([&](ButtonNode*) { clicked = true; });
        Send(Kestrin::InputEvent_ButtonUp, x, y, 0);
        // The click may have removed the button with its screen's layout.
        if (Button(name) == button)
            button->clickSignal.Disconnect(connection);
        return clicked;
    }

    // Sets a record of the current profile.
    void SetRecord(const std::wstring& key, int value)
    {
        Kestrin::AccountManager::Instance()->GetCurrentAccount()->SetInt(key, value);
    }
};

} // namespace ScreenTest
