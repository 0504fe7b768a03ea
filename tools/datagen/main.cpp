// datagen DATA_DIR [--docs DOCS_DIR] [--only PATTERN] [--text TEXT_TABLE]: paints every art family
// and writes the images, images/manifest.tsv and the image section of each groups/<group>.xml
// under DATA_DIR, and the contact sheets under DOCS_DIR/art (default: DATA_DIR/../docs). Baked
// text comes from TEXT_TABLE (default: DATA_DIR/AllGameText_Export.xml).
#include "Generate.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>

int main(int argc, char** argv)
{
    std::string data, docs, only, text;
    auto usage = [&]
    {
        std::fprintf(stderr, "usage: %s DATA_DIR [--docs DOCS_DIR] [--only PATTERN] [--text TEXT_TABLE]\n",
                     argv[0]);
        return 2;
    };
    for (int i = 1; i < argc; ++i)
    {
        const std::string a = argv[i];
        if ((a == "--docs" || a == "--only" || a == "--text") && i + 1 < argc)
            (a == "--docs" ? docs : a == "--only" ? only : text) = argv[++i];
        else if (!a.empty() && a[0] != '-' && data.empty())
            data = a;
        else
            return usage();
    }
    if (data.empty())
        return usage();
    if (docs.empty())
        docs = (std::filesystem::path(data) / ".." / "docs").lexically_normal().string();
    if (text.empty())
        text = (std::filesystem::path(data) / DataGen::TextTableFile).string();
    try
    {
        // Without a table, the families that bake text refuse to paint.
        std::optional<DataGen::TextTable> table;
        if (std::filesystem::exists(text))
            table = DataGen::TextTable::Load(text);
        const DataGen::Generated g = DataGen::GenerateAll(table ? &*table : nullptr);
        if (!only.empty() && !DataGen::AnyMatches(g, only))
        {
            std::fprintf(stderr, "datagen: no family or image matches %s; nothing written\n", only.c_str());
            return 1;
        }
        const size_t n = DataGen::WriteAll(data, docs, g, only);
        std::printf("datagen: %zu files written under %s and %s\n", n, data.c_str(), docs.c_str());
        return 0;
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "datagen: %s\n", e.what());
        return 1;
    }
}
