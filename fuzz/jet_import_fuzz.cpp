// Mutated Jet files through the whole reading path of the import, each read bounded in time:
// a file is copied or refused with a message, the reader never hangs or dies, a read that
// ends in the child ends the same way in this process, and what it accepts is a sound
// SQLite file holding the tables it names.
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "BoundedJetCopy.h"
#include "JetCopy.h"
#include "platform/ado/BulkDatabase.h"

namespace {

// A file in memory that libmdb, in the reading child, opens by its /proc name.
class MemoryFile {
public:
    explicit MemoryFile(const char* name) : m_fd(::memfd_create(name, 0)) {
        if (m_fd < 0)
            std::abort();
    }
    std::string Hold(const void* data, std::size_t size) const {
        if (::ftruncate(m_fd, 0) != 0 ||
            ::pwrite(m_fd, data, size, 0) != static_cast<ssize_t>(size))
            std::abort();
        return "/proc/self/fd/" + std::to_string(m_fd);
    }

private:
    int m_fd;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const MemoryFile source("fuzz.mdb");
    // SQLite resolves a /proc name to the memory file's own, which it cannot open.
    static const std::string book = (std::filesystem::temp_directory_path() /
                                     ("jet_import_fuzz-" + std::to_string(::getpid()) + ".db"))
                                        .string();
    // Whole pages: any other length is refused before the file is read.
    const std::size_t page = size > 0x14 && data[0x14] == 0 ? 2048 : 4096;
    const std::string path = source.Hold(data, size - size % page);

    JetCopyStats stats;
    std::string image;
    std::string refusal;
    try {
        image = CopyJetFileBounded(path, {}, stats, nullptr,
                                   {std::chrono::seconds(3), std::uintmax_t{256} << 20});
    } catch (const JetReaderDied& e) {
        std::fprintf(stderr, "%s\n%s\n", e.what(), e.Diagnostics().c_str());
        std::abort();
    } catch (const JetReaderStopped&) {
        return 0;  // refused; read here, it might not end
    } catch (const ImportError& e) {
        refusal = e.what();
    } catch (const std::bad_alloc&) {
        return 0;
    }
    // The child came to an end of its own, so the same read ends here too: once more in
    // this process, where the sanitizers and the fuzzer's coverage see it. Same end.
    try {
        JetCopyStats again;
        const std::string same = CopyJetFile(path, {}, again);
        if (!refusal.empty() || same != image)
            std::abort();
    } catch (const ImportError& e) {
        if (refusal != e.what())
            std::abort();
    }
    if (!refusal.empty())
        return 0;

    std::vector<std::string> tables;
    std::string integrity;
    try {
        std::ofstream(book, std::ios::binary | std::ios::trunc)
            .write(image.data(), static_cast<std::streamsize>(image.size()));
        ReadStoredRows(
            book,
            "SELECT name FROM sqlite_master WHERE type = 'table' AND name <> "
            "'sqlite_sequence' ORDER BY rowid",
            nullptr, [&](const std::vector<StoredValue>& row) { tables.push_back(row[0].bytes); });
        ReadStoredRows(book, "PRAGMA integrity_check", nullptr,
                       [&](const std::vector<StoredValue>& row) { integrity += row[0].bytes; });
    } catch (const std::exception& e) {
        std::fprintf(stderr, "the copy cannot be read: %s\n", e.what());
        std::abort();
    }
    if (tables != stats.tables || integrity != "ok")
        std::abort();
    for (const std::string& t : tables) {
        if (!IsPlausibleJetName(t))
            std::abort();
    }
    return 0;
}
