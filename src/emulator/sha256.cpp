// SHA-256 as FIPS 180-4 defines it: 512-bit blocks, 64 rounds, the message
// padded with 0x80, zeros and its bit length (big-endian, 64 bits).
#include "emulator/sha256.h"

#include <algorithm>
#include <bit>

namespace orlax::emulator {
namespace {

constexpr std::array<std::uint32_t, 64> kRound = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::array<std::uint32_t, 8> kInitial = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                                   0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

constexpr std::size_t kBlock = 64;

void Compress(std::array<std::uint32_t, 8>& h, const std::uint8_t* block) {
    std::array<std::uint32_t, 64> w{};
    for (std::size_t t = 0; t < 16; ++t)
        w[t] = (std::uint32_t{block[4 * t]} << 24) | (std::uint32_t{block[4 * t + 1]} << 16) |
               (std::uint32_t{block[4 * t + 2]} << 8) | std::uint32_t{block[4 * t + 3]};
    for (std::size_t t = 16; t < 64; ++t) {
        const std::uint32_t s0 = std::rotr(w[t - 15], 7) ^ std::rotr(w[t - 15], 18) ^ (w[t - 15] >> 3);
        const std::uint32_t s1 = std::rotr(w[t - 2], 17) ^ std::rotr(w[t - 2], 19) ^ (w[t - 2] >> 10);
        w[t] = w[t - 16] + s0 + w[t - 7] + s1;
    }
    auto [a, b, c, d, e, f, g, k] = h;
    for (std::size_t t = 0; t < 64; ++t) {
        const std::uint32_t sum1 = std::rotr(e, 6) ^ std::rotr(e, 11) ^ std::rotr(e, 25);
        const std::uint32_t choose = (e & f) ^ (~e & g);
        const std::uint32_t t1 = k + sum1 + choose + kRound[t] + w[t];
        const std::uint32_t sum0 = std::rotr(a, 2) ^ std::rotr(a, 13) ^ std::rotr(a, 22);
        const std::uint32_t majority = (a & b) ^ (a & c) ^ (b & c);
        const std::uint32_t t2 = sum0 + majority;
        k = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    h[0] += a;
    h[1] += b;
    h[2] += c;
    h[3] += d;
    h[4] += e;
    h[5] += f;
    h[6] += g;
    h[7] += k;
}

}  // namespace

Sha256Hasher::Sha256Hasher() : state_(kInitial) {}

void Sha256Hasher::Update(std::span<const std::uint8_t> data) {
    totalLength_ += data.size();
    if (pendingLength_ > 0) {
        const std::size_t take = std::min(kBlock - pendingLength_, data.size());
        std::copy_n(data.begin(), take, pending_.begin() + static_cast<std::ptrdiff_t>(pendingLength_));
        pendingLength_ += take;
        data = data.subspan(take);
        if (pendingLength_ < kBlock) return;
        Compress(state_, pending_.data());
        pendingLength_ = 0;
    }
    const std::size_t whole = data.size() - data.size() % kBlock;
    for (std::size_t at = 0; at < whole; at += kBlock) Compress(state_, data.data() + at);
    std::copy(data.begin() + static_cast<std::ptrdiff_t>(whole), data.end(), pending_.begin());
    pendingLength_ = data.size() - whole;
}

Sha256Digest Sha256Hasher::Finish() {
    // The tail, the 0x80 marker and the length fill one or two final blocks.
    std::array<std::uint8_t, 2 * kBlock> tail{};
    std::copy_n(pending_.begin(), pendingLength_, tail.begin());
    tail[pendingLength_] = 0x80;
    const std::size_t tailLength = pendingLength_ + 1 + 8 <= kBlock ? kBlock : 2 * kBlock;
    const std::uint64_t bits = totalLength_ * 8;
    for (std::size_t i = 0; i < 8; ++i)
        tail[tailLength - 1 - i] = static_cast<std::uint8_t>(bits >> (8 * i));
    for (std::size_t at = 0; at < tailLength; at += kBlock) Compress(state_, tail.data() + at);

    Sha256Digest digest{};
    for (std::size_t i = 0; i < 8; ++i)
        for (std::size_t j = 0; j < 4; ++j)
            digest[4 * i + j] = static_cast<std::uint8_t>(state_[i] >> (24 - 8 * j));
    *this = Sha256Hasher();
    return digest;
}

Sha256Digest Sha256(std::span<const std::uint8_t> data) {
    Sha256Hasher hasher;
    hasher.Update(data);
    return hasher.Finish();
}

std::string DigestHex(const Sha256Digest& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(2 * digest.size());
    for (const std::uint8_t byte : digest) {
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 0x0F]);
    }
    return text;
}

std::string Sha256Hex(std::span<const std::uint8_t> data) { return DigestHex(Sha256(data)); }

}  // namespace orlax::emulator
