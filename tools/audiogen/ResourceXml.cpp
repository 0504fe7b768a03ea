#include "ResourceXml.h"

#include "Composer.h"
#include "Sounds.h"

#include <charconv>
#include <stdexcept>

namespace AudioGen
{
namespace
{
std::string Number(double v)
{
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string VolumeAttribute(double v)
{
    return v == 1.0 ? "" : " volume=\"" + Number(v) + "\"";
}

const char* RootOpen = "<resources>";
const char* RootClose = "</resources>";
} // namespace

std::string SectionBegin(const std::string& name)
{
    return "<!-- begin " + name + " section -->";
}
std::string SectionEnd(const std::string& name)
{
    return "<!-- end " + name + " section -->";
}

std::string AudioResourceSection()
{
    std::string x = SectionBegin("audio") + "\n";
    x += "<!-- Written by tools/audiogen: sounds before the sound lists that name them. -->\n";
    for (const SoundSpec& s : Effects())
    {
        x += "<sound name=\"" + s.resource + "\" src=\"" + s.file + "\" type=\"effect\"" +
             VolumeAttribute(s.volume);
        if (s.loops)
            x += " loop=\"forever\"";
        x += "/>\n";
    }
    x += "<randomsound name=\"AmbientGameSounds\" type=\"ambient\" volume=\"0.6\">\n";
    for (const SoundSpec& s : AmbientFiles())
        x += "  <sound src=\"" + s.file + "\"/>\n";
    x += "</randomsound>\n";
    for (const TrackSpec& t : Tracks())
        x += "<sound name=\"" + t.resource + "\" src=\"" + t.resource + "\" type=\"music\" loop=\"" +
             (t.loops ? "forever" : "1") + "\"/>\n";
    x += "<soundlist name=\"AllUIButtonSounds\">\n"
         "  <sound event=\"Hot\" src=\"SFX_UI_Hot\"/>\n"
         "  <sound event=\"Down\" src=\"SFX_UI_Down\"/>\n"
         "</soundlist>\n"
         "<soundlist name=\"PageFlipButtonSounds\">\n"
         "  <sound event=\"Hot\" src=\"SFX_UI_Hot\"/>\n"
         "  <sound event=\"Down\" src=\"SFX_UI_PageFlip\"/>\n"
         "</soundlist>\n"
         "<soundlist name=\"CheckBoxSounds\">\n"
         "  <sound event=\"Hot\" src=\"SFX_UI_Hot\"/>\n"
         "  <sound event=\"Down\" src=\"SFX_UI_Down\"/>\n"
         "  <sound event=\"Checked\" src=\"SFX_UI_Check\"/>\n"
         "  <sound event=\"Unchecked\" src=\"SFX_UI_Uncheck\"/>\n"
         "</soundlist>\n"
         "<soundlist name=\"SliderSounds\">\n"
         "  <sound event=\"Hot\" src=\"SFX_UI_Hot\"/>\n"
         "  <sound event=\"Down\" src=\"SFX_UI_Down\"/>\n"
         "  <sound event=\"Snap\" src=\"SFX_UI_Tick\"/>\n"
         "</soundlist>\n"
         "<float name=\"baseMelodyVolume\" value=\"0.35\"/>\n"
         "<float name=\"baseRhythmVolume\" value=\"0.8\"/>\n"
         "<float name=\"ambientDelayMin\" value=\"8\"/>\n"
         "<float name=\"ambientDelayMax\" value=\"20\"/>\n";
    x += SectionEnd("audio") + "\n";
    return x;
}

std::string SpliceSection(const std::string& existing, const std::string& name, const std::string& section)
{
    if (existing.empty())
    {
        return std::string(
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<!-- Generated file: do not edit. Each generator under tools/ rewrites only its own\n"
                   "     section; see data/README.md. -->\n") +
               RootOpen + "\n" + section + RootClose + "\n";
    }
    const std::string begin = SectionBegin(name), end = SectionEnd(name);
    const size_t b = existing.find(begin);
    const size_t e = existing.find(end);
    if (b != std::string::npos || e != std::string::npos)
    {
        if (b == std::string::npos || e == std::string::npos || e < b ||
            existing.find(begin, b + 1) != std::string::npos)
            throw std::runtime_error("resource file has unbalanced markers for the " + name + " section");
        size_t after = e + end.size();
        if (after < existing.size() && existing[after] == '\n')
            ++after;
        return existing.substr(0, b) + section + existing.substr(after);
    }
    const size_t close = existing.rfind(RootClose);
    if (close == std::string::npos || existing.find(RootOpen) == std::string::npos)
        throw std::runtime_error("resource file has no <resources> root to add the " + name + " section to");
    return existing.substr(0, close) + section + existing.substr(close);
}

std::string ExtractSection(const std::string& file, const std::string& name)
{
    const std::string begin = SectionBegin(name), end = SectionEnd(name);
    const size_t b = file.find(begin);
    const size_t e = file.find(end);
    if (b == std::string::npos || e == std::string::npos || e < b)
        return {};
    size_t after = e + end.size();
    if (after < file.size() && file[after] == '\n')
        ++after;
    return file.substr(b, after - b);
}
} // namespace AudioGen
