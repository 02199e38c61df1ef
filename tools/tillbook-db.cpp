// tillbook-db: creates, checks, imports and exports household book files from the command line.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "BackupCommands.h"
#include "BillImportCommand.h"
#include "BookCopy.h"
#include "CsvExport.h"
#include "JetImport.h"
#include "data/BookConnection.h"
#include "data/BookFile.h"
#include "res/Version.h"

namespace {

using Arguments = std::vector<std::string>;

int Init(const Arguments& args) {
    try {
        CreateBook(args[0]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tillbook-db: %s\n", e.what());
        return 1;
    }
    std::printf("Created %s\n", args[0].c_str());
    return 0;
}

int Check(const Arguments& args) {
    const auto problems = CheckBook(args[0]);
    for (const auto& p : problems)
        std::printf("%s\n", p.c_str());
    std::printf("book: %s\n", ShownBookName(args[0]).c_str());
    if (problems.empty())
        std::printf("%s: ok\n", ShownBookName(args[0]).c_str());
    return problems.empty() ? 0 : 1;
}

int Import(const Arguments& args) {
    return RunImportCommand(args[0], args.size() > 1 ? args[1] : "", stdout, stderr);
}

int Export(const Arguments& args) {
    const bool force = args.size() == 3;
    if (force && args[2] != "--force")
        return -1;
    return RunExportCommand(args[0], args[1], force, stdout, stderr);
}

int Backup(const Arguments& args) {
    return RunBackupCommand(args[0], args.size() > 1 ? args[1] : "", stdout, stderr);
}

int Backups(const Arguments& args) {
    return RunBackupsCommand(args[0], stdout, stderr);
}

int Restore(const Arguments& args) {
    return RunRestoreCommand(args[0], args[1], stdout, stderr);
}

int Copy(const Arguments& args) {
    return RunCopyCommand(args[0], args[1], stdout, stderr);
}

int ImportBill(const Arguments& args) {
    const bool dryRun = args.size() == 5;
    if (args[2] != "--member" || (dryRun && args[4] != "--dry-run"))
        return -1;
    return RunImportBillCommand(args[0], args[1], args[3], dryRun, stdout, stderr);
}

struct Command {
    const char* name;
    const char* arguments;
    const char* summary;  // one line: the help and the manual page list it as it stands
    std::size_t fewest;
    std::size_t most;
    int (*run)(const Arguments&);  // -1: the arguments do not fit
};

// Every command, in the order the help lists them.
const Command kCommands[] = {
    {"init", "PATH", "create a new book at PATH (never overwrites)", 1, 1, Init},
    {"check", "PATH", "report problems with the book at PATH", 1, 1, Check},
    {"import", "SOURCE [TARGET]",
     "copy a Jet/Access file into a new book (no TARGET: in its place, the old file kept beside "
     "it)",
     1, 2, Import},
    {"export", "BOOK DIR [--force]", "write each table of BOOK as DIR/<table>.csv", 2, 3, Export},
    {"backup", "BOOK [DIR]", "a verified backup of BOOK (no DIR: into backups/ beside it)", 1, 2,
     Backup},
    {"backups", "BOOK", "list the backups of BOOK: time, size, entries, newest entry", 1, 1,
     Backups},
    {"restore", "BACKUP BOOK", "put BACKUP in the place of BOOK, backing BOOK up first", 2, 2,
     Restore},
    {"copy", "FROM TO", "copy a whole book into a new one (a file or an empty server database)", 2,
     2, Copy},
    {"import-bill", "BOOK FILE --member NAME [--dry-run]",
     "book an Alipay or WeChat Pay statement for the family member NAME", 4, 5, ImportBill},
};

int Usage(std::FILE* out) {
    std::fputs(
        "Usage: tillbook-db COMMAND ARGUMENTS...\n"
        "Creates, checks, imports and exports Tillbook household books.\n\nCommands:\n",
        out);
    for (const Command& c : kCommands) {
        const std::string synopsis = std::string(c.name) + " " + c.arguments;
        std::fprintf(out, "  %-30s %s\n", synopsis.c_str(), c.summary);
    }
    std::fputs(
        "\nA book is a file's path or a server's URI: postgresql://user@host:port/dbname\n"
        "\nOptions:\n"
        "  -h, --help                     show this help\n"
        "  --version                      show the version\n",
        out);
    return out == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    const Arguments words(argv + 1, argv + argc);
    if (words.size() == 1 && (words[0] == "-h" || words[0] == "--help"))
        return Usage(stdout);
    if (words.size() == 1 && words[0] == "--version") {
        std::printf("tillbook-db %s\n", version::FileVersion);
        return 0;
    }
    for (const Command& c : kCommands) {
        if (words.empty() || words[0] != c.name)
            continue;
        const Arguments args(words.begin() + 1, words.end());
        if (args.size() < c.fewest || args.size() > c.most)
            return Usage(stderr);
        const int code = c.run(args);
        return code < 0 ? Usage(stderr) : code;
    }
    return Usage(stderr);
}
