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

namespace {

// Decodes the UTF-8 sequence at `i`: its length, or 0 when it is not a well-formed sequence
// (a stray continuation byte, a cut sequence, an overlong form, a surrogate, or a code point
// past U+10FFFF).
std::size_t DecodeAt(const std::string& utf8, std::size_t i, std::uint32_t& cp) {
    const std::size_t n = utf8.size();
    const auto c = static_cast<unsigned char>(utf8[i]);
    std::size_t extra = 0;
    std::uint32_t min = 0;
    if (c < 0x80) {
        cp = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        cp = c & 0x1F, extra = 1, min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        cp = c & 0x0F, extra = 2, min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        cp = c & 0x07, extra = 3, min = 0x10000;
    } else {
        return 0;
    }
    if (i + extra >= n) return 0;
    for (std::size_t k = 1; k <= extra; ++k) {
        const auto next = static_cast<unsigned char>(utf8[i + k]);
        if ((next & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return 1 + extra;
}

}  // namespace

bool IsValidUtf8(const std::string& utf8) {
    std::uint32_t cp = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::size_t length = DecodeAt(utf8, i, cp);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

std::u16string Utf8ToUtf16(const std::string& utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        std::uint32_t cp = 0;
        const std::size_t length = DecodeAt(utf8, i, cp);
        if (length == 0) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        i += length;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
        }
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

}  // namespace velmora::common
