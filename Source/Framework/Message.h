#pragma once
#include "Framework/Names.h"

#include <cstdint>

namespace Kestrin
{

// Slot index in the low 16 bits, generation (1..65535) in the high 16 bits.
using ObjectHandle = uint32_t;
inline constexpr ObjectHandle NoObjectHandle = 0xFFFFFFFF;

// What objects tell each other: the object concerned and an interned event name.
// Messages an object gets about itself ("Add", "Remove", focus changes) carry NoObjectHandle.
struct Message
{
    ObjectHandle handle = NoObjectHandle;
    NameId name;

    Message() = default;
    Message(ObjectHandle handle_, NameId name_) : handle(handle_), name(name_) {}
};

// The answer of an input handler.
enum class MessageResult : int
{
    NotHandled = 0,
    Handled = 1,
};

enum class MouseButton : int
{
    Left = 0,
    Right = 1,
    Middle = 2,
};

} // namespace Kestrin
