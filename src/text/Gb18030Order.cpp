#include "text/Gb18030Order.h"

#include <QStringEncoder>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

// Keys are a code point's GB18030 bytes packed big-endian from the top byte down. GB18030 is
// prefix-free (a trail byte of a two-byte code never lies in the range of a four-byte code's
// second byte), so comparing keys compares the byte sequences. No GB18030 code starts with
// 0xFF, so a malformed UTF-8 byte gets the key 0xFF0000xx: after every character, by its value.
constexpr std::uint32_t kMalformedKey = 0xFF000000u;

std::uint32_t PackedKey(const char* bytes, int size) {
    std::uint32_t key = 0;
    for (int i = 0; i < 4; ++i) {
        key <<= 8;
        if (i < size)
            key |= static_cast<unsigned char>(bytes[i]);
    }
    return key;
}

// The length of the GB18030 code starting at `bytes`: 1, 2 or 4.
int CodeLength(const QByteArray& bytes, qsizetype at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80)
        return 1;
    if (at + 1 < bytes.size()) {
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        if (second >= 0x30 && second <= 0x39)
            return 4;
    }
    return 2;
}

// The key of every code point of the Basic Multilingual Plane (0 for the surrogates, which
// never reach it), made once with a fresh encoder so no conversion state carries over between
// characters or between calls.
std::vector<std::uint32_t> MakeBmpKeys() {
    std::vector<std::uint32_t> keys(0x10000, 0);
    QString all;
    all.reserve(0x10000 - 0x800);
    for (char32_t cp = 0; cp < 0x10000; ++cp) {
        if (cp < 0xD800 || cp > 0xDFFF)
            all.append(QChar(static_cast<char16_t>(cp)));
    }
    QStringEncoder bulk("GB18030", QStringConverter::Flag::Stateless);
    const QByteArray bytes = bulk.isValid() ? QByteArray(bulk.encode(all)) : QByteArray();
    qsizetype at = 0;
    bool aligned = !bulk.hasError();
    for (char32_t cp = 0; aligned && cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        if (at >= bytes.size()) {
            aligned = false;
            break;
        }
        const int length = CodeLength(bytes, at);
        if (at + length > bytes.size()) {
            aligned = false;
            break;
        }
        keys[cp] = PackedKey(bytes.constData() + at, length);
        at += length;
    }
    if (aligned && at == bytes.size())
        return keys;
    // The converter substituted something: encode one character at a time instead.
    for (char32_t cp = 0; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        QStringEncoder one("GB18030", QStringConverter::Flag::Stateless);
        const QByteArray code = one.encode(QString(QChar(static_cast<char16_t>(cp))));
        keys[cp] = one.hasError() || code.isEmpty() || code.size() > 4
                       ? kMalformedKey | 0xFF
                       : PackedKey(code.constData(), static_cast<int>(code.size()));
    }
    return keys;
}

// Code points beyond U+FFFF follow one another in GB18030's four-byte codes from 0x90308130.
std::uint32_t SupplementaryKey(char32_t cp) {
    std::uint32_t linear = cp - 0x10000;
    const std::uint32_t b4 = 0x30 + linear % 10;
    linear /= 10;
    const std::uint32_t b3 = 0x81 + linear % 126;
    linear /= 126;
    const std::uint32_t b2 = 0x30 + linear % 10;
    const std::uint32_t b1 = 0x90 + linear / 10;
    return b1 << 24 | b2 << 16 | b3 << 8 | b4;
}

std::uint32_t KeyOf(char32_t cp) {
    if (cp < 0x80)
        return static_cast<std::uint32_t>(cp) << 24;
    if (cp > 0xFFFF)
        return SupplementaryKey(cp);
    static const std::vector<std::uint32_t> bmp = MakeBmpKeys();
    return bmp[cp];
}

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// The key of the UTF-8 sequence at text[pos], advancing past it. Anything that is not a
// well-formed sequence (stray or missing continuation bytes, overlong forms, surrogates, values
// past U+10FFFF) counts as its first byte alone, malformed.
std::uint32_t NextKey(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return static_cast<std::uint32_t>(lead) << 24;
    }
    int extra = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        min = 0x10000;
    }
    bool ok = extra > 0;
    char32_t cp = lead & (0x3F >> extra);
    for (int i = 1; ok && i <= extra; ++i) {
        if (pos + i >= text.size()) {
            ok = false;
            break;
        }
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if (!IsContinuation(next))
            ok = false;
        cp = (cp << 6) | (next & 0x3F);
    }
    if (!ok || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return kMalformedKey | lead;
    }
    pos += extra + 1;
    return KeyOf(cp);
}

}  // namespace

int CompareGb18030(std::string_view a, std::string_view b) {
    // Equal leading bytes encode equally; start where both texts begin a sequence before the
    // first difference. A byte that is no continuation byte always begins one, so the keys from
    // there are the keys a walk from the start would give.
    std::size_t pos = 0;
    const std::size_t common = std::min(a.size(), b.size());
    while (pos < common && a[pos] == b[pos])
        ++pos;
    auto continues = [](std::string_view text, std::size_t at) {
        return at < text.size() && IsContinuation(static_cast<unsigned char>(text[at]));
    };
    while (pos > 0 && (continues(a, pos) || continues(b, pos)))
        --pos;

    std::size_t i = pos, j = pos;
    while (i < a.size() && j < b.size()) {
        const std::uint32_t ka = NextKey(a, i);
        const std::uint32_t kb = NextKey(b, j);
        if (ka != kb)
            return ka < kb ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}
