// Password hashes of accounts: salted and slow (Argon2id, through libsodium), in the library's
// self-describing text "$argon2id$v=19$m=KIB,t=PASSES,p=LANES$SALT$HASH", which carries its own
// cost, so that a stronger hash made later still verifies. No password is kept or logged
// anywhere here. Any thread.
#pragma once

#include <string>
#include <string_view>

namespace server::accounts {

enum class HashCost {
  kInteractive,  // what --hash-password makes: 64 MiB and a fraction of a second
  kLowest,       // the library's least, for tests that hash many passwords
};

// Throws std::runtime_error when the library cannot start or the memory cannot be had.
std::string HashPassword(std::string_view password, HashCost cost = HashCost::kInteractive);

// Why `hash` cannot serve as an account's hash, or empty when it can: it must be an Argon2id
// hash in the text above, costing at most kMaxHashMemoryKib of memory and kMaxHashPasses passes
// (every login checks every account's hash, so one huge cost would stall every login).
inline constexpr unsigned long kMaxHashMemoryKib = 256u << 10;
inline constexpr unsigned long kMaxHashPasses = 16;
std::string HashProblem(std::string_view hash);

// True when `password` is the one `hash` was made from. REQUIRES: HashProblem(hash) is empty.
bool VerifyPassword(const std::string& hash, std::string_view password);

}  // namespace server::accounts
