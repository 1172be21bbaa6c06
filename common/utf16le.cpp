#include "utf16le.h"

namespace velmora::common {

std::vector<std::uint8_t> Utf16LeBytes(const std::u16string& text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

std::u16string FromUtf16LeBytes(const std::uint8_t* bytes, std::size_t count) {
    std::u16string text;
    text.reserve(count / 2);
    for (std::size_t i = 0; i + 1 < count; i += 2) {
        text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    return text;
}

}  // namespace velmora::common
