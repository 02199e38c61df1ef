#include "data/PasswordHash.h"

#include <sodium.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace {
// OWASP's first Argon2id setting: 19 MiB, 2 passes, 1 lane. It is the floor OWASP names, and
// of its equally strong settings the one that uses the least memory while keeping two passes
// (one pass is open to time-memory trade-offs); a press of 登录 stays well under 100 ms.
constexpr unsigned long long kOpsLimit = 2;
constexpr size_t kMemLimit = 19 * 1024 * 1024;
constexpr char kPrefix[] = crypto_pwhash_argon2id_STRPREFIX;

// Verifying costs what the stored hash asks for, and earlier versions wrote libsodium's
// interactive costs (64 MiB, 2 passes, 1 lane). A hash asking for more than that, in memory,
// in memory times passes or in lanes, is damaged: no version wrote it, and reading it could
// stall the login for seconds or exhaust memory.
constexpr unsigned long long kMaxMemKiB = 64 * 1024;
constexpr unsigned long long kMaxMemTimesPasses = kMaxMemKiB * 2;
constexpr unsigned long long kMaxLanes = 1;

bool CostsAreSane(const std::string& stored) {
    unsigned long long memKiB = 0, ops = 0, lanes = 0;
    int version = 0;
    if (std::sscanf(stored.c_str() + sizeof kPrefix - 1, "v=%d$m=%llu,t=%llu,p=%llu$", &version,
                    &memKiB, &ops, &lanes) != 4)
        return false;
    return memKiB <= kMaxMemKiB && ops <= kMaxMemTimesPasses / std::max(memKiB, 1ULL) &&
           lanes <= kMaxLanes;
}

void InitSodium() {
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw std::runtime_error("the password hashing library cannot start");
}
}  // namespace

std::string HashPassword(const std::string& password) {
    InitSodium();
    char out[crypto_pwhash_argon2id_STRBYTES];
    if (crypto_pwhash_argon2id_str(out, password.data(), password.size(), kOpsLimit, kMemLimit) !=
        0)
        throw std::runtime_error("not enough memory to hash the password");
    return out;
}

bool IsPasswordHash(const std::string& stored) {
    return stored.starts_with(kPrefix);
}

bool PasswordMatches(const std::string& stored, const std::string& typed) {
    if (!IsPasswordHash(stored))
        return stored == typed;
    // The library reads the hash up to its terminating zero; a longer text cannot be one.
    if (stored.size() >= crypto_pwhash_argon2id_STRBYTES || !CostsAreSane(stored))
        return false;
    InitSodium();
    return crypto_pwhash_argon2id_str_verify(stored.c_str(), typed.data(), typed.size()) == 0;
}
