#include "Game/GameConstants.h"

#include "Scene/ScenePath.h"

namespace
{
const ScenePath& GetNodePath(NodePath path)
{
    static const std::vector<ScenePath> paths = []
    {
        std::vector<ScenePath> made;
        for (std::string_view text : NodePathTexts)
            made.emplace_back(text);
        return made;
    }();
    return paths[size_t(path)];
}
} // namespace

std::vector<std::string> GetNodePathNames(NodePath path)
{
    return GetNodePath(path).GetNames();
}

SceneNode* FindNodeAtPath(SceneNode* from, NodePath path, size_t skip)
{
    if (size_t(path) >= size_t(NodePath::Count))
        return nullptr;
    return SceneNode::FindNode(from, GetNodePath(path), skip);
}
