#include "Game/GlobalSettings.h"

#include "Base/Text.h"
#include "Framework/ErrorBox.h"
#include "Framework/LibXmlReader.h"

#include <libxml++/libxml++.h>

#include <climits>
#include <exception>
#include <string>

namespace
{
// Table values are written as floats and truncated; beyond the int range they saturate.
int Truncated(float value)
{
    if (value >= 2147483648.0f)
        return INT_MAX;
    if (value <= -2147483648.0f)
        return INT_MIN;
    return int(value);
}

template <typename Entry, typename ReadEntry>
void ReadEntries(const xmlpp::Element* table, std::vector<Entry>& into, ReadEntry read)
{
    for (const xmlpp::Element* node : LibXmlReader::GetChildElements(table, "Entry"))
        into.push_back(read(node));
}

void ReadScales(const xmlpp::Element* node, const LibXmlReader& reader, std::array<float, 6>& scales)
{
    for (size_t i = 0; i < scales.size(); ++i)
        scales[i] = ReadFloatAttribute(node, "size" + std::to_string(i), reader);
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

    const xmlpp::Element* node = child("GlobalMovementData");
    BaseFollowLineSpeed = ReadFloatAttribute(node, "BaseFollowLineSpeed", reader);
    PerGremlinSpeedMultiplier = ReadFloatAttribute(node, "PerGremlinSpeedMultiplier", reader);
    PerGemSpeedMultiplier = ReadFloatAttribute(node, "PerGemSpeedMultiplier", reader);
    BaseFollowUpLineSpeed = ReadFloatAttribute(node, "BaseFollowUpLineSpeed", reader);
    PerGremlinUpLineSpeedMultiplier = ReadFloatAttribute(node, "PerGremlinUpLineSpeedMultiplier", reader);

    node = child("LineVariablesData");
    clickTime = ReadIntAttribute(node, "clickTime", reader);
    selfIgnore = ReadFloatAttribute(node, "selfIgnore", reader);
    wrapMax = ReadFloatAttribute(node, "wrapMax", reader);
    bool present = false;
    const float length = ReadFloatAttribute(node, "maxLength", reader, true, &present);
    maxLength = present ? length : -1.0f;

    const float trap = ReadFloatAttribute(child("MinTrapDistance"), "trap", reader);
    minTrapDistanceSquared = trap * trap;
    trapSpawnDelay = ReadFloatAttribute(child("TrapSpawnDelay"), "cleared", reader);
    ratioEqualityFactor = ReadFloatAttribute(child("GremlinFactoryOptions"), "RatioEqualityFactor", reader);

    ReadEntries(child("PosiTicSpearValue"), posiTicSpearValue,
                [&](const xmlpp::Element* entry)
                {
                    return PosiTicSpearValueEntry{Truncated(ReadFloatAttribute(entry, "speared", reader)),
                                                  Truncated(ReadFloatAttribute(entry, "positics", reader))};
                });
    ReadEntries(child("PosiTicSurcharge"), posiTicSurcharge,
                [&](const xmlpp::Element* entry)
                {
                    return PosiTicSurchargeEntry{ReadIntAttribute(entry, "current", reader),
                                                 ReadIntAttribute(entry, "surcharge", reader)};
                });
    ReadEntries(child("MegaTicDamageShrink"), megaTicDamageShrink,
                [&](const xmlpp::Element* entry)
                {
                    return MegaTicDamageShrinkEntry{Truncated(ReadFloatAttribute(entry, "damage", reader)),
                                                    Truncated(ReadFloatAttribute(entry, "shrink", reader))};
                });

    node = child("GlobalCreatureSettings");
    fadeInTime = ReadFloatAttribute(node, "fadeInTime", reader);
    slowdownMultipler = ReadFloatAttribute(node, "slowdownMultipler", reader);
    slowDownMinValue = ReadFloatAttribute(node, "slowDownMinValue", reader);
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
