#pragma once
#include "Base/FileSpec.h"
#include "Framework/ErrorBox.h"

#include "Support/AccountFakes.h"
#include "harness/GameGlobals.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace GameTest
{

// Game data files in memory, every error box recorded, and the game's globals put back after.
class GameDataTest : public testing::Test
{
protected:
    GameDataTest()
    {
        Kestrin::SetErrorBoxSink([this](const std::wstring& caption, const std::wstring& text)
                                 { boxes.emplace_back(text, caption); });
    }
    ~GameDataTest() override { Kestrin::SetErrorBoxSink(nullptr); }

    void AddData(const std::wstring& name, const std::string& xml)
    {
        fs.AddFile(Kestrin::FileSpec::FromNameAndExtension(name, L".xml"), xml);
    }

    // First made and last gone: the fixtures above set these globals up and take them down.
    KestrinTest::SavedGameGlobals savedGlobals;
    // Writes only whole new files, as the account store makes them.
    KestrinTest::FaultyFileSystem fs;
    KestrinTest::ScopedFileSystem scope{&fs};
    // {text, caption}
    std::vector<std::pair<std::wstring, std::wstring>> boxes;
};

// The exception's text, or "" when the call throws none.
template <typename Call> std::string ErrorOf(Call call)
{
    try
    {
        call();
    }
    catch (const std::exception& e)
    {
        return e.what();
    }
    return std::string();
}

} // namespace GameTest
