#include "data/FieldConversion.h"

#include <langinfo.h>
#include <locale.h>
#include <monetary.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* kDefaultDatePattern = "%Y-%m-%d %H:%M:%S";

// Old-runtime rounding: at most 17 significant digits, then zeros.
constexpr int kMaxRealDigits = 17;

}  // namespace

std::string GcvtText(double value, int digits) {
    if (std::isnan(value))
        return std::signbit(value) ? "-1.#IND" : "1.#QNAN";
    if (std::isinf(value))
        return value < 0 ? "-1.#INF" : "1.#INF";
    if (digits < 1)
        digits = 1;
    const int significant = digits < kMaxRealDigits ? digits : kMaxRealDigits;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", significant - 1, std::fabs(value));
    std::string mantissa;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p) {
        if (*p != '.')
            mantissa += *p;
    }
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    mantissa.resize(static_cast<size_t>(digits), '0');

    std::string out = std::signbit(value) && value != 0 ? "-" : "";
    const auto stripZeros = [](std::string& s) {
        while (!s.empty() && s.back() == '0')
            s.pop_back();
    };
    if (exponent < -1 || exponent > digits - 1) {
        std::string fraction = mantissa.substr(1);
        stripZeros(fraction);
        char exp[16];
        std::snprintf(exp, sizeof exp, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
        out += mantissa.substr(0, 1) + "." + fraction + exp;
    } else {
        const int point = exponent + 1;  // digits before the decimal point
        std::string fraction;
        if (point <= 0) {
            out += "0";
            fraction = mantissa;
        } else {
            out += mantissa.substr(0, static_cast<size_t>(point));
            fraction = mantissa.substr(static_cast<size_t>(point));
        }
        stripZeros(fraction);
        // The point stays when digits were left over for a fraction, even if they were zeros.
        if (!fraction.empty() || point < digits)
            out += "." + fraction;
    }
    return out;
}

std::string CurrencyText(std::int64_t tenThousandths) {
    const double value = static_cast<double>(tenThousandths) / 10000;
    char plain[64];
    std::snprintf(plain, sizeof plain, "%f", value);
    locale_t locale = newlocale(LC_MONETARY_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr))
        return plain;
    std::string result = plain;
    // The C locale has no currency symbol: that counts as "no currency format".
    const char* symbol = nl_langinfo_l(CRNCYSTR, locale);
    char formatted[64];
    if (symbol != nullptr && symbol[0] != '\0' && symbol[1] != '\0' &&
        strfmon_l(formatted, sizeof formatted, locale, "%n", value) > 0) {
        result = formatted;
    }
    freelocale(locale);
    return result;
}

bool VariantToText(const CVariant& v, const std::string& datePattern, std::string& text) {
    switch (v.Kind()) {
        case VarKind::Empty:
        case VarKind::Null:
            text.clear();
            return true;
        case VarKind::I2:
        case VarKind::I4:
        case VarKind::Int:
        case VarKind::UI1:
        case VarKind::UI4:
            text = std::to_string(v.IntValue());
            return true;
        case VarKind::R4:
            text = GcvtText(v.RealValue(), 10);
            return true;
        case VarKind::R8:
            text = GcvtText(v.RealValue(), 20);
            return true;
        case VarKind::Decimal:
            text = GcvtText(DecimalToDouble(v.DecimalValue()), 20);
            return true;
        case VarKind::Currency:
            text = CurrencyText(v.IntValue());
            return true;
        case VarKind::Date:
            text = DateTimeValue(v.RealValue())
                       .Format(datePattern.empty() ? kDefaultDatePattern : datePattern);
            return true;
        case VarKind::Text:
            text = v.TextValue();
            return true;
        case VarKind::Bool:
            text = v.BoolValue() ? "T" : "F";
            return true;
        default:
            return false;
    }
}

double VariantToDouble(const CVariant& v) {
    // Text, dates, booleans and empty values read as 0.
    return v.NumberValue().value_or(0);
}

bool VariantToDateTime(const CVariant& v, DateTimeValue& date) {
    switch (v.Kind()) {
        case VarKind::Empty:
        case VarKind::Null:
            date.SetStatus(DateTimeValue::null);
            return true;
        case VarKind::Date:
            date = DateTimeValue(v.RealValue());
            return true;
        default:
            return false;
    }
}
