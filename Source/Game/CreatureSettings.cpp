#include "Game/CreatureSettings.h"

#include "Base/Text.h"
#include "Framework/ErrorBox.h"
#include "Framework/LibXmlReader.h"
#include "Game/GameDataReaders.h"

#include <libxml++/libxml++.h>

#include <exception>
#include <optional>

namespace
{
TypeSettings ReadRecord(const xmlpp::Element* node, const LibXmlReader& reader)
{
    // The order of reading decides which attribute an error names.
    auto real = [&](const char* name) { return ReadFloatAttribute(node, name, reader); };
    // A range drawn from; with a bound, its minimum is held to it (the maximum then follows).
    auto range =
        [&](const char* min, const char* max, float& low, float& high, std::optional<Bound> bound = {})
    {
        low = bound ? ReadFloatAttribute(node, min, reader, *bound) : real(min);
        high = real(max);
        CheckMinNotAboveMax(node, min, low, max, high, reader);
    };
    TypeSettings s;
    s.sprite = ReadEnumAttribute<CreatureSpriteId>(node, "sprite", reader);
    s.color = ReadEnumAttribute<GremlinColorType>(node, "color", reader);
    s.behavior = ReadEnumAttribute<GremlinKind>(node, "behavior", reader);
    // A creature without speed is never hauled to its trap.
    s.maxMoveSpeed = ReadFloatAttribute(node, "maxMoveSpeed", reader, Bound::AboveZero);
    s.angryTime = real("angryTime"); // below 0: never angry
    bool present = false;
    // 0 is taken: a king holds at least one point of health whatever its record says.
    const int maxHealth = ReadIntAttribute(node, "maxHealth", reader, Bound::ZeroOrMore, true, &present);
    if (present)
        s.maxHealth = maxHealth;
    s.param1 = real("param1");
    s.param2 = real("param2");
    s.param3 = real("param3");
    s.param4 = real("param4");
    // The stages' times: at 0 a creature would explode as soon as it is in.
    range("explode0Min", "explode0Max", s.explode0Min, s.explode0Max, Bound::AboveZero);
    range("explode1Min", "explode1Max", s.explode1Min, s.explode1Max, Bound::AboveZero);
    range("explode2Min", "explode2Max", s.explode2Min, s.explode2Max, Bound::AboveZero);
    range("explodeEndMin", "explodeEndMax", s.explodeEndMin, s.explodeEndMax, Bound::AboveZero);
    range("energyMin", "energyMax", s.energyMin, s.energyMax);
    s.chanceForPause = real("chanceForPause");
    range("pauseLengthMin", "pauseLengthMax", s.pauseLengthMin, s.pauseLengthMax, Bound::ZeroOrMore);
    range("randomWalkSpeedMin", "randomWalkSpeedMax", s.randomWalkSpeedMin, s.randomWalkSpeedMax,
          Bound::ZeroOrMore);
    range("randomWalkLengthMin", "randomWalkLengthMax", s.randomWalkLengthMin, s.randomWalkLengthMax,
          Bound::ZeroOrMore);
    range("randomWalkAngleVarMin", "randomWalkAngleVarMax", s.randomWalkAngleVarMin, s.randomWalkAngleVarMax);
    s.randomWalkAngleVarMin *= AngleVariationUnit;
    s.randomWalkAngleVarMax *= AngleVariationUnit;
    const int explodeRadius =
        ReadIntAttribute(node, "explodeRadius", reader, Bound::AboveZero, true, &present);
    if (present)
        s.explodeRadius = explodeRadius;
    return s;
}
} // namespace

void ReadCreatureSettings(CreatureSettingsMap& settings, const Kestrin::FileSpec& file)
{
    LibXmlReader reader(file);
    for (const xmlpp::Element* node : LibXmlReader::GetChildElements(reader.GetRootElement(), "TypeSettings"))
    {
        TypeSettings record = ReadRecord(node, reader);
        settings[record.sprite] = record;
    }
}

bool LoadCreatureSettings(CreatureSettingsMap& settings, const Kestrin::FileSpec& file)
{
    try
    {
        ReadCreatureSettings(settings, file);
        return true;
    }
    catch (const std::exception& e)
    {
        ShowErrorMessageBox(Kestrin::FromUtf8(e.what()),
                            L"There was an error loading the CreatureSettings.xml file.");
        return false;
    }
}
