#pragma once
#include "Base/AttributeContainer.h"
#include "Base/Geometry.h"
#include "Framework/Names.h"
#include "Framework/Resource.h"
#include "Framework/ResourceManager.h"
#include "Scene/SceneNodeFactory.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace Kestrin
{
class ObjectDatabase;
}

class SceneNode;

// A scene layout that cannot be read; what() is the whole message.
class SceneLayoutException : public std::runtime_error
{
public:
    explicit SceneLayoutException(const std::string& message) : std::runtime_error(message) {}
};

// An XML template of a node tree ("scenelayout" resource), read once and built into independent
// live trees as often as wanted. Immutable once read, so any thread may build from it.
class SceneLayout
{
public:
    // One node of the template: the kind's factory and descriptor, then the common attributes.
    class LayoutDescriptor
    {
    public:
        // Asks the factory to read the kind's attributes, then reads the common ones.
        LayoutDescriptor(SceneNodeFactory& factory, const Kestrin::IAttributeContainer& attributes);
        LayoutDescriptor(const LayoutDescriptor&) = delete;
        LayoutDescriptor& operator=(const LayoutDescriptor&) = delete;

        SceneNodeFactory* factory;
        std::unique_ptr<SceneNodeDescriptor> nodeDescriptor;
        std::vector<std::unique_ptr<LayoutDescriptor>> children;
        int parentHAlign = 0;
        int parentVAlign = 0;
        int selfHAlign = 0;
        int selfVAlign = 0;
        Kestrin::NameId name;
        Kestrin::NameId nodeName;
        float x = 0.0f;
        float y = 0.0f;
        float scaleX = 1.0f;
        float scaleY = 1.0f;
        float orientation = 0.0f; // radians
        bool visible = true;
        Kestrin::ColorF color{1.0f, 1.0f, 1.0f, 1.0f};
        bool hitTest = false;
        uint32_t buttons = 1;
        bool captureOnMouseDown = false;
        int rotateHAlign = 0;
        int rotateVAlign = 0;
        int scaleHAlign = 0;
        int scaleVAlign = 0;
    };

    SceneLayout() = default;
    SceneLayout(const SceneLayout&) = delete;
    SceneLayout& operator=(const SceneLayout&) = delete;

    // Reads the content of a "scenelayout" element: exactly one root node element (text and
    // comments are skipped). reader is positioned on the "scenelayout" start node, and its first
    // Next answers that node. Throws SceneLayoutException.
    void Read(Kestrin::IXMLReader& reader);

    // Null until read.
    const LayoutDescriptor* GetRoot() const { return m_root.get(); }

    // Builds the live subtree of one descriptor under the parent (null: unattached). The nodes are
    // not registered. A root's placement alignments apply only under a parent.
    static SceneNode* BuildNode(SceneNode* parent, const LayoutDescriptor& descriptor);
    // Builds the layout's tree under the parent, registers it in the database (children before
    // parents, the root last) and answers the root; null for a layout never read.
    SceneNode* Instantiate(Kestrin::ObjectDatabase& database, SceneNode* parent) const;

    // Nested deeper than this, a layout is refused: the tree's walks recurse once per level.
    static constexpr int MaxDepth = 1000;
    // A build that has grown deeper than MaxDepth or made more nodes than this takes no more
    // references: they build empty nodes (and say so in the log).
    static constexpr size_t MaxBuiltNodes = 20000;

private:
    std::unique_ptr<LayoutDescriptor> m_root;
};

// Reads "scenelayout" resources. Reading errors keep their text; the log line that reports them
// names the layout and its group file.
class SceneLayoutResourceFactory : public Kestrin::IResourceFactory
{
public:
    Kestrin::IResourceDescriptor* Create(const std::wstring& source, Kestrin::NameId name,
                                         Kestrin::XMLElement& element,
                                         Kestrin::IXMLReader& children) override;
};

// "sceneref": a copy of another layout's tree, which must be loaded before (earlier in the same
// file or in an earlier group). The element's own common attributes replace the copied root's.
class SceneRefDescriptor : public SceneNodeDescriptor
{
public:
    Kestrin::NameId layoutName;
};

class SceneRefFactory : public SceneNodeFactory
{
public:
    // Throws SceneLayoutException when the layout is not loaded.
    SceneNodeDescriptor* Read(const Kestrin::IAttributeContainer& attributes) override;
    // A layout unloaded since gives an empty node and a log line.
    SceneNode* Create(const SceneNodeDescriptor& descriptor) override;
};

// Typed lookups of loaded layouts: the descriptor and the layout, both null when the name is not
// loaded, the layout null when the resource is of another kind.
inline Kestrin::ResourcePair<SceneLayout> GetSceneLayout(const char* name)
{
    return Kestrin::GetResource<SceneLayout>(name);
}
inline Kestrin::ResourcePair<SceneLayout> GetSceneLayout(Kestrin::NameId id)
{
    return Kestrin::GetResource<SceneLayout>(id);
}
inline Kestrin::ResourcePair<SceneLayout> GetSceneLayoutByString(const std::string& name)
{
    return Kestrin::GetResource<SceneLayout>(name);
}

// The mouse-button mask of a "buttons" value: "all", "none", or a comma list of "left", "right"
// and "middle" that always includes left. Blanks are ignored.
uint32_t ParseMouseButtons(const std::wstring& text);
