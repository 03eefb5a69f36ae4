// Stored passwords: a salted, slow hash (Argon2id through libsodium) instead of the password
// itself, so that nobody who can read the data folder learns a password. Values stored by older
// installations in clear still compare as plain text until they are replaced.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillo {

// The stored form of a password: "" for the empty password, otherwise the hash string of the
// password (the caller lower-cases it first). Throws Error when the hash cannot be made.
std::string HashPassword(std::string_view password);

// True when the stored value is a password hash (not a value stored in clear).
bool IsPasswordHash(std::string_view stored);

// True when the typed password matches the stored value: a hash is verified, any other stored
// value is compared as plain text.
bool PasswordMatches(std::string_view stored, std::string_view typed);

namespace internal {
// Cost limits of new hashes. The program uses libsodium's interactive limits; tests that make
// many accounts may lower them. Verification always uses the limits stored in the hash.
void SetPasswordHashLimits(unsigned long long opsLimit, std::size_t memLimit);
void ResetPasswordHashLimits();
}  // namespace internal

}  // namespace quillo
