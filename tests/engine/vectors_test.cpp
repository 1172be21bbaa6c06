// The engine against reference vectors computed independently of this code: key tables and
// key streams for passwords and key files, and one whole ciphertext made with a fixed noise
// source.

#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>

#include "engine_fixture.h"
#include "sha256.h"
#include "utf16le.h"

namespace velmora::test {
namespace {

nlohmann::json LoadVectors() {
    std::ifstream in(VELMORA_TEST_DATA "/reference_vectors.json");
    return nlohmann::json::parse(in);
}

Bytes KeyTableBytes(const std::vector<std::int32_t>& table) {
    Bytes bytes;
    for (std::int32_t word : table) {
        for (int b = 0; b < 4; ++b)
            bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(word) >> (8 * b)));
    }
    return bytes;
}

TEST(ReferenceVectors, KeyTablesAndKeyStreams) {
    const nlohmann::json vectors = LoadVectors();
    engine::Jmi jmi;
    for (const auto& key : vectors["keys"]) {
        SCOPED_TRACE(key["name"].get<std::string>());
        if (key.contains("password")) {
            jmi.SetKeyFromPassword(common::Utf8ToUtf16(key["password"].get<std::string>()), 0);
        } else {
            ASSERT_EQ(key["keyfile"]["pattern"], "i2+3i");
            Bytes file(key["keyfile"]["length"].get<std::size_t>());
            for (std::size_t i = 0; i < file.size(); ++i)
                file[i] = static_cast<std::uint8_t>(i * i + 3 * i);
            jmi.SetKeyFromBytes(file, 0);
        }
        EXPECT_EQ(jmi.KeyLast, key["KeyLast"].get<std::int32_t>());
        ASSERT_EQ(jmi.KeyTable.size(), static_cast<std::size_t>(jmi.KeyLast) + 1);
        if (key.contains("KeyTable_first16")) {
            const auto first16 = key["KeyTable_first16"].get<std::vector<std::int32_t>>();
            EXPECT_EQ(std::vector<std::int32_t>(jmi.KeyTable.begin(), jmi.KeyTable.begin() + 16),
                      first16);
        }
        EXPECT_EQ(Sha256Hex(KeyTableBytes(jmi.KeyTable)),
                  key["KeyTable_sha256"].get<std::string>());

        jmi.ResetEngine();
        std::vector<int> stream;
        for (int i = 0; i < 64; ++i) stream.push_back(jmi.KeyStreamByte());
        EXPECT_EQ(stream, key["stream_after_reset"].get<std::vector<int>>());
    }
}

class ReferenceCiphertext : public EngineTest {};

TEST_F(ReferenceCiphertext, EncryptFileWithFixedNoiseMatchesByteForByte) {
    const nlohmann::json v = LoadVectors()["ciphertext"];
    ASSERT_EQ(v["plaintext"]["pattern"], "31i+7");
    WriteFile(Path("plain"), Pattern(v["plaintext"]["length"].get<std::size_t>(), 31, 7));

    std::uint32_t x = 1;
    jmi_.SetNoiseOverride([&x] {
        x = (x * 1103515245u + 12345u) & 0x7FFFFFFFu;
        return static_cast<std::uint8_t>((x >> 16) & 255);
    });
    jmi_.SetKeyFromPassword(common::Utf8ToUtf16(v["password"].get<std::string>()), 0);
    jmi_.EncryptFile(Path("plain"), Path("plain.jmw"), job_);

    const Bytes cipher = ReadFile(Path("plain.jmw"));
    EXPECT_EQ(cipher.size(), v["length"].get<std::size_t>());
    EXPECT_EQ(Sha256Hex(cipher), v["sha256"].get<std::string>());

    jmi_.SetKeyFromPassword(common::Utf8ToUtf16(v["password"].get<std::string>()), 1);
    jmi_.DecryptFile(Path("plain.jmw"), Path("plain.out"), job_);
    EXPECT_EQ(ReadFile(Path("plain.out")), Pattern(1000, 31, 7));
}

}  // namespace
}  // namespace velmora::test
