#include "Screens/ScreenNodes.h"

#include "Scene/SceneNode.h"

#include <string>

SceneNode* FindScreenNode(SceneNode* start, ScreenNode node)
{
    std::string_view path = GetScreenNodeRow(node).path;
    if (path.starts_with("*/"))
        path.remove_prefix(2);
    SceneNode* found = start;
    while (found && !path.empty())
    {
        const size_t slash = path.find('/');
        found = found->FindChild(std::string(path.substr(0, slash)));
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    }
    return found;
}
