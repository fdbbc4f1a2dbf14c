#include "Sha256.h"

#include <cstdint>

#include <windows.h>
#include <bcrypt.h>

#include "DigestHex.h"

namespace {

// BCrypt's status codes: negative is a failure.
bool Succeeded(NTSTATUS status)
{
    return status >= 0;
}

} // namespace

std::string Sha256Hex(std::string_view bytes)
{
    // Open, hash, finish: available since Vista, unlike the one-call BCryptHash.
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    if (!Succeeded(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
        return {};
    std::uint8_t digest[32];
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool ok = Succeeded(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0));
    // One call per 1 GiB at most, as ULONG counts.
    for (std::string_view rest = bytes; ok && !rest.empty();) {
        const std::size_t part = rest.size() < (1u << 30) ? rest.size() : (1u << 30);
        ok = Succeeded(BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(rest.data())),
                                      static_cast<ULONG>(part), 0));
        rest.remove_prefix(part);
    }
    ok = ok && Succeeded(BCryptFinishHash(hash, digest, sizeof digest, 0));
    if (hash != nullptr)
        BCryptDestroyHash(hash);
    BCryptCloseAlgorithmProvider(algorithm, 0);
    return ok ? DigestHex(digest, sizeof digest) : std::string();
}
