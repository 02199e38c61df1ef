#include "platform/ado/LibPq.h"

#include <dlfcn.h>

#include <string>

#include "platform/ado/ComError.h"

namespace {

constexpr const char* kLibrary = "libpq.so.5";

LibPq Load() {
    // Kept for the program's life: connections and results hold its code.
    void* library = ::dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
    const auto refuse = [] {
        const char* why = ::dlerror();
        throw CComError(E_FAIL, "PostgreSQL",
                        std::string("The PostgreSQL client library cannot be loaded: ") +
                            (why != nullptr ? why : kLibrary));
    };
    if (library == nullptr)
        refuse();
    LibPq pq;
#define TILLBOOK_LIBPQ_RESOLVE(name)                                        \
    pq.name = reinterpret_cast<decltype(pq.name)>(::dlsym(library, #name)); \
    if (pq.name == nullptr)                                                 \
        refuse();
    TILLBOOK_LIBPQ_FUNCTIONS(TILLBOOK_LIBPQ_RESOLVE)
#undef TILLBOOK_LIBPQ_RESOLVE
    return pq;
}

}  // namespace

const LibPq& Pq() {
    static const LibPq pq = Load();
    return pq;
}
