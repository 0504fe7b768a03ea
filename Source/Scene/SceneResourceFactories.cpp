#include "Scene/SceneResourceFactories.h"

#include "Framework/ResourceManager.h"
#include "Framework/ValueResources.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/BackgroundNode.h"
#include "Scene/ButtonNode.h"
#include "Scene/CheckBoxNode.h"
#include "Scene/ListNode.h"
#include "Scene/MeterNodes.h"
#include "Scene/NodeGridNode.h"
#include "Scene/RadioButtonNode.h"
#include "Scene/SceneLayout.h"
#include "Scene/SceneNodeFactory.h"
#include "Scene/ScrollBarNode.h"
#include "Scene/ShapeNodes.h"
#include "Scene/SliderNode.h"
#include "Scene/SpriteType.h"
#include "Scene/StaticSpriteNode.h"
#include "Scene/StyledTextSpriteNode.h"
#include "Scene/TextEditNode.h"
#include "Scene/TextSpriteNode.h"

namespace
{

struct NodeKind
{
    const wchar_t* element;
    SceneNodeFactory* (*make)(); // null while the kind is not built
};

template <typename Factory> SceneNodeFactory* Make()
{
    return new Factory;
}

// The node kinds in the order they register. A kind, once built, fills in its maker here; the
// game's layer nodes ("linelayernode", "sludgelayernode", "ysortlayernode") follow from the game's
// registrar.
constexpr NodeKind kNodeKinds[] = {
    {L"sceneref", &Make<SceneRefFactory>},
    {L"scenenode", &Make<BasicSceneNodeFactory>},
    {L"backgroundnode", &Make<BackgroundNodeFactory>},
    {L"buttonnode", &Make<ButtonNodeFactory>},
    {L"checkboxnode", &Make<CheckBoxNodeFactory>},
    {L"listnode", &Make<ListNodeFactory>},
    {L"radiobuttonnode", &Make<RadioButtonNodeFactory>},
    {L"scrollbarnode", &Make<ScrollBarNodeFactory>},
    {L"slidernode", &Make<SliderNodeFactory>},
    {L"staticspritenode", &Make<StaticSpriteNodeFactory>},
    {L"texteditnode", &Make<TextEditNodeFactory>},
    {L"textspritenode", &Make<TextSpriteNodeFactory>},
    {L"animatedspritenode", &Make<AnimatedSpriteNodeFactory>},
    {L"meterbarnode", &Make<MeterBarNodeFactory>},
    {L"discretemeterbarnode", &Make<DiscreteMeterBarNodeFactory>},
    {L"nodegridnode", &Make<NodeGridNodeFactory>},
    {L"rectnode", &Make<RectNodeFactory>},
    {L"ellipsenode", &Make<EllipseNodeFactory>},
    {L"styledtextspritenode", &Make<StyledTextSpriteNodeFactory>},
    {L"fractiontextmeternode", &Make<FractionTextMeterNodeFactory>},
};

} // namespace

void RegisterSceneNodeFactories()
{
    // Layouts read already point at the factories that read them: a kind registered before keeps
    // its factory.
    SceneNodeFactoryRegistry& factories = GetSceneNodeFactories();
    for (const NodeKind& kind : kNodeKinds)
        if (kind.make && !factories.Find(kind.element))
            RegisterSceneNodeFactory(kind.element, kind.make());
}

std::vector<std::wstring> GetSceneNodeKindOrder()
{
    std::vector<std::wstring> order;
    for (const NodeKind& kind : kNodeKinds)
        order.emplace_back(kind.element);
    return order;
}

void RegisterSceneResourceFactories(Kestrin::ResourceManager& manager)
{
    manager.RegisterFactory(L"spriteanimationlist", new SpriteAnimationListResourceFactory);
    manager.RegisterFactory(L"spritetype", new SpriteTypeResourceFactory);
    manager.RegisterFactory(L"scenelayout", new SceneLayoutResourceFactory);
    // The ranges node tasks draw their values from.
    manager.RegisterFactory(L"randomrange", new Kestrin::RandomRangeResourceFactory);
    RegisterSceneNodeFactories();
}
