#pragma once

#include <cstdint>

#include "data/EntryEdits.h"

struct EntryForm;

// One recorded entry opened for changing in the entry dialog of its side: the dialog opens
// filled with it, titled for changing, with 确定 and 取消 in place of its own buttons.
struct EntryChange {
    ListedEntry listed;  // the row, and what it held when it was listed
    EntryFields stored;  // its fields, as the form opens with them

    // Filled when 确定 ends the form.
    EditOutcome outcome = EditOutcome::Unchanged;
    StoredRows before;              // the row as it was, for a step back
    std::uint32_t fingerprint = 0;  // the row as it is now

    EntryFields shown;  // what the form showed once loaded, to tell what the user changed
};

// Shows the entry in a form whose lists are filled and whose amount and remark members hold
// the stored ones (already shown): member, item and date, `title` as the caption, and the
// add and close buttons as 确定 (the default) and 取消.
void ShowEntryForChange(const EntryForm& form, EntryChange& change, const char* title, int addId,
                        int closeId);

// 确定 on a form that has just been read: the checks of adding, then the fields the user
// changed written to the entry. True when the form is done (written, nothing to write, or
// the entry is gone or changed meanwhile, which is reported).
bool ApplyEntryChange(const BookSide& side, const EntryForm& form, EntryChange& change);
