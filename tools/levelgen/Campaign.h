#pragma once
// The campaign table (campaign.tsv) and what it expands into: the level catalogue, the level and
// board files, the tuning files and the appointments' texts.
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace LevelGen
{

// Attribute name and value, in the order they are written.
using Attributes = std::vector<std::pair<std::string, std::string>>;

struct WeekPreset
{
    int week = 0;
    double time = 0, expert = 0;
    int initial = 0, wandering = 0;
    double delayMin = 0, delayMax = 0;
    int optimal = 0;
    double subMin = 0, subMax = 0;
    int traps = 0;
    int cycle = 0;
    int patches = 0, depth = 0, cells = 0;
    std::string gunk; // "Black", or "traps" for the level's spool colours
    int explode = 0;
    int obstaclesMin = 0, obstaclesMax = 0;
};

struct KingPreset
{
    double time = 0, expert = 0, delayMin = 0, delayMax = 0;
    int initial = 0, max = 0;
};

struct GuestRow
{
    std::string name;
    std::vector<std::string> signatures; // sprite names
    std::vector<std::string> obstacles;  // image names
};

struct LevelRow
{
    int line = 0;
    int day = 0;
    int slot = 0; // 1-based place within the day
    std::string name, guest;
    bool first = false;
    std::string unlock;             // empty for none
    std::vector<std::string> kings; // king kinds ("SmallCircle"), without the "Sprite_" prefix
    std::map<std::string, std::string> options;
    std::string description;
};

struct EndlessRow
{
    std::string name, guest;
    std::vector<std::string> kings;
};

struct CreatureRow
{
    std::string sprite, color, behavior;
    std::map<std::string, std::string> values; // over the defaults
};

struct GlobalRow
{
    std::string element;
    Attributes attributes;
    std::vector<Attributes> entries;
};

struct Campaign
{
    std::map<int, WeekPreset> weeks;
    KingPreset king;
    std::map<std::string, std::vector<std::string>> kinds; // Tic kind -> sprites it introduces
    std::vector<std::string> kindOrder;
    std::map<std::string, GuestRow> guests;
    std::vector<LevelRow> levels;
    std::vector<EndlessRow> endless;
    std::vector<GlobalRow> globals;
    std::map<std::string, std::string> creatureDefaults;
    std::vector<CreatureRow> creatures;
};

// Reads the table; throws std::runtime_error naming the origin and the line of the first fault: a
// row of an unknown table or with the wrong number of fields, a number that does not read, a name
// given twice (level, kind, guest, creature, global element), a sprite, guest or kind that is not
// defined, or a day out of calendar order.
Campaign ParseCampaign(const std::string& text, const std::string& origin = "campaign.tsv");

// One file the campaign expands into: its path relative to the data root, and its bytes.
struct OutputFile
{
    std::string path;
    std::string bytes;
};

// Every generated file but the text table, in a fixed order.
std::vector<OutputFile> GenerateFiles(const Campaign& campaign);

// Whether a file's bytes are levelgen's: its second line is the generator's note.
bool IsGenerated(const std::string& bytes);

// The appointments' texts as "string" elements, markers included.
std::string TextSection(const Campaign& campaign);

// `table` with its campaign section replaced by `section`. Throws std::runtime_error when the
// table lacks the markers, or when a key of the section is also a key elsewhere in the table
// (ignoring case, as the game's names do) or twice in the section.
std::string SpliceTextSection(const std::string& table, const std::string& section);

inline const char* const TextSectionBegin = "<!-- begin campaign section -->";
inline const char* const TextSectionEnd = "<!-- end campaign section -->";

} // namespace LevelGen
