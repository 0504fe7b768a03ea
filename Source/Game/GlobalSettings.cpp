#include "Game/GlobalSettings.h"

#include "Base/Text.h"
#include "Framework/ErrorBox.h"
#include "Framework/LibXmlReader.h"
#include "Game/GameDataReaders.h"
#include "Game/PlayfieldTypes.h"

#include <libxml++/libxml++.h>

#include <algorithm>
#include <exception>
#include <string>

namespace
{
template <typename Entry, typename ReadEntry>
void ReadEntries(const xmlpp::Element* table, std::vector<Entry>& into, ReadEntry read)
{
    for (const xmlpp::Element* node : LibXmlReader::GetChildElements(table, "Entry"))
        into.push_back(read(node));
}

// A creature drawn at a scale of 0 or below cannot be seen.
void ReadScales(const xmlpp::Element* node, const LibXmlReader& reader, std::array<float, 6>& scales)
{
    for (size_t i = 0; i < scales.size(); ++i)
        scales[i] = ReadFloatAttribute(node, "size" + std::to_string(i), reader, Bound::AboveZero);
}

// A count written as a float, truncated.
int ReadCount(const xmlpp::Element* node, const char* name, const LibXmlReader& reader)
{
    return TruncateToInt(ReadFloatAttribute(node, name, reader, Bound::ZeroOrMore));
}
} // namespace

GlobalSettings& GlobalSettings::Instance()
{
    static GlobalSettings settings;
    return settings;
}

bool GlobalSettings::Load(const Kestrin::FileSpec& file)
{
    try
    {
        Read(file);
        return true;
    }
    catch (const std::exception& e)
    {
        ShowErrorMessageBox(Kestrin::FromUtf8(e.what()),
                            L"There was an error loading GlobalSettings.xml file.");
        return false;
    }
}

void GlobalSettings::Read(const Kestrin::FileSpec& file)
{
    // All three lists, so reading again never doubles an entry.
    megaTicDamageShrink.clear();
    posiTicSpearValue.clear();
    posiTicSurcharge.clear();

    LibXmlReader reader(file);
    const xmlpp::Element* root = reader.GetRootElement();
    auto child = [&](const char* name) { return reader.GetRequiredChild(root, name); };

    // A hauled creature moves at a base speed and so much more per creature or gem on the line. A
    // base may be 0, as before the file is read, while what is added keeps every hauling speed
    // above 0: at 0 a walk's time, its length over the speed, never ends and none reaches its trap.
    // A speed that fell as the line fills would stop it as well.
    const xmlpp::Element* node = child("GlobalMovementData");
    BaseFollowLineSpeed = ReadFloatAttribute(node, "BaseFollowLineSpeed", reader, Bound::ZeroOrMore);
    PerGremlinSpeedMultiplier =
        ReadFloatAttribute(node, "PerGremlinSpeedMultiplier", reader, Bound::ZeroOrMore);
    PerGemSpeedMultiplier = ReadFloatAttribute(node, "PerGemSpeedMultiplier", reader, Bound::ZeroOrMore);
    if (BaseFollowLineSpeed + std::min(PerGremlinSpeedMultiplier, PerGemSpeedMultiplier) <= 0)
        RefuseAttribute(
            node, "BaseFollowLineSpeed",
            "must be above 0 while \"PerGremlinSpeedMultiplier\" or \"PerGemSpeedMultiplier\" is 0", reader);
    BaseFollowUpLineSpeed = ReadFloatAttribute(node, "BaseFollowUpLineSpeed", reader, Bound::ZeroOrMore);
    PerGremlinUpLineSpeedMultiplier =
        ReadFloatAttribute(node, "PerGremlinUpLineSpeedMultiplier", reader, Bound::ZeroOrMore);
    if (BaseFollowUpLineSpeed + PerGremlinUpLineSpeedMultiplier <= 0)
        RefuseAttribute(node, "BaseFollowUpLineSpeed",
                        "must be above 0 while \"PerGremlinUpLineSpeedMultiplier\" is 0", reader);

    node = child("LineVariablesData");
    clickTime = ReadIntAttribute(node, "clickTime", reader, Bound::ZeroOrMore);
    selfIgnore = ReadFloatAttribute(node, "selfIgnore", reader, Bound::ZeroOrMore);
    // The routing cost limit; at 0, as before the file is read, no line is routed round an
    // obstacle: one that meets an obstacle winds back.
    wrapMax = ReadFloatAttribute(node, "wrapMax", reader, Bound::ZeroOrMore);
    bool present = false;
    // 0 or below means no limit, as when it is absent.
    const float length = ReadFloatAttribute(node, "maxLength", reader, true, &present);
    maxLength = present ? length : -1.0f;

    const float trap = ReadFloatAttribute(child("MinTrapDistance"), "trap", reader, Bound::ZeroOrMore);
    minTrapDistanceSquared = trap * trap;
    trapSpawnDelay = ReadFloatAttribute(child("TrapSpawnDelay"), "cleared", reader, Bound::ZeroOrMore);
    ratioEqualityFactor = ReadFloatAttribute(child("GremlinFactoryOptions"), "RatioEqualityFactor", reader);

    ReadEntries(child("PosiTicSpearValue"), posiTicSpearValue,
                [&](const xmlpp::Element* entry)
                {
                    // A spear of many brings that many Posi-Tics at once: no more than the field holds.
                    const int positics = ReadCount(entry, "positics", reader);
                    if (positics > MaxCreaturesOnPlayfield)
                        RefuseAttribute(entry, "positics",
                                        "must not be above " + std::to_string(MaxCreaturesOnPlayfield),
                                        reader);
                    return PosiTicSpearValueEntry{ReadCount(entry, "speared", reader), positics};
                });
    ReadEntries(child("PosiTicSurcharge"), posiTicSurcharge,
                [&](const xmlpp::Element* entry)
                {
                    return PosiTicSurchargeEntry{
                        ReadIntAttribute(entry, "current", reader, Bound::ZeroOrMore),
                        ReadIntAttribute(entry, "surcharge", reader, Bound::ZeroOrMore)};
                });
    ReadEntries(child("MegaTicDamageShrink"), megaTicDamageShrink,
                [&](const xmlpp::Element* entry) {
                    return MegaTicDamageShrinkEntry{ReadCount(entry, "damage", reader),
                                                    ReadCount(entry, "shrink", reader)};
                });

    node = child("GlobalCreatureSettings");
    fadeInTime = ReadFloatAttribute(node, "fadeInTime", reader, Bound::ZeroOrMore);
    // The creatures' time runs at the multiplier to the power of the creatures about to explode,
    // never below the floor: at 0 they would stop.
    slowdownMultipler = ReadFloatAttribute(node, "slowdownMultipler", reader, Bound::AboveZero);
    slowDownMinValue = ReadFloatAttribute(node, "slowDownMinValue", reader, Bound::AboveZero);
    ReadScales(node, reader, creatureSizeScales);

    ReadScales(child("MegaTicSizeSettings"), reader, megaTicSizeScales);
}

int GlobalSettings::LookupPosiTics(int value, int alive) const
{
    int surcharge = 0;
    for (const PosiTicSurchargeEntry& entry : posiTicSurcharge)
    {
        if (entry.current > alive)
            break;
        surcharge = entry.surcharge;
    }
    // In 64 bits: a large surcharge must not wrap the difference round.
    const long long remaining = (long long)value - surcharge;
    int count = 0;
    for (const PosiTicSpearValueEntry& entry : posiTicSpearValue)
    {
        if (entry.speared > remaining)
            break;
        count = entry.positics;
    }
    return count;
}
