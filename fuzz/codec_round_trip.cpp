// libFuzzer target: the segment codec and the drivers' block walks, in memory.
//
// The first byte picks what to do with the rest of the input:
//   even: round trip. Byte 1 gives the password length (0..7 UTF-16 units from the bytes that
//         follow), byte 2 the block base (scaled down so that inputs of a few kilobytes span
//         several blocks), the next 64 bytes drive the encoder's noise, and the rest is the
//         plaintext. Encrypting and decrypting must give the plaintext back.
//   odd:  decode arbitrary bytes with the walk, as a damaged or foreign file: no fault, and
//         never more plaintext than stored bytes.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "jmi.h"

namespace {

using velmora::engine::Jmi;
using velmora::engine::JobContext;
using Bytes = std::vector<std::uint8_t>;

Jmi& Engine() {
    // One engine for the whole run; its noise state file lives in a folder no one uses,
    // and start-up happens once (its 100000 warm-up draws would dominate every input).
    static Jmi engine = [] {
        Jmi jmi([] { return 1234.5f; }, "/nonexistent-velmora-fuzz");
        jmi.SeedTimeTable({1.0, 2.0, 3.0, 4.0, 5.0});
        jmi.InitNoiseGenerator();
        return jmi;
    }();
    return engine;
}

void Key(Jmi& jmi, const std::u16string& password, std::int32_t direction) {
    static std::u16string last = u"\uFFFF not yet";
    if (password != last) jmi.SetKeyFromPassword(password, direction);
    last = password;
    jmi.KeyDirection = direction;
}

Jmi::ReadFn ReaderOf(const Bytes& bytes) {
    return [&bytes](std::int64_t offset, std::int64_t count, Bytes& buffer) {
        if (offset < 0 || count < 0 || offset + count > static_cast<std::int64_t>(bytes.size()))
            std::abort();  // the walk asked for bytes past the end
        buffer.assign(bytes.begin() + offset, bytes.begin() + offset + count);
    };
}

Jmi::WriteFn WriterTo(Bytes& bytes) {
    return [&bytes](std::span<const std::uint8_t> out) {
        bytes.insert(bytes.end(), out.begin(), out.end());
    };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    Jmi& jmi = Engine();
    JobContext job;
    std::size_t at = 3;
    std::u16string password;
    for (int i = 0; i < data[1] % 8 && at + 1 < size; ++i, at += 2)
        password.push_back(static_cast<char16_t>(data[at] | data[at + 1] << 8));
    // 20..2570: small enough that the walks split kilobytes into blocks and chunks, and at
    // least 20 so that the smallest last block (a fifth) holds a whole segment header.
    const std::int64_t blockBase = 20 + 10 * static_cast<std::int64_t>(data[2]);

    if (data[0] % 2 == 1) {
        const Bytes stored(data + at, data + size);
        Key(jmi, password, 1);
        jmi.ResetEngine();
        Bytes plain;
        jmi.DecryptChunks(static_cast<std::int64_t>(stored.size()), ReaderOf(stored),
                          WriterTo(plain), job, blockBase);
        if (plain.size() > stored.size()) std::abort();
        return 0;
    }

    const std::size_t noiseEnd = std::min(size, at + 64);
    const Bytes noise(data + at, data + noiseEnd);
    const Bytes plain(data + noiseEnd, data + size);
    std::size_t next = 0;
    std::uint32_t mix = 1;
    jmi.SetNoiseOverride([&]() -> std::uint8_t {
        // The input's bytes first, then a simple sequence, so long plaintexts still vary.
        if (next < noise.size()) return noise[next++];
        mix = mix * 1103515245u + 12345u;
        return static_cast<std::uint8_t>(mix >> 16);
    });
    Key(jmi, password, 0);
    jmi.ResetEngine();
    Bytes stored;
    jmi.EncryptBlocks(static_cast<std::int64_t>(plain.size()), ReaderOf(plain), WriterTo(stored),
                      job, blockBase);
    jmi.SetNoiseOverride({});

    Key(jmi, password, 1);
    jmi.ResetEngine();
    Bytes back;
    jmi.DecryptChunks(static_cast<std::int64_t>(stored.size()), ReaderOf(stored), WriterTo(back),
                      job, blockBase);
    if (back != plain) std::abort();
    return 0;
}
