// The segment codec: round trips, forced segment shapes and tails, and what the stream hides.

#include <gtest/gtest.h>

#include <random>

#include "engine_fixture.h"
#include "scripted_noise.h"

namespace velmora::test {
namespace {

class CodecTest : public EngineTest {
  protected:
    // Prepares the key only when it changes, so the warm-up is not redone for every case.
    void Key(const std::u16string& password, std::int32_t direction) {
        if (password != lastPassword_) jmi_.SetKeyFromPassword(password, direction);
        lastPassword_ = password;
        jmi_.KeyDirection = direction;
    }
    Bytes Encode(const Bytes& plain, const std::u16string& password = u"key") {
        Key(password, 0);
        jmi_.ResetEngine();
        auto out = jmi_.EncodeBlock(plain, 1, 0, job_);
        return Bytes(out.begin(), out.end());
    }
    Bytes Decode(const Bytes& cipher, const std::u16string& password = u"key") {
        Key(password, 1);
        jmi_.ResetEngine();
        auto out = jmi_.DecodeBlock(cipher, 1, 0, job_);
        return Bytes(out.begin(), out.end());
    }
    void UseScript(ScriptedNoise& noise) {
        jmi_.SetNoiseOverride([&noise] { return noise(); });
    }

  private:
    std::u16string lastPassword_ = u"\uFFFF unset";
};

TEST_F(CodecTest, EverySizeUpToThreeThousandRoundTrips) {
    for (std::size_t size = 1; size <= 3000; ++size) {
        const Bytes plain = Pattern(size, 7 + static_cast<unsigned>(size), 3);
        const Bytes cipher = Encode(plain);
        ASSERT_EQ(Decode(cipher), plain) << "size " << size;
        ASSERT_GT(cipher.size(), plain.size()) << "size " << size;
    }
}

TEST_F(CodecTest, OneByteBlockIsOneSegmentCarryingThatByte) {
    // L = 255 declares more than the byte; 7 is divisible by 7, so the header is cut to 1 and
    // a tail follows; the tail stops at once (20 mod 20 = 0).
    ScriptedNoise noise;
    noise.Then({255, 7, 0, 2, 9, 11, 12, 13, 20, 0});
    UseScript(noise);
    const Bytes cipher = Encode({0x41});
    EXPECT_EQ(cipher.size(), 4u + 3u + 1u);  // header, F = (2 mod 4) + 1 filler bytes, data
    EXPECT_EQ(Decode(cipher), Bytes({0x41}));
}

TEST_F(CodecTest, ZeroHeaderStillCarriesOneByte) {
    ScriptedNoise noise;
    noise
        .Then({0, 0, 0, 0, 99})              // H = 0: one data byte; FillModulus 4; F = 1
        .Then({2, 14, 0, 0, 0, 77, 20, 0});  // rest 2 bytes, final segment, empty tail
    UseScript(noise);
    const Bytes plain = {1, 2, 3};
    const Bytes cipher = Encode(plain);
    EXPECT_EQ(cipher.size(), (4u + 1u + 1u) + (4u + 1u + 2u));
    EXPECT_EQ(Decode(cipher), plain);
}

TEST_F(CodecTest, LastSegmentDeclaringMoreThanItHoldsDecodesExactly) {
    ScriptedNoise noise;
    noise.Then({200, 1, 0, 0, 0, 5});  // 1 is not divisible by 7: H stays 200, no tail
    UseScript(noise);
    const Bytes plain = {9, 8, 7};
    const Bytes cipher = Encode(plain);
    EXPECT_EQ(cipher.size(), 4u + 1u + 3u);
    EXPECT_EQ(Decode(cipher), plain);
}

// Builds the noise script for a one-byte last block whose tail is `tail` bytes long; `f` is
// the filler value, varied by the caller until the key stream takes the needed turn at the
// tail's second byte (kept when its key byte is not a multiple of 20).
ScriptedNoise TailScript(int tail, int f) {
    ScriptedNoise noise;
    noise.Then({255, 7, 26, 0, 5, f});  // FillModulus 30, one filler byte
    if (tail == 0) return noise.Then({20, 0});
    noise.Then({1, 9, 11});
    if (tail <= 2) return noise.Then({20, 3});
    noise.Then({1, 29});  // up to (29 mod 30) + 2 = 31 more bytes
    for (int j = 0; j < tail - 3; ++j) noise.Then({1, 40 + j});
    if (tail - 3 < 31) noise.Then({20, 0});
    return noise;
}

TEST_F(CodecTest, TailsOfEveryLengthAddNothingToTheFile) {
    for (int tail = 0; tail <= 34; ++tail) {
        SCOPED_TRACE("tail " + std::to_string(tail));
        bool made = false;
        for (int f = 0; f < 256 && !made; ++f) {
            ScriptedNoise noise = TailScript(tail, f);
            jmi_.SetNoiseOverride([&noise] { return noise(); });
            WriteFile(Path("one"), {0x5A});
            std::filesystem::remove(Path("one.jmw"));
            jmi_.SetKeyFromPassword(u"tails", 0);
            jmi_.EncryptFile(Path("one"), Path("one.jmw"), job_);
            if (std::filesystem::file_size(Path("one.jmw")) !=
                static_cast<std::uintmax_t>(6 + tail))
                continue;
            made = true;
            std::filesystem::remove(Path("one.out"));
            jmi_.SetKeyFromPassword(u"tails", 1);
            jmi_.DecryptFile(Path("one.jmw"), Path("one.out"), job_);
            EXPECT_EQ(ReadFile(Path("one.out")), Bytes({0x5A}));
        }
        EXPECT_TRUE(made) << "no filler value gave this tail";
    }
}

TEST_F(CodecTest, NoiseMakesEveryEncryptionDifferent) {
    const Bytes plain = Pattern(5000);
    const Bytes first = Encode(plain);
    const Bytes second = Encode(plain);
    EXPECT_NE(first, second);
    EXPECT_EQ(Decode(first), plain);
    EXPECT_EQ(Decode(second), plain);
}

TEST_F(CodecTest, WrongKeyGivesOtherBytesWithoutAnError) {
    const Bytes plain = Pattern(4000);
    const Bytes cipher = Encode(plain, u"right");
    // Near misses too: one letter's case, one more character.
    for (const std::u16string key : {u"wrong", u"righT", u"right "}) {
        SCOPED_TRACE(std::string(key.begin(), key.end()));
        const Bytes wrong = Decode(cipher, key);
        // Whatever the key, every parsed segment costs at least a 4-byte header and one
        // filler byte, so the output is at least 5 bytes shorter than the stored bytes.
        EXPECT_LE(wrong.size() + 5, cipher.size());
        // And it looks like noise: about 1 byte in 256 agrees with the plaintext.
        std::size_t same = 0;
        for (std::size_t i = 0; i < std::min(wrong.size(), plain.size()); ++i)
            same += wrong[i] == plain[i];
        EXPECT_LT(same, 4000u / 50) << "of " << wrong.size();
    }
}

TEST_F(CodecTest, KeyPreparedForDecryptionOrAnEmptyBlockEncodesNothing) {
    jmi_.SetKeyFromPassword(u"key", 1);
    jmi_.ResetEngine();
    EXPECT_TRUE(jmi_.EncodeBlock(Pattern(100), 1, 0, job_).empty());
    EXPECT_EQ(jmi_.OutLength, 0);
    // An empty span has no first byte to read (its data pointer is null).
    jmi_.SetKeyFromPassword(u"key", 0);
    jmi_.ResetEngine();
    EXPECT_TRUE(jmi_.EncodeBlock(std::span<const std::uint8_t>(), 1, 0, job_).empty());
    EXPECT_EQ(jmi_.OutLength, 0);
}

TEST_F(CodecTest, DecoderStopsBeforeTheMarginOfAChunkThatIsNotLast) {
    const Bytes plain = Pattern(20000);
    const Bytes cipher = Encode(plain);
    jmi_.SetKeyFromPassword(u"key", 1);
    jmi_.ResetEngine();
    jmi_.DecodeBlock(cipher, 0, 0, job_);
    EXPECT_LE(jmi_.Consumed, static_cast<std::int64_t>(cipher.size()) - 360 + 289);
    EXPECT_GE(jmi_.Consumed, static_cast<std::int64_t>(cipher.size()) - 360);
    // Too short to hold the margin: nothing is consumed.
    jmi_.DecodeBlock(Bytes(360), 0, 1, job_);
    EXPECT_EQ(jmi_.Consumed, 0);
}

TEST_F(CodecTest, EncoderNeverCutsItsOutputForDataPoorSegments) {
    // Every segment carries one byte behind the largest filler: far beyond the first guess
    // of one and a half times the block.
    ScriptedNoise noise;
    for (int i = 0; i < 12000; ++i) {
        noise.Then({0, 26, 29, 0});  // H = 0, FillModulus 30, F = 30
        for (int f = 0; f < 30; ++f) noise.Then({7});
    }
    UseScript(noise);
    const Bytes plain = Pattern(12000);
    const Bytes cipher = Encode(plain);
    EXPECT_EQ(cipher.size(), plain.size() * 35);
    EXPECT_EQ(Decode(cipher), plain);
}

TEST_F(CodecTest, OwnNoiseIsDrawnInTheOrderOfThePlainGenerator) {
    // The encoder keeps the noise generator in registers and spreads each segment's chaos
    // step over the next data run. A twin engine that draws every byte through the plain
    // `NoiseByte`, with each chaos step done before the next draw, must give the same file:
    // over two blocks, many reseeds and the block-size steps of the driver in between.
    jmi_.SeedTimeTable(std::vector<double>(20, 2.25));
    engine::Jmi twin = jmi_;
    twin.SetNoiseOverride([&twin] { return twin.NoiseByte(); });
    WriteFile(Path("src"), Pattern(7000000, 11, 5));
    for (engine::Jmi* e : {&jmi_, &twin}) {
        e->SetKeyFromPassword(u"order", 0);
        e->EncryptFile(Path("src"), Path(e == &twin ? "twin.jmw" : "own.jmw"), job_);
    }
    EXPECT_EQ(ReadFile(Path("own.jmw")), ReadFile(Path("twin.jmw")));
    EXPECT_EQ(jmi_.ChaosCoeffs, twin.ChaosCoeffs);
    EXPECT_EQ(jmi_.NoiseState, twin.NoiseState);
    EXPECT_EQ(jmi_.NoiseReseedCount, twin.NoiseReseedCount);
}

}  // namespace
}  // namespace velmora::test
