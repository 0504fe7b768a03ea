#include "swfgen/SwfGen.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace SwfGen
{

namespace
{

void PutU16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

// Most-significant bit first, as the RECT record packs its fields.
class BitWriter
{
public:
    explicit BitWriter(std::vector<uint8_t>& out) : m_out(out) {}
    void Put(uint32_t value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i)
        {
            m_acc = uint8_t((m_acc << 1) | ((value >> i) & 1));
            if (++m_count == 8)
                Flush();
        }
    }
    void Flush()
    {
        if (m_count == 0)
            return;
        m_out.push_back(uint8_t(m_acc << (8 - m_count)));
        m_acc = 0;
        m_count = 0;
    }

private:
    std::vector<uint8_t>& m_out;
    uint8_t m_acc = 0;
    int m_count = 0;
};

int SignedBits(int32_t v)
{
    int n = 1;
    while (n < 32 && (v < -(int64_t(1) << (n - 1)) || v >= (int64_t(1) << (n - 1))))
        ++n;
    return n;
}

void PutRect(std::vector<uint8_t>& out, int32_t xMin, int32_t xMax, int32_t yMin, int32_t yMax)
{
    int bits = 1;
    for (int32_t v : {xMin, xMax, yMin, yMax})
        bits = std::max(bits, SignedBits(v));
    BitWriter w(out);
    w.Put(uint32_t(bits), 5);
    for (int32_t v : {xMin, xMax, yMin, yMax})
        w.Put(uint32_t(v), bits);
    w.Flush();
}

} // namespace

uint16_t FixedFrameRate(double fps)
{
    if (!(fps >= 0.0) || fps >= 256.0)
        throw std::invalid_argument("frame rate must be at least 0 and below 256");
    return uint16_t(std::min(65535.0, std::round(fps * 256.0)));
}

SwfWriter::SwfWriter(int widthPx, int heightPx, uint16_t frameRate, uint16_t frameCount)
{
    // Twips must fit the 31-bit fields of the RECT.
    if (widthPx < 0 || heightPx < 0 || widthPx > 1000000 || heightPx > 1000000)
        throw std::invalid_argument("frame size out of range");
    PutRect(m_body, 0, widthPx * 20, 0, heightPx * 20);
    PutU16(m_body, frameRate);
    PutU16(m_body, frameCount);
}

void SwfWriter::AddTag(uint16_t code, const std::vector<uint8_t>& body, bool longForm)
{
    if (code > 0x3FF)
        throw std::invalid_argument("tag code above 1023");
    if (longForm || body.size() >= 0x3F)
    {
        PutU16(m_body, uint32_t(code << 6) | 0x3F);
        PutU32(m_body, uint32_t(body.size()));
    }
    else
    {
        PutU16(m_body, uint32_t(code << 6) | uint32_t(body.size()));
    }
    m_body.insert(m_body.end(), body.begin(), body.end());
}

void SwfWriter::SetBackgroundColor(uint8_t r, uint8_t g, uint8_t b)
{
    AddTag(kTagSetBackgroundColor, {r, g, b});
}

void SwfWriter::ShowFrame()
{
    AddTag(kTagShowFrame, {});
}

std::vector<uint8_t> SwfWriter::Finish(bool compress, uint8_t version) const
{
    std::vector<uint8_t> body = m_body;
    PutU16(body, kTagEnd << 6);

    std::vector<uint8_t> out = {uint8_t(compress ? 'C' : 'F'), 'W', 'S', version};
    PutU32(out, uint32_t(body.size() + 8));
    if (!compress)
    {
        out.insert(out.end(), body.begin(), body.end());
        return out;
    }
    uLongf packedSize = compressBound(uLong(body.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, body.data(), uLong(body.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error("zlib compression failed");
    out.insert(out.end(), packed.begin(), packed.begin() + long(packedSize));
    return out;
}

std::vector<uint8_t> MakeMovie(const MovieOptions& options)
{
    if (options.frames > 0xFFFF)
        throw std::invalid_argument("at most 65535 frames");
    if (options.rgb > 0xFFFFFF)
        throw std::invalid_argument("colour is RRGGBB");
    SwfWriter w(options.width, options.height, FixedFrameRate(options.fps), uint16_t(options.frames));
    w.SetBackgroundColor(uint8_t(options.rgb >> 16), uint8_t(options.rgb >> 8), uint8_t(options.rgb));
    for (unsigned i = 0; i < options.frames; ++i)
        w.ShowFrame();
    return w.Finish(options.compress, options.version);
}

namespace
{

const std::string& Value(const std::vector<std::string>& args, size_t& i)
{
    if (i + 1 >= args.size())
        throw std::invalid_argument(args[i] + " needs a value");
    return args[++i];
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args)
{
    CommandLine cl;
    for (size_t i = 0; i < args.size(); ++i)
    {
        const std::string& a = args[i];
        if (a == "--rgb")
        {
            const std::string& v = Value(args, i);
            if (v.size() != 6 || v.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                throw std::invalid_argument("--rgb wants six hex digits RRGGBB, not \"" + v + "\"");
            cl.options.rgb = uint32_t(std::strtoul(v.c_str(), nullptr, 16));
        }
        else if (a == "--frames")
        {
            const std::string& v = Value(args, i);
            char* end = nullptr;
            unsigned long n = std::strtoul(v.c_str(), &end, 10);
            if (v.empty() || *end != '\0' || v[0] == '-' || n > 0xFFFF)
                throw std::invalid_argument("--frames wants a whole number from 0 to 65535, not \"" + v +
                                            "\"");
            cl.options.frames = unsigned(n);
        }
        else if (a == "--fps")
        {
            const std::string& v = Value(args, i);
            char* end = nullptr;
            double f = std::strtod(v.c_str(), &end);
            if (v.empty() || *end != '\0' || !(f > 0.0) || f >= 256.0)
                throw std::invalid_argument("--fps wants a number above 0 and below 256, not \"" + v + "\"");
            cl.options.fps = f;
        }
        else if (a == "--compress")
        {
            cl.options.compress = true;
        }
        else if (!a.empty() && a[0] == '-')
        {
            throw std::invalid_argument("unknown option " + a);
        }
        else if (cl.output.empty())
        {
            cl.output = a;
        }
        else
        {
            throw std::invalid_argument("more than one output file");
        }
    }
    if (cl.output.empty())
        throw std::invalid_argument("no output file");
    return cl;
}

} // namespace SwfGen
