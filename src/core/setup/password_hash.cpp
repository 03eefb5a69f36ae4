#include "setup/password_hash.h"

#include <sodium.h>

#include <atomic>

#include "shell/error.h"

namespace quillo {
namespace {

std::atomic<unsigned long long> gOpsLimit{crypto_pwhash_OPSLIMIT_INTERACTIVE};
std::atomic<std::size_t> gMemLimit{crypto_pwhash_MEMLIMIT_INTERACTIVE};

void EnsureSodium() {
  // A function-local static is initialised once, whatever the thread.
  static const bool ready = sodium_init() >= 0;
  if (!ready) throw Error("Password library cannot be initialised");
}

}  // namespace

std::string HashPassword(std::string_view password) {
  if (password.empty()) return "";
  EnsureSodium();
  char out[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str(out, password.data(), password.size(), gOpsLimit.load(),
                        gMemLimit.load()) != 0) {
    throw Error("Password cannot be stored (out of memory)");
  }
  return out;
}

bool IsPasswordHash(std::string_view stored) { return stored.rfind("$argon2", 0) == 0; }

bool PasswordMatches(std::string_view stored, std::string_view typed) {
  if (!IsPasswordHash(stored)) return stored == typed;
  EnsureSodium();
  std::string hash(stored);
  return crypto_pwhash_str_verify(hash.c_str(), typed.data(), typed.size()) == 0;
}

namespace internal {

void SetPasswordHashLimits(unsigned long long opsLimit, std::size_t memLimit) {
  gOpsLimit = opsLimit;
  gMemLimit = memLimit;
}

void ResetPasswordHashLimits() {
  SetPasswordHashLimits(crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE);
}

}  // namespace internal
}  // namespace quillo
