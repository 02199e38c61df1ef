#include <cstdio>

#include "app/BookLocation.h"
#include "app/CCofferApp.h"
#include "app/CommandLine.h"

int main(int argc, char** argv) {
    const StartOptions options = ReadCommandLine(argc, argv);
    if (options.showHelp || options.showVersion) {
        std::fputs((options.showHelp ? HelpText() : VersionText()).c_str(), stdout);
        return 0;
    }
    const std::string problem = EnterBook(options.book);
    if (!problem.empty())
        std::fprintf(stderr, "tillbook: %s\n", problem.c_str());
    return theApp.Run(argc, argv);
}
