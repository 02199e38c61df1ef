// tillbook-db: creates, checks, imports and exports household book files from the command line.
#include <cstdio>
#include <exception>
#include <string>

#include "BillImportCommand.h"
#include "CsvExport.h"
#include "JetImport.h"
#include "data/BookFile.h"

namespace {

int Usage(std::FILE* out) {
    std::fputs(
        "usage: tillbook-db init PATH    create a new book at PATH (never overwrites)\n"
        "       tillbook-db check PATH   report problems with the book at PATH\n"
        "       tillbook-db import SOURCE [TARGET]\n"
        "                                copy a Jet/Access file into a new book (TARGET\n"
        "                                omitted: in its place, the old file kept beside it)\n"
        "       tillbook-db export BOOK DIR [--force]\n"
        "                                write each table as DIR/<table>.csv\n"
        "       tillbook-db import-bill BOOK FILE --member NAME [--dry-run]\n"
        "                                book an Alipay or WeChat Pay statement for NAME\n",
        out);
    return out == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help")) {
        return Usage(stdout);
    }
    if (argc >= 3 && std::string(argv[1]) == "import" && argc <= 4)
        return RunImportCommand(argv[2], argc == 4 ? argv[3] : "", stdout, stderr);
    if (argc >= 4 && std::string(argv[1]) == "export" && argc <= 5) {
        const bool force = argc == 5 && std::string(argv[4]) == "--force";
        if (argc == 5 && !force)
            return Usage(stderr);
        return RunExportCommand(argv[2], argv[3], force, stdout, stderr);
    }
    if (argc >= 6 && argc <= 7 && std::string(argv[1]) == "import-bill" &&
        std::string(argv[4]) == "--member") {
        const bool dryRun = argc == 7 && std::string(argv[6]) == "--dry-run";
        if (argc == 7 && !dryRun)
            return Usage(stderr);
        return RunImportBillCommand(argv[2], argv[3], argv[5], dryRun, stdout, stderr);
    }
    if (argc != 3)
        return Usage(stderr);
    const std::string command = argv[1];
    const std::string path = argv[2];
    if (command == "init") {
        try {
            CreateBook(path);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "tillbook-db: %s\n", e.what());
            return 1;
        }
        std::printf("Created %s\n", path.c_str());
        return 0;
    }
    if (command == "check") {
        const auto problems = CheckBook(path);
        for (const auto& p : problems)
            std::printf("%s\n", p.c_str());
        if (problems.empty())
            std::printf("%s: ok\n", path.c_str());
        return problems.empty() ? 0 : 1;
    }
    return Usage(stderr);
}
