#include "UI/UINames.h"

namespace Kestrin
{

namespace
{
constinit ConstantName g_creditsPages[CreditsPageCount] = {ConstantName{"quorvane"}, ConstantName{"tamsel"},
                                                           ConstantName{"partners"}};
} // namespace

int WordIndex(std::wstring_view word, std::span<const std::wstring_view> words, int fallback)
{
    for (size_t i = 0; i < words.size(); ++i)
        if (words[i] == word)
            return int(i);
    return fallback;
}

NameId GetCreditsPageName(int index)
{
    if (index < 0 || index >= CreditsPageCount)
        return {};
    return g_creditsPages[index];
}

} // namespace Kestrin
