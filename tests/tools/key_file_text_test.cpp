#include "key_file_text.h"

#include <gtest/gtest.h>

namespace tools {
namespace {

struct ParseCase {
    const char* text;
    std::vector<uint8_t> bytes;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class BianJiTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(BianJiTest, ParsesTheEditText) {
    EXPECT_EQ(BianJi(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Texts, BianJiTest,
                         ::testing::Values(ParseCase{"", {0}}, ParseCase{"1,2,3,", {1, 2, 3}},
                                           ParseCase{"1,2,3,\r\n", {1, 2, 3, 0}},
                                           ParseCase{"1,,2", {1, 0, 2}},
                                           ParseCase{"256,-7,2.5,3.5,12abc", {255, 0, 2, 4, 12}},
                                           ParseCase{"1 2", {12}}, ParseCase{"abc", {0}},
                                           ParseCase{"10,\r\n20,\r\n30", {10, 20, 30}},
                                           ParseCase{",", {0}},
                                           ParseCase{"1\xEF\xBC\x8C"
                                                     "2",
                                                     {1}}));

TEST(BianJi, OutOfRangeValueIsAnError) {
    EXPECT_ANY_THROW(BianJi("1,99999999999"));
}

TEST(CheckLines, WriteIndexAndValueWithTheSignPlace) {
    EXPECT_EQ(XMzs({49, 50}), " 1 49\r\n 2 50\r\n");
    EXPECT_EQ(XMzs(BianJi("")), " 1 0\r\n");
    EXPECT_EQ(ReadOutLines({20, 30, 40}, 2), " 2 20\r\n 3 30\r\n 4 40\r\n");
}

TEST(NormalisedDisplay, BreaksAfterEveryTenthAndParsesBack) {
    std::vector<uint8_t> twelve{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_EQ(NormalisedDisplay(twelve), " 1, 2, 3, 4, 5, 6, 7, 8, 9, 10,\r\n 11, 12,");
    EXPECT_EQ(BianJi(NormalisedDisplay(twelve)), twelve);
    std::vector<uint8_t> ten(twelve.begin(), twelve.begin() + 10);
    auto back = BianJi(NormalisedDisplay(ten));
    ten.push_back(0);  // the final line break forms one more value
    EXPECT_EQ(back, ten);
    EXPECT_EQ(NormalisedDisplay({}), "");
}

TEST(CodeUnits, PairsLowByteFirstAndDropAnOddLastByte) {
    EXPECT_EQ(CodeUnitsFromBytes({0x61, 0, 0x62, 0}), u"ab");
    EXPECT_EQ(CodeUnitsFromBytes({0x61, 0, 0x62}), u"a");
    EXPECT_EQ(CodeUnitsFromBytes({0, 0x61, 0}), std::u16string(1, char16_t{0x6100}));
}

}  // namespace
}  // namespace tools
