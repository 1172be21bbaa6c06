#include "settings_file.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "binary_file.h"
#include "utf16le.h"

namespace velmora::frontend {

namespace {

// Header words, 1-based as the file's layout numbers them.
constexpr int kWordCheck1 = 1;
constexpr int kWordCheck2 = 2;
constexpr int kWordText1Position = 3;
constexpr int kWordText2Position = 4;
constexpr int kWordCheck3 = 5;
constexpr int kWordCheck4 = 6;
constexpr int kWords = 10;

using Header = std::array<std::int32_t, kWords + 1>;  // index 0 unused

Header DecodeHeader(const std::vector<std::uint8_t>& bytes) {
    Header a{};
    for (int i = 1; i <= kWords; ++i) {
        const std::size_t at = static_cast<std::size_t>(i - 1) * 4;
        const std::uint32_t word = static_cast<std::uint32_t>(bytes[at]) |
                                   static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
                                   static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
                                   static_cast<std::uint32_t>(bytes[at + 3]) << 24;
        a[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(word);
    }
    return a;
}

void PutWord(std::vector<std::uint8_t>& bytes, int index, std::int32_t value) {
    const std::size_t at = static_cast<std::size_t>(index - 1) * 4;
    const auto word = static_cast<std::uint32_t>(value);
    for (std::size_t k = 0; k < 4; ++k) bytes[at + k] = static_cast<std::uint8_t>(word >> (8 * k));
}

// A check box holds 0, 1 or 2; any other word is damage and reads as a clear box.
std::int32_t Option(std::int32_t word) {
    return word >= 0 && word <= 2 ? word : 0;
}

// 0 is what an old or foreign header holds and means the default place; a position that
// starts before the file or after its end is damage and falls back the same way.
std::int64_t FieldPosition(std::int32_t word, std::int64_t fallback, std::int64_t length) {
    if (word < 1 || word > length) return fallback;
    return word;
}

// Trailing blanks go first, then the text ends at the first NUL: a field padded with zeros
// keeps the blanks its text ended with, a field filled to the end loses them.
std::u16string FieldText(const std::vector<std::uint8_t>& bytes) {
    std::u16string text = common::FromUtf16LeBytes(bytes.data(), bytes.size());
    while (!text.empty() && text.back() == u' ') text.pop_back();
    const std::size_t nul = text.find(u'\0');
    if (nul != std::u16string::npos) text.resize(nul);
    return text;
}

void PutField(std::vector<std::uint8_t>& bytes, std::int64_t position, const std::u16string& text) {
    std::vector<std::uint8_t> field = common::Utf16LeBytes(text);
    field.resize(static_cast<std::size_t>(SettingsFile::kFieldBytes), 0);
    std::copy(field.begin(), field.end(), bytes.begin() + (position - 1));
}

}  // namespace

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)) {}

std::string SettingsFile::InFolder(const std::string& folder) {
    if (folder.empty() || folder.back() == '/') return folder + kFileName;
    return folder + "/" + kFileName;
}

Settings SettingsFile::Read() const {
    const Header a = DecodeHeader(common::ReadBlock(path_, 1, kHeaderBytes));
    const std::int64_t length = common::FileLength(path_);
    Settings s;
    s.Check1 = Option(a[kWordCheck1]);
    s.Check2 = Option(a[kWordCheck2]);
    s.Check3 = Option(a[kWordCheck3]);
    s.Check4 = Option(a[kWordCheck4]);
    const std::int64_t at1 = FieldPosition(a[kWordText1Position], kText1Position, length);
    const std::int64_t at2 = FieldPosition(a[kWordText2Position], kText2Position, length);
    s.Text1 = FieldText(common::ReadBlock(path_, at1, kFieldBytes));
    s.Text2 = FieldText(common::ReadBlock(path_, at2, kFieldBytes));
    return s;
}

void SettingsFile::Write(const Settings& settings) const {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(kFirstSaveLength), 0);
    PutWord(bytes, kWordCheck1, settings.Check1);
    PutWord(bytes, kWordCheck2, settings.Check2);
    PutWord(bytes, kWordText1Position, static_cast<std::int32_t>(kText1Position));
    PutWord(bytes, kWordText2Position, static_cast<std::int32_t>(kText2Position));
    PutWord(bytes, kWordCheck3, settings.Check3);
    PutWord(bytes, kWordCheck4, settings.Check4);
    // The bytes between the header and the first field are never written: keep what an
    // existing file holds there, so the whole save is one write.
    const std::int64_t gap = kText1Position - 1 - kHeaderBytes;
    const std::vector<std::uint8_t> kept = common::ReadBlock(path_, kHeaderBytes + 1, gap);
    std::copy(kept.begin(), kept.end(), bytes.begin() + kHeaderBytes);
    PutField(bytes, kText1Position, settings.Text1);
    PutField(bytes, kText2Position, settings.Text2);
    common::WriteBlock(path_, 1, bytes);
}

}  // namespace velmora::frontend
