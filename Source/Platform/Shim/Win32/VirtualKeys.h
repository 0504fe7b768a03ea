#pragma once
#include <SDL2/SDL_keycode.h>

#include <array>
#include <cstdint>

namespace Kestrin::Shim
{

// Windows virtual-key codes, which every key handler of the game compares against.
enum VirtualKey : int
{
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_SNAPSHOT = 0x2C,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_LWIN = 0x5B,
    VK_RWIN = 0x5C,
    VK_APPS = 0x5D,
    VK_NUMPAD0 = 0x60,
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SEPARATOR = 0x6C,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,
    VK_F12 = 0x7B,
    VK_NUMLOCK = 0x90,
    VK_SCROLL = 0x91,
    VK_LSHIFT = 0xA0,
    VK_RSHIFT = 0xA1,
    VK_LCONTROL = 0xA2,
    VK_RCONTROL = 0xA3,
    VK_LMENU = 0xA4,
    VK_RMENU = 0xA5,
    VK_OEM_1 = 0xBA,      // ;:
    VK_OEM_PLUS = 0xBB,   // =+
    VK_OEM_COMMA = 0xBC,  // ,<
    VK_OEM_MINUS = 0xBD,  // -_
    VK_OEM_PERIOD = 0xBE, // .>
    VK_OEM_2 = 0xBF,      // /?
    VK_OEM_3 = 0xC0,      // `~
    VK_OEM_4 = 0xDB,      // [{
    VK_OEM_5 = 0xDC,      // \|
    VK_OEM_6 = 0xDD,      // ]}
    VK_OEM_7 = 0xDE,      // '"
};

// The virtual key of an SDL key, or 0 for keys the game has no code for (such keys send no event).
int VirtualKeyFromSdl(SDL_Keycode key);

// The 256-entry key state: 0x80 while a key is down; bit 0 of VK_CAPITAL is the Caps Lock toggle.
class KeyboardState
{
public:
    KeyboardState() { m_state.fill(0); }

    // Records a key change; generic and left/right modifier codes move together.
    void OnKey(SDL_Keycode key, bool down);
    void SetCapsLock(bool on);
    void Clear();

    const std::array<uint8_t, 256>& Bytes() const { return m_state; }
    bool IsDown(int vk) const { return vk >= 0 && vk < 256 && (m_state[size_t(vk)] & 0x80); }

private:
    void Set(int vk, bool down);
    std::array<uint8_t, 256> m_state;
};

// The character a key gives on a US layout with the given key state, or 0 when it gives none.
// Shift and Caps Lock apply to letters; Shift alone picks the upper symbol of digits and punctuation;
// Ctrl with a letter gives its control code.
char ToAscii(int vk, const std::array<uint8_t, 256>& state);

// Punctuation class of a character in the "C" locale.
bool IsPunctuation(char c);

} // namespace Kestrin::Shim
