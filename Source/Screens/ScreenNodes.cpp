#include "Screens/ScreenNodes.h"

#include "Scene/ScenePath.h"

#include <vector>

SceneNode* FindScreenNode(SceneNode* start, ScreenNode node)
{
    static const std::vector<ScenePath> paths = []
    {
        std::vector<ScenePath> made;
        for (const ScreenNodeRow& row : ScreenNodeRows)
        {
            std::string_view path = row.path;
            if (path.starts_with("*/"))
                path.remove_prefix(2);
            made.emplace_back(path);
        }
        return made;
    }();
    return SceneNode::FindNode(start, paths[size_t(node)]);
}
