#include "Game/CreatureSettings.h"

#include "GameStubs/CreatureRecords.h"
#include "GameTestSupport.h"

#include <map>
#include <string>

using namespace GameTest;

namespace
{
// One "TypeSettings" element: float attribute i is i + 1.5; changes replace or add attributes,
// and an empty value leaves the attribute out.
std::string Record(const std::string& sprite, std::map<std::string, std::string> changes = {})
{
    std::map<std::string, std::string> attributes = {
        {"sprite", sprite}, {"color", "Blue"}, {"behavior", "Shy"}};
    float value = 1.5f;
    for (const char* name : CreatureFloatAttributes)
    {
        attributes[name] = std::to_string(value);
        value += 1.0f;
    }
    for (const auto& [name, text] : changes)
        attributes[name] = text;
    std::string xml = "  <TypeSettings";
    for (const auto& [name, text] : attributes)
        if (!text.empty())
            xml += " " + name + "=\"" + text + "\"";
    return xml + "/>\n";
}

std::string File(const std::string& records)
{
    return "<CreatureSettings>\n" + records + "</CreatureSettings>\n";
}

class CreatureSettingsFile : public GameDataTest
{
protected:
    CreatureSettingsMap settings;
};
} // namespace

TEST_F(CreatureSettingsFile, EveryAttributeLandsInItsOwnField)
{
    AddData(L"CreatureSettings", File(Record("Sprite_Shy")));
    ASSERT_TRUE(LoadCreatureSettings(settings));
    ASSERT_EQ(settings.count(CreatureSpriteId::Shy), 1u);
    const TypeSettings& s = settings[CreatureSpriteId::Shy];
    EXPECT_EQ(s.sprite, CreatureSpriteId::Shy);
    EXPECT_EQ(s.color, GremlinColorType::Blue);
    EXPECT_EQ(s.behavior, GremlinKind::Shy);
    const float fields[] = {s.maxMoveSpeed,
                            s.angryTime,
                            s.param1,
                            s.param2,
                            s.param3,
                            s.param4,
                            s.explode0Min,
                            s.explode0Max,
                            s.explode1Min,
                            s.explode1Max,
                            s.explode2Min,
                            s.explode2Max,
                            s.explodeEndMin,
                            s.explodeEndMax,
                            s.energyMin,
                            s.energyMax,
                            s.chanceForPause,
                            s.pauseLengthMin,
                            s.pauseLengthMax,
                            s.randomWalkSpeedMin,
                            s.randomWalkSpeedMax,
                            s.randomWalkLengthMin,
                            s.randomWalkLengthMax};
    for (size_t i = 0; i < std::size(fields); ++i)
        EXPECT_FLOAT_EQ(fields[i], float(i) + 1.5f) << CreatureFloatAttributes[i];
    // Angle variations are given in units of 15 degrees.
    EXPECT_FLOAT_EQ(s.randomWalkAngleVarMin, 24.5f * 0.2617994f);
    EXPECT_FLOAT_EQ(s.randomWalkAngleVarMax, 25.5f * 0.2617994f);
    // Optional whole numbers keep their defaults.
    EXPECT_EQ(s.maxHealth, 10);
    EXPECT_EQ(s.explodeRadius, 100);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(CreatureSettingsFile, OptionalValuesAndLaterRecordsReplace)
{
    AddData(L"CreatureSettings", File(Record("Sprite_Shy", {{"maxHealth", "3"}}) +
                                      Record("Sprite_Bomb", {{"maxHealth", "25"},
                                                             {"explodeRadius", "140"},
                                                             {"randomWalkAngleVarMin", "-2"},
                                                             {"randomWalkAngleVarMax", "2"}}) +
                                      Record("Sprite_Shy", {{"color", "Any"}})));
    ASSERT_TRUE(LoadCreatureSettings(settings));
    ASSERT_EQ(settings.size(), 2u);
    EXPECT_EQ(settings[CreatureSpriteId::Shy].color, GremlinColorType::Any);
    EXPECT_EQ(settings[CreatureSpriteId::Shy].maxHealth, 10); // the second record gave none
    EXPECT_EQ(settings[CreatureSpriteId::Bomb].maxHealth, 25);
    EXPECT_EQ(settings[CreatureSpriteId::Bomb].explodeRadius, 140);
    EXPECT_FLOAT_EQ(settings[CreatureSpriteId::Bomb].randomWalkAngleVarMax, 0.5235988f);
}

TEST_F(CreatureSettingsFile, ABrokenRecordKeepsTheOnesBeforeItAndIsReported)
{
    struct Case
    {
        std::map<std::string, std::string> change;
        std::string reason;
    };
    const Case cases[] = {
        {{{"color", "red"}}, "(line 4): \"red\" is an invalid value for attribute \"color\""},
        // The first attribute that fails, in reading order, is the one named.
        {{{"param1", ""}, {"energyMin", ""}},
         "(line 4): couldn't read required attribute \"param1\" (attribute does not exist)"},
        {{{"explodeRadius", "1.5"}},
         "(line 4): couldn't convert attribute \"explodeRadius\" to the correct type (int)"},
        {{{"sprite", "Sprite_None"}},
         "(line 4): \"Sprite_None\" is an invalid value for attribute \"sprite\""},
    };
    for (const Case& c : cases)
    {
        settings.clear();
        boxes.clear();
        AddData(L"CreatureSettings", File(Record("Sprite_BasicRed") + Record("Sprite_Loner") +
                                          Record("Sprite_Trail", c.change) + Record("Sprite_Freeze")));
        EXPECT_FALSE(LoadCreatureSettings(settings));
        EXPECT_EQ(settings.size(), 2u);
        EXPECT_EQ(settings.count(CreatureSpriteId::Loner), 1u);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].second, L"There was an error loading the CreatureSettings.xml file.");
        EXPECT_EQ(boxes[0].first, L"(0) Error reading file \"CreatureSettings.xml\" " +
                                      std::wstring(c.reason.begin(), c.reason.end()));
    }
}

TEST_F(CreatureSettingsFile, AMissingOrMalformedFileIsReported)
{
    EXPECT_FALSE(LoadCreatureSettings(settings));
    AddData(L"CreatureSettings", "<CreatureSettings><TypeSettings></CreatureSettings>");
    EXPECT_FALSE(LoadCreatureSettings(settings));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0].first.find(L"CreatureSettings.xml"), std::wstring::npos);
    EXPECT_EQ(boxes[1].second, L"There was an error loading the CreatureSettings.xml file.");
    EXPECT_TRUE(settings.empty());
}
