#include "data/BookSide.h"

std::string EntryTableSchema(const BookSide& side) {
    const std::string table = side.entryTable;
    return "CREATE TABLE " + table + " (\n    " + side.numberColumn +
           " INTEGER PRIMARY KEY AUTOINCREMENT,\n    " + side.memberColumn + " TEXT,\n    " +
           side.amountColumn + " DOUBLE,\n    " + side.dateColumn + " DATETIME,\n    " +
           side.itemColumn + " TEXT,\n    " + side.remarkColumn + " TEXT\n);\nCREATE INDEX idx_" +
           table + "_date ON " + table + " (" + side.dateColumn + ");\n";
}
