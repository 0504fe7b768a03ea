#include "Platform/Shim/Win32/VirtualKeys.h"

#include <gtest/gtest.h>

using namespace Kestrin::Shim;

TEST(VirtualKeys, MapsSdlKeysToWindowsCodes)
{
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_a), 0x41);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_z), 0x5A);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_7), 0x37);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_LEFT), 37);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_DOWN), 40);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_ENTER), 13);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RETURN), 13);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F1), 0x70);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F12), 0x7B);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_0), 0x60);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_9), 0x69);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_DIVIDE), 0x6F);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_QUOTE), 0xDE);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_RSHIFT), 0x10);
    EXPECT_EQ(VirtualKeyFromSdl(SDLK_F13), 0);
    // Every code the table can produce fits the 256-entry key state.
    for (int k = 0; k < 0x80; ++k)
        EXPECT_LT(VirtualKeyFromSdl(k), 256);
}

TEST(VirtualKeys, ToAsciiAppliesShiftAndCapsLock)
{
    KeyboardState s;
    EXPECT_EQ(ToAscii('A', s.Bytes()), 'a');
    EXPECT_EQ(ToAscii('1', s.Bytes()), '1');
    EXPECT_EQ(ToAscii(VK_OEM_2, s.Bytes()), '/');

    s.OnKey(SDLK_LSHIFT, true);
    EXPECT_EQ(ToAscii('A', s.Bytes()), 'A');
    EXPECT_EQ(ToAscii('1', s.Bytes()), '!');
    EXPECT_EQ(ToAscii('0', s.Bytes()), ')');
    EXPECT_EQ(ToAscii(VK_OEM_7, s.Bytes()), '"');

    s.SetCapsLock(true);
    EXPECT_EQ(ToAscii('A', s.Bytes()), 'a'); // shift and caps cancel on letters
    EXPECT_EQ(ToAscii('2', s.Bytes()), '@'); // caps does not touch digits

    s.OnKey(SDLK_LSHIFT, false);
    EXPECT_EQ(ToAscii('Q', s.Bytes()), 'Q');
    EXPECT_EQ(ToAscii('2', s.Bytes()), '2');
    EXPECT_EQ(ToAscii(VK_LEFT, s.Bytes()), 0);
    EXPECT_EQ(ToAscii(VK_SPACE, s.Bytes()), ' ');
}

TEST(VirtualKeys, ModifiersStayDownWhileEitherSideIs)
{
    KeyboardState s;
    s.OnKey(SDLK_LSHIFT, true);
    s.OnKey(SDLK_RSHIFT, true);
    s.OnKey(SDLK_LSHIFT, false);
    EXPECT_TRUE(s.IsDown(VK_SHIFT));
    s.OnKey(SDLK_RSHIFT, false);
    EXPECT_FALSE(s.IsDown(VK_SHIFT));

    s.OnKey(SDLK_LCTRL, true);
    EXPECT_EQ(ToAscii('C', s.Bytes()), 3); // control code
    EXPECT_EQ(ToAscii('1', s.Bytes()), 0);
    s.OnKey(SDLK_b, true);
    EXPECT_TRUE(s.IsDown('B'));
    s.SetCapsLock(true);
    s.Clear();
    EXPECT_FALSE(s.IsDown(VK_CONTROL));
    EXPECT_EQ(s.Bytes()[VK_CAPITAL] & 1, 1); // the toggle survives
}

TEST(VirtualKeys, PunctuationClass)
{
    EXPECT_TRUE(IsPunctuation('!'));
    EXPECT_TRUE(IsPunctuation('~'));
    EXPECT_FALSE(IsPunctuation('a'));
    EXPECT_FALSE(IsPunctuation(' '));
    EXPECT_FALSE(IsPunctuation('\xe9'));
}
