// The checks over what a loaded tree holds: the names the game looks up, the scene layouts and
// the texts.
#include "harness/DataCheck.h"
#include "harness/DataCheckLog.h"

#include "Base/Stream.h"
#include "Base/Strings.h"
#include "Base/XMLReader.h"
#include "Framework/Names.h"
#include "Framework/ObjectDatabase.h"
#include "Framework/ResourceManager.h"
#include "Graphics/Font.h"
#include "Graphics/GraphicsResources.h"
#include "Graphics/ImageList.h"
#include "Graphics/StyledText.h"
#include "Platform/SoundResources.h"
#include "Scene/AnimatedSpriteNode.h"
#include "Scene/BackgroundNode.h"
#include "Scene/ButtonNode.h"
#include "Scene/CheckBoxNode.h"
#include "Scene/SceneLayout.h"
#include "Scene/SceneNode.h"
#include "Scene/SliderNode.h"
#include "Scene/SpriteType.h"
#include "Scene/StaticSpriteNode.h"
#include "Scene/StyledTextSpriteNode.h"
#include "Scene/TextEditNode.h"
#include "Scene/TextSpriteNode.h"
#include "UI/Layout.h"
#include "UI/UINames.h"

#include <algorithm>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace DataCheck
{

namespace
{

using Kestrin::IResourceDescriptor;

std::wstring Widen(const std::string& s)
{
    std::wstring out;
    for (unsigned char c : s)
        out += wchar_t(c);
    return out;
}

std::string Narrow(const std::wstring& s)
{
    return Kestrin::NarrowString(s);
}

// Code points as "U+00E9".
std::string CodePoint(wchar_t c)
{
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", unsigned(c));
    return text;
}

IResourceDescriptor* Find(const std::string& name)
{
    return Kestrin::ResourceManager::Instance()->Find(Kestrin::MakeName(name));
}

const char* KindWord(ResourceKind kind)
{
    switch (kind)
    {
    case ResourceKind::Image:
        return "image";
    case ResourceKind::ImageList:
        return "image list";
    case ResourceKind::Font:
        return "font";
    case ResourceKind::Sound:
        return "sound";
    case ResourceKind::SoundList:
        return "sound list";
    case ResourceKind::Float:
        return "float";
    case ResourceKind::Color:
        return "colour";
    case ResourceKind::String:
        return "string";
    case ResourceKind::SceneLayout:
        return "scene layout";
    case ResourceKind::WidgetLayout:
        return "widget layout";
    case ResourceKind::SpriteType:
        return "sprite type";
    }
    return "resource";
}

// Whether the resource is of the kind, through the typed look-up the game uses for it.
bool IsOfKind(const std::string& name, ResourceKind kind)
{
    using namespace Kestrin;
    switch (kind)
    {
    case ResourceKind::Image:
        return GetResource<IImage>(name).second != nullptr;
    case ResourceKind::ImageList:
        return GetResource<IImageList>(name).second != nullptr;
    case ResourceKind::Font:
        return GetResource<Font>(name).second != nullptr;
    case ResourceKind::Sound:
        return GetResource<ISound>(name).second != nullptr;
    case ResourceKind::SoundList:
        return GetResource<SoundList>(name).second != nullptr;
    case ResourceKind::Float:
        return GetValueResource<float>(name) != nullptr;
    case ResourceKind::Color:
        return GetValueResource<ColorF>(name) != nullptr;
    case ResourceKind::String:
        return GetValueResource<std::wstring>(name) != nullptr;
    case ResourceKind::SceneLayout:
        return GetSceneLayoutByString(name).second != nullptr;
    case ResourceKind::WidgetLayout:
        return GetResource<Layout>(name).second != nullptr;
    case ResourceKind::SpriteType:
        return GetSpriteType(name.c_str()).second != nullptr;
    }
    return false;
}

std::string CountRange(const NameRule& rule)
{
    if (rule.maxCount == rule.minCount)
        return "exactly " + std::to_string(rule.minCount);
    if (rule.maxCount < 0)
        return "at least " + std::to_string(rule.minCount);
    return std::to_string(rule.minCount) + " to " + std::to_string(rule.maxCount);
}

void CheckCountAndMembers(const std::string& file, const std::string& what, const NameRule& rule,
                          Report& report)
{
    using namespace Kestrin;
    int count = -1;
    if (rule.kind == ResourceKind::ImageList)
        count = GetResource<IImageList>(rule.name).second->Count();
    if (rule.kind == ResourceKind::SpriteType)
    {
        const SpriteType* type = GetSpriteType(rule.name.c_str()).second;
        count = type->GetImageList() ? type->GetImageList()->Count() : 0;
        for (const std::string& animation : rule.members)
            if (!type->FindAnimation(MakeName(animation)))
                report.Add(file, what + " has no animation \"" + animation + "\"");
        for (const std::string& animation : rule.finite)
            if (const SpriteAnimation* found = type->FindAnimation(MakeName(animation));
                found && found->plays <= 0)
                report.Add(file, what + ": animation \"" + animation + "\" plays for ever, but must end");
    }
    if (rule.kind == ResourceKind::SoundList)
    {
        const SoundList* list = GetResource<SoundList>(rule.name).second;
        for (const std::string& event : rule.members)
            if (!list->Get(Widen(event)))
                report.Add(file, what + " has no sound for the event \"" + event + "\"");
    }
    if (count >= 0 && (count < rule.minCount || (rule.maxCount >= 0 && count > rule.maxCount)))
        report.Add(file, what + " has " + std::to_string(count) + " frames, wants " + CountRange(rule));
}

} // namespace

Report CheckNameContract(const LoadedTree& tree, const std::vector<NameRule>& rules)
{
    Report report;
    for (const NameRule& rule : rules)
    {
        ++report.checked;
        const std::string file = tree.FileOf(rule.group);
        const std::string what = std::string(KindWord(rule.kind)) + " \"" + rule.name + "\"";
        IResourceDescriptor* found = Find(rule.name);
        if (!found)
        {
            report.Add(file, "defines no " + what);
            continue;
        }
        const std::string source = Narrow(found->GetSource());
        if (Lower(source) != Lower(rule.group))
        {
            report.Add(file, "defines no " + what + ": " + tree.FileOf(source) + " defines it");
            continue;
        }
        if (!IsOfKind(rule.name, rule.kind))
        {
            report.Add(file, "\"" + rule.name + "\" is no " + KindWord(rule.kind));
            continue;
        }
        CheckCountAndMembers(file, what, rule, report);
    }
    return report;
}

namespace
{

// ---- scene layouts ----

const std::set<std::wstring> kHorizontalWords{L"left", L"center", L"right"};
const std::set<std::wstring> kVerticalWords{L"top", L"middle", L"bottom"};

// Attribute words the engine reads, each an exact word from a list; any other word silently
// counts as the first.
const std::map<std::wstring, std::set<std::wstring>>& WordAttributes()
{
    static const std::map<std::wstring, std::set<std::wstring>> words = []
    {
        std::map<std::wstring, std::set<std::wstring>> w;
        for (const wchar_t* name :
             {L"parentHAlign", L"selfHAlign", L"rotateHAlign", L"scaleHAlign", L"textJustify"})
            w[name] = kHorizontalWords;
        for (const wchar_t* name : {L"parentVAlign", L"selfVAlign", L"rotateVAlign", L"scaleVAlign"})
            w[name] = kVerticalWords;
        w[L"direction"] = {Kestrin::MeterDirectionWords.begin(), Kestrin::MeterDirectionWords.end()};
        w[L"textMode"] = {L"plain", L"outline", L"dropShadow"};
        w[L"gridGrowBehavior"] = {L"horizontalFirst", L"verticalFirst"};
        for (const wchar_t* name :
             {L"visible", L"hitTest", L"centerOnParent", L"centerHOnParent", L"centerVOnParent",
              L"captureOnMouseDown", L"filled", L"useSharedAnimationController"})
            w[name] = {L"true", L"false"};
        return w;
    }();
    return words;
}

bool IsColor(const std::wstring& text)
{
    return text.size() == 9 && text[0] == L'#' &&
           std::all_of(text.begin() + 1, text.end(), [](wchar_t c) { return std::iswxdigit(c) != 0; });
}

const std::set<std::wstring> kColorAttributes{L"color", L"bgColor", L"textColor", L"selectedTextColor"};

struct Reference
{
    const wchar_t* attribute;
    ResourceKind kind;
};

// The attributes of layout nodes that name resources, with the kind each must be.
const Reference kReferences[] = {
    {L"src", ResourceKind::Image},
    {L"images", ResourceKind::ImageList},
    {L"channelImages", ResourceKind::ImageList},
    {L"thumbImages", ResourceKind::ImageList},
    {L"fieldImages", ResourceKind::ImageList},
    {L"upArrowImages", ResourceKind::ImageList},
    {L"downArrowImages", ResourceKind::ImageList},
    {L"cursorImage", ResourceKind::Image},
    {L"spriteType", ResourceKind::SpriteType},
    {L"font", ResourceKind::Font},
    {L"sounds", ResourceKind::SoundList},
    {L"textResource", ResourceKind::String},
    {L"scenename", ResourceKind::SceneLayout},
};

// Where a problem in a layout is: its name and the node's kind and node name.
std::string NodePlace(const std::string& layout, const Kestrin::XMLElement& node)
{
    const std::string nodeName = Narrow(node.GetString(L"nodeName"));
    return "layout \"" + layout + "\": " + Narrow(node.GetName()) +
           (nodeName.empty() ? std::string() : " \"" + nodeName + "\"");
}

void CheckNodeElement(const std::string& file, const std::string& layout, const std::string& group,
                      bool ownGroupOnly, const Kestrin::XMLElement& node, Report& report)
{
    const std::string place = NodePlace(layout, node);
    for (const auto& [attribute, value] : node.GetAttributes())
    {
        if (auto words = WordAttributes().find(attribute);
            words != WordAttributes().end() && !words->second.count(value))
            report.Add(file, place + ": " + Narrow(attribute) + " \"" + Narrow(value) +
                                 "\" is no word the engine knows");
        if (kColorAttributes.count(attribute) && !IsColor(value))
            report.Add(file, place + ": " + Narrow(attribute) + " \"" + Narrow(value) +
                                 "\" is no #RRGGBBAA colour");
    }
    for (const Reference& r : kReferences)
    {
        if (!node.HasAttribute(r.attribute))
            continue;
        const std::string name = Narrow(node.GetString(r.attribute));
        IResourceDescriptor* found = Find(name);
        if (!found || !IsOfKind(name, r.kind))
        {
            report.Add(file,
                       place + ": " + Narrow(r.attribute) + " \"" + name + "\" is no " + KindWord(r.kind));
            continue;
        }
        const std::string source = Lower(Narrow(found->GetSource()));
        if (ownGroupOnly && source != Lower(group) && source != Lower(GameLoadOrder().front()))
            report.Add(file, place + ": " + Narrow(r.attribute) + " \"" + name + "\" comes from group \"" +
                                 Narrow(found->GetSource()) + "\", not yet loaded when the layout is built");
    }
    if (node.HasAttribute(L"initialAnimation"))
    {
        const SpriteType* type = GetSpriteType(node.GetString(L"spriteType")).second;
        const std::wstring animation = node.GetString(L"initialAnimation");
        if (type && !type->FindAnimation(Kestrin::MakeNameFromWString(animation)))
            report.Add(file, place + ": initialAnimation \"" + Narrow(animation) + "\" is no animation of " +
                                 Narrow(node.GetString(L"spriteType")));
    }
}

// Frame lists are read as written, before the XML reader turns line breaks into blanks.
void CheckFrameLists(const GroupFile& group, Report& report)
{
    static const std::regex frameList(R"(frameList\s*=\s*"([^"]*)\")");
    for (auto it = std::sregex_iterator(group.bytes.begin(), group.bytes.end(), frameList);
         it != std::sregex_iterator(); ++it)
    {
        const std::string value = (*it)[1].str();
        if (value.find_first_of("\r\n") != std::string::npos || value.find("&#") != std::string::npos)
            report.Add(group.file, "frameList \"" + value + "\" holds a line break or a character reference");
    }
}

// Every node element inside a "scenelayout", and the values of colour resources.
void CheckLayoutElements(const GroupFile& group, const std::map<std::string, bool>& ownGroupOnly,
                         Report& report)
{
    CheckFrameLists(group, report);
    Kestrin::MemoryStream stream(Widen(group.group), group.bytes.data(), uint32_t(group.bytes.size()));
    Kestrin::XMLReader reader(&stream);
    int depth = 0;
    int layoutDepth = -1;
    std::string layout;
    bool ownOnly = false;
    try
    {
        while (!reader.IsAtEnd())
        {
            Kestrin::XMLElement* node = reader.Next();
            if (!node)
                break;
            if (node->IsEnd())
            {
                if (--depth == layoutDepth)
                    layoutDepth = -1;
                continue;
            }
            if (!node->IsStart())
                continue;
            if (layoutDepth >= 0)
                CheckNodeElement(group.file, layout, group.group, ownOnly, *node, report);
            else if (node->GetName() == L"scenelayout")
            {
                layoutDepth = depth;
                layout = Narrow(node->GetString(L"name"));
                auto it = ownGroupOnly.find(Lower(layout));
                ownOnly = it != ownGroupOnly.end() && it->second;
            }
            else if ((node->GetName() == L"colorf" || node->GetName() == L"colori") &&
                     !IsColor(node->GetString(L"value")))
                report.Add(group.file, Narrow(node->GetName()) + " \"" + Narrow(node->GetString(L"name")) +
                                           "\": \"" + Narrow(node->GetString(L"value")) +
                                           "\" is no #RRGGBBAA colour");
            ++depth;
        }
    }
    catch (const std::exception& e)
    {
        report.Add(group.file, std::string("does not read as XML: ") + e.what());
    }
}

// Two children of one node with one node name: a path finds only the first.
void CheckSiblingNames(const std::string& file, const std::string& layout, SceneNode* node, Report& report)
{
    std::set<Kestrin::NameId> seen;
    for (SceneNode* child = node->GetFirstChild(); child; child = child->GetNextSibling())
    {
        const Kestrin::NameId name = child->GetNodeName();
        if (name && !seen.insert(name).second)
            report.Add(file, "layout \"" + layout + "\": two children of \"" +
                                 (node->GetNodeName() ? node->GetNodeName().c_str() : "") +
                                 "\" are named \"" + name.c_str() + "\"");
        CheckSiblingNames(file, layout, child, report);
    }
}

bool IsNodeOfKind(Kestrin::Object* object, NodeKind kind)
{
    auto* node = dynamic_cast<SceneNode*>(object);
    switch (kind)
    {
    case NodeKind::Any:
        return node != nullptr;
    case NodeKind::StaticSprite:
        return dynamic_cast<StaticSpriteNode*>(node) != nullptr;
    case NodeKind::AnimatedSprite:
        return dynamic_cast<AnimatedSpriteNode*>(node) != nullptr;
    case NodeKind::TextSprite:
        return dynamic_cast<TextSpriteNode*>(node) != nullptr;
    case NodeKind::StyledTextSprite:
        return dynamic_cast<StyledTextSpriteNode*>(node) != nullptr;
    case NodeKind::Button:
        return dynamic_cast<ButtonNode*>(node) != nullptr;
    case NodeKind::Background:
        return dynamic_cast<BackgroundNode*>(node) != nullptr;
    case NodeKind::CheckBox:
        return dynamic_cast<CheckBoxNode*>(node) != nullptr;
    case NodeKind::Slider:
        return dynamic_cast<SliderNode*>(node) != nullptr;
    case NodeKind::TextEdit:
        return dynamic_cast<TextEditNode*>(node) != nullptr;
    }
    return false;
}

const char* NodeKindWord(NodeKind kind)
{
    switch (kind)
    {
    case NodeKind::Any:
        return "scene node";
    case NodeKind::StaticSprite:
        return "staticspritenode";
    case NodeKind::AnimatedSprite:
        return "animatedspritenode";
    case NodeKind::TextSprite:
        return "textspritenode";
    case NodeKind::StyledTextSprite:
        return "styledtextspritenode";
    case NodeKind::Button:
        return "buttonnode";
    case NodeKind::Background:
        return "backgroundnode";
    case NodeKind::CheckBox:
        return "checkboxnode";
    case NodeKind::Slider:
        return "slidernode";
    case NodeKind::TextEdit:
        return "texteditnode";
    }
    return "node";
}

std::vector<std::string> SplitPath(const std::string& path)
{
    std::vector<std::string> steps;
    std::istringstream in(path);
    for (std::string step; std::getline(in, step, '/');)
        steps.push_back(step);
    return steps;
}

// The layout's node at the path; "*" first stands for the layout's root.
SceneNode* FindPath(SceneNode* layoutRoot, const std::string& path)
{
    std::vector<std::string> steps = SplitPath(path);
    if (steps.empty() || !layoutRoot)
        return nullptr;
    if (steps.front() != "*")
    {
        const Kestrin::NameId rootName = layoutRoot->GetNodeName();
        if (!rootName || Lower(rootName.c_str()) != Lower(steps.front()))
            return nullptr;
    }
    std::vector<SceneNode::PathElement> elements;
    for (size_t i = 1; i < steps.size(); ++i)
        elements.emplace_back(steps[i]);
    elements.emplace_back(SceneNode::EndOfPath);
    return SceneNode::FindNode(layoutRoot, elements.data());
}

// Builds the layout into a scratch screen and checks what it built; then the rule's nodes.
void CheckBuiltLayout(const std::string& file, const std::string& name, const LayoutRule* rule,
                      Report& report)
{
    const SceneLayout* layout = GetSceneLayoutByString(name).second;
    if (!layout)
        return; // the name contract or the load reports it
    LogLines log;
    Kestrin::ObjectDatabase screen;
    Kestrin::ScopedCurrentObjectDatabase scope(&screen);
    auto* root = new SceneNode;
    screen.AddObject(root);
    SceneNode* built = nullptr;
    try
    {
        built = layout->Instantiate(screen, root);
    }
    catch (const std::exception& e)
    {
        report.Add(file, "layout \"" + name + "\" does not build: " + e.what());
        return;
    }
    const std::string said = log.Text();
    if (!said.empty())
        report.Add(file, "layout \"" + name + "\" logs while it builds" + Because(log));
    CheckSiblingNames(file, name, root, report);
    if (!rule)
        return;
    for (const NodeRule& path : rule->paths)
    {
        SceneNode* node = FindPath(built, path.path);
        if (!node)
            report.Add(file, "layout \"" + name + "\" has no node at \"" + path.path + "\"");
        else if (!IsNodeOfKind(node, path.kind))
            report.Add(file,
                       "layout \"" + name + "\": \"" + path.path + "\" is no " + NodeKindWord(path.kind));
    }
    for (const NodeRule& object : rule->objects)
    {
        Kestrin::Object* found = screen.FindObject(Kestrin::MakeName(object.path));
        if (!found)
            report.Add(file, "layout \"" + name + "\" has no object named \"" + object.path + "\"");
        else if (!IsNodeOfKind(found, object.kind))
            report.Add(file, "layout \"" + name + "\": object \"" + object.path + "\" is no " +
                                 NodeKindWord(object.kind));
    }
}

} // namespace

Report CheckLayouts(const LoadedTree& tree, const std::vector<LayoutRule>& rules)
{
    Report report;
    std::map<std::string, bool> ownGroupOnly;
    std::map<std::string, const LayoutRule*> byLayout;
    for (const LayoutRule& rule : rules)
    {
        ownGroupOnly[Lower(rule.layout)] = rule.ownGroupOnly;
        byLayout[Lower(rule.layout)] = &rule;
    }
    for (const GroupFile& group : tree.Groups())
        CheckLayoutElements(group, ownGroupOnly, report);

    std::set<std::string> built;
    for (const LoadedEntry& entry : tree.Entries())
    {
        if (entry.kind != "scenelayout")
            continue;
        ++report.checked;
        auto rule = byLayout.find(Lower(entry.name));
        CheckBuiltLayout(entry.file, entry.name, rule == byLayout.end() ? nullptr : rule->second, report);
        built.insert(Lower(entry.name));
    }
    for (const LayoutRule& rule : rules)
        if (!built.count(Lower(rule.layout)))
            report.Add(tree.FileOf(rule.group), "defines no scene layout \"" + rule.layout + "\"");
    return report;
}

namespace
{

// ---- texts ----

std::wstring Lowered(std::wstring text)
{
    for (wchar_t& c : text)
        c = c >= L'A' && c <= L'Z' ? wchar_t(c - L'A' + L'a') : c;
    return text;
}

struct ShownText
{
    std::string file;
    std::string where;
    std::wstring text;
};

// The texts of the text table, and those written into layouts, with where they come from.
std::vector<ShownText> CollectTexts(const LoadedTree& tree)
{
    std::vector<ShownText> texts;
    for (const LoadedEntry& entry : tree.Entries())
        if (entry.kind == "string")
            if (auto* value = Kestrin::GetValueResource<std::wstring>(entry.name))
                texts.push_back({entry.file, "string \"" + entry.name + "\"", value->value});
    for (const GroupFile& group : tree.Groups())
    {
        Kestrin::MemoryStream stream(Widen(group.group), group.bytes.data(), uint32_t(group.bytes.size()));
        Kestrin::XMLReader reader(&stream);
        try
        {
            while (!reader.IsAtEnd())
            {
                Kestrin::XMLElement* node = reader.Next();
                if (!node)
                    break;
                if (node->IsStart() && node->HasAttribute(L"text") && node->GetName() != L"string")
                    texts.push_back(
                        {group.file,
                         Narrow(node->GetName()) + " \"" + Narrow(node->GetString(L"nodeName")) + "\" text",
                         node->GetString(L"text")});
            }
        }
        catch (const std::exception&)
        {
            // CheckLayouts reports a file that is no XML.
        }
    }
    return texts;
}

std::vector<std::pair<std::string, const Kestrin::ImageFont*>> LoadedFonts(const LoadedTree& tree)
{
    std::vector<std::pair<std::string, const Kestrin::ImageFont*>> fonts;
    for (const LoadedEntry& entry : tree.Entries())
        if (entry.kind == "font")
            if (auto* font =
                    dynamic_cast<Kestrin::ImageFont*>(Kestrin::GetResource<Kestrin::Font>(entry.name).second))
                fonts.emplace_back(entry.name, font);
    return fonts;
}

} // namespace

Report CheckText(const LoadedTree& tree, const std::vector<std::string>& requiredKeys,
                 const std::vector<std::string>& labelKeys, const std::vector<GoalTextRule>& goalRules)
{
    Report report;
    const std::string table = tree.FileOf(GameLoadOrder().front());
    for (const std::string& key : requiredKeys)
    {
        ++report.checked;
        if (!Kestrin::GetValueResource<std::wstring>(key))
            report.Add(table, "has no string \"" + key + "\"");
    }
    for (const std::string& key : labelKeys)
        if (auto* value = Kestrin::GetValueResource<std::wstring>(key);
            value && !value->value.ends_with(L' '))
            report.Add(table,
                       "string \"" + key + "\" is followed by a time or a number: end it with a blank");

    const auto fonts = LoadedFonts(tree);
    for (const ShownText& shown : CollectTexts(tree))
    {
        ++report.checked;
        std::set<wchar_t> outside, noGlyph;
        for (wchar_t c : shown.text)
        {
            if (c > 0xFF || (c < 0x20 && c != L'\n'))
            {
                outside.insert(c);
                continue;
            }
            if (c == L' ' || c == L'\n')
                continue;
            for (const auto& [name, font] : fonts)
                if (font->glyphs[size_t(c)].width <= 0)
                    noGlyph.insert(c);
        }
        for (wchar_t c : outside)
            report.Add(shown.file,
                       shown.where + " holds " + CodePoint(c) + ", outside Latin-1 or a control character");
        for (wchar_t c : noGlyph)
            for (const auto& [name, font] : fonts)
                if (font->glyphs[size_t(c)].width <= 0)
                    report.Add(shown.file, shown.where + " holds " + CodePoint(c) + ", which font \"" + name +
                                               "\" has no glyph for");

        std::vector<Kestrin::StyledTextRun> runs;
        try
        {
            Kestrin::ParseStyledText(shown.text, runs, Kestrin::TextStyle());
        }
        catch (const std::exception& e)
        {
            report.Add(shown.file, shown.where + " is no well-formed styled text: " + e.what());
        }
        for (const Kestrin::StyledTextRun& run : runs)
            if (run.style.font && !Kestrin::GetResource<Kestrin::Font>(run.style.font).second)
                report.Add(shown.file, shown.where + " names the font \"" + run.style.font.c_str() +
                                           "\", which is not loaded");

        if (shown.where.ends_with(".dateandtime\"") && shown.text.find(L',') == std::wstring::npos)
            report.Add(shown.file, shown.where + " has no \",\": the day screen cuts the date at the first");
        if (Lowered(shown.text).find(L"enough tics") != std::wstring::npos)
            report.Add(shown.file, shown.where +
                                       " promises a win for enough Tics: a session is won by the gunk "
                                       "cleaned and every Tic caught");
    }

    for (const GoalTextRule& rule : goalRules)
    {
        ++report.checked;
        const auto* value = Kestrin::GetValueResource<std::wstring>(rule.key);
        if (!value)
        {
            report.Add(table, "has no string \"" + rule.key + "\"");
            continue;
        }
        const std::wstring text = Lowered(value->value);
        size_t at = 0;
        std::string wanted;
        bool said = true;
        for (const std::string& word : rule.words)
        {
            wanted += (wanted.empty() ? "\"" : ", then \"") + word + "\"";
            at = text.find(Lowered(Widen(word)), at);
            said = said && at != std::wstring::npos;
            at = said ? at + word.size() : 0;
        }
        if (!said)
            report.Add(table,
                       "string \"" + rule.key + "\" tells how a session is won, but does not say " + wanted);
    }
    return report;
}

Report CheckObstacles(const LoadedTree& tree, const std::string& group)
{
    using namespace Kestrin;
    Report report;
    const std::string file = tree.FileOf(group);
    for (const LoadedEntry& entry : tree.Entries())
    {
        const bool generic = entry.name.starts_with("obst_");
        if (entry.file != file || entry.kind != "image" || entry.name.ends_with("_shadow") ||
            !(generic || entry.name.starts_with("obstacle_")))
            continue;
        ++report.checked;
        const IImage* image = GetResource<IImage>(entry.name).second;
        const IImage* shadow = GetResource<IImage>(entry.name + "_shadow").second;
        if (!shadow)
            report.Add(file, "obstacle \"" + entry.name + "\" has no image \"" + entry.name + "_shadow\"");
        else if (image &&
                 (shadow->GetWidth() != image->GetWidth() || shadow->GetHeight() != image->GetHeight()))
            report.Add(file, "obstacle \"" + entry.name + "\": its shadow is not of its size");
        if (generic)
            for (const char* axis : {"_xscale", "_yscale"})
                if (!GetValueResource<float>(entry.name + axis))
                    report.Add(file,
                               "obstacle \"" + entry.name + "\" has no float \"" + entry.name + axis + "\"");
    }
    return report;
}

} // namespace DataCheck
