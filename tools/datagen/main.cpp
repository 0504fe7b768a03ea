// datagen DATA_DIR [--docs DOCS_DIR] [--only PATTERN]: paints every art family and writes the
// images, images/manifest.tsv and the image section of groups/resources.xml under DATA_DIR,
// and the contact sheets under DOCS_DIR/art (default: DATA_DIR/../docs).
#include "Generate.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

int main(int argc, char** argv)
{
    std::string data, docs, only;
    for (int i = 1; i < argc; ++i)
    {
        const std::string a = argv[i];
        if ((a == "--docs" || a == "--only") && i + 1 < argc)
            (a == "--docs" ? docs : only) = argv[++i];
        else if (!a.empty() && a[0] != '-' && data.empty())
            data = a;
        else
        {
            std::fprintf(stderr, "usage: %s DATA_DIR [--docs DOCS_DIR] [--only PATTERN]\n", argv[0]);
            return 2;
        }
    }
    if (data.empty())
    {
        std::fprintf(stderr, "usage: %s DATA_DIR [--docs DOCS_DIR] [--only PATTERN]\n", argv[0]);
        return 2;
    }
    if (docs.empty())
        docs = (std::filesystem::path(data) / ".." / "docs").lexically_normal().string();
    try
    {
        const DataGen::Generated g = DataGen::GenerateAll();
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
