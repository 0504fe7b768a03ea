#include "Graphics/SpriteAnimation.h"

#include "Base/Stream.h"
#include "Base/XMLReader.h"

#include <boost/lexical_cast.hpp>
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using Kestrin::MakeName;

namespace
{

std::vector<int> Indices(const std::vector<SpriteAnimationFrame>& frames)
{
    std::vector<int> out;
    for (const SpriteAnimationFrame& f : frames)
        out.push_back(f.index);
    return out;
}

// The detail of the error that parsing the list raises, or "no error".
std::string ParseError(const std::string& text)
{
    try
    {
        ParseFrameList(text);
    }
    catch (const AnimationParseError& e)
    {
        EXPECT_EQ(e.GetDetail(), e.what()) << "no names were added, so the text is the detail alone";
        return e.GetDetail();
    }
    return "no error";
}

// Reads the first "animation" element of a document, as the list readers do.
SpriteAnimation ReadOne(const std::string& xml)
{
    Kestrin::MemoryStream stream(L"test", xml.data(), uint32_t(xml.size()));
    Kestrin::XMLReader reader(&stream);
    while (!reader.IsAtEnd())
    {
        Kestrin::XMLElement* node = reader.Next();
        if (node->IsStart() && node->GetName() == L"animation")
        {
            Kestrin::XMLElementReader element(reader);
            SpriteAnimation record;
            ReadSpriteAnimation(element, *node, record);
            return record;
        }
    }
    ADD_FAILURE() << "no animation element in " << xml;
    return SpriteAnimation();
}

SpriteAnimationMap ReadList(const std::string& xml)
{
    Kestrin::MemoryStream stream(L"test", xml.data(), uint32_t(xml.size()));
    Kestrin::XMLReader reader(&stream);
    reader.Next(); // the list's own element, as a resource factory is handed it
    Kestrin::XMLElementReader children(reader);
    SpriteAnimationMap map;
    ReadSpriteAnimationList(children, map);
    return map;
}

std::string Anim(const std::string& attributes, const std::string& children = "")
{
    return "<animation name=\"walk\" " + attributes + ">" + children + "</animation>";
}

} // namespace

TEST(FrameList, ExpandsItemsAndRangesInOrder)
{
    EXPECT_EQ(Indices(ParseFrameList("0-3,5")), (std::vector<int>{0, 1, 2, 3, 5}));
    EXPECT_EQ(Indices(ParseFrameList("5-3")), (std::vector<int>{5, 4, 3}));
    EXPECT_EQ(Indices(ParseFrameList("5-5")), (std::vector<int>{5}));
    EXPECT_EQ(Indices(ParseFrameList(" 2 , 4")), (std::vector<int>{2, 4}));
    EXPECT_EQ(Indices(ParseFrameList("\t2,\t4\t")), (std::vector<int>{2, 4}));
    EXPECT_EQ(Indices(ParseFrameList("007")), (std::vector<int>{7}));
    EXPECT_EQ(Indices(ParseFrameList("1,\n2-3,1")), (std::vector<int>{1, 2, 3, 1}));
    EXPECT_EQ(Indices(ParseFrameList("0-2,1-0")), (std::vector<int>{0, 1, 2, 1, 0}));
    for (const SpriteAnimationFrame& f : ParseFrameList("0-3,5"))
        EXPECT_EQ(f.duration, 1.0f);
}

TEST(FrameList, EmptyTextHasNoFramesButARecordGetsTheDefaultFrame)
{
    EXPECT_TRUE(ParseFrameList("").empty());
    EXPECT_TRUE(ParseFrameList("  \t\n ").empty());

    SpriteAnimation record;
    record.frames = {{4, 2.0f}, {5, 2.0f}};
    ParseFrameListText("  ", record, 1.0f, true);
    EXPECT_EQ(record.frames, (std::vector<SpriteAnimationFrame>{{0, 1.0f}}));

    SetSpriteAnimationFrames(record, {});
    EXPECT_EQ(record.frames, (std::vector<SpriteAnimationFrame>{{0, 1.0f}}));
    SetSpriteAnimationFrames(record, {{3, 0.5f}});
    EXPECT_EQ(record.frames, (std::vector<SpriteAnimationFrame>{{3, 0.5f}}));
}

TEST(FrameList, GrammarErrorsNameTheTokenWhereItEnds)
{
    EXPECT_EQ(ParseError("1,,2"), "illegal token ',' (line 1, pos 3). (Expected an integer).");
    EXPECT_EQ(ParseError("1,"), "illegal token '<end of list>' (line 1, pos 3). (Expected an integer).");
    EXPECT_EQ(ParseError("1-"), "illegal token '<end of list>' (line 1, pos 3). (Expected an integer).");
    EXPECT_EQ(ParseError("1 2"), "illegal token '2' (line 1, pos 4). (Expected ',').");
    EXPECT_EQ(ParseError("12 345"), "illegal token '345' (line 1, pos 7). (Expected ',').");
    EXPECT_EQ(ParseError("1-2-3"), "illegal token '-' (line 1, pos 4). (Expected ',').");
    EXPECT_EQ(ParseError("-1"), "illegal token '-' (line 1, pos 1). ");
    EXPECT_EQ(ParseError(",1"), "illegal token ',' (line 1, pos 1). ");
    // The end token sits after a final line feed at column 1 of the new line.
    EXPECT_EQ(ParseError("1,\n"), "illegal token '<end of list>' (line 2, pos 1). (Expected an integer).");
}

TEST(FrameList, UnknownBytesAreReportedBeforeAnyGrammarError)
{
    EXPECT_EQ(ParseError("1;2"), "unrecognized token ';' (line 1, pos 2)");
    EXPECT_EQ(ParseError("1,\nx"), "unrecognized token 'x' (line 2, pos 1)");
    EXPECT_EQ(ParseError("1,1\r\n2"), "unrecognized token '\r' (line 1, pos 4)");
    EXPECT_EQ(ParseError("+1"), "unrecognized token '+' (line 1, pos 1)");
    // The grammar fault at ",," comes first in the text but the letter wins.
    EXPECT_EQ(ParseError("1,,2 a"), "unrecognized token 'a' (line 1, pos 6)");
}

TEST(FrameList, RangesCannotExpandBeyondTheFrameLimit)
{
    EXPECT_EQ(ParseError("0-2000000000"), "illegal token '2000000000' (line 1, pos 13). (Range too large).");
    EXPECT_EQ(ParseError("2147483647-0"), "illegal token '0' (line 1, pos 13). (Range too large).");
    // The limit is on the whole list, so many moderate ranges cannot add up to a huge one.
    EXPECT_EQ(ParseError("0-40000,0-40000"), "illegal token '40000' (line 1, pos 16). (Range too large).");

    EXPECT_EQ(ParseFrameList("0-65535").size(), MaxSpriteFrameCount);
    EXPECT_EQ(ParseFrameList("1,1-65535").size(), MaxSpriteFrameCount);
    EXPECT_EQ(ParseError("1,0-65535"), "illegal token '65535' (line 1, pos 10). (Range too large).");
}

TEST(FrameList, AnIndexBeyondIntPassesTheConversionErrorThrough)
{
    EXPECT_THROW(ParseFrameList("1,2147483648"), boost::bad_lexical_cast);
    EXPECT_EQ(Indices(ParseFrameList("2147483647")), (std::vector<int>{INT_MAX}));

    SpriteAnimation record;
    record.name = MakeName("walk");
    EXPECT_THROW(ParseFrameListText("99999999999", record, 1.0f, false), boost::bad_lexical_cast);
}

TEST(FrameList, TokensCarryKindTextAndPosition)
{
    auto tokens = TokenizeFrameList("12-3,\n 4");
    ASSERT_EQ(tokens.size(), 6u);
    const int kinds[] = {FrameListToken::Integer, FrameListToken::Dash,    FrameListToken::Integer,
                         FrameListToken::Comma,   FrameListToken::Integer, FrameListToken::End};
    const char* texts[] = {"12", "-", "3", ",", "4", "<end of list>"};
    const int columns[] = {3, 3, 5, 5, 3, 3};
    const int lines[] = {1, 1, 1, 1, 2, 2};
    for (size_t i = 0; i < tokens.size(); ++i)
    {
        EXPECT_EQ(tokens[i].kind, kinds[i]) << i;
        EXPECT_EQ(tokens[i].text, texts[i]) << i;
        EXPECT_EQ(tokens[i].column, columns[i]) << i;
        EXPECT_EQ(tokens[i].line, lines[i]) << i;
    }
}

TEST(AnimationParseError, ComposesItsTextFromTheNamesItCarries)
{
    AnimationParseError plain("bad");
    EXPECT_STREQ(plain.what(), "bad");

    AnimationParseError named("bad", "walk", "Tic");
    EXPECT_STREQ(named.what(), "in SpriteType \"Tic\": in animation \"walk\": bad");

    AnimationParseError listed("bad", "walk");
    listed.SetAnimationListName("Common");
    EXPECT_STREQ(listed.what(), "in animation \"walk\": bad") << "nothing changes until the text is rebuilt";
    listed.FormatMessage();
    EXPECT_STREQ(listed.what(), "in SpriteAnimationList \"Common\": in animation \"walk\": bad");
    // A sprite type name takes the place of the list name; they never both appear.
    listed.SetSpriteTypeName("Tic");
    listed.FormatMessage();
    EXPECT_STREQ(listed.what(), "in SpriteType \"Tic\": in animation \"walk\": bad");

    AnimationParseError empty("", "", "Tic");
    EXPECT_STREQ(empty.what(), "in SpriteType \"Tic\": (unspecified error)");

    // A copy keeps every field and can be rebuilt on its own.
    AnimationParseError copy = listed;
    copy.SetSpriteTypeName("");
    copy.FormatMessage();
    EXPECT_STREQ(copy.what(), "in SpriteAnimationList \"Common\": in animation \"walk\": bad");
    EXPECT_STREQ(listed.what(), "in SpriteType \"Tic\": in animation \"walk\": bad");

    const std::runtime_error& base = named;
    EXPECT_STREQ(base.what(), named.what());
}

TEST(ReadSpriteAnimation, TimingComesFromDurationOrFps)
{
    auto durations = [](const SpriteAnimation& a)
    {
        std::vector<float> out;
        for (const auto& f : a.frames)
            out.push_back(f.duration);
        return out;
    };
    EXPECT_EQ(durations(ReadOne(Anim("frameList=\"0-3\" duration=\"2\""))), std::vector<float>(4, 0.5f));
    EXPECT_EQ(durations(ReadOne(Anim("frameList=\"0-3\" fps=\"8\""))), std::vector<float>(4, 0.125f));
    EXPECT_EQ(durations(ReadOne(Anim("frameList=\"0-3\""))), std::vector<float>(4, 1.0f));
    EXPECT_EQ(durations(ReadOne(Anim("frameList=\"0-3\" duration=\"0\""))), std::vector<float>(4, 0.25f));
    EXPECT_EQ(durations(ReadOne(Anim("frameList=\"0-3\" fps=\"-4\""))), std::vector<float>(4, 1.0f));
    EXPECT_EQ(durations(ReadOne(Anim("frameList=\"0-3\" fps=\"fast\""))), std::vector<float>(4, 1.0f));
    // "duration" wins over "fps".
    EXPECT_EQ(durations(ReadOne(Anim("frameList=\"0-1\" fps=\"100\" duration=\"3\""))),
              std::vector<float>(2, 1.5f));
    EXPECT_EQ(Indices(ReadOne(Anim("frameList=\"4,0-2\" fps=\"2\"")).frames), (std::vector<int>{4, 0, 1, 2}));
}

TEST(ReadSpriteAnimation, TinyFrameDurationsAreClamped)
{
    EXPECT_EQ(ReadOne(Anim("frameList=\"0-3\" fps=\"1000000000\"")).frames[0].duration,
              MinSpriteFrameDuration);
    EXPECT_EQ(ReadOne(Anim("frameList=\"0\" duration=\"0.000000001\"")).frames[0].duration,
              MinSpriteFrameDuration);
    EXPECT_EQ(ReadOne(Anim("", "<frame index=\"1\" duration=\"0.000000001\"/>")).frames[0].duration,
              MinSpriteFrameDuration);
    // Just above the floor is kept as given.
    EXPECT_EQ(ReadOne(Anim("frameList=\"0\" fps=\"5000\"")).frames[0].duration, 1.0f / 5000.0f);
}

TEST(ReadSpriteAnimation, PlaysFromNumPlaysOrNumLoops)
{
    EXPECT_EQ(ReadOne(Anim("numLoops=\"2\"")).plays, 3);
    EXPECT_EQ(ReadOne(Anim("numLoops=\"-1\"")).plays, 1);
    EXPECT_EQ(ReadOne(Anim("numLoops=\"0\"")).plays, 1);
    EXPECT_EQ(ReadOne(Anim("numPlays=\"0\"")).plays, -1);
    EXPECT_EQ(ReadOne(Anim("numPlays=\"3\" numLoops=\"5\"")).plays, 3);
    EXPECT_EQ(ReadOne(Anim("")).plays, 1);
    EXPECT_EQ(ReadOne(Anim("numPlays=\"often\"")).plays, -1);
    EXPECT_EQ(ReadOne(Anim("numPlays=\"-4\"")).plays, -4);
    EXPECT_EQ(ReadOne(Anim("numLoops=\"often\"")).plays, 1);
    // The reader saturates a huge count; one more play must not overflow.
    EXPECT_EQ(ReadOne(Anim("numLoops=\"99999999999\"")).plays, INT_MAX);
}

TEST(ReadSpriteAnimation, NamesPingPongAndLinks)
{
    SpriteAnimation a = ReadOne("<animation name=\"Walk\" linkedAnimation=\"idle\" pingPong=\"true\"/>");
    EXPECT_EQ(a.name, MakeName("walk"));
    EXPECT_EQ(a.linkedName, MakeName("IDLE"));
    EXPECT_TRUE(a.pingPong);
    EXPECT_EQ(a.linkedAnimation, nullptr);

    SpriteAnimation b = ReadOne("<animation pingPong=\"yes\"/>");
    EXPECT_FALSE(b.pingPong);
    // Missing names are the empty name, which is not the null name.
    EXPECT_FALSE(b.name.IsNull());
    EXPECT_EQ(b.name, MakeName(""));
    EXPECT_EQ(b.linkedName, MakeName(""));
    EXPECT_EQ(b.frames, (std::vector<SpriteAnimationFrame>{{0, 1.0f}}));

    // Attribute names are case-sensitive.
    SpriteAnimation c = ReadOne("<animation Name=\"x\" NUMPLAYS=\"4\" FrameList=\"3\" PingPong=\"true\"/>");
    EXPECT_EQ(c.name, MakeName(""));
    EXPECT_EQ(c.plays, 1);
    EXPECT_FALSE(c.pingPong);
    EXPECT_EQ(Indices(c.frames), (std::vector<int>{0}));
}

TEST(ReadSpriteAnimation, FrameElementsAtAnyDepthWhenNoListOrTiming)
{
    SpriteAnimation a = ReadOne(Anim("", "<frame index=\"3\" duration=\"0.25\"/>"
                                         "<group><frame index=\"7\"/><other index=\"9\"/></group>"
                                         "<frame duration=\"0\"/><frame index=\"2\" duration=\"-1\"/>"));
    EXPECT_EQ(a.frames, (std::vector<SpriteAnimationFrame>{{3, 0.25f}, {7, 1.0f}, {0, 1.0f}, {2, 1.0f}}));

    // Timing without a list ignores the children and keeps the default frame, timed.
    SpriteAnimation b = ReadOne(Anim("fps=\"4\"", "<frame index=\"3\"/><frame index=\"4\"/>"));
    EXPECT_EQ(b.frames, (std::vector<SpriteAnimationFrame>{{0, 0.25f}}));
    SpriteAnimation c = ReadOne(Anim("frameList=\"5\"", "<frame index=\"3\"/>"));
    EXPECT_EQ(c.frames, (std::vector<SpriteAnimationFrame>{{5, 1.0f}}));

    SpriteAnimation d = ReadOne(Anim("", "<nothing/>"));
    EXPECT_EQ(d.frames, (std::vector<SpriteAnimationFrame>{{0, 1.0f}}));
}

TEST(ReadSpriteAnimation, ErrorsNameTheAnimationAndOuterReadersAddTheirOwn)
{
    try
    {
        ReadOne(Anim("frameList=\"1,&#10;x\""));
        FAIL() << "no error";
    }
    catch (AnimationParseError& e)
    {
        EXPECT_STREQ(e.what(), "in animation \"walk\": unrecognized token 'x' (line 2, pos 1)");
        EXPECT_EQ(e.GetAnimationName(), "walk");
        // What a sprite type's reader does before throwing it on.
        e.SetSpriteTypeName("Tic");
        e.FormatMessage();
        EXPECT_STREQ(e.what(),
                     "in SpriteType \"Tic\": in animation \"walk\": unrecognized token 'x' (line 2, pos 1)");
    }

    // A line break written into the attribute becomes a blank, an escaped CR stays a CR.
    EXPECT_EQ(Indices(ReadOne(Anim("frameList=\"1,\n2\"")).frames), (std::vector<int>{1, 2}));
    try
    {
        ReadOne(Anim("frameList=\"1,&#13;&#10;2\""));
        FAIL() << "no error";
    }
    catch (const AnimationParseError& e)
    {
        EXPECT_STREQ(e.what(), "in animation \"walk\": unrecognized token '\r' (line 1, pos 3)");
    }

    try
    {
        ReadOne(Anim("frameList=\"1 2\""));
        FAIL() << "no error";
    }
    catch (const AnimationParseError& e)
    {
        EXPECT_STREQ(e.what(), "in animation \"walk\": illegal token '2' (line 1, pos 4). (Expected ',').");
    }
}

TEST(ReadSpriteAnimationList, KeepsTheLastOfEachNameAndOnlyTopLevelAnimations)
{
    SpriteAnimationMap map = ReadList("<spritetype name=\"Tic\">"
                                      "<animation name=\"walk\" frameList=\"1-2\"/>"
                                      "<note/>"
                                      "<animation name=\"idle\" frameList=\"0\">"
                                      "<animation name=\"inner\" frameList=\"9\"/>"
                                      "</animation>"
                                      "<animation name=\"WALK\" frameList=\"3\"/>"
                                      "<animation name=\"framed\"><frame index=\"6\"/></animation>"
                                      "</spritetype>");
    ASSERT_EQ(map.size(), 3u);
    EXPECT_EQ(Indices(map.at(MakeName("walk")).frames), (std::vector<int>{3}));
    EXPECT_EQ(Indices(map.at(MakeName("idle")).frames), (std::vector<int>{0}));
    EXPECT_EQ(Indices(map.at(MakeName("framed")).frames), (std::vector<int>{6}));
    EXPECT_EQ(map.count(MakeName("inner")), 0u);
}

TEST(ReadSpriteAnimationList, LinksResolveWithinTheSet)
{
    SpriteAnimationMap map = ReadList("<spriteanimationlist name=\"Common\">"
                                      "<animation name=\"jump\" linkedAnimation=\"Land\"/>"
                                      "<animation name=\"land\" linkedAnimation=\"idle\"/>"
                                      "<animation name=\"idle\"/>"
                                      "<animation name=\"spin\" linkedAnimation=\"nowhere\"/>"
                                      "</spriteanimationlist>");
    for (const auto& [name, record] : map)
        EXPECT_EQ(record.linkedAnimation, nullptr) << "the reader sets no links";
    ResolveSpriteAnimationLinks(map);
    EXPECT_EQ(map.at(MakeName("jump")).linkedAnimation, &map.at(MakeName("land")));
    EXPECT_EQ(map.at(MakeName("land")).linkedAnimation, &map.at(MakeName("idle")));
    EXPECT_EQ(map.at(MakeName("spin")).linkedAnimation, nullptr);

    // An empty linked name finds none, not even an animation that has no name.
    SpriteAnimationMap unnamed;
    unnamed[MakeName("")] = SpriteAnimation(1, false, MakeName(""), MakeName(""));
    ResolveSpriteAnimationLinks(unnamed);
    EXPECT_EQ(unnamed.at(MakeName("")).linkedAnimation, nullptr);
}

TEST(ReadSpriteAnimationList, AnErrorPassesOutWithTheAnimationName)
{
    try
    {
        ReadList(
            "<spritetype><animation name=\"ok\"/><animation name=\"bad\" frameList=\"1;\"/></spritetype>");
        FAIL() << "no error";
    }
    catch (const AnimationParseError& e)
    {
        EXPECT_EQ(e.GetAnimationName(), "bad");
        EXPECT_EQ(e.GetDetail(), "unrecognized token ';' (line 1, pos 2)");
    }
}

TEST(SpriteAnimation, DefaultRecordPlaysOnceOnTheDefaultFrame)
{
    SpriteAnimationMap map;
    const SpriteAnimation& fresh = map[MakeName("missing")];
    EXPECT_EQ(fresh.plays, 1);
    EXPECT_FALSE(fresh.pingPong);
    EXPECT_TRUE(fresh.name.IsNull());
    EXPECT_TRUE(fresh.linkedName.IsNull());
    EXPECT_EQ(fresh.frames, (std::vector<SpriteAnimationFrame>{{0, 1.0f}}));

    SpriteAnimation given(-1, true, MakeName("a"), MakeName("b"));
    EXPECT_EQ(given.plays, -1);
    EXPECT_TRUE(given.pingPong);
    EXPECT_EQ(given.linkedName, MakeName("b"));
    EXPECT_EQ(given.frames.size(), 1u);
}
