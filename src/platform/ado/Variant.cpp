#include "platform/ado/Variant.h"

#include <cstring>
#include <new>
#include <utility>

CVariant::CVariant(VarKind kind) : m_kind(kind), m_decimal{} {}

CVariant::~CVariant() {
    DestroyText();
}

void CVariant::DestroyText() {
    if (HasText())
        m_strText.~basic_string();
}

const std::string& CVariant::EmptyText() {
    static const std::string empty;
    return empty;
}

CVariant::CVariant(const CVariant& other) : m_kind(other.m_kind), m_decimal{} {
    if (other.HasText())
        new (&m_strText) std::string(other.m_strText);
    else
        std::memcpy(&m_decimal, &other.m_decimal, sizeof m_decimal);
}

CVariant::CVariant(CVariant&& other) noexcept : m_kind(other.m_kind), m_decimal{} {
    if (other.HasText())
        new (&m_strText) std::string(std::move(other.m_strText));
    else
        std::memcpy(&m_decimal, &other.m_decimal, sizeof m_decimal);
}

CVariant& CVariant::operator=(const CVariant& other) {
    if (this != &other) {
        if (HasText() && other.HasText()) {
            m_strText = other.m_strText;
        } else {
            CVariant copy(other);
            *this = std::move(copy);
        }
        m_kind = other.m_kind;
    }
    return *this;
}

CVariant& CVariant::operator=(CVariant&& other) noexcept {
    if (this != &other) {
        if (HasText() && other.HasText()) {
            m_strText = std::move(other.m_strText);
        } else {
            DestroyText();
            if (other.HasText())
                new (&m_strText) std::string(std::move(other.m_strText));
            else
                std::memcpy(&m_decimal, &other.m_decimal, sizeof m_decimal);
        }
        m_kind = other.m_kind;
    }
    return *this;
}

CVariant CVariant::Null() {
    return CVariant(VarKind::Null);
}

CVariant CVariant::FromInteger(VarKind kind, std::int64_t value) {
    CVariant v(kind);
    v.m_nInt = value;
    return v;
}

CVariant CVariant::FromReal(VarKind kind, double value) {
    CVariant v(kind);
    v.m_dReal = value;
    return v;
}

CVariant CVariant::FromString(VarKind kind, std::string value) {
    CVariant v;
    new (&v.m_strText) std::string(std::move(value));
    v.m_kind = kind;
    return v;
}

CVariant CVariant::FromI2(std::int16_t value) {
    return FromInteger(VarKind::I2, value);
}
CVariant CVariant::FromI4(std::int32_t value) {
    return FromInteger(VarKind::I4, value);
}
CVariant CVariant::FromInt(int value) {
    return FromInteger(VarKind::Int, value);
}
CVariant CVariant::FromUI1(std::uint8_t value) {
    return FromInteger(VarKind::UI1, value);
}
CVariant CVariant::FromUI4(std::uint32_t value) {
    return FromInteger(VarKind::UI4, value);
}
CVariant CVariant::FromCurrency(std::int64_t tenThousandths) {
    return FromInteger(VarKind::Currency, tenThousandths);
}
CVariant CVariant::FromBool(bool value) {
    return FromInteger(VarKind::Bool, value ? 1 : 0);
}
CVariant CVariant::FromR4(float value) {
    return FromReal(VarKind::R4, value);
}
CVariant CVariant::FromR8(double value) {
    return FromReal(VarKind::R8, value);
}
CVariant CVariant::FromDate(double days) {
    return FromReal(VarKind::Date, days);
}
CVariant CVariant::FromText(std::string value) {
    return FromString(VarKind::Text, std::move(value));
}
CVariant CVariant::FromBinary(std::string bytes) {
    return FromString(VarKind::Binary, std::move(bytes));
}

void CVariant::AssignText(std::string_view text) {
    if (HasText())
        m_strText.assign(text);
    else
        new (&m_strText) std::string(text);
    m_kind = VarKind::Text;
}

CVariant CVariant::FromDecimal(const DecimalParts& value) {
    CVariant v(VarKind::Decimal);
    v.m_decimal = value;
    return v;
}

std::optional<double> CVariant::NumberValue() const {
    switch (m_kind) {
        case VarKind::I2:
        case VarKind::I4:
        case VarKind::Int:
        case VarKind::UI1:
        case VarKind::UI4:
            return static_cast<double>(m_nInt);
        case VarKind::R4:
        case VarKind::R8:
            return m_dReal;
        case VarKind::Currency:
            return static_cast<double>(m_nInt) / 10000;
        case VarKind::Decimal:
            return DecimalToDouble(m_decimal);
        default:
            return std::nullopt;
    }
}

bool CVariant::operator==(const CVariant& o) const {
    if (m_kind != o.m_kind)
        return false;
    switch (m_kind) {
        case VarKind::Empty:
        case VarKind::Null:
            return true;
        case VarKind::R4:
        case VarKind::R8:
        case VarKind::Date:
            return m_dReal == o.m_dReal;
        case VarKind::Decimal:
            return m_decimal.scale == o.m_decimal.scale && m_decimal.sign == o.m_decimal.sign &&
                   m_decimal.hi32 == o.m_decimal.hi32 && m_decimal.lo64 == o.m_decimal.lo64;
        case VarKind::Text:
        case VarKind::Binary:
            return m_strText == o.m_strText;
        default:
            return m_nInt == o.m_nInt;
    }
}

double DecimalToDouble(const DecimalParts& d) {
    const double mantissa =
        static_cast<double>(d.hi32) * 18446744073709551616.0 + static_cast<double>(d.lo64);
    double power = 1;
    for (int i = 0; i < d.scale; ++i)
        power *= 10;
    const double v = mantissa / power;
    return d.sign == 0x80 ? -v : v;
}

// A 96-bit mantissa needs more than 64 bits on the way; GCC and clang both have this type.
__extension__ typedef unsigned __int128 Mantissa;

bool DecimalFromText(const std::string& text, DecimalParts& out) {
    Mantissa mantissa = 0;
    const Mantissa limit = (static_cast<Mantissa>(1) << 96) - 1;
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    int scale = 0;
    int digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            if (mantissa * 10 + static_cast<unsigned>(c - '0') > limit)
                return false;
            mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
            if (point)
                ++scale;
            ++digits;
        } else {
            break;
        }
    }
    if (digits == 0)
        return false;
    int exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            expNegative = text[i++] == '-';
        if (i >= text.size())
            return false;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            exponent = exponent * 10 + (text[i] - '0');
            if (exponent > 100)
                return false;
        }
        if (expNegative)
            exponent = -exponent;
    }
    if (i != text.size())
        return false;
    scale -= exponent;
    for (; scale < 0; ++scale) {
        if (mantissa * 10 > limit)
            return false;
        mantissa *= 10;
    }
    // Drop digits beyond the largest scale a decimal carries.
    for (; scale > 28; --scale)
        mantissa /= 10;
    out.scale = static_cast<std::uint8_t>(scale);
    out.sign = negative && mantissa != 0 ? 0x80 : 0;
    out.hi32 = static_cast<std::uint32_t>(mantissa >> 64);
    out.lo64 = static_cast<std::uint64_t>(mantissa);
    return true;
}
