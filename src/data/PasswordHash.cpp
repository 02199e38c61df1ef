#include "data/PasswordHash.h"

#include <sodium.h>

#include <cstdio>
#include <stdexcept>

namespace {
// libsodium's interactive costs: one hash takes about 150 ms and 64 MiB on a small desktop,
// which keeps a login well under 300 ms (bench/PasswordHash_bench).
constexpr unsigned long long kOpsLimit = crypto_pwhash_argon2id_OPSLIMIT_INTERACTIVE;
constexpr size_t kMemLimit = crypto_pwhash_argon2id_MEMLIMIT_INTERACTIVE;
constexpr char kPrefix[] = crypto_pwhash_argon2id_STRPREFIX;

// Verifying costs what the stored hash asks for. One asking for far more than this program
// writes is taken as damaged rather than let a bad book stall the login for minutes.
constexpr unsigned long long kMaxOps = 4 * kOpsLimit;
constexpr unsigned long long kMaxMemKiB = 4 * kMemLimit / 1024;

bool CostsAreSane(const std::string& stored) {
    unsigned long long memKiB = 0, ops = 0, lanes = 0;
    int version = 0;
    if (std::sscanf(stored.c_str() + sizeof kPrefix - 1, "v=%d$m=%llu,t=%llu,p=%llu$", &version,
                    &memKiB, &ops, &lanes) != 4)
        return false;
    return memKiB <= kMaxMemKiB && ops <= kMaxOps;
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
