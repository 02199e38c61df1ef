#pragma once

#include <cstddef>
#include <string_view>

// What the first page of a Microsoft Access file says it is.
enum class JetFormat {
    None,  // not an Access file
    Jet3,  // Access 97 (2 KiB pages)
    Jet4,  // Access 2000-2003 (4 KiB pages)
    Ace,   // Access 2007 and later (.accdb)
};

// The bytes of a file's start that decide it.
constexpr std::size_t kJetSignatureBytes = 0x15;

// Reads the signature ("Standard Jet DB" or "Standard ACE DB" after four bytes) and
// the version byte at 0x14 from the first bytes of a file; None when they are fewer.
JetFormat JetFormatOf(std::string_view header);
