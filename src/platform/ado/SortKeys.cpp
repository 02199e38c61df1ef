#include "platform/ado/SortKeys.h"

#include <utility>

#include "platform/ado/AsciiText.h"
#include "platform/ado/JetDialect.h"

std::vector<SortKey> ParseSortKeys(std::string_view sortText) {
    std::vector<SortKey> keys;
    size_t start = 0;
    while (start < sortText.size()) {
        size_t end = sortText.find(',', start);
        if (end == std::string_view::npos)
            end = sortText.size();
        std::string_view part = TrimAsciiSpace(sortText.substr(start, end - start));
        start = end + 1;
        if (part.empty())
            continue;
        SortKey key;
        const size_t space = part.find_last_of(" \t");
        if (space != std::string_view::npos) {
            const std::string_view dir = part.substr(space + 1);
            if (EqualsNoCase(dir, "desc") || EqualsNoCase(dir, "asc")) {
                key.descending = EqualsNoCase(dir, "desc");
                part = TrimAsciiSpace(part.substr(0, space));
            }
        }
        key.field = UnquoteTableName(part);
        keys.push_back(std::move(key));
    }
    return keys;
}
