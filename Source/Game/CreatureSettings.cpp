#include "Game/CreatureSettings.h"

#include "Base/Text.h"
#include "Framework/ErrorBox.h"
#include "Framework/LibXmlReader.h"
#include "Game/GameDataReaders.h"

#include <libxml++/libxml++.h>

#include <exception>

namespace
{
TypeSettings ReadRecord(const xmlpp::Element* node, const LibXmlReader& reader)
{
    // The order of reading decides which attribute an error names.
    auto real = [&](const char* name) { return ReadFloatAttribute(node, name, reader); };
    TypeSettings s;
    s.sprite = ReadEnumAttribute<CreatureSpriteId>(node, "sprite", reader);
    s.color = ReadEnumAttribute<GremlinColorType>(node, "color", reader);
    s.behavior = ReadEnumAttribute<GremlinKind>(node, "behavior", reader);
    s.maxMoveSpeed = real("maxMoveSpeed");
    s.angryTime = real("angryTime");
    bool present = false;
    const int maxHealth = ReadIntAttribute(node, "maxHealth", reader, true, &present);
    if (present)
        s.maxHealth = maxHealth;
    s.param1 = real("param1");
    s.param2 = real("param2");
    s.param3 = real("param3");
    s.param4 = real("param4");
    s.explode0Min = real("explode0Min");
    s.explode0Max = real("explode0Max");
    s.explode1Min = real("explode1Min");
    s.explode1Max = real("explode1Max");
    s.explode2Min = real("explode2Min");
    s.explode2Max = real("explode2Max");
    s.explodeEndMin = real("explodeEndMin");
    s.explodeEndMax = real("explodeEndMax");
    s.energyMin = real("energyMin");
    s.energyMax = real("energyMax");
    s.chanceForPause = real("chanceForPause");
    s.pauseLengthMin = real("pauseLengthMin");
    s.pauseLengthMax = real("pauseLengthMax");
    s.randomWalkSpeedMin = real("randomWalkSpeedMin");
    s.randomWalkSpeedMax = real("randomWalkSpeedMax");
    s.randomWalkLengthMin = real("randomWalkLengthMin");
    s.randomWalkLengthMax = real("randomWalkLengthMax");
    s.randomWalkAngleVarMin = real("randomWalkAngleVarMin") * AngleVariationUnit;
    s.randomWalkAngleVarMax = real("randomWalkAngleVarMax") * AngleVariationUnit;
    const int explodeRadius = ReadIntAttribute(node, "explodeRadius", reader, true, &present);
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
