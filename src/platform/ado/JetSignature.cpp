#include "platform/ado/JetSignature.h"

JetFormat JetFormatOf(std::string_view header) {
    if (header.size() < kJetSignatureBytes ||
        header.substr(0, 4) != std::string_view("\0\1\0\0", 4))
        return JetFormat::None;
    const std::string_view magic = header.substr(4, 15);
    if (magic == "Standard ACE DB")
        return JetFormat::Ace;
    if (magic != "Standard Jet DB")
        return JetFormat::None;
    return header[0x14] == 0 ? JetFormat::Jet3 : JetFormat::Jet4;
}
