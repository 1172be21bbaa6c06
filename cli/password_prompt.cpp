#include "password_prompt.h"

#include <termios.h>
#include <unistd.h>

#include "cli_errors.h"

namespace velmora::cli {

std::string ReadPasswordLine(std::FILE* in) {
    std::string line;
    int c = 0;
    while ((c = std::fgetc(in)) != EOF && c != '\n') line.push_back(static_cast<char>(c));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::string AskPassword(const std::string& prompt) {
    std::FILE* tty = std::fopen("/dev/tty", "r+");
    if (tty == nullptr) {
        throw UsageError(
            "There is no terminal to ask the password on; use --password-stdin, "
            "--password-file or --lock-file.");
    }
    const int fd = fileno(tty);
    termios saved{};
    const bool isTerminal = tcgetattr(fd, &saved) == 0;
    if (isTerminal) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= ECHONL;
        tcsetattr(fd, TCSAFLUSH, &quiet);
    }
    std::fputs(prompt.c_str(), tty);
    std::fflush(tty);
    std::string password = ReadPasswordLine(tty);
    if (isTerminal) tcsetattr(fd, TCSAFLUSH, &saved);
    std::fclose(tty);
    return password;
}

}  // namespace velmora::cli
