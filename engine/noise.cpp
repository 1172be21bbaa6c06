// The unkeyed noise sources: the sine-based chaos generator, the timer-seeded table that feeds
// it, and the integer noise generator. Only the encoder draws from them.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "chaos_sin.h"
#include "error.h"
#include "jmi.h"
#include "noise_cursor.h"
#include "timer.h"

namespace velmora::engine {

Jmi::Jmi(TimerFn timer, std::filesystem::path stateFolder)
    : timer_(timer ? std::move(timer) : TimerFn(common::SystemTimer)),
      stateFolder_(std::move(stateFolder)) {}

namespace {

// The decimals of |x| from the fourth on, as an integer below `scale`.
std::int32_t DigitsAfterThird(double x, double scale) {
    double t = std::fabs(x) * 1000.0;
    // A NaN or an infinity has no digits. It gives 0, so that no caller can turn it into a
    // negative number and from there into an index outside a table.
    if (!std::isfinite(t)) return 0;
    t = t - std::trunc(t);
    return static_cast<std::int32_t>(std::min(std::trunc(t * scale), scale - 1.0));
}

// The generator's own coefficients stay below about 200 in magnitude (a sine times at most
// 54, plus C(18)); 1000 leaves room and keeps every sine argument finite.
constexpr double kCoefficientLimit = 1000.0;

// Opens the noise state file for reading and writing, creating a missing one. Anything that
// is not a regular file is refused: a FIFO would block the program for ever, a device could
// be written to. O_NONBLOCK keeps the open itself from waiting on such a file.
int OpenStateFile(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0) {
        const int error = errno;
        throw common::Error("Cannot open the noise state file " + path.string() + ": " +
                            common::SystemReason(error) + ".");
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw common::Error("The noise state file " + path.string() +
                            " is not a regular file; remove it or put a file there.");
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

}  // namespace

std::int32_t Jmi::FracDigits6(double x) {
    return DigitsAfterThird(x, 1000000.0);
}

std::int32_t Jmi::FracDigits3(double x) {
    return DigitsAfterThird(x, 1000.0);
}

double Jmi::ChaosStep(double x) {
    ChaosAdvance();
    ChaosFirstSine();
    return ChaosFinish(x);
}

VELMORA_CHAOS_TARGETS void Jmi::ChaosAdvance() {
    double* C = ChaosCoeffs.data();  // C[1]..C[20]
    // The lower bounds only matter for counters set by hand; they keep C[s + 13] in the array.
    if (++ChaosTimePos > T || ChaosTimePos < 1) ChaosTimePos = 1;
    if (++ChaosSlot > 3 || ChaosSlot < 1) ChaosSlot = 1;
    if (++ChaosPhase > 4 || ChaosPhase < 1) ChaosPhase = 1;

    switch (ChaosPhase) {
        case 1:
            U1 = ChaosSin((C[1] * 729404501.445 + 34746789289457.0) * C[2] + C[3] * 1e8) *
                     27.763722667 +
                 (ChaosTimePos < static_cast<std::int32_t>(TimeTable.size())
                      ? TimeTable[ChaosTimePos]
                      : 0.0);
            break;
        case 2:
            U2 = ChaosSin((C[5] * 263489237.823 + 54556767783567.0) * C[6] + C[4] * 1e8) *
                     34.127386256 +
                 U1;
            break;
        case 3:
            U3 = ChaosSin((C[13] * 62238487.723 + 42245689043565.0) * C[11] + C[12] * 1e8) *
                     23.782518378 +
                 C[18];
            break;
        default:
            U4 = ChaosSin((C[14] * 71256395.892 + 42384928948256.0) * C[15] + C[16] * 1e8) *
                     53.712563719 +
                 U3;
            break;
    }
}

VELMORA_CHAOS_TARGETS void Jmi::ChaosFirstSine() {
    chaosFirstSine_ = ChaosSin((U1 * 712923.95632 + 453719368.948593) * U2 + U3 * 737.923737);
}

VELMORA_CHAOS_TARGETS double Jmi::ChaosFinish(double x) {
    double* C = ChaosCoeffs.data();
    const double s1 = chaosFirstSine_;
    const double s2 = ChaosSin((U4 * 593.28377 + 348.278374343) * x + 4284.923489);
    const double R = s1 * 3.712563719 + s2;
    ChaosOut = R;

    const std::int32_t s = ChaosSlot;
    C[s] = R + U4;
    C[s + 3] = R + U1;
    C[s + 10] = R + U2;
    C[s + 13] = R + U3;
    return R;
}

void Jmi::MixTimeTable(int rounds) {
    for (int round = 0; round < rounds; ++round) {
        for (std::int32_t k = 1; k <= T; ++k) {
            TimeMix =
                std::sin((TimeTable[k] * 218487.45773323 + 3874.8237847) * TimeMix + 636.274554) *
                7.72778348;
            TimeTable[k] = TimeMix;
        }
    }
}

void Jmi::SeedTimeTable(const std::vector<double>& samples) {
    const auto u = static_cast<std::int32_t>(samples.size());
    T = u + 10;
    TimeTable.assign(static_cast<std::size_t>(T) + 1, 0.0);
    for (std::int32_t i = 1; i <= u; ++i) TimeTable[i + 1] = samples[i - 1];
    TimeTable[u + 2] = static_cast<double>(timer_());
    MixTimeTable(10);
    for (int i = 0; i < 6; ++i) ChaosStep(kChaosArgument);
}

void Jmi::ReseedTimeTable() {
    if (T < 1) throw common::Error("The engine's noise sources have not been started.");
    TimeTable[T] = static_cast<double>(timer_());
    MixTimeTable(5);
}

std::filesystem::path Jmi::ChaosStatePath() const {
    if (!stateFolder_.empty()) return stateFolder_ / kChaosFileName;
    // The current directory is asked for only here, so a program that never touches the
    // state (decryption) runs in a folder that has been removed.
    std::error_code ec;
    const std::filesystem::path current = std::filesystem::current_path(ec);
    return ec ? std::filesystem::path(kChaosFileName) : current / kChaosFileName;
}

void Jmi::LoadChaosState() {
    const std::filesystem::path path = ChaosStatePath();
    std::uint8_t raw[160] = {};
    const int fd = OpenStateFile(path);  // a missing file is created, as the next save fills it
    std::size_t got = 0;
    while (got < sizeof raw) {
        const ssize_t n = ::pread(fd, raw + got, sizeof raw - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // a short or unreadable file leaves zeros: the defaults below
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    for (int i = 0; i < 20; ++i) {
        std::uint64_t bits = 0;
        for (int b = 7; b >= 0; --b) bits = (bits << 8) | raw[i * 8 + b];
        double c = 0;
        std::memcpy(&c, &bits, sizeof bits);
        // NaN, infinities and huge values would make every sine a NaN; they count as
        // missing. Negative zero is zero.
        if (!(std::fabs(c) <= kCoefficientLimit) || c == 0) c = 0.0;
        ChaosCoeffs[i + 1] = c;
    }
    for (int i = 1; i <= 19; ++i) {
        if (ChaosCoeffs[i] == 0) ChaosCoeffs[i] = kCoefficientDefault;
    }
}

void Jmi::SaveChaosState() {
    const std::filesystem::path path = ChaosStatePath();
    std::uint8_t raw[160];
    for (int i = 0; i < 20; ++i) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &ChaosCoeffs[i + 1], sizeof bits);
        for (int b = 0; b < 8; ++b) raw[i * 8 + b] = static_cast<std::uint8_t>(bits >> (8 * b));
    }
    // Written in place without truncating: anything a longer file holds after byte 160 stays.
    const int fd = OpenStateFile(path);
    std::size_t put = 0;
    int error = 0;
    while (put < sizeof raw) {
        const ssize_t n = ::pwrite(fd, raw + put, sizeof raw - put, static_cast<off_t>(put));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error = n < 0 ? errno : EIO;
            break;
        }
        put += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error != 0) {
        throw common::Error("Cannot write the noise state file " + path.string() + ": " +
                            common::SystemReason(error) + ".");
    }
}

void Jmi::InitNoiseGenerator() {
    NoiseState = 1;
    NoiseIndex = 0;
    NoiseCycle = 0;
    NoiseReseedCount = 0;
    for (std::int32_t i = 0; i <= 1000; ++i) {
        NoiseTable[i] = FracDigits6(ChaosStep(kChaosArgument)) + i;
    }
    NoiseCursor noise(*this);
    for (int i = 0; i < 100000; ++i) noise.Next(Feedback);
    noise.Save();
}

std::uint8_t Jmi::NoiseByte() {
    NoiseCursor noise(*this);
    const std::uint8_t value = noise.Next(Feedback);
    noise.Save();
    return value;
}

void Jmi::EngineStartup() {
    SeedTimeTable({static_cast<double>(timer_()), 0.0, 0.0, 0.0, 0.0});
    LoadChaosState();
    InitNoiseGenerator();
}

}  // namespace velmora::engine
