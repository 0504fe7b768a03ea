#pragma once

// Creature settings documents the reader takes whole, for the tests and fuzz targets that need
// creatures of any sprite without caring how they move.

#include <string>
#include <vector>

namespace GameTest
{

// The float attributes a "TypeSettings" record must carry, in reading order.
inline constexpr const char* CreatureFloatAttributes[] = {"maxMoveSpeed",
                                                          "angryTime",
                                                          "param1",
                                                          "param2",
                                                          "param3",
                                                          "param4",
                                                          "explode0Min",
                                                          "explode0Max",
                                                          "explode1Min",
                                                          "explode1Max",
                                                          "explode2Min",
                                                          "explode2Max",
                                                          "explodeEndMin",
                                                          "explodeEndMax",
                                                          "energyMin",
                                                          "energyMax",
                                                          "chanceForPause",
                                                          "pauseLengthMin",
                                                          "pauseLengthMax",
                                                          "randomWalkSpeedMin",
                                                          "randomWalkSpeedMax",
                                                          "randomWalkLengthMin",
                                                          "randomWalkLengthMax",
                                                          "randomWalkAngleVarMin",
                                                          "randomWalkAngleVarMax"};

// A settings document with a red, basic record for each sprite, every float attribute 1.
inline std::string CreatureSettingsOfOnes(const std::vector<std::string>& sprites)
{
    std::string xml = "<CreatureSettings>";
    for (const std::string& sprite : sprites)
    {
        xml += "<TypeSettings sprite=\"" + sprite + "\" color=\"Red\" behavior=\"Basic\"";
        for (const char* name : CreatureFloatAttributes)
            xml += std::string(" ") + name + "=\"1\"";
        xml += "/>";
    }
    return xml + "</CreatureSettings>";
}

} // namespace GameTest
