// levelgen DATA_DIR [--table FILE] [--text FILE]: expands the campaign table (by default
// tools/levelgen/campaign.tsv of the source tree) into DATA_DIR: GameLevels.xml, GlobalSettings.xml,
// CreatureSettings.xml, the level and board files and the campaign section of AllGameText_Export.xml. The
// text table is read from --text (by default the one in DATA_DIR) and written into DATA_DIR.
#include "Campaign.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace
{
std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteText(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path.string());
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: %s DATA_DIR [--table FILE] [--text FILE]\n", argv[0]);
        return 2;
    }
    const fs::path data = argv[1];
    fs::path table = LEVELGEN_TABLE;
    fs::path text = data / "AllGameText_Export.xml";
    for (int i = 2; i + 1 < argc; i += 2)
    {
        const std::string option = argv[i];
        if (option == "--table")
            table = argv[i + 1];
        else if (option == "--text")
            text = argv[i + 1];
        else
        {
            std::fprintf(stderr, "levelgen: unknown option %s\n", argv[i]);
            return 2;
        }
    }
    try
    {
        const LevelGen::Campaign campaign = LevelGen::ParseCampaign(ReadText(table), table.string());
        const std::vector<LevelGen::OutputFile> files = LevelGen::GenerateFiles(campaign);
        // Everything is made before anything is written: a fault leaves the tree as it was.
        const std::string spliced =
            LevelGen::SpliceTextSection(ReadText(text), LevelGen::TextSection(campaign));
        // Files of levels that left the table go too: every file at the root that levelgen wrote.
        if (fs::is_directory(data))
            for (const auto& entry : fs::directory_iterator(data))
                if (entry.is_regular_file() && entry.path().extension() == ".xml" &&
                    LevelGen::IsGenerated(ReadText(entry.path())))
                    fs::remove(entry.path());
        for (const LevelGen::OutputFile& file : files)
            WriteText(data / file.path, file.bytes);
        WriteText(data / "AllGameText_Export.xml", spliced);
        std::printf("levelgen: %zu files and the text section written under %s\n", files.size(),
                    data.string().c_str());
        return 0;
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "levelgen: %s\n", e.what());
        return 1;
    }
}
