#include "Game/GameDataReaders.h"

#include "Game/CreatureSettings.h"
#include "Game/GlobalSettings.h"
#include "Game/LevelFile.h"
#include "Game/PlayfieldTypes.h"

#include "GameTestSupport.h"

#include <libxml++/libxml++.h>

#include <memory>

using namespace GameTest;

namespace
{
class GameDataReaders : public GameDataTest
{
protected:
    GameDataReaders()
    {
        AddData(L"Data", "<root>\n"
                         "  <a one=\"1\" zero=\"0\" word=\"true\" spaced=\" 1\" two=\"2\" empty=\"\" "
                         "color=\"Red\" lower=\"red\" kind=\"Any\" n=\"12abc\" plus=\"+5\"/>\n"
                         "</root>\n");
        reader = std::make_unique<LibXmlReader>(Kestrin::FileSpec::FromNameAndExtension(L"Data", L".xml"));
        node = LibXmlReader::GetChildElements(reader->GetRootElement(), "a").front();
    }

    std::unique_ptr<LibXmlReader> reader;
    const xmlpp::Element* node = nullptr;
};

const char* const Colours[] = {"Red", "Green", "Blue"};
} // namespace

TEST_F(GameDataReaders, BoolTakesOnlyZeroAndOne)
{
    struct Case
    {
        const char* attribute;
        bool value;
        bool fails;
    };
    for (const Case& c : {Case{"one", true, false}, Case{"zero", false, false}, Case{"word", false, true},
                          Case{"spaced", false, true}, Case{"two", false, true}, Case{"empty", false, true}})
    {
        bool present = false;
        const std::string error = ErrorOf(
            [&] { EXPECT_EQ(ReadBoolAttribute(node, c.attribute, *reader, false, present), c.value); });
        if (c.fails)
            EXPECT_EQ(
                error,
                std::string("(0) Error reading file \"Data.xml\" (line 2): couldn't convert attribute \"") +
                    c.attribute + "\" to the correct type (bool)");
        else
            EXPECT_TRUE(error.empty() && present) << c.attribute << ": " << error;
    }
}

TEST_F(GameDataReaders, MissingAttributesFailUnlessOptional)
{
    bool present = true;
    EXPECT_FALSE(ReadBoolAttribute(node, "absent", *reader, true, present));
    EXPECT_FALSE(present);
    EXPECT_EQ(ReadEnumAttribute(node, "absent", Colours, 3, *reader, true), -1);
    EXPECT_EQ(ErrorOf([&] { ReadBoolAttribute(node, "absent", *reader, false, present); }),
              "(0) Error reading file \"Data.xml\" (line 2): couldn't read required attribute \"absent\" "
              "(attribute does not exist)");
    EXPECT_NE(ErrorOf([&] { ReadEnumAttribute(node, "absent", Colours, 3, *reader); }), "");
}

TEST_F(GameDataReaders, EnumerationsMatchExactly)
{
    EXPECT_EQ(ReadEnumAttribute(node, "color", Colours, 3, *reader), 0);
    EXPECT_EQ(ReadEnumAttribute<GremlinKind>(node, "kind", *reader), GremlinKind::Any);
    EXPECT_EQ(
        ErrorOf([&] { ReadEnumAttribute<GremlinColorType>(node, "lower", *reader); }),
        "(0) Error reading file \"Data.xml\" (line 2): \"red\" is an invalid value for attribute \"lower\"");
    // Optional: a name outside the table answers -1 instead.
    EXPECT_EQ(ReadEnumAttribute(node, "lower", Colours, 3, *reader, true), -1);
    // "Red" lies outside a table that does not reach it.
    EXPECT_NE(ErrorOf([&] { ReadEnumAttribute(node, "color", Colours + 1, 2, *reader); }), "");
}

TEST_F(GameDataReaders, WholeNumbersMustBeWhole)
{
    EXPECT_EQ(ReadIntAttribute(node, "plus", *reader), 5);
    EXPECT_EQ(ErrorOf([&] { ReadIntAttribute(node, "n", *reader); }),
              "(0) Error reading file \"Data.xml\" (line 2): couldn't convert attribute \"n\" to the correct "
              "type (int)");
}

namespace
{
// Sound files, each holding values at the bounds the readers allow: a type sitting out with ratio
// 0, equal ends of a range, a first trap at 0 s, a king record with 0 health, no click spacing,
// wave floors of 0, an optimal count of what the playfield holds, a cap of no cap, no routing
// round obstacles, no base speed up the line.
const char* const BoundsLevel = R"(<Level><LevelData>
<Quota expertTime="0" timeLimit="180" gunkLimit="1"/><LoopPowerUpSpawn/><SpearKingGemSpawn/>
<GremlinFactory numInitialGremlins="0" MaxWanderingGremlinsInLevel="7" GremlinSpawnDelayMin="2.5" GremlinSpawnDelayMax="2.5" optimalNumGremlins="330" subOptimalSpawnDelayMin="1" subOptimalSpawnDelayMax="1" megaTicSpawnDelayMin="20" megaTicSpawnDelayMax="30" numInitialMegaTics="0" numMaxMegaTics="2">
<FactoryZone type="Normal" rangeX="100" rangeY="80" rangeW="600" rangeH="380"><Type sprite="Sprite_BasicRed" ratio="2"/><Type sprite="Sprite_Shy" ratio="0"/></FactoryZone>
<FactoryZone type="King" x="400" y="200"><Type sprite="Sprite_Trail" ratio="1"/></FactoryZone></GremlinFactory>
<GremlinFactoryModifiers><wave initialSize="6" change="-2" max="6" recoveryTime="0"/><maxCreatures change="1" max="2147483647"/><optimalCreatures change="1" max="8"/>
<growthRate change="-0.25" min="0"/><spawnDelay change="-0.1" min="0"/><maxMegaTics change="0" max="2"/><megaTicSpawnDelay change="-1" min="0"/></GremlinFactoryModifiers>
<Obstacles><ObstacleSet/>
<EndlessSludgeZone spawnDelay="8" updateTime="20" spawnRadius="40" spawnDepth="0" x="-5" y="50" w="320" h="420" delayChange="-0.5" delayMin="8" radiusChange="5" radiusMax="40" colorChance="0.25"/></Obstacles>
<GremlinTrapFactory><TrapSlots><Slot initialTime="0"/></TrapSlots></GremlinTrapFactory>
</LevelData></Level>)";

const char* const BoundsCreatures = R"(<CreatureSettings>
<TypeSettings sprite="Sprite_Trail" color="Black" behavior="Trail" maxMoveSpeed="70" angryTime="-1" maxHealth="0" param1="0" param2="0" param3="0" param4="0" explode0Min="1" explode0Max="1" explode1Min="10" explode1Max="14" explode2Min="10" explode2Max="14" explodeEndMin="4" explodeEndMax="5" energyMin="1" energyMax="1" chanceForPause="20" pauseLengthMin="0" pauseLengthMax="1.5" randomWalkSpeedMin="0" randomWalkSpeedMax="50" randomWalkLengthMin="40" randomWalkLengthMax="90" randomWalkAngleVarMin="-2" randomWalkAngleVarMax="2" explodeRadius="60"/>
</CreatureSettings>)";

const char* const BoundsGlobal = R"(<GlobalSettings>
<GlobalMovementData BaseFollowLineSpeed="90" PerGremlinSpeedMultiplier="0" PerGemSpeedMultiplier="20" BaseFollowUpLineSpeed="0" PerGremlinUpLineSpeedMultiplier="6"/>
<LineVariablesData clickTime="0" selfIgnore="2" wrapMax="0" maxLength="-1"/><MinTrapDistance trap="140"/><TrapSpawnDelay cleared="0"/><GremlinFactoryOptions RatioEqualityFactor="-0.5"/>
<PosiTicSpearValue><Entry speared="3" positics="1"/></PosiTicSpearValue><PosiTicSurcharge><Entry current="0" surcharge="0"/></PosiTicSurcharge><MegaTicDamageShrink><Entry damage="1" shrink="0"/></MegaTicDamageShrink>
<GlobalCreatureSettings fadeInTime="0" slowdownMultipler="0.6" slowDownMinValue="0.2" size0="0.6" size1="0.8" size2="1" size3="1.15" size4="1.3" size5="1.3"/>
<MegaTicSizeSettings size0="1" size1="1.15" size2="1.3" size3="1.45" size4="1.6" size5="1.6"/>
</GlobalSettings>)";

enum Reader
{
    Level,
    Creatures,
    Global,
};
using RefusedValues = GameDataTest;
} // namespace

TEST_F(RefusedValues, EachReaderNamesTheFileLineAndAttributeOfAValueTheGameCannotRunWith)
{
    // The reader's error over its document with `attribute` set to `value` after `element`, or "".
    auto read =
        [&](Reader reader, const std::string& element, const std::string& attribute, const char* value)
    {
        std::string xml = std::vector<std::string>{BoundsLevel, BoundsCreatures, BoundsGlobal}[reader];
        const size_t at = xml.find(" " + attribute + "=\"", xml.find("<" + element)) + attribute.size() + 3;
        if (value)
            xml.replace(at, xml.find('"', at) - at, value);
        AddData(std::vector<std::wstring>{L"Bad", L"CreatureSettings", L"GlobalSettings"}[reader], xml);
        CreatureSettingsMap creatures;
        return ErrorOf(
            [&]
            {
                if (reader == Level)
                    ReadLevelFile(LevelFileSpec("Bad"), true);
                else if (reader == Creatures)
                    ReadCreatureSettings(creatures);
                else
                    GlobalSettings().Read();
            });
    };
    for (Reader reader : {Level, Creatures, Global})
        ASSERT_EQ(read(reader, "", "", nullptr), "");

    const std::string above = "must be above 0", zeroOrMore = "must be 0 or more", loads;
    // As many creatures as the playfield holds, and one more.
    const std::string full = std::to_string(MaxCreaturesOnPlayfield);
    const std::string crowd = std::to_string(MaxCreaturesOnPlayfield + 1);
    const std::string crowded = "must not be above " + std::to_string(MaxCreaturesOnPlayfield);
    struct Row
    {
        Reader reader;
        const char* element;
        const char* attribute;
        const char* value;
        int line;
        std::string rule;            // empty: the value reads
        const char* named = nullptr; // the attribute the error names, when not the one changed
    };
    const Row rows[] = {
        {Level, "Quota", "gunkLimit", "-1", 2, above},
        {Level, "Quota", "gunkLimit", "0", 2, above},
        {Level, "Quota", "gunkLimit", "1.01", 2, "must not be above 1"},
        {Level, "Quota", "timeLimit", "0", 2, above},
        {Level, "GremlinFactory", "MaxWanderingGremlinsInLevel", "-1", 3, zeroOrMore},
        {Level, "GremlinFactory", "GremlinSpawnDelayMax", "2.4", 3,
         "must not be above \"GremlinSpawnDelayMax\"", "GremlinSpawnDelayMin"},
        {Level, "GremlinFactory", "numInitialGremlins", crowd.c_str(), 3, crowded},
        {Level, "GremlinFactory", "numInitialGremlins", full.c_str(), 3, loads},
        {Level, "GremlinFactory", "MaxWanderingGremlinsInLevel", crowd.c_str(), 3, crowded},
        {Level, "GremlinFactory", "optimalNumGremlins", crowd.c_str(), 3, crowded},
        {Level, "GremlinFactory", "numInitialMegaTics", crowd.c_str(), 3, crowded},
        {Level, "GremlinFactory", "numMaxMegaTics", crowd.c_str(), 3, crowded},
        {Level, "FactoryZone", "rangeW", "-1", 4, zeroOrMore},
        {Level, "FactoryZone", "rangeH", "0", 4, loads},
        {Level, "Type", "ratio", "-1", 4, zeroOrMore},
        {Level, "Type", "ratio", "0", 4, "must be above 0 in at least one \"Type\""},
        {Level, "wave", "max", "5", 6, "must not be above \"max\"", "initialSize"},
        {Level, "wave", "max", "2147483647", 6, loads},
        {Level, "growthRate", "min", "-0.5", 7, zeroOrMore},
        {Level, "spawnDelay", "min", "-0.5", 7, zeroOrMore},
        {Level, "megaTicSpawnDelay", "min", "-0.5", 7, zeroOrMore},
        {Level, "maxMegaTics", "max", "2147483647", 7, loads},
        {Level, "EndlessSludgeZone", "spawnDelay", "0", 9, above},
        {Level, "EndlessSludgeZone", "delayMin", "0", 9, above},
        {Level, "EndlessSludgeZone", "spawnDepth", "6", 9, "must not be above 5"},
        {Level, "EndlessSludgeZone", "spawnDepth", "5", 9, loads},
        {Level, "EndlessSludgeZone", "delayMin", "8.5", 9, "must not be above \"spawnDelay\""},
        {Level, "EndlessSludgeZone", "radiusMax", "39", 9, "must not be above \"radiusMax\"", "spawnRadius"},
        {Level, "Slot", "initialTime", "-0.5", 10, zeroOrMore},
        {Creatures, "TypeSettings", "maxMoveSpeed", "0", 2, above},
        {Creatures, "TypeSettings", "maxHealth", "-1", 2, zeroOrMore},
        {Creatures, "TypeSettings", "explodeEndMax", "3", 2, "must not be above \"explodeEndMax\"",
         "explodeEndMin"},
        {Creatures, "TypeSettings", "explodeRadius", "0", 2, above},
        {Global, "GlobalMovementData", "BaseFollowLineSpeed", "0", 2,
         "must be above 0 while \"PerGremlinSpeedMultiplier\" or \"PerGemSpeedMultiplier\" is 0"},
        {Global, "GlobalMovementData", "PerGremlinUpLineSpeedMultiplier", "0", 2,
         "must be above 0 while \"PerGremlinUpLineSpeedMultiplier\" is 0", "BaseFollowUpLineSpeed"},
        {Global, "GlobalMovementData", "BaseFollowUpLineSpeed", "-1", 2, zeroOrMore},
        {Global, "LineVariablesData", "wrapMax", "-1", 3, zeroOrMore},
        {Global, "PosiTicSpearValue", "positics", crowd.c_str(), 4, crowded},
        {Global, "PosiTicSpearValue", "positics", "3e9", 4, crowded},
        {Global, "MegaTicDamageShrink", "shrink", "-1", 4, zeroOrMore},
        {Global, "MegaTicSizeSettings", "size3", "0", 6, above},
    };
    const char* const files[] = {"Bad.xml", "CreatureSettings.xml", "GlobalSettings.xml"};
    for (const Row& row : rows)
        EXPECT_EQ(read(row.reader, row.element, row.attribute, row.value),
                  row.rule.empty() ? std::string()
                                   : std::string("(0) Error reading file \"") + files[row.reader] +
                                         "\" (line " + std::to_string(row.line) + "): attribute \"" +
                                         (row.named ? row.named : row.attribute) + "\" " + row.rule)
            << row.element << " " << row.attribute << "=" << row.value;
}
