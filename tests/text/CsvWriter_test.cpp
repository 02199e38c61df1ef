#include <gtest/gtest.h>

#include "text/CsvWriter.h"

namespace {

TEST(CsvWriter, QuotesOnlyWhatNeedsQuoting) {
    EXPECT_EQ(CsvField("工资"), "工资");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(CsvField(" padded"), "\" padded\"");
}

TEST(CsvWriter, WritesRecordsAfterTheByteOrderMark) {
    CsvWriter csv;
    csv.Record({"收入", "1,234.50"});
    csv.EndRecord();
    csv.Field("");
    csv.QuotedField("");
    csv.EndRecord();
    EXPECT_EQ(csv.Text(), "\xEF\xBB\xBF收入,\"1,234.50\"\r\n\r\n,\"\"\r\n");
}

}  // namespace
