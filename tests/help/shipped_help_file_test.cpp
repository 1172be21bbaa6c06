// The Help.lib this build ships decodes, with this build's key, to the help text exactly.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "help_codec.h"
#include "utf16le.h"

namespace velmora::help {
namespace {

std::string Slurp(const char* path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ShippedHelpFile, DecodesToTheHelpText) {
    const std::string file = Slurp(VELMORA_HELP_FILE);
    const std::u16string expected = common::Utf8ToUtf16(Slurp(VELMORA_HELP_TEXT));
    ASSERT_GT(expected.size(), 1000u);

    HelpCodec codec;
    const auto bytes = codec.BZFJmi({file.begin(), file.end()});
    EXPECT_EQ(bytes.size(), expected.size() * 2);
    EXPECT_TRUE(common::FromUtf16LeBytes(bytes.data(), bytes.size()) == expected);
}

}  // namespace
}  // namespace velmora::help
