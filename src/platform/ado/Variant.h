#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The kinds of tagged value a field can hold.
enum class VarKind : std::uint8_t {
    Empty,
    Null,
    I2,        // 16-bit signed
    I4,        // 32-bit signed
    Int,       // machine integer
    UI1,       // unsigned 8-bit
    UI4,       // unsigned 32-bit
    R4,        // single
    R8,        // double
    Currency,  // 64-bit count of ten-thousandths
    Decimal,   // 96-bit mantissa, scale and sign
    Date,      // days since 1899-12-30
    Text,
    Bool,
    Binary,  // bytes the conversions do not handle
};

// Plain data (zero it with `DecimalParts d{}`): it shares storage with the other values.
struct DecimalParts {
    std::uint8_t scale;  // power of ten the mantissa is divided by, 0..28
    std::uint8_t sign;   // 0x80 when negative
    std::uint32_t hi32;
    std::uint64_t lo64;
};

// 40 bytes: the text shares storage with the numbers, since a recordset holds
// one of these per field of every row it has read.
class CVariant {
public:
    CVariant() : m_decimal{} {}
    ~CVariant();
    CVariant(const CVariant& other);
    CVariant(CVariant&& other) noexcept;
    CVariant& operator=(const CVariant& other);
    CVariant& operator=(CVariant&& other) noexcept;

    static CVariant Null();
    static CVariant FromI2(std::int16_t v);
    static CVariant FromI4(std::int32_t v);
    static CVariant FromInt(int v);
    static CVariant FromUI1(std::uint8_t v);
    static CVariant FromUI4(std::uint32_t v);
    static CVariant FromR4(float v);
    static CVariant FromR8(double v);
    static CVariant FromCurrency(std::int64_t tenThousandths);
    static CVariant FromDecimal(const DecimalParts& v);
    static CVariant FromDate(double days);
    static CVariant FromText(std::string v);
    static CVariant FromBool(bool v);
    static CVariant FromBinary(std::string bytes);
    // Makes this the text `text`, reusing the room of a text it already holds.
    void AssignText(std::string_view text);

    VarKind Kind() const { return m_kind; }
    bool IsNullOrEmpty() const { return m_kind == VarKind::Null || m_kind == VarKind::Empty; }

    std::int64_t IntValue() const { return m_nInt; }  // I2, I4, Int, UI1, UI4, Currency, Bool
    double RealValue() const { return m_dReal; }      // R4, R8, Date
    const DecimalParts& DecimalValue() const { return m_decimal; }
    // Text, Binary; empty for the other kinds.
    const std::string& TextValue() const { return HasText() ? m_strText : EmptyText(); }
    bool BoolValue() const { return m_nInt != 0; }
    // The value of a number kind (integers, reals, currency, decimal); nullopt for the others.
    std::optional<double> NumberValue() const;

    bool operator==(const CVariant& other) const;

private:
    explicit CVariant(VarKind kind);
    bool HasText() const { return m_kind == VarKind::Text || m_kind == VarKind::Binary; }
    static const std::string& EmptyText();
    void DestroyText();
    static CVariant FromInteger(VarKind kind, std::int64_t value);
    static CVariant FromReal(VarKind kind, double value);
    static CVariant FromString(VarKind kind, std::string value);

    VarKind m_kind = VarKind::Empty;
    // Only the member of the value's kind is meaningful.
    union {
        std::int64_t m_nInt;
        double m_dReal;
        DecimalParts m_decimal;
        std::string m_strText;  // alive only while HasText()
    };
};

// The full value of a decimal (all 96 bits of the mantissa).
double DecimalToDouble(const DecimalParts& value);
// "[-]digits[.digits][e[+-]digits]" into a decimal; false when it does not fit.
bool DecimalFromText(const std::string& text, DecimalParts& value);
