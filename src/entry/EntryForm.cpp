#include "entry/EntryForm.h"

#include "categories/CategoryList.h"
#include "data/ADORecordset.h"
#include "data/BookConnection.h"
#include "data/BookReopen.h"
#include "data/DateTimeValue.h"

namespace {
constexpr const char* kMemberLabel = "家庭成员";

// Lists the table's entries in its order and selects the first; CADOException when the table
// cannot be read.
void FillList(CADODatabase& db, const char* table, CComboBox& combo) {
    AppendCategoryEntries(db, table, combo);
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

void FillEntryLists(const BookSide& side, const EntryForm& form) {
    form.db.SetConnectionString(BookConnectionString());
    form.db.Open();
    FillList(form.db, kMemberTable, form.comboMember);
    FillList(form.db, side.itemTable, form.comboItem);
}

bool TakeEntryFields(const BookSide& side, const EntryForm& form, EntryFields& fields) {
    form.dateCtrl.GetTime(fields.date);
    if (form.amount == Fen()) {
        form.dialog.MessageBox(side.zeroAmountMessage);
        return false;
    }
    if (!TakeSelected(form.dialog, form.comboMember, kMemberLabel, kMemberTable, fields.member) ||
        !TakeSelected(form.dialog, form.comboItem, side.itemWord, side.itemTable, fields.item))
        return false;
    fields.amount = form.amount.Yuan();
    fields.remark = form.remark;
    return true;
}

void AddEntry(const BookSide& side, const EntryForm& form) {
    EntryFields fields;
    if (!TakeEntryFields(side, form, fields))
        return;
    ReopenIfBookGone(form.db);

    CADORecordset rs(&form.db);
    rs.Open(form.db.GetActiveConnection(), side.entryTable, CADORecordset::OpenTable);
    rs.AddNew();
    rs.SetFieldValue(side.memberColumn, fields.member);
    rs.SetFieldValue(side.itemColumn, fields.item);
    rs.SetFieldValue(side.amountColumn, fields.amount);
    rs.SetFieldValue(side.dateColumn, fields.date);
    rs.SetFieldValue(side.remarkColumn, fields.remark);
    rs.Update();
    form.dialog.MessageBox("数据添加成功！");
}
