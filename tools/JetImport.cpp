#include "JetImport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <regex>
#include <set>

#include "BookPlacement.h"
#include "BoundedJetCopy.h"
#include "JetCopy.h"
#include "data/BookFile.h"

namespace fs = std::filesystem;

namespace {

// The tables of the household book, as its schema creates them.
std::set<std::string> BookTableNames() {
    std::set<std::string> names;
    static const std::regex create(R"(CREATE TABLE\s+([^\s(]+))", std::regex::icase);
    const std::string& schema = BookSchema();
    for (std::sregex_iterator it(schema.begin(), schema.end(), create), end; it != end; ++it)
        names.insert((*it)[1].str());
    return names;
}

void ShowProgress(long long done, long long total, const std::string& table) {
    using Clock = std::chrono::steady_clock;
    static Clock::time_point last;
    const auto now = Clock::now();
    if (table.empty()) {
        std::fprintf(stderr, "\r\033[K");
        return;
    }
    if (now - last < std::chrono::milliseconds(200))
        return;
    last = now;
    std::fprintf(stderr, "\r\033[KImporting: %lld of %lld rows (%d%%), table %s", done, total,
                 total > 0 ? static_cast<int>(done * 100 / total) : 100, table.c_str());
    std::fflush(stderr);
}

}  // namespace

std::vector<std::string> ImportedBookProblems(const std::string& path,
                                              const std::vector<std::string>& tables,
                                              bool& isBook) {
    const std::set<std::string> bookTables = BookTableNames();
    isBook = std::any_of(tables.begin(), tables.end(),
                         [&](const std::string& t) { return bookTables.count(t) != 0; });
    return isBook ? CheckBook(path) : std::vector<std::string>{};
}

int RunImportCommand(const std::string& sourceArg, const std::string& targetArg, std::FILE* out,
                     std::FILE* err, ImportProgress progress) {
    try {
        std::error_code ec;
        const fs::path source = fs::absolute(sourceArg, ec).lexically_normal();
        const fs::path target =
            targetArg.empty() ? source : fs::absolute(targetArg, ec).lexically_normal();
        const bool replacing = targetArg.empty() || fs::equivalent(source, target, ec);
        if (!replacing && fs::exists(fs::symlink_status(target, ec))) {
            throw ImportError("'" + target.string() +
                              "' already exists; it was left untouched. Name a new file.");
        }
        const fs::path dir = target.parent_path();
        if (!fs::is_directory(dir, ec))
            throw ImportError("The folder of '" + target.string() + "' does not exist.");

        JetCopyStats stats;
        if (progress == nullptr && ::isatty(::fileno(err)) != 0 && err == stderr)
            progress = ShowProgress;
        const auto image = CopyJetFileBounded(source.string(), {}, stats, progress,
                                              JetReadLimitsFor(fs::file_size(source, ec)));

        // The book is as private as the file it came from (and always writable by its owner).
        struct stat st {};
        const mode_t mode =
            ::stat(source.c_str(), &st) == 0 ? ((st.st_mode & 0666) | S_IRUSR | S_IWUSR) : 0600;
        StagedBook staged(target, image, mode);

        bool bookLike = false;
        const std::vector<std::string> problems =
            ImportedBookProblems(staged.TempPath(), stats.tables, bookLike);
        if (!problems.empty()) {
            std::string text = "'" + source.string() +
                               "' holds a household book that lacks what Tillbook needs; "
                               "nothing was written:";
            for (const std::string& p : problems)
                text += "\n  " + p;
            throw ImportError(text);
        }

        if (replacing) {
            const std::string backup = KeepBeside(source.string());
            // Never put the book over anything but the Jet file just read.
            if (JetFileFormat(source.string()) == JetFormat::None)
                throw ImportError("'" + source.string() + "' changed during the import; " +
                                  "nothing was replaced (a copy of it is at '" + backup + "').");
            staged.PlaceOverTarget();
            std::fprintf(out, "Kept the old file as %s\n", backup.c_str());
        } else {
            staged.PlaceAsNewFile();
        }
        std::fprintf(out, "Imported %zu tables, %lld rows from %s into %s\n", stats.tables.size(),
                     stats.rows, source.c_str(), target.c_str());
        if (!bookLike) {
            std::fprintf(out,
                         "Note: it has none of the household book's tables, so Tillbook will not "
                         "open it as a book.\n");
        }
        return 0;
    } catch (const std::bad_alloc&) {
        if (progress == ShowProgress)
            ShowProgress(0, 0, {});
        std::fprintf(err, "tillbook-db: not enough memory to import '%s'.\n", sourceArg.c_str());
        return 1;
    } catch (const std::exception& e) {
        if (progress == ShowProgress)
            ShowProgress(0, 0, {});  // the message starts on a clean line
        std::fprintf(err, "tillbook-db: %s\n", e.what());
        return 1;
    }
}
