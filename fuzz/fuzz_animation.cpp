// The animation-list readers on arbitrary bytes, taken both as a frame-list text and as an XML
// document of animations; every record that reads is then played for a while.
#include "Base/Stream.h"
#include "Base/XMLReader.h"
#include "Graphics/AnimationController.h"

#include <boost/lexical_cast.hpp>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace
{

void CheckFrameList(std::string_view text)
{
    try
    {
        const auto frames = ParseFrameList(text);
        // Ranges are capped; single items cost at least one byte of text each.
        if (frames.size() > MaxSpriteFrameCount + text.size())
            std::abort();
        for (const SpriteAnimationFrame& f : frames)
            if (f.index < 0 || f.duration != 1.0f)
                std::abort();
    }
    catch (const AnimationParseError& e)
    {
        const std::string detail = e.GetDetail();
        if (detail.rfind("illegal token '", 0) != 0 && detail.rfind("unrecognized token '", 0) != 0)
            std::abort();
        // The offending byte itself may be a NUL, which ends what().
        if (detail.find("(line ") == std::string::npos || std::strcmp(detail.c_str(), e.what()) != 0)
            std::abort();
    }
    catch (const boost::bad_lexical_cast&)
    {
    }
}

void Play(const SpriteAnimation& record)
{
    AnimationController controller;
    controller.PlayAnimation(&record, false);
    for (int step = 0; step < 50 && controller.GetQueueLength() > 0; ++step)
    {
        controller.Update(step == 7 ? 1e6f : 0.02f);
        const SpriteAnimation* current = controller.GetCurrentAnimation();
        if (!current)
            break;
        const int position = controller.GetFramePosition();
        if (position < 0 || size_t(position) >= current->frames.size())
            std::abort();
        if (!(controller.GetCurrentFrame() == current->frames[size_t(position)]))
            std::abort();
    }
}

void CheckDocument(const uint8_t* data, size_t size)
{
    Kestrin::MemoryStream stream(L"fuzz", data, uint32_t(size));
    SpriteAnimationMap animations;
    try
    {
        Kestrin::XMLReader reader(&stream);
        ReadSpriteAnimationList(reader, animations);
    }
    catch (const Kestrin::xml_error&)
    {
        return;
    }
    catch (const AnimationParseError&)
    {
        return;
    }
    catch (const boost::bad_lexical_cast&)
    {
        return;
    }
    ResolveSpriteAnimationLinks(animations);
    for (const auto& [name, record] : animations)
    {
        if (record.frames.empty() || record.plays == 0 || name != record.name)
            std::abort();
        for (const SpriteAnimationFrame& f : record.frames)
            if (!(f.duration >= MinSpriteFrameDuration))
                std::abort();
        Play(record);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckFrameList(std::string_view(reinterpret_cast<const char*>(data), size));
    CheckDocument(data, size);
    return 0;
}
