#include "emulator/sha256.h"

#include <openssl/evp.h>

#include <stdexcept>

#include "util/hex.h"

namespace orlax::emulator {
namespace {

void Check(int result, const char* what) {
    if (result != 1) throw std::runtime_error(std::string("SHA-256: libcrypto could not ") + what);
}

void Start(EVP_MD_CTX* context) { Check(EVP_DigestInit_ex(context, EVP_sha256(), nullptr), "start a digest"); }

}  // namespace

void Sha256Hasher::FreeContext::operator()(evp_md_ctx_st* context) const { EVP_MD_CTX_free(context); }

Sha256Hasher::Sha256Hasher() : context_(EVP_MD_CTX_new()) {
    if (!context_) throw std::runtime_error("SHA-256: libcrypto could not make a digest context");
    Start(context_.get());
}

Sha256Hasher::Sha256Hasher(Sha256Hasher&&) noexcept = default;
Sha256Hasher& Sha256Hasher::operator=(Sha256Hasher&&) noexcept = default;
Sha256Hasher::~Sha256Hasher() = default;

void Sha256Hasher::Update(std::span<const std::uint8_t> data) {
    if (data.empty()) return;
    Check(EVP_DigestUpdate(context_.get(), data.data(), data.size()), "digest the data");
}

Sha256Digest Sha256Hasher::Finish() {
    Sha256Digest digest{};
    unsigned length = 0;
    Check(EVP_DigestFinal_ex(context_.get(), digest.data(), &length), "finish the digest");
    if (length != digest.size()) throw std::runtime_error("SHA-256: libcrypto gave a digest of the wrong length");
    Start(context_.get());
    return digest;
}

Sha256Digest Sha256(std::span<const std::uint8_t> data) {
    Sha256Hasher hasher;
    hasher.Update(data);
    return hasher.Finish();
}

std::string DigestHex(const Sha256Digest& digest) { return util::Hex(digest, util::HexCase::Lower); }

std::string Sha256Hex(std::span<const std::uint8_t> data) { return DigestHex(Sha256(data)); }

}  // namespace orlax::emulator
