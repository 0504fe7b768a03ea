#pragma once
#include "Framework/Keys.h"

#include <SDL2/SDL_keycode.h>

#include <array>
#include <cstdint>

namespace Kestrin::Shim
{

// The virtual key of an SDL key, or 0 for keys the game has no code for (such keys send no event).
int VirtualKeyFromSdl(SDL_Keycode key);

// The 256-entry key state: 0x80 while a key is down; bit 0 of VK_CAPITAL and VK_NUMLOCK is the
// lock's toggle.
class KeyboardState
{
public:
    KeyboardState() { m_state.fill(0); }

    // Records a key change; generic and left/right modifier codes move together.
    void OnKey(SDL_Keycode key, bool down);
    void SetCapsLock(bool on) { SetToggle(VK_CAPITAL, on); }
    void SetNumLock(bool on) { SetToggle(VK_NUMLOCK, on); }
    // Releases every key; the locks keep their state.
    void Clear();

    const std::array<uint8_t, 256>& Bytes() const { return m_state; }
    bool IsDown(int vk) const { return vk >= 0 && vk < 256 && (m_state[size_t(vk)] & 0x80); }
    // KeyModifier bits, as TranslateKey takes them.
    uint32_t Modifiers() const;

private:
    void Set(int vk, bool down);
    void SetToggle(int vk, bool on);
    std::array<uint8_t, 256> m_state;
};

} // namespace Kestrin::Shim
