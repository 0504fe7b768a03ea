#include "Platform/Shim/Flash/SwfHeader.h"
#include "swfgen/SwfGen.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <tuple>

using namespace Kestrin::Shim;

namespace
{

// Parses from an allocation of exactly the given size, so the sanitizers see any read past it.
SwfStatus Parse(const std::vector<uint8_t>& bytes, SwfHeader& header, size_t size = SIZE_MAX)
{
    size = std::min(size, bytes.size());
    std::unique_ptr<uint8_t[]> exact(new uint8_t[size]);
    if (size)
        std::memcpy(exact.get(), bytes.data(), size);
    return ParseSwfHeader(exact.get(), size, header);
}

std::vector<uint8_t> Movie(uint32_t rgb, unsigned frames, double fps, bool compress)
{
    return SwfGen::MakeMovie({rgb, frames, fps, compress});
}

// A movie whose background colour comes after tags of every length form.
std::vector<uint8_t> MovieWithLeadingTags(bool compress)
{
    SwfGen::SwfWriter w(640, 480, 30 * 256, 2);
    w.AddTag(69, {0x08, 0, 0, 0});                 // file attributes
    w.AddTag(87, std::vector<uint8_t>(300, 0x41)); // long form by size
    w.AddTag(43, {}, true);                        // long form, empty
    w.AddTag(24, {});                              // short, empty
    w.ShowFrame();
    w.SetBackgroundColor(0xAB, 0xCD, 0xEF);
    w.SetBackgroundColor(1, 2, 3);
    w.ShowFrame();
    return w.Finish(compress, 10);
}

void SetLength(std::vector<uint8_t>& f, uint32_t length)
{
    for (int i = 0; i < 4; ++i)
        f[4 + i] = uint8_t(length >> (8 * i));
}

} // namespace

TEST(SwfHeader, ReadsGeneratedMoviesPlainAndCompressed)
{
    for (bool compress : {false, true})
    {
        SCOPED_TRACE(compress);
        std::vector<uint8_t> f = Movie(0x3366CC, 240, 29.97, compress);
        SwfHeader h;
        ASSERT_EQ(Parse(f, h), SwfStatus::Ok);
        EXPECT_EQ(h.compression, compress ? SwfCompression::Zlib : SwfCompression::None);
        EXPECT_EQ(h.version, 6);
        EXPECT_EQ(h.fileLength, Movie(0x3366CC, 240, 29.97, false).size());
        ASSERT_TRUE(h.hasFrameInfo);
        EXPECT_EQ(std::tie(h.xMin, h.xMax, h.yMin, h.yMax), std::make_tuple(0, 16000, 0, 12000));
        EXPECT_EQ(std::make_pair(h.WidthPixels(), h.HeightPixels()),
                  std::make_pair(int64_t(800), int64_t(600)));
        EXPECT_EQ(h.frameRate, 7672); // round(29.97 * 256)
        EXPECT_DOUBLE_EQ(h.FramesPerSecond(), 7672 / 256.0);
        EXPECT_EQ(h.frameCount, 240);
        ASSERT_TRUE(h.hasBackground);
        EXPECT_EQ(h.background, (SwfRgb{0x33, 0x66, 0xCC}));
    }
}

TEST(SwfHeader, TheBackgroundIsOptional)
{
    SwfGen::SwfWriter none(800, 600, 12 * 256, 1);
    none.AddTag(69, {0, 0, 0, 0});
    none.ShowFrame();
    SwfHeader h;
    EXPECT_EQ(Parse(none.Finish(true), h), SwfStatus::Ok);
    EXPECT_TRUE(h.hasFrameInfo);
    EXPECT_FALSE(h.hasBackground);
}

TEST(SwfHeader, EveryPrefixIsRejectedUntilTheFirstBackgroundIsComplete)
{
    for (bool compress : {false, true})
    {
        SCOPED_TRACE(compress);
        std::vector<uint8_t> f = MovieWithLeadingTags(compress);
        bool complete = false;
        for (size_t n = 0; n <= f.size(); ++n)
        {
            SwfHeader h;
            SwfStatus s = Parse(f, h, n);
            if (n < 3)
                EXPECT_EQ(s, SwfStatus::NotSwf) << n;
            else if (s == SwfStatus::Ok)
                complete = true;
            else
            {
                // Once found, more bytes cannot lose it; short of it, nothing is claimed.
                EXPECT_FALSE(complete) << n;
                EXPECT_EQ(s, SwfStatus::Truncated) << n;
                EXPECT_FALSE(h.hasBackground) << n;
            }
            EXPECT_TRUE(!complete || h.background == (SwfRgb{0xAB, 0xCD, 0xEF})) << n;
        }
        EXPECT_TRUE(complete);
        SwfHeader h; // the whole movie: the first background, after tags of every length form
        ASSERT_EQ(Parse(f, h), SwfStatus::Ok);
        EXPECT_EQ(std::tuple(int(h.version), h.WidthPixels(), int(h.frameRate)),
                  std::tuple(10, int64_t(640), 30 * 256));
    }

    // The frame info survives a cut inside the tags.
    std::vector<uint8_t> f = MovieWithLeadingTags(false);
    SwfHeader h;
    EXPECT_EQ(Parse(f, h, 40), SwfStatus::Truncated);
    EXPECT_TRUE(h.hasFrameInfo);
    EXPECT_EQ(h.frameCount, 2);
    EXPECT_EQ(Parse(f, h, 12), SwfStatus::Truncated);
    EXPECT_FALSE(h.hasFrameInfo);
}

TEST(SwfHeader, DeclaredLengthBoundsTheBody)
{
    std::vector<uint8_t> f = MovieWithLeadingTags(false);
    SwfHeader h;
    // Bytes beyond the declared length are not the movie's.
    SetLength(f, 60);
    EXPECT_EQ(Parse(f, h), SwfStatus::Truncated);
    EXPECT_TRUE(h.hasFrameInfo);
    EXPECT_FALSE(h.hasBackground);
    SetLength(f, 7);
    EXPECT_EQ(Parse(f, h), SwfStatus::Corrupt);

    std::vector<uint8_t> c = MovieWithLeadingTags(true);
    SetLength(c, 30);
    EXPECT_EQ(Parse(c, h), SwfStatus::Truncated);
    SetLength(c, 0xFFFFFFFF); // a lie the other way: the stream still ends where it ends
    EXPECT_EQ(Parse(c, h), SwfStatus::Ok);
    EXPECT_TRUE(h.hasBackground);
}

TEST(SwfHeader, RejectsForeignDamagedAndMalformedInput)
{
    SwfHeader h;
    EXPECT_EQ(ParseSwfHeader(nullptr, 0, h), SwfStatus::NotSwf);
    for (const char* text : {"", "GIF89a", "FWX\x06\x20\0\0\0", "fws\x06\x20\0\0\0", "XWS\x06\x20\0\0\0"})
        EXPECT_EQ(Parse(std::vector<uint8_t>(text, text + std::strlen(text) + 1), h), SwfStatus::NotSwf)
            << text;
    EXPECT_EQ(Parse({'C', 'W', 'S', 6, 9}, h), SwfStatus::Truncated);

    // A damaged zlib stream, whether in its header or its data.
    for (size_t from : {8, 10}) // its header byte, or all its data
    {
        std::vector<uint8_t> c = Movie(0x112233, 5, 12, true);
        for (size_t i = from; i < (from == 8 ? 9 : c.size()); ++i)
            c[i] ^= 0xFF;
        EXPECT_EQ(Parse(c, h), SwfStatus::Corrupt) << from;
    }

    // A background tag too short for a colour.
    SwfGen::SwfWriter w(800, 600, 12 * 256, 1);
    w.AddTag(9, {1, 2});
    EXPECT_EQ(Parse(w.Finish(false), h), SwfStatus::Corrupt);
    EXPECT_FALSE(h.hasBackground);

    // A tag claiming 4 GiB is skipped only as far as the data goes.
    SwfGen::SwfWriter huge(800, 600, 12 * 256, 1);
    huge.AddTag(87, {}, true);
    std::vector<uint8_t> f = huge.Finish(false);
    std::memset(&f[f.size() - 6], 0xFF, 4);
    EXPECT_EQ(Parse(f, h), SwfStatus::Truncated);
    EXPECT_TRUE(h.hasFrameInfo);
}

TEST(SwfHeader, LzmaMoviesGiveTheirHeaderOnly)
{
    std::vector<uint8_t> f = {'Z', 'W', 'S', 13, 0x10, 0x27, 0, 0, 5, 0, 0, 0, 0x5D, 0, 0, 0x10, 0};
    SwfHeader h;
    EXPECT_EQ(Parse(f, h), SwfStatus::HeaderOnly);
    EXPECT_EQ(h.compression, SwfCompression::Lzma);
    EXPECT_EQ(h.version, 13);
    EXPECT_EQ(h.fileLength, 10000u);
    EXPECT_FALSE(h.hasFrameInfo);
    EXPECT_FALSE(h.hasBackground);
}

TEST(SwfHeader, RectFieldsAreSignedAndMayBeEmpty)
{
    // 2-bit fields -1, 1, -2, 0.
    std::vector<uint8_t> f = {'F', 'W', 'S', 4, 17, 0, 0, 0, 0x16, 0xC0, 0x80, 0x01, 7, 0, 0, 0, 0};
    SwfHeader h;
    ASSERT_EQ(Parse(f, h), SwfStatus::Ok);
    EXPECT_EQ(std::tie(h.xMin, h.xMax, h.yMin, h.yMax), std::make_tuple(-1, 1, -2, 0));
    EXPECT_EQ(h.frameRate, 0x0180);
    EXPECT_EQ(h.frameCount, 7);

    // 0-bit fields: a 1-byte RECT.
    std::vector<uint8_t> empty = {'F', 'W', 'S', 4, 15, 0, 0, 0, 0x00, 0, 12, 1, 0, 0, 0};
    ASSERT_EQ(Parse(empty, h), SwfStatus::Ok);
    EXPECT_EQ(h.xMax, 0);
    EXPECT_EQ(h.frameRate, 12 * 256);
    EXPECT_EQ(h.frameCount, 1);
}

TEST(SwfHeader, InflatingStopsAtItsBound)
{
    // A huge tag of zeros packs small but would unpack past the bound before the background.
    SwfGen::SwfWriter w(800, 600, 12 * 256, 1);
    w.AddTag(87, std::vector<uint8_t>(kSwfMaxInflatedBytes + 1024, 0));
    w.SetBackgroundColor(9, 9, 9);
    std::vector<uint8_t> f = w.Finish(true);
    ASSERT_LT(f.size(), 1u << 20);
    SwfHeader h;
    EXPECT_EQ(Parse(f, h), SwfStatus::Ok);
    EXPECT_TRUE(h.hasFrameInfo);
    EXPECT_FALSE(h.hasBackground);
}

TEST(SwfGen, PlainMovieHasTheExactLayoutOfTheFormat)
{
    std::vector<uint8_t> expected = {
        'F', 'W', 'S', 6, 34, 0, 0, 0,
        // RECT, 15-bit fields: 0, 16000, 0, 12000 twips
        0x78, 0x00, 0x07, 0xD0, 0x00, 0x00, 0x17, 0x70, 0x00, 0x00, 0x0C, // 12.0 fps in 8.8
        0x03, 0x00,                                                       // frames
        0x43, 0x02, 0x33, 0x66, 0xCC,                                     // SetBackgroundColor
        0x40, 0x00, 0x40, 0x00, 0x40, 0x00,                               // ShowFrame x3
        0x00, 0x00,                                                       // End
    };
    EXPECT_EQ(Movie(0x3366CC, 3, 12.0, false), expected);
}

TEST(SwfGen, CompressedMovieInflatesToThePlainBody)
{
    std::vector<uint8_t> plain = Movie(0x102030, 40, 29.97, false);
    std::vector<uint8_t> packed = Movie(0x102030, 40, 29.97, true);

    ASSERT_GT(packed.size(), 8u);
    EXPECT_EQ(std::string(packed.begin(), packed.begin() + 3), "CWS");
    // The declared length stays the uncompressed one.
    EXPECT_TRUE(std::equal(plain.begin() + 3, plain.begin() + 8, packed.begin() + 3));
    std::vector<uint8_t> body(plain.size() - 8);
    uLongf bodySize = uLongf(body.size());
    ASSERT_EQ(uncompress(body.data(), &bodySize, packed.data() + 8, uLong(packed.size() - 8)), Z_OK);
    EXPECT_EQ(bodySize, body.size());
    EXPECT_TRUE(std::equal(body.begin(), body.end(), plain.begin() + 8));
}

TEST(SwfGen, CommandLineReadsOptionsAndRejectsBadValues)
{
    SwfGen::CommandLine cl = SwfGen::ParseCommandLine(
        {"out.swf", "--rgb", "a0B1c2", "--frames", "25", "--fps", "24.5", "--compress"});
    EXPECT_EQ(cl.output, "out.swf");
    EXPECT_EQ(cl.options.rgb, 0xA0B1C2u);
    EXPECT_EQ(cl.options.frames, 25u);
    EXPECT_DOUBLE_EQ(cl.options.fps, 24.5);
    EXPECT_TRUE(cl.options.compress);
    EXPECT_EQ(SwfGen::FixedFrameRate(24.5), 24 * 256 + 128);

    for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
             {},
             {"a.swf", "b.swf"},
             {"a.swf", "--rgb", "12345G"},
             {"a.swf", "--frames", "65536"},
             {"a.swf", "--frames", "-1"},
             {"a.swf", "--fps", "0"},
             {"a.swf", "--fps"},
             {"a.swf", "--loop"},
         })
        EXPECT_THROW(SwfGen::ParseCommandLine(bad), std::invalid_argument) << (bad.empty() ? "" : bad.back());
}
