#include "engine_fixture.h"

#include <fstream>
#include <iterator>
#include <random>

namespace velmora::test {

void EngineTest::SetUp() {
    std::random_device rd;
    dir_ = std::filesystem::temp_directory_path() /
           ("velmora-engine-" + std::to_string(rd()) + "-" + std::to_string(rd()));
    std::filesystem::create_directories(dir_);
    jmi_ = engine::Jmi([] { return 43210.5f; }, dir_);
    jmi_.EngineStartup();
}

void EngineTest::TearDown() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

void EngineTest::WriteFile(const std::filesystem::path& path, const Bytes& bytes) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes EngineTest::ReadFile(const std::filesystem::path& path) const {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes EngineTest::RoundTripFile(const Bytes& plain, const std::u16string& password) {
    static int counter = 0;
    const std::string stem = "rt" + std::to_string(++counter);
    WriteFile(Path(stem), plain);
    jmi_.SetKeyFromPassword(password, 0);
    jmi_.EncryptFile(Path(stem), Path(stem + ".jmw"), job_);
    jmi_.SetKeyFromPassword(password, 1);
    jmi_.DecryptFile(Path(stem + ".jmw"), Path(stem + ".out"), job_);
    return ReadFile(Path(stem + ".out"));
}

Bytes Pattern(std::size_t length, unsigned a, unsigned b) {
    Bytes bytes(length);
    for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<std::uint8_t>(a * i + b);
    return bytes;
}

}  // namespace velmora::test
