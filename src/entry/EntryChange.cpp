#include "entry/EntryChange.h"

#include <QComboBox>
#include <QPushButton>

#include "data/BookReopen.h"
#include "entry/EntryForm.h"

namespace {
// What the form holds, read without any check.
EntryFields FormFields(const EntryForm& form) {
    EntryFields fields;
    fields.member = form.comboMember.GetWindowText();
    fields.item = form.comboItem.GetWindowText();
    fields.amount = form.amount.Yuan();
    form.dateCtrl.GetTime(fields.date);
    fields.remark = form.remark;
    return fields;
}

void SelectShown(CComboBox& combo, const std::string& text) {
    for (int i = 0; i < combo.GetCount(); ++i) {
        if (combo.GetLBText(i) == text) {
            combo.SetCurSel(i);
            return;
        }
    }
    // An entry no longer in the list still shows what is stored; 确定 then asks for one
    // from the list, as adding does.
    combo.SetCurSel(-1);
    combo.Combo()->setEditText(QString::fromStdString(text));
}

void Relabel(CDialog& dialog, int id, const char* caption, bool isDefault) {
    if (auto* button = dialog.GetDlgItemAs<QPushButton>(id)) {
        button->setText(QString::fromUtf8(caption));
        button->setDefault(isDefault);
    }
}
}  // namespace

void ShowEntryForChange(const EntryForm& form, EntryChange& change, const char* title, int addId,
                        int closeId) {
    form.dialog.setWindowTitle(QString::fromUtf8(title));
    SelectShown(form.comboMember, change.stored.member);
    SelectShown(form.comboItem, change.stored.item);
    if (change.stored.date.GetStatus() == DateTimeValue::valid)
        form.dateCtrl.SetTime(change.stored.date.GetDays());
    Relabel(form.dialog, addId, "确定", true);
    Relabel(form.dialog, closeId, "取消", false);
    change.shown = FormFields(form);
}

bool ApplyEntryChange(const BookSide& side, const EntryForm& form, EntryChange& change) {
    EntryFields fields;
    if (!TakeEntryFields(side, form, fields))
        return false;
    // A field the user left as it was keeps its stored value exactly, even where the form
    // cannot show it whole (a date without a time, an amount of many digits).
    const EntryFields now = FormFields(form);
    if (now.member == change.shown.member)
        fields.member = change.stored.member;
    if (now.item == change.shown.item)
        fields.item = change.stored.item;
    if (now.amount == change.shown.amount)
        fields.amount = change.stored.amount;
    if (now.date == change.shown.date)
        fields.date = change.stored.date;
    if (now.remark == change.shown.remark)
        fields.remark = change.stored.remark;

    ReopenIfBookGone(form.db);
    change.outcome =
        ChangeEntry(form.db, side, change.listed, fields, change.before, change.fingerprint);
    if (change.outcome == EditOutcome::Stale)
        form.dialog.MessageBox("该记录已被删除或更改，请重新查询。");
    return true;
}
