#pragma once

// Checks over a data tree as the game reads it: names the file index can serve, images through the
// engine's decoders, fonts through its font factory, resource groups through the resource manager and
// movies through the movie host's header parser.
// Each check answers what it looked at and every problem, named by the file's path under the root.

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace DataCheck
{

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
// them, its resources are counted in Report::pending instead of being reported. Empty while every
// kind the groups use is registered, so that an unregistered kind is an error.
const std::set<std::string>& KindsNotYetRegistered();

// The text table "AllGameText_Export.xml" at the root, then every "groups/<name>.xml" in name order,
// load into one resource manager with every factory the game registers: no load error (a name two
// groups define is one), no element of an unregistered kind but those of pendingKinds, every named
// element made, every image and sound file found, every alias and sound-list entry naming a
// resource loaded before it, every widget layout element of a widget kind and naming resources of
// the kinds it wants loaded before it, and every layout building into a scratch screen. CheckGroups counts the kinds of KindsNotYetRegistered.
Report CheckGroups(const std::filesystem::path& root);
Report CheckGroupsWithPendingKinds(const std::filesystem::path& root,
                                   const std::set<std::string>& pendingKinds);

// Every ".swf" has a header the movie host reads whole: frame rate, frame count and background.
Report CheckMovies(const std::filesystem::path& root);

} // namespace DataCheck
