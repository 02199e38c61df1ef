#pragma once

#include <string>

#include "data/ADODatabase.h"
#include "data/BookSide.h"
#include "data/EntryEdits.h"
#include "data/Fen.h"
#include "platform/ui/CComboBox.h"
#include "platform/ui/CDateTimeCtrl.h"
#include "platform/ui/CDialog.h"

// The controls and members of one entry dialog, which both dialogs work on alike.
struct EntryForm {
    CDialog& dialog;
    CADODatabase& db;
    CComboBox& comboMember;
    CComboBox& comboItem;
    CDateTimeCtrl& dateCtrl;
    const Fen& amount;
    const std::string& remark;
};

// Opens the book and lists the members and the side's items, in table order, each list with
// its first entry selected. A book that does not open leaves both lists empty.
void FillEntryLists(const BookSide& side, const EntryForm& form);

// The fields of a form that has just been read, after the checks adding makes (amount, and a
// member and an item from their lists); false, with the check's message shown, when one fails.
bool TakeEntryFields(const BookSide& side, const EntryForm& form, EntryFields& fields);

// Stores one row from a form that has just been read, or says why it stores nothing.
void AddEntry(const BookSide& side, const EntryForm& form);
