#include "data/SqlText.h"

std::string SqlText(const std::string& text) {
    std::string quoted;
    quoted.reserve(text.size());
    for (char c : text) {
        quoted += c;
        if (c == '\'')
            quoted += '\'';
    }
    return quoted;
}
