#pragma once

#include <cstdio>
#include <string>

namespace velmora::cli {

// Asks for a password on the controlling terminal without echo and returns it as UTF-8,
// without its line ending. Throws `UsageError` when there is no terminal to ask on, and
// whatever `ReadPasswordLine` throws.
std::string AskPassword(const std::string& prompt);

// Reads one line, without its line ending ("\n" or "\r\n"); a last line needs no ending.
// Throws `UsageError` for input that ends before any line (an empty line is the empty
// password) and for a line that is not valid UTF-8, `Cancelled` when a signal ends the read.
std::string ReadPasswordLine(std::FILE* in);

}  // namespace velmora::cli
