#pragma once

#include <stdexcept>

// A failure the user can act on; what() is the whole message.
class ImportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
