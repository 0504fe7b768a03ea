#include "harness/DataCheck.h"
#include "harness/ScreenTables.h"

#include "Screens/ScreenNodes.h"

#include <libxml++/libxml++.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace fs = std::filesystem;

namespace
{

std::vector<std::string> Steps(std::string_view path)
{
    std::vector<std::string> steps;
    while (!path.empty())
    {
        const size_t slash = path.find('/');
        steps.emplace_back(path.substr(0, slash));
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    }
    return steps;
}

xmlpp::Element* ChildNamed(xmlpp::Element* parent, const std::string& name)
{
    for (xmlpp::Node* child : parent->get_children())
    {
        auto* element = dynamic_cast<xmlpp::Element*>(child);
        if (element && (name == "*" || element->get_attribute_value("nodeName") == name))
            return element;
    }
    return nullptr;
}

// The element of the row's node in one of its layouts, found before any is renamed.
xmlpp::Element* FindRowElement(xmlpp::Document& document, const ScreenNodeRow& row,
                               const ScreenLayoutRow& layout)
{
    for (xmlpp::Node* child : document.get_root_node()->get_children())
    {
        auto* element = dynamic_cast<xmlpp::Element*>(child);
        if (!element || element->get_name() != "scenelayout" ||
            element->get_attribute_value("name") != layout.layout)
            continue;
        xmlpp::Element* node = element;
        for (const std::string& step : Steps(row.path))
            if (node)
                node = ChildNamed(node, step);
        return node;
    }
    return nullptr;
}

} // namespace

// Every node a screen looks up, renamed in a copy of the committed tree, fails the layout check
// with its path and layout named: the screens and the check read one table.
TEST(ScreenNodeTable, EachRenamedNodeIsNamedByTheLayoutCheck)
{
    std::string pattern = (fs::temp_directory_path() / "screennodes-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    const fs::path tree = pattern;
    fs::copy(fs::path(KESTRIN_SOURCE_DIR) / "data", tree, fs::copy_options::recursive);

    // Each row in each of its layouts.
    std::vector<std::pair<const ScreenNodeRow*, const ScreenLayoutRow*>> uses;
    for (const ScreenNodeRow& row : ScreenNodeRows)
        for (const ScreenLayoutRow& layout : ScreenLayoutRows)
            if (row.layouts.Has(layout.id))
                uses.emplace_back(&row, &layout);

    std::map<std::string, std::unique_ptr<xmlpp::DomParser>> files;
    std::vector<xmlpp::Element*> targets;
    for (auto [row, layout] : uses)
    {
        const std::string file = "groups/" + std::string(layout->group) + ".xml";
        auto& parser = files[file];
        if (!parser)
            parser = std::make_unique<xmlpp::DomParser>((tree / file).string());
        xmlpp::Element* element = FindRowElement(*parser->get_document(), *row, *layout);
        ASSERT_NE(element, nullptr) << row->path << " is not in " << layout->layout;
        targets.push_back(element);
    }
    // Renamed only once all are found, as a row below another row's node would not be found after.
    for (xmlpp::Element* element : targets)
        if (element->get_attribute("nodeName"))
            element->set_attribute("nodeName", element->get_attribute_value("nodeName") + "_renamed");
        else
            element->set_attribute("nodeName", "renamed");
    for (auto& [file, parser] : files)
        parser->get_document()->write_to_file((tree / file).string());

    DataCheck::Report report;
    {
        const DataCheck::LoadedTree loaded(tree);
        report = DataCheck::CheckLayouts(loaded, DataCheck::ScreenLayoutRules());
    }
    for (auto [row, layout] : uses)
    {
        const std::string file = "groups/" + std::string(layout->group) + ".xml";
        const std::string what = "layout \"" + std::string(layout->layout) + "\" has no node at \"" +
                                 std::string(row->path) + "\"";
        const bool named =
            std::any_of(report.problems.begin(), report.problems.end(),
                        [&](const DataCheck::Problem& p) { return p.file == file && p.what == what; });
        EXPECT_TRUE(named) << file << ": " << what;
    }
    fs::remove_all(tree);
}
