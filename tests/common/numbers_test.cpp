#include "numbers.h"

#include <gtest/gtest.h>

#include "error.h"

namespace velmora::common {
namespace {

struct ReadCase {
    const char* text;
    int32_t expected;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class ReadNumberTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadNumberTest, ReadsLeadingNumber) {
    EXPECT_EQ(ReadNumber(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadNumberTest,
    ::testing::Values(ReadCase{"12abc", 12}, ReadCase{"abc", 0}, ReadCase{"1 2", 12},
                      ReadCase{"2.5", 2}, ReadCase{"3.5", 4}, ReadCase{"-3", -3},
                      ReadCase{"-2.5", -2}, ReadCase{"256", 256}, ReadCase{"-7", -7},
                      ReadCase{"", 0}, ReadCase{"  ", 0}, ReadCase{"1\r\n2", 12},
                      ReadCase{"\t+4", 4}, ReadCase{"1e3", 1000}, ReadCase{"2E+2x", 200},
                      ReadCase{"5e", 5}, ReadCase{".5", 0}, ReadCase{"1.5", 2}, ReadCase{"7.", 7},
                      // "7." is a number, and a number may carry an exponent.
                      ReadCase{"7.e3", 7000}, ReadCase{"0x10", 0}, ReadCase{"inf", 0},
                      ReadCase{"2147483647", 2147483647}, ReadCase{"-2147483648", INT32_MIN}));

TEST(ReadNumber, OutsideThe32BitRangeIsAnError) {
    EXPECT_THROW(ReadNumber("2147483648"), Error);
    EXPECT_THROW(ReadNumber("-2147483649"), Error);
    EXPECT_THROW(ReadNumber("1e300"), Error);
}

TEST(WriteNumber, TextFormHasTheSignPlaceBoxFormHasNot) {
    EXPECT_EQ(WriteNumberInText(0), " 0");
    EXPECT_EQ(WriteNumberInText(1000), " 1000");
    EXPECT_EQ(WriteNumberInBox(1000), "1000");
    EXPECT_EQ(WriteNumberInBox(5000000000LL), "5000000000");
}

}  // namespace
}  // namespace velmora::common
