#include "Campaign.h"

#include <array>
#include <cctype>
#include <set>
#include <stdexcept>

namespace LevelGen
{
namespace
{

std::string Folded(std::string s)
{
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Texts never hold markup characters: styled text nodes would read them as tags.
std::string Escaped(const std::string& text)
{
    for (char c : text)
        if (c == '&' || c == '<' || c == '>' || c == '"')
            throw std::runtime_error("the text \"" + text + "\" holds a markup character");
    return text;
}

// Every "name" attribute value of the "string" elements in a piece of the table.
std::vector<std::string> KeysIn(const std::string& xml)
{
    std::vector<std::string> keys;
    const std::string open = "<string name=\"";
    for (size_t at = xml.find(open); at != std::string::npos; at = xml.find(open, at + 1))
    {
        const size_t from = at + open.size();
        const size_t to = xml.find('"', from);
        if (to == std::string::npos)
            throw std::runtime_error("the text table has an unfinished string element");
        keys.push_back(xml.substr(from, to - from));
    }
    return keys;
}

} // namespace

std::string TextSection(const Campaign& campaign)
{
    static const std::array<const char*, 5> weekdays = {"Monday", "Tuesday", "Wednesday", "Thursday",
                                                        "Friday"};
    static const std::array<const char*, 5> times = {"9:00 AM", "10:30 AM", "1:00 PM", "2:30 PM", "4:00 PM"};
    std::string x = std::string(TextSectionBegin) + "\n";
    for (const LevelRow& l : campaign.levels)
    {
        if (l.slot < 1 || l.slot > int(times.size()))
            throw std::runtime_error("the level " + l.name + " is appointment " + std::to_string(l.slot) +
                                     " of its day; a day holds five at most");
        // Weekdays from Monday 4 May: each week skips the weekend.
        const int date = 4 + (l.day - 1) + 2 * ((l.day - 1) / 5);
        const std::string when = std::string(weekdays[size_t(l.day - 1) % 5]) + " " + std::to_string(date) +
                                 " May, " + times[size_t(l.slot - 1)];
        x += "  <string name=\"" + l.name + ".dateandtime\" value=\"" + when + "\"/>\n";
        x += "  <string name=\"" + l.name + ".description\" value=\"" + Escaped(l.description) + "\"/>\n";
    }
    return x + TextSectionEnd;
}

std::string SpliceTextSection(const std::string& table, const std::string& section)
{
    const size_t begin = table.find(TextSectionBegin);
    const size_t endMarker = table.find(TextSectionEnd);
    if (begin == std::string::npos || endMarker == std::string::npos || endMarker < begin ||
        table.find(TextSectionBegin, begin + 1) != std::string::npos)
        throw std::runtime_error(std::string("the text table needs one \"") + TextSectionBegin +
                                 "\" before one \"" + TextSectionEnd + "\"");
    const size_t end = endMarker + std::string(TextSectionEnd).size();
    const std::string outside = table.substr(0, begin) + table.substr(end);
    std::set<std::string> keys;
    for (const std::string& key : KeysIn(outside))
        keys.insert(Folded(key));
    for (const std::string& key : KeysIn(section))
        if (!keys.insert(Folded(key)).second)
            throw std::runtime_error("the text key " + key + " is in the text table twice");
    return table.substr(0, begin) + section + table.substr(end);
}

} // namespace LevelGen
