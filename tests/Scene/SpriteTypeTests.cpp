#include "Scene/SpriteType.h"

#include "Framework/ObjectDatabase.h"
#include "Graphics/AnimationController.h"
#include "Graphics/ImageList.h"
#include "Scene/SceneResourceFactories.h"

#include "SpriteTestSupport.h"
#include "Support/ResourceTestSupport.h"
#include "Support/Thrown.h"
#include "harness/LogCapture.h"

#include <gtest/gtest.h>

#include <string>

using namespace Kestrin;
using KestrinTest::ThrownWhat;

namespace
{

class SpriteTypes : public KestrinTest::ResourceTest
{
protected:
    SpriteTypes()
    {
        RegisterSceneResourceFactories(*manager);
        SpriteTest::RegisterTestImageFactories(*manager);
        SetTopObjectDatabase(&database);
    }
    ~SpriteTypes() override { SetTopObjectDatabase(nullptr); }

    std::string LoadError(const std::wstring& group, const std::string& xml)
    {
        return ThrownWhat<std::exception>([&] { LoadText(group, "<r>" + xml + "</r>"); });
    }
    static SpriteType* Type(const char* name) { return GetSpriteType(name).second; }
    static const SpriteAnimation* Animation(const char* type, const char* animation)
    {
        return Type(type)->FindAnimation(MakeName(animation));
    }

    ObjectDatabase database;
};

const char kOutOfRange[] =
    "\" has a frame out of range (maybe you forgot to set the ImageList for this SpriteType?)";

TEST_F(SpriteTypes, EveryFrameMustLieInsideTheTypesImageList)
{
    struct Case
    {
        const char* images;
        const char* animation;
        bool loads;
    };
    const Case cases[] = {
        {"", R"(frameList="0")", false}, // no list at all
        {R"(images="Three")", R"(frameList="0-2")", true},
        {R"(images="Three")", R"(frameList="2-3")", false},
        {R"(images="Three")", R"(fps="4")", true}, // an empty list is frame 0
        {R"(images="Three")", R"(><frame index="2"/><frame index="-1"/></animation>)", false},
        {R"(images="Three")", R"(><frame index="2"/></animation>)", true},
        {R"(images="Strip")", R"(frameList="3")", true}, // a film strip counts its frames
        {R"(images="Strip")", R"(frameList="4")", false},
        {R"(images="NotAList")", R"(frameList="0")", false},
        {R"(images="Nowhere")", R"(frameList="0")", false},
    };
    LoadText(L"Images", R"(<r><testimages name="Three" count="3"/><teststrip name="Strip" cols="2" rows="2"/>
                           <randomrange name="NotAList"/></r>)");
    int n = 0;
    for (const Case& c : cases)
    {
        const std::string name = "T" + std::to_string(n++);
        const std::string xml = "<spritetype name=\"" + name + "\" " + c.images +
                                "><animation name=\"walk\" " + c.animation +
                                (c.animation[0] == '>' ? "" : "/>") + "</spritetype>";
        const std::string error = LoadError(L"G" + std::to_wstring(n), xml);
        if (c.loads)
        {
            EXPECT_EQ(error, "<no exception>") << xml;
            EXPECT_NE(Type(name.c_str()), nullptr) << xml;
        }
        else
        {
            EXPECT_EQ(error, "Animation \"" + name + ":walk" + kOutOfRange) << xml;
            EXPECT_EQ(Type(name.c_str()), nullptr) << xml;
        }
    }
}

TEST_F(SpriteTypes, AReadingErrorIsLoggedWithTheGroupFile)
{
    KestrinTest::LogCapture log;
    EXPECT_NE(LoadError(L"Creatures",
                        R"(<spritetype name="Trap"><animation name="open" frameList="0"/></spritetype>)"),
              "<no exception>");
    EXPECT_NE(log.Text().find("Sprite type \"Trap\" in Creatures.xml: Animation \"Trap:open\""),
              std::string::npos)
        << log.Text();
}

TEST_F(SpriteTypes, ParseErrorsNameTheTypeOrTheListAndTheAnimation)
{
    LoadText(L"Images", R"(<r><testimages name="Three" count="3"/></r>)");
    EXPECT_EQ(
        LoadError(
            L"A",
            R"(<spritetype name="Tower" images="Three"><animation name="walk" frameList="0-,1"/></spritetype>)"),
        "in SpriteType \"Tower\": in animation \"walk\": illegal token ',' (line 1, pos 3). (Expected an "
        "integer).");
    EXPECT_EQ(
        LoadError(
            L"B",
            R"(<spriteanimationlist name="Lanes"><animation name="walk" frameList="0;1"/></spriteanimationlist>)"),
        "in SpriteAnimationList \"Lanes\": in animation \"walk\": unrecognized token ';' (line 1, pos 2)");
    // An index beyond int is reported like the parser's own errors, not as a bare conversion error.
    EXPECT_EQ(
        LoadError(
            L"C",
            R"(<spritetype name="Urn" images="Three"><animation name="huge" frameList="99999999999"/></spritetype>)"),
        "in SpriteType \"Urn\": in animation \"huge\": a frame index is too large");
}

TEST_F(SpriteTypes, TypesSharingAListGetCopiesCheckedAndLinkedWithinEachType)
{
    LoadText(L"Shared", R"(<r>
        <testimages name="Two" count="2"/><testimages name="One" count="1"/>
        <spriteanimationlist name="Walks">
          <animation name="start" frameList="0" linkedAnimation="loop"/>
          <animation name="loop" frameList="0-1" numPlays="0"/>
          <animation name="start" frameList="1" linkedAnimation="loop"/>
          <other name="ignored"/>
        </spriteanimationlist>
        <spritetype name="A" images="Two" animationList="Walks"/>
        <spritetype name="B" images="Two" animationList="Walks">
          <animation name="loop" frameList="1,0" numPlays="0"/>
          <animation name="stop" frameList="0" linkedAnimation="nowhere"/>
        </spritetype></r>)");

    // The later "start" replaced the earlier one in the list.
    ASSERT_NE(Animation("A", "start"), nullptr);
    EXPECT_EQ(Animation("A", "start")->frames[0].index, 1);
    EXPECT_EQ(Animation("A", "start")->linkedAnimation, Animation("A", "loop"));
    // B's own "loop" replaced the copy; B's link finds B's animation, not A's.
    EXPECT_EQ(Animation("B", "start")->linkedAnimation, Animation("B", "loop"));
    EXPECT_EQ(Animation("B", "loop")->frames[0].index, 1);
    EXPECT_EQ(Animation("A", "loop")->frames[0].index, 0);
    EXPECT_EQ(Animation("B", "stop")->linkedAnimation, nullptr);
    EXPECT_EQ(Type("A")->GetAnimations().size(), 2u);

    // The copies are checked against each type's own list.
    EXPECT_EQ(LoadError(L"Small", R"(<spritetype name="Cage" images="One" animationList="Walks"/>)"),
              std::string("Animation \"Cage:start") + kOutOfRange);
}

TEST_F(SpriteTypes, AnUnknownAnimationListAddsNothing)
{
    LoadText(L"G", R"(<r><testimages name="Two" count="2"/>
                        <spritetype name="A" images="Two" animationList="Nowhere"><animation name="x" frameList="1"/></spritetype>
                        <spritetype name="B" images="Two" animationList="Two"/></r>)");
    EXPECT_EQ(Type("A")->GetAnimations().size(), 1u);
    EXPECT_TRUE(Type("B")->GetAnimations().empty());
    EXPECT_EQ(Type("A")->GetSharedControllerName(), MakeName("ASharedAnimationController"));
    EXPECT_EQ(GetSpriteType(L"a").second, Type("A")); // names ignore case
}

TEST_F(SpriteTypes, ATypeKeepsItsImageListWhenTheListsGroupIsUnloaded)
{
    AddGroup(L"Art", R"(<r><testimages name="Pair" count="2"/></r>)");
    manager->LoadFile(L"Art", nullptr, false);
    LoadText(
        L"Types",
        R"(<r><spritetype name="Kite" images="Pair"><animation name="fly" frameList="1"/></spritetype></r>)");
    manager->UnloadFile(L"Art");
    EXPECT_EQ(GetResource<IImageList>("Pair").second, nullptr);
    ASSERT_NE(Type("Kite")->GetImageList(), nullptr);
    EXPECT_EQ(Type("Kite")->GetImageList()->Count(), 2);
    EXPECT_EQ(Type("Kite")->GetImageList()->GetWidth(1), 5);
}

TEST_F(SpriteTypes, RenamingRemovesTheLiveSharedControllerOfTheOldName)
{
    SpriteType unnamed; // made by code, never named: still one shared controller
    EXPECT_EQ(unnamed.GetSharedAnimationController(), unnamed.GetSharedAnimationController());

    SpriteType type;
    type.SetName(MakeName("Trap"));
    AnimationController* old = type.GetSharedAnimationController();
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->GetName(), MakeName("TrapSharedAnimationController"));
    EXPECT_EQ(type.GetSharedAnimationController(), old); // found, not made again
    const ObjectHandle oldHandle = old->GetHandle();

    type.SetName(MakeName("Gate"));
    EXPECT_FALSE(database.IsValidHandle(oldHandle));
    AnimationController* renamed = type.GetSharedAnimationController();
    ASSERT_NE(renamed, nullptr);
    EXPECT_NE(renamed->GetHandle(), oldHandle);
    EXPECT_EQ(renamed->GetName(), MakeName("GateSharedAnimationController"));
    EXPECT_EQ(database.FindObject(MakeName("GateSharedAnimationController")), renamed);

    // Another database has a controller of its own.
    ObjectDatabase other;
    AnimationController* there = type.GetSharedAnimationController(&other);
    EXPECT_EQ(there->GetDatabase(), &other);
}

} // namespace
