#include "bills/BillGrid.h"

BillGrid SplitCsv(std::string_view text) {
    BillGrid grid;
    int line = 1;
    std::size_t i = 0;
    while (i < text.size()) {
        BillGridRow row;
        row.nLine = line;
        std::string field;
        bool endOfRecord = false;
        while (!endOfRecord) {
            field.clear();
            if (i < text.size() && text[i] == '"') {
                // Quoted: runs to the quote that is not doubled, over line breaks if need be.
                ++i;
                while (i < text.size()) {
                    if (text[i] == '"') {
                        if (i + 1 < text.size() && text[i + 1] == '"') {
                            field += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (text[i] == '\n')
                        ++line;
                    field += text[i++];
                }
                // What follows the closing quote up to the comma (the apps put a TAB there) is
                // kept, so nothing written is lost; callers trim it.
            }
            while (i < text.size() && text[i] != ',' && text[i] != '\n')
                field += text[i++];
            if (!field.empty() && field.back() == '\r')
                field.pop_back();
            row.cells.push_back(field);
            if (i >= text.size() || text[i] == '\n') {
                endOfRecord = true;
                if (i < text.size())
                    ++line;
            }
            ++i;
        }
        grid.rows.push_back(std::move(row));
    }
    return grid;
}

std::string ColumnLetters(int column) {
    std::string letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters;
}
