#include <gtest/gtest.h>

#include <QSignalSpy>

#include "platform/ui/CListModel.h"

namespace {

TEST(ListModelColumns, RemovingAColumnTakesItsCellsAndKeepsTheOthersInPlace) {
    CListModel model;
    model.InsertColumn(0, "成员", Qt::AlignLeft);
    model.InsertColumn(1, "收入", Qt::AlignRight);
    model.InsertColumn(2, "笔数", Qt::AlignRight);
    model.InsertRow(0, "妈妈");
    model.SetText(0, 1, "1,234.50");
    model.SetText(0, 2, "3");
    model.InsertRow(1, "爸爸");  // a row without its later cells
    QSignalSpy removed(&model, &QAbstractItemModel::columnsRemoved);

    EXPECT_TRUE(model.RemoveColumn(1));
    EXPECT_EQ(removed.count(), 1);
    EXPECT_EQ(model.ColumnCount(), 2);
    EXPECT_EQ(model.Heading(1), "笔数");
    EXPECT_EQ(model.Text(0, 0), "妈妈");
    EXPECT_EQ(model.Text(0, 1), "3");
    EXPECT_EQ(model.Text(1, 0), "爸爸");
    EXPECT_EQ(model.Text(1, 1), "");

    EXPECT_FALSE(model.RemoveColumn(2));
    EXPECT_FALSE(model.RemoveColumn(-1));
    EXPECT_TRUE(model.RemoveColumn(0));
    EXPECT_TRUE(model.RemoveColumn(0));
    EXPECT_EQ(model.ColumnCount(), 0);
}

}  // namespace
