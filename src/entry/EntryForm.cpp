#include "entry/EntryForm.h"

#include "categories/CategoryList.h"
#include "data/ADORecordset.h"
#include "data/BookConnection.h"
#include "data/BookReopen.h"
#include "data/DateTimeValue.h"

const EntryBook kIncomeBook{
    .itemTable = "收入类型",
    .targetTable = "normalIncome",
    .memberField = "收入人员",
    .itemField = "收入项目",
    .amountField = "收入金额",
    .dateField = "收入日期",
    .itemLabel = "收入项目",
    .zeroAmountMessage = "收入金额不能为0！请填入正确的收入金额！",
};

const EntryBook kPayBook{
    .itemTable = "支出类型",
    .targetTable = "normalPay",
    .memberField = "支出人员",
    .itemField = "支出项目",
    .amountField = "支出金额",
    .dateField = "支出日期",
    .itemLabel = "支出项目",
    .zeroAmountMessage = "支出金额不能为0！请填入正确的支出金额！",
};

namespace {
constexpr const char* kMemberTable = "家庭成员";
constexpr const char* kMemberLabel = "家庭成员";

// Lists the table's entries in its order and selects the first. A table that does not open
// leaves the list empty.
void FillList(CADODatabase& db, const char* table, CComboBox& combo) {
    if (AppendCategoryEntries(db, table, combo))
        combo.SetCurSel(0);
}

// The entry the user sees selected, or why there is none: a message that names what is
// missing and where the family keeps it. Never an entry other than the one shown.
bool TakeSelected(CDialog& dialog, CComboBox& combo, const char* label, const char* table,
                  std::string& entry) {
    const int selected = combo.GetCurSel();
    const std::string shown = combo.GetWindowText();
    if (selected < 0 || shown.empty()) {
        dialog.MessageBox(std::string("没有选择") + label + "，数据未添加。" + label +
                          "在“系统设置”的基础数据“" + table + "”中添加。");
        return false;
    }
    entry = combo.GetLBText(selected);
    if (shown != entry) {
        dialog.MessageBox("“" + shown + "”不在" + label + "列表中，数据未添加。请从列表中选择，" +
                          "或先在“系统设置”的基础数据“" + table + "”中添加。");
        return false;
    }
    return true;
}

}  // namespace

void FillEntryLists(const EntryBook& book, const EntryForm& form) {
    form.db.SetConnectionString(kBookConnectionString);
    if (!form.db.Open())
        return;
    FillList(form.db, kMemberTable, form.comboMember);
    FillList(form.db, book.itemTable, form.comboItem);
}

bool TakeEntryFields(const EntryBook& book, const EntryForm& form, EntryFields& fields) {
    form.dateCtrl.GetTime(fields.date);
    if (form.amount == 0) {
        form.dialog.MessageBox(book.zeroAmountMessage);
        return false;
    }
    if (!TakeSelected(form.dialog, form.comboMember, kMemberLabel, kMemberTable, fields.member) ||
        !TakeSelected(form.dialog, form.comboItem, book.itemLabel, book.itemTable, fields.item))
        return false;
    fields.amount = form.amount;
    fields.remark = form.remark;
    return true;
}

void AddEntry(const EntryBook& book, const EntryForm& form) {
    EntryFields fields;
    if (!TakeEntryFields(book, form, fields))
        return;
    ReopenIfBookGone(form.db);
    if (!form.db.IsOpen())
        return;

    CADORecordset rs(&form.db);
    if (!rs.Open(form.db.GetActiveConnection(), book.targetTable, CADORecordset::OpenTable))
        return;
    rs.AddNew();
    rs.SetFieldValue(book.memberField, fields.member);
    rs.SetFieldValue(book.itemField, fields.item);
    rs.SetFieldValue(book.amountField, fields.amount);
    rs.SetFieldValue(book.dateField, fields.date);
    rs.SetFieldValue("备注", fields.remark);
    if (rs.Update())
        form.dialog.MessageBox("数据添加成功！");
    else
        form.dialog.MessageBox("出错！");
}
