#include "Game/PlayDataLog.h"

#include "Base/Log.h"
#include "Base/Stream.h"
#include "Base/Text.h"
#include "Framework/AccountManager.h"
#include "Framework/FileSystem.h"
#include "Game/GameLevels.h"

#include <climits>
#include <cmath>
#include <exception>

namespace
{
const char* TrueFalse(bool value)
{
    return value ? "TRUE" : "FALSE";
}

std::string WholeSeconds(float seconds)
{
    if (std::isnan(seconds))
        return "0";
    const double whole = std::trunc(double(seconds));
    if (whole >= double(LLONG_MAX))
        return std::to_string(LLONG_MAX);
    if (whole <= double(LLONG_MIN))
        return std::to_string(LLONG_MIN);
    return std::to_string((long long)whole);
}

// "Www Mmm dd hh:mm:ss yyyy" in local time; empty for a moment the C library cannot show.
std::string TimeStamp(std::time_t when)
{
    char buffer[64] = {};
    if (!ctime_r(&when, buffer))
        return std::string();
    std::string text(buffer);
    const size_t lineFeed = text.find('\n');
    return lineFeed == std::string::npos ? text : text.substr(0, lineFeed);
}

Kestrin::FileSpec LogFile(int location)
{
    return Kestrin::FileSpec(location, L"PlayData", L".log", L".");
}
} // namespace

std::string FormatPlayDataLine(const PlayDataLine& line)
{
    std::string text = TimeStamp(line.when);
    for (const std::string& field :
         {Kestrin::ToUtf8(line.profile), line.level, std::string(TrueFalse(line.won)),
          WholeSeconds(line.timeElapsed), std::string(TrueFalse(line.timeElapsed < line.expertTime)),
          std::to_string(line.gunkDrops)})
    {
        text += '\t';
        text += field;
    }
    text += '\n';
    return text;
}

bool AppendPlayData(const std::string& bytes)
{
    // The data folder first; a player who may not write there still gets the log in their own.
    Kestrin::FileStreamPtr stream =
        Kestrin::OpenFile(LogFile(1), Kestrin::IFileSystem::AccessWrite, Kestrin::IFileSystem::OpenAlways);
    if (!stream)
        stream = Kestrin::OpenFile(LogFile(2), Kestrin::IFileSystem::AccessWrite,
                                   Kestrin::IFileSystem::OpenAlways);
    if (!stream)
    {
        Kestrin::LogPrintf("Couldn't open \"PlayData.log\" in the data folder nor the player's folder; "
                           "the play data is not written.\n");
        return false;
    }
    stream->Seek(Kestrin::IStream::FromEnd, 0);
    if (stream->Write(bytes.data(), uint32_t(bytes.size())) != bytes.size())
    {
        Kestrin::LogPrintf("Couldn't write all of the play data to \"PlayData.log\".\n");
        return false;
    }
    return true;
}

void AppendPlayDataLine(bool won, float timeElapsed, float expertTime, int gunkDrops)
{
    static const GameLevels none;
    const GameLevels* catalogue = &none;
    try
    {
        catalogue = &GameLevels::Instance();
    }
    catch (const std::exception& e)
    {
        // The line is still worth having without the level's name.
        Kestrin::LogPrintf("The play data has no level list: %s\n", e.what());
    }
    AppendPlayDataLine(won, timeElapsed, expertTime, gunkDrops, *catalogue);
}

void AppendPlayDataLine(bool won, float timeElapsed, float expertTime, int gunkDrops,
                        const GameLevels& catalogue)
{
    PlayDataLine line;
    line.when = std::time(nullptr);
    if (const Kestrin::Account* account = Kestrin::AccountManager::Instance()->GetCurrentAccount())
        line.profile = account->GetName();
    line.level = LevelCatalogue::GetCurrentLevelName(catalogue);
    line.won = won;
    line.timeElapsed = timeElapsed;
    line.expertTime = expertTime;
    line.gunkDrops = gunkDrops;
    AppendPlayData(FormatPlayDataLine(line));
}
