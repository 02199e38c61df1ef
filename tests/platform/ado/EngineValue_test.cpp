#include "platform/ado/EngineValue.h"

#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/ado/ComError.h"
#include "platform/ado/OleDate.h"
#include "platform/ado/SortKeys.h"

namespace {

struct ReadCase {
    EngineValue stored;
    VarKind field;
    CVariant expected;
};

EngineValue NumberAsText(EngineValue v, std::string_view text) {
    v.bytes = text;
    return v;
}

double Date(int y, int m, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    double date = 0;
    OleDateFromFields(y, m, d, h, mi, s, ms, date);
    return date;
}

HRESULT CoercionFailure(const CVariant& v, VarKind kind) {
    try {
        CoerceToField(v, kind);
    } catch (const CComError& e) {
        return e.Error();
    }
    return S_OK;
}

}  // namespace

TEST(EngineValue, StoredValuesReadAsTheFieldsKind) {
    const ReadCase cases[] = {
        {EngineValue::Null(), VarKind::Text, CVariant::Null()},
        {EngineValue::Integer(7), VarKind::I2, CVariant::FromI2(7)},
        // An integer too wide for the field's kind comes as a double, not cut short.
        {EngineValue::Integer(70000), VarKind::I2, CVariant::FromI4(70000)},
        {EngineValue::Integer(5000000000), VarKind::I4, CVariant::FromR8(5e9)},
        {EngineValue::Integer(3), VarKind::Currency, CVariant::FromCurrency(30000)},
        {EngineValue::Real(1.23456), VarKind::Currency, CVariant::FromCurrency(12346)},
        {EngineValue::Real(2.5), VarKind::R8, CVariant::FromR8(2.5)},
        {EngineValue::Real(4), VarKind::Empty, CVariant::FromI4(4)},
        {EngineValue::Real(4.5), VarKind::Empty, CVariant::FromR8(4.5)},
        {EngineValue::Integer(0), VarKind::Bool, CVariant::FromBool(false)},
        {EngineValue::Integer(-1), VarKind::Bool, CVariant::FromBool(true)},
        {NumberAsText(EngineValue::Integer(12), "12"), VarKind::Text, CVariant::FromText("12")},
        {EngineValue::Text("2010-03-01 12:30:00"), VarKind::Date,
         CVariant::FromDate(Date(2010, 3, 1, 12, 30))},
        {EngineValue::Real(40000.5), VarKind::Date, CVariant::FromDate(40000.5)},
        // Text a date field cannot read stays text rather than becoming a wrong date.
        {EngineValue::Text("next tuesday"), VarKind::Date, CVariant::FromText("next tuesday")},
        {EngineValue::Text("2010-02-30"), VarKind::Date, CVariant::FromText("2010-02-30")},
        {EngineValue::Text("妈妈"), VarKind::Text, CVariant::FromText("妈妈")},
        {EngineValue::Text(std::string_view("\0x", 2), EngineValue::Type::Blob), VarKind::Text,
         CVariant::FromBinary(std::string("\0x", 2))},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const CVariant got = VariantFromEngine(cases[i].stored, cases[i].field);
        EXPECT_EQ(got, cases[i].expected) << "case " << i;
    }
}

TEST(EngineValue, ValuesAreCoercedToTheFieldOrRefused) {
    EXPECT_EQ(CoerceToField(CVariant::FromText(" 12.5"), VarKind::R8), CVariant::FromR8(12.5));
    EXPECT_EQ(CoerceToField(CVariant::FromR8(2.5), VarKind::I4), CVariant::FromI4(2));
    EXPECT_EQ(CoerceToField(CVariant::FromR8(3.5), VarKind::I4), CVariant::FromI4(4));
    EXPECT_EQ(CoerceToField(CVariant::FromText("TRUE"), VarKind::Bool), CVariant::FromBool(true));
    EXPECT_EQ(CoerceToField(CVariant::FromBool(true), VarKind::Text), CVariant::FromText("True"));
    EXPECT_EQ(CoerceToField(CVariant::FromText("2010-03-01"), VarKind::Date),
              CVariant::FromDate(Date(2010, 3, 1)));
    EXPECT_EQ(CoerceToField(CVariant::FromText(""), VarKind::Text), CVariant::FromText(""));
    EXPECT_EQ(CoerceToField(CVariant(), VarKind::I4), CVariant::Null());

    // Text that is not a date going into a date column.
    for (const char* text : {"abc", "2010-13-01", "2010-02-30", "", "01/02/2010x", "20100301"})
        EXPECT_EQ(CoercionFailure(CVariant::FromText(text), VarKind::Date), DB_E_CANTCONVERTVALUE)
            << text;
    EXPECT_EQ(CoercionFailure(CVariant::FromBool(true), VarKind::Date), DB_E_CANTCONVERTVALUE);
    EXPECT_EQ(CoercionFailure(CVariant::FromText("12abc"), VarKind::R8), DB_E_CANTCONVERTVALUE);
    EXPECT_EQ(CoercionFailure(CVariant::FromR8(70000), VarKind::I2), DISP_E_OVERFLOW);
    EXPECT_EQ(CoercionFailure(CVariant::FromR8(1e30), VarKind::Currency), DISP_E_OVERFLOW);
    EXPECT_EQ(CoercionFailure(CVariant::FromDate(kOleDateMax + 1), VarKind::Date), DISP_E_OVERFLOW);
}

TEST(EngineValue, ValuesAreStoredAsTheEngineKeepsThem) {
    EngineValue date = EngineFromVariant(CVariant::FromDate(Date(2010, 3, 1, 0, 0, 0, 1)));
    EXPECT_EQ(date.type, EngineValue::Type::Text);
    EXPECT_EQ(date.Bytes(), "2010-03-01 00:00:00.001");
    // The text survives the value being moved, as a statement's bind needs.
    const EngineValue moved = std::move(date);
    EXPECT_EQ(moved.Bytes(), "2010-03-01 00:00:00.001");
    EXPECT_EQ(EngineFromVariant(CVariant::FromCurrency(125000)).real, 12.5);
    DecimalParts whole{};
    whole.sign = 0x80;
    whole.lo64 = 42;
    EXPECT_EQ(EngineFromVariant(CVariant::FromDecimal(whole)).integer, -42);
    EXPECT_EQ(EngineFromVariant(CVariant::Null()).type, EngineValue::Type::Null);
    EXPECT_THROW(EngineFromVariant(CVariant::FromDate(kOleDateMin - 1)), CComError);
}

TEST(EngineValue, DeclaredTypesNameTheKind) {
    EXPECT_EQ(KindOfDeclaredType("DATETIME"), VarKind::Date);
    EXPECT_EQ(KindOfDeclaredType("varchar(50)"), VarKind::Text);
    EXPECT_EQ(KindOfDeclaredType("Double Precision"), VarKind::R8);
    EXPECT_EQ(KindOfDeclaredType("NUMERIC (10, 2)"), VarKind::Decimal);
    EXPECT_EQ(KindOfDeclaredType(""), VarKind::Empty);
    EXPECT_EQ(KindOfDeclaredType("BLOBBY"), VarKind::Empty);
}

TEST(SortKeys, PartsDirectionsAndQuotedNames) {
    const std::vector<SortKey> keys =
        ParseSortKeys(" amount DESC, [收入 日期] asc,,name ,\"x y\"  Desc ");
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[0].field, "amount");
    EXPECT_TRUE(keys[0].descending);
    EXPECT_EQ(keys[1].field, "收入 日期");
    EXPECT_FALSE(keys[1].descending);
    EXPECT_EQ(keys[2].field, "name");
    EXPECT_FALSE(keys[2].descending);
    EXPECT_EQ(keys[3].field, "x y");
    EXPECT_TRUE(keys[3].descending);
    EXPECT_TRUE(ParseSortKeys("").empty());
    EXPECT_TRUE(ParseSortKeys(" , ").empty());
}
