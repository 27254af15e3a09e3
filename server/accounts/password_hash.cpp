#include "server/accounts/password_hash.h"

#include <cstdio>
#include <stdexcept>

#include <sodium.h>

namespace server::accounts {
namespace {

void StartLibrary() {
  static const bool started = sodium_init() >= 0;
  if (!started) throw std::runtime_error("cannot start libsodium");
}

}  // namespace

std::string HashPassword(std::string_view password, HashCost cost) {
  StartLibrary();
  const bool lowest = cost == HashCost::kLowest;
  char hash[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str_alg(
          hash, password.data(), password.size(),
          lowest ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE,
          lowest ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE,
          crypto_pwhash_ALG_ARGON2ID13) != 0)
    throw std::runtime_error("out of memory while hashing the password");
  return hash;
}

std::string HashProblem(std::string_view hash) {
  StartLibrary();
  static constexpr std::string_view kPrefix = "$argon2id$v=19$";
  const std::string text(hash);
  unsigned long memory_kib = 0, passes = 0, lanes = 0;
  int parsed = 0;
  if (!hash.starts_with(kPrefix) || hash.size() >= crypto_pwhash_STRBYTES ||
      std::sscanf(text.c_str() + kPrefix.size(), "m=%lu,t=%lu,p=%lu$%n", &memory_kib, &passes,
                  &lanes, &parsed) != 3 ||
      parsed == 0 ||
      // -1: not a hash this library can check, whatever its cost.
      crypto_pwhash_str_needs_rehash(text.c_str(), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                                     crypto_pwhash_MEMLIMIT_INTERACTIVE) == -1)
    return "not a password hash as orvane-server --hash-password prints it";
  if (memory_kib > kMaxHashMemoryKib || passes > kMaxHashPasses)
    return "the hash costs more than a login may (at most " +
           std::to_string(kMaxHashMemoryKib >> 10) + " MiB and " + std::to_string(kMaxHashPasses) +
           " passes)";
  return {};
}

bool VerifyPassword(const std::string& hash, std::string_view password) {
  StartLibrary();
  return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

}  // namespace server::accounts
