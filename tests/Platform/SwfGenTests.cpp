#include "swfgen/SwfGen.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <stdexcept>

using namespace SwfGen;

TEST(SwfGen, PlainMovieHasTheExactLayoutOfTheFormat)
{
    MovieOptions o;
    o.rgb = 0x3366CC;
    o.frames = 3;
    o.fps = 12.0;
    std::vector<uint8_t> expected = {
        'F', 'W', 'S', 6, 34, 0, 0, 0,
        // RECT, 15-bit fields: 0, 16000, 0, 12000 twips
        0x78, 0x00, 0x07, 0xD0, 0x00, 0x00, 0x17, 0x70, 0x00,
        0x00, 0x0C, // 12.0 fps in 8.8
        0x03, 0x00, // frames
        0x43, 0x02, 0x33, 0x66, 0xCC, // SetBackgroundColor
        0x40, 0x00, 0x40, 0x00, 0x40, 0x00, // ShowFrame x3
        0x00, 0x00, // End
    };
    EXPECT_EQ(MakeMovie(o), expected);
}

TEST(SwfGen, CompressedMovieInflatesToThePlainBody)
{
    MovieOptions o;
    o.rgb = 0x102030;
    o.frames = 40;
    o.fps = 29.97;
    std::vector<uint8_t> plain = MakeMovie(o);
    o.compress = true;
    std::vector<uint8_t> packed = MakeMovie(o);

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
    CommandLine cl = ParseCommandLine({"out.swf", "--rgb", "a0B1c2", "--frames", "25", "--fps", "24.5", "--compress"});
    EXPECT_EQ(cl.output, "out.swf");
    EXPECT_EQ(cl.options.rgb, 0xA0B1C2u);
    EXPECT_EQ(cl.options.frames, 25u);
    EXPECT_DOUBLE_EQ(cl.options.fps, 24.5);
    EXPECT_TRUE(cl.options.compress);
    EXPECT_EQ(FixedFrameRate(24.5), 24 * 256 + 128);

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
        EXPECT_THROW(ParseCommandLine(bad), std::invalid_argument) << (bad.empty() ? "" : bad.back());
}
