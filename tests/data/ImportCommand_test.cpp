#include "data/ImportCommand.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// What /bin/sh makes of the file argument of `command`.
std::string LastShellWord(const std::string& command) {
    const std::string word = command.substr(command.find(" import ") + 8);
    FILE* pipe = ::popen(("printf '%s' " + word).c_str(), "r");
    std::string out;
    char buf[512];
    for (std::size_t n; pipe != nullptr && (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;)
        out.append(buf, n);
    if (pipe != nullptr)
        ::pclose(pipe);
    return out;
}

TEST(ImportCommand, NamesTheWholePathSoTheCommandRunsAsShown) {
    EXPECT_EQ(ImportCommandFor("/home/li/账本/data.mdb", ""),
              "tillbook-db import /home/li/账本/data.mdb");
    for (const std::string path :
         {"/home/li/My Books/data.mdb", "/tmp/it's $HOME;rm -rf x.mdb", "/tmp/a\"b`c`.mdb"}) {
        const std::string command = ImportCommandFor(path, "");
        EXPECT_EQ(command.rfind("tillbook-db import '", 0), 0u) << command;
        EXPECT_EQ(LastShellWord(command), path) << command;
    }
    // A relative name is made whole: the command works from any folder.
    EXPECT_EQ(LastShellWord(ImportCommandFor("data.mdb", "")),
              (fs::current_path() / "data.mdb").string());
}

TEST(ImportCommand, UsesTheToolBesideTheProgram) {
    const fs::path dir = fs::temp_directory_path() / "tillbook import command";
    fs::create_directories(dir);
    std::ofstream(dir / "tillbook-db") << "";
    EXPECT_EQ(ImportCommandFor("/b/data.mdb", (dir / "tillbook").string()),
              "'" + (dir / "tillbook-db").string() + "' import /b/data.mdb");
    fs::remove_all(dir);
    EXPECT_EQ(ImportCommandFor("/b/data.mdb", (dir / "tillbook").string()),
              "tillbook-db import /b/data.mdb");
}

}  // namespace
