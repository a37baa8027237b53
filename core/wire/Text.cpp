#include "core/wire/Text.h"

#include <cstdint>
#include <cstring>

namespace qvd {

namespace {

// Code points of 0x80..0x9F; the undefined five keep their own value.
constexpr uint16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

int ByteFor(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<int>(cp);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == cp) return 0x80 + i;
    return -1;
}

// End of the run of ASCII bytes from `from`, eight at a time: views and
// reports are nearly all ASCII, and a byte at a time was most of their cost.
size_t AsciiRunEnd(const std::string& s, size_t from) {
    size_t i = from;
    for (; i + 8 <= s.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, s.data() + i, 8);
        if (word & 0x8080808080808080ull) break;
    }
    while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
    return i;
}

}  // namespace

std::string FromWire(const std::string& cp1252) {
    std::string out;
    out.reserve(cp1252.size());
    for (size_t i = 0; i < cp1252.size(); ++i) {
        const size_t ascii = AsciiRunEnd(cp1252, i);
        out.append(cp1252, i, ascii - i);
        if (ascii == cp1252.size()) break;
        i = ascii;
        const unsigned char b = static_cast<unsigned char>(cp1252[i]);
        AppendUtf8(out, b < 0xA0 ? kHigh[b - 0x80] : b);
    }
    return out;
}

std::string ToWire(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        if (const size_t ascii = AsciiRunEnd(utf8, i); ascii > i) {
            out.append(utf8, i, ascii - i);
            i = ascii;
            continue;
        }
        const unsigned char b = static_cast<unsigned char>(utf8[i]);
        uint32_t cp = 0;
        size_t len = 1;
        if (b < 0x80) cp = b;
        else if ((b & 0xE0) == 0xC0) { cp = b & 0x1F; len = 2; }
        else if ((b & 0xF0) == 0xE0) { cp = b & 0x0F; len = 3; }
        else if ((b & 0xF8) == 0xF0) { cp = b & 0x07; len = 4; }
        else { out += '?'; ++i; continue; }
        if (i + len > utf8.size()) { out += '?'; break; }
        bool valid = true;
        for (size_t k = 1; k < len; ++k) {
            const unsigned char c = static_cast<unsigned char>(utf8[i + k]);
            if ((c & 0xC0) != 0x80) { valid = false; break; }
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!valid) { out += '?'; ++i; continue; }
        const int byte = ByteFor(cp);
        out += byte < 0 ? '?' : static_cast<char>(byte);
        i += len;
    }
    return out;
}

}  // namespace qvd
