#include "Game/GameConstants.h"

std::vector<std::string> GetNodePathNames(NodePath path)
{
    std::vector<std::string> names;
    std::string_view text = GetNodePathText(path);
    while (!text.empty())
    {
        const size_t slash = text.find('/');
        names.emplace_back(text.substr(0, slash));
        if (slash == std::string_view::npos)
            break;
        text.remove_prefix(slash + 1);
    }
    return names;
}
