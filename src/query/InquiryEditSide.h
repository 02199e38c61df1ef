#pragma once

struct EntryBook;
struct EntryChange;

// What changing and deleting entries from a query list need of its side of the book.
struct InquiryEditSide {
    const EntryBook& book;
    const char* recordWord;  // how the delete question names the records: "收入", "支出"
    // Runs the side's entry dialog on the entry, for changing it; the dialog's end code.
    int (*runChangeForm)(EntryChange& change);
};
