#pragma once

#include <memory>
#include <string>

class CDialog;

// Maps a navigation-tree item's text to the dialog it opens.
class CTreeResponse {
public:
    // A new dialog for the item, or none; the caller owns it.
    std::unique_ptr<CDialog> CreateItemDialog(const std::string& itemText) const;
};
