#pragma once
#include "Base/AttributeContainer.h"
#include "Framework/FactoryRegistry.h"

#include <string>

class SceneNode;

// What a node kind's factory read from one layout element: the kind's own attributes.
class SceneNodeDescriptor
{
public:
    virtual ~SceneNodeDescriptor() = default;
};

// Reads one node kind from XML and makes live nodes of it. Read sees the element's attributes only
// (the layout reader handles children and the common attributes) and answers a new descriptor;
// Create makes a new, unnamed, unattached, unregistered node from a descriptor its own Read made.
class SceneNodeFactory
{
public:
    virtual ~SceneNodeFactory() = default;
    virtual SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) = 0;
    virtual SceneNode* Create(const SceneNodeDescriptor& descriptor) = 0;
};

// The kind's descriptor from a descriptor its own factory read; a default one otherwise.
template <typename Descriptor> const Descriptor& DescriptorAs(const SceneNodeDescriptor& descriptor)
{
    static const Descriptor fallback;
    const auto* d = dynamic_cast<const Descriptor*>(&descriptor);
    return d ? *d : fallback;
}

// The factories by element name (compared exactly). They live until the program ends; the
// loading thread finds them while layouts are read.
using SceneNodeFactoryRegistry = Kestrin::FactoryRegistry<SceneNodeFactory>;
SceneNodeFactoryRegistry& GetSceneNodeFactories();
// Takes ownership; a factory registered before under the name is destroyed.
void RegisterSceneNodeFactory(const std::wstring& elementName, SceneNodeFactory* factory);

// "scenenode": the grouping and placement node. Its size (default 0) serves its children's
// alignment and its own hit test; it draws nothing.
class BasicSceneNodeDescriptor : public SceneNodeDescriptor
{
public:
    float width = 0.0f;
    float height = 0.0f;
};

class BasicSceneNodeFactory : public SceneNodeFactory
{
public:
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};
