#include "Game/GameErrors.h"

#include "Base/Log.h"
#include "Base/Text.h"

namespace
{
GameErrorBox& Box()
{
    static GameErrorBox box;
    return box;
}
} // namespace

void SetGameErrorBox(GameErrorBox box)
{
    Box() = std::move(box);
}

void ReportGameDataError(const std::string& what, const std::wstring& caption)
{
    Kestrin::LogPrintf("%s\n%s\n", Kestrin::ToUtf8(caption).c_str(), what.c_str());
    if (Box())
        Box()(Kestrin::FromUtf8(what), caption);
}
