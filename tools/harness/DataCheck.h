#pragma once

// Checks over a data tree as the game reads it: names the file index can serve, images through the
// engine's decoders, fonts through its font factory, resource groups through the resource manager and
// movies through the movie host's header parser.
// Each check answers what it looked at and every problem, named by the file's path under the root.

#include "Base/Geometry.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace DataCheck
{

// ASCII lower case: the file index matches names without case.
std::string Lower(std::string s);

struct Problem
{
    std::string file; // relative to the tree's root, '/' separated
    std::string what;
};

struct Report
{
    int checked = 0; // files the check looked at
    std::vector<Problem> problems;
    // Resources left unchecked because no registrar provides their kind yet, counted by kind.
    std::map<std::string, int> pending;
    void Add(std::string file, std::string what) { problems.push_back({std::move(file), std::move(what)}); }
};

// Every file and folder name printable ASCII; no folder named ".x"; no two files with one bare name
// (ignoring ASCII case); one image format and one sound format per stem.
Report CheckNames(const std::filesystem::path& root);

// Every ".gif", ".jpg" and ".png" decodes on its own; a "<stem>_mask" image is as large as its image.
// When "images/manifest.tsv" exists, each of its rows names a file of the stated size in pixels and
// bytes, and every image under "images/" has a row.
Report CheckImages(const std::filesystem::path& root);

// Every "fonts/<name>.txt" loads through the font factory with its image, holds every Latin-1 glyph
// with ink in it, and measures a sample text to a size that fits its line height.
Report CheckFonts(const std::filesystem::path& root);

// Kinds the groups may hold before their factories are built: while no registrar provides one of
// them, its resources are counted in Report::pending instead of being reported, and a scene node
// kind of them ("...node") is read as a plain "scenenode" inside layouts, so the layouts holding it
// load and build. Empty while every kind the groups use is registered, so that an unregistered kind
// is an error.
const std::set<std::string>& KindsNotYetRegistered();

// The groups load in the game's order: the text table (read at start-up), "Title_MainMenu" (the
// loading screen's), "Loading" (the splash), the three groups the loading thread reads, then every
// other group by name, as the screens load theirs.
const std::vector<std::string>& GameLoadOrder();

// One group file of a tree.
struct GroupFile
{
    std::string group; // the name the game loads it by
    std::string file;  // relative to the root
    std::string bytes;
};

// A named element of a group that loaded.
struct LoadedEntry
{
    std::string file; // the group's file, relative to the root
    std::string kind; // the element's name
    std::string name;
};

// The text table "AllGameText_Export.xml" at the root and every "groups/<name>.xml", loaded in the
// game's order into the one resource manager with every factory the game registers, on a file
// system and an audio device like the game's. Later checks look at what loaded. One at a time: it
// owns the resource manager while it lives. It sets up what the game's start-up would for the
// programs that run the game on it: the random streams and a player folder of its own.
class LoadedTree
{
public:
    explicit LoadedTree(const std::filesystem::path& root,
                        const std::set<std::string>& pendingKinds = KindsNotYetRegistered());
    ~LoadedTree();
    LoadedTree(const LoadedTree&) = delete;
    LoadedTree& operator=(const LoadedTree&) = delete;

    const std::filesystem::path& Root() const;
    // What loading found: CheckGroups' report.
    const Report& LoadReport() const;
    // In load order.
    const std::vector<GroupFile>& Groups() const;
    // The file a group is read from, relative to the root, whether it exists or not.
    std::string FileOf(const std::string& group) const;
    // The named elements of the groups that loaded, in load order.
    const std::vector<LoadedEntry>& Entries() const;
    // Whether a file of this bare name (ignoring case) lies anywhere in the tree.
    bool HasFile(const std::string& bareName) const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Loads the tree: no load error (a name two groups define is one), no element of an unregistered
// kind but those of pendingKinds, no log line of an image not found or not loadable, every named
// element made, every image, sound and font file found, every alias and sound-list entry naming a
// resource loaded before it, every widget layout element of a widget kind and naming resources of
// the kinds it wants loaded before it, and every widget layout building into a scratch screen.
// CheckGroups counts the kinds of KindsNotYetRegistered.
Report CheckGroups(const std::filesystem::path& root);
Report CheckGroupsWithPendingKinds(const std::filesystem::path& root,
                                   const std::set<std::string>& pendingKinds);

// The kinds of resource the game looks up by name, each through its typed look-up.
enum class ResourceKind
{
    Image,
    ImageList,
    Font,
    Sound,
    SoundList,
    Float,
    Color,
    String,
    SceneLayout,
    WidgetLayout,
    SpriteType,
};

// A name the game looks up, the group that must define it, and what it must be.
struct NameRule
{
    std::string group;
    std::string name;
    ResourceKind kind;
    int minCount = 0;                 // image lists: frames; sprite types: frames of their image list
    int maxCount = -1;                // none when negative
    std::vector<std::string> members; // sprite types: animations; sound lists: events
    // Sprite types: animations that must end (effects remove themselves, stages move on, when they do).
    std::vector<std::string> finite = {};
};

// Each rule's name is defined by its group, resolves through its typed look-up and keeps the
// rule's counts and members. A problem names the group's file.
Report CheckNameContract(const LoadedTree& tree, const std::vector<NameRule>& rules);

// The node kinds the screens cast found nodes to. Any: a node of any kind.
enum class NodeKind
{
    Any,
    StaticSprite,
    AnimatedSprite,
    TextSprite,
    StyledTextSprite,
    Button,
    Background,
    CheckBox,
    Slider,
    TextEdit,
};

// A node a screen finds, and the kind it casts it to. A path is '/'-separated node names from the
// layout's root node, which "*" stands for whatever its name; an object is found by its name in
// the screen's database.
struct NodeRule
{
    std::string path;
    NodeKind kind;
};

struct LayoutRule
{
    std::string group;
    std::string layout;
    std::vector<NodeRule> paths;
    std::vector<NodeRule> objects;
    // Built before the other groups are loaded: it may name only its own group's resources.
    bool ownGroupOnly = false;
};

// Every scene layout of the tree builds into a scratch screen without an exception or a log line;
// node names are unique among siblings; every resource a layout names (pictures, fonts, sound
// lists, texts, sprite types and their first animations, referenced layouts) resolves to its kind;
// alignment, justification, direction, text mode and grid words are ones the engine knows, colours
// "#RRGGBBAA", booleans "true" or "false", and frame lists free of line breaks. Then each rule's
// layout holds its paths and objects, of their kinds.
Report CheckLayouts(const LoadedTree& tree, const std::vector<LayoutRule>& rules);

// A text that tells the player how a session is won, and the words of the rule it must say, in
// their order (compared without case).
struct GoalTextRule
{
    std::string key;
    std::vector<std::string> words;
};

// Every required key is a "string" of the text table; every text of the table and of the layouts
// is Latin-1 without control characters but line breaks, reads as styled text (naming only fonts
// that exist), and has a glyph in every font for each character; a "<level>.dateandtime" text holds
// a ","; each label key ends with a blank, since a time or a number follows it directly. Each goal
// text says its rule's words in order, and no text promises a win for "enough Tics".
Report CheckText(const LoadedTree& tree, const std::vector<std::string>& requiredKeys,
                 const std::vector<std::string>& labelKeys, const std::vector<GoalTextRule>& goalRules = {});

// The campaign through the game's own readers: "GameLevels.xml" (20 Days numbered in order, 2 to 5
// levels each, Jillian's 20 levels, at most 12 of any other guest, "1-06 Harley", each kind of the
// guide unlocked once, an endless level for each of the six guests), "GlobalSettings.xml" (tables
// ascending, a king damage entry of 1 or more), "CreatureSettings.xml", and every level and board
// file the catalogue names: required elements and attributes, a creature settings record for every
// zone sprite, spools of the colours Red to Purple inside the playing area, a spool of every colour
// but Any that the level's Tics and Posi-Tics come in, "explodeColors" written, the expert time
// below the time limit, endless levels without an end, boards of digit rows, normal boards holding
// gunk, each appointment's date and description in the text table, and no week easier than the
// week before.
Report CheckCampaign(const LoadedTree& tree);

// Every ".swf" has a header the movie host reads whole: frame rate, frame count and background.
Report CheckMovies(const std::filesystem::path& root);

// Where a button family's caption may go, as the art generator records it in
// "images/captions.tsv": insets from the button's edges (negative past them) and a corner radius.
struct CaptionArea
{
    double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0, radius = 0.0;
};

// The rows of "images/captions.tsv" by image list name; a missing file and each malformed row are
// problems of the report.
std::map<std::string, CaptionArea> ReadCaptionAreas(const std::filesystem::path& root, Report& report);

// Every captioned button of every scene layout keeps its caption's ink (pixels at least half
// covered, in its font, where the engine centres it) inside the caption area of its images; a
// captioned button on images without an area is named too.
Report CheckCaptions(const LoadedTree& tree, const std::map<std::string, CaptionArea>& areas);

// Text of a colour value drawn on a highlight picture that lies on a panel (an image list, its
// middle piece when it has nine).
struct ContrastRule
{
    std::string group; // where the colour is defined
    std::string textColor;
    std::string highlight;
    std::string background;
    double minimum = 4.5;
};

// The contrast ratio of two opaque colours from their relative luminances: 1 to 21.
double ContrastRatio(const Kestrin::ColorF& a, const Kestrin::ColorF& b);

// Each rule's text against every pixel of the middle half of its highlight, laid over the mean
// colour of its panel, reaches the rule's minimum.
Report CheckContrast(const LoadedTree& tree, const std::vector<ContrastRule>& rules);

// How a picture's colour spreads over the hues: CIELAB's hue angle in whole degrees, each pixel
// weighted by its chroma and coverage, summing to 1 (all 0 for a picture without colour).
// `meanChroma` gets the chroma per covered pixel and `coverage` the pixels' summed alpha.
using HueHistogram = std::array<double, 360>;
HueHistogram HueHistogramOf(int w, int h, const std::function<uint32_t(int, int)>& pixel,
                            double* meanChroma = nullptr, double* coverage = nullptr);
// The least turning of hue, in degrees, that takes one spread to the other (the earth mover's
// distance on the hue circle): two single hues are their angle apart; 0 to 180.
double HueDistance(const HueHistogram& a, const HueHistogram& b);

// A creature's frames, which must all show the hues of its normal frame: the colour that tells the
// player which spool catches it.
struct HueRule
{
    std::string group;
    std::string spriteType;
    double bound;           // degrees
    int normalFrame = 1;    // at rest
    double minChroma = 8.0; // less per covered pixel and a frame has lost its colour
};

// Every frame of each rule's sprite type that shows anything stays within the rule's bound of the
// normal frame's hues and keeps some colour.
Report CheckCreatureHues(const LoadedTree& tree, const std::vector<HueRule>& rules);

// A movie a screen plays, as the screen names it ("name", or "name/label" for one film of a movie
// of several), and the group that is loaded whenever it plays.
struct MovieRule
{
    std::string movie;
    std::string group;
};

// Each rule's movie is in the tree as "<name>.swf" and has a poster: the first image the movie
// host looks for (MoviePosterNames, so a labelled film its own), defined by the rule's group.
Report CheckMoviePosters(const LoadedTree& tree, const std::vector<MovieRule>& rules);

// Every obstacle picture "X" of `group` (a name starting "obstacle_" or "obst_") has its shadow
// "X_shadow" of its size, and each generic one ("obst_...") its "X_xscale" and "X_yscale" floats.
Report CheckObstacles(const LoadedTree& tree, const std::string& group);

} // namespace DataCheck
