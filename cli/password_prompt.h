#pragma once

#include <cstdio>
#include <string>

namespace velmora::cli {

// Asks for a password on the controlling terminal without echo and returns it as UTF-8,
// without its line ending. Throws `UsageError` when there is no terminal to ask on.
std::string AskPassword(const std::string& prompt);

// Reads one line from standard input, without its line ending ("\n" or "\r\n").
std::string ReadPasswordLine(std::FILE* in);

}  // namespace velmora::cli
