#include "utf16le.h"

#include <gtest/gtest.h>

namespace velmora::common {
namespace {

TEST(Utf8AndUtf16, BoundariesOfEveryLengthConvertBothWays) {
    struct Case {
        const char* utf8;
        std::u16string utf16;
    };
    const std::vector<Case> cases = {
        {"\x7f", u"\u007f"},
        {"\xc2\x80", u"\u0080"},
        {"\xdf\xbf", u"\u07ff"},
        {"\xe0\xa0\x80", u"\u0800"},
        {"\xef\xbf\xbf", u"\uffff"},
        {"\xf0\x90\x80\x80", u"\U00010000"},  // the first surrogate pair
        {"\xf0\x9f\x94\x91", u"\U0001F511"},
        {"\xf4\x8f\xbf\xbf", u"\U0010FFFF"},
        {"a\xe5\xaf\x86z", u"a\u5bc6z"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_TRUE(IsValidUtf8(c.utf8));
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8);
    }
    EXPECT_EQ(Utf16LeBytes(u"\U00010000"), (std::vector<std::uint8_t>{0x00, 0xD8, 0x00, 0xDC}));
}

TEST(Utf8AndUtf16, MalformedUtf8IsInvalidAndReadsAsReplacementCharacters) {
    // Such bytes cannot be a password: as U+FFFD they would all give one key.
    struct Case {
        const char* name;
        std::string utf8;
        std::u16string replaced;
    };
    const std::vector<Case> cases = {
        {"encoded high surrogate", "\xed\xa0\x80", u"\ufffd\ufffd\ufffd"},
        {"encoded low surrogate", "\xed\xbf\xbf", u"\ufffd\ufffd\ufffd"},
        {"lone continuation byte", "a\x80", u"a\ufffd"},
        {"invalid lead bytes", "\xff\xfe", u"\ufffd\ufffd"},
        {"overlong slash", "\xc0\xaf", u"\ufffd\ufffd"},
        {"overlong U+07FF", "\xe0\x9f\xbf", u"\ufffd\ufffd\ufffd"},
        {"past U+10FFFF", "\xf4\x90\x80\x80", u"\ufffd\ufffd\ufffd\ufffd"},
        {"cut at the end", "ab\xe5\xaf", u"ab\ufffd\ufffd"},
        {"cut by an ASCII byte", "\xe5z", u"\ufffdz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(IsValidUtf8(c.utf8));
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.replaced);
    }
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8(std::string("a\0b", 3)));
}

}  // namespace
}  // namespace velmora::common
