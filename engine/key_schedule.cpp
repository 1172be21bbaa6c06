// Key preparation and the keyed byte generator.

#include <cassert>

#include "error.h"
#include "jmi.h"
#include "utf16le.h"

namespace velmora::engine {

namespace {

// One stirring pass over words[0..n): `rounds` rounds, each adding the previous result, a
// counter and the position to the word at the position the previous result points to.
//
// Each round's position comes from the previous round's result, so the rounds form one
// chain. The reduction is done with sign masks (a branch would be mispredicted on about every
// other round) and the position modulo n by two multiplications with a 64-bit inverse of n
// (exact for every 32-bit value) instead of a division.
void Stir(std::vector<std::int32_t>& words, std::int32_t n, std::int64_t rounds) {
    constexpr std::int32_t kCeiling = Jmi::kKeyWordCeiling;
    std::int32_t* w = words.data();
    const std::uint64_t inverse = UINT64_MAX / static_cast<std::uint32_t>(n) + 1;
    __extension__ using Wide = unsigned __int128;
    std::int32_t j = 0;
    std::int32_t off = 1;
    std::int32_t b = 0;
    for (std::int64_t r = 0; r < rounds; ++r) {
        j = j + 1;
        if (j > n) j = 0;
        // Word and previous result are each at most 1e7 and counter and position below 1e6
        // (key files are capped at 500000 bytes): the sum is below 2.2e7, two subtractions.
        std::int32_t v = w[b] + (off + j + b);
        v -= ((kCeiling - v) >> 31) & kCeiling;
        v -= ((kCeiling - v) >> 31) & kCeiling;
        w[b] = v;
        off = v;
        const std::uint64_t fraction = inverse * static_cast<std::uint32_t>(v);
        b = static_cast<std::int32_t>(
            (static_cast<Wide>(fraction) * static_cast<std::uint32_t>(n)) >> 64);
    }
}

}  // namespace

void Jmi::SetKeyFromPassword(const std::u16string& password, std::int32_t direction) {
    KeyDirection = direction;
    BuildKeySchedule(common::Utf16LeBytes(std::u16string(kSalt) + password));
}

void Jmi::SetKeyFromBytes(std::span<const std::uint8_t> bytes, std::int32_t direction) {
    KeyDirection = direction;
    std::vector<std::uint8_t> material = common::Utf16LeBytes(kSalt);
    material.insert(material.end(), bytes.begin(), bytes.end());
    BuildKeySchedule(material);
}

void Jmi::BuildKeySchedule(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) throw common::Error("The key material is empty.");
    // Key files are capped at 500000 bytes, so every count here stays far below 2^31.
    const auto n = static_cast<std::int32_t>(bytes.size());

    std::vector<std::int32_t> table(bytes.begin(), bytes.end());
    Stir(table, n, static_cast<std::int64_t>(n) * 10);

    std::int32_t s = 0;
    for (std::int32_t i = 0; i < n; ++i) {
        s += table[i];
        while (s > kKeyWordCeiling) s -= kKeyWordCeiling;
    }

    const std::int32_t h = n + n / 2 + s % 50 + 40;
    const std::int32_t m = h + 1;
    table.resize(static_cast<std::size_t>(m), 0);
    Stir(table, m, static_cast<std::int64_t>(m) * 20);

    KeyTable = std::move(table);
    KeyLast = h;
    sharedKey_ = nullptr;
    warmValid_ = false;
}

void Jmi::ShareKey(const Jmi& prepared) {
    if (!prepared.HasKey()) throw common::Error("No key has been prepared.");
    KeyTable.clear();
    sharedKey_ = prepared.sharedKey_ != nullptr ? prepared.sharedKey_ : &prepared.KeyTable;
    KeyLast = prepared.KeyLast;
    KeyDirection = prepared.KeyDirection;
    warmStream_ = prepared.warmStream_;
    warmValid_ = prepared.warmValid_;
}

void Jmi::ResetEngine() {
    assert(HasKey());
    CipherSum = 0;
    Feedback = 0;
    PlainSum = 0;
    Consumed = 0;
    OutLength = 0;

    if (!warmValid_) {
        warmStream_.Reset();
        KeyStreamCursor ks(warmStream_, KeyWords(), KeyLast);
        const std::int64_t draws = 100000 + static_cast<std::int64_t>(KeyLast) + 1000;
        for (std::int64_t i = 0; i < draws; ++i) ks.Next(0);
        ks.Save();
        warmValid_ = true;
    }
    Stream = warmStream_;
}

std::uint8_t Jmi::KeyStreamByte() {
    KeyStreamCursor ks(Stream, KeyWords(), KeyLast);
    const std::uint8_t k = ks.Next(Feedback);
    ks.Save();
    return k;
}

void Jmi::MixIntoKeyStream(std::int32_t value) {
    KeyStreamCursor ks(Stream, KeyWords(), KeyLast);
    ks.Mix(value, Feedback);
    ks.Save();
}

}  // namespace velmora::engine
