// SHA-256 of a byte string, for the job journal's digest of long jobs,
// computed by libcrypto.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

struct evp_md_ctx_st;  // libcrypto's digest context, kept out of this header

namespace orlax::emulator {

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest Sha256(std::span<const std::uint8_t> data);

// The digest as 64 lower-case hex digits.
std::string Sha256Hex(std::span<const std::uint8_t> data);

// A digest as 64 lower-case hex digits.
std::string DigestHex(const Sha256Digest& digest);

// SHA-256 of a byte string that arrives in pieces (a job streamed from a
// connection): the digest of all pieces given to Update, in order.
// Throws std::runtime_error when libcrypto cannot start or run a digest.
class Sha256Hasher {
public:
    Sha256Hasher();
    Sha256Hasher(Sha256Hasher&&) noexcept;
    Sha256Hasher& operator=(Sha256Hasher&&) noexcept;
    ~Sha256Hasher();

    void Update(std::span<const std::uint8_t> data);
    // The digest of everything given so far; the hasher then starts over.
    Sha256Digest Finish();

private:
    struct FreeContext {
        void operator()(evp_md_ctx_st* context) const;
    };
    std::unique_ptr<evp_md_ctx_st, FreeContext> context_;
};

}  // namespace orlax::emulator
