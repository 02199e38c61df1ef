#pragma once

#include <string>

// A typed text made safe to stand between single quotes in a statement: every single quote
// is doubled, so the text is compared or stored exactly as typed.
std::string SqlText(const std::string& text);
