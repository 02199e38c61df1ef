#pragma once

#include <optional>
#include <string>

// What the command line asks of the program. Options other than these are ignored, as they
// always were: a desktop or a shell may pass Qt's own.
struct StartOptions {
    bool showHelp = false;
    bool showVersion = false;
    std::optional<std::string> book;  // --book PATH
};

StartOptions ReadCommandLine(int argc, char** argv);

// The text --help prints (the manual page is made from it too).
std::string HelpText();
std::string VersionText();
