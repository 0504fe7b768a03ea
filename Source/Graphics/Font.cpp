#include "Graphics/Font.h"

namespace Kestrin
{

int GetTextWidth(std::wstring_view text, const Font* font)
{
    if (!font)
        return 0;
    int width = 0;
    for (size_t i = 0; i < text.size(); ++i)
        width += font->GetAdvance(text[i], i + 1 < text.size() ? text[i + 1] : L'\0');
    return width;
}

} // namespace Kestrin
