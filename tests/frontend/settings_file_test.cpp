// "Shezhi.lib" byte for byte: the first save, positions taken from the header, the text rules
// of the path fields, and damaged or unreachable files.

#include "settings_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "error.h"

namespace velmora::frontend {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device rd;
        dir_ = fs::temp_directory_path() / ("velmora-settings-" + std::to_string(rd()));
        fs::create_directories(dir_);
        path_ = SettingsFile::InFolder(dir_.string());
    }
    void TearDown() override { fs::remove_all(dir_); }

    Bytes Load() const {
        std::ifstream in(path_, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void Store(const Bytes& bytes) const {
        std::ofstream(path_, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    static void PutWord(Bytes& bytes, std::size_t offset, std::int32_t value) {
        for (std::size_t k = 0; k < 4; ++k) {
            bytes[offset + k] =
                static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * k));
        }
    }
    // UTF-16LE units of `text` at byte `offset`.
    static void PutText(Bytes& bytes, std::size_t offset, const std::u16string& text) {
        for (char16_t u : text) {
            bytes[offset++] = static_cast<std::uint8_t>(u & 0xFF);
            bytes[offset++] = static_cast<std::uint8_t>(u >> 8);
        }
    }

    fs::path dir_;
    std::string path_;
};

TEST_F(SettingsFileTest, AMissingFileReadsAllClearAndIsLeftBehindEmpty) {
    EXPECT_EQ(path_, (dir_ / "Shezhi.lib").string());
    EXPECT_EQ(SettingsFile(path_).Read(), Settings{});
    EXPECT_TRUE(fs::is_regular_file(path_));
    EXPECT_EQ(fs::file_size(path_), 0u);
}

TEST_F(SettingsFileTest, TheFirstSaveIs2099BytesLaidOutWordByWord) {
    SettingsFile file(path_);
    file.Write({1, 2, 0, 1, u"/home/用户/key.bin", u"/lock"});
    Bytes expected(2099, 0);
    for (auto [offset, value] : {std::pair{0, 1}, {4, 2}, {8, 100}, {12, 1100}, {16, 0}, {20, 1}}) {
        PutWord(expected, static_cast<std::size_t>(offset), value);
    }
    PutText(expected, 99, u"/home/用户/key.bin");
    PutText(expected, 1099, u"/lock");
    EXPECT_EQ(Load(), expected);
    // Grayed values (2) and both paths come back as saved.
    EXPECT_EQ(file.Read(), (Settings{1, 2, 0, 1, u"/home/用户/key.bin", u"/lock"}));

    // Saving with empty paths leaves only the header's words.
    file.Write({});
    Bytes empty(2099, 0);
    PutWord(empty, 8, 100);
    PutWord(empty, 12, 1100);
    EXPECT_EQ(Load(), empty);
}

TEST_F(SettingsFileTest, ASaveKeepsWhatItDoesNotWrite) {
    Bytes old(3000, 0xAB);
    Store(old);
    SettingsFile(path_).Write({0, 1, 1, 0, u"p", u""});
    const Bytes now = Load();
    ASSERT_EQ(now.size(), 3000u);
    EXPECT_EQ(Bytes(now.begin() + 40, now.begin() + 99), Bytes(59, 0xAB));
    EXPECT_EQ(Bytes(now.begin() + 2099, now.end()), Bytes(901, 0xAB));
    EXPECT_EQ(now[99], 'p');
    EXPECT_EQ(now[101], 0);
}

TEST_F(SettingsFileTest, FieldsAreReadWhereTheHeaderSaysWithDefaultsForZeroOrDamage) {
    struct Case {
        const char* what;
        std::int32_t position1, position2;  // header words 3 and 4
        std::size_t text1At, text2At;       // where the test puts the texts (0-based)
    };
    const Case cases[] = {
        {"positions 0 mean 100 and 1100", 0, 0, 99, 1099},
        {"other positions are honoured", 1500, 200, 1499, 199},
        {"below 1 or past the end fall back", -7, 2147483647, 99, 1099},
        {"a field may run past the end of the file", 2991, 0, 2990, 1099},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bytes(3000, 0);
        PutWord(bytes, 8, c.position1);
        PutWord(bytes, 12, c.position2);
        PutText(bytes, c.text1At, u"first");
        PutText(bytes, c.text2At, u"second");
        Store(bytes);
        const Settings s = SettingsFile(path_).Read();
        EXPECT_EQ(s.Text1, u"first");
        EXPECT_EQ(s.Text2, u"second");
    }
}

TEST_F(SettingsFileTest, OptionWordsOutsideZeroToTwoReadAsClear) {
    struct Case {
        std::int32_t word;
        std::int32_t expected;
    };
    for (const Case c : {Case{0, 0}, Case{1, 1}, Case{2, 2}, Case{3, 0}, Case{-1, 0},
                         Case{65536, 0}, Case{-2147483647 - 1, 0}}) {
        SCOPED_TRACE(c.word);
        Bytes bytes(40, 0);
        for (std::size_t offset : {0u, 4u, 16u, 20u}) PutWord(bytes, offset, c.word);
        Store(bytes);
        const Settings s = SettingsFile(path_).Read();
        EXPECT_EQ(s.Check1, c.expected);
        EXPECT_EQ(s.Check2, c.expected);
        EXPECT_EQ(s.Check3, c.expected);
        EXPECT_EQ(s.Check4, c.expected);
    }
}

TEST_F(SettingsFileTest, PathTextsLoseTrailingBlanksThenEndAtTheFirstNul) {
    const std::u16string full(500, u'x');
    struct Case {
        const char* what;
        std::u16string field;  // the units put at position 100 (the rest of the field is 0)
        std::u16string expected;
    };
    const Case cases[] = {
        {"500 units without NUL", full, full},
        {"blanks up to the field's end go", u"/a/b" + std::u16string(496, u' '), u"/a/b"},
        {"blanks before the zero padding stay", u"/a/b  ", u"/a/b  "},
        {"the text ends at the first NUL", std::u16string(u"abc\0def", 7), u"abc"},
        {"an empty field", u"", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes bytes(2099, 0);
        PutWord(bytes, 8, 100);
        PutWord(bytes, 12, 1100);
        PutText(bytes, 99, c.field);
        Store(bytes);
        EXPECT_EQ(SettingsFile(path_).Read().Text1, c.expected);
    }
}

TEST_F(SettingsFileTest, APathLongerThan500UnitsIsStoredAsItsFirst500) {
    std::u16string path;
    for (int i = 0; path.size() < 600; ++i) path += u"/目录" + std::u16string(1, u'a' + i % 26);
    SettingsFile file(path_);
    file.Write({0, 0, 0, 0, path, path.substr(0, 500)});
    EXPECT_EQ(fs::file_size(path_), 2099u);
    const Settings s = file.Read();
    EXPECT_EQ(s.Text1, path.substr(0, 500));
    EXPECT_EQ(s.Text2, path.substr(0, 500));
}

TEST_F(SettingsFileTest, AFileThatCannotBeOpenedGivesAnErrorNamingIt) {
    for (const std::string& bad :
         {(dir_ / "no-such-folder" / "Shezhi.lib").string(), dir_.string()}) {
        SCOPED_TRACE(bad);
        try {
            SettingsFile(bad).Read();
            ADD_FAILURE() << "no error";
        } catch (const common::Error& e) {
            EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
        }
        EXPECT_THROW(SettingsFile(bad).Write({}), common::Error);
    }
}

}  // namespace
}  // namespace velmora::frontend
