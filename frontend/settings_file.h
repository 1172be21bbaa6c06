#pragma once

#include <cstdint>
#include <string>

// The settings file "Shezhi.lib" of the settings dialog: a header of ten little-endian 32-bit
// words and two 1000-byte path fields of UTF-16LE code units.
//
// Use from the dialog:
//
//     frontend::SettingsFile file(frontend::SettingsFile::InFolder(currentDir));  // Fmbf
//     frontend::Settings s = file.Read();    // Getfm: creates an empty file when missing
//     Check1->setCheckState(...s.Check1...); Text1->setText(QString::fromStdU16String(s.Text1));
//     ...
//     file.Write(s);                         // Setfm, on "保存设置" only
//
// Both throw common::Error naming the file and the reason when it cannot be created, opened,
// read or written; the dialog shows that once and goes on with Settings{} (all clear).
namespace velmora::frontend {

// What the file holds, as the dialog's controls show it.
struct Settings {
    std::int32_t Check1 = 0;  // password-file source offered: 0 clear, 1 checked, 2 grayed
    std::int32_t Check2 = 0;  // lock-file source offered
    std::int32_t Check3 = 0;  // password shown in plain text
    std::int32_t Check4 = 0;  // password typed twice
    std::u16string Text1;     // preset password-file path
    std::u16string Text2;     // preset lock-file path
    bool operator==(const Settings&) const = default;
};

class SettingsFile {
  public:
    static constexpr const char* kFileName = "Shezhi.lib";
    // 1-based positions of the two path fields as the writer puts them (and the defaults for
    // a header whose position words are 0 or damaged).
    static constexpr std::int64_t kText1Position = 100;
    static constexpr std::int64_t kText2Position = 1100;
    static constexpr std::int64_t kFieldBytes = 1000;
    static constexpr std::int64_t kHeaderBytes = 40;
    // Length of a file the writer creates: header, unwritten gap, two fields.
    static constexpr std::int64_t kFirstSaveLength = kText2Position - 1 + kFieldBytes;

    // `path` is the full path of the settings file.
    explicit SettingsFile(std::string path);
    // The settings file in `folder` ("/" is added when missing).
    static std::string InFolder(const std::string& folder);
    const std::string& Path() const { return path_; }

    // Reads the file, creating it empty when missing (a missing file reads as all clear).
    // The path fields are read at the positions the header names. A damaged word never
    // fails: an option outside 0..2 reads as 0, a position below 1 or past the end of the file
    // reads as its default position.
    Settings Read() const;
    // Writes the header (positions 100 and 1100) and both fields, each path cut to its first
    // 500 code units or padded with zeros. Nothing else of an existing file changes.
    void Write(const Settings& settings) const;

  private:
    std::string path_;
};

}  // namespace velmora::frontend
