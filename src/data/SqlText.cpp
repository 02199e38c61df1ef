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

std::string SqlIdentifier(const std::string& name) {
    if (name.find(']') == std::string::npos)
        return "[" + name + "]";
    return DoubleQuoted(name);
}

std::string DoubleQuoted(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}
