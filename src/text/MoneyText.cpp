#include "text/MoneyText.h"

std::string FormatFen(std::int64_t fen) {
    // Unsigned, so the most negative value has a magnitude too.
    const std::uint64_t magnitude =
        fen < 0 ? 0 - static_cast<std::uint64_t>(fen) : static_cast<std::uint64_t>(fen);
    const std::string digits = std::to_string(magnitude / 100);
    std::string text = fen < 0 ? "-" : "";
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    const unsigned cents = static_cast<unsigned>(magnitude % 100);
    text += '.';
    text += static_cast<char>('0' + cents / 10);
    text += static_cast<char>('0' + cents % 10);
    return text;
}
