// Every test program runs in the same environment, whoever starts it: a test never reaches the
// user's own book, settings or backups, and reads and writes text as UTF-8. (A discovered
// test's ENVIRONMENT property keeps only its first variable, so they are set here.)
#include <cstdlib>

namespace {
const bool kEnvironmentSet = [] {
    setenv("LC_ALL", "C.UTF-8", 1);
    setenv("XDG_DATA_HOME", TILLBOOK_TEST_HOME "/data", 1);
    setenv("XDG_CONFIG_HOME", TILLBOOK_TEST_HOME "/config", 1);
    return true;
}();
}  // namespace
