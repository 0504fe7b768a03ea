#include "Platform/Shim/Flash/SwfHeader.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace Kestrin::Shim
{

namespace
{

constexpr uint16_t kTagEnd = 0;
constexpr uint16_t kTagSetBackgroundColor = 9;
constexpr size_t kSignatureSize = 8; // signature, version, u32 length

// The bytes after the 8-byte signature block, plain or inflated on demand. A read that cannot be
// served whole fails and says why.
class BodyReader
{
public:
    enum class End
    {
        None,
        Data,    // the input or the declared length ran out
        Bound,   // our own inflate bound, not the file's fault
        Corrupt, // zlib refused the stream
    };

    BodyReader(const uint8_t* data, size_t size, uint64_t declaredBody, bool inflate)
        : m_data(data), m_size(size), m_inflate(inflate)
    {
        if (!inflate)
        {
            m_limit = std::min<uint64_t>(declaredBody, size);
            return;
        }
        m_limit = std::min<uint64_t>(declaredBody, kSwfMaxInflatedBytes);
        m_limitIsBound = declaredBody > kSwfMaxInflatedBytes;
        m_zOpen = inflateInit(&m_zs) == Z_OK;
        if (!m_zOpen)
            m_end = End::Corrupt;
    }
    ~BodyReader()
    {
        if (m_zOpen)
            inflateEnd(&m_zs);
    }
    BodyReader(const BodyReader&) = delete;
    BodyReader& operator=(const BodyReader&) = delete;

    End WhyEnded() const { return m_end; }

    bool Read(uint8_t* dst, size_t n)
    {
        if (m_end != End::None)
            return false;
        if (n > m_limit - m_pos)
        {
            // Ask for what is left first, so a damaged stream is told apart from a short one.
            if (m_inflate)
                Produce(nullptr, size_t(m_limit - m_pos));
            if (m_end == End::None)
                m_end = m_limitIsBound ? End::Bound : End::Data;
            return false;
        }
        if (!m_inflate)
        {
            std::memcpy(dst, m_data + m_pos, n);
            m_pos += n;
            return true;
        }
        return Produce(dst, n);
    }

    bool Skip(uint64_t n)
    {
        if (!m_inflate)
        {
            if (n > m_limit - m_pos)
            {
                m_end = End::Data;
                return false;
            }
            m_pos += n;
            return true;
        }
        uint8_t scratch[4096];
        while (n > 0)
        {
            size_t step = size_t(std::min<uint64_t>(n, sizeof scratch));
            if (!Read(scratch, step))
                return false;
            n -= step;
        }
        return true;
    }

private:
    // Inflates exactly n bytes (into dst, or into scratch space when dst is null).
    bool Produce(uint8_t* dst, size_t n)
    {
        uint8_t scratch[4096];
        while (n > 0)
        {
            uint8_t* out = dst ? dst : scratch;
            size_t want = dst ? n : std::min(n, sizeof scratch);
            want = std::min<size_t>(want, UINT_MAX);
            if (m_zs.avail_in == 0 && m_in < m_size)
            {
                size_t chunk = std::min<size_t>(m_size - m_in, UINT_MAX);
                m_zs.next_in = const_cast<Bytef*>(m_data + m_in);
                m_zs.avail_in = uInt(chunk);
                m_in += chunk;
            }
            m_zs.next_out = out;
            m_zs.avail_out = uInt(want);
            int rc = inflate(&m_zs, Z_NO_FLUSH);
            size_t got = want - m_zs.avail_out;
            m_pos += got;
            n -= got;
            if (dst)
                dst += got;
            if (rc == Z_STREAM_END)
            {
                if (n > 0)
                {
                    m_end = End::Data;
                    return false;
                }
                // Nothing more comes out: a further read is short.
                m_limit = m_pos;
                m_limitIsBound = false;
                return true;
            }
            if (rc == Z_BUF_ERROR || (rc == Z_OK && got == 0 && m_zs.avail_in == 0 && m_in >= m_size))
            {
                m_end = End::Data;
                return false;
            }
            if (rc != Z_OK)
            {
                m_end = End::Corrupt;
                return false;
            }
        }
        return true;
    }

    const uint8_t* m_data;
    size_t m_size; // for plain bodies: the body; for inflated ones: the packed input
    bool m_inflate;
    uint64_t m_limit = 0; // body bytes we may hand out
    bool m_limitIsBound = false;
    uint64_t m_pos = 0;
    End m_end = End::None;
    z_stream m_zs{};
    bool m_zOpen = false;
    size_t m_in = 0; // packed bytes handed to zlib so far
};

uint32_t U32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Signed field of `bits` bits (1..31) starting at bit `pos`, most-significant bit first.
int32_t SignedBits(const uint8_t* p, int pos, int bits)
{
    uint32_t v = 0;
    for (int i = 0; i < bits; ++i, ++pos)
        v = (v << 1) | ((p[pos >> 3] >> (7 - (pos & 7))) & 1u);
    if (bits > 0 && (v >> (bits - 1)) & 1u)
        v |= ~uint32_t(0) << (bits - 1);
    return int32_t(v);
}

SwfStatus Failed(const BodyReader& body)
{
    switch (body.WhyEnded())
    {
    case BodyReader::End::Corrupt:
        return SwfStatus::Corrupt;
    case BodyReader::End::Bound:
        return SwfStatus::Ok;
    default:
        return SwfStatus::Truncated;
    }
}

SwfStatus ReadBody(BodyReader& body, SwfHeader& header)
{
    // Running out inside the header leaves it unknown, whatever the reason.
    auto headerFailed = [&]
    {
        SwfStatus s = Failed(body);
        return s == SwfStatus::Ok ? SwfStatus::Truncated : s;
    };
    // RECT: 5 bits of field width, then four fields; at most 17 bytes.
    uint8_t rect[17] = {};
    if (!body.Read(rect, 1))
        return headerFailed();
    int bits = rect[0] >> 3;
    size_t rectBytes = (5 + 4 * size_t(bits) + 7) / 8;
    if (!body.Read(rect + 1, rectBytes - 1))
        return headerFailed();
    uint8_t rateCount[4];
    if (!body.Read(rateCount, 4))
        return headerFailed();
    if (bits > 0)
    {
        header.xMin = SignedBits(rect, 5, bits);
        header.xMax = SignedBits(rect, 5 + bits, bits);
        header.yMin = SignedBits(rect, 5 + 2 * bits, bits);
        header.yMax = SignedBits(rect, 5 + 3 * bits, bits);
    }
    header.frameRate = uint16_t(rateCount[0] | rateCount[1] << 8);
    header.frameCount = uint16_t(rateCount[2] | rateCount[3] << 8);
    header.hasFrameInfo = true;

    // Every tag costs at least two bytes of the bounded body, so the walk ends.
    for (;;)
    {
        uint8_t tag[2];
        if (!body.Read(tag, 2))
            return Failed(body);
        uint16_t codeAndLength = uint16_t(tag[0] | tag[1] << 8);
        uint16_t code = codeAndLength >> 6;
        uint32_t length = codeAndLength & 0x3F;
        if (length == 0x3F)
        {
            uint8_t longLength[4];
            if (!body.Read(longLength, 4))
                return Failed(body);
            length = U32(longLength);
        }
        if (code == kTagEnd)
            return SwfStatus::Ok;
        if (code == kTagSetBackgroundColor)
        {
            if (length < 3)
                return SwfStatus::Corrupt;
            uint8_t rgb[3];
            if (!body.Read(rgb, 3))
                return Failed(body);
            header.background = {rgb[0], rgb[1], rgb[2]};
            header.hasBackground = true;
            return SwfStatus::Ok;
        }
        if (!body.Skip(length))
            return Failed(body);
    }
}

} // namespace

const char* SwfStatusText(SwfStatus status)
{
    switch (status)
    {
    case SwfStatus::Ok:
        return "ok";
    case SwfStatus::HeaderOnly:
        return "LZMA-compressed, header only";
    case SwfStatus::NotSwf:
        return "not a SWF file";
    case SwfStatus::Truncated:
        return "truncated";
    case SwfStatus::Corrupt:
        return "corrupt";
    }
    return "unknown";
}

SwfStatus ParseSwfHeader(const uint8_t* data, size_t size, SwfHeader& header)
{
    header = SwfHeader{};
    if (data == nullptr || size < 3 || data[1] != 'W' || data[2] != 'S')
        return SwfStatus::NotSwf;
    switch (data[0])
    {
    case 'F':
        header.compression = SwfCompression::None;
        break;
    case 'C':
        header.compression = SwfCompression::Zlib;
        break;
    case 'Z':
        header.compression = SwfCompression::Lzma;
        break;
    default:
        return SwfStatus::NotSwf;
    }
    if (size < kSignatureSize)
        return SwfStatus::Truncated;
    header.version = data[3];
    header.fileLength = U32(data + 4);
    if (header.fileLength < kSignatureSize)
        return SwfStatus::Corrupt;
    if (header.compression == SwfCompression::Lzma)
        return SwfStatus::HeaderOnly;

    uint64_t declaredBody = uint64_t(header.fileLength) - kSignatureSize;
    BodyReader body(data + kSignatureSize, size - kSignatureSize, declaredBody,
                    header.compression == SwfCompression::Zlib);
    return ReadBody(body, header);
}

} // namespace Kestrin::Shim
