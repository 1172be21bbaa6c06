#include "key_source.h"

#include "error.h"
#include "interrupt.h"
#include "key_file.h"
#include "password_prompt.h"
#include "utf16le.h"

namespace velmora::cli {

void PrepareKey(engine::Jmi& jmi, const JobOptions& options, Direction direction,
                std::FILE* passwordInput) {
    const auto dir = static_cast<std::int32_t>(direction);
    // Nothing has been written yet, and a key file may be a FIFO that waits for its writer.
    const StopAtOnce stop;
    const std::optional<std::string>& keyFile =
        options.passwordFile ? options.passwordFile : options.lockFile;
    if (keyFile) {
        const std::vector<std::uint8_t> bytes =
            frontend::FmimaDuchu(*keyFile, frontend::Pipes::kWait);
        if (bytes.empty()) {
            throw common::Error("The key file " + *keyFile +
                                " is empty: it provides no key material.");
        }
        jmi.SetKeyFromBytes(bytes, dir);
        return;
    }

    std::string password;
    if (options.passwordStdin) {
        password = ReadPasswordLine(passwordInput);
    } else {
        password = AskPassword("Password: ");
        if (direction == Direction::Encrypt && AskPassword("Repeat password: ") != password) {
            throw common::Error("The two passwords differ; nothing was encrypted.");
        }
    }
    jmi.SetKeyFromPassword(common::Utf8ToUtf16(password), dir);
}

}  // namespace velmora::cli
