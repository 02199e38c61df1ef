#include "text/NumericText.h"

#include <locale.h>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

bool IsNumericText(std::string_view text) {
    if (text.empty() || text == ".")
        return false;
    bool bPoint = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch >= '0' && ch <= '9')
            continue;
        if (ch == '+')
            continue;
        if (ch == '-' && i == 0 && text.size() >= 2)
            continue;
        if (ch == '.' && !bPoint) {
            bPoint = true;
            continue;
        }
        return false;
    }
    return true;
}

double TextToNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool bNegative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        bNegative = text[i] == '-';
        ++i;
    }
    // from_chars takes no '+' and ignores the locale, which is why the sign is read above. It
    // would also read "nan" and "inf", which the runtime does not: a number starts with a digit
    // or a point.
    if (i >= text.size() || !((text[i] >= '0' && text[i] <= '9') || text[i] == '.'))
        return 0;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data() + i, text.data() + text.size(), value,
                                           std::chars_format::general);
    if (ec == std::errc::invalid_argument)
        return 0;
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small for a double: the runtime gives HUGE_VAL, or 0 or a subnormal
        // number for a tiny one, whichever side the exponent puts it.
        static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
        const std::string number(text.data() + i, end);
        value = strtod_l(number.c_str(), nullptr, c);
    }
    return bNegative ? -value : value;
}
