#pragma once
#include <cstdint>
#include <functional>

namespace Kestrin
{

// Key codes as every key handler of the engine and the game receives them: Windows virtual-key
// codes (letters and digits are their upper-case ASCII codes), which the platform maps its keys to.
enum VirtualKey : int
{
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12, // Alt
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14, // Caps Lock
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21, // Page Up
    VK_NEXT = 0x22,  // Page Down
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_SNAPSHOT = 0x2C,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    VK_0 = 0x30, // '0' to '9'
    VK_A = 0x41, // 'A' to 'Z'
    VK_LWIN = 0x5B,
    VK_RWIN = 0x5C,
    VK_APPS = 0x5D,
    VK_NUMPAD0 = 0x60, // to VK_NUMPAD0 + 9
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SEPARATOR = 0x6C,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70, // to VK_F12
    VK_F2 = 0x71,
    VK_F3 = 0x72,
    VK_F4 = 0x73,
    VK_F5 = 0x74,
    VK_F6 = 0x75,
    VK_F7 = 0x76,
    VK_F8 = 0x77,
    VK_F9 = 0x78,
    VK_F10 = 0x79,
    VK_F11 = 0x7A,
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

// The engine's own codes beyond the keyboard's: game-pad buttons, and the switch of the keyboard
// mode of sliders and lists. The platform sends none of them; layouts name them for hot keys.
enum EngineKey : int
{
    Key_Start = 0x100,
    Key_Select = 0x101,
    Key_GamePadA = 0x102,
    Key_GamePadB = 0x103,
    Key_GamePadX = 0x104,
    Key_GamePadY = 0x105,
    Key_GamePadL = 0x106,
    Key_GamePadR = 0x107,
    Key_KeyboardMode = 0x200,      // enters the keyboard mode, or leaves it
    Key_KeyboardModeLeave = 0x201, // leaves it
};

// Modifier keys held and lock keys on, as bits.
enum KeyModifier : uint32_t
{
    KeyModifier_Shift = 1,
    KeyModifier_Control = 2,
    KeyModifier_Alt = 4,
    KeyModifier_CapsLock = 8,
    KeyModifier_NumLock = 16,
};

// What a key press types: `count` characters (0 or 1), the character in Windows-1252.
struct KeyTranslation
{
    int count = 0;
    char character = 0;
    bool operator==(const KeyTranslation&) const = default;
};

// The character a key types on a US layout. Letters follow Shift and Caps Lock; digits and
// punctuation take their upper symbol with Shift; the number pad types digits only with Num Lock.
// Ctrl with a letter types its control code (Ctrl+A 1), Ctrl with anything else nothing, Ctrl+Alt
// nothing. Space, Enter, Backspace, Tab and Escape type ' ', '\r', '\b', '\t' and 27, so a text
// field that inserts characters must leave control codes out. Other keys, and codes outside
// 1..255, type nothing.
KeyTranslation TranslateKey(int vk, uint32_t modifiers);
// The same with the keyboard's modifiers now (GetKeyModifiers).
KeyTranslation TranslateKey(int vk);

// Punctuation in Windows-1252: the ASCII punctuation !"#$%&'()*+,-./:;<=>?@[\]^_`{|}~ and the
// punctuation and symbols of 0x80-0xFF (quotes, dashes, currency signs, inverted marks, guillemets,
// the section, copyright, degree, multiplication and division signs...), but not its letters,
// digits (superscripts, fractions), spaces or format characters.
bool IsPunct8(unsigned char c);

// The keyboard's modifiers as the platform sees them; 0 while no platform installed a source.
uint32_t GetKeyModifiers();
// Installed by the platform; an empty function uninstalls.
using KeyModifierSource = std::function<uint32_t()>;
void SetKeyModifierSource(KeyModifierSource source);

} // namespace Kestrin
