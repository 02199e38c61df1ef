#include "JetPageReads.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// libmdb reads the same pages again and again (a plain stream serves most from its
// buffer), so the file is mapped once and every read is a copy.
struct PageFile {
    int fd;
    const char* bytes;
    off64_t size;
    off64_t pos;
    PageReads* reads;
};

ssize_t ReadPages(void* cookie, char* buf, std::size_t size) {
    auto* file = static_cast<PageFile*>(cookie);
    if (file->pos + static_cast<off64_t>(size) > file->size) {
        file->reads->pastTheEnd = true;
        std::fprintf(stderr, "offset %lld is beyond EOF\n", static_cast<long long>(file->pos));
    }
    const off64_t n = std::clamp<off64_t>(file->size - file->pos, 0, static_cast<off64_t>(size));
    std::memcpy(buf, file->bytes + file->pos, static_cast<std::size_t>(n));
    file->pos += n;
    return n;
}

int SeekPages(void* cookie, off64_t* offset, int whence) {
    auto* file = static_cast<PageFile*>(cookie);
    const off64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? file->pos : file->size;
    if (base + *offset < 0)
        return -1;
    file->pos = *offset = base + *offset;
    return 0;
}

int ClosePages(void* cookie) {
    auto* file = static_cast<PageFile*>(cookie);
    ::munmap(const_cast<char*>(file->bytes), static_cast<std::size_t>(file->size));
    const int result = ::close(file->fd);
    delete file;
    return result;
}

}  // namespace

bool WatchPageReads(MdbHandle* mdb, const std::string& path, PageReads& reads) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    void* bytes = MAP_FAILED;
    if (fd >= 0 && ::fstat(fd, &st) == 0 && st.st_size > 0)
        bytes = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_SHARED, fd, 0);
    if (bytes == MAP_FAILED) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    auto* file = new PageFile{fd, static_cast<const char*>(bytes), st.st_size, 0, &reads};
    FILE* stream = ::fopencookie(file, "rb", {ReadPages, nullptr, SeekPages, ClosePages});
    if (stream == nullptr) {
        ClosePages(file);
        return false;
    }
    // Unbuffered: every read is the page libmdb asks for, never a read-ahead past it.
    std::setvbuf(stream, nullptr, _IONBF, 0);
    std::fclose(mdb->f->stream);
    mdb->f->stream = stream;
    return true;
}
