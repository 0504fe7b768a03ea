#include "Scene/SceneLayout.h"

#include "Base/Log.h"
#include "Base/Strings.h"
#include "Base/Text.h"
#include "Base/XMLReader.h"
#include "Framework/ObjectDatabase.h"
#include "Scene/SceneNode.h"
#include "UI/UINames.h"

#include <cmath>

using namespace Kestrin;

namespace
{

int HorizontalWord(const IAttributeContainer& attributes, std::wstring_view name)
{
    return WordIndex(attributes.GetString(name), HorizontalAlignWords);
}

int VerticalWord(const IAttributeContainer& attributes, std::wstring_view name)
{
    return WordIndex(attributes.GetString(name), VerticalAlignWords);
}

NameId NameAttribute(const IAttributeContainer& attributes, std::wstring_view name)
{
    return attributes.HasAttribute(name) ? MakeNameFromWString(attributes.GetString(name)) : NameId();
}

std::unique_ptr<SceneLayout::LayoutDescriptor> ReadNode(IXMLReader& reader, int depth)
{
    XMLElement* element = reader.GetCurrent();
    if (depth > SceneLayout::MaxDepth)
        throw SceneLayoutException("scene nodes are nested more than " +
                                   std::to_string(SceneLayout::MaxDepth) + " levels deep");
    SceneNodeFactory* factory = GetSceneNodeFactories().Find(element->GetName());
    if (!factory)
        throw SceneLayoutException("unrecognized node type: \"" + NarrowString(element->GetName()) + "\"");
    auto descriptor = std::make_unique<SceneLayout::LayoutDescriptor>(*factory, *element);

    XMLElementReader children(reader);
    children.Next(); // the element itself
    while (!children.IsAtEnd())
    {
        XMLElement* node = children.Next();
        if (!node)
            break;
        if (node->IsStart())
            descriptor->children.push_back(ReadNode(children, depth + 1));
    }
    return descriptor;
}

// Deletes the nodes built under a node whose building failed; none of them is registered.
void DeleteBuiltChildren(SceneNode* node)
{
    SceneNode* child = node->GetFirstChild();
    while (child)
    {
        SceneNode* next = child->GetNextSibling();
        DeleteBuiltChildren(child);
        delete child;
        child = next;
    }
}

// The build under way on this thread: its levels and the nodes it made. References stop adding
// to a build that has grown too deep or too large (references in a circle, through a layout
// replaced since it was read, or fanning out level after level).
thread_local int g_buildDepth = 0;
thread_local size_t g_builtNodes = 0;

struct BuildLevel
{
    BuildLevel()
    {
        if (g_buildDepth++ == 0)
            g_builtNodes = 0;
        ++g_builtNodes;
    }
    ~BuildLevel() { --g_buildDepth; }
    BuildLevel(const BuildLevel&) = delete;
    BuildLevel& operator=(const BuildLevel&) = delete;
};

} // namespace

uint32_t ParseMouseButtons(const std::wstring& text)
{
    const std::wstring words = StripWhitespace(text);
    if (words == L"all")
        return SceneNode::Button_All;
    if (words == L"none")
        return 0;
    // The list always holds the left button.
    uint32_t mask = SceneNode::Button_Left;
    size_t start = 0;
    while (start <= words.size())
    {
        size_t end = words.find(L',', start);
        if (end == std::wstring::npos)
            end = words.size();
        const std::wstring_view word(words.data() + start, end - start);
        if (word == L"left")
            mask |= SceneNode::Button_Left;
        else if (word == L"right")
            mask |= SceneNode::Button_Right;
        else if (word == L"middle")
            mask |= SceneNode::Button_Middle;
        start = end + 1;
    }
    return mask;
}

SceneLayout::LayoutDescriptor::LayoutDescriptor(SceneNodeFactory& factory_,
                                                const IAttributeContainer& attributes)
    : factory(&factory_), nodeDescriptor(factory_.Read(attributes))
{
    if (!nodeDescriptor)
        nodeDescriptor = std::make_unique<SceneNodeDescriptor>();

    if (attributes.GetBool(L"centerOnParent", false))
    {
        parentHAlign = selfHAlign = parentVAlign = selfVAlign = SceneNode::Align_Center;
    }
    else
    {
        if (attributes.GetBool(L"centerHOnParent", false))
        {
            parentHAlign = selfHAlign = SceneNode::Align_Center;
        }
        else
        {
            parentHAlign = HorizontalWord(attributes, L"parentHAlign");
            selfHAlign = HorizontalWord(attributes, L"selfHAlign");
        }
        if (attributes.GetBool(L"centerVOnParent", false))
        {
            parentVAlign = selfVAlign = SceneNode::Align_Center;
        }
        else
        {
            parentVAlign = VerticalWord(attributes, L"parentVAlign");
            selfVAlign = VerticalWord(attributes, L"selfVAlign");
        }
    }
    nodeName = NameAttribute(attributes, L"nodeName");
    name = NameAttribute(attributes, L"name");
    x = attributes.GetFloat(L"x", 0.0f);
    y = attributes.GetFloat(L"y", 0.0f);
    scaleX = attributes.GetFloat(L"scaleX", 1.0f);
    scaleY = attributes.GetFloat(L"scaleY", 1.0f);
    const float pi = std::acos(-1.0f);
    orientation = attributes.GetFloat(L"orientation", 0.0f) * pi / 180.0f;
    visible = attributes.GetBool(L"visible", true);
    if (attributes.HasAttribute(L"color"))
        color = ParseColorF(attributes.GetString(L"color"), ColorF::Black());
    else
        color = ColorF(1.0f, 1.0f, 1.0f, attributes.GetFloat(L"alpha", 1.0f));
    hitTest = attributes.GetBool(L"hitTest", false);
    buttons = attributes.HasAttribute(L"buttons") ? ParseMouseButtons(attributes.GetString(L"buttons"))
                                                  : uint32_t(SceneNode::Button_Left);
    captureOnMouseDown = attributes.GetBool(L"captureOnMouseDown", false);
    rotateHAlign = HorizontalWord(attributes, L"rotateHAlign");
    rotateVAlign = VerticalWord(attributes, L"rotateVAlign");
    scaleHAlign = HorizontalWord(attributes, L"scaleHAlign");
    scaleVAlign = VerticalWord(attributes, L"scaleVAlign");
}

void SceneLayout::Read(IXMLReader& reader)
{
    reader.Next(); // the "scenelayout" element itself
    while (!reader.IsAtEnd())
    {
        XMLElement* node = reader.Next();
        if (!node)
            break;
        if (!node->IsStart())
            continue;
        if (m_root)
            throw SceneLayoutException("scene has more than one root node");
        m_root = ReadNode(reader, 1);
    }
    if (!m_root)
        throw SceneLayoutException("scene has no root node");
}

SceneNode* SceneLayout::BuildNode(SceneNode* parent, const LayoutDescriptor& d)
{
    BuildLevel level;
    SceneNode* made = d.factory ? d.factory->Create(*d.nodeDescriptor) : nullptr;
    std::unique_ptr<SceneNode> node(made ? made : new SceneNode);
    node->SetName(d.name);
    node->SetNodeName(d.nodeName);
    node->SetPosition(d.x, d.y);
    node->SetScale(d.scaleX, d.scaleY);
    node->SetOrientation(d.orientation);
    node->SetVisible(d.visible);
    node->SetColor(d.color);
    node->SetHitTest(d.hitTest);
    node->SetButtons(d.buttons);
    node->SetCaptureOnMouseDown(d.captureOnMouseDown);
    node->SetRotateAlignment(d.rotateHAlign, d.rotateVAlign);
    node->SetScaleAlignment(d.scaleHAlign, d.scaleVAlign);
    if (parent)
    {
        // The node name is set, so the node enters the parent's name map.
        node->SetParent(parent);
        node->SetParentAlignment(d.parentHAlign, d.parentVAlign);
        node->SetSelfAlignment(d.selfHAlign, d.selfVAlign);
    }
    try
    {
        for (const auto& child : d.children)
            BuildNode(node.get(), *child);
    }
    catch (...)
    {
        // A kind's factory failed: nothing built here outlives the error.
        DeleteBuiltChildren(node.get());
        if (parent)
            parent->RemoveChild(node.get());
        throw;
    }
    return node.release();
}

SceneNode* SceneLayout::Instantiate(ObjectDatabase& database, SceneNode* parent) const
{
    if (!m_root)
        return nullptr;
    SceneNode* root = BuildNode(parent, *m_root);
    root->RegisterTree(database);
    return root;
}

IResourceDescriptor* SceneLayoutResourceFactory::Create(const std::wstring& source, NameId name,
                                                        XMLElement& element, IXMLReader& children)
{
    auto wrapper = std::make_unique<ResourceWrapper<SceneLayout>>(source, name, element);
    try
    {
        wrapper->Read(children);
    }
    catch (const std::exception& e)
    {
        LogPrintf("Scene layout \"%s\" in %s.xml: %s\n", name ? name.c_str() : "", ToUtf8(source).c_str(),
                  e.what());
        throw;
    }
    return wrapper.release();
}

SceneNodeDescriptor* SceneRefFactory::Read(const IAttributeContainer& attributes)
{
    const std::string layoutName = NarrowString(attributes.GetString(L"scenename"));
    if (!GetSceneLayoutByString(layoutName).second)
        throw SceneLayoutException("sceneref: layout \"" + layoutName + "\" not found");
    auto* descriptor = new SceneRefDescriptor;
    descriptor->layoutName = MakeName(layoutName);
    return descriptor;
}

SceneNode* SceneRefFactory::Create(const SceneNodeDescriptor& descriptor)
{
    const auto* reference = dynamic_cast<const SceneRefDescriptor*>(&descriptor);
    const NameId layoutName = reference ? reference->layoutName : NameId();
    // Held for the build: the loading thread may unload the group meanwhile.
    std::shared_ptr<IResourceDescriptor> resource =
        layoutName ? ResourceManager::Instance()->FindShared(layoutName) : nullptr;
    const auto* layout = dynamic_cast<const SceneLayout*>(resource.get());
    const char* text = layoutName ? layoutName.c_str() : "";
    if (!layout || !layout->GetRoot())
    {
        LogPrintf("sceneref: layout \"%s\" not found\n", text);
        return new SceneNode;
    }
    if (g_buildDepth > SceneLayout::MaxDepth || g_builtNodes > SceneLayout::MaxBuiltNodes)
    {
        LogPrintf("sceneref: layout \"%s\" left out: the scene would grow too deep or too large\n", text);
        return new SceneNode;
    }
    return SceneLayout::BuildNode(nullptr, *layout->GetRoot());
}
