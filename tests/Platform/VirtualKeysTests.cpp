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

TEST(VirtualKeys, ToAsciiAppliesShiftCapsLockAndControl)
{
    KeyboardState s;
    auto expect = [&](std::initializer_list<std::pair<int, int>> cases)
    {
        for (auto [key, ascii] : cases)
            EXPECT_EQ(ToAscii(key, s.Bytes()), ascii) << key;
    };
    expect({{'A', 'a'}, {'1', '1'}, {VK_OEM_2, '/'}});
    s.OnKey(SDLK_LSHIFT, true);
    expect({{'A', 'A'}, {'1', '!'}, {'0', ')'}, {VK_OEM_7, '"'}});
    s.SetCapsLock(true);
    expect({{'A', 'a'}, {'2', '@'}}); // shift and caps cancel on letters; caps leaves digits
    s.OnKey(SDLK_LSHIFT, false);
    expect({{'Q', 'Q'}, {'2', '2'}, {VK_LEFT, 0}, {VK_SPACE, ' '}});

    // Modifiers stay down while either side is.
    s.SetCapsLock(false);
    s.OnKey(SDLK_LSHIFT, true);
    s.OnKey(SDLK_RSHIFT, true);
    s.OnKey(SDLK_LSHIFT, false);
    EXPECT_TRUE(s.IsDown(VK_SHIFT));
    s.OnKey(SDLK_RSHIFT, false);
    EXPECT_FALSE(s.IsDown(VK_SHIFT));
    s.OnKey(SDLK_LCTRL, true);
    expect({{'C', 3}, {'1', 0}}); // control codes
    s.OnKey(SDLK_b, true);
    EXPECT_TRUE(s.IsDown('B'));
    s.SetCapsLock(true);
    s.Clear();
    EXPECT_FALSE(s.IsDown(VK_CONTROL));
    EXPECT_EQ(s.Bytes()[VK_CAPITAL] & 1, 1); // the toggle survives
}

TEST(VirtualKeys, PunctuationClass)
{
    for (char c : {'!', '~'})
        EXPECT_TRUE(IsPunctuation(c)) << c;
    for (char c : {'a', ' ', '\xe9'})
        EXPECT_FALSE(IsPunctuation(c)) << c;
}
