#include "query/Gb18030Order.h"

#include <QStringEncoder>
#include <algorithm>
#include <array>
#include <cstdint>

namespace {

// A code point's GB18030 bytes packed big-endian from the top byte down. GB18030 is prefix-free
// (a trail byte of a two-byte code never lies in the range of a four-byte code's second byte),
// so comparing these keys compares the byte sequences.
std::uint32_t EncodeKey(char32_t cp) {
    static QStringEncoder encoder("GB18030");
    const char32_t ucs4[1] = {cp};
    const QByteArray bytes = encoder.encode(QString::fromUcs4(ucs4, 1));
    std::uint32_t key = 0;
    for (int i = 0; i < 4; ++i) {
        key <<= 8;
        if (i < bytes.size())
            key |= static_cast<unsigned char>(bytes[i]);
    }
    return key;
}

std::uint32_t KeyOf(char32_t cp) {
    if (cp < 0x80)
        return static_cast<std::uint32_t>(cp) << 24;
    if (cp > 0xFFFF)
        return EncodeKey(cp);
    // Sorting meets the same few thousand characters over and over; encode each once.
    static std::array<std::uint32_t, 0x10000> cache{};
    std::uint32_t& key = cache[cp];
    if (key == 0)
        key = EncodeKey(cp);
    return key;
}

// Decodes one UTF-8 sequence at text[pos]; a malformed byte stands for itself as U+FFFD.
char32_t Decode(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    const int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || pos + extra >= text.size()) {
        ++pos;
        return 0xFFFD;
    }
    char32_t cp = lead & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    pos += extra + 1;
    return cp;
}

}  // namespace

int CompareGb18030(std::string_view a, std::string_view b) {
    // Equal leading bytes encode equally; start at the code point where the texts part.
    std::size_t pos = 0;
    const std::size_t common = std::min(a.size(), b.size());
    while (pos < common && a[pos] == b[pos])
        ++pos;
    auto continues = [](std::string_view text, std::size_t at) {
        return at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80;
    };
    while (pos > 0 && (continues(a, pos) || continues(b, pos)))
        --pos;

    std::size_t i = pos, j = pos;
    while (i < a.size() && j < b.size()) {
        const std::uint32_t ka = KeyOf(Decode(a, i));
        const std::uint32_t kb = KeyOf(Decode(b, j));
        if (ka != kb)
            return ka < kb ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}
