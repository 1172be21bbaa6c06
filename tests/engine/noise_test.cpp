// The noise sources: digit extraction, the persisted chaos coefficients and the reseed rhythm.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <random>

#include "chaos_sin.h"
#include "engine_fixture.h"
#include "error.h"

namespace velmora::test {
namespace {

TEST(NoiseDigits, FracDigitsTakeTheFourthDecimalsOn) {
    struct Case {
        double x;
        std::int32_t six;
        std::int32_t three;
    };
    // NaN and infinities have no digits: they give 0, never a negative index.
    for (const Case c : {Case{1.2345678912, 567891, 567}, Case{-1.2345678912, 567891, 567},
                         Case{0.0, 0, 0}, Case{37.0001, 100000, 100}, Case{NAN, 0, 0},
                         Case{INFINITY, 0, 0}, Case{-INFINITY, 0, 0}, Case{1e300, 0, 0}}) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(engine::Jmi::FracDigits6(c.x), c.six);
        EXPECT_EQ(engine::Jmi::FracDigits3(c.x), c.three);
    }
}

class ChaosStateTest : public EngineTest {
  protected:
    std::filesystem::path StateFile() const { return Path("ZGDcsh.lib"); }
};

TEST_F(ChaosStateTest, MissingFileIsCreatedAndDefaultsApply) {
    // SetUp ran the start-up in an empty folder.
    EXPECT_TRUE(std::filesystem::exists(StateFile()));
    engine::Jmi fresh([] { return 1.0f; }, dir_);
    fresh.LoadChaosState();
    for (int i = 1; i <= 19; ++i) EXPECT_EQ(fresh.ChaosCoeffs[i], 2.8273484285) << i;
    EXPECT_EQ(fresh.ChaosCoeffs[20], 0.0);
}

TEST_F(ChaosStateTest, SaveWritesTwentyLittleEndianDoublesInPlace) {
    Bytes longer(200, 0xEE);
    WriteFile(StateFile(), longer);
    for (int i = 1; i <= 20; ++i) jmi_.ChaosCoeffs[i] = i * 0.5 - 3.0;
    jmi_.SaveChaosState();

    const Bytes saved = ReadFile(StateFile());
    ASSERT_EQ(saved.size(), 200u);  // not truncated: bytes after 160 stay
    EXPECT_EQ(saved[160], 0xEE);
    double c1 = 0;
    std::memcpy(&c1, saved.data(), 8);
    EXPECT_EQ(c1, -2.5);
    EXPECT_EQ(saved[7], 0xC0);  // sign and exponent in the last byte: little-endian

    engine::Jmi other([] { return 1.0f; }, dir_);
    other.LoadChaosState();
    for (int i = 1; i <= 20; ++i) {
        const double expected =
            jmi_.ChaosCoeffs[i] == 0 && i < 20 ? 2.8273484285 : jmi_.ChaosCoeffs[i];
        EXPECT_EQ(other.ChaosCoeffs[i], expected) << i;
    }
}

TEST_F(ChaosStateTest, ShortFileFillsTheRestWithDefaults) {
    Bytes two(16);
    const double a = 1.25, b = -7.5;
    std::memcpy(two.data(), &a, 8);
    std::memcpy(two.data() + 8, &b, 8);
    WriteFile(StateFile(), two);
    jmi_.LoadChaosState();
    EXPECT_EQ(jmi_.ChaosCoeffs[1], 1.25);
    EXPECT_EQ(jmi_.ChaosCoeffs[2], -7.5);
    EXPECT_EQ(jmi_.ChaosCoeffs[3], 2.8273484285);
    EXPECT_EQ(jmi_.ChaosCoeffs[20], 0.0);
}

TEST_F(ChaosStateTest, DamagedFilesGiveDefaultsAndAreRewrittenWithValidValues) {
    auto doubles = [](std::initializer_list<double> values) {
        Bytes bytes(160);
        std::size_t i = 0;
        for (double v : values) std::memcpy(bytes.data() + 8 * i++, &v, 8);
        return bytes;
    };
    std::mt19937 random(5);
    Bytes noise(160);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const std::vector<Case> cases = {
        {"0xFF bytes", Bytes(160, 0xFF)},
        {"NaN", doubles({NAN, 1.0, NAN})},
        {"infinities", doubles({INFINITY, -INFINITY, 1.0})},
        {"1e300", doubles({1e300, -1e300, 1e300, 1e300})},
        {"negative zero", doubles({-0.0, -0.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0,
                                   1.0,  1.0,  1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, -0.0})},
        {"short", Bytes(10, 0xFF)},
        {"long", Bytes(400, 0xFF)},
        {"random bytes", noise},
    };
    WriteFile(Path("src"), Pattern(3000));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteFile(StateFile(), c.bytes);
        engine::Jmi jmi([] { return 1000.25f; }, dir_);
        jmi.EngineStartup();
        jmi.SeedTimeTable(std::vector<double>(20, 3.5));
        jmi.SetKeyFromPassword(u"k", 0);
        std::filesystem::remove(Path("src.jmw"));
        jmi.EncryptFile(Path("src"), Path("src.jmw"), job_);
        jmi.SaveChaosState();

        const Bytes saved = ReadFile(StateFile());
        ASSERT_GE(saved.size(), 160u);
        for (int i = 0; i < 20; ++i) {
            double c = 0;
            std::memcpy(&c, saved.data() + 8 * i, 8);
            EXPECT_TRUE(std::isfinite(c) && std::fabs(c) < 1000) << "C(" << i + 1 << ") = " << c;
            EXPECT_FALSE(c == 0 && std::signbit(c)) << "C(" << i + 1 << ") is -0";
        }
        EXPECT_GE(jmi.NoiseIndex, 0);
        EXPECT_LT(jmi.NoiseIndex, 1000);
        jmi.SetKeyFromPassword(u"k", 1);
        std::filesystem::remove(Path("back"));
        jmi.DecryptFile(Path("src.jmw"), Path("back"), job_);
        EXPECT_EQ(ReadFile(Path("back")), Pattern(3000));
    }
}

TEST_F(ChaosStateTest, AStateFileThatIsNotARegularFileIsRefusedByName) {
    std::filesystem::remove(StateFile());
    std::filesystem::create_directory(StateFile());
    EXPECT_THROW(
        {
            try {
                jmi_.LoadChaosState();
            } catch (const common::Error& e) {
                EXPECT_NE(std::string(e.what()).find(StateFile().string()), std::string::npos);
                throw;
            }
        },
        common::Error);
    EXPECT_THROW(jmi_.SaveChaosState(), common::Error);
    std::filesystem::remove(StateFile());
    // A FIFO would block the open and every read for ever.
    ASSERT_EQ(::mkfifo(StateFile().c_str(), 0600), 0);
    EXPECT_THROW(jmi_.LoadChaosState(), common::Error);
    EXPECT_THROW(jmi_.SaveChaosState(), common::Error);
}

TEST_F(ChaosStateTest, NoiseReseedsOnEveryFortyFirstCall) {
    jmi_.InitNoiseGenerator();
    // The warm-up draws of the start count too (100000 = 41 * 2439 + 1).
    EXPECT_EQ(jmi_.NoiseReseedCount, 1);
    jmi_.NoiseReseedCount = 0;
    std::vector<int> reseeds;
    for (int call = 1; call <= 130; ++call) {
        const std::int32_t phase = jmi_.ChaosPhase;
        jmi_.NoiseByte();
        if (jmi_.ChaosPhase != phase) reseeds.push_back(call);
    }
    EXPECT_EQ(reseeds, std::vector<int>({41, 82, 123}));
}

TEST_F(ChaosStateTest, FirstNoiseBytesAfterStartUpArePinned) {
    // SetUp started the engine with the timer fixed at 43210.5 in an empty folder. The chaos
    // sines are the engine's own, with every fused multiply-add written out, so builds with
    // and without such instructions draw the same noise; it must not drift unnoticed.
    std::vector<int> bytes;
    for (int i = 0; i < 12; ++i) bytes.push_back(jmi_.NoiseByte());
    EXPECT_EQ(bytes, std::vector<int>({149, 78, 139, 232, 238, 69, 187, 77, 18, 243, 244, 143}));
}

TEST_F(ChaosStateTest, ShrunkTimeTableWrapsThePosition) {
    jmi_.SeedTimeTable(std::vector<double>(20, 1.0));  // T = 30
    while (jmi_.ChaosTimePos < 20) jmi_.ChaosStep(1.0);
    jmi_.SeedTimeTable({1.0, 0, 0, 0, 0});  // T = 15; its six chaos steps wrap the position
    EXPECT_GE(jmi_.ChaosTimePos, 1);
    EXPECT_LE(jmi_.ChaosTimePos, 15);
}

}  // namespace
}  // namespace velmora::test

namespace velmora::test {
namespace {

TEST(ChaosSine, AgreesWithTheLibrarySineOverTheWholeArgumentRange) {
    std::mt19937_64 gen(11);
    std::uniform_real_distribution<double> exponent(-3.0, 16.0);
    double worst = 0;
    for (int i = 0; i < 200000; ++i) {
        const double x = (i % 2 ? -1 : 1) * std::pow(10.0, exponent(gen));
        worst = std::max(worst, std::fabs(engine::ChaosSin(x) - std::sin(x)));
    }
    EXPECT_LT(worst, 1e-15);
    EXPECT_TRUE(std::isnan(engine::ChaosSin(NAN)));
    EXPECT_EQ(engine::ChaosSin(1e300), std::sin(1e300));
}

}  // namespace
}  // namespace velmora::test
