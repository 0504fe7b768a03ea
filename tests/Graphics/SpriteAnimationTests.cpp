#include "Graphics/SpriteAnimation.h"

#include "Base/Stream.h"
#include "Base/XMLReader.h"

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using Kestrin::MakeName;
using Frames = std::vector<SpriteAnimationFrame>;

namespace
{

std::vector<int> Indices(const Frames& frames)
{
    std::vector<int> out;
    for (const SpriteAnimationFrame& f : frames)
        out.push_back(f.index);
    return out;
}

// The text of the error that reading raises, or "no error".
template <typename Read> std::string ErrorOf(Read read)
{
    try
    {
        read();
    }
    catch (const AnimationParseError& e)
    {
        return e.what();
    }
    return "no error";
}

// The "animation" elements of a document read as a list's factory reads them, links resolved.
SpriteAnimationMap ReadList(const std::string& xml)
{
    Kestrin::MemoryStream stream(L"test", xml.data(), uint32_t(xml.size()));
    Kestrin::XMLReader reader(&stream);
    reader.Next(); // the list's own element, as a factory is handed it
    Kestrin::XMLElementReader children(reader);
    SpriteAnimationMap map;
    ReadSpriteAnimationList(children, map);
    ResolveSpriteAnimationLinks(map);
    return map;
}

SpriteAnimation ReadOne(const std::string& attributes, const std::string& children = "")
{
    auto map =
        ReadList("<list><animation name=\"walk\" " + attributes + ">" + children + "</animation></list>");
    EXPECT_EQ(map.size(), 1u);
    return map.empty() ? SpriteAnimation() : map.begin()->second;
}

} // namespace

TEST(FrameList, ExpandsItemsAndRangesInOrder)
{
    const std::pair<const char*, std::vector<int>> cases[] = {
        {"0-3,5", {0, 1, 2, 3, 5}},
        {"5-3", {5, 4, 3}},
        {"5-5", {5}},
        {" 2 , 4", {2, 4}},
        {"\t2,\t4\t", {2, 4}},
        {"007", {7}},
        {"1,\n2-3,1", {1, 2, 3, 1}},
        {"", {}},
        {"  \n ", {}},
        {"2147483647", {INT_MAX}},
    };
    for (const auto& [text, indices] : cases)
        EXPECT_EQ(Indices(ParseFrameList(text)), indices) << text;
    EXPECT_EQ(ParseFrameList("0-1"), (Frames{{0, 1.0f}, {1, 1.0f}}));
    EXPECT_THROW(ParseFrameList("1,2147483648"), boost::bad_lexical_cast);
}

TEST(FrameList, ErrorsNameTheTokenAndWhereItEnds)
{
    const std::pair<const char*, const char*> cases[] = {
        {"1,,2", "illegal token ',' (line 1, pos 3). (Expected an integer)."},
        {"1,", "illegal token '<end of list>' (line 1, pos 3). (Expected an integer)."},
        {"1-", "illegal token '<end of list>' (line 1, pos 3). (Expected an integer)."},
        {"1,\n", "illegal token '<end of list>' (line 2, pos 1). (Expected an integer)."},
        {"1 2", "illegal token '2' (line 1, pos 4). (Expected ',')."},
        {"12 345", "illegal token '345' (line 1, pos 7). (Expected ',')."},
        {"1-2-3", "illegal token '-' (line 1, pos 4). (Expected ',')."},
        {"-1", "illegal token '-' (line 1, pos 1). "},
        {"1;2", "unrecognized token ';' (line 1, pos 2)"},
        {"1,\nx", "unrecognized token 'x' (line 2, pos 1)"},
        {"1,1\r\n2", "unrecognized token '\r' (line 1, pos 4)"},
        {"1,,2 a", "unrecognized token 'a' (line 1, pos 6)"}, // the whole text is tokenized first
        // Ranges may not grow the list beyond its limit, however they add up.
        {"0-2000000000", "illegal token '2000000000' (line 1, pos 13). (Range too large)."},
        {"2147483647-0", "illegal token '0' (line 1, pos 13). (Range too large)."},
        {"1,0-65535", "illegal token '65535' (line 1, pos 10). (Range too large)."},
    };
    for (const auto& [text, detail] : cases)
        EXPECT_EQ(ErrorOf([&] { ParseFrameList(text); }), detail) << text;
    EXPECT_EQ(ParseFrameList("1,1-65535").size(), MaxSpriteFrameCount);
}

TEST(AnimationParseError, ComposesItsTextFromTheNamesItCarries)
{
    AnimationParseError e("bad", "walk");
    EXPECT_STREQ(e.what(), "in animation \"walk\": bad");
    e.SetAnimationListName("Common");
    e.FormatMessage();
    EXPECT_STREQ(e.what(), "in SpriteAnimationList \"Common\": in animation \"walk\": bad");
    AnimationParseError copy = e;
    e.SetSpriteTypeName("Tic"); // takes the list name's place
    e.FormatMessage();
    EXPECT_STREQ(e.what(), "in SpriteType \"Tic\": in animation \"walk\": bad");
    EXPECT_STREQ(copy.what(), "in SpriteAnimationList \"Common\": in animation \"walk\": bad");
    EXPECT_STREQ(AnimationParseError("", "", "Tic").what(), "in SpriteType \"Tic\": (unspecified error)");
}

TEST(ReadSpriteAnimation, TimingFromDurationOrFps)
{
    const std::pair<const char*, float> cases[] = {
        {"frameList=\"0-3\" duration=\"2\"", 0.5f},
        {"frameList=\"0-3\" fps=\"8\"", 0.125f},
        {"frameList=\"0-3\"", 1.0f},
        {"frameList=\"0-3\" duration=\"0\"", 0.25f},
        {"frameList=\"0-3\" fps=\"-4\"", 1.0f},
        {"frameList=\"0-3\" fps=\"8\" duration=\"2\"", 0.5f},
        {"frameList=\"0-3\" fps=\"1000000000\"", 1e-4f},
        {"frameList=\"0-3\" duration=\"0.000000001\"", 1e-4f},
    };
    for (const auto& [attributes, d] : cases)
        EXPECT_EQ(ReadOne(attributes).frames, (Frames{{0, d}, {1, d}, {2, d}, {3, d}})) << attributes;
    // Timing without a list keeps the default frame and ignores child frames.
    EXPECT_EQ(ReadOne("fps=\"4\"", "<frame index=\"3\"/>").frames, (Frames{{0, 0.25f}}));
    EXPECT_EQ(ReadOne("frameList=\"  \" duration=\"3\"").frames, (Frames{{0, 3.0f}}));
}

TEST(ReadSpriteAnimation, ChildFramesAtAnyDepth)
{
    EXPECT_EQ(ReadOne("", "<frame index=\"3\" duration=\"0.25\"/><g><frame index=\"7\"/><x index=\"9\"/></g>"
                          "<frame duration=\"0\"/><frame index=\"2\" duration=\"0.000000001\"/>")
                  .frames,
              (Frames{{3, 0.25f}, {7, 1.0f}, {0, 1.0f}, {2, MinSpriteFrameDuration}}));
    EXPECT_EQ(ReadOne("", "<other/>").frames, (Frames{{0, 1.0f}}));
}

TEST(ReadSpriteAnimation, PlaysNamesAndPingPong)
{
    const std::pair<const char*, int> plays[] = {
        {"numLoops=\"2\"", 3},
        {"numLoops=\"-1\"", 1},
        {"numPlays=\"0\"", -1},
        {"", 1},
        {"numPlays=\"3\" numLoops=\"5\"", 3},
        {"numPlays=\"often\"", -1},
        {"numPlays=\"-4\"", -4},
        {"NUMPLAYS=\"4\"", 1},
        {"numLoops=\"99999999999\"", INT_MAX},
    };
    for (const auto& [attributes, expected] : plays)
        EXPECT_EQ(ReadOne(attributes).plays, expected) << attributes;

    EXPECT_TRUE(ReadOne("pingPong=\"true\"").pingPong);
    EXPECT_FALSE(ReadOne("pingPong=\"yes\"").pingPong);
    auto map =
        ReadList("<list><animation/><animation name=\"Jump\" linkedAnimation=\"LAND\"/>"
                 "<animation name=\"land\" frameList=\"1\"><animation name=\"inner\"/></animation>"
                 "<animation name=\"spin\" linkedAnimation=\"nowhere\"/><animation name=\"LAND\"/></list>");
    ASSERT_EQ(map.size(), 4u) << "nested animations are not read; a later name replaces an earlier one";
    const SpriteAnimation& unnamed = map.at(MakeName(""));
    EXPECT_EQ(unnamed.linkedAnimation, nullptr) << "an empty link finds none, not even the unnamed one";
    EXPECT_EQ(map.at(MakeName("jump")).linkedAnimation, &map.at(MakeName("land")));
    EXPECT_EQ(map.at(MakeName("land")).frames, (Frames{{0, 1.0f}}));
    EXPECT_EQ(map.at(MakeName("spin")).linkedAnimation, nullptr);
}

TEST(ReadSpriteAnimation, ErrorsCarryTheAnimationName)
{
    EXPECT_EQ(ErrorOf([] { ReadOne("frameList=\"1,&#10;x\""); }),
              "in animation \"walk\": unrecognized token 'x' (line 2, pos 1)");
    // A line break written into the attribute is a blank; an escaped CR stays a CR.
    EXPECT_EQ(Indices(ReadOne("frameList=\"1,\n2\"").frames), (std::vector<int>{1, 2}));
    EXPECT_EQ(ErrorOf([] { ReadOne("frameList=\"1,&#13;&#10;2\""); }),
              "in animation \"walk\": unrecognized token '\r' (line 1, pos 3)");
    // The thrown error keeps its parts, so a sprite type's reader can name itself before throwing it on.
    try
    {
        ReadOne("frameList=\"1 2\"");
        FAIL();
    }
    catch (AnimationParseError& e)
    {
        e.SetSpriteTypeName("Tic");
        e.FormatMessage();
        EXPECT_STREQ(e.what(),
                     "in SpriteType \"Tic\": in animation \"walk\": illegal token '2' (line 1, pos 4). "
                     "(Expected ',').");
    }
}
