#pragma once
#include "Framework/Names.h"

#include <deque>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace Kestrin
{
class IXMLReader;
class XMLElement;
class XMLElementReader;
} // namespace Kestrin

// One frame of a sprite animation: an index into the sprite's image list and how long it shows.
struct SpriteAnimationFrame
{
    int index = 0;
    float duration = 1.0f;

    friend bool operator==(const SpriteAnimationFrame&, const SpriteAnimationFrame&) = default;
};

// Shortest frame we keep. Anything shorter would make the controller step through thousands of
// frames per update for no visible difference.
constexpr float MinSpriteFrameDuration = 1e-4f;

// The longest list a frame range may expand to; authored data stays far below it.
constexpr size_t MaxSpriteFrameCount = 65536;

// One named animation as read from an "animation" element.
struct SpriteAnimation
{
    // One play, no ping-pong, no names, and the default frame {0, 1 s}; a map of records
    // default-constructs its missing entries this way.
    SpriteAnimation() : SpriteAnimation(1, false, {}, {}) {}
    SpriteAnimation(int plays, bool pingPong, Kestrin::NameId name, Kestrin::NameId linkedName);

    Kestrin::NameId name;
    // Never empty once read.
    std::vector<SpriteAnimationFrame> frames;
    // -1 plays for ever.
    int plays;
    bool pingPong;
    Kestrin::NameId linkedName;
    // Set by the holder of the set once every animation is read; null until then.
    const SpriteAnimation* linkedAnimation = nullptr;
};

// Animations of one sprite type or animation list, by name.
using SpriteAnimationMap = std::map<Kestrin::NameId, SpriteAnimation>;

// A malformed frame list. Readers further out add their own names and rebuild the text.
class AnimationParseError : public std::runtime_error
{
public:
    AnimationParseError(std::string detail, std::string animationName = {}, std::string spriteTypeName = {});

    const char* what() const noexcept override { return m_message.c_str(); }

    // Rebuilds what() from the fields; call after changing one.
    void FormatMessage();

    const std::string& GetSpriteTypeName() const { return m_spriteTypeName; }
    const std::string& GetAnimationListName() const { return m_animationListName; }
    const std::string& GetAnimationName() const { return m_animationName; }
    const std::string& GetDetail() const { return m_detail; }
    void SetSpriteTypeName(std::string name) { m_spriteTypeName = std::move(name); }
    void SetAnimationListName(std::string name) { m_animationListName = std::move(name); }
    void SetAnimationName(std::string name) { m_animationName = std::move(name); }

private:
    std::string m_spriteTypeName;
    std::string m_animationListName;
    std::string m_animationName;
    std::string m_detail;
    std::string m_message;
};

struct FrameListToken
{
    enum Kind
    {
        Integer = 0,
        Comma = 1,
        Dash = 2,
        End = 3,
    };

    int kind = End;
    std::string text;
    int column = 1;
    int line = 1;
};

// Splits a frame list ("0-5,7,5-0") into tokens, ending with one End token. Throws
// AnimationParseError on a byte that is no digit, comma, dash, blank, tab or line feed.
std::deque<FrameListToken> TokenizeFrameList(std::string_view text);

// Frames of a frame list, each lasting 1 s. An empty list gives no frames. Throws
// AnimationParseError on malformed text, and boost::bad_lexical_cast on an index beyond int.
std::vector<SpriteAnimationFrame> ParseFrameList(std::string_view text);

// Parses the list into the record (the default frame when it is empty) and gives every frame the
// same duration: value / frames when value is the time of a whole pass, else 1 / value (fps).
void ParseFrameListText(std::string_view text, SpriteAnimation& record, float value, bool valueIsDuration);

// Stores the frames, or the default frame {0, 1 s} when there are none.
void SetSpriteAnimationFrames(SpriteAnimation& record, std::vector<SpriteAnimationFrame> frames);

// Appends a frame for every "frame" start node left in the reader, at any depth.
void ReadFrameElements(Kestrin::XMLElementReader& reader, std::vector<SpriteAnimationFrame>& frames);

// Reads one "animation" element. The reader is an element reader over the element's start node,
// not yet advanced; `element` is that start node.
SpriteAnimation& ReadSpriteAnimation(Kestrin::XMLElementReader& reader, const Kestrin::XMLElement& element,
                                     SpriteAnimation& record);

// Reads every "animation" element under the reader into the map; a later one of the same name
// replaces the earlier. The reader is an element reader over the list's element, not yet advanced
// (or a document reader). Animations nested inside another animation are not read.
void ReadSpriteAnimationList(Kestrin::IXMLReader& reader, SpriteAnimationMap& animations);

// Points every record's link at the record of the map named by its linked name, or at none.
void ResolveSpriteAnimationLinks(SpriteAnimationMap& animations);
