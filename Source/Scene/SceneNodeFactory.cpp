#include "Scene/SceneNodeFactory.h"

#include "Scene/SceneNode.h"

SceneNodeFactoryRegistry& GetSceneNodeFactories()
{
    static SceneNodeFactoryRegistry factories;
    return factories;
}

void RegisterSceneNodeFactory(const std::wstring& elementName, SceneNodeFactory* factory)
{
    GetSceneNodeFactories().Register(elementName, factory);
}

SceneNodeDescriptor* BasicSceneNodeFactory::Read(const Kestrin::IAttributeContainer& attributes)
{
    auto* descriptor = new BasicSceneNodeDescriptor;
    descriptor->width = attributes.GetFloat(L"width", 0.0f);
    descriptor->height = attributes.GetFloat(L"height", 0.0f);
    return descriptor;
}

SceneNode* BasicSceneNodeFactory::Create(const SceneNodeDescriptor& descriptor)
{
    auto* node = new SceneNode;
    // Any other kind's descriptor leaves the node at size 0.
    if (const auto* basic = dynamic_cast<const BasicSceneNodeDescriptor*>(&descriptor))
        node->SetSize(basic->width, basic->height);
    return node;
}
