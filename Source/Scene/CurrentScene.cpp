#include "Scene/CurrentScene.h"

#include "Base/Text.h"
#include "Framework/ObjectDatabase.h"
#include "Scene/SceneApplicationMode.h"

#include <type_traits>
#include <variant>

SceneApplicationMode* GetCurrentSceneScreen()
{
    return dynamic_cast<SceneApplicationMode*>(Kestrin::GetCurrentObjectDatabase());
}

SceneNode* GetCurrentSceneRoot()
{
    SceneApplicationMode* screen = GetCurrentSceneScreen();
    return screen ? screen->GetRootNode() : nullptr;
}

SceneNode* FindSceneNode(const SceneNode::PathElement* path)
{
    return SceneNode::FindNode(GetCurrentSceneRoot(), path);
}

SceneNode* FindSceneNode(SceneNodePath path)
{
    SceneNode* root = GetCurrentSceneRoot();
    return root ? root->FindNode(path) : nullptr;
}

SceneNode* FindSceneChild(const SceneNode::PathElement& element)
{
    SceneNode* root = GetCurrentSceneRoot();
    return root ? root->FindChild(element) : nullptr;
}

StaticSpriteNode* FindStaticSpriteNode(SceneNodePath path)
{
    return dynamic_cast<StaticSpriteNode*>(FindSceneNode(path));
}

std::string DescribePath(SceneNodePath path)
{
    std::string text;
    for (const SceneNode::PathElement& step : path)
    {
        if (step.IsEnd())
            break;
        if (!text.empty())
            text += '/';
        std::visit(
            [&](const auto& value)
            {
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, int>)
                    text += "#" + std::to_string(value);
                else if constexpr (std::is_same_v<T, Kestrin::NameId>)
                    text += value.c_str() ? value.c_str() : "";
                else if constexpr (std::is_same_v<T, const char*>)
                    text += value ? value : "";
                else if constexpr (std::is_same_v<T, std::string>)
                    text += value;
                else if constexpr (std::is_same_v<T, std::wstring>)
                    text += Kestrin::ToUtf8(value);
            },
            step.Value());
    }
    return text;
}
