// The numeric text reader reads what the C runtime's strtod reads from the same decimal text,
// and a text that passes as numeric reads as a number, never NaN.
#include <locale.h>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/NumericText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const double value = TextToNumber(text);
    if (std::isnan(value))
        std::abort();
    IsNumericText(text);
    // Hexadecimal, "inf" and "nan" are not decimal texts: compare only decimal alphabets.
    if (text.find_first_not_of("0123456789+-.eE \t\n\v\f\r") != std::string::npos)
        return 0;
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const double expected = strtod_l(text.c_str(), nullptr, c);
    if (value != expected)
        std::abort();
    return 0;
}
