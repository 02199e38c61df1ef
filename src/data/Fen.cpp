#include "data/Fen.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::optional<Fen> Refuse(Fen::Fault why, Fen::Fault* fault) {
    if (fault)
        *fault = why;
    return std::nullopt;
}

}  // namespace

std::optional<Fen> Fen::Parse(std::string_view text, Fault* fault) {
    if (fault)
        *fault = Fault::None;
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    bool digits = true;
    for (const char c : whole)
        digits = digits && IsDigit(c);
    for (const char c : fraction)
        digits = digits && IsDigit(c);
    if (!digits || (whole.empty() && fraction.empty()))
        return Refuse(Fault::NotANumber, fault);

    // Leading zeros count for nothing; more digits than the largest amount has are too many.
    const std::string_view significant =
        whole.substr(std::min(whole.find_first_not_of('0'), whole.size()));
    if (significant.size() > 13)
        return Refuse(Fault::TooLarge, fault);
    std::int64_t count = 0;
    for (const char c : significant)
        count = count * 10 + (c - '0');
    for (std::size_t i = 0; i < fraction.size(); ++i) {
        if (i < 2)
            count = count * 10 + (fraction[i] - '0');
        else if (fraction[i] != '0')
            return Refuse(Fault::FinerThanFen, fault);
    }
    for (std::size_t i = fraction.size(); i < 2; ++i)
        count *= 10;
    return Fen(negative ? -count : count);
}

std::optional<Fen> Fen::FromYuan(double yuan) {
    if (!std::isfinite(yuan) || std::fabs(yuan) >= 1e15)
        return std::nullopt;
    return Fen(std::llround(yuan * 100));
}

double Fen::Yuan() const {
    return static_cast<double>(m_nCount) / 100.0;
}

std::string FenText(Fen amount, FenStyle style) {
    const std::int64_t count = amount.Count();
    // Unsigned, so the most negative count has a magnitude too.
    const std::uint64_t magnitude =
        count < 0 ? 0 - static_cast<std::uint64_t>(count) : static_cast<std::uint64_t>(count);
    // In a buffer and without the floating-point printer: a list of a year's rows is cheap.
    char yuan[24];
    const std::size_t digits = static_cast<std::size_t>(
        std::to_chars(yuan, yuan + sizeof yuan, magnitude / 100).ptr - yuan);
    char text[48];
    char* out = text;
    if (count < 0)
        *out++ = '-';
    for (std::size_t i = 0; i < digits; ++i) {
        if (style == FenStyle::Grouped && i > 0 && (digits - i) % 3 == 0)
            *out++ = ',';
        *out++ = yuan[i];
    }
    const unsigned cents = static_cast<unsigned>(magnitude % 100);
    const int least = style == FenStyle::Edit ? 0 : style == FenStyle::List ? 1 : 2;
    const int decimals = cents % 10 != 0 ? 2 : cents != 0 ? std::max(1, least) : least;
    if (decimals > 0) {
        *out++ = '.';
        *out++ = static_cast<char>('0' + cents / 10);
    }
    if (decimals > 1)
        *out++ = static_cast<char>('0' + cents % 10);
    return std::string(text, out);
}

std::string StoredAmountText(double yuan) {
    if (const std::optional<Fen> fen = Fen::FromYuan(yuan))
        return FenText(*fen, FenStyle::List);
    char text[400];
    std::snprintf(text, sizeof text, "%0.1f", yuan);
    return text;
}

std::string FenOfColumnSql(const std::string& column) {
    return "cast(round(" + column + " * 100) as integer)";
}
