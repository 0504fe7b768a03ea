#include "AudioPlatformFixture.h"
#include "Thrown.h"

#include "Base/AttributeContainer.h"
#include "Platform/SoundResources.h"

#include <cfloat>
#include <map>

using namespace Kestrin;

TEST(SoundAttributes, ReadAndClamped)
{
    struct Case
    {
        std::map<std::wstring, std::wstring> attributes;
        int category, playCount;
        float volume, pan, rate;
    } cases[] = {
        {{}, 0, 1, 1.0f, 0.0f, 1.0f},
        {{{L"loop", L"3"}, {L"type", L"music"}}, 2, 3, 1.0f, 0.0f, 1.0f},
        {{{L"loop", L"forever"}, {L"type", L"ambient"}}, 1, 0, 1.0f, 0.0f, 1.0f},
        {{{L"loop", L"abc"}, {L"type", L"Music"}}, 0, 0, 1.0f, 0.0f, 1.0f},
        {{{L"loop", L"-4"}, {L"volume", L"1.5"}, {L"pan", L"-2"}, {L"rate", L"0"}}, 0, 0, 1.0f, -1.0f, FLT_MIN},
        {{{L"volume", L"-1"}, {L"pan", L"0.25"}, {L"rate", L"1.5"}, {L"type", L"sfx"}}, 0, 1, 0.0f, 0.25f, 1.5f},
    };
    for (const Case& c : cases)
    {
        AttributeContainer element;
        for (auto& [name, value] : c.attributes)
            element.SetAttribute(name, value);
        BASSSound sound;
        ReadSoundAttributes(element, sound);
        SCOPED_TRACE(testing::PrintToString(c.attributes.size()) + " attributes, loop " + std::to_string(c.playCount));
        EXPECT_EQ(sound.category, c.category);
        EXPECT_EQ(sound.playCount, c.playCount);
        EXPECT_EQ(sound.volume, c.volume);
        EXPECT_EQ(sound.pan, c.pan);
        EXPECT_EQ(sound.rate, c.rate);
    }
}

TEST_F(AudioPlatformTest, SoundFilesFollowTheExtensionOrder)
{
    Start();
    std::map<std::wstring, std::vector<unsigned char>> files;
    auto read = [&](const std::wstring& name, std::vector<unsigned char>& bytes) {
        auto it = files.find(name);
        if (it == files.end())
            return false;
        bytes = it->second;
        return true;
    };
    EXPECT_EQ(LoadSoundFile(L"X", read), nullptr);

    files[L"X.it"] = KestrinTest::MakeModule(); // not an IT, but the tracker decoder sniffs the data
    files[L"X.mod"] = KestrinTest::MakeModule();
    auto music = LoadSoundFile(L"X", read);
    ASSERT_NE(music, nullptr);
    EXPECT_NE(dynamic_cast<MusicSoundFileData*>(music.get()), nullptr);

    files[L"X.ogg"] = KestrinTest::MakeOgg(std::vector<float>(400, 0.25f), 2, 22050);
    auto stream = LoadSoundFile(L"X", read);
    ASSERT_NE(stream, nullptr);
    EXPECT_NE(dynamic_cast<StreamSoundFileData*>(stream.get()), nullptr);
    EXPECT_EQ(stream->NativeRate(), 22050u);

    files[L"X.ogg"] = {'O', 'g', 'g', 'S', 0, 1, 2, 3};
    std::string what = KestrinTest::ThrownWhat<BASSSoundManagerException>([&] { LoadSoundFile(L"X", read); });
    EXPECT_EQ(what, "(" + std::to_string(Shim::Bass::AudioOut::ErrorGetCode()) + ") BASS_StreamCreateFile failed");
}

TEST_F(AudioPlatformTest, RandomSoundPicksEachFileEvenly)
{
    Start();
    platform->SeedRandom(7);
    BASSSound sound;
    for (int i = 0; i < 3; ++i)
        sound.files.push_back(Tone(100 + i)->files[0]);
    std::map<Shim::Bass::Handle, int> picks;
    auto* channel = static_cast<BASSSoundChannel*>(Channel());
    for (int play = 0; play < 600; ++play)
    {
        channel->Play(&sound, 1);
        ++picks[channel->GetHandle()];
    }
    ASSERT_EQ(picks.size(), 3u);
    for (auto& [handle, count] : picks)
        EXPECT_NEAR(count, 200, 50) << handle;

    // Repeats pick again: an endless play moves between the files.
    std::map<Shim::Bass::Handle, int> repeats;
    channel->Play(&sound, 0);
    for (int slice = 0; slice < 60; ++slice)
    {
        Audible(256);
        ++repeats[channel->GetHandle()];
    }
    EXPECT_EQ(repeats.size(), 3u);
    channel->Release();
}
