#include "Graphics/SpriteAnimation.h"

#include "Base/Strings.h"
#include "Base/XMLReader.h"

#include <boost/lexical_cast.hpp>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>

using Kestrin::NameId;

SpriteAnimation::SpriteAnimation(int plays_, bool pingPong_, NameId name_, NameId linkedName_)
    : name(name_), frames{SpriteAnimationFrame{}}, plays(plays_), pingPong(pingPong_), linkedName(linkedName_)
{
}

AnimationParseError::AnimationParseError(std::string detail, std::string animationName,
                                         std::string spriteTypeName)
    : std::runtime_error(std::string()), m_spriteTypeName(std::move(spriteTypeName)),
      m_animationName(std::move(animationName)), m_detail(std::move(detail))
{
    FormatMessage();
}

void AnimationParseError::FormatMessage()
{
    std::string text;
    if (!m_spriteTypeName.empty())
        text += "in SpriteType \"" + m_spriteTypeName + "\": ";
    else if (!m_animationListName.empty())
        text += "in SpriteAnimationList \"" + m_animationListName + "\": ";
    if (!m_animationName.empty())
        text += "in animation \"" + m_animationName + "\": ";
    text += m_detail.empty() ? std::string("(unspecified error)") : m_detail;
    m_message = std::move(text);
}

namespace
{

std::string Where(int line, int column)
{
    return "(line " + std::to_string(line) + ", pos " + std::to_string(column) + ")";
}

std::string IllegalToken(const FrameListToken& token)
{
    return "illegal token '" + token.text + "' " + Where(token.line, token.column) + ". ";
}

// Takes tokens from the front; the End token stays, so every later look sees it again.
class FrameListParser
{
public:
    explicit FrameListParser(std::deque<FrameListToken> tokens) : m_tokens(std::move(tokens)) {}

    std::vector<SpriteAnimationFrame> Parse()
    {
        if (Peek().kind == FrameListToken::End)
            return {};
        if (Peek().kind != FrameListToken::Integer)
            throw AnimationParseError(IllegalToken(Take()));
        ParseItem();
        // A loop rather than the grammar's recursion: a long list must not run the stack out.
        for (;;)
        {
            const FrameListToken& next = Peek();
            if (next.kind == FrameListToken::End)
                break;
            if (next.kind != FrameListToken::Comma)
                throw AnimationParseError(IllegalToken(Take()) + "(Expected ',').");
            Take();
            ParseItem();
        }
        return std::move(m_frames);
    }

private:
    const FrameListToken& Peek() const { return m_tokens.front(); }

    FrameListToken Take()
    {
        FrameListToken token = m_tokens.front();
        if (token.kind != FrameListToken::End)
            m_tokens.pop_front();
        return token;
    }

    int TakeInteger(FrameListToken& token)
    {
        token = Take();
        if (token.kind != FrameListToken::Integer)
            throw AnimationParseError(IllegalToken(token) + "(Expected an integer).");
        return boost::lexical_cast<int>(token.text);
    }

    void ParseItem()
    {
        FrameListToken token;
        const int first = TakeInteger(token);
        if (Peek().kind != FrameListToken::Dash)
        {
            m_frames.push_back({first, 1.0f});
            return;
        }
        Take();
        const int last = TakeInteger(token);
        const int64_t count = std::llabs(int64_t(last) - int64_t(first)) + 1;
        // "0-2000000000" would otherwise allocate until the process dies.
        if (count > int64_t(MaxSpriteFrameCount - m_frames.size()))
            throw AnimationParseError(IllegalToken(token) + "(Range too large).");
        const int step = first <= last ? 1 : -1;
        for (int64_t i = 0; i < count; ++i)
            m_frames.push_back({int(first + i * step), 1.0f});
    }

    std::deque<FrameListToken> m_tokens;
    std::vector<SpriteAnimationFrame> m_frames;
};

} // namespace

std::deque<FrameListToken> TokenizeFrameList(std::string_view text)
{
    std::deque<FrameListToken> tokens;
    int line = 1;
    int column = 1;
    size_t i = 0;
    while (i < text.size())
    {
        const char c = text[i];
        if (c == ',' || c == '-')
        {
            tokens.push_back(
                {c == ',' ? FrameListToken::Comma : FrameListToken::Dash, std::string(1, c), column, line});
            ++column;
            ++i;
        }
        else if (c >= '0' && c <= '9')
        {
            const size_t start = i;
            while (i < text.size() && text[i] >= '0' && text[i] <= '9')
                ++i;
            column += int(i - start);
            // The column after the last digit, which is what the error texts report.
            tokens.push_back(
                {FrameListToken::Integer, std::string(text.substr(start, i - start)), column, line});
        }
        else if (c == ' ' || c == '\t')
        {
            ++column;
            ++i;
        }
        else if (c == '\n')
        {
            ++line;
            column = 1;
            ++i;
        }
        else
        {
            throw AnimationParseError("unrecognized token '" + std::string(1, c) + "' " +
                                      Where(line, column));
        }
    }
    tokens.push_back({FrameListToken::End, "<end of list>", column, line});
    return tokens;
}

std::vector<SpriteAnimationFrame> ParseFrameList(std::string_view text)
{
    return FrameListParser(TokenizeFrameList(text)).Parse();
}

void SetSpriteAnimationFrames(SpriteAnimation& record, std::vector<SpriteAnimationFrame> frames)
{
    record.frames = std::move(frames);
    if (record.frames.empty())
        record.frames.push_back(SpriteAnimationFrame{});
}

void ParseFrameListText(std::string_view text, SpriteAnimation& record, float value, bool valueIsDuration)
{
    try
    {
        SetSpriteAnimationFrames(record, ParseFrameList(text));
    }
    catch (AnimationParseError& error)
    {
        if (!record.name.IsNull())
        {
            error.SetAnimationName(record.name.c_str());
            error.FormatMessage();
        }
        throw;
    }
    float duration = valueIsDuration ? value / float(record.frames.size()) : 1.0f / value;
    duration = std::max(duration, MinSpriteFrameDuration);
    for (SpriteAnimationFrame& frame : record.frames)
        frame.duration = duration;
}

void ReadFrameElements(Kestrin::XMLElementReader& reader, std::vector<SpriteAnimationFrame>& frames)
{
    while (!reader.IsAtEnd())
    {
        const Kestrin::XMLElement* node = reader.Next();
        if (!node)
            break;
        if (!node->IsStart() || node->GetName() != L"frame")
            continue;
        float duration = node->GetFloat(L"duration", 1.0f);
        if (!(duration > 0.0f))
            duration = 1.0f;
        frames.push_back({node->GetInt(L"index", 0), std::max(duration, MinSpriteFrameDuration)});
    }
}

SpriteAnimation& ReadSpriteAnimation(Kestrin::XMLElementReader& reader, const Kestrin::XMLElement& element,
                                     SpriteAnimation& record)
{
    reader.Next(); // the element's own start node

    record.frames.clear();
    record.linkedAnimation = nullptr;
    record.name = Kestrin::MakeNameFromWString(element.GetString(L"name"));
    record.linkedName = Kestrin::MakeNameFromWString(element.GetString(L"linkedAnimation"));

    int plays = 1;
    if (element.HasAttribute(L"numPlays"))
    {
        plays = element.GetInt(L"numPlays", 1);
    }
    else
    {
        const int loops = element.GetInt(L"numLoops", 0);
        if (loops >= 0)
            plays = loops < INT_MAX ? loops + 1 : INT_MAX; // the reader saturates; so do we
    }
    record.plays = plays == 0 ? -1 : plays;
    record.pingPong = element.GetBool(L"pingPong", false);

    const bool hasDuration = element.HasAttribute(L"duration");
    const bool hasFps = element.HasAttribute(L"fps");
    const bool hasFrameList = element.HasAttribute(L"frameList");
    float value = element.GetFloat(hasDuration ? L"duration" : L"fps", 1.0f);
    if (!(value > 0.0f))
        value = 1.0f;

    if (hasDuration || hasFps || hasFrameList)
    {
        // Child "frame" elements are ignored here, even without a "frameList".
        ParseFrameListText(Kestrin::NarrowString(element.GetString(L"frameList")), record, value,
                           hasDuration);
    }
    else
    {
        std::vector<SpriteAnimationFrame> frames;
        ReadFrameElements(reader, frames);
        SetSpriteAnimationFrames(record, std::move(frames));
    }
    return record;
}

void ReadSpriteAnimationList(Kestrin::IXMLReader& reader, SpriteAnimationMap& animations)
{
    // An element reader answers "at end" until its first Next, so ask for a node first.
    do
    {
        Kestrin::XMLElement* node = reader.Next();
        if (!node)
            break;
        if (!node->IsStart() || node->GetName() != L"animation")
            continue;
        Kestrin::XMLElementReader element(reader);
        SpriteAnimation record;
        ReadSpriteAnimation(element, *node, record);
        // Whatever the record left unread belongs to it, not to the list.
        while (!element.IsAtEnd())
            element.Next();
        animations[record.name] = std::move(record);
    } while (!reader.IsAtEnd());
}

void ResolveSpriteAnimationLinks(SpriteAnimationMap& animations)
{
    for (auto& [name, record] : animations)
    {
        record.linkedAnimation = nullptr;
        if (record.linkedName.IsNull() || *record.linkedName.c_str() == '\0')
            continue;
        auto found = animations.find(record.linkedName);
        if (found != animations.end())
            record.linkedAnimation = &found->second;
    }
}
