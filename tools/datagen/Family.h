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
};

struct FamilyArt
{
    std::vector<Resource> resources;
    // Shown on the contact sheet only: the pieces put together as the engine draws them.
    std::vector<ImageFile> previews;
};

struct Family
{
    std::string name;
    // Resource group: images go to images/<group>/; the records of "resources" are written into
    // groups/resources.xml, other groups' records are written by hand.
    std::string group;
    FamilyArt (*paint)();
};

// Every family, in the order their records are written.
const std::vector<Family>& Families();

const char* Extension(Format format);
} // namespace DataGen
