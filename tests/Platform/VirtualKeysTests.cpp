#include "Platform/Shim/Win32/VirtualKeys.h"

#include <gtest/gtest.h>

using namespace Kestrin::Shim;

TEST(VirtualKeys, MapsSdlKeysToWindowsCodes)
{
    const std::pair<SDL_Keycode, int> keys[] = {
        {SDLK_a, 0x41},     {SDLK_z, 0x5A},      {SDLK_7, 0x37},    {SDLK_LEFT, 37},
        {SDLK_DOWN, 40},    {SDLK_KP_ENTER, 13}, {SDLK_RETURN, 13}, {SDLK_F1, 0x70},
        {SDLK_F12, 0x7B},   {SDLK_KP_0, 0x60},   {SDLK_KP_9, 0x69}, {SDLK_KP_DIVIDE, 0x6F},
        {SDLK_QUOTE, 0xDE}, {SDLK_RSHIFT, 0x10}, {SDLK_F13, 0}};
    for (auto [sdl, vk] : keys)
        EXPECT_EQ(VirtualKeyFromSdl(sdl), vk) << sdl;
    // Every code the table can produce fits the 256-entry key state.
    for (int k = 0; k < 0x80; ++k)
        EXPECT_LT(VirtualKeyFromSdl(k), 256);
}

TEST(VirtualKeys, TheKeyStateGivesTheModifiersTextFieldsTranslateWith)
{
    using namespace Kestrin;
    KeyboardState s;
    EXPECT_EQ(s.Modifiers(), 0u);
    s.OnKey(SDLK_LSHIFT, true);
    s.SetCapsLock(true);
    EXPECT_EQ(s.Modifiers(), KeyModifier_Shift | KeyModifier_CapsLock);

    // Modifiers stay down while either side is.
    s.OnKey(SDLK_RSHIFT, true);
    s.OnKey(SDLK_LSHIFT, false);
    EXPECT_TRUE(s.IsDown(VK_SHIFT));
    s.OnKey(SDLK_RSHIFT, false);
    EXPECT_FALSE(s.IsDown(VK_SHIFT));
    s.OnKey(SDLK_RCTRL, true);
    s.OnKey(SDLK_LALT, true);
    s.SetNumLock(true);
    EXPECT_EQ(s.Modifiers(),
              KeyModifier_Control | KeyModifier_Alt | KeyModifier_CapsLock | KeyModifier_NumLock);
    s.OnKey(SDLK_b, true);
    EXPECT_TRUE(s.IsDown('B'));

    // Losing the keyboard releases every key; the locks stay as they are.
    s.Clear();
    EXPECT_FALSE(s.IsDown('B'));
    EXPECT_EQ(s.Modifiers(), KeyModifier_CapsLock | KeyModifier_NumLock);
    s.SetCapsLock(false);
    EXPECT_EQ(s.Modifiers(), KeyModifier_NumLock);
}
