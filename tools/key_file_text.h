#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Texts and byte arrays of the key-file tools, kept out of the windows. Texts are UTF-8.
namespace tools {

// Parses the password-file editor's text: comma-separated values, each read by the number
// rules and clamped to 0..255; a comma always stores a value; never returns an empty array.
std::vector<uint8_t> BianJi(const std::string& text);

// Check lines: " i value\r\n" for each element, i from 1.
std::string XMzs(const std::vector<uint8_t>& bytes);

// Read-out lines of the byte reader: " position value\r\n" with file positions from `start`.
std::string ReadOutLines(const std::vector<uint8_t>& bytes, int64_t start);

// Normalised display: " value," per byte, a CR LF after every tenth.
std::string NormalisedDisplay(const std::vector<uint8_t>& bytes);

// Code units from bytes taken in pairs, low byte first; an odd last byte is dropped.
std::u16string CodeUnitsFromBytes(const std::vector<uint8_t>& bytes);

}  // namespace tools
