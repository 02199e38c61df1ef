#include "platform/ado/RowStore.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/ado/OleDate.h"

namespace {

// Every kind of cell, over more rows than one block holds, with texts short, empty and
// longer than an arena piece; then a copy of each row into a second store.
TEST(RowStore, KeepsEveryValueExactlyAcrossBlocksAndCopies) {
    const std::string longText(300 * 1024, 'x');
    const auto textOf = [&](size_t r) {
        return r % 1000 == 7 ? longText : r % 3 == 0 ? std::string() : "行" + std::to_string(r);
    };
    CRowStore store;
    store.Reset(4);
    constexpr size_t kRows = 20000;
    for (size_t r = 0; r < kRows; ++r) {
        CRowStore::Cell* row = store.AppendRow();
        const std::string text = textOf(r);
        store.Put(row[0], EngineValue::Integer(static_cast<std::int64_t>(r + 1) << 33));
        store.Put(row[1], EngineValue::Text(text));
        store.Put(row[2], r % 5 == 0 ? EngineValue::Null()
                                     : EngineValue::Real(static_cast<double>(r) * 0.5));
        store.Put(row[3], EngineValue::Text("2015-03-04 05:06:07.890"));
    }
    // A value the program puts in, then a second one over it.
    store.Put(store.Row(5)[1], CVariant::FromBool(true));
    store.Put(store.Row(5)[1], CVariant::FromText("改"));
    store.AppendRow();
    store.PopRow();

    CRowStore copy;
    copy.Reset(4);
    for (size_t r = 0; r < store.Rows(); ++r)
        copy.AppendRowFrom(store, r);
    store.Reset(4);  // the copy owns its own text

    ASSERT_EQ(copy.Rows(), kRows);
    double date = 0;
    ASSERT_TRUE(OleDateFromIsoText("2015-03-04 05:06:07.890", date));
    for (size_t r = 0; r < kRows; ++r) {
        const CRowStore::Cell* row = copy.Row(r);
        ASSERT_EQ(copy.Get(row[0], VarKind::Empty),
                  CVariant::FromR8(static_cast<double>(static_cast<std::int64_t>(r + 1) << 33)))
            << r;
        ASSERT_EQ(copy.Get(row[1], VarKind::Text).TextValue(), r == 5 ? "改" : textOf(r)) << r;
        ASSERT_EQ(copy.Get(row[2], VarKind::R8),
                  r % 5 == 0 ? CVariant::Null() : CVariant::FromR8(static_cast<double>(r) * 0.5))
            << r;
        ASSERT_EQ(copy.Get(row[3], VarKind::Date), CVariant::FromDate(date)) << r;
        ASSERT_EQ(copy.Get(row[3], VarKind::Text).TextValue(), "2015-03-04 05:06:07.890");
    }
    CRowStore::Cell* added = copy.AppendRow();
    EXPECT_EQ(copy.Get(added[0], VarKind::I4).Kind(), VarKind::Empty);
}

TEST(RowStore, TheStoredDateFormAndItsVariantsReadAsBefore) {
    const struct {
        const char* text;
        bool valid;
        const char* iso;  // how it is written back
    } cases[] = {
        {"2015-03-04 05:06:07", true, "2015-03-04 05:06:07"},
        {"2015-03-04T05:06:07.890", true, "2015-03-04 05:06:07.890"},
        {"0100-01-01 00:00:00.001", true, "0100-01-01 00:00:00.001"},
        {"2015-03-04 05:06", true, "2015-03-04 05:06:00"},
        {"2015-03-04 05:06:07.8", true, "2015-03-04 05:06:07.800"},
        {"2015-02-29 05:06:07", false, ""},
        {"2015-03-04 24:06:07", false, ""},
        {"2015-03-04 05:06:0x", false, ""},
        {"2015-03-04 05:06:07.89x", false, ""},
        {"2015-03-04 05:06:07,890", false, ""},
        {"+015-03-04 05:06:07", false, ""},
    };
    for (const auto& c : cases) {
        double date = 0;
        EXPECT_EQ(OleDateFromIsoText(c.text, date), c.valid) << c.text;
        if (c.valid) {
            EXPECT_EQ(OleDateToIsoText(date), c.iso) << c.text;
        }
    }
}

}  // namespace
