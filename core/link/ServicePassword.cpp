#include "core/link/ServiceGate.h"

#include <crypt.h>

#include <cstring>
#include <memory>

namespace qvd {

namespace {

// yescrypt hash of the framed service password; the password itself is not
// kept in the program.
constexpr const char* kServicePasswordHash =
    "$y$j9T$vmcsyOphS4mYQN1mSEiiI.$Y3ESXP7dJy7abPf0QyrPeRALsbiur3gLhQoIIclg4d3";

}  // namespace

bool ServicePasswordMatches(const std::string& framedEntry) {
    // crypt_r stops at a NUL; an entry carrying one must not match on its prefix.
    if (framedEntry.find('\0') != std::string::npos) return false;
    auto data = std::make_unique<crypt_data>();  // tens of kilobytes: not on the stack
    std::memset(data.get(), 0, sizeof(crypt_data));
    const char* hash = crypt_r(framedEntry.c_str(), kServicePasswordHash, data.get());
    if (hash == nullptr || hash[0] == '*') return false;
    const size_t length = std::strlen(kServicePasswordHash);
    if (std::strlen(hash) != length) return false;
    unsigned char difference = 0;
    for (size_t i = 0; i < length; ++i) difference |= static_cast<unsigned char>(hash[i] ^ kServicePasswordHash[i]);
    return difference == 0;
}

}  // namespace qvd
