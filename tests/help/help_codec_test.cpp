#include "help_codec.h"

#include <gtest/gtest.h>

#include <climits>
#include <deque>

#include "error.h"
#include "help_key.h"

namespace velmora::help {
namespace {

// Hands out the given header bytes in order, so each case forces one header and filler shape.
RandomByteSource Scripted(std::deque<uint8_t> bytes) {
    return [bytes]() mutable {
        const uint8_t b = bytes.front();
        bytes.pop_front();
        return b;
    };
}

std::vector<uint8_t> Pattern(size_t length) {
    std::vector<uint8_t> bytes(length);
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 3);
    return bytes;
}

// The keystream's state after a restart and its first draws, worked out by hand from the start
// words and the mix word in an implementation of its own. A change here makes every help file
// already installed unreadable.
TEST(HelpKeystream, RestartGivesTheReferenceState) {
    HelpCodec codec;
    codec.BZChuShi();
    EXPECT_EQ(codec.Sum(), 856646428);
    EXPECT_EQ(codec.Index(), 428);
    EXPECT_EQ(codec.Counter(), 991);
    EXPECT_EQ(codec.LastByte(), 28);
    std::vector<uint8_t> draws;
    for (int i = 0; i < 8; ++i) draws.push_back(codec.BZZiJie(kHelpMixWord));
    EXPECT_EQ(draws, (std::vector<uint8_t>{75, 94, 14, 124, 68, 190, 51, 154}));
}

TEST(HelpKeystream, AMixedValueThatWouldBreakTheSumIsRefusedAndChangesNothing) {
    HelpCodec codec;
    codec.BZChuShi();
    // INT32_MAX overflows the addition; INT32_MIN takes the sum below 1, which would make
    // the next table index negative.
    for (int32_t v : {INT32_MAX, INT32_MIN}) {
        const int32_t sum = codec.Sum();
        const int32_t counter = codec.Counter();
        EXPECT_THROW(codec.BZZiJie(v), common::Error) << v;
        EXPECT_EQ(codec.Sum(), sum);
        EXPECT_EQ(codec.Counter(), counter);
    }
}

struct RoundTripCase {
    const char* name;
    size_t length;
    std::deque<uint8_t> header;  // h0, h1, h2 as the random source gives them
};

TEST(HelpCodec, EncodingThenDecodingGivesTheBytesBack) {
    const RoundTripCase cases[] = {
        {"one byte", 1, {7, 9, 200}},
        {"odd length", 7, {1, 0, 0}},
        {"even length", 8, {0, 1, 255}},
        // h0 = h1 = 0: the filler is one byte, not none, so the payload starts one byte later.
        {"zero header sum", 12, {0, 0, 0}},
        {"longest filler", 33, {255, 255, 255}},
        {"long text", 200001, {128, 64, 32}},
    };
    for (const auto& c : cases) {
        const auto input = Pattern(c.length);
        HelpCodec codec;
        const auto file = codec.BZJmi(input, Scripted(c.header));
        const size_t filler = static_cast<size_t>(FillerLength(c.header[0], c.header[1]));
        EXPECT_EQ(file.size(), 3 + filler + c.length) << c.name;
        EXPECT_EQ(codec.BZFJmi(file), input) << c.name;
    }
}

TEST(HelpCodec, TheFillerRepeatsTheThirdStoredHeaderByte) {
    HelpCodec codec;
    const auto file = codec.BZJmi(Pattern(4), Scripted({0, 0, 9}));
    ASSERT_EQ(file.size(), 3u + 1u + 4u);
    EXPECT_EQ(file[3], file[2]);

    const auto wide = codec.BZJmi(Pattern(4), Scripted({2, 3, 9}));
    ASSERT_EQ(wide.size(), 3u + 5u + 4u);
    for (size_t i = 3; i < 8; ++i) EXPECT_EQ(wide[i], wide[2]) << i;
}

TEST(HelpCodec, FilesWithoutPayloadDecodeToOneZeroByte) {
    HelpCodec codec;
    const std::vector<uint8_t> zero = {0};
    // Too short to hold a header and a filler: never decoded at all.
    for (size_t length = 0; length <= 4; ++length) {
        EXPECT_EQ(codec.BZFJmi(std::vector<uint8_t>(length, 0xA5)), zero) << length;
    }
    // An empty text encodes to header and filler only.
    EXPECT_EQ(codec.BZFJmi(codec.BZJmi({}, Scripted({2, 3, 4}))), zero);
    // A file cut inside its filler, or right at the filler's end.
    const auto file = codec.BZJmi(Pattern(10), Scripted({10, 10, 1}));
    for (size_t keep : {size_t{5}, size_t{22}, size_t{23}}) {
        EXPECT_EQ(codec.BZFJmi({file.begin(), file.begin() + static_cast<long>(keep)}), zero)
            << keep;
    }
}

TEST(HelpCodec, TwoEncodingsOfOneTextDifferYetDecodeAlike) {
    const auto text = Pattern(300);
    HelpCodec codec;
    const auto random = SystemRandomBytes();
    std::vector<std::vector<uint8_t>> files;
    for (int i = 0; i < 4; ++i) files.push_back(codec.BZJmi(text, random));
    bool anyDiffer = false;
    for (const auto& file : files) {
        EXPECT_EQ(codec.BZFJmi(file), text);
        anyDiffer = anyDiffer || file != files.front();
    }
    // Four random headers agree by chance once in 2^72 runs.
    EXPECT_TRUE(anyDiffer);
}

}  // namespace
}  // namespace velmora::help
