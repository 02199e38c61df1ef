#pragma once

#include <string>

#include "data/ADODatabase.h"
#include "data/EntryEdits.h"
#include "platform/ui/CComboBox.h"
#include "platform/ui/CDateTimeCtrl.h"
#include "platform/ui/CDialog.h"

// What the daily income and the daily expense book differ in.
struct EntryBook {
    const char* itemTable;  // the category table that lists the items
    const char* targetTable;
    const char* memberField;
    const char* itemField;
    const char* amountField;
    const char* dateField;
    const char* itemLabel;
    const char* zeroAmountMessage;
};

extern const EntryBook kIncomeBook;
extern const EntryBook kPayBook;

// The controls and members of one entry dialog, which both dialogs work on alike.
struct EntryForm {
    CDialog& dialog;
    CADODatabase& db;
    CComboBox& comboMember;
    CComboBox& comboItem;
    CDateTimeCtrl& dateCtrl;
    const double& amount;
    const std::string& remark;
};

// Opens the book and lists the members and the book's items, in table order, each list with
// its first entry selected. A book that does not open leaves both lists empty.
void FillEntryLists(const EntryBook& book, const EntryForm& form);

// The fields of a form that has just been read, after the checks adding makes (amount, and a
// member and an item from their lists); false, with the check's message shown, when one fails.
bool TakeEntryFields(const EntryBook& book, const EntryForm& form, EntryFields& fields);

// Stores one row from a form that has just been read, or says why it stores nothing.
void AddEntry(const EntryBook& book, const EntryForm& form);
