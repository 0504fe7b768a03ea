#include "Platform/Shim/Win32/VirtualKeys.h"

namespace Kestrin::Shim
{

int VirtualKeyFromSdl(SDL_Keycode key)
{
    if (key >= SDLK_a && key <= SDLK_z)
        return VK_A + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9)
        return VK_0 + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12)
        return VK_F1 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9)
        return VK_NUMPAD0 + 1 + (key - SDLK_KP_1);
    switch (key)
    {
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
    case SDLK_RETURN2:
        return VK_RETURN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    case SDLK_PAUSE:
        return VK_PAUSE;
    case SDLK_CAPSLOCK:
        return VK_CAPITAL;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_END:
        return VK_END;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_PRINTSCREEN:
        return VK_SNAPSHOT;
    case SDLK_INSERT:
        return VK_INSERT;
    case SDLK_DELETE:
        return VK_DELETE;
    case SDLK_LGUI:
        return VK_LWIN;
    case SDLK_RGUI:
        return VK_RWIN;
    case SDLK_APPLICATION:
        return VK_APPS;
    case SDLK_KP_0:
        return VK_NUMPAD0;
    case SDLK_KP_MULTIPLY:
        return VK_MULTIPLY;
    case SDLK_KP_PLUS:
        return VK_ADD;
    case SDLK_KP_MINUS:
        return VK_SUBTRACT;
    case SDLK_KP_PERIOD:
    case SDLK_KP_DECIMAL:
        return VK_DECIMAL;
    case SDLK_KP_DIVIDE:
        return VK_DIVIDE;
    case SDLK_NUMLOCKCLEAR:
        return VK_NUMLOCK;
    case SDLK_SCROLLLOCK:
        return VK_SCROLL;
    case SDLK_SEMICOLON:
        return VK_OEM_1;
    case SDLK_EQUALS:
        return VK_OEM_PLUS;
    case SDLK_COMMA:
        return VK_OEM_COMMA;
    case SDLK_MINUS:
        return VK_OEM_MINUS;
    case SDLK_PERIOD:
        return VK_OEM_PERIOD;
    case SDLK_SLASH:
        return VK_OEM_2;
    case SDLK_BACKQUOTE:
        return VK_OEM_3;
    case SDLK_LEFTBRACKET:
        return VK_OEM_4;
    case SDLK_BACKSLASH:
        return VK_OEM_5;
    case SDLK_RIGHTBRACKET:
        return VK_OEM_6;
    case SDLK_QUOTE:
        return VK_OEM_7;
    default:
        return 0;
    }
}

void KeyboardState::Set(int vk, bool down)
{
    if (vk <= 0 || vk > 255)
        return;
    uint8_t& b = m_state[size_t(vk)];
    b = uint8_t(down ? (b | 0x80) : (b & ~0x80));
}

void KeyboardState::OnKey(SDL_Keycode key, bool down)
{
    switch (key)
    {
    case SDLK_LSHIFT:
        Set(VK_LSHIFT, down);
        break;
    case SDLK_RSHIFT:
        Set(VK_RSHIFT, down);
        break;
    case SDLK_LCTRL:
        Set(VK_LCONTROL, down);
        break;
    case SDLK_RCTRL:
        Set(VK_RCONTROL, down);
        break;
    case SDLK_LALT:
        Set(VK_LMENU, down);
        break;
    case SDLK_RALT:
        Set(VK_RMENU, down);
        break;
    default:
        Set(VirtualKeyFromSdl(key), down);
        return;
    }
    // The generic modifier stays down while either side is.
    Set(VK_SHIFT, IsDown(VK_LSHIFT) || IsDown(VK_RSHIFT));
    Set(VK_CONTROL, IsDown(VK_LCONTROL) || IsDown(VK_RCONTROL));
    Set(VK_MENU, IsDown(VK_LMENU) || IsDown(VK_RMENU));
}

void KeyboardState::SetToggle(int vk, bool on)
{
    uint8_t& b = m_state[size_t(vk)];
    b = uint8_t(on ? (b | 1) : (b & ~1));
}

void KeyboardState::Clear()
{
    const uint8_t caps = m_state[VK_CAPITAL] & 1;
    const uint8_t numLock = m_state[VK_NUMLOCK] & 1;
    m_state.fill(0);
    m_state[VK_CAPITAL] = caps;
    m_state[VK_NUMLOCK] = numLock;
}

uint32_t KeyboardState::Modifiers() const
{
    uint32_t modifiers = 0;
    if (IsDown(VK_SHIFT))
        modifiers |= KeyModifier_Shift;
    if (IsDown(VK_CONTROL))
        modifiers |= KeyModifier_Control;
    if (IsDown(VK_MENU))
        modifiers |= KeyModifier_Alt;
    if (m_state[VK_CAPITAL] & 1)
        modifiers |= KeyModifier_CapsLock;
    if (m_state[VK_NUMLOCK] & 1)
        modifiers |= KeyModifier_NumLock;
    return modifiers;
}

} // namespace Kestrin::Shim
