#pragma once
// A family is one recipe that paints a set of related resources (a button in its five states,
// a nine-slice panel). Families are listed once, in Families.cpp.
#include "Canvas.h"

#include <string>
#include <vector>

namespace DataGen
{
enum class Format
{
    Png,
    Jpeg,
    Gif
};

struct ImageFile
{
    std::string stem; // bare file name without extension: unique in the whole data tree
    Format format = Format::Png;
    Canvas canvas;
    std::string label; // caption on the contact sheet
};

struct Resource
{
    enum class Kind
    {
        Image,
        ImageList
    };
    Kind kind = Kind::Image;
    std::string name;
    std::vector<ImageFile> frames; // an image has exactly one
    // Written beside the frames but not named in the record (a JPEG's "_mask" file).
    std::vector<ImageFile> companions;
    // Cached turned copies the engine makes of each picture ("rotations"); none when below 2.
    int rotations = 0;
};

// Where a button's caption may go: the inside of its stitched outline, as insets from the
// image's edges (a negative one runs past the image) and the outline's corner radius.
struct CaptionArea
{
    std::string images; // the image list the buttons name
    double left = 0.0, top = 0.0, right = 0.0, bottom = 0.0, radius = 0.0;
};

struct FamilyArt
{
    std::vector<Resource> resources;
    // Buttons that carry a caption: written to images/captions.tsv for the data check.
    std::vector<CaptionArea> captions;
    // Shown on the contact sheet only: the pieces put together as the engine draws them.
    std::vector<ImageFile> previews;
    // Frames and previews larger than 200 px are shown at this scale on the contact sheet, so
    // families of many big pictures stay reviewable at a glance.
    double sheetScale = 1.0;
    // Single pictures share rows on the contact sheet instead of a row each.
    bool compactSheet = false;
    // The contact sheet shows the previews alone: for families of many small frames, whose
    // previews put them side by side.
    bool sheetPreviewsOnly = false;
    // Records derived from the pictures (animation lists, sprite types, values), written into
    // the group file's sprite section, after its image section.
    std::string records;
};

class TextTable;

struct Family
{
    std::string name;
    // Resource group: images go to images/<group>/ and their records into the image section of
    // groups/<group>.xml.
    std::string group;
    FamilyArt (*paint)() = nullptr;
    // Families that bake text into their pictures read it from the text table instead.
    FamilyArt (*paintText)(const TextTable&) = nullptr;
};

// Every family, in the order their records are written.
const std::vector<Family>& Families();

// Paints `family`; a family that bakes text needs `text` and throws without it.
FamilyArt PaintFamily(const Family& family, const TextTable* text);

const char* Extension(Format format);
} // namespace DataGen
