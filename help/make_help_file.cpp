// Build step: turns the UTF-8 help text into the scrambled "Help.lib" the help window reads,
// with the same codec, so the shipped file and the code cannot drift apart.
// Usage: make_help_file TEXT.txt Help.lib

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "help_codec.h"
#include "utf16le.h"

namespace {

namespace fs = std::filesystem;

bool ReadText(const fs::path& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Written beside the target and renamed over it, so an interrupted build never leaves a
// half-written help file that a later build would take as up to date.
bool WriteAtomically(const fs::path& path, const std::vector<uint8_t>& bytes) {
    const fs::path temporary = path.string() + ".partial";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) return false;
    }
    std::error_code ec;
    fs::rename(temporary, path, ec);
    if (ec) fs::remove(temporary, ec);
    return !ec;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_help_file TEXT.txt Help.lib\n");
        return 2;
    }
    std::string utf8;
    if (!ReadText(argv[1], utf8)) {
        std::fprintf(stderr, "make_help_file: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::u16string text = velmora::common::Utf8ToUtf16(utf8);
    // A malformed byte would turn into U+FFFD without a word; the help text must be exact.
    if (velmora::common::Utf16ToUtf8(text) != utf8) {
        std::fprintf(stderr, "make_help_file: %s is not valid UTF-8\n", argv[1]);
        return 1;
    }
    velmora::help::HelpCodec codec;
    const auto bytes =
        codec.BZJmi(velmora::common::Utf16LeBytes(text), velmora::help::SystemRandomBytes());
    if (!WriteAtomically(argv[2], bytes)) {
        std::fprintf(stderr, "make_help_file: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
