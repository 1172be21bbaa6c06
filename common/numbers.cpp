#include "numbers.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "error.h"

namespace velmora::common {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

}  // namespace

double ReadDecimal(const std::string& text) {
    std::string s;
    for (char c : text) {
        if (!IsBlank(c)) s.push_back(c);
    }
    // Find the longest prefix of the form [+-]digits[.digits][E[+-]digits] by hand, so that
    // strtod's extras (hex, "inf", "nan", leading blanks) never sneak in.
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        size_t j = i + 1;
        size_t frac = 0;
        while (j < s.size() && IsDigit(s[j])) ++j, ++frac;
        if (digits + frac > 0) {
            i = j;
            digits += frac;
        }
    }
    if (digits == 0) return 0.0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        size_t exp = 0;
        while (j < s.size() && IsDigit(s[j])) ++j, ++exp;
        if (exp > 0) i = j;
    }
    return std::strtod(s.substr(0, i).c_str(), nullptr);
}

int32_t RoundToInt32(double value) {
    double r = std::nearbyint(value);  // default rounding mode: half to even
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) {
        throw Error("The number is outside the range -2147483648 to 2147483647.");
    }
    return static_cast<int32_t>(r);
}

int32_t ReadNumber(const std::string& text) {
    return RoundToInt32(ReadDecimal(text));
}

std::string WriteNumberInText(int64_t value) {
    std::string text = value < 0 ? "" : " ";
    text += std::to_string(value);
    return text;
}

std::string WriteNumberInBox(int64_t value) {
    return std::to_string(value);
}

}  // namespace velmora::common
