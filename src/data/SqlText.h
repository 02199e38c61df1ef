#pragma once

#include <string>

// A typed text made safe to stand between single quotes in a statement: every single quote
// is doubled, so the text is compared or stored exactly as typed.
std::string SqlText(const std::string& text);

// A table name read from the book, made safe to stand in a statement as one identifier: in
// brackets, or in double quotes (doubled inside) when the name holds a closing bracket.
std::string SqlIdentifier(const std::string& name);

// `text` between double quotes, each double quote inside doubled: how a statement quotes an
// identifier and how a CSV file quotes a field.
std::string DoubleQuoted(const std::string& text);
