#include "key_file_text.h"

#include <algorithm>

#include "numbers.h"
#include "tool_numbers.h"

namespace tools {

namespace {

uint8_t ByteValue(const std::string& token) {
    int32_t v = ReadToolNumber(token);
    return static_cast<uint8_t>(std::clamp<int32_t>(v, 0, 255));
}

}  // namespace

std::vector<uint8_t> BianJi(const std::string& text) {
    std::vector<uint8_t> bytes;
    std::string token;
    for (char c : text) {
        if (c == ',') {
            bytes.push_back(ByteValue(token));
            token.clear();
        } else {
            token.push_back(c);
        }
    }
    if (!token.empty()) bytes.push_back(ByteValue(token));
    if (bytes.empty()) bytes.push_back(0);
    return bytes;
}

std::string XMzs(const std::vector<uint8_t>& bytes) {
    return ReadOutLines(bytes, 1);
}

std::string ReadOutLines(const std::vector<uint8_t>& bytes, int64_t start) {
    using velmora::common::WriteNumberInText;
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        out += WriteNumberInText(start + static_cast<int64_t>(i));
        out += WriteNumberInText(bytes[i]);
        out += "\r\n";
    }
    return out;
}

std::string NormalisedDisplay(const std::vector<uint8_t>& bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
        out += velmora::common::WriteNumberInText(bytes[i]);
        out += ",";
        if ((i + 1) % 10 == 0) out += "\r\n";
    }
    return out;
}

std::u16string CodeUnitsFromBytes(const std::vector<uint8_t>& bytes) {
    std::u16string out;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        out.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    return out;
}

}  // namespace tools
